#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <functional>
#include <string>

#include "profile.h"
#include "settings.h"

namespace {

const char kTemp[] = "C:\\users\\me\\Temp\\";

StationSettings Load(const std::string& ini) {
    CMemoryProfile p(ini);
    StationSettings s;
    LoadSettings(p, kTemp, s);
    return s;
}

TEST(Settings, MissingFileGivesEveryDefaultAndWritesNothing) {
    CMemoryProfile p;
    EXPECT_EQ(ChooseStartupLanguage(p, 0x0804), 1);
    StationSettings s;
    s.currentCom = 9;  // every value is set by the load, not left over
    s.segLen = 7;
    s.xSizeRedeem = 5;
    LoadSettings(p, kTemp, s);
    EXPECT_EQ(p.writes, 0);
    EXPECT_FALSE(p.exists);

    EXPECT_EQ(s.currentCom, 1);
    EXPECT_EQ(s.baudRate, 9600);
    EXPECT_EQ(s.waitSecond, 1);
    EXPECT_EQ(s.modelIndex, 0);
    EXPECT_EQ(s.exportFolder, kTemp);
    EXPECT_EQ(s.exportFileName, " ");
    EXPECT_EQ(s.usePresetPa, 0);
    for (int pen = 0; pen < 8; ++pen) EXPECT_EQ(s.penPresets[pen], 1) << "pen " << pen + 1;
    EXPECT_EQ(s.dashedMode, 0);
    EXPECT_EQ(s.cutImageMode, 0);
    EXPECT_EQ(s.closeEnble, 0);
    EXPECT_EQ(s.segEnble, 0);
    EXPECT_EQ(s.segLen, 200);
    EXPECT_EQ(s.closeOffset, 0.5f);
    EXPECT_EQ(s.reducePoint, 0.2f);
    EXPECT_EQ(s.solidLineLen, 0.0f);
    EXPECT_EQ(s.jumpLineLen, 0.0f);
    EXPECT_EQ(s.canFeedPaper, 0);
    EXPECT_EQ(s.xSteps, 0.0f);
    EXPECT_EQ(s.ySteps, 0.0f);
    EXPECT_EQ(s.xDesignSize, 100.0f);
    EXPECT_EQ(s.xTrueSize, 100.0f);
    EXPECT_EQ(s.yDesignSize, 100.0f);
    EXPECT_EQ(s.yTrueSize, 100.0f);
    EXPECT_EQ(s.xSizeRedeem, 1.0f);
    EXPECT_EQ(s.ySizeRedeem, 1.0f);
    EXPECT_EQ(s.flagColor, 0);
}

TEST(Settings, LoadRulesForClampsAndMalformedValues) {
    struct Case {
        const char* ini;
        std::function<double(const StationSettings&)> get;
        double expected;
    };
    auto model = [](const StationSettings& s) { return s.modelIndex; };
    auto sp3 = [](const StationSettings& s) { return s.penPresets[2]; };
    auto sp1 = [](const StationSettings& s) { return s.penPresets[0]; };
    auto preset = [](const StationSettings& s) { return s.usePresetPa; };
    auto com = [](const StationSettings& s) { return s.currentCom; };
    auto flag = [](const StationSettings& s) { return s.flagColor; };
    auto segLen = [](const StationSettings& s) { return s.segLen; };
    auto closeOffset = [](const StationSettings& s) { return s.closeOffset; };
    const Case cases[] = {
        {"[Model]\nMode=7", model, 2},
        {"[Model]\nMode=3", model, 2},
        {"[Model]\nMode=2", model, 1},
        {"[Model]\nMode=0", model, -1},
        {"[Model]\nMode=-2147483648", model, INT32_MIN},
        {"[CutConfig]\nSP3=9", sp3, 1},
        {"[CutConfig]\nSP3=0", sp3, 1},
        {"[CutConfig]\nSP3=8", sp3, 8},
        {"[CutConfig]\nSP1=x", sp1, 1},
        {"[cutconfig]\nsp1=4", sp1, 4},
        {"[CutConfig]\nUsePresetPa=2", preset, 0},
        {"[CutConfig]\nUsePresetPa=1", preset, 1},
        {"[CutConfig]\nUsePresetPa=-1", preset, -1},
        {"[COM]\nCurrentCom=", com, 1},
        {"[COM]\nCurrentCom=x", com, 0},
        {"[COM]\nCurrentCom=300", com, 44},
        {"[COM]\nCurrentCom=\"7\"", com, 7},
        {"[ImageCut]\nFlagColor=255", flag, -1},
        {"[ImageCut]\nFlagColor=2", flag, 2},
        {"[CutConfig]\nDashedMode=5", [](const StationSettings& s) { return s.dashedMode; }, 1},
        {"[CutConfig]\nCutImageMode=256", [](const StationSettings& s) { return s.cutImageMode; }, 1},
        {"[CutConfig]\nCloseEnble=-3", [](const StationSettings& s) { return s.closeEnble; }, 1},
        {"[CutConfig]\nSegEnble=0", [](const StationSettings& s) { return s.segEnble; }, 0},
        {"[FeedPaper]\nCanFeedPaper=2", [](const StationSettings& s) { return s.canFeedPaper; }, 1},
        {"[CutConfig]\nSegLen=12abc", segLen, 12},
        {"[CutConfig]\nSegLen=+40", segLen, 40},
        {"[CutConfig]\nSegLen=99999999999", segLen, INT32_MAX},
        {"[CutConfig]\nSegLen=-99999999999", segLen, INT32_MIN},
        {"[CutConfig]\nSegLen=- 5", segLen, 0},
        {"[CutConfig]\nCloseOffset=1.5mm", closeOffset, 1.5},
        {"[CutConfig]\nCloseOffset=-.25", closeOffset, -0.25},
        {"[CutConfig]\nCloseOffset=abc", closeOffset, 0},
        {"[CutConfig]\nCloseOffset=0x10", closeOffset, 0},
        {"[CutConfig]\nCloseOffset=inf", closeOffset, 0},
        {"[CutConfig]\nCloseOffset=1e999", closeOffset, FLT_MAX},
        {"[CutConfig]\nCloseOffset=-1e999", closeOffset, -FLT_MAX},
        {"[CutConfig]\nCloseOffset=1e-999", closeOffset, 0},
        {"[CutConfig]\nCloseOffset=2.5e", closeOffset, 2.5},
        {"[FeedPaper]\nYSTEPS=2E1", [](const StationSettings& s) { return s.ySteps; }, 20},
        {"[FeedPaper]\nXSTEPS=12.34", [](const StationSettings& s) { return s.xSteps; }, 12.34f},
        {"[XYInaccuracy]\nYSizeRedeem=0.98765", [](const StationSettings& s) { return s.ySizeRedeem; }, 0.98765f},
        {"[AutoGET]\nColExportPath=D:\\cut", [](const StationSettings& s) { return s.exportFolder == kTemp; }, 1},
        {"[AutoGET]\nWaitSecond=9", [](const StationSettings& s) { return s.waitSecond; }, 9},
        {"[COM]\nBaudRate=115200", [](const StationSettings& s) { return s.baudRate; }, 115200},
    };
    for (const Case& c : cases) EXPECT_EQ(c.get(Load(c.ini)), c.expected) << c.ini;
}

TEST(Settings, ProfileValueKeepsAtMost49Characters) {
    const std::string sixty(60, 'a');
    std::string chinese;  // 60 characters of 3 bytes each
    for (int i = 0; i < 60; ++i) chinese += "\xE5\x88\x87";
    CMemoryProfile p("[AutoGET]\nColExportFilename=" + sixty + "\nColExportPath=" + chinese +
                     "\n[A]\nEmpty=\n");

    std::string text = "old";
    EXPECT_TRUE(ProfileValue(p, 1, "AutoGET", "ColExportFilename", text));
    EXPECT_EQ(text, std::string(49, 'a'));
    EXPECT_TRUE(ProfileValue(p, 1, "AutoGET", "ColExportPath", text));
    EXPECT_EQ(text, chinese.substr(0, 49 * 3));  // 49 whole characters, not 49 bytes
    EXPECT_FALSE(ProfileValue(p, 1, "A", "Empty", text));
    EXPECT_EQ(text, "");
    text = "old";
    EXPECT_FALSE(ProfileValue(p, 1, "A", "Missing", text));
    EXPECT_EQ(text, "");

    EXPECT_EQ(Load(p.Text()).exportFileName, std::string(49, 'a'));

    text = "v";
    EXPECT_TRUE(ProfileValue(p, 2, "A", "Other", text));
    EXPECT_TRUE(ProfileValue(p, 0, "A", "Written", text));
    EXPECT_TRUE(p.Has("A", "Written"));
    EXPECT_FALSE(p.Has("A", "Other"));

    CMemoryProfile locked("[A]\nK=1\n");
    locked.readOnly = true;
    text = "2";
    EXPECT_TRUE(ProfileValue(locked, 0, "A", "K", text));  // failures stay quiet
    EXPECT_EQ(locked.Text(), "[A]\r\nK=1\r\n");
}

TEST(Settings, StartupLanguage) {
    struct Case {
        const char* ini;
        uint16_t langId;
        uint8_t english;
        const char* after;  // the whole file afterwards
    };
    const Case cases[] = {
        {"[Language]\r\nLan=Chinese\r\n", 0x0409, 0, "[Language]\r\nLan=Chinese\r\n"},
        {"[Language]\r\nLan=chinese\r\n", 0x0804, 1, "[Language]\r\nLan=chinese\r\n"},
        {"[Language]\r\nLan=CHINESE\r\n", 0x0804, 1, "[Language]\r\nLan=CHINESE\r\n"},
        {"[Language]\r\nLan=English\r\n", 0x0804, 1, "[Language]\r\nLan=English\r\n"},
        {"[LANGUAGE]\r\nLan=Chinese\r\n", 0x0409, 0, "[LANGUAGE]\r\nLan=Chinese\r\n"},
        {"[COM]\r\nCurrentCom=2\r\n", 0x0804, 1, "[COM]\r\nCurrentCom=2\r\n"},
        {"[Language]\r\nLan=\r\n[COM]\r\nCurrentCom=2\r\n", 0x0804, 0,
         "[Language]\r\nLan=Chinese\r\n[COM]\r\nCurrentCom=2\r\n"},
        {"[Language]\r\nLan=\r\n", 0x0409, 1, "[Language]\r\nLan=English\r\n"},
        {"[Language]\r\nLan=\r\n", 0x0404, 1, "[Language]\r\nLan=English\r\n"},
        {"[LANGUAGE]\r\nLan=\r\n", 0x0804, 0, "[LANGUAGE]\r\nLan=Chinese\r\n"},
    };
    for (const Case& c : cases) {
        CMemoryProfile p(c.ini);
        EXPECT_EQ(ChooseStartupLanguage(p, c.langId), c.english) << c.ini;
        EXPECT_EQ(p.Text(), c.after) << c.ini;
    }

    CMemoryProfile locked("[Language]\r\nLan=\r\n");
    locked.readOnly = true;
    EXPECT_EQ(ChooseStartupLanguage(locked, 0x0804), 0);
    EXPECT_EQ(locked.Text(), "[Language]\r\nLan=\r\n");
}

StationSettings DialogResult() {
    StationSettings s;
    s.xDesignSize = 100.0f;
    s.xTrueSize = 99.5f;
    s.yDesignSize = 0.1f;
    s.yTrueSize = 250.25f;
    s.flagColor = 2;
    s.modelIndex = 1;
    s.exportFolder = kTemp;
    s.exportFileName = "kelmirt.plt";
    s.closeOffset = 0.5f;
    s.segLen = 150;
    s.sharpOffset = 0.6f;
    s.reducePoint = 0.2f;
    s.solidLineLen = 3.456f;
    s.jumpLineLen = 1.004f;
    s.xSteps = 12.34f;
    s.ySteps = 0.05f;
    s.closeEnble = 1;
    s.segEnble = 0;
    s.sharpEnble = 1;
    s.reducePointEnble = 1;
    s.cutImageMode = 1;
    s.dashedMode = 0;
    s.canFeedPaper = 1;
    s.waitSecond = 3;
    s.xSizeRedeem = 1.0f;
    s.ySizeRedeem = 0.98765f;
    return s;
}

TEST(Settings, SettingsOkWritesEveryKeyInOrderAndFormat) {
    CMemoryProfile p;
    StationSettings s = DialogResult();
    WriteSettingsOnOk(p, s, 1, "COM12");
    WriteSizeRedeem(p, s);
    EXPECT_EQ(p.Text(),
              "[LANGUAGE]\r\nLan=English\r\n"
              "[XYInaccuracy]\r\nXDesignSize=100.000\r\nXTrueSize=99.500\r\nYDesignSize=0.100\r\n"
              "YTrueSize=250.250\r\nXSizeRedeem=1.000000\r\nYSizeRedeem=0.987650\r\n"
              "[ImageCut]\r\nFlagColor=2\r\n"
              "[Model]\r\nMode=2\r\n"
              "[AutoGET]\r\nColExportPath=C:\\users\\me\\Temp\\\r\nColExportFilename=kelmirt.plt\r\n"
              "WaitSecond=3\r\n"
              "[CutConfig]\r\nCloseOffset=0.50\r\nSegLen=150\r\nSharpOffset=0.60\r\nReducePoint=0.20\r\n"
              "SolidLineLen=3.46\r\nJumpLineLen=1.00\r\nCloseEnble=1\r\nSegEnble=0\r\nSharpEnble=0\r\n"
              "ReducePointEnble=0\r\nCutImageMode=1\r\nDashedMode=0\r\n"
              "[FeedPaper]\r\nXSTEPS=12.3\r\nYSTEPS=0.1\r\nCanFeedPaper=1\r\n"
              "[COM]\r\nCurrentCom=12\r\n");
    EXPECT_EQ(s.currentCom, 12);
    EXPECT_EQ(s.sharpEnble, 0);
    EXPECT_EQ(s.reducePointEnble, 0);

    // What was written reads back as it was held.
    StationSettings back = Load(p.Text());
    EXPECT_EQ(back.modelIndex, 1);
    EXPECT_EQ(back.currentCom, 12);
    EXPECT_EQ(back.exportFileName, "kelmirt.plt");
    EXPECT_EQ(back.xTrueSize, 99.5f);
    EXPECT_EQ(back.solidLineLen, 3.46f);
    EXPECT_EQ(back.ySizeRedeem, 0.98765f);
    EXPECT_EQ(back.cutImageMode, 1);
    EXPECT_EQ(back.canFeedPaper, 1);
}

TEST(Settings, SettingsOkOverAnExistingFile) {
    CMemoryProfile p(
        "[Language]\r\nLan=Chinese\r\n[COM]\r\nCurrentCom=3\r\nBaudRate=9600\r\n"
        "[CutConfig]\r\nSharpEnble=1\r\nSP1=4\r\n");
    StationSettings s = DialogResult();
    s.modelIndex = -1;
    s.flagColor = -1;
    s.ySteps = -0.04f;
    WriteSettingsOnOk(p, s, 0, "USB");
    EXPECT_EQ(s.currentCom, 0);
    std::string v;
    ASSERT_TRUE(p.Has("Language", "Lan", &v));
    EXPECT_EQ(v, "Chinese");
    ASSERT_TRUE(p.Has("COM", "CurrentCom", &v));
    EXPECT_EQ(v, "");
    ASSERT_TRUE(p.Has("CutConfig", "SharpEnble", &v));
    EXPECT_EQ(v, "0");
    ASSERT_TRUE(p.Has("CutConfig", "SP1", &v));
    EXPECT_EQ(v, "4");
    ASSERT_TRUE(p.Has("Model", "Mode", &v));
    EXPECT_EQ(v, "0");
    ASSERT_TRUE(p.Has("ImageCut", "FlagColor", &v));
    EXPECT_EQ(v, "-1");
    ASSERT_TRUE(p.Has("FeedPaper", "YSTEPS", &v));
    EXPECT_EQ(v, "-0.0");
    EXPECT_EQ(p.Text().find("[LANGUAGE]"), std::string::npos);  // one language section

    // The empty port number reads as port 1 at the next start.
    EXPECT_EQ(Load(p.Text()).currentCom, 1);
}

TEST(Settings, PenPresetsWriteUsePresetPaThenSp1ToSp8) {
    CMemoryProfile p("[CutConfig]\r\nSegLen=200\r\nSP2=7\r\n");
    StationSettings s;
    s.usePresetPa = 1;
    const int32_t presets[8] = {3, 1, 8, 2, 2, 5, 6, 4};
    for (int i = 0; i < 8; ++i) s.penPresets[i] = presets[i];
    WritePenPresets(p, s);
    EXPECT_EQ(p.Text(),
              "[CutConfig]\r\nSegLen=200\r\nSP2=1\r\nUsePresetPa=1\r\nSP1=3\r\nSP3=8\r\nSP4=2\r\n"
              "SP5=2\r\nSP6=5\r\nSP7=6\r\nSP8=4\r\n");

    CMemoryProfile fresh;
    s.usePresetPa = 0;
    WritePenPresets(fresh, s);
    EXPECT_EQ(fresh.Text(),
              "[CutConfig]\r\nUsePresetPa=0\r\nSP1=3\r\nSP2=1\r\nSP3=8\r\nSP4=2\r\nSP5=2\r\n"
              "SP6=5\r\nSP7=6\r\nSP8=4\r\n");
}

TEST(Settings, LoadRunsTheStartupStepsBetweenTheReads) {
    CMemoryProfile p("[COM]\nCurrentCom=4\n[Model]\nMode=3\n[AutoGET]\nColExportFilename=a.plt\n");
    StationSettings s;
    std::string seen;
    StationSettingsLoadHooks hooks;
    hooks.afterComReads = [&] { seen += "com " + std::to_string(s.currentCom) + " model " + std::to_string(s.modelIndex) + ";"; };
    hooks.afterModel = [&] { seen += "model " + std::to_string(s.modelIndex) + " file '" + s.exportFileName + "';"; };
    s.modelIndex = 9;
    LoadSettings(p, kTemp, s, &hooks);
    EXPECT_EQ(seen, "com 4 model 9;model 2 file ' ';");
    EXPECT_EQ(s.exportFileName, "a.plt");
}

TEST(Settings, PathsAndPortNumbers) {
    EXPECT_EQ(StationSettingsPath("C:\\Program Files\\Kelmirt\\Kelmirt.exe"),
              "C:\\Program Files\\Kelmirt\\\\Kelmirt.ini");
    EXPECT_EQ(StationSettingsPath("C:\\k\\KELMIRT2.EXE"), "C:\\k\\K\\Kelmirt.ini");  // a fixed count
    EXPECT_EQ(StationSettingsPath("D:\\\xE8\xBD\xAF\xE4\xBB\xB6\\\xE5\x88\x87\xE5\x89\xB2\xE7\xA8\x8B\xE5\xBA\x8F" "123.exe"),
              "D:\\\xE8\xBD\xAF\xE4\xBB\xB6\\\\Kelmirt.ini");  // counted in characters
    EXPECT_EQ(StationSettingsPath("a.exe"), "\\Kelmirt.ini");

    const std::pair<const char*, const char*> ports[] = {
        {"COM3", "3"}, {"COM12", "12"}, {"COM1234", "123"}, {"USB", ""}, {"CO", ""}, {"", ""},
        {"\xE7\xAB\xAF\xE5\x8F\xA3:5", "5"},
    };
    for (auto& c : ports) EXPECT_EQ(PortNumberText(c.first), c.second) << c.first;
}

}  // namespace
