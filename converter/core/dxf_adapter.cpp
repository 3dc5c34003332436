#include "dxf_adapter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

#include "bulge.h"
#include "entity_store.h"
#include "geometry_constants.h"

const char* const kDxfVersionWarning =
    "Open DXF version is not R12 version, \r\nsome graphic elements may not be processed, "
    "please check!";

namespace {

// A vertex array must stay addressable with 32-bit sizes (32 bytes a vertex).
constexpr size_t kMaxPolylineVertices = 0xFFFFFFFFu / sizeof(DL_VertexData);

// Size of a layer colour: switched-off layers carry it negative. The most negative
// number has no positive twin and keeps the largest one.
int32_t ColourMagnitude(int32_t c) {
    if (c == std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::max();
    return c < 0 ? -c : c;
}

}  // namespace

CMyDxfAdapter::CMyDxfAdapter(INotice& notice) : notice_(notice) {
    CConverterStores& s = Stores();
    s.vertices.clear();
    s.zoomFactor = 1.0;
    s.scale = 1.0;
    s.importState = kImportIdle;
    for (auto& v : s.drawBox) v = 0;
    s.extMinX = s.extMinY = s.extMaxX = s.extMaxY = 0;
    ReleaseEntityStore();
    s.layers.clear();
}

// The stores outlive the adapter.
CMyDxfAdapter::~CMyDxfAdapter() = default;

DL_Attributes CMyDxfAdapter::ResolvedAttributes() const {
    DL_Attributes a = attributes;
    int32_t colour = a.getColor();
    if (colour == 256) {  // by layer
        colour = 0;
        for (const LAYER& l : Stores().layers) {
            if (l.name == a.getLayer()) {
                colour = ColourMagnitude(l.colour);
                break;
            }
        }
    }
    if (colour == 7) colour = 0;
    a.setColor(colour);
    return a;
}

void CMyDxfAdapter::addLayer(const DL_LayerData& data) {
    Stores().layers.push_back(LAYER{data.name, attributes.getColor()});
}

void CMyDxfAdapter::addBlock(const DL_BlockData&) { Stores().importState = kImportInBlock; }

void CMyDxfAdapter::endBlock() { Stores().importState = kImportIdle; }

void CMyDxfAdapter::addPoint(const DL_PointData&) {}

void CMyDxfAdapter::add3dFace(const DL_3dFaceData&) {}

void CMyDxfAdapter::addLine(const DL_LineData& d) {
    CConverterStores& s = Stores();
    if (s.importState == kImportInBlock) return;
    s.importState = kShapeLine;
    if (!(d.x1 == d.x2 && d.y1 == d.y2)) {
        SHARP r;
        r.type = kShapeLine;
        r.box[0] = std::min(d.x1, d.x2);
        r.box[1] = std::min(d.y1, d.y2);
        r.box[2] = std::max(d.x1, d.x2);
        r.box[3] = std::max(d.y1, d.y2);
        r.startX = d.x1; r.startY = d.y1;
        r.endX = d.x2; r.endY = d.y2;
        r.attributes = ResolvedAttributes();
        r.geometry = d;
        s.entities.push_back(std::move(r));
    }
    s.importState = kImportIdle;
}

void CMyDxfAdapter::addArc(const DL_ArcData& d) {
    CConverterStores& s = Stores();
    if (s.importState == kImportInBlock) return;
    s.importState = kShapeArc;
    const double a1 = d.angle1 / 180 * kPi;
    const double a2 = d.angle2 / 180 * kPi;
    SHARP r;
    r.type = kShapeArc;
    r.box[0] = kBoxStartLow; r.box[1] = kBoxStartHigh;
    r.box[2] = kBoxStartHigh; r.box[3] = kBoxStartLow;
    ExtendBoxByArc(s.arcDirection, d.radius, a1, a2, d.cx, d.cy, r.box);
    r.startX = d.cx + d.radius * std::cos(a1);
    r.startY = d.cy + d.radius * std::sin(a1);
    r.endX = d.cx + d.radius * std::cos(a2);
    r.endY = d.cy + d.radius * std::sin(a2);
    r.attributes = ResolvedAttributes();
    r.geometry = d;
    s.entities.push_back(std::move(r));
    s.importState = kImportIdle;
}

void CMyDxfAdapter::addCircle(const DL_CircleData& d) {
    CConverterStores& s = Stores();
    if (s.importState == kImportInBlock) return;
    s.importState = kShapeCircle;
    SHARP r;
    r.type = kShapeCircle;
    r.box[0] = d.cx - d.radius; r.box[1] = d.cy + d.radius;
    r.box[2] = d.cx + d.radius; r.box[3] = d.cy - d.radius;
    r.startX = r.endX = d.cx;
    r.startY = r.endY = d.cy + d.radius;
    r.attributes = ResolvedAttributes();
    r.geometry = d;
    s.entities.push_back(std::move(r));
    s.importState = kImportIdle;
}

void CMyDxfAdapter::addPolyline(const DL_PolylineData& d) {
    CConverterStores& s = Stores();
    if (s.importState == kImportInBlock) return;
    // Vertices left over from a sequence that never got its polyline finished do not
    // belong to this one.
    s.vertices.clear();
    SHARP r;
    r.type = kShapePolyline;
    r.flags = static_cast<uint32_t>(d.flags) & 0xFFu;
    r.attributes = ResolvedAttributes();
    s.entities.push_back(std::move(r));
    s.importState = kImportPolyline;
}

void CMyDxfAdapter::addVertex(const DL_VertexData& d) {
    CConverterStores& s = Stores();
    if (s.importState == kImportInBlock) return;
    // One more is needed for the copy that closes a closed polyline.
    if (s.vertices.size() + 1 >= kMaxPolylineVertices) throw std::bad_alloc();
    s.vertices.push_back(DL_VertexData(d.x, d.y, d.z, d.bulge));
}

void CMyDxfAdapter::endEntity() { FinishPolyline(); }

void CMyDxfAdapter::endSequence() { FinishPolyline(); }

void CMyDxfAdapter::FinishPolyline() {
    CConverterStores& s = Stores();
    if (s.importState == kImportInBlock) return;
    if (s.importState != kImportPolyline || s.vertices.empty() || s.entities.empty() ||
        s.entities.back().type != kShapePolyline) {
        s.importState = kImportIdle;
        return;
    }
    SHARP& r = s.entities.back();
    std::vector<DL_VertexData>& acc = s.vertices;
    if (r.flags & 1u) {
        DL_VertexData first = acc.front();
        first.bulge = 0;
        acc.push_back(first);
    } else {
        acc.back().bulge = 0;
    }
    std::vector<DL_VertexData> v(acc.begin(), acc.end());

    r.box[0] = kBoxStartLow; r.box[1] = kBoxStartHigh;
    r.box[2] = kBoxStartHigh; r.box[3] = kBoxStartLow;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i].bulge == 0 || i + 1 >= v.size()) {
            ExtendBoxByPoint(v[i].x, v[i].y, r.box);
            continue;
        }
        uint8_t clockwise = 0;
        double cx, cy, radius, sa, ea;
        if (BulgeToArc(v[i].x, v[i].y, v[i + 1].x, v[i + 1].y, v[i].bulge, clockwise, cx, cy,
                       radius, sa, ea))
            ExtendBoxByArc(clockwise, radius, sa, ea, cx, cy, r.box);
    }
    r.startX = v.front().x; r.startY = v.front().y;
    r.endX = v.back().x; r.endY = v.back().y;
    r.geometry = std::move(v);
    acc.clear();
    s.importState = kImportIdle;
}

