#pragma once
// What the converter's document and view compute without a screen: the cut strategy rows
// of a freshly read drawing, the zoom steps, the drawing box for a window width, the
// mapping of drawing points to pixels, which records the cut strategy hides, and how a
// polyline's bulge segments are stroked.
#include <cstdint>
#include <vector>

#include "entity_store.h"
#include "plt_writer.h"

// Rebuilds the rows after a read: the layer and colour rows are emptied, polylines without
// vertices leave the store, then one enabled row with preset 1 per layer name (byte for
// byte) and per colour number, in the order the store first holds them. Mode and sort
// method stay as the user chose them.
void BuildCutRows(CutOrder& order);

// False when the row of the record's colour (colour mode) or layer (layer mode) is disabled.
bool IsRecordShown(const SHARP& record, const CutOrder& order);

// The zoom step is 0.1 held in single precision.
constexpr double kZoomStep = static_cast<double>(0.1f);
inline double ZoomedIn(double zoom) { return zoom + zoom * kZoomStep; }
inline double ZoomedOut(double zoom) { return zoom - zoom * kZoomStep; }

// A double to a pixel coordinate, truncated toward zero; values that no int32_t holds
// (and NaN) are clamped instead of overflowing.
int32_t TruncPixel(double v);

struct DrawBox {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    double scale = 1.0;  // pixels per drawing unit
};

// The box for a window clientWidth pixels wide: centred, half the width times the zoom;
// once it would reach past the left edge it starts at 50 and grows to the right. A drawing
// whose extents have no width is scaled by its height, one with neither by 1.
DrawBox ComputeDrawBox(int32_t clientWidth, double zoom, double minX, double minY, double maxX, double maxY);

// Total scroll size: the box and 100 pixels in each direction, never negative.
struct ScrollSize {
    int32_t cx = 0, cy = 0;
};
ScrollSize ScrollSizeOf(const DrawBox& box);

// Whether the view shows a polyline segment with a bulge as an arc, from its ends scaled to
// pixels (not yet placed in the box): not when its rise over the chord is under a pixel, nor
// when its rounded ends lie within two pixels of each other in both directions and it is at
// most a half circle (a bulge of at most 1 in size). Such a segment is the straight line to
// the next vertex.
bool ShowsAsArc(double x1, double y1, double x2, double y2, double bulge);

struct ScaledPoint {
    double x, y;
};
// The arc of a bulge segment between two ends scaled to pixels, as the points after the first
// end up to the second end itself (which comes last, exactly), no chord between them rising
// more than a quarter pixel off the arc. The view strokes these itself rather than have the
// device draw the arc: a device's arc-to need not stop where it leaves the pen (Wine's stops
// one pixel of its ellipse short of the end radial and leaves the pen on the exact ellipse,
// a pixel or two away), so the line after it can leave a gap; and for a flat segment the
// device's ellipse is thousands of pixels wide. False, and nothing added, when there is no arc.
bool BulgeArcPoints(double x1, double y1, double x2, double y2, double bulge, std::vector<ScaledPoint>& points);

// Drawing units to pixels in a box, Y upward.
class DrawingMap {
public:
    DrawingMap(const DrawBox& box, double minX, double minY) : box_(box), minX_(minX), minY_(minY) {}
    int32_t X(double x) const { return TruncPixel(box_.left + static_cast<double>(TruncPixel((x - minX_) * box_.scale))); }
    int32_t Y(double y) const { return TruncPixel(box_.bottom - static_cast<double>(TruncPixel((y - minY_) * box_.scale))); }
    // Polyline vertices are rounded.
    int32_t RoundX(double x) const { return TruncPixel(box_.left + static_cast<double>(TruncPixel((x - minX_) * box_.scale + 0.5))); }
    int32_t RoundY(double y) const { return TruncPixel(box_.bottom - static_cast<double>(TruncPixel((y - minY_) * box_.scale + 0.5))); }
    // Scaled but not placed: what the bulge arc is computed in.
    double ScaledX(double x) const { return (x - minX_) * box_.scale; }
    double ScaledY(double y) const { return (y - minY_) * box_.scale; }
    // A scaled point (of a bulge arc) placed in the box, rounded as the vertices are.
    int32_t PlacedX(double scaled) const { return TruncPixel(box_.left + static_cast<double>(TruncPixel(scaled + 0.5))); }
    int32_t PlacedY(double scaled) const { return TruncPixel(box_.bottom - static_cast<double>(TruncPixel(scaled + 0.5))); }
    // The point at angleDegrees on the arc of radius r around (cx, cy).
    void ArcPoint(double cx, double cy, double r, double angleDegrees, int32_t& px, int32_t& py) const;
    // The white sheet's far corner: 900 by 1500 drawing units, cut off at the box.
    int32_t SheetRight() const;
    int32_t SheetBottom() const;
    const DrawBox& Box() const { return box_; }

private:
    DrawBox box_;
    double minX_, minY_;
};
