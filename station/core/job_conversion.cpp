#include "job_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "cutter_language.h"
#include "pen_regroup.h"

const PltBox& BoxInUse(const ConvertJob& job) {
    // Mark data without any point has no extent to measure the job by.
    return job.markDataPresent && !job.markBox.IsUntouched() ? job.markBox : job.jobBox;
}

void SetJobReferences(ConvertJob& job) {
    const PltBox& box = BoxInUse(job);
    job.referenceX = box.minCorner.x;
    job.referenceY = box.maxCorner.y;
}

namespace {

enum class Layout { kSingle, kBands, kParts };

// Every band or part stream holds at least "U0,0 ", a header of five characters and a
// trailer of seven, so a job with more of them than this share of the limit is too large.
constexpr size_t kLeastBytesPerStream = 17;
// Each point of a path comes out as an item of at least four characters (",0,0").
constexpr size_t kLeastBytesPerPoint = 4;
// Nodes made by splitting at band boundaries are memory as well: a path may gain no more of
// them than the stream could still hold at this many bytes each.
constexpr size_t kBytesPerSplitNode = 16;

class CConversion {
public:
    CConversion(const ConvertJob& job, const ConvertSettings& settings, const std::vector<SHARPCOLORS>& rows,
                INotice& notice, size_t maxBytes)
        : job_(job), s_(settings), notice_(&notice), loud_(notice), maxBytes_(maxBytes) {
        presets_.usePresets = s_.usePresets;
        presets_.rows = &rows;
    }
    ~CConversion() {
        FreePath(&head_);
        while (spare_) delete std::exchange(spare_, spare_->next);
    }

    // False when the job would outgrow the limit; the stream is then empty.
    bool Run(const CPenOrder& plt, std::string& stream);

private:
    bool SetUp(size_t textSize);
    void Read(const CPenOrder& plt);
    // A PU starts the path at its last pair: the blade moves up through the others.
    void StartPath(std::string_view command);
    void AddPoints(std::string_view command);
    void AddPoint(int32_t x, int32_t y);
    void EndPath();
    void FreePath(PathPoint* from);
    // The pieces that the last path added to the band or part streams: counted while
    // measuring, copied to their places in the stream while placing.
    void Flush();
    // Lays out the whole stream from the measured sizes, with room for each stream's pieces.
    void Place();
    void Finish();
    // Band or part stream i without its pieces: the opening with its header, and the trailer.
    void AppendOpening(std::string& out, int32_t i) const;
    void AppendTrailer(std::string& out, int32_t i) const;

    const ConvertJob& job_;
    ConvertSettings s_;  // a working copy: model 1 switches some of it off
    INotice* notice_;
    INotice& loud_;  // the caller's notice: running out of memory is told in the second walk too
    const size_t maxBytes_;
    size_t fixed_ = 0;     // the headers and trailers of all streams
    StreamBudget budget_;  // what the paths may still add to the streams
    TrailerValues v_;

    Layout layout_ = Layout::kSingle;
    bool split_ = false;       // split paths at part boundaries
    double b_ = 0.0;           // band or part length
    int32_t n_ = 0;            // band or part count
    int32_t L_ = 0, W_ = 0;
    int32_t ytop_ = 0, xleft_ = 0;

    std::string main_;
    std::vector<std::string> streams_;  // the path pieces of each band or part
    std::vector<size_t> touched_;       // streams the last path wrote to
    bool placing_ = false;
    std::vector<size_t> at_;            // measuring: bytes of each stream; placing: where they go next
    PresetState presets_;

    int32_t pen_ = -1;
    bool skip_ = false;
    bool dashed_ = false;
    bool inPath_ = false;
    PathPoint head_;
    PathPoint* tail_ = &head_;
    int32_t count_ = 0;
    PathPoint* spare_ = nullptr;  // nodes of earlier paths, used again: a job has millions of points
};

namespace {

class CQuietNotice : public INotice {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return kAnswerOk; }
};

}  // namespace

bool CConversion::Run(const CPenOrder& plt, std::string& stream) {
    if (!SetUp(plt.Size())) return false;
    if (layout_ == Layout::kSingle) {
        Read(plt);
        if (budget_.spent) {
            std::string().swap(main_);
            return false;
        }
        Finish();
        stream = std::move(main_);
        return true;
    }
    // Bands and parts: a first walk measures every stream, the second writes the pieces
    // straight to their places, so no stream is held twice. The second walk meets the
    // same messages as the first: they are not shown again.
    const StreamBudget budget = budget_;
    Read(plt);
    if (budget_.spent) return false;
    Place();
    budget_ = budget;
    pen_ = -1;
    skip_ = dashed_ = inPath_ = false;
    ytop_ = job_.referenceY;
    std::vector<std::string>().swap(streams_);
    presets_.written.assign(1, -1);
    CQuietNotice quiet;
    notice_ = &quiet;
    placing_ = true;
    Read(plt);
    notice_ = &loud_;
    if (budget_.spent) {
        std::string().swap(main_);
        return false;
    }
    stream = std::move(main_);
    return true;
}

