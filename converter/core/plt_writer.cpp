#include "plt_writer.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "bulge.h"
#include "geometry_constants.h"
#include "nearest_order.h"

const char* const kPlotRangeMessage =
    "The drawing cannot be cut: some of its coordinates lie outside the range of the "
    "cutter.\r\nNothing was written.";
const char* const kPlotSizeMessage =
    "The drawing cannot be cut: its cutter commands would be larger than 64 MB.\r\n"
    "Nothing was written.";

namespace {

// Plotter values are signed 32-bit numbers; anything else (too large, not a number) is refused.
bool Plot(double v, int32_t& out) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return false;
    out = static_cast<int32_t>(v);
    return true;
}

// Step counts that must end up as loop bounds.
bool Count(double v, int32_t& out) {
    if (!(v >= 0 && v < 2147483648.0)) return false;
    out = static_cast<int32_t>(v);
    return true;
}

void AppendNumber(std::string& out, int32_t v) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// prefix a,b
void AppendPair(std::string& out, const char* prefix, int32_t a, int32_t b) {
    out += prefix;
    AppendNumber(out, a);
    out += ',';
    AppendNumber(out, b);
}

// "U a,b D a,b": the first point of a run, moved to and cut to.
void AppendRunStart(std::string& out, int32_t a, int32_t b) {
    AppendPair(out, "U", a, b);
    AppendPair(out, " D", a, b);
}

// The chord count for a full circle of plotter radius R and the given chord height; 0 when
// the radius is too small for any (or not a number); false when it is too large to count.
bool FullCircleSteps(double R, double height, double turn, int32_t& n) {
    n = 0;
    const double ratio = (R - height) / R;
    if (!(ratio >= -1.0 && ratio <= 1.0)) return true;
    return Count(turn / (2 * std::acos(ratio)) + 0.5, n);
}

struct Frame {
    double minX, minY, maxX, maxY;
    int32_t arcDirection;
};

Frame CurrentFrame() {
    const CConverterStores& s = Stores();
    return Frame{s.extMinX, s.extMinY, s.extMaxX, s.extMaxY, s.arcDirection};
}

bool WriteLine(const DL_LineData& d, const Frame& f, std::string& out) {
    int32_t a, b, c, e;
    if (!Plot(((f.maxY - f.minY) - (d.y1 - f.minY)) * kPlotUnitsPerDrawingUnit, a) ||
        !Plot((d.x1 - f.minX) * kPlotUnitsPerDrawingUnit, b) ||
        !Plot(((f.maxY - f.minY) - (d.y2 - f.minY)) * kPlotUnitsPerDrawingUnit, c) ||
        !Plot((d.x2 - f.minX) * kPlotUnitsPerDrawingUnit, e))
        return false;
    AppendPair(out, "U", a, b);
    out += ' ';
    AppendPair(out, "D", c, e);
    out += ' ';
    return true;
}

bool WriteCircle(const DL_CircleData& d, const Frame& f, std::string& out) {
    const double R = d.radius * kPlotUnitsPerDrawingUnit;
    int32_t n;
    if (!FullCircleSteps(R, kArcChordHeight, kTwoPi, n)) return false;
    const double cx = (d.cx - f.minX) * kPlotUnitsPerDrawingUnit;
    const double cy = ((f.maxY - f.minY) - (d.cy - f.minY)) * kPlotUnitsPerDrawingUnit;

    COvercutState& o = OvercutState();
    o.active = 1;
    o.firstPending = 1;
    o.points.clear();
    o.remaining = kOvercutLength;
    bool ok = true;
    for (int32_t i = 0; n > 0 && i <= n; ++i) {
        const double t = (static_cast<double>(i) / n) * 2 * kPi;
        int32_t a, b;
        if (!Plot(std::sin(t) * R + cy, a) || !Plot(std::cos(t) * R + cx, b)) {
            ok = false;
            break;
        }
        if (i == 0) AppendRunStart(out, a, b);
        else AppendPair(out, ",", a, b);
        TrackOvercut(a, b);
    }
    if (ok && o.active == 1)
        for (const PointL& p : o.points) AppendPair(out, ",", p.x, p.y);
    o.active = 0;
    if (!ok) return false;
    out += ' ';
    return true;
}

