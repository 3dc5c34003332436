#pragma once
// Helpers shared by the converter core tests.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "entity_store.h"
#include "plt_writer.h"

// DXF text from (group code, value) pairs.
inline std::string DxfText(const std::vector<std::pair<int, std::string>>& groups) {
    std::string t;
    for (const auto& g : groups) t += std::to_string(g.first) + "\n" + g.second + "\n";
    return t;
}

inline std::string FixturePath(const std::string& name) {
    return std::string(KM_TEST_DATA_DIR) + "/dxf/" + name;
}

// Every test starts from a program that has just started.
class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetStores();
        OvercutState() = COvercutState();
    }
    void TearDown() override { ResetStores(); }
};