void CConversion::Flush() {
    if (at_.empty()) at_.assign(static_cast<size_t>(n_), 0);
    const size_t from = job_.segmentStart < 1 ? 0 : static_cast<size_t>(job_.segmentStart - 1);
    for (size_t i : touched_) {
        std::string& piece = streams_[i];
        if (piece.empty()) continue;
        if (placing_ && i >= from) {
            if (at_[i] + piece.size() > main_.size()) std::abort();  // the walks differed
            std::memcpy(&main_[at_[i]], piece.data(), piece.size());
        }
        at_[i] += piece.size();
        piece.clear();
    }
    touched_.clear();
}

void CConversion::Place() {
    if (at_.empty()) at_.assign(static_cast<size_t>(n_), 0);
    const int32_t from = job_.segmentStart < 1 ? 0 : job_.segmentStart - 1;
    size_t total = fixed_;
    for (int32_t i = from; i < n_; ++i) total += at_[static_cast<size_t>(i)];
    main_.clear();
    main_.reserve(total);
    for (int32_t i = 0; i < n_; ++i) {
        const size_t size = at_[static_cast<size_t>(i)];
        at_[static_cast<size_t>(i)] = main_.size();
        if (i < from) continue;
        AppendOpening(main_, i);
        at_[static_cast<size_t>(i)] = main_.size();
        main_.append(size, '\0');
        AppendTrailer(main_, i);
    }
}

bool CConversion::SetUp(size_t textSize) {
    if (s_.model == 1) {
        s_.segEnable = false;
        s_.canFeedPaper = false;
    }
    const PltBox& box = BoxInUse(job_);
    L_ = Wrap32(static_cast<int64_t>(box.maxCorner.y) - box.minCorner.y);
    W_ = Wrap32(static_cast<int64_t>(box.maxCorner.x) - box.minCorner.x);
    ytop_ = job_.referenceY;
    xleft_ = job_.referenceX;
    const int64_t k = job_.markGridY;
    const int64_t mostStreams = static_cast<int64_t>(maxBytes_ / kLeastBytesPerStream);

    if (s_.segEnable && s_.contourMode) {
        if (k >= 1) {
            if (k + 1 > mostStreams) return false;
            layout_ = Layout::kParts;
            split_ = true;
            n_ = static_cast<int32_t>(k + 1);
            b_ = static_cast<double>(L_) / n_;
        }
    } else if (s_.segEnable) {
        // Bands need a length above 0; otherwise the job is written as one stream.
        if (s_.segLen > 0) {
            layout_ = Layout::kBands;
            b_ = static_cast<double>(s_.segLen) * 40.0;
            const double bands = std::trunc(static_cast<double>(L_) / b_) + 1.0;
            if (bands > static_cast<double>(mostStreams)) return false;
            n_ = bands < 1.0 ? 1 : static_cast<int32_t>(bands);
        }
    } else if (s_.contourMode && k >= 1 && k < INT32_MAX) {
        split_ = true;
        n_ = static_cast<int32_t>(k + 1);
        b_ = static_cast<double>(L_) / n_;
    }
    // The preset memory of the bands grows with their streams, when the first piece is written.
    presets_.written.assign(1, -1);

    v_.model = s_.model;
    v_.copiesOn = job_.copiesOn;
    v_.copies = job_.copies;
    v_.spacing = Wrap32(static_cast<int64_t>(job_.copySpacing) * 40);
    v_.contour = s_.contourMode;
    v_.feed = s_.canFeedPaper;
    // The stored millimetres are single precision; the product is not rounded to float
    // before truncation (2.3 mm gives 91 units).
    v_.feedX = TruncToInt32(40.0 * static_cast<double>(s_.xSteps));
    v_.feedY = TruncToInt32(40.0 * static_cast<double>(s_.ySteps));

    // The fixed texts of the job come first out of the limit; the paths get what is left.
    size_t fixed = 0;
    std::string scratch;
    if (layout_ == Layout::kSingle) {
        main_ += kOpenMove;
        AppendSizeHeader(main_, L_, W_);
        if (s_.contourMode) AppendMarkHeader(main_, job_.markGridX, job_.markGridY, job_.markValue);
        main_ += kStartBlock;
        AppendSingleTrailer(scratch, L_, v_);
        fixed = main_.size() + scratch.size();
    } else {
        auto streamBytes = [&](int32_t i) {
            scratch.clear();
            AppendOpening(scratch, i);
            AppendTrailer(scratch, i);
            return scratch.size();
        };
        if (layout_ == Layout::kBands && n_ > 2) {
            // The bands between the first and the last all have the same texts.
            fixed = streamBytes(0) + static_cast<size_t>(n_ - 2) * streamBytes(1) + streamBytes(n_ - 1);
        } else {
            for (int32_t i = 0; i < n_ && fixed <= maxBytes_; ++i) fixed += streamBytes(i);
        }
        if (fixed > maxBytes_) return false;
    }
    if (fixed > maxBytes_) return false;
    fixed_ = fixed;
    budget_.left = maxBytes_ - fixed;
    // The stream comes out about as long as the text: one reservation instead of many regrowths.
    if (layout_ == Layout::kSingle) main_.reserve(std::min(textSize, budget_.left) + main_.size() + scratch.size());
    return true;
}