bool WriteArc(const DL_ArcData& d, const Frame& f, std::string& out) {
    const double R = d.radius * kPlotUnitsPerDrawingUnit;
    int32_t n;
    if (!FullCircleSteps(R, kArcChordHeight, kTwoPi, n)) return false;
    const double cx = (d.cx - f.minX) * kPlotUnitsPerDrawingUnit;
    const double cy = (d.cy - f.minY) * kPlotUnitsPerDrawingUnit;
    const double h = (f.maxY - f.minY) * kPlotUnitsPerDrawingUnit;
    double a1 = d.angle1 / 180 * kPi;
    double a2 = d.angle2 / 180 * kPi;
    const bool clockwise = f.arcDirection != 0;
    if (clockwise && a2 > a1) a1 += kTwoPi;
    if (!clockwise && a2 < a1) a2 += kTwoPi;

    for (int32_t i = 0; n > 0 && i <= n; ++i) {
        double t;
        bool last = false;
        if (clockwise) {
            t = a1 - (i * kTwoPi) / n;
            if (t < a2) { t = a2; last = true; }
        } else {
            t = a1 + (i * kTwoPi) / n;
            if (t > a2) { t = a2; last = true; }
        }
        int32_t inner, a, b;
        if (!Plot(std::cos(t) * R + cx, b) || !Plot(std::sin(t) * R + cy, inner) ||
            !Plot(h - inner, a))
            return false;
        if (i == 0) AppendRunStart(out, a, b);
        else AppendPair(out, ",", a, b);
        if (last) break;
    }
    out += ' ';
    return true;
}

// The chords of one bulge segment between its two vertices (the vertices themselves are
// written by the polyline).
bool WriteBulgePoints(double cx, double cy, double r, double s, double e, bool clockwise,
                      const Frame& f, std::string& out) {
    const double R = r * kPlotUnitsPerDrawingUnit;
    const double x0 = (cx - f.minX) * kPlotUnitsPerDrawingUnit;
    const double y0 = (cy - f.minY) * kPlotUnitsPerDrawingUnit;
    const double h = (f.maxY - f.minY) * kPlotUnitsPerDrawingUnit;
    if (clockwise && s < e) s += kTwoPi;
    if (!clockwise && s > e) e += kTwoPi;
    const double sweep = std::fabs(s - e);
    if (!(sweep > 0)) return true;
    int32_t m;
    if (!FullCircleSteps(R, kBulgeChordHeight, sweep, m)) return false;
    if (m == 0) return true;
    int32_t w;
    if (!Count(kTwoPi / (sweep / m) + 0.5, w)) return false;
    for (int32_t i = 1; i <= w; ++i) {
        const double t = clockwise ? s - (i * kTwoPi) / w : s + (i * kTwoPi) / w;
        if (clockwise ? t < e : t > e) break;
        int32_t a, b;
        if (!Plot(h - (std::sin(t) * R + y0) + 0.5, a) || !Plot(std::cos(t) * R + x0 + 0.5, b))
            return false;
        AppendPair(out, ",", a, b);
    }
    return true;
}

bool WritePolyline(const std::vector<DL_VertexData>& v, const Frame& f, std::string& out) {
    if (v.size() == 1) return true;
    OvercutState().active = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        int32_t a, b;
        if (!Plot(((f.maxY - f.minY) - (v[i].y - f.minY)) * kPlotUnitsPerDrawingUnit + 0.5, a) ||
            !Plot((v[i].x - f.minX) * kPlotUnitsPerDrawingUnit + 0.5, b))
            return false;
        if (i == 0) AppendRunStart(out, a, b);
        else AppendPair(out, ",", a, b);
        if (v[i].bulge != 0 && i + 1 < v.size()) {
            uint8_t clockwise = f.arcDirection != 0 ? 1 : 0;
            double cx, cy, r, s, e;
            if (BulgeToArc(v[i].x, v[i].y, v[i + 1].x, v[i + 1].y, v[i].bulge, clockwise, cx, cy,
                           r, s, e)) {
                if (!WriteBulgePoints(cx, cy, r, s, e, clockwise != 0, f, out)) return false;
                out += ' ';
            }
        }
    }
    out += ' ';
    return true;
}

}  // namespace

COvercutState& OvercutState() {
    static COvercutState state;
    return state;
}

void TrackOvercut(int32_t first, int32_t second) {
    COvercutState& o = OvercutState();
    if (o.active == 0) return;
    if (o.firstPending == 1) {
        o.lastFirst = first;
        o.lastSecond = second;
        o.firstPending = 0;
        return;
    }
    if (o.remaining == 0) return;
    const double df = o.lastFirst - first, ds = o.lastSecond - second;
    const double d = std::sqrt(df * df + ds * ds);
    if (d < o.remaining) {
        o.remaining -= d;
        o.lastFirst = first;
        o.lastSecond = second;
        o.points.push_back(PointL{first, second});
    } else if (d == o.remaining) {
        o.points.push_back(PointL{first, second});
        o.remaining = 0;
    } else {
        // The point on this segment at the remaining length from the last one.
        const double g = o.remaining / (d - o.remaining);
        const double x = (first * g + o.lastFirst) / (g + 1) + 0.5;
        const double y = (second * g + o.lastSecond) / (g + 1) + 0.5;
        o.points.push_back(PointL{static_cast<int32_t>(x), static_cast<int32_t>(y)});
        o.remaining = 0;
    }
}

