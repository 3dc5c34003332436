#include "pen_regroup.h"

#include <cstring>
#include <string_view>

namespace {

// One walked piece of the text. A command runs up to its ";" (or the end of the data) and
// takes along the line break right after it, so a file with one command per line is walked
// line by line. Lines with nothing on them come on their own.
struct Item {
    enum Kind { kEnd, kBlankLine, kCommand } kind = kEnd;
    size_t start = 0;         // the walked bytes, line feed included
    size_t end = 0;
    bool terminated = false;  // the command ends with its ";"
    bool lineFed = false;     // a line feed ended the walked bytes
    // The command as the reading sees it, without its line breaks:
    bool hasLT = false;       // holds "LT"
    bool hasSP = false;       // holds "SP"
    char third = '\0';        // its third character, NUL when shorter
};

class CCommandWalk {
public:
    CCommandWalk(std::string_view text, size_t from) : text_(text), pos_(from) {}

    size_t Position() const { return pos_; }

    Item Next() {
        Item it;
        const size_t n = text_.size();
        const char* s = text_.data();
        it.start = pos_;
        if (pos_ >= n) return it;
        size_t p = pos_;
        while (p < n && s[p] == '\r') ++p;
        if (p < n && s[p] == '\n') {
            pos_ = it.end = p + 1;
            it.kind = Item::kBlankLine;
            it.lineFed = true;
            return it;
        }
        if (p == n) {  // carriage returns that end the data stand for nothing
            pos_ = n;
            it.start = n;
            return it;
        }
        const void* semi = std::memchr(s + pos_, ';', n - pos_);
        it.terminated = semi != nullptr;
        const size_t end = semi ? static_cast<size_t>(static_cast<const char*>(semi) - s) + 1 : n;
        // "LT", "SP" and the third character of the command without its line breaks.
        char prev = '\0';
        size_t kept = 0;
        for (size_t i = pos_; i < end; ++i) {
            const char c = s[i];
            if (c == '\r' || c == '\n') continue;
            if (prev == 'L' && c == 'T') it.hasLT = true;
            if (prev == 'S' && c == 'P') it.hasSP = true;
            if (kept++ == 2) it.third = c;
            prev = c;
        }
        p = end;
        while (p < n && s[p] == '\r') ++p;
        it.lineFed = p < n && s[p] == '\n';
        pos_ = it.end = it.lineFed ? p + 1 : p;
        it.kind = Item::kCommand;
        return it;
    }

private:
    std::string_view text_;
    size_t pos_;
};

// The bytes of the walked piece as one line of the regrouped text, ending with "\n". A
// command that ended with the data gets its ";", so it does not run into what follows it;
// its trailing carriage returns stay after the ";".
size_t LineSize(const Item& it) {
    return it.end - it.start + (it.lineFed ? 0 : 1) + (it.kind == Item::kCommand && !it.terminated ? 1 : 0);
}

void AppendLine(std::string& out, std::string_view text, const Item& it) {
    std::string_view line = text.substr(it.start, it.end - it.start - (it.lineFed ? 1 : 0));
    if (it.kind == Item::kCommand && !it.terminated) {
        size_t body = line.size();
        while (body > 0 && line[body - 1] == '\r') --body;
        out.append(line.data(), body);
        out += ';';
        line.remove_prefix(body);
    }
    out += line;
    out += '\n';
}

// The line in force: the last line that held "LT" (without its "\n"), or "LT;" before any.
struct LineType {
    size_t start = 0;
    size_t size = std::string_view::npos;  // npos: "LT;"
    std::string_view In(std::string_view text) const {
        return size == std::string_view::npos ? std::string_view("LT;") : text.substr(start, size);
    }
};

// Where the walk entered a bucket, with the line type in force there. The stretch runs up to
// the next stretch's start.
struct Stretch {
    size_t start;
    size_t bucket;
    LineType lineType;
};

// The pen row a "SP" command selects: the last row of that colour, or current when none.
bool SelectRow(const Item& it, const std::vector<SHARPCOLORS>& rows, size_t& current) {
    const int pen = static_cast<unsigned char>(it.third) - '0';
    bool found = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].colour == pen) {
            current = i;
            found = true;
        }
    }
    return found;
}

bool DropsPen(const Item& it) { return it.third == '0' || it.third == ';'; }

