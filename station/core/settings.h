#pragma once
// The station's settings file "Kelmirt.ini": the values the main dialog keeps,
// how they are read at start, and how they are written back.
#include <cstdint>
#include <functional>
#include <string>

#include "profile.h"

// The settings as the main dialog holds them. Defaults are those of a missing file.
struct StationSettings {
    uint8_t currentCom = 1;          // [COM] CurrentCom, only shown in the port label
    int32_t baudRate = 9600;         // [COM] BaudRate, never written
    int32_t waitSecond = 1;          // [AutoGET] WaitSecond
    std::string exportFolder = " ";  // always the temporary folder after the load
    std::string exportFileName = " ";  // [AutoGET] ColExportFilename, at most 49 characters
    int32_t modelIndex = 0;          // [Model] Mode minus 1; at most 2, may be negative
    int32_t usePresetPa = 0;         // [CutConfig] UsePresetPa
    int32_t penPresets[8] = {1, 1, 1, 1, 1, 1, 1, 1};  // [CutConfig] SP1..SP8, pens 1 to 8
    int32_t dashedMode = 0;          // 0 or 1
    uint8_t cutImageMode = 0;        // contour cutting, 0 or 1
    uint8_t closeEnble = 0;          // 0 or 1
    int32_t segEnble = 0;            // 0 or 1
    int32_t segLen = 200;            // mm
    float closeOffset = 0.5f;        // mm
    float solidLineLen = 0.0f;       // mm
    float jumpLineLen = 0.0f;        // mm
    float reducePoint = 0.2f;        // not read from the file; 0.2 from every start
    float sharpOffset = 0.6f;        // the settings dialog always offers 0.6
    uint8_t sharpEnble = 0;          // sharp-corner switch, cleared on every settings OK
    uint8_t reducePointEnble = 0;    // point-reduction switch, cleared on every settings OK
    int32_t canFeedPaper = 0;        // 0 or 1
    float xSteps = 0.0f;             // [FeedPaper] XSTEPS, mm
    float ySteps = 0.0f;             // [FeedPaper] YSTEPS, mm
    float xDesignSize = 100.0f;
    float xTrueSize = 100.0f;
    float yDesignSize = 100.0f;
    float yTrueSize = 100.0f;
    float xSizeRedeem = 1.0f;
    float ySizeRedeem = 1.0f;
    int8_t flagColor = 0;            // MARK colour: 0 none, 1 blue, 2 red
};

// Longest value, in characters, that a single settings read keeps.
constexpr size_t kProfileValueMax = 49;

// The settings path for the running program file: the shipped name "Kelmirt.exe"
// is cut off the end by its length, then "\Kelmirt.ini" follows (two separators).
std::string StationSettingsPath(const std::string& modulePath);

// One-key settings access. Mode 1 reads at most 49 characters into text and is true when
// the text is not empty; mode 0 writes text and is true even when the write fails;
// any other mode does nothing and is true.
bool ProfileValue(IProfile& profile, uint8_t mode, const char* section, const char* key,
                  std::string& text);

// The start-up language: returns the English flag (1 English, 0 Chinese). An empty
// [Language] Lan is decided by the system language and written back.
uint8_t ChooseStartupLanguage(IProfile& profile, uint16_t systemLangId);

// Steps of the start-up that the main dialog runs between the reads.
struct StationSettingsLoadHooks {
    std::function<void()> afterComReads;  // after CurrentCom, BaudRate and WaitSecond
    std::function<void()> afterModel;     // after Mode
};

// Reads every setting in the station's start-up order. The export folder ends up as
// tempFolder whatever the file holds.
void LoadSettings(IProfile& profile, const std::string& tempFolder, StationSettings& settings,
                  const StationSettingsLoadHooks* hooks = nullptr);

// After a job's cutting options end with OK: UsePresetPa, then SP1 to SP8.
void WritePenPresets(IProfile& profile, const StationSettings& settings);

// The port number part of the settings dialog's port text: what follows its first
// three characters, at most three characters ("COM12" gives "12", "USB" gives "").
std::string PortNumberText(const std::string& portText);

// After the settings dialog ends with OK and its values are copied into settings:
// sets CurrentCom from the port text, clears the sharp-corner and point-reduction
// switches, and writes every key the dialog owns in the station's order.
void WriteSettingsOnOk(IProfile& profile, StationSettings& settings, uint8_t english,
                       const std::string& portText);

// After every run of the settings dialog, OK or not: XSizeRedeem and YSizeRedeem.
void WriteSizeRedeem(IProfile& profile, const StationSettings& settings);

// Number conversions of the settings file, the same in every build: leading blanks
// are skipped, conversion stops at the first character that does not fit, no digits
// give 0. Integers saturate at the int32 limits; reals stay finite.
int32_t SettingsInt(const std::string& text);
float SettingsFloat(const std::string& text);
// "%.Nf" of a value, rounded the same way in every build.
std::string SettingsFixed(double value, int digits);
