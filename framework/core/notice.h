#pragma once
// How portable code shows a message to the user. The programs implement it with
// message boxes; tests record what would have been shown.
#include <string>

// Styles and answers share the Win32 message box values, so the programs pass them on as they are.
enum : unsigned {
    kNoticeOk = 0x00000000u,
    kNoticeOkCancel = 0x00000001u,
    kNoticeYesNo = 0x00000004u,
    kNoticeIconError = 0x00000010u,
    kNoticeIconQuestion = 0x00000020u,
    kNoticeIconWarning = 0x00000030u,
    kNoticeIconInfo = 0x00000040u,
};
enum : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

class INotice {
public:
    virtual ~INotice() = default;
    // text and caption are UTF-8; an empty caption means the program's own title.
    virtual int Show(const std::string& text, const std::string& caption = std::string(),
                     unsigned style = kNoticeOk) = 0;
};
