// Feeds random PLT text and random settings through the station's job reading,
// pen order and conversion. The first kSettingsBytes bytes choose the settings.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "job_conversion.h"
#include "pen_regroup.h"
#include "plt_reader.h"

namespace {

constexpr size_t kSettingsBytes = 16;
constexpr size_t kMaxText = 8192;

class CSilentNotice : public INotice {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return kAnswerOk; }
};

// The conversion bounds its streams; a smaller bound than the programs' keeps every run
// short while it takes the same paths through the code.
constexpr size_t kMaxStream = 1u << 18;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kSettingsBytes || size > kSettingsBytes + kMaxText) return 0;
    const uint8_t* k = data;
    std::string text(reinterpret_cast<const char*>(data + kSettingsBytes), size - kSettingsBytes);
    CSilentNotice notice;

    PltBox box;
    const bool scanned = ScanPlt(text, box);
    PltBox markBox;
    const bool markData = (k[0] & 0x80) && ScanPlt(text.substr(0, text.size() / 2), markBox);

    std::vector<SHARPCOLORS> rows;
    uint8_t mode = 0;
    PenPresetTable presets;
    for (size_t i = 0; i < presets.size(); ++i) presets[i] = 1 + ((k[1] >> (i % 8)) & 7);
    ScanPens(text, rows, mode, presets, k[0] & 1, notice);
    // The user may switch rows off, reorder them and add rows of pens not in the text.
    for (size_t i = 0; i < rows.size(); ++i) rows[i].enabled = (k[2] >> (i % 8)) & 1 ? 0 : 1;
    if (rows.size() > 1 && (k[3] & 1)) std::swap(rows.front(), rows.back());
    if (k[3] & 2) rows.push_back(SHARPCOLORS{1, static_cast<uint8_t>(k[3] >> 4), static_cast<int32_t>(k[3] >> 5)});
    // The conversion reads the job in pen order where it lies: it must see exactly the
    // commands of the regrouped copy.
    const CPenOrder order(text, rows, notice);
    {
        std::string regrouped = text;
        RegroupByPen(regrouped, rows, notice);
        CCommandReader copied(regrouped, kConvertCommandCapacity);
        CPenOrderReader inPlace(order, kConvertCommandCapacity);
        for (;;) {
            const CCommandReader::Result a = copied.Next(), b = inPlace.Next();
            if (a != b || copied.Command() != inPlace.Command()) __builtin_trap();
            if (a == CCommandReader::kEnd) break;
        }
    }

    ConvertSettings s;
    s.model = static_cast<int32_t>(k[4] % 4) - 1;
    s.segEnable = k[4] & 0x10;
    s.segLen = (k[5] & 0x80) ? static_cast<int8_t>(k[5]) / 16 : 10 + k[5];  // sometimes 0 or below
    s.contourMode = k[4] & 0x20;
    s.flagColor = static_cast<int32_t>(k[6] % 5) - 1;
    s.closeEnable = k[4] & 0x40;
    s.path.closeOffset = static_cast<float>(static_cast<int8_t>(k[7])) / 50.0f;
    s.path.dashedMode = k[4] & 0x80;
    // Dash and gap lengths: 0 or below now and then, else at least 2 mm.
    s.path.solidLineLen = (k[8] & 0x80) ? static_cast<float>(static_cast<int8_t>(k[8])) / 64.0f : 2.0f + k[8] / 4.0f;
    s.path.jumpLineLen = (k[9] & 0x80) ? static_cast<float>(static_cast<int8_t>(k[9])) / 64.0f : 2.0f + k[9] / 4.0f;
    s.canFeedPaper = k[6] & 0x80;
    s.xSteps = static_cast<float>(static_cast<int8_t>(k[10]));
    s.ySteps = static_cast<float>(k[10] >> 1);
    s.usePresets = k[6] & 0x40;

    ConvertJob job;
    if (scanned) job.jobBox = box;
    job.markDataPresent = markData;
    job.markBox = markBox;
    SetJobReferences(job);
    job.leftOffset = static_cast<int8_t>(k[11]) * 8;
    job.topOffset = static_cast<int8_t>(k[12]) * 8;
    job.markGridX = (k[13] & 1) ? 1000 : 0;
    job.markGridY = (k[13] & 2) ? 1000 : (k[13] >> 2) % 12;
    job.markValue = static_cast<int8_t>(k[14]) * 100;
    job.copiesOn = k[15] & 1;
    job.copies = k[15] >> 1;
    job.copySpacing = k[14];
    job.segmentStart = k[13] >> 5;
    // The intake drops a job without points before it gets here.
    const PltBox& used = BoxInUse(job);
    if (used.IsUntouched()) return 0;

    std::string out;
    const ConvertResult r = ConvertPltToCutter(order, job, s, rows, k[0] & 1, notice, out, kMaxStream);
    // A refused job leaves nothing behind; a converted one keeps within the bound.
    if (r == ConvertResult::kTooLarge ? !out.empty() : out.size() > kMaxStream) __builtin_trap();
    return 0;
}
