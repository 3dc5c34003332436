#include "job_conversion.h"

#include <cmath>
#include <new>

#include "cutter_language.h"

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

class CConversion {
public:
    CConversion(const ConvertJob& job, const ConvertSettings& settings, const std::vector<SHARPCOLORS>& rows,
                INotice& notice)
        : job_(job), s_(settings), notice_(notice) {
        presets_.usePresets = s_.usePresets;
        presets_.rows = &rows;
    }
    ~CConversion() { FreePath(&head_); }

    std::string Run(std::string_view plt);

private:
    void SetUp();
    void Read(std::string_view plt);
    void AddPoint(std::string_view command);
    void EndPath();
    void FreePath(PathPoint* from);
    void Finish();

    const ConvertJob& job_;
    ConvertSettings s_;  // a working copy: model 1 switches some of it off
    INotice& notice_;

    Layout layout_ = Layout::kSingle;
    bool split_ = false;       // split paths at part boundaries
    double b_ = 0.0;           // band or part length
    int32_t n_ = 0;            // band or part count
    int32_t L_ = 0, W_ = 0;
    int32_t ytop_ = 0, xleft_ = 0;

    std::string main_;
    std::vector<std::string> streams_;
    PresetState presets_;

    int32_t pen_ = -1;
    bool skip_ = false;
    bool dashed_ = false;
    bool inPath_ = false;
    PathPoint head_;
    PathPoint* tail_ = &head_;
    int32_t count_ = 0;
};

std::string CConversion::Run(std::string_view plt) {
    SetUp();
    // The stream comes out about as long as the text: one reservation instead of many regrowths.
    if (layout_ == Layout::kSingle) main_.reserve(plt.size() + 64);
    Read(plt);
    Finish();
    return std::move(main_);
}

void CConversion::SetUp() {
    if (s_.model == 1) {
        s_.segEnable = false;
        s_.canFeedPaper = false;
    }
    const PltBox& box = BoxInUse(job_);
    L_ = Wrap32(static_cast<int64_t>(box.maxCorner.y) - box.minCorner.y);
    W_ = Wrap32(static_cast<int64_t>(box.maxCorner.x) - box.minCorner.x);
    ytop_ = job_.referenceY;
    xleft_ = job_.referenceX;
    const int32_t k = job_.markGridY;

    if (s_.segEnable && s_.contourMode) {
        if (k >= 1) {
            layout_ = Layout::kParts;
            split_ = true;
            n_ = k + 1;
            b_ = static_cast<double>(L_) / n_;
        }
    } else if (s_.segEnable) {
        // Bands need a length above 0; otherwise the job is written as one stream.
        if (s_.segLen > 0) {
            layout_ = Layout::kBands;
            b_ = static_cast<double>(s_.segLen) * 40.0;
            const double bands = std::trunc(static_cast<double>(L_) / b_) + 1.0;
            n_ = bands < 1.0 ? 1 : static_cast<int32_t>(bands);
        }
    } else if (s_.contourMode && k >= 1) {
        split_ = true;
        n_ = k + 1;
        b_ = static_cast<double>(L_) / n_;
    }

    if (layout_ == Layout::kBands) {
        streams_.resize(static_cast<size_t>(n_));
        const int32_t B = TruncToInt32(b_);
        const int32_t R = TruncToInt32(static_cast<double>(L_) - static_cast<double>(n_ - 1) * b_);
        for (int32_t i = 0; i < n_; ++i) {
            std::string& out = streams_[static_cast<size_t>(i)];
            out += kOpenMove;
            AppendBandHeader(out, i == n_ - 1 ? R : B, W_);
            if (i == 0) out += kStartBlock;
        }
    } else if (layout_ == Layout::kParts) {
        streams_.resize(static_cast<size_t>(n_));
        for (int32_t i = 0; i < n_; ++i) {
            std::string& out = streams_[static_cast<size_t>(i)];
            out += kOpenMove;
            if (i == 0) {
                AppendFirstPartHeader(out, TruncToInt32(b_), W_, job_.markValue);
                out += kStartBlock;
            } else {
                const int64_t len = static_cast<int64_t>(TruncToInt32((i + 1) * b_)) - TruncToInt32(i * b_);
                AppendPartHeader(out, Wrap32(len), W_);
            }
        }
    }
    presets_.written.assign(static_cast<size_t>(n_) + 1, -1);

    if (layout_ == Layout::kSingle) {
        main_ += kOpenMove;
        AppendSizeHeader(main_, L_, W_);
        if (s_.contourMode) AppendMarkHeader(main_, job_.markGridX, job_.markGridY, job_.markValue);
        main_ += kStartBlock;
    }
}

void CConversion::FreePath(PathPoint* from) {
    for (PathPoint* p = from; p;) {
        PathPoint* next = p->next;
        if (p != &head_) delete p;
        p = next;
    }
    head_ = PathPoint{};
    tail_ = &head_;
    count_ = 0;
}

