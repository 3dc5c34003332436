// The station's settings rules against real INI files through the Windows profile functions.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "fwstring.h"
#include "profile_win32.h"
#include "settings.h"

namespace {

class SettingsIni : public ::testing::Test {
protected:
    std::string folder_;  // UTF-8, ends in a backslash

    void SetUp() override {
        wchar_t temp[MAX_PATH + 1] = {0};
        GetTempPathW(MAX_PATH, temp);
        folder_ = WideToUtf8(temp) + "kelmirt_ini_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryW(Utf8ToWide(folder_).c_str(), nullptr);
    }
    void TearDown() override {
        for (const char* name : {"Kelmirt.ini", "plain.ini"}) {
            std::wstring path = Utf8ToWide(folder_ + name);
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(Utf8ToWide(folder_).c_str());
    }
    // The path the station derives from its program file in this folder (two separators).
    std::string IniPath() const { return StationSettingsPath(folder_ + "Kelmirt.exe"); }

    static void WriteRaw(const std::string& path, const std::string& bytes) {
        HANDLE f = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
    static std::string ReadRaw(const std::string& path) {
        HANDLE f = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return "<none>";
        std::string bytes(GetFileSize(f, nullptr), '\0');
        DWORD got = 0;
        if (!bytes.empty()) ReadFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
        CloseHandle(f);
        return bytes;
    }
    static bool Exists(const std::string& path) {
        return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};

TEST_F(SettingsIni, MissingFileGivesDefaultsAndStaysMissing) {
    ASSERT_NE(IniPath().find("\\\\Kelmirt.ini"), std::string::npos);
    CIniProfile profile(IniPath());
    EXPECT_EQ(ChooseStartupLanguage(profile, 0x0804), 1);
    StationSettings s;
    LoadSettings(profile, "C:\\T\\", s);
    EXPECT_EQ(s.currentCom, 1);
    EXPECT_EQ(s.baudRate, 9600);
    EXPECT_EQ(s.exportFolder, "C:\\T\\");
    EXPECT_EQ(s.exportFileName, " ");
    EXPECT_EQ(s.segLen, 200);
    EXPECT_EQ(s.closeOffset, 0.5f);
    EXPECT_EQ(s.xTrueSize, 100.0f);
    EXPECT_EQ(s.penPresets[7], 1);
    EXPECT_FALSE(Exists(folder_ + "Kelmirt.ini"));
}

TEST_F(SettingsIni, WrittenFileReadsBackWithChineseText) {
    StationSettings s;
    s.exportFolder = folder_;
    // Twenty Chinese characters: 64 bytes in UTF-8, well inside the 49-character limit.
    std::string longName;
    for (int i = 0; i < 10; ++i) longName += "\xE5\x88\x87\xE5\x89\xB2";  // 切割
    s.exportFileName = longName + ".plt";
    s.modelIndex = 2;
    s.closeOffset = 1.25f;
    s.ySteps = 30.0f;
    s.cutImageMode = 1;
    s.flagColor = 1;
    s.ySizeRedeem = 0.5f;
    s.usePresetPa = 1;
    s.penPresets[2] = 6;
    {
        CIniProfile profile(IniPath());
        WriteSettingsOnOk(profile, s, 0, "COM7");
        WriteSizeRedeem(profile, s);
        WritePenPresets(profile, s);
    }
    CIniProfile again(IniPath());
    EXPECT_EQ(ChooseStartupLanguage(again, 0x0409), 0);
    std::string text;
    EXPECT_TRUE(ProfileValue(again, 1, "CutConfig", "CloseOffset", text));
    EXPECT_EQ(text, "1.25");
    EXPECT_TRUE(ProfileValue(again, 1, "XYInaccuracy", "YSizeRedeem", text));
    EXPECT_EQ(text, "0.500000");
    EXPECT_FALSE(ProfileValue(again, 1, "CutConfig", "NoSuchKey", text));

    StationSettings back;
    LoadSettings(again, "C:\\T\\", back);
    EXPECT_EQ(back.exportFileName, longName + ".plt");
    EXPECT_EQ(back.exportFolder, "C:\\T\\");
    EXPECT_EQ(back.modelIndex, 2);
    EXPECT_EQ(back.currentCom, 7);
    EXPECT_EQ(back.closeOffset, 1.25f);
    EXPECT_EQ(back.ySteps, 30.0f);
    EXPECT_EQ(back.cutImageMode, 1);
    EXPECT_EQ(back.flagColor, 1);
    EXPECT_EQ(back.ySizeRedeem, 0.5f);
    EXPECT_EQ(back.usePresetPa, 1);
    EXPECT_EQ(back.penPresets[2], 6);

    CIniProfile whole(IniPath());
    EXPECT_EQ(whole.ReadString("AutoGET", "ColExportPath", "", 1000), folder_);
}

TEST_F(SettingsIni, ChineseFolderNames) {
    const std::string chinese = folder_ + "\xE8\xAE\xBE\xE7\xBD\xAE\\";  // 设置
    if (!CreateDirectoryW(Utf8ToWide(chinese).c_str(), nullptr))
        GTEST_SKIP() << "the file system here cannot name a folder in Chinese";
    const std::string path = StationSettingsPath(chinese + "Kelmirt.exe");
    {
        CIniProfile profile(path);
        StationSettings s;
        s.exportFolder = chinese;
        WriteSettingsOnOk(profile, s, 1, "USB");
    }
    CIniProfile again(path);
    EXPECT_EQ(again.ReadString("AutoGET", "ColExportPath", "", 1000), chinese);
    EXPECT_EQ(ChooseStartupLanguage(again, 0x0804), 1);
    DeleteFileW(Utf8ToWide(chinese + "Kelmirt.ini").c_str());
    RemoveDirectoryW(Utf8ToWide(chinese).c_str());
}

TEST_F(SettingsIni, HandWrittenFileRules) {
    const std::string path = folder_ + "plain.ini";
    WriteRaw(path,
             "[LANGUAGE]\r\nLan=Chinese\r\n[Model]\r\nMode=7\r\n[CutConfig]\r\nSP3=9\r\nSP4=0\r\n"
             "UsePresetPa=2\r\nSegLen= 250mm\r\n[AutoGET]\r\nColExportFilename=" +
             std::string(60, 'n') + "\r\n");
    CIniProfile profile(path);
    EXPECT_EQ(ChooseStartupLanguage(profile, 0x0409), 0);
    StationSettings s;
    LoadSettings(profile, "C:\\T\\", s);
    EXPECT_EQ(s.modelIndex, 2);
    EXPECT_EQ(s.penPresets[2], 1);
    EXPECT_EQ(s.penPresets[3], 1);
    EXPECT_EQ(s.usePresetPa, 0);
    EXPECT_EQ(s.segLen, 250);
    EXPECT_EQ(s.exportFileName, std::string(49, 'n'));

    // An empty language is decided once and stored.
    WriteRaw(path, "[Language]\r\nLan=\r\n");
    CIniProfile fresh(path);
    EXPECT_EQ(ChooseStartupLanguage(fresh, 0x0804), 0);
    EXPECT_EQ(fresh.ReadString("Language", "Lan", "", 49), "Chinese");
}

TEST_F(SettingsIni, ReadOnlyFileIgnoresWritesQuietly) {
    const std::string path = folder_ + "plain.ini";
    const std::string content = "[Language]\r\nLan=\r\n[COM]\r\nCurrentCom=5\r\n";
    WriteRaw(path, content);
    ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_READONLY));
    CIniProfile profile(path);
    EXPECT_FALSE(profile.WriteString("COM", "CurrentCom", "6"));
    std::string text = "6";
    EXPECT_TRUE(ProfileValue(profile, 0, "COM", "CurrentCom", text));
    EXPECT_EQ(ChooseStartupLanguage(profile, 0x0804), 0);  // chosen all the same
    StationSettings s;
    WriteSettingsOnOk(profile, s, 1, "COM9");
    EXPECT_EQ(s.currentCom, 9);  // the held value stays in force
    EXPECT_EQ(ReadRaw(path), content);
}

TEST_F(SettingsIni, ShippedFileStartsWithDefaultsAndTheSystemLanguage) {
    const std::string shipped = ReadRaw(std::string(KM_TEST_DATA_DIR) + "/../../station/Kelmirt.ini");
    ASSERT_NE(shipped, "<none>");
    WriteRaw(folder_ + "Kelmirt.ini", shipped);
    CIniProfile profile(IniPath());
    EXPECT_EQ(ChooseStartupLanguage(profile, 0x0804), 0);
    EXPECT_EQ(profile.ReadString("Language", "Lan", "", 49), "Chinese");
    StationSettings s;
    LoadSettings(profile, "C:\\T\\", s);
    const StationSettings defaults;
    EXPECT_EQ(s.currentCom, defaults.currentCom);
    EXPECT_EQ(s.baudRate, defaults.baudRate);
    EXPECT_EQ(s.waitSecond, defaults.waitSecond);
    EXPECT_EQ(s.modelIndex, defaults.modelIndex);
    EXPECT_EQ(s.exportFileName, "kelmirt.plt");
    EXPECT_EQ(s.usePresetPa, defaults.usePresetPa);
    for (int pen = 0; pen < 8; ++pen) EXPECT_EQ(s.penPresets[pen], 1);
    EXPECT_EQ(s.segLen, defaults.segLen);
    EXPECT_EQ(s.closeOffset, defaults.closeOffset);
    EXPECT_EQ(s.xDesignSize, defaults.xDesignSize);
    EXPECT_EQ(s.xSizeRedeem, defaults.xSizeRedeem);
    EXPECT_EQ(s.flagColor, defaults.flagColor);
    EXPECT_EQ(s.dashedMode + s.cutImageMode + s.closeEnble + s.segEnble + s.canFeedPaper, 0);
}

}  // namespace
