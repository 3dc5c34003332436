#include "drawing_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "bulge.h"
#include "geometry_constants.h"

namespace {
bool SameName(const std::string& a, const std::string& b) { return a.size() == b.size() && a == b; }
}  // namespace

void BuildCutRows(CutOrder& order) {
    order.layers.clear();
    std::vector<SHARPCOLORS>().swap(order.colours);
    DropEmptyPolylines();
    for (const SHARP& s : Stores().entities) {
        int32_t colour = s.attributes.getColor();
        if (std::none_of(order.colours.begin(), order.colours.end(),
                         [&](const SHARPCOLORS& c) { return c.colour == colour; }))
            order.colours.push_back(SHARPCOLORS{1, 1, colour});
        const std::string& layer = s.attributes.getLayer();
        if (std::none_of(order.layers.begin(), order.layers.end(),
                         [&](const LAYERS& l) { return SameName(l.name, layer); })) {
            LAYERS row;
            row.name = layer;
            order.layers.push_back(row);
        }
    }
}

bool IsRecordShown(const SHARP& record, const CutOrder& order) {
    if (order.mode != 0) {
        int32_t colour = record.attributes.getColor();
        for (const SHARPCOLORS& c : order.colours)
            if (c.colour == colour && !c.enabled) return false;
        return true;
    }
    const std::string& layer = record.attributes.getLayer();
    for (const LAYERS& l : order.layers)
        if (SameName(l.name, layer) && !l.enabled) return false;
    return true;
}

int32_t TruncPixel(double v) {
    if (std::isnan(v)) return 0;
    constexpr double kLow = std::numeric_limits<int32_t>::min();
    constexpr double kHigh = std::numeric_limits<int32_t>::max();
    if (v <= kLow) return std::numeric_limits<int32_t>::min();
    if (v >= kHigh) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(v);
}

bool ShowsAsArc(double x1, double y1, double x2, double y2, double bulge) {
    const double b = std::fabs(bulge);
    // The arc's rise over its chord (the sagitta, the major arc's for a bulge above 1).
    const double rise = b * std::hypot(x2 - x1, y2 - y1) * 0.5;
    if (!(rise >= 1.0) || !std::isfinite(rise)) return false;
    if (b > 1) return true;  // nearly its whole circle, however close the ends
    // The ends as the view rounds them; only their difference counts, so the box offset
    // does not.
    auto pixel = [](double v) { return static_cast<double>(TruncPixel(v + 0.5)); };
    return std::fabs(pixel(x2) - pixel(x1)) > 2 || std::fabs(pixel(y2) - pixel(y1)) > 2;
}

bool BulgeArcPoints(double x1, double y1, double x2, double y2, double bulge, std::vector<ScaledPoint>& points) {
    uint8_t clockwise = 0;
    double cx, cy, r, start, end;
    if (!BulgeToArc(x1, y1, x2, y2, bulge, clockwise, cx, cy, r, start, end) || !(r > 0) || !std::isfinite(r))
        return false;
    const double sweep = 4 * std::atan(std::fabs(bulge));
    // Chords of angle a rise r (1 - cos(a / 2)) off the arc; a whole circle far larger than any
    // screen is bounded in points and rises a little more.
    constexpr double kRise = 0.25;
    constexpr int kMostChords = 4096;
    const double a = r > kRise ? 2 * std::acos(1 - kRise / r) : kPi;
    const double chords = std::ceil(sweep / a);
    const int n = std::isfinite(chords) ? static_cast<int>(std::clamp(chords, 1.0, double{kMostChords})) : kMostChords;
    const double step = (clockwise ? -sweep : sweep) / n;
    for (int k = 1; k < n; ++k)
        points.push_back(ScaledPoint{cx + r * std::cos(start + step * k), cy + r * std::sin(start + step * k)});
    points.push_back(ScaledPoint{x2, y2});
    return true;
}

DrawBox ComputeDrawBox(int32_t clientWidth, double zoom, double minX, double minY, double maxX, double maxY) {
    DrawBox b;
    double w = clientWidth;
    int32_t half = TruncPixel(0.5 * w * zoom);
    b.left = TruncPixel(0.5 * (w - w * 0.5 * zoom));
    b.right = TruncPixel(static_cast<double>(b.left) + half);
    if (b.left < 0) {
        b.right = TruncPixel(50.0 + half - b.left);
        b.left = 50;
    }
    b.top = 50;
    double spanX = maxX - minX, spanY = maxY - minY;
    double pixels = static_cast<double>(b.right) - b.left;
    if (spanX > 0 && std::isfinite(spanX)) b.scale = pixels / spanX;
    else if (spanY > 0 && std::isfinite(spanY)) b.scale = pixels / spanY;
    else b.scale = 1.0;
    if (!std::isfinite(b.scale)) b.scale = 1.0;
    b.bottom = TruncPixel(static_cast<double>(TruncPixel(b.scale * spanY)) + 50);
    return b;
}

ScrollSize ScrollSizeOf(const DrawBox& box) {
    ScrollSize s;
    s.cx = TruncPixel(static_cast<double>(box.right) - box.left + 100);
    s.cy = TruncPixel(static_cast<double>(box.bottom) - box.top + 100);
    if (s.cx < 0) s.cx = 0;
    if (s.cy < 0) s.cy = 0;
    return s;
}

void DrawingMap::ArcPoint(double cx, double cy, double r, double angleDegrees, int32_t& px, int32_t& py) const {
    const double kPi = 3.141592653589793;
    int32_t mx = static_cast<int32_t>(
        (static_cast<int64_t>(TruncPixel((cx - r - minX_) * box_.scale)) + TruncPixel((cx + r - minX_) * box_.scale)) / 2);
    int32_t my = static_cast<int32_t>(
        (static_cast<int64_t>(TruncPixel((cy - r - minY_) * box_.scale)) + TruncPixel((cy + r - minY_) * box_.scale)) / 2);
    double a = angleDegrees * kPi / 180;
    px = TruncPixel(box_.left + static_cast<double>(TruncPixel(mx + r * box_.scale * std::cos(a))));
    py = TruncPixel(box_.bottom - static_cast<double>(TruncPixel(my + r * box_.scale * std::sin(a))));
}

int32_t DrawingMap::SheetRight() const {
    return std::min(TruncPixel(box_.left + 900 * box_.scale), box_.right);
}

int32_t DrawingMap::SheetBottom() const {
    return std::min(TruncPixel(box_.top + 1500 * box_.scale), box_.bottom);
}
