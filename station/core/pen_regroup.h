#pragma once
// Reorders a PLT job's commands by pen, in the order of the cut strategy's colour rows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "notice.h"
#include "plt_reader.h"
#include "records.h"

// Rewrites text: one bucket per row headed "SP<pen>;\r\n", the enabled buckets joined
// in row order, then "SP0;\n". Commands (each up to its ";") go to the bucket of the pen
// in force, each on a line of its own; a file with one command per line keeps its lines
// as they were. With no rows the text stays as it is.
void RegroupByPen(std::string& text, const std::vector<SHARPCOLORS>& rows, INotice& notice);

// The commands of a job in the order RegroupByPen gives them, read from the text where it
// lies: a 50 MB job is not copied. Only a text with very many pen changes is regrouped into a
// copy, since keeping track of every change would take more memory than the copy. The text
// must outlive the order.
class CPenOrder {
public:
    // The text as it is.
    explicit CPenOrder(std::string_view text);
    // The text regrouped by the rows, with the messages RegroupByPen shows.
    CPenOrder(std::string_view text, const std::vector<SHARPCOLORS>& rows, INotice& notice);

    // About the length of the regrouped text.
    size_t Size() const { return size_; }
    // Whether the regrouped text was copied after all.
    bool Copied() const { return !copy_.empty(); }

private:
    friend class CPenOrderReader;
    // A stretch of the text (or of own_) read as it stands. A piece that ends the data without
    // its ";" is read as if it had one, as the regrouped text gives it one.
    struct Piece {
        size_t start;
        uint32_t size;
        bool own;
        bool terminate;
    };
    void Add(std::vector<Piece>& list, size_t start, size_t size, bool own, bool terminate);
    std::string_view Bytes(const Piece& p) const {
        const std::string_view from = p.own ? std::string_view(own_) : copy_.empty() ? text_ : std::string_view(copy_);
        return from.substr(p.start, p.size);
    }

    std::string_view text_;
    std::string own_;   // the bucket heads, "SP0;" and "LT;"
    std::string copy_;  // the regrouped text, when it had to be made
    std::vector<std::vector<Piece>> lists_;  // read one after the other
    size_t size_ = 0;
};

// Cuts a CPenOrder into commands exactly as CCommandReader cuts the regrouped text.
class CPenOrderReader {
public:
    CPenOrderReader(const CPenOrder& order, size_t capacity);
    CCommandReader::Result Next();
    std::string_view Command() const { return reader_.Command(); }

private:
    const CPenOrder& order_;
    size_t list_ = 0;         // the list and piece to read next
    size_t next_ = 0;
    bool terminate_ = false;  // the piece being read ends with the ";" it lacks
    bool full_ = false;       // the last command was cut off at the capacity
    CCommandReader reader_;
};
