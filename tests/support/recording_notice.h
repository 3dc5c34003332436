#pragma once
// A notice that remembers what would have been shown and answers from a script.
#include <deque>
#include <string>
#include <vector>

#include "notice.h"

class CRecordingNotice : public INotice {
public:
    struct Shown { std::string text, caption; unsigned style; };
    int Show(const std::string& text, const std::string& caption, unsigned style) override;

    std::vector<Shown> shown;
    std::deque<int> answers;  // answers to give, in order; kAnswerOk once they run out

    size_t Count(const std::string& text) const;
    std::vector<std::string> Texts() const;
};