class CQuietNotice : public INotice {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return kAnswerOk; }
};

// Walks [from, to) starting in bucket `current` with line type lt, and appends to out what
// goes into bucket target.
void Replay(std::string_view text, size_t from, size_t to, size_t current, LineType lt,
            const std::vector<SHARPCOLORS>& rows, size_t target, std::string& out) {
    CCommandWalk walk(text, from);
    while (walk.Position() < to) {
        const Item it = walk.Next();
        if (it.kind == Item::kEnd) break;
        if (it.kind == Item::kCommand && it.hasLT) {
            if (current == target) AppendLine(out, text, it);
            lt.start = it.start;
            lt.size = it.end - it.start - (it.lineFed ? 1 : 0);
            continue;
        }
        if (it.kind == Item::kCommand && it.hasSP) {
            if (DropsPen(it)) continue;
            SelectRow(it, rows, current);
            if (current == target) {
                out += lt.In(text);
                out += '\n';
            }
            continue;
        }
        if (current == target) AppendLine(out, text, it);
    }
}

}  // namespace

namespace {

std::string Regrouped(std::string_view text, const std::vector<SHARPCOLORS>& rows, INotice& notice) {
    // First walk: what each bucket will hold, and where the walk changes bucket. The second
    // walk writes every bucket straight into the result, so no bucket is held on its own.
    std::vector<size_t> sizes(rows.size());
    std::vector<std::string> heads(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        heads[i] = "SP" + std::to_string(rows[i].colour) + ";\r\n";
        sizes[i] = heads[i].size();
    }
    std::vector<Stretch> stretches{Stretch{0, 0, LineType{}}};
    // Many bucket changes in little text would make the stretch list larger than the text:
    // then every bucket is walked from the start instead.
    const size_t mostStretches = 1024 + text.size() / 64;
    bool byStretch = true;
    size_t current = 0;
    LineType lt;
    {
        CCommandWalk walk(text, 0);
        for (Item it; (it = walk.Next()).kind != Item::kEnd;) {
            if (it.kind == Item::kCommand && it.hasLT) {
                sizes[current] += LineSize(it);
                lt.start = it.start;
                lt.size = it.end - it.start - (it.lineFed ? 1 : 0);
                continue;
            }
            if (it.kind == Item::kCommand && it.hasSP) {
                if (DropsPen(it)) continue;
                const size_t before = current;
                if (!SelectRow(it, rows, current)) notice.Show("未知笔颜色!", std::string(), kNoticeOk);
                if (current != before && byStretch) {
                    if (stretches.size() < mostStretches) {
                        // The SP itself is replayed in its new bucket: it only repeats the line type.
                        stretches.push_back(Stretch{it.start, current, lt});
                    } else {
                        byStretch = false;
                        std::vector<Stretch>().swap(stretches);
                    }
                }
                sizes[current] += lt.In(text).size() + 1;
                continue;
            }
            sizes[current] += LineSize(it);
        }
    }

    size_t total = 5;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].enabled) total += sizes[i];
    }
    std::string result;
    result.reserve(total);
    for (size_t b = 0; b < rows.size(); ++b) {
        if (!rows[b].enabled) continue;
        result += heads[b];
        if (!byStretch) {
            Replay(text, 0, text.size(), 0, LineType{}, rows, b, result);
            continue;
        }
        for (size_t k = 0; k < stretches.size(); ++k) {
            if (stretches[k].bucket != b) continue;
            const size_t to = k + 1 < stretches.size() ? stretches[k + 1].start : text.size();
            Replay(text, stretches[k].start, to, b, stretches[k].lineType, rows, b, result);
        }
    }
    result += "SP0;\n";
    return result;
}

}  // namespace

void RegroupByPen(std::string& text, const std::vector<SHARPCOLORS>& rows, INotice& notice) {
    if (rows.empty()) return;
    std::string result = Regrouped(text, rows, notice);
    text.swap(result);
}


void CPenOrder::Add(std::vector<Piece>& list, size_t start, size_t size, bool own, bool terminate) {
    size_ += size;
    // Pieces hold 32-bit lengths, to keep a job with many pen changes small.
    constexpr size_t kMost = UINT32_MAX;
    for (; size > kMost; start += kMost, size -= kMost) list.push_back(Piece{start, kMost, own, false});
    list.push_back(Piece{start, static_cast<uint32_t>(size), own, terminate});
}