void CConversion::AddPoint(std::string_view command) {
    int32_t x, y;
    if (!ParsePoint(command, x, y)) return;
    const int32_t sx = Wrap32(static_cast<int64_t>(ytop_) - y + job_.leftOffset);
    const int32_t sy = Wrap32(static_cast<int64_t>(x) - xleft_ + job_.topOffset);
    if (count_ == 0) {
        head_.x = sx;
        head_.y = sy;
        count_ = 1;
        return;
    }
    if (tail_->x == sx && tail_->y == sy) return;
    PathPoint* node = new (std::nothrow) PathPoint{sx, sy, nullptr};
    if (!node) ExitOutOfMemory(notice_, "Not enough memory to allocate buffer\n", "ERROR", kNoticeOk);
    tail_->next = node;
    tail_ = node;
    ++count_;
}

void CConversion::EndPath() {
    inPath_ = false;
    PathPoint* first = &head_;
    if (split_) SplitAtBands(first, b_, notice_);
    if (layout_ != Layout::kSingle) {
        if (count_ > 0) {
            if (layout_ == Layout::kBands) SplitAtBands(first, b_, notice_);
            AssignSegments(streams_, first, b_, n_, dashed_, pen_, s_.path, presets_, notice_);
        }
    } else {
        if (count_ >= 4 && s_.closeEnable) {
            PathPoint* last = first;
            while (last->next) last = last->next;
            if (last->x == first->x && last->y == first->y) {
                first = CloseCompensate(first, last, s_.path.closeOffset, notice_);
            }
        }
        EmitPresetSwitch(main_, pen_, 0, presets_, notice_);
        EmitPath(main_, first, count_, dashed_, s_.path);
    }
    // After a compensation the head is no longer part of the path: free from its new start.
    if (first != &head_) FreePath(first);
    else FreePath(&head_);
}

void CConversion::Read(std::string_view plt) {
    CCommandReader reader(plt, kConvertCommandCapacity);
    bool pending = false;  // a command read by the path loop that still has to be handled
    CCommandReader::Result r = CCommandReader::kEnd;
    for (;;) {
        if (!pending) {
            r = reader.Next();
            if (r == CCommandReader::kFull) notice_.Show("字符数超出最大行字符数", std::string(), kNoticeOk);
        }
        pending = false;
        if (r == CCommandReader::kEnd) break;
        const std::string_view cmd = reader.Command();

        if (inPath_) {
            if (cmd.size() >= 2 && cmd[1] == 'D') {
                // A D command without coordinates adds nothing and keeps the path going.
                AddPoint(cmd);
                continue;
            }
            EndPath();
        }
        if (cmd.size() < 2) continue;
        const char c0 = cmd[0], c1 = cmd[1];
        if (c0 == 'P' && c1 == 'U') {
            if (skip_) continue;
            inPath_ = true;
            AddPoint(cmd);
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
    if (inPath_) EndPath();
}

void CConversion::Finish() {
    TrailerValues v;
    v.model = s_.model;
    v.copiesOn = job_.copiesOn;
    v.copies = job_.copies;
    v.spacing = Wrap32(static_cast<int64_t>(job_.copySpacing) * 40);
    v.contour = s_.contourMode;
    v.feed = s_.canFeedPaper;
    // The stored millimetres are single precision; the product is not rounded to float
    // before truncation (2.3 mm gives 91 units).
    v.feedX = TruncToInt32(40.0 * static_cast<double>(s_.xSteps));
    v.feedY = TruncToInt32(40.0 * static_cast<double>(s_.ySteps));

    if (layout_ == Layout::kSingle) {
        AppendSingleTrailer(main_, L_, v);
        return;
    }
    const int32_t P = TruncToInt32(b_);
    const int32_t R = TruncToInt32(static_cast<double>(L_) - static_cast<double>(n_ - 1) * b_);
    for (int32_t i = 0; i < n_; ++i) {
        std::string& out = streams_[static_cast<size_t>(i)];
        const bool last = i == n_ - 1;
        if (layout_ == Layout::kBands) AppendBandTrailer(out, last, P, R, v);
        else AppendPartTrailer(out, last, P, v);
    }
    std::string().swap(main_);
    const int32_t from = job_.segmentStart < 1 ? 0 : job_.segmentStart - 1;
    size_t total = 0;
    for (int32_t i = from; i < n_; ++i) total += streams_[static_cast<size_t>(i)].size();
    main_.reserve(total);
    for (int32_t i = from; i < n_; ++i) {
        main_ += streams_[static_cast<size_t>(i)];
        std::string().swap(streams_[static_cast<size_t>(i)]);
    }
    streams_.clear();
}

}  // namespace

std::string ConvertPltToCutter(std::string_view plt, const ConvertJob& job, const ConvertSettings& settings,
                               const std::vector<SHARPCOLORS>& colourRows, INotice& notice) {
    try {
        CConversion conversion(job, settings, colourRows, notice);
        return conversion.Run(plt);
    } catch (const std::bad_alloc&) {
        ExitOutOfMemory(notice, "Not enough memory to allocate buffer\n", "ERROR", kNoticeOk);
    }
}
