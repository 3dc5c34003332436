#pragma once
// Starting the real Lumbrel.exe from the unpacked release zip, with the drawing program's
// stand-in registered in the prefix, and pressing Setup as a user does: every
// message box on the way is read and answered.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "e2e_kit.h"

namespace lumbrel_e2e {

constexpr int kSetupButton = 1, kCancelButton = 2, kVersionList = 1001;
constexpr char kSetupCaption[] = "Kelmirt Setup";
constexpr char kAppTitle[] = "Lumbrel";
constexpr char kInstallFolder[] = "c:\\program files\\Kelmirt\\";
extern const char* const kMacroFiles[5];

// A message box as the user saw it.
struct Box {
    std::string caption, text;
    bool icon = false;
    bool operator==(const Box& o) const { return caption == o.caption && text == o.text && icon == o.icon; }
};
void PrintTo(const Box& b, std::ostream* os);
Box Stop(const std::string& text);  // "Kelmirt Setup" with the stop icon

struct SetupRun {
    std::vector<Box> boxes;
    bool finished = false;  // Setup returned (or the program ended)
};

// What the stand-in answers (see standin/draw_standin.cpp).
struct DrawAnswers {
    std::string folder;  // the settings folder property
    bool vba = true;
    std::string gms;
    std::string failDispid;
};

class LumbrelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts Lumbrel from a copy of the unpacked release folder; the dialog, or null.
    HWND Start(const std::vector<std::string>& removeFiles = {});
    void Select(int index);
    // Presses Setup and answers each message box with OK until Setup returns;
    // a screenshot is taken of the box whose text is shotText.
    SetupRun PressSetup(const std::string& shotText = "", const std::string& shotName = "");

    std::vector<std::string> Calls() const;  // the stand-in's log
    std::string ToolFolder() const { return lumbrel.Folder(); }
    std::string Shipped(const std::string& name) const;  // a file of the run's tool folder
    std::string IniValue(const std::string& path, const std::string& section, const std::string& key) const;
    std::vector<std::string> FilesIn(const std::string& folder) const;

    // Registers (or removes) the stand-in under one ProgID.
    static bool RegisterStandIn();
    static void UnregisterProgId(const std::string& progId);

    e2e::CProgram lumbrel;
    HWND dlg = nullptr;
    DrawAnswers draw;
    std::string root;     // this test's own folder: the drawing program's folders and the log
    std::string logPath;
};

}  // namespace lumbrel_e2e
