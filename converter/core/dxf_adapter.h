#pragma once
// Receives what dxflib reads from a drawing and fills the program-wide stores.
#include "dl_creationadapter.h"
#include "notice.h"

// The version warning shown for drawings that are not R12.
extern const char* const kDxfVersionWarning;

// Lives for one read of one drawing. Constructing it starts the import: the previous
// drawing's entities, layers, vertices and extents are dropped (the arc direction stays).
class CMyDxfAdapter : public DL_CreationAdapter {
public:
    explicit CMyDxfAdapter(INotice& notice);
    ~CMyDxfAdapter() override;

    void addLayer(const DL_LayerData& data) override;
    void addBlock(const DL_BlockData& data) override;
    void endBlock() override;
    void addPoint(const DL_PointData& data) override;
    void addLine(const DL_LineData& data) override;
    void addArc(const DL_ArcData& data) override;
    void addCircle(const DL_CircleData& data) override;
    void addPolyline(const DL_PolylineData& data) override;
    void addVertex(const DL_VertexData& data) override;
    void add3dFace(const DL_3dFaceData& data) override;
    void endEntity() override;
    void setVariableVector(const std::string& key, double v1, double v2, double v3,
                           int code) override;
    void setVariableString(const std::string& key, const std::string& value, int code) override;
    void setVariableInt(const std::string& key, int value, int code) override;
    void setVariableDouble(const std::string& key, double value, int code) override;
    void endSequence() override;

    // Called once the whole drawing is read. Header extents that are missing or unset
    // (minimum above maximum, or not finite, as "$EXTMIN" 1e20 / "$EXTMAX" -1e20 that
    // drawing programs write when they have none) are replaced by the extents of the
    // entities themselves; valid header extents are widened to hold every entity.
    void SettleExtents();

private:
    DL_Attributes ResolvedAttributes() const;
    void FinishPolyline();

    INotice& notice_;
    double extMinX_ = 0, extMinY_ = 0, extMaxX_ = 0, extMaxY_ = 0;
    bool haveExtMin_ = false, haveExtMax_ = false;
};
