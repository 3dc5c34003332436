#include "pen_regroup.h"

#include <string_view>

void RegroupByPen(std::string& text, const std::vector<SHARPCOLORS>& rows, INotice& notice) {
    if (rows.empty()) return;
    std::vector<std::string> buckets(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        buckets[i] = "SP" + std::to_string(rows[i].colour) + ";\r\n";
    }
    size_t current = 0;
    std::string lineType = "LT;";

    std::string_view all(text);
    size_t start = 0;
    for (size_t lf; (lf = all.find('\n', start)) != std::string_view::npos; start = lf + 1) {
        const std::string_view line = all.substr(start, lf - start);
        if (line.find("LT") != std::string_view::npos) {
            // Kept in place as well: an LT that follows its pen's SP line would otherwise
            // be lost, and the paths after it cut with the wrong line type.
            lineType.assign(line);
            buckets[current] += line;
            buckets[current] += '\n';
            continue;
        }
        if (line.find("SP") != std::string_view::npos) {
            // The third character of the line names the pen (a NUL ends a short line).
            const char c = line.size() > 2 ? line[2] : '\0';
            if (c == '0' || c == ';') continue;
            const int pen = static_cast<unsigned char>(c) - '0';
            bool found = false;
            for (size_t i = 0; i < rows.size(); ++i) {
                if (rows[i].colour == pen) {
                    current = i;
                    found = true;
                }
            }
            if (!found) notice.Show("未知笔颜色!", std::string(), kNoticeOk);
            buckets[current] += lineType;
            buckets[current] += '\n';
            continue;
        }
        buckets[current] += line;
        buckets[current] += '\n';
    }

    size_t total = 5;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].enabled) total += buckets[i].size();
    }
    // Release the old text first, so the job is held at most twice at any time.
    std::string().swap(text);
    text.reserve(total);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].enabled) text += buckets[i];
        std::string().swap(buckets[i]);
    }
    text += "SP0;\n";
}
