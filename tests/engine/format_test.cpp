#include <gtest/gtest.h>

#include "engine/core/Format.h"

TEST(Format, WindowsWideConversions) {
    EXPECT_EQ(Format(u"%s=%d", u"\uac00\ub098", 42), u"\uac00\ub098=42");
    EXPECT_EQ(Format(u"%I64d", std::int64_t{-9000000000}), u"-9000000000");
    EXPECT_EQ(Format(u"%02X%02X", 0x0a, 255), u"0AFF");
    EXPECT_EQ(Format(u"%.1f%%", 12.25), u"12.2%");
    EXPECT_EQ(Format(u"%02d:%02d:%02d ", 1, 2, 3), u"01:02:03 ");
    EXPECT_EQ(Format(u"[%-4s][%4s]", u"ab", u"cd"), u"[ab  ][  cd]");
}

TEST(Format, MismatchedOrMissingArgumentsNeverReadGarbage) {
    EXPECT_EQ(Format(u"%d", u"text"), u"<?>");
    EXPECT_EQ(Format(u"%s and %s", u"one"), u"one and <?>");
    EXPECT_EQ(Format(u"%f", 3), u"<?>");
    EXPECT_EQ(Format(u"tail %"), u"tail %");
}

TEST(Format, NumbersWithThousandsSeparators) {
    EXPECT_EQ(FormatNumber(0), u"0");
    EXPECT_EQ(FormatNumber(999), u"999");
    EXPECT_EQ(FormatNumber(1000), u"1,000");
    EXPECT_EQ(FormatNumber(-1234567), u"-1,234,567");
    EXPECT_EQ(FormatNumber(INT64_MIN), u"-9,223,372,036,854,775,808");
}