CPenOrder::CPenOrder(std::string_view text) : text_(text), lists_(1) { Add(lists_[0], 0, text.size(), false, false); }

CPenOrder::CPenOrder(std::string_view text, const std::vector<SHARPCOLORS>& rows, INotice& notice) : text_(text) {
    if (rows.empty()) {
        lists_.resize(1);
        Add(lists_[0], 0, text.size(), false, false);
        return;
    }
    for (const SHARPCOLORS& row : rows) own_ += "SP" + std::to_string(row.colour) + ";";
    const size_t end = own_.size();
    own_ += "SP0;";
    const size_t plainLineType = own_.size();
    own_ += "LT;";
    // One list per row, opened by its "SP<pen>;"; a switched-off row keeps nothing.
    lists_.resize(rows.size() + 1);
    for (size_t b = 0, head = 0; b < rows.size(); ++b) {
        const size_t size = 3 + std::to_string(rows[b].colour).size();
        if (rows[b].enabled) Add(lists_[b], head, size, true, false);
        head += size;
    }
    Add(lists_.back(), end, plainLineType - end, true, false);

    // The walk of the regrouping. What it copies as it stands goes to the row in force as a
    // piece of the text; a pen change is dropped or becomes the line type in force; a last
    // command without ";" is read with one.
    const size_t mostPieces = 1024 + text.size() / 32;
    size_t pieces = 0;
    bool fits = true;
    size_t current = 0;
    size_t pos = 0;  // the text up to here is placed
    auto place = [&](size_t start, size_t size, bool own, bool terminate) {
        if (!fits || !rows[current].enabled || size == 0) return;
        if (++pieces > mostPieces) {
            fits = false;
            return;
        }
        Add(lists_[current], start, size, own, terminate);
    };
    auto placeUpTo = [&](size_t at) {
        if (at > pos) place(pos, at - pos, false, false);
        pos = at;
    };
    LineType lt;
    CCommandWalk walk(text, 0);
    for (Item it; (it = walk.Next()).kind != Item::kEnd;) {
        if (it.kind != Item::kCommand) continue;
        if (it.hasLT) {
            if (!it.terminated) {
                placeUpTo(it.start);
                place(it.start, it.end - it.start, false, true);
                pos = it.end;
            }
            lt.start = it.start;
            lt.size = it.end - it.start - (it.lineFed ? 1 : 0);
            continue;
        }
        if (it.hasSP) {
            placeUpTo(it.start);
            pos = it.end;
            if (DropsPen(it)) continue;
            if (!SelectRow(it, rows, current)) notice.Show("未知笔颜色!", std::string(), kNoticeOk);
            if (lt.size == std::string_view::npos) place(plainLineType, 3, true, false);
            else place(lt.start, lt.size, false, false);
            continue;
        }
        if (!it.terminated) {
            placeUpTo(it.start);
            place(it.start, it.end - it.start, false, true);
            pos = it.end;
        }
    }
    placeUpTo(text.size());
    if (fits) return;

    // Pen changes on most lines: the pieces would take more memory than a copy.
    std::vector<std::vector<Piece>>(1).swap(lists_);
    size_ = 0;
    CQuietNotice quiet;  // the walk above has told the user
    copy_ = Regrouped(text, rows, quiet);
    Add(lists_[0], 0, copy_.size(), false, false);
}

CPenOrderReader::CPenOrderReader(const CPenOrder& order, size_t capacity)
    : order_(order), reader_(std::string_view(), capacity) {}

CCommandReader::Result CPenOrderReader::Next() {
    for (;;) {
        const CCommandReader::Result r = reader_.Next();
        if (r != CCommandReader::kEnd) {
            full_ = r == CCommandReader::kFull;
            return r;
        }
        if (terminate_ && full_) {
            // The ";" after a command cut off at the capacity makes an empty command.
            terminate_ = full_ = false;
            return CCommandReader::kCommand;
        }
        while (list_ < order_.lists_.size() && next_ == order_.lists_[list_].size()) {
            ++list_;
            next_ = 0;
        }
        if (list_ == order_.lists_.size()) return CCommandReader::kEnd;
        const CPenOrder::Piece& p = order_.lists_[list_][next_++];
        reader_.Reset(order_.Bytes(p));
        terminate_ = p.terminate;
        full_ = false;
    }
}
