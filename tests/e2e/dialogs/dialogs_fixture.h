#pragma once
// Starting the dialog host with one job dialog and reading back what its caller
// would read once the dialog has closed.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "e2e_kit.h"

namespace dialogs_e2e {

// Control ids as the dialogs' resources give them.
constexpr int kOk = 1, kCancel = 2;
constexpr int kList = 1093, kEditor = 1033, kByLayer = 1110, kByColour = 1111, kMove = 1011, kUseMachine = 1112;
constexpr int kConvList = 1003, kConvEditor = 1004, kConvByLayer = 1006, kConvByColour = 1007, kConvSort = 1012;
constexpr int kWidth = 1007, kHeight = 1008, kLeft = 1009, kTop = 1010, kSaveToFile = 1060, kCopies = 1080,
              kSpace = 1103, kCount = 1104, kSegStart = 1107, kPens = 1109;
constexpr int kBarcodeNumber = 1095, kGenerate = 1096;
constexpr DWORD kOpenMs = 20000;

class DialogTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Starts the host with these arguments and waits for the dialog with this caption.
    HWND Open(const std::string& arguments, const std::string& caption, const std::string& tag);
    // Waits for the host to end; the values it wrote, key by key (the last run's).
    std::map<std::string, std::string> Result();
    // The message box the host shows now (caption: the program's name), or null.
    HWND WaitMessageBox(DWORD ms = 5000);
    // Closes a message box with its button and waits until it is gone.
    void CloseMessageBox(HWND box);
    HWND Focused();
    e2e::ListViewState List(HWND dialog, int id);
    // Clicks the middle of a cell of the list.
    void ClickCell(HWND dialog, int listId, int row, int column);
    void ClickUpDown(HWND dialog, bool towardsEnd);
    bool Checked(HWND dialog, int id);

    e2e::CProgram host;
};

}  // namespace dialogs_e2e