void CConversion::AppendOpening(std::string& out, int32_t i) const {
    out += kOpenMove;
    if (layout_ == Layout::kBands) {
        const int32_t B = TruncToInt32(b_);
        const int32_t R = TruncToInt32(static_cast<double>(L_) - static_cast<double>(n_ - 1) * b_);
        AppendBandHeader(out, i == n_ - 1 ? R : B, W_);
        if (i == 0) out += kStartBlock;
    } else if (i == 0) {
        AppendFirstPartHeader(out, TruncToInt32(b_), W_, job_.markValue);
        out += kStartBlock;
    } else {
        const int64_t len = static_cast<int64_t>(TruncToInt32((i + 1) * b_)) - TruncToInt32(i * b_);
        AppendPartHeader(out, Wrap32(len), W_);
    }
}

void CConversion::AppendTrailer(std::string& out, int32_t i) const {
    const int32_t P = TruncToInt32(b_);
    const int32_t R = TruncToInt32(static_cast<double>(L_) - static_cast<double>(n_ - 1) * b_);
    const bool last = i == n_ - 1;
    if (layout_ == Layout::kBands) AppendBandTrailer(out, last, P, R, v_);
    else AppendPartTrailer(out, last, P, v_);
}

void CConversion::FreePath(PathPoint* from) {
    for (PathPoint* p = from; p;) {
        PathPoint* next = p->next;
        if (p != &head_) {
            p->next = spare_;
            spare_ = p;
        }
        p = next;
    }
    head_ = PathPoint{};
    tail_ = &head_;
    count_ = 0;
}

void CConversion::StartPath(std::string_view command) {
    inPath_ = true;
    CPointList points(command);
    int32_t x, y;
    if (!points.Next(x, y)) return;
    for (int32_t nx, ny; points.Next(nx, ny);) {
        x = nx;
        y = ny;
    }
    AddPoint(x, y);
}

void CConversion::AddPoints(std::string_view command) {
    CPointList points(command);
    for (int32_t x, y; !budget_.spent && points.Next(x, y);) AddPoint(x, y);
}

void CConversion::AddPoint(int32_t x, int32_t y) {
    const int32_t sx = Wrap32(static_cast<int64_t>(ytop_) - y + job_.leftOffset);
    const int32_t sy = Wrap32(static_cast<int64_t>(x) - xleft_ + job_.topOffset);
    if (count_ == 0) {
        head_.x = sx;
        head_.y = sy;
        count_ = 1;
        return;
    }
    if (tail_->x == sx && tail_->y == sy) return;
    // Every point is written, so a path with more than the stream could hold is too large.
    if (static_cast<size_t>(count_) >= budget_.left / kLeastBytesPerPoint) {
        budget_.Take(SIZE_MAX);
        return;
    }
    PathPoint* node = spare_;
    if (node) {
        spare_ = node->next;
        *node = PathPoint{sx, sy, nullptr};
    } else {
        node = new (std::nothrow) PathPoint{sx, sy, nullptr};
    }
    if (!node) ExitOutOfMemory(loud_, "Not enough memory to allocate buffer\n", "ERROR", kNoticeOk);
    tail_->next = node;
    tail_ = node;
    ++count_;
}

