#pragma once
// Turns the entity store into cutter command text: the opening, for each enabled row of the
// cut strategy its preset switch and its entities (optionally in nearest-neighbour order),
// and the trailer. Lines are written as two points, arcs, circles and bulge segments as chords,
// and circles get a closing overcut.
#include <cstdint>
#include <string>
#include <vector>

#include "entity_store.h"
#include "notice.h"
#include "records.h"
#include "stream_limit.h"

// The document's cut strategy as the writer reads it.
struct CutOrder {
    std::vector<LAYERS> layers;
    std::vector<SHARPCOLORS> colours;
    uint8_t mode = 0;        // 0 rows by layer, otherwise rows by colour
    int32_t sortMethod = 0;  // 0 store order, otherwise nearest-neighbour order
};

enum class PltWriteResult {
    kWritten,
    kEmptyStore,   // nothing to write: no file was opened or created
    kCannotOpen,   // the file could not be opened for writing; the caller reports it
    kWriteFailed,  // writing stopped part way; what was written stays; the caller reports it
    kOutOfRange,   // coordinates the cutter cannot take; nothing written, the user was told
    kTooLarge,     // the text would outgrow the limit; nothing written, the user was told
};

// Largest command text written: the same bound as the station's own streams.
constexpr size_t kMaxPltBytes = kMaxCutterStreamBytes;

extern const char* const kPlotRangeMessage;
extern const char* const kPlotSizeMessage;

// The command text for the stores' drawing, or kOutOfRange / kTooLarge (text then empty) or
// kEmptyStore (text empty). maxBytes bounds the text.
PltWriteResult MakePltText(const CutOrder& order, INotice& notice, std::string& text,
                           size_t maxBytes = kMaxPltBytes);
// Writes the command text to path (UTF-8), creating or emptying the file. An empty store and
// a refused drawing leave the file untouched.
PltWriteResult WritePltFile(const std::string& path, const CutOrder& order, INotice& notice);

// Appends one record's text. False when one of its values does not fit the command language
// (32-bit plotter units); out then ends with part of the record.
bool WriteShapePlt(const SHARP& record, std::string& out);

// The overcut collected while a circle is written.
struct PointL {
    int32_t x;  // first number of a written pair
    int32_t y;  // second number
};
struct COvercutState {
    uint8_t active = 0;
    uint8_t firstPending = 0;
    double lastFirst = 0, lastSecond = 0;
    double remaining = 0;
    std::vector<PointL> points;
};
COvercutState& OvercutState();
// Takes one written point of the current circle into the overcut.
void TrackOvercut(int32_t first, int32_t second);

// Puts the records at the given store indexes into nearest-neighbour order, starting from
// (curX, curY), which ends as the end point of the record placed second to last.
void NearestNeighbourOrder(std::vector<int32_t>& selection, double& curX, double& curY);
