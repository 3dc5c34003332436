#pragma once
// A check of a DXF file's text before dxflib reads it. dxflib sizes some arrays straight from
// counts in the file (32-bit arithmetic that can overflow, or gigabytes for one entity), and
// its stream reader never gets past a line longer than its line buffer. The check walks the
// text the way dxflib splits it and refuses what would hurt.
#include <cstddef>
#include <cstdint>

// Largest file the converter reads (bytes).
constexpr size_t kMaxDxfBytes = 64u * 1024u * 1024u;
// Longest line (bytes before its line feed, a carriage return included) dxflib's 1024-byte
// line buffer takes whole together with the line feed and the terminator.
constexpr size_t kMaxDxfLineBytes = 1022;

struct DxfCheck {
    enum Verdict { kAccepted, kTooLarge, kLineTooLong, kCountTooLarge };
    Verdict verdict = kAccepted;
    uint32_t line = 0;  // 1-based line of the fault (0 when the whole file is meant)
    bool Accepted() const { return verdict == kAccepted; }
};

// Up to this many elements a count may promise more than its entity holds (sloppy writers).
constexpr long long kDxfCountSlack = 4096;

// Counts that dxflib allocates from (LWPOLYLINE 90; SPLINE 72, 73, 74; LEADER 76) are refused
// when they exceed kDxfCountSlack and promise more elements than the entity holds groups for
// (10, 40, 10, 11, 10), so no allocation outgrows the file's own content.
DxfCheck CheckDxfText(const char* data, size_t size);
