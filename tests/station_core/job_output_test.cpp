// The name a converted job is saved under.
#include <gtest/gtest.h>

#include "cutter_status.h"
#include "job_output.h"

namespace {

struct SaveCase {
    const char* chosen;
    const char* ext;
    bool contour;
    int32_t mark;
    const char* path;
    bool message;
    const char* shown;
};

TEST(PltSavePath, ExtensionAndBarcodeRules) {
    const SaveCase cases[] = {
        // The extension compares in lower case; anything else gets ".plt" added.
        {"c:\\jobs\\SIGN.PLT", "PLT", false, 0, "c:\\jobs\\SIGN.PLT", false, ""},
        {"c:\\jobs\\sign.Plt", "Plt", false, 0, "c:\\jobs\\sign.Plt", false, ""},
        {"c:\\jobs\\sign.txt", "txt", false, 0, "c:\\jobs\\sign.txt.plt", false, ""},
        {"c:\\jobs\\sign", "", false, 0, "c:\\jobs\\sign.plt", false, ""},
        // Contour jobs with a barcode put it in front of the name and say so.
        {"c:\\folder\\cut.plt", "plt", true, 42, "c:\\folder\\0042-cut.plt", true, "c:\\folder\\0042-cut.plt"},
        {"c:\\folder\\cut", "", true, 42, "c:\\folder\\0042-cut.plt", true, "c:\\folder\\0042-cut.plt"},
        {"c:\\folder\\cut.txt", "txt", true, 9999, "c:\\folder\\9999-cut.txt.plt", true, "c:\\folder\\9999-cut.txt.plt"},
        // No barcode, or not a contour job: the name stays.
        {"c:\\folder\\cut.plt", "plt", true, 0, "c:\\folder\\cut.plt", false, ""},
        {"c:\\folder\\cut.plt", "plt", false, 42, "c:\\folder\\cut.plt", false, ""},
        // A folder with a dot does not lend the file an extension.
        {"c:\\v1.plt\\cut", "", false, 0, "c:\\v1.plt\\cut.plt", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        PltSaveTarget t = PltSavePath(c.chosen, c.ext, c.contour, c.mark);
        EXPECT_EQ(t.path, c.path);
        EXPECT_EQ(t.showBarcode, c.message);
        EXPECT_EQ(t.shownPath, c.shown);
    }
}

TEST(CutterStatus, PipeFrameMirrorsTheVendorRequest) {
    uint8_t frame[kPipeStatusFrameBytes];
    MakePipeStatusFrame(frame);
    const uint8_t expected[] = {0x3C, 0x00, 0x22, 0x00, 4, 0, 0, 0, 0x09, 0, 0, 0, 8, 0, 0, 0};
    EXPECT_EQ(std::string(reinterpret_cast<char*>(frame), 16), std::string(reinterpret_cast<const char*>(expected), 16));
    EXPECT_TRUE(IsPipeStatusFrame(frame, 16));
    EXPECT_FALSE(IsPipeStatusFrame(frame, 15));
    frame[8] = 0x0A;
    EXPECT_FALSE(IsPipeStatusFrame(frame, 16));
}

}  // namespace