bool WriteShapePlt(const SHARP& record, std::string& out) {
    const Frame f = CurrentFrame();
    switch (record.type) {
    case kShapeLine:
        if (const DL_LineData* d = record.Line()) return WriteLine(*d, f, out);
        return true;
    case kShapeCircle:
        if (const DL_CircleData* d = record.Circle()) return WriteCircle(*d, f, out);
        return true;
    case kShapeArc:
        if (const DL_ArcData* d = record.Arc()) return WriteArc(*d, f, out);
        return true;
    case kShapePolyline:
        if (const auto* v = record.Vertices()) return WritePolyline(*v, f, out);
        out += ' ';
        return true;
    default:
        return true;
    }
}

void NearestNeighbourOrder(std::vector<int32_t>& selection, double& curX, double& curY) {
    if (selection.size() < 2) return;
    const auto& entities = Stores().entities;
    std::vector<NnRecordEnds> ends(selection.size());
    for (size_t i = 0; i < selection.size(); ++i) {
        const SHARP& s = entities[selection[i]];
        ends[i] = {s.startX, s.startY, s.endX, s.endY};
    }
    const std::vector<int32_t> order = NearestNeighbourPermutation(ends, curX, curY);
    std::vector<int32_t> sorted(selection.size());
    for (size_t i = 0; i < order.size(); ++i) sorted[i] = selection[order[i]];
    selection.swap(sorted);
}

PltWriteResult MakePltText(const CutOrder& order, INotice& notice, std::string& text,
                           size_t maxBytes) {
    text.clear();
    const auto& entities = Stores().entities;
    if (entities.empty()) return PltWriteResult::kEmptyStore;

    int currentPreset = 255;
    double curX = 0, curY = 0;
    text += "U0,0 D0,0 D0,40 ";
    std::vector<int32_t> selection;

    PltWriteResult failure = PltWriteResult::kOutOfRange;
    auto writeRow = [&](uint8_t preset, auto matches) -> bool {
        if (preset != currentPreset) {
            text += "S#";
            AppendNumber(text, static_cast<int8_t>(preset) - 1);
            text += ';';
            currentPreset = preset;
        }
        for (size_t i = 0; i < entities.size(); ++i)
            if (matches(entities[i])) selection.push_back(static_cast<int32_t>(i));
        if (order.sortMethod != 0 && selection.size() >= 2)
            NearestNeighbourOrder(selection, curX, curY);
        for (int32_t idx : selection) {
            if (!WriteShapePlt(entities[idx], text)) return false;
            // One record adds a few megabytes at most, so checking after each is enough.
            if (text.size() > maxBytes) {
                failure = PltWriteResult::kTooLarge;
                return false;
            }
        }
        selection.clear();
        return true;
    };

    bool ok = true;
    if (order.mode != 0) {
        for (const SHARPCOLORS& row : order.colours) {
            if (row.enabled == 0) continue;
            ok = writeRow(row.preset, [&](const SHARP& s) {
                return s.attributes.getColor() == row.colour;
            });
            if (!ok) break;
        }
    } else {
        // dxflib hands layer names out by value: take them once, not once per row.
        std::vector<std::string> layerOf;
        layerOf.reserve(entities.size());
        for (const SHARP& s : entities) layerOf.push_back(s.attributes.getLayer());
        for (const LAYERS& row : order.layers) {
            if (row.enabled == 0) continue;
            ok = writeRow(row.preset, [&](const SHARP& s) {
                return layerOf[&s - entities.data()] == row.name;
            });
            if (!ok) break;
        }
    }
    if (!ok) {
        std::string().swap(text);
        notice.Show(failure == PltWriteResult::kTooLarge ? kPlotSizeMessage : kPlotRangeMessage,
                    std::string(), kNoticeOk | kNoticeIconWarning);
        return failure;
    }
    text += "U0,0 @ ";
    return PltWriteResult::kWritten;
}

PltWriteResult WritePltFile(const std::string& path, const CutOrder& order, INotice& notice) {
    std::string text;
    const PltWriteResult made = MakePltText(order, notice, text);
    if (made != PltWriteResult::kWritten) return made;
    std::ofstream file;
    try {
        file.open(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    } catch (const std::exception&) {
        return PltWriteResult::kCannotOpen;
    }
    if (!file) return PltWriteResult::kCannotOpen;
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) return PltWriteResult::kWriteFailed;
    return PltWriteResult::kWritten;
}
