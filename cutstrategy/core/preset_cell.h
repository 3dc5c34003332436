#pragma once
// The machine preset a cut strategy cell stands for.
#include <string>

// Its last character as a digit 1 to 8 ("预设参数#5" gives 5); 0 for any other text,
// so that a typed text can never give a preset the cutter does not have.
inline int PresetFromCellText(const std::string& text) {
    if (text.empty()) return 0;
    char last = text.back();
    return last >= '1' && last <= '8' ? last - '0' : 0;
}
