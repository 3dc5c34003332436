#pragma once
// Helpers shared by the converter core tests.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
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

inline std::string ReadFixture(const std::string& name) {
    std::ifstream in(FixturePath(name), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_FALSE(ss.str().empty()) << name;
    return ss.str();
}

// unset_extents.dxf (a 300 by 120 sign from 10,5 to 310,125 whose header holds the unset
// extents marker) with the header's extents set right.
inline std::string SignWithRightExtents() {
    std::string text = ReadFixture("unset_extents.dxf");
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"1e+20", "10"},
                                   {"1e+20", "5"}, {"-1e+20", "310"}, {"-1e+20", "125"}}) {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos);
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
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
