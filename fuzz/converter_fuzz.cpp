// Feeds arbitrary bytes through the whole drawing import (the pre-read check, dxflib and the
// adapter) and, when a drawing comes out, through the command-text writer in both modes.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "dxf_import.h"
#include "entity_store.h"
#include "plt_writer.h"

namespace {

class CSilentNotice : public INotice {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return kAnswerOk; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CSilentNotice notice;
    ResetStores();
    const DxfReadResult r = ReadDxfText(reinterpret_cast<const char*>(data), size, notice);
    if (r == DxfReadResult::kRead && !Stores().entities.empty()) {
        DropEmptyPolylines();
        CutOrder order;
        std::set<std::string> layers;
        std::set<int32_t> colours;
        for (const SHARP& s : Stores().entities) {
            layers.insert(s.attributes.getLayer());
            colours.insert(s.attributes.getColor());
        }
        uint8_t preset = 1;
        for (const std::string& l : layers) order.layers.push_back(LAYERS{1, preset++, l});
        for (int32_t c : colours) order.colours.push_back(SHARPCOLORS{1, preset++, c});
        std::string text;
        order.sortMethod = size & 1;
        MakePltText(order, notice, text, 4u << 20);
        order.mode = 1;
        order.sortMethod = !order.sortMethod;
        MakePltText(order, notice, text, 4u << 20);
    }
    ResetStores();
    return 0;
}