void CMyDxfAdapter::setVariableVector(const std::string& key, double v1, double v2, double,
                                      int) {
    CConverterStores& s = Stores();
    if (key == "$EXTMIN") {
        extMinX_ = v1; extMinY_ = v2;
        haveExtMin_ = true;
        s.extMinX = extMinX_; s.extMinY = extMinY_;
    } else if (key == "$EXTMAX") {
        extMaxX_ = v1; extMaxY_ = v2;
        haveExtMax_ = true;
        s.extMaxX = extMaxX_; s.extMaxY = extMaxY_;
    }
}

void CMyDxfAdapter::SettleExtents() {
    const bool headerValid = haveExtMin_ && haveExtMax_ && std::isfinite(extMinX_) &&
                             std::isfinite(extMinY_) && std::isfinite(extMaxX_) &&
                             std::isfinite(extMaxY_) && extMinX_ <= extMaxX_ &&
                             extMinY_ <= extMaxY_;
    CConverterStores& s = Stores();
    double minX, minY, maxX, maxY;
    const bool drawn = EntityExtents(minX, minY, maxX, maxY);
    if (headerValid) {
        // Some programs write a fixed or stale header box: whatever lies outside it would
        // land at negative plotter coordinates, so the box grows to hold every entity.
        if (drawn) {
            s.extMinX = std::min(extMinX_, minX); s.extMinY = std::min(extMinY_, minY);
            s.extMaxX = std::max(extMaxX_, maxX); s.extMaxY = std::max(extMaxY_, maxY);
        }
        return;
    }
    if (drawn) {
        s.extMinX = minX; s.extMinY = minY;
        s.extMaxX = maxX; s.extMaxY = maxY;
    } else {
        // Nothing to measure: as a drawing without any extents.
        s.extMinX = s.extMinY = s.extMaxX = s.extMaxY = 0;
    }
}

void CMyDxfAdapter::setVariableString(const std::string& key, const std::string& value, int) {
    if (key == "$ACADVER" && value != "AC1009")
        notice_.Show(kDxfVersionWarning, std::string(), kNoticeOk);
}

void CMyDxfAdapter::setVariableInt(const std::string& key, int value, int) {
    if (key == "$ANGDIR") Stores().arcDirection = value;
}

void CMyDxfAdapter::setVariableDouble(const std::string&, double, int) {}
