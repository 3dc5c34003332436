#include "recording_notice.h"

int CRecordingNotice::Show(const std::string& text, const std::string& caption, unsigned style) {
    shown.push_back(Shown{text, caption, style});
    if (answers.empty()) return kAnswerOk;
    int a = answers.front();
    answers.pop_front();
    return a;
}

size_t CRecordingNotice::Count(const std::string& text) const {
    size_t n = 0;
    for (auto& s : shown) n += s.text == text;
    return n;
}

std::vector<std::string> CRecordingNotice::Texts() const {
    std::vector<std::string> t;
    for (auto& s : shown) t.push_back(s.text);
    return t;
}
