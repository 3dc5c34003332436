#pragma once
// The converter's program-wide drawing stores: what the DXF import fills and what the
// on-screen drawing and the command-text writer read. There is one document, so there is
// one set; tests put it back to its program-start state with ResetStores().
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "dl_attributes.h"
#include "dl_entities.h"

enum : int32_t { kShapePolyline = 0, kShapeLine = 1, kShapeCircle = 2, kShapeArc = 3 };

// What the import is doing; while a line, circle or arc is taken it holds that shape's type.
enum : int32_t { kImportPolyline = 0, kImportInBlock = 6, kImportIdle = 8 };

// Box values a box starts from before points extend it.
constexpr double kBoxStartLow = 2147483647.0;
constexpr double kBoxStartHigh = -2147483648.0;

// One drawable entity of the drawing.
struct SHARP {
    int32_t type = kShapeLine;
    // Extreme coordinates: lines min x, min y, max x, max y; the others min x, max y, max x, min y.
    double box[4] = {0, 0, 0, 0};
    double startX = 0, startY = 0;  // drawing units
    double endX = 0, endY = 0;
    DL_Attributes attributes;       // colour already resolved (no 256, no 7)
    // The entity's own data: a line, circle or arc record, or a polyline's vertices.
    std::variant<std::monostate, DL_LineData, DL_CircleData, DL_ArcData,
                 std::vector<DL_VertexData>> geometry;
    uint32_t flags = 0;             // polylines: low 8 bits of group 70, bit 0 = closed

    const DL_LineData* Line() const { return std::get_if<DL_LineData>(&geometry); }
    const DL_CircleData* Circle() const { return std::get_if<DL_CircleData>(&geometry); }
    const DL_ArcData* Arc() const { return std::get_if<DL_ArcData>(&geometry); }
    const std::vector<DL_VertexData>* Vertices() const {
        return std::get_if<std::vector<DL_VertexData>>(&geometry);
    }
    // Number of vertices of a polyline; 0 for the other types.
    int32_t VertexCount() const {
        const auto* v = Vertices();
        return v ? static_cast<int32_t>(v->size()) : 0;
    }
};

// One row of the drawing's LAYER table.
struct LAYER {
    std::string name;
    int32_t colour = 0;  // negative for a layer that is switched off
};

struct CConverterStores {
    std::vector<SHARP> entities;            // in file order
    std::vector<DL_VertexData> vertices;    // vertices of the polyline being read
    std::vector<LAYER> layers;              // in the order of the file's LAYER table
    double extMinX = 0, extMinY = 0, extMaxX = 0, extMaxY = 0;  // $EXTMIN / $EXTMAX
    int32_t arcDirection = 0;               // $ANGDIR: 0 counter-clockwise, else clockwise
    int32_t importState = kImportIdle;

    // The view's drawing state, which every import resets.
    double zoomFactor = 1.0;
    double scale = 1.0;
    int32_t drawBox[4] = {0, 0, 0, 0};      // left, top, right, bottom in pixels
};

CConverterStores& Stores();
// Everything back to how the program starts (the arc direction included).
void ResetStores();
// Frees every record of the entity store and the store's own storage.
void ReleaseEntityStore();
// Removes polylines that ended up without vertices; store order is kept.
void DropEmptyPolylines();
// The box around every record's own box: min x, min y, max x, max y. Records without a
// usable box (a polyline without vertices, values that are not finite) do not count.
// False when no record counts.
bool EntityExtents(double& minX, double& minY, double& maxX, double& maxY);

// Extends box (min x, max y, max x, min y) by the arc of radius r around (cx, cy) from angle s
// to angle e (radians), counter-clockwise when direction is 0, clockwise otherwise: by its
// two ends and by every quarter point it passes.
void ExtendBoxByArc(int32_t direction, double r, double s, double e, double cx, double cy,
                    double box[4]);
// Extends box (min x, max y, max x, min y) by one point.
void ExtendBoxByPoint(double x, double y, double box[4]);
