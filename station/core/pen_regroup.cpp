#include "pen_regroup.h"

#include <string_view>

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// Walks the text one command at a time. A command runs up to its ";" (or the end of the
// data) and takes along the line break right after it, so a file with one command per line
// is walked line by line. Lines with nothing on them come on their own.
class CCommandWalk {
public:
    explicit CCommandWalk(std::string_view text) : text_(text) {}

    enum Kind { kEnd, kBlankLine, kCommand };

    Kind Next() {
        const size_t n = text_.size();
        start_ = pos_;
        if (pos_ >= n) return kEnd;
        size_t p = pos_;
        while (p < n && text_[p] == '\r') ++p;
        if (p < n && text_[p] == '\n') {
            pos_ = p + 1;
            return kBlankLine;
        }
        if (p == n) {  // carriage returns that end the data stand for nothing
            pos_ = n;
            return kEnd;
        }
        size_t end = text_.find(';', pos_);
        terminated_ = end != std::string_view::npos;
        end = terminated_ ? end + 1 : n;
        // The command as the reading sees it: without its line breaks.
        command_.clear();
        for (size_t i = pos_; i < end; ++i)
            if (!IsBreak(text_[i])) command_ += text_[i];
        p = end;
        while (p < n && text_[p] == '\r') ++p;
        lineFed_ = p < n && text_[p] == '\n';
        pos_ = lineFed_ ? p + 1 : p;
        return kCommand;
    }

    const std::string& Command() const { return command_; }
    // The walked bytes without the line feed that ends them (a CR before it stays).
    std::string_view Line() const {
        return text_.substr(start_, pos_ - start_ - (lineFed_ ? 1 : 0));
    }
    // Appends the walked command as one line of the regrouped text. A command that ended
    // with the data gets its ";" here, so it does not run into whatever follows it.
    void AppendLine(std::string& out) const {
        const std::string_view line = Line();
        if (terminated_) {
            out += line;
        } else {
            // Its trailing carriage returns stay after the added ";".
            size_t body = line.size();
            while (body > 0 && line[body - 1] == '\r') --body;
            out += line.substr(0, body);
            out += ';';
            out += line.substr(body);
        }
        out += '\n';
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
    size_t start_ = 0;
    bool terminated_ = false;
    bool lineFed_ = false;
    std::string command_;
};

}  // namespace

void RegroupByPen(std::string& text, const std::vector<SHARPCOLORS>& rows, INotice& notice) {
    if (rows.empty()) return;
    std::vector<std::string> buckets(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        buckets[i] = "SP" + std::to_string(rows[i].colour) + ";\r\n";
    }
    size_t current = 0;
    std::string lineType = "LT;";

    CCommandWalk walk(text);
    for (CCommandWalk::Kind kind; (kind = walk.Next()) != CCommandWalk::kEnd;) {
        if (kind == CCommandWalk::kBlankLine) {
            buckets[current] += walk.Line();
            buckets[current] += '\n';
            continue;
        }
        const std::string& command = walk.Command();
        if (command.find("LT") != std::string::npos) {
            // Kept in place as well: an LT that follows its pen's SP would otherwise
            // be lost, and the paths after it cut with the wrong line type.
            std::string line;
            walk.AppendLine(line);
            buckets[current] += line;
            line.pop_back();
            lineType = std::move(line);
            continue;
        }
        if (command.find("SP") != std::string::npos) {
            // The third character of the command names the pen (a NUL ends a short one).
            const char c = command.size() > 2 ? command[2] : '\0';
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
        walk.AppendLine(buckets[current]);
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
