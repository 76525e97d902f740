#include "engine/core/Format.h"

#include <gtest/gtest.h>

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

TEST(Format, ConversionsTheSystemsFormatsUse) {
    EXPECT_EQ(Format(u"%s", WString(u"리플레이")), u"리플레이");
    EXPECT_EQ(Format(u"[%S]", "narrow"), u"[narrow]");
    EXPECT_EQ(Format(u"%I64u", std::uint64_t{18446744073709551615u}), u"18446744073709551615");
    EXPECT_EQ(Format(u"%I64d", std::int64_t{INT64_MIN}), u"-9223372036854775808");
    EXPECT_EQ(Format(u"%I32d|%I32X", -5, 0xBEEFu), u"-5|BEEF");
    EXPECT_EQ(Format(u"0x%08X", 0xC0000005u), u"0xC0000005");
    EXPECT_EQ(Format(u"%x", -1), u"ffffffff");
    EXPECT_EQ(Format(u"%d", 0xFFFFFFFFu), u"-1");  // a 32-bit int, as the system prints it
    EXPECT_EQ(Format(u"%u", -1), u"4294967295");
    EXPECT_EQ(Format(u"%+d|%-5d|%05d", 7, 42, -42), u"+7|42   |-0042");
    EXPECT_EQ(Format(u"%.2fMB / %.2fMB", 12.5, 256.0), u"12.50MB / 256.00MB");
    EXPECT_EQ(Format(u"%c%c", u'가', 'A'), u"가A");
    EXPECT_EQ(Format(u"%*d|%-*d|", 4, 1, 3, 2), u"   1|2  |");
    EXPECT_EQ(Format(u"%.3s", u"abcdef"), u"abc");
    EXPECT_EQ(Format(u"%ls %hs", u"wide", "narrow"), u"wide narrow");
    EXPECT_EQ(Format(u"100%%"), u"100%");
}

TEST(Format, HostileWidthsAndUnknownConversionsStayBounded) {
    // Widths beyond the clamp neither overflow the parser nor allocate without bound.
    EXPECT_EQ(Format(u"%99999999999999999999d", 1).size(), 1024u);
    EXPECT_EQ(Format(u"%*d", INT32_MIN, 1).size(), 1024u);
    EXPECT_EQ(Format(u"%.99999999999f", 1.0).size(), 1026u);
    EXPECT_EQ(Format(u"%1000d", 5).size(), 1000u);
    // "%n" writes nothing anywhere: it is shown as written and its argument kept for the next one.
    EXPECT_EQ(Format(u"%n%d", 3), u"%n3");
}
