#include "path_shaping.h"

#include <algorithm>
#include <cmath>

#include "cutter_language.h"

bool StreamBudget::Take(size_t bytes) {
    if (spent || bytes > left) {
        spent = true;
        left = 0;
        return false;
    }
    left -= bytes;
    return true;
}

float PointDistance(const PathPoint& a, const PathPoint& b) {
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    const float sum = static_cast<float>(dx * dx + dy * dy);
    return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}

PathPoint PointAtRatio(const PathPoint& a, const PathPoint& b, float e, float f) {
    PathPoint r;
    if (f == 0.0f) return r;
    // Only the ratio is single precision; the division point itself is not rounded to
    // float, so a point on an axis-parallel segment keeps its exact other coordinate.
    const double g = static_cast<float>(e / f);
    r.x = TruncToInt32((a.x + g * b.x) / (g + 1.0));
    r.y = TruncToInt32((a.y + g * b.y) / (g + 1.0));
    return r;
}

namespace {

// The size out may reach while a path is written with what the budget holds.
size_t SizeLimit(const std::string& out, const StreamBudget* budget) {
    if (!budget) return SIZE_MAX;
    return budget->left > SIZE_MAX - out.size() ? SIZE_MAX : out.size() + budget->left;
}

size_t Digits(int32_t v) {
    uint32_t m = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    size_t n = v < 0 ? 2 : 1;
    for (; m >= 10; m /= 10) ++n;
    return n;
}

// The length of a move or cut item to p.
size_t ItemSize(const PathPoint& p) { return 3 + Digits(p.x) + Digits(p.y); }

// The dashed form. With out it is written (and the split nodes moved); without, only its size
// is counted into size. Either way it stops, false, as soon as size passes limit: a long
// segment with short dashes grows with its length, not with the text.
bool DashedPass(std::string* out, size_t& size, PathPoint* first, float dashLen, float gapLen, size_t limit) {
    auto item = [&](bool cut, const PathPoint& to) {
        if (!out) size += ItemSize(to);
        else {
            if (cut) AppendCut(*out, to.x, to.y);
            else AppendMove(*out, to.x, to.y);
            size = out->size();
        }
        return size <= limit;
    };
    if (out) *out += kDashOn;
    size += sizeof kDashOn - 1;
    if (!item(false, *first)) return false;
    float running = 0.0f;
    bool cutPhase = true;
    float phaseLen = dashLen;
    PathPoint* p = first;
    PathPoint at = *first;  // where the current segment starts now
    int stalls = 0;         // phase ends in a row that brought it no closer to u
    while (PathPoint* u = p->next) {
        const float D = PointDistance(at, *u);
        if (static_cast<double>(D) < 8.00000011920929) {  // 8 units or less
            if (!item(true, *u)) return false;
            running = 0.0f;
            p = u;
            at = *u;
            stalls = 0;
            continue;
        }
        running += D;
        if (running < phaseLen) {
            if (!item(cutPhase, *u)) return false;
            p = u;
            at = *u;
            stalls = 0;
            continue;
        }
        const float E = running - phaseLen;
        PathPoint end;
        if (E == 0.0f || stalls >= 2) {
            // Two phases that did not advance (lengths below a unit, or coordinates too
            // large for single precision) finish the segment, so the loop always ends.
            end = *u;
            p = u;
            at = *u;
            stalls = 0;
        } else {
            end = PointAtRatio(at, *u, D - E, E);
            if (PointDistance(end, *u) < D) stalls = 0;
            else ++stalls;
            at.x = end.x;
            at.y = end.y;
            if (out) {
                p->x = end.x;
                p->y = end.y;
            }
        }
        if (!item(cutPhase, end)) return false;
        cutPhase = !cutPhase;
        phaseLen = cutPhase ? dashLen : gapLen;
        running = 0.0f;
    }
    if (out) *out += kDashOff;
    size += sizeof kDashOff - 1;
    return size <= limit;
}

// Whether a dashed path may come near limit: about one item of at most 25 characters per
// phase. Only such paths are counted before they are written.
bool MayBeLarge(const PathPoint* first, float dashLen, float gapLen, size_t room) {
    const double phase = std::max(1.0, static_cast<double>(std::min(dashLen > 0 ? dashLen : gapLen,
                                                                    gapLen > 0 ? gapLen : dashLen)));
    double bytes = 0;
    for (const PathPoint* p = first; p->next; p = p->next) {
        bytes += (static_cast<double>(PointDistance(*p, *p->next)) / phase + 2.0) * 25.0;
        if (bytes > static_cast<double>(room)) return true;
    }
    return false;
}

// Takes what a path wrote from the budget; one that did not fit spends it all.
bool Charge(StreamBudget* budget, size_t bytes, bool fits) {
    if (!budget) return fits;
    return budget->Take(fits ? bytes : SIZE_MAX);
}

bool EmitDashed(std::string& out, PathPoint* first, float dashLen, float gapLen, size_t limit) {
    size_t size = out.size();
    if (limit != SIZE_MAX && MayBeLarge(first, dashLen, gapLen, limit - size) &&
        !DashedPass(nullptr, size, first, dashLen, gapLen, limit)) {
        return false;  // nothing written
    }
    size = out.size();
    return DashedPass(&out, size, first, dashLen, gapLen, limit);
}

bool EmitSolid(std::string& out, PathPoint* first, int32_t count, size_t limit) {
    AppendMove(out, first->x, first->y);
    if (count == 1) return out.size() <= limit;
    PathPoint* second = first->next;
    if (!second) return out.size() <= limit;
    if (!second->next) {
        AppendCut(out, second->x, second->y);
        return out.size() <= limit;
    }
    AppendOpenCut(out, second->x, second->y);
    for (PathPoint* n = second->next; n; n = n->next) {
        AppendContinuation(out, n->x, n->y);
        if (out.size() > limit) return false;
    }
    AppendRunEnd(out);
    return out.size() <= limit;
}

}  // namespace

