#include <gtest/gtest.h>

#include <string>

#include "engine/core/Text.h"

namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

}  // namespace

TEST(CodePage, KoreanTextRoundTripsThroughCp949) {
    const WString texts[] = {
        u"안녕하세요", u"리플레이 재생", u"방장만 참여할 수 있는 대회입니다.", u"Score 1,234 점 (3쿠션)",
        u"갂똠힣",  // outside KS X 1001: the extended CP949 range
        u"",
    };
    for (const WString& text : texts) {
        const std::string multi = WideToMulti(text);
        EXPECT_EQ(MultiToWide(multi), text) << ToUtf8(text);
    }
    EXPECT_EQ(Hex(WideToMulti(u"가")), "b0a1");
    EXPECT_EQ(Hex(WideToMulti(u"갂")), "8141");
    EXPECT_EQ(Hex(WideToMulti(u"안녕a")), "bec8b3e761");
    EXPECT_EQ(MultiToWide("\x8c\x63"), u"똠");
}

TEST(CodePage, UnconvertibleAndMalformedTextBecomesOneQuestionMarkPerCharacter) {
    // A character outside the code page, including one written as a surrogate pair.
    EXPECT_EQ(WideToMulti(u"a\u00e9b"), "a?b");
    EXPECT_EQ(WideToMulti(u"x\U0001F600y"), "x?y");
    // A lone surrogate.
    EXPECT_EQ(WideToMulti(u"x\xD800y"), "x?y");
    // A lead byte without its trail byte, at the end and before an ASCII byte.
    EXPECT_EQ(MultiToWide("ab\xb0"), u"ab?");
    EXPECT_EQ(MultiToWide("\xff"
                          "a"),
              u"?a");
}

TEST(CodePage, FixedSizeFieldsAreZeroFilledAndCutOnCharacterBoundaries) {
    char multi[6];
    std::fill(std::begin(multi), std::end(multi), 'Z');
    // "가나다" is six bytes; with the terminator only two characters fit.
    EXPECT_EQ(WideToMulti(u"가나다", multi, sizeof multi), 4u);
    EXPECT_EQ(std::string(multi, 6), std::string("\xb0\xa1\xb3\xaa\0\0", 6));
    EXPECT_EQ(WideToMulti(u"a가", multi, 3), 1u);  // never half of "가"
    EXPECT_EQ(std::string(multi, 3), std::string("a\0\0", 3));
    EXPECT_EQ(WideToMulti(u"abc", multi, 0), 0u);

    char16_t wide[4];
    std::fill(std::begin(wide), std::end(wide), u'Z');
    EXPECT_EQ(MultiToWide("\xb0\xa1"
                          "bc",
                          wide, 4),
              3u);
    EXPECT_EQ(WString(wide, 4), WString(u"가bc\0", 4));
    EXPECT_EQ(MultiToWide("abcdef", wide, 4), 3u);
    EXPECT_EQ(WString(wide, 4), WString(u"abc\0", 4));
}

TEST(Utf8, RoundTripAndRejectionOfMalformedSequences) {
    const WString text = u"Marvenlot 당구 \U0001F3B1";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"가"), "\xea\xb0\x80");
    // Overlong forms of '/' and NUL must not decode to those characters.
    EXPECT_EQ(FromUtf8("\xc0\xaf"), u"\uFFFD\uFFFD");
    EXPECT_EQ(FromUtf8("\xe0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(FromUtf8("a\xea\xb0"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(FromUtf8("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(ToUtf8(u"\xDC00"), "\xef\xbf\xbd");
}

TEST(Text, NextTokenMatchesTheDelimiterInEitherCaseAndStopsAtTheEnd) {
    std::string_view text = "one|SEP|two|sep|three";
    EXPECT_EQ(NextToken(text, "|SEP|"), "one");
    EXPECT_EQ(NextToken(text, "|SEP|"), "two");
    EXPECT_EQ(NextToken(text, "|SEP|"), "three");  // no delimiter left: the rest, never past the end
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(NextToken(text, "|SEP|"), "");
}
