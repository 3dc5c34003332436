#pragma once
// Turns a PLT job (already regrouped by pen) into the cutter command stream.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "notice.h"
#include "path_shaping.h"
#include "pen_regroup.h"
#include "plt_reader.h"
#include "records.h"
#include "stream_limit.h"

// The settings the conversion reads, as the settings file holds them.
struct ConvertSettings {
    int32_t model = 0;             // [Model] Mode index: 0, 1 or 2
    bool segEnable = false;        // SegEnble
    int32_t segLen = 200;          // SegLen, mm
    bool contourMode = false;      // CutImageMode
    int32_t flagColor = 0;         // [ImageCut] FlagColor: the mark pen is FlagColor + 1
    bool closeEnable = false;      // CloseEnble
    bool canFeedPaper = false;     // CanFeedPaper
    float xSteps = 0.0f;           // XSTEPS, mm
    float ySteps = 0.0f;           // YSTEPS, mm
    bool usePresets = false;       // UsePresetPa
    PathSettings path;             // DashedMode, SolidLineLen, JumpLineLen, CloseOffset
};

// One job as the intake hands it over.
struct ConvertJob {
    PltBox jobBox;                 // from ScanPlt of the job
    bool markDataPresent = false;  // mark data arrived for this job
    PltBox markBox;                // from ScanPlt of the mark data
    int32_t referenceX = 0;        // Xleft: smallest x of the box in use
    int32_t referenceY = 0;        // Ytop: largest y of the box in use (an IW command replaces it)
    int32_t leftOffset = 0;        // added to station x (plotter units)
    int32_t topOffset = 0;         // added to station y (plotter units)
    int32_t markGridX = 1000;      // high word of the job message's wParam
    int32_t markGridY = 1000;      // its low word: the mark row count
    int32_t markValue = 0;         // lParam: the barcode number
    bool copiesOn = false;
    int32_t copies = 0;
    int32_t copySpacing = 0;       // mm
    int32_t segmentStart = 1;      // first band or part to cut, from 1
};

// The box the job is measured by: the mark box when mark data with points is present,
// else the job box.
const PltBox& BoxInUse(const ConvertJob& job);
// The reference point the intake sets before a job: Xleft and Ytop of that box.
void SetJobReferences(ConvertJob& job);

enum class ConvertResult {
    kConverted,  // stream holds the whole job
    kTooLarge,   // the job's streams would outgrow the limit: stream is empty, the user was told
};

// The message of kTooLarge, in English or Chinese.
const char* JobTooLargeMessage(bool english);

// Writes the whole cutter stream of the job into stream. Messages go to notice, in English
// when english is set; the settings are not changed. maxBytes bounds all the streams the
// conversion holds; a job that would outgrow it is dropped as soon as that shows, so far
// coordinates with short dashes or bands cost neither time nor memory.
ConvertResult ConvertPltToCutter(std::string_view plt, const ConvertJob& job, const ConvertSettings& settings,
                                 const std::vector<SHARPCOLORS>& colourRows, bool english, INotice& notice,
                                 std::string& stream, size_t maxBytes = kMaxCutterStreamBytes);
// The same for a job read in pen order (the regrouped text, without its copy).
ConvertResult ConvertPltToCutter(const CPenOrder& plt, const ConvertJob& job, const ConvertSettings& settings,
                                 const std::vector<SHARPCOLORS>& colourRows, bool english, INotice& notice,
                                 std::string& stream, size_t maxBytes = kMaxCutterStreamBytes);
