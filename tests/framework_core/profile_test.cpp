#include <gtest/gtest.h>

#include "profile.h"

TEST(MemoryProfile, SectionsAndKeysIgnoreCaseAndValuesAreCut) {
    CMemoryProfile p("[Language]\r\nLan=Chinese\r\n[CutConfig]\r\nSP1 = 3 \r\n");
    EXPECT_EQ(p.ReadString("LANGUAGE", "lan", "default.fil", 49), "Chinese");
    EXPECT_EQ(p.ReadString("cutconfig", "SP1", "", 49), "3");
    EXPECT_EQ(p.ReadString("CutConfig", "SP2", "x", 49), "x");
    EXPECT_EQ(p.ReadString("Language", "Lan", "", 3), "Chi");
    ASSERT_TRUE(p.WriteString("LANGUAGE", "Lan", "English"));
    EXPECT_EQ(p.Text(), "[Language]\r\nLan=English\r\n[CutConfig]\r\nSP1=3\r\n");
}

TEST(MemoryProfile, MissingFileReadsDefaultsAndReadOnlyRefusesWrites) {
    CMemoryProfile p;
    EXPECT_EQ(p.ReadString("A", "B", "d", 49), "d");
    p.readOnly = true;
    EXPECT_FALSE(p.WriteString("A", "B", "v"));
    EXPECT_FALSE(p.exists);
}
