#include "path_shaping.h"

#include <cmath>

#include "cutter_language.h"

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

void AppendPhaseItem(std::string& out, bool cutPhase, const PathPoint& p) {
    if (cutPhase) AppendCut(out, p.x, p.y);
    else AppendMove(out, p.x, p.y);
}

void EmitDashed(std::string& out, PathPoint* first, float dashLen, float gapLen) {
    out += kDashOn;
    AppendMove(out, first->x, first->y);
    float running = 0.0f;
    bool cutPhase = true;
    float phaseLen = dashLen;
    PathPoint* p = first;
    int stalls = 0;  // phase ends in a row that brought p no closer to u
    while (PathPoint* u = p->next) {
        const float D = PointDistance(*p, *u);
        if (static_cast<double>(D) < 8.00000011920929) {  // 8 units or less
            AppendCut(out, u->x, u->y);
            running = 0.0f;
            p = u;
            stalls = 0;
            continue;
        }
        running += D;
        if (running < phaseLen) {
            AppendPhaseItem(out, cutPhase, *u);
            p = u;
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
            stalls = 0;
        } else {
            end = PointAtRatio(*p, *u, D - E, E);
            if (PointDistance(end, *u) < D) stalls = 0;
            else ++stalls;
            p->x = end.x;
            p->y = end.y;
        }
        AppendPhaseItem(out, cutPhase, end);
        cutPhase = !cutPhase;
        phaseLen = cutPhase ? dashLen : gapLen;
        running = 0.0f;
    }
    out += kDashOff;
}

}  // namespace

void EmitPath(std::string& out, PathPoint* first, int32_t count, bool dashed, const PathSettings& settings) {
    if (count <= 0 || !first) return;
    if (dashed && settings.dashedMode) {
        // Negative lengths count as 0; with both 0 there is no pattern and the path is cut solid.
        float dash = settings.solidLineLen * 40.0f;
        float gap = settings.jumpLineLen * 40.0f;
        if (!(dash > 0.0f)) dash = 0.0f;
        if (!(gap > 0.0f)) gap = 0.0f;
        if (dash > 0.0f || gap > 0.0f) {
            EmitDashed(out, first, dash, gap);
            return;
        }
    }
    AppendMove(out, first->x, first->y);
    if (count == 1) return;
    PathPoint* second = first->next;
    if (!second) return;
    if (!second->next) {
        AppendCut(out, second->x, second->y);
        return;
    }
    AppendOpenCut(out, second->x, second->y);
    for (PathPoint* n = second->next; n; n = n->next) AppendContinuation(out, n->x, n->y);
    AppendRunEnd(out);
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

void SplitAtBands(PathPoint* first, double b, INotice& notice) {
    if (!(b > 0.0) || !std::isfinite(b)) return;  // no boundary to split at
    PathPoint* r = first;
    while (r && r->next) {
        PathPoint* s = r->next;
        const bool rising = r->x < s->x;
        const int64_t lo = rising ? r->x : s->x;
        const int64_t hi = rising ? s->x : r->x;
        const double vLo = rising ? r->y : s->y;
        const double vHi = rising ? s->y : r->y;
        double g = lo < 0 ? 0.0 : std::trunc(static_cast<double>(lo) / b + 0.5);
        PathPoint* after = r;
        for (;; g += 1.0) {
            const double hd = std::trunc(g * b);
            if (!(hd < static_cast<double>(hi))) break;
            if (hd > static_cast<double>(lo)) {
                const int32_t h = static_cast<int32_t>(hd);
                const double y = vHi - static_cast<double>(hi - h) / static_cast<double>(hi - lo) * (vHi - vLo);
                PathPoint* n = InsertPointAfter(after, h, TruncToInt32(y), notice);
                if (rising) after = n;
            }
        }
        r = s;  // the new sub-segments hold no boundary inside
    }
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

void WritePiece(std::vector<std::string>& streams, PathPoint* from, PathPoint* to, int32_t points, int32_t band,
                double b, bool dashed, int32_t pen, const PathSettings& settings, PresetState& presets,
                INotice& notice) {
    const int32_t shift = TruncToInt32(static_cast<double>(band - 1) * b);
    PathPoint* rest = to->next;
    to->next = nullptr;
    for (PathPoint* n = from; n; n = n->next) n->x = Wrap32(static_cast<int64_t>(n->x) - shift);
    std::string& out = streams[static_cast<size_t>(band - 1)];
    EmitPresetSwitch(out, pen, static_cast<size_t>(band), presets, notice);
    EmitPath(out, from, points, dashed, settings);
    to->next = rest;
}

}  // namespace

void AssignSegments(std::vector<std::string>& streams, PathPoint* first, double b, int32_t n, bool dashed,
                    int32_t pen, const PathSettings& settings, PresetState& presets, INotice& notice) {
    if (!first || n <= 0 || streams.size() < static_cast<size_t>(n)) return;
    int32_t band = 1;  // a path whose first segment lies in no band goes to the first band
    if (!first->next) {
        if (!FindCommonBand(*first, *first, b, n, band)) notice.Show("error PT1,PT2 Seg", std::string(), kNoticeOk);
        WritePiece(streams, first, first, 1, band, b, dashed, pen, settings, presets, notice);
        return;
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
            WritePiece(streams, pieceStart, p, points, pieceBand, b, dashed, pen, settings, presets, notice);
            p->x = x;
            pieceStart = p;
            pieceBand = band;
            points = 1;
        }
        ++points;
    }
    PathPoint* last = pieceStart;
    while (last->next) last = last->next;
    WritePiece(streams, pieceStart, last, points, pieceBand, b, dashed, pen, settings, presets, notice);
}