bool EmitPath(std::string& out, PathPoint* first, int32_t count, bool dashed, const PathSettings& settings,
              StreamBudget* budget) {
    if (count <= 0 || !first) return true;
    const size_t before = out.size();
    const size_t limit = SizeLimit(out, budget);
    bool fits = true;
    if (dashed && settings.dashedMode) {
        // Negative lengths count as 0; with both 0 there is no pattern and the path is cut solid.
        float dash = settings.solidLineLen * 40.0f;
        float gap = settings.jumpLineLen * 40.0f;
        if (!(dash > 0.0f)) dash = 0.0f;
        if (!(gap > 0.0f)) gap = 0.0f;
        if (dash > 0.0f || gap > 0.0f) {
            fits = EmitDashed(out, first, dash, gap, limit);
            return Charge(budget, out.size() - before, fits);
        }
    }
    fits = EmitSolid(out, first, count, limit);
    return Charge(budget, out.size() - before, fits);
}

PathPoint* CloseCompensate(PathPoint* first, PathPoint* last, float closeOffset, INotice& notice) {
    const float overcut = closeOffset * 40.0f;
    PathPoint* p = first;
    float L = 0.0f;
    for (; p && p->next; p = p->next) {
        L = PointDistance(*p, *p->next);
        if (L > 2.0f * overcut) break;
    }
    if (!p || !p->next) return first;
    PathPoint* q = p->next;

    PathPoint S;
    PathPoint O;
    if (p->x == q->x) {
        S.x = p->x;
        S.y = Wrap32(p->y + (static_cast<int64_t>(q->y) - p->y) / 2);
        O.x = S.x;
        O.y = TruncToInt32(q->y >= p->y ? S.y + static_cast<double>(overcut) : S.y - static_cast<double>(overcut));
    } else if (p->y == q->y) {
        S.y = p->y;
        S.x = Wrap32(p->x + (static_cast<int64_t>(q->x) - p->x) / 2);
        O.y = S.y;
        O.x = TruncToInt32(q->x >= p->x ? S.x + static_cast<double>(overcut) : S.x - static_cast<double>(overcut));
    } else {
        S.x = TruncToInt32((static_cast<double>(p->x) + q->x) * 0.5);
        S.y = TruncToInt32((static_cast<double>(p->y) + q->y) * 0.5);
        const float half = L / 2.0f;
        const double g = static_cast<float>((half + overcut) / (half - overcut));
        O.x = TruncToInt32((p->x + g * q->x) / (1.0 + g));
        O.y = TruncToInt32((p->y + g * q->y) / (1.0 + g));
    }
    // S, q ... last, then the old second node on to p, then S again and the overcut end.
    PathPoint* start = InsertPointAfter(p, S.x, S.y, notice);
    PathPoint tail;  // holds the two closing nodes until they are linked in
    PathPoint* again = InsertPointAfter(&tail, S.x, S.y, notice);
    InsertPointAfter(again, O.x, O.y, notice);
    if (p == first) {
        last->next = again;
    } else {
        last->next = first->next;
        p->next = again;
    }
    return start;
}

