#pragma once
// The largest cutter command stream the programs write. A job this size already keeps a
// cutter busy for hours, and the whole stream is held in memory before it is sent or saved.
#include <cstddef>

constexpr size_t kMaxCutterStreamBytes = 64u * 1024u * 1024u;