void CConversion::EndPath() {
    inPath_ = false;
    PathPoint* first = &head_;
    const size_t maxInserts = budget_.left / kBytesPerSplitNode;
    bool fits = !budget_.spent;
    if (fits && split_) fits = SplitAtBands(first, b_, loud_, maxInserts);
    if (!fits) {
        budget_.Take(SIZE_MAX);
    } else if (layout_ != Layout::kSingle) {
        if (count_ > 0) {
            if (layout_ == Layout::kBands && !SplitAtBands(first, b_, loud_, maxInserts)) {
                budget_.Take(SIZE_MAX);
            } else {
                // Made only now, so a job refused at its first path costs no stream per band.
                if (streams_.empty()) {
                    streams_.resize(static_cast<size_t>(n_));
                    presets_.written.assign(static_cast<size_t>(n_) + 1, -1);
                }
                AssignSegments(streams_, first, b_, n_, dashed_, pen_, s_.path, presets_, *notice_, &budget_,
                               &touched_);
                Flush();
            }
        }
    } else {
        if (count_ >= 4 && s_.closeEnable) {
            PathPoint* last = first;
            while (last->next) last = last->next;
            if (last->x == first->x && last->y == first->y) {
                first = CloseCompensate(first, last, s_.path.closeOffset, *notice_);
            }
        }
        const size_t before = main_.size();
        EmitPresetSwitch(main_, pen_, 0, presets_, *notice_);
        if (budget_.Take(main_.size() - before)) EmitPath(main_, first, count_, dashed_, s_.path, &budget_);
    }
    // After a compensation the head is no longer part of the path: free from its new start.
    if (first != &head_) FreePath(first);
    else FreePath(&head_);
}

void CConversion::Read(const CPenOrder& plt) {
    CPenOrderReader reader(plt, kConvertCommandCapacity);
    bool pending = false;  // a command read by the path loop that still has to be handled
    CCommandReader::Result r = CCommandReader::kEnd;
    for (;;) {
        if (!pending) {
            r = reader.Next();
            if (r == CCommandReader::kFull) notice_->Show("字符数超出最大行字符数", std::string(), kNoticeOk);
        }
        pending = false;
        if (r == CCommandReader::kEnd || budget_.spent) break;
        const std::string_view cmd = reader.Command();

        if (inPath_) {
            if (cmd.size() >= 2 && cmd[1] == 'D') {
                // A D command without coordinates adds nothing and keeps the path going.
                AddPoints(cmd);
                continue;
            }
            EndPath();
        }
        if (cmd.size() < 2) continue;
        const char c0 = cmd[0], c1 = cmd[1];
        if (c0 == 'P' && c1 == 'U') {
            if (skip_) continue;
            StartPath(cmd);
        } else if (c0 == 'S' && c1 == 'P') {
            const int c = cmd.size() > 2 ? static_cast<unsigned char>(cmd[2]) : 0;
            if (!s_.contourMode) skip_ = false;
            else if (s_.flagColor >= 1) skip_ = c == '0' + s_.flagColor + 1;
            if (!skip_ && c != '0') pen_ = c - '0';
        } else if (c0 == 'L' && c1 == 'T') {
            if (s_.path.dashedMode) dashed_ = cmd.size() > 2;
        } else if (c0 == 'I' && c1 == 'W') {
            const size_t comma = cmd.rfind(',');
            if (comma != std::string_view::npos) ytop_ = ParseCoordinate(cmd.substr(comma + 1));
        }
    }
    if (inPath_ && !budget_.spent) EndPath();
}

void CConversion::Finish() { AppendSingleTrailer(main_, L_, v_); }

}  // namespace

const char* JobTooLargeMessage(bool english) {
    return english ? "This job is too large to cut: its cutter commands would be larger than 64 MB.\n"
                     "Nothing was sent or saved."
                   : "此任务太大，无法切割：切割指令将超过 64 MB。\n未发送也未保存任何内容。";
}

ConvertResult ConvertPltToCutter(std::string_view plt, const ConvertJob& job, const ConvertSettings& settings,
                                 const std::vector<SHARPCOLORS>& colourRows, bool english, INotice& notice,
                                 std::string& stream, size_t maxBytes) {
    return ConvertPltToCutter(CPenOrder(plt), job, settings, colourRows, english, notice, stream, maxBytes);
}

ConvertResult ConvertPltToCutter(const CPenOrder& plt, const ConvertJob& job, const ConvertSettings& settings,
                                 const std::vector<SHARPCOLORS>& colourRows, bool english, INotice& notice,
                                 std::string& stream, size_t maxBytes) {
    std::string().swap(stream);
    bool converted = false;
    try {
        CConversion conversion(job, settings, colourRows, notice, maxBytes);
        converted = conversion.Run(plt, stream);
    } catch (const std::bad_alloc&) {
        ExitOutOfMemory(notice, "Not enough memory to allocate buffer\n", "ERROR", kNoticeOk);
    }
    if (converted) return ConvertResult::kConverted;
    notice.Show(JobTooLargeMessage(english), std::string(), kNoticeOk | kNoticeIconWarning);
    return ConvertResult::kTooLarge;
}