bool SplitAtBands(PathPoint* first, double b, INotice& notice, size_t maxInserts) {
    if (!(b > 0.0) || !std::isfinite(b)) return true;  // no boundary to split at
    size_t left = maxInserts;
    PathPoint* r = first;
    while (r && r->next) {
        PathPoint* s = r->next;
        const bool rising = r->x < s->x;
        const int64_t lo = rising ? r->x : s->x;
        const int64_t hi = rising ? s->x : r->x;
        const double vLo = rising ? r->y : s->y;
        const double vHi = rising ? s->y : r->y;
        // A segment over many bands is refused before its nodes are made.
        if (static_cast<double>(hi - lo) / b > static_cast<double>(left) + 2.0) return false;
        double g = lo < 0 ? 0.0 : std::trunc(static_cast<double>(lo) / b + 0.5);
        PathPoint* after = r;
        for (;; g += 1.0) {
            const double hd = std::trunc(g * b);
            if (!(hd < static_cast<double>(hi))) break;
            if (hd > static_cast<double>(lo)) {
                if (left == 0) return false;
                --left;
                const int32_t h = static_cast<int32_t>(hd);
                const double y = vHi - static_cast<double>(hi - h) / static_cast<double>(hi - lo) * (vHi - vLo);
                PathPoint* n = InsertPointAfter(after, h, TruncToInt32(y), notice);
                if (rising) after = n;
            }
        }
        r = s;  // the new sub-segments hold no boundary inside
    }
    return true;
}

void EmitPresetSwitch(std::string& out, int32_t pen, size_t index, PresetState& presets, INotice& notice) {
    if (!presets.usePresets) return;
    if (pen == -1) {
        notice.Show("当前路径没有设置笔号，默认黑色笔", std::string(), kNoticeOk);
        pen = 1;
    }
    int32_t preset = -1;
    if (presets.rows) {
        for (const SHARPCOLORS& row : *presets.rows) {
            if (row.colour == pen) preset = static_cast<int8_t>(row.preset) == -1 ? -1 : row.preset;
        }
    }
    if (preset == -1) {
        notice.Show("没有找到当前颜色对应预设参数！默认为 预设参数1", std::string(), kNoticeOk);
        preset = 1;
    }
    if (index >= presets.written.size()) presets.written.resize(index + 1, -1);
    if (presets.written[index] == preset) return;
    presets.written[index] = preset;
    AppendPresetSwitch(out, preset);
}

namespace {

bool WritePiece(std::vector<std::string>& streams, PathPoint* from, PathPoint* to, int32_t points, int32_t band,
                double b, bool dashed, int32_t pen, const PathSettings& settings, PresetState& presets,
                INotice& notice, StreamBudget* budget, std::vector<size_t>* touched) {
    const int32_t shift = TruncToInt32(static_cast<double>(band - 1) * b);
    PathPoint* rest = to->next;
    to->next = nullptr;
    for (PathPoint* n = from; n; n = n->next) n->x = Wrap32(static_cast<int64_t>(n->x) - shift);
    std::string& out = streams[static_cast<size_t>(band - 1)];
    if (touched) touched->push_back(static_cast<size_t>(band - 1));
    const size_t before = out.size();
    EmitPresetSwitch(out, pen, static_cast<size_t>(band), presets, notice);
    const bool fits = (!budget || budget->Take(out.size() - before)) &&
                      EmitPath(out, from, points, dashed, settings, budget);
    to->next = rest;
    return fits;
}

}  // namespace

bool AssignSegments(std::vector<std::string>& streams, PathPoint* first, double b, int32_t n, bool dashed,
                    int32_t pen, const PathSettings& settings, PresetState& presets, INotice& notice,
                    StreamBudget* budget, std::vector<size_t>* touched) {
    if (!first || n <= 0 || streams.size() < static_cast<size_t>(n)) return true;
    int32_t band = 1;  // a path whose first segment lies in no band goes to the first band
    if (!first->next) {
        if (!FindCommonBand(*first, *first, b, n, band)) notice.Show("error PT1,PT2 Seg", std::string(), kNoticeOk);
        return WritePiece(streams, first, first, 1, band, b, dashed, pen, settings, presets, notice, budget, touched);
    }
    PathPoint* pieceStart = first;
    int32_t pieceBand = 0;
    int32_t points = 1;
    for (PathPoint* p = first; p->next; p = p->next) {
        if (!FindCommonBand(*p, *p->next, b, n, band)) notice.Show("error PT1,PT2 Seg", std::string(), kNoticeOk);
        if (pieceBand == 0) pieceBand = band;
        if (band != pieceBand) {
            // The piece ends at p, and p starts the next piece in its own coordinates.
            const int32_t x = p->x;
            const bool fits =
                WritePiece(streams, pieceStart, p, points, pieceBand, b, dashed, pen, settings, presets, notice, budget,
                           touched);
            p->x = x;
            if (!fits) return false;
            pieceStart = p;
            pieceBand = band;
            points = 1;
        }
        ++points;
    }
    PathPoint* last = pieceStart;
    while (last->next) last = last->next;
    return WritePiece(streams, pieceStart, last, points, pieceBand, b, dashed, pen, settings, presets, notice,
                      budget, touched);
}
