#pragma once
// Reshaping and writing one path: dashed cutting, closing compensation, splitting
// at band boundaries, distribution over band streams, machine preset switches.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "notice.h"
#include "plt_reader.h"
#include "records.h"

// Path settings as stored, in millimetres.
struct PathSettings {
    bool dashedMode = false;     // DashedMode
    float solidLineLen = 0.0f;   // SolidLineLen: cut length of a dash
    float jumpLineLen = 0.0f;    // JumpLineLen: gap between dashes
    float closeOffset = 0.5f;    // CloseOffset: closing overcut
};

// The machine preset last written into each stream: index 0 is the single stream,
// index d band or part d. -1 means none written yet.
struct PresetState {
    bool usePresets = false;                      // UsePresetPa
    const std::vector<SHARPCOLORS>* rows = nullptr;  // colour rows: pen -> preset
    std::vector<int32_t> written;
};

// What a job's streams may still grow by. A step that would need more stops early, marks the
// budget spent and leaves its stream unfinished; the conversion then drops the whole job.
struct StreamBudget {
    size_t left = SIZE_MAX;
    bool spent = false;
    // Takes bytes from the budget; false (and spent) when there are not that many left.
    bool Take(size_t bytes);
};

float PointDistance(const PathPoint& a, const PathPoint& b);
// The point dividing AB so that its distances from A and B are as e : f; (0, 0) for f = 0.
PathPoint PointAtRatio(const PathPoint& a, const PathPoint& b, float e, float f);

// Writes one path. count is the number of points read for it; the solid form writes
// every node of the list. The dashed form moves the nodes it splits. With a budget the
// path takes its bytes from it; false when it would need more (out then ends part way).
bool EmitPath(std::string& out, PathPoint* first, int32_t count, bool dashed, const PathSettings& settings,
              StreamBudget* budget = nullptr);

// Moves the start of a closed path into the middle of its first side longer than
// twice the overcut and adds the overcut. Returns the path's new first node (first
// itself when nothing changed; otherwise first is no longer part of the path).
PathPoint* CloseCompensate(PathPoint* first, PathPoint* last, float closeOffset, INotice& notice);

// Inserts a node wherever a segment crosses a whole multiple of bandLength on x. False,
// before the count is passed, when the path would need more than maxInserts new nodes.
bool SplitAtBands(PathPoint* first, double bandLength, INotice& notice, size_t maxInserts = SIZE_MAX);

// Writes "S#%d;" into the stream when the pen's preset differs from the one last written there.
void EmitPresetSwitch(std::string& out, int32_t pen, size_t streamIndex, PresetState& presets, INotice& notice);

// Cuts a split path into pieces by band and writes each into its band's stream
// (band d into streams[d - 1]) in that band's coordinates. False when the pieces would need
// more than the budget holds (the streams then end part way). With touched, the index of
// every stream written to is added to it.
bool AssignSegments(std::vector<std::string>& streams, PathPoint* first, double bandLength, int32_t bandCount,
                    bool dashed, int32_t pen, const PathSettings& settings, PresetState& presets,
                    INotice& notice, StreamBudget* budget = nullptr, std::vector<size_t>* touched = nullptr);
