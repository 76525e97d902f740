#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "table/ShotRecord.h"

using table::ShotRecord;

namespace {

// A record of game type 10 on table 1030 without balls, as the writer makes it.
const std::string kGood =
    "9A0B0000140001000A0604B80B000000000000000000000000000000D6070000000000CDCC4C3FCDCC4C3F00000000"
    "0000C8420000000000000000000000000000000000000000000000000000803F000000000000000000000000";

}  // namespace

TEST(ShotRecordReader, RefusesMalformedTextWithoutTouchingTheRecord) {
    ASSERT_EQ(kGood.size(), 182u);
    ShotRecord ok;
    ASSERT_EQ(ok.ParseHex(kGood), ShotRecord::ParseResult::Ok);
    EXPECT_EQ(ok.tableItem, 1030);

    auto with = [](std::size_t at, const char* two) {
        std::string text = kGood;
        text.replace(at, std::strlen(two), two);
        return text;
    };
    struct Case {
        const char* name;
        std::string text;
        ShotRecord::ParseResult expected;
    };
    const Case cases[] = {
        {"short", kGood.substr(0, 100), ShotRecord::ParseResult::BadLength},
        {"odd length", kGood + "0", ShotRecord::ParseResult::BadLength},
        {"a digit that is no hex digit", with(20, "G1"), ShotRecord::ParseResult::BadHexDigit},
        {"a blank", with(100, " 0"), ShotRecord::ParseResult::BadHexDigit},
        {"ball count 200", with(66, "C8"), ShotRecord::ParseResult::BadBallCount},
        {"ball count -1", with(66, "FF"), ShotRecord::ParseResult::BadBallCount},
        {"game type 99", with(16, "63"), ShotRecord::ParseResult::BadGameType},
        {"table item the world cannot load", with(18, "E703"), ShotRecord::ParseResult::BadTableType},
        {"one ball announced, none given", with(66, "01"), ShotRecord::ParseResult::BadLength},
    };
    for (const Case& c : cases) {
        ShotRecord target;
        target.cueItem = 77;
        EXPECT_EQ(target.ParseHex(c.text), c.expected) << c.name;
        EXPECT_EQ(target.cueItem, 77) << c.name;
    }
    ShotRecord lower;
    std::string text = kGood;
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(lower.ParseHex(text), ShotRecord::ParseResult::Ok) << "lower-case digits";
    EXPECT_EQ(lower.ParseHex(with(18, "0000")), ShotRecord::ParseResult::Ok)
        << "table item 0 stands for the game type's table";
}
