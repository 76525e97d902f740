#include <gtest/gtest.h>

#include "engine/core/Hex.h"

TEST(Hex, DigitsAreCaseBlindAndNonDigitsCountAsZero) {
    EXPECT_EQ(HexPairToByte('7', 'F'), 127);
    EXPECT_EQ(HexPairToByte('7', 'f'), 127);
    EXPECT_EQ(HexPairToByte('G', '1'), 1);
    EXPECT_EQ(HexPairToByte('f', 'f'), 255);
}

TEST(Hex, IntegersAreWrittenInMemoryOrder) {
    EXPECT_EQ(U32ToHex(0x12345678), "78563412");
    EXPECT_EQ(U16ToHex(0x0C21), "210C");
    EXPECT_EQ(U32ToHex(3105), "210C0000");
}
