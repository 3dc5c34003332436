// Times the converter's import and command-text writer on a generated drawing of about
// 100,000 entities (lines, arcs, circles, polylines on eight layers and colours).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dxf_import.h"
#include "entity_store.h"
#include "plt_writer.h"

namespace {

class CQuietNotice : public INotice {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return kAnswerOk; }
};

void Group(std::string& t, int code, const std::string& value) {
    t += std::to_string(code);
    t += '\n';
    t += value;
    t += '\n';
}

void Group(std::string& t, int code, double value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", value);
    Group(t, code, std::string(buf));
}

std::string MakeDrawing(int entities) {
    std::string t;
    Group(t, 0, "SECTION"); Group(t, 2, "HEADER");
    Group(t, 9, "$ACADVER"); Group(t, 1, "AC1009");
    Group(t, 9, "$EXTMIN"); Group(t, 10, 0.0); Group(t, 20, 0.0); Group(t, 30, 0.0);
    Group(t, 9, "$EXTMAX"); Group(t, 10, 2000.0); Group(t, 20, 1000.0); Group(t, 30, 0.0);
    Group(t, 0, "ENDSEC");
    Group(t, 0, "SECTION"); Group(t, 2, "TABLES"); Group(t, 0, "TABLE"); Group(t, 2, "LAYER");
    for (int l = 0; l < 8; ++l) {
        Group(t, 0, "LAYER"); Group(t, 2, "L" + std::to_string(l)); Group(t, 70, "0");
        Group(t, 62, std::to_string(l + 1));
    }
    Group(t, 0, "ENDTAB"); Group(t, 0, "ENDSEC");
    Group(t, 0, "SECTION"); Group(t, 2, "ENTITIES");
    unsigned seed = 12345;
    auto rnd = [&seed](double span) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % 1000000 / 1000000.0 * span;
    };
    for (int i = 0; i < entities; ++i) {
        const std::string layer = "L" + std::to_string(i % 8);
        const double x = rnd(1900) + 50, y = rnd(900) + 50;
        switch (i % 4) {
        case 0:
            Group(t, 0, "LINE"); Group(t, 8, layer);
            Group(t, 10, x); Group(t, 20, y); Group(t, 30, 0.0);
            Group(t, 11, x + rnd(40) - 20); Group(t, 21, y + rnd(40) - 20); Group(t, 31, 0.0);
            break;
        case 1:
            Group(t, 0, "ARC"); Group(t, 8, layer);
            Group(t, 10, x); Group(t, 20, y); Group(t, 30, 0.0); Group(t, 40, rnd(10) + 0.5);
            Group(t, 50, rnd(360)); Group(t, 51, rnd(360));
            break;
        case 2:
            Group(t, 0, "CIRCLE"); Group(t, 8, layer);
            Group(t, 10, x); Group(t, 20, y); Group(t, 30, 0.0); Group(t, 40, rnd(10) + 0.5);
            break;
        default:
            Group(t, 0, "POLYLINE"); Group(t, 8, layer); Group(t, 66, "1");
            Group(t, 70, (i / 4) % 2 ? "1" : "0");
            for (int v = 0; v < 5; ++v) {
                Group(t, 0, "VERTEX"); Group(t, 8, layer);
                Group(t, 10, x + v * 3); Group(t, 20, y + (v % 2) * 3); Group(t, 30, 0.0);
                if (v == 2) Group(t, 42, 0.5);
            }
            Group(t, 0, "SEQEND"); Group(t, 8, layer);
            break;
        }
    }
    Group(t, 0, "ENDSEC"); Group(t, 0, "EOF");
    return t;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int entities = argc > 1 ? std::atoi(argv[1]) : 100000;
    CQuietNotice notice;
    const std::string drawing = MakeDrawing(entities);
    std::printf("drawing: %d entities, %.1f MB of DXF text\n", entities, drawing.size() / 1e6);

    auto t0 = std::chrono::steady_clock::now();
    if (ReadDxfText(drawing.data(), drawing.size(), notice) != DxfReadResult::kRead) {
        std::printf("import failed\n");
        return 1;
    }
    std::printf("import (check, dxflib, stores): %.3f s, %zu records\n", Seconds(t0),
                Stores().entities.size());

    CutOrder order;
    for (int l = 0; l < 8; ++l) order.layers.push_back(LAYERS{1, uint8_t(l + 1), "L" + std::to_string(l)});
    std::string text;
    for (int sort = 0; sort < 2; ++sort) {
        order.sortMethod = sort;
        t0 = std::chrono::steady_clock::now();
        if (MakePltText(order, notice, text) != PltWriteResult::kWritten) return 1;
        std::printf("write, 8 layer rows, %s: %.3f s, %.1f MB of commands\n",
                    sort ? "nearest-neighbour order" : "store order", Seconds(t0),
                    text.size() / 1e6);
    }
    // Everything in one row, the largest selection the order can be given.
    t0 = std::chrono::steady_clock::now();
    std::vector<int32_t> all(Stores().entities.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int32_t>(i);
    double x = 0, y = 0;
    NearestNeighbourOrder(all, x, y);
    std::printf("nearest-neighbour order of all %zu records in one row: %.3f s\n", all.size(),
                Seconds(t0));
    return 0;
}
