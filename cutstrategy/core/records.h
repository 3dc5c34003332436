#pragma once
// The rows of a cut strategy: one per layer or one per colour, in cut order.
#include <cstdint>
#include <string>

struct LAYERS {
    uint8_t enabled = 1;   // the row is cut
    uint8_t preset = 1;    // machine preset 1 to 8
    std::string name;      // layer name (UTF-8)
};

// No defaults: whoever builds a row sets every field.
struct SHARPCOLORS {
    uint8_t enabled;       // the row is cut
    uint8_t preset;        // machine preset 1 to 8
    int32_t colour;        // pen number 1 to 8 in the station, colour index in the converter
};
