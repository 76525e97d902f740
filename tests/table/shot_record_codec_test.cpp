#include <gtest/gtest.h>

#include "table/ShotRecord.h"

using table::ShotRecord;
using table::ShotRecordToHex;

namespace {
ShotRecord WorkedExample() {
    ShotRecord r;
    r.clientBuild = 2970;
    r.physicsModelId = 0x10014;
    r.gameType = 10;
    r.tableItem = 1030;
    r.cueItem = 3000;
    r.ballSetItem = 2006;
    r.shotParams[0] = 0.8f;
    r.shotParams[1] = 0.8f;
    r.shotParams[3] = 100.0f;
    r.shotParams[10] = 1.0f;
    return r;
}
}  // namespace

TEST(ShotRecordHex, WritesTheExactBytesOfARecordWithoutBalls) {
    EXPECT_EQ(ShotRecordToHex(WorkedExample()),
              "9A0B0000140001000A0604B80B000000000000000000000000000000D6070000000000CDCC4C3FCDCC4C3F00000000"
              "0000C8420000000000000000000000000000000000000000000000000000803F000000000000000000000000");
}

TEST(ShotRecordHex, LengthFollowsBallCountAndPerBallBytesOfPocketGames) {
    ShotRecord r = WorkedExample();
    EXPECT_EQ(ShotRecordToHex(r).size(), 182u);
    r.ballCount = 16;
    r.gameType = 10;
    EXPECT_EQ(ShotRecordToHex(r).size(), 1110u);
    r.gameType = 9;
    EXPECT_EQ(ShotRecordToHex(r).size(), 1078u);
    r.ballCount = 22;
    r.gameType = 16;
    EXPECT_EQ(ShotRecordToHex(r).size(), 1458u);
}

TEST(ShotRecordHex, RefusesBallCountsTheReaderCannotTake) {
    ShotRecord r = WorkedExample();
    r.ballCount = 23;
    EXPECT_TRUE(ShotRecordToHex(r).empty());
    r.ballCount = 0xFF;  // -1 as a signed byte
    EXPECT_TRUE(ShotRecordToHex(r).empty());
}

TEST(ShotRecordHex, ReaderTakesBackWhatTheWriterWroteExceptTheUnwrittenFields) {
    ShotRecord r = WorkedExample();
    r.gameType = 12;
    r.ballCount = 2;
    r.positions[0] = {10.0f, 20.0f, 3.0f};
    r.positions[1] = {-5.5f, 0.25f, 3.0f};
    r.orientations[0] = {0, 0, 0, 1};
    r.orientations[1] = {0.5f, -0.5f, 0.5f, 0.5f};
    r.ballBytes[0] = 1;
    r.ballBytes[1] = 0x80;
    r.cuePartItems = {1, 2, 3, 4, 0xFFFF};
    r.cuePartLevels = {5, 6, 7, 8, 9};
    for (int i = 0; i < ShotRecord::kShotParamCount; ++i) r.shotParams[i] = 0.5f * static_cast<float>(i);
    r.unwrittenByte = 0x42;

    ShotRecord back;
    ASSERT_EQ(back.ParseHex(ShotRecordToHex(r)), ShotRecord::ParseResult::Ok);
    EXPECT_EQ(back.clientBuild, r.clientBuild);
    EXPECT_EQ(back.gameType, 12);
    EXPECT_EQ(back.ballCount, 2);
    EXPECT_EQ(back.positions[1], r.positions[1]);
    EXPECT_EQ(back.orientations[1], r.orientations[1]);
    EXPECT_EQ(back.ballBytes[1], 0x80);
    EXPECT_EQ(back.cuePartItems, r.cuePartItems);
    EXPECT_EQ(back.cuePartLevels, r.cuePartLevels);
    for (int i = 0; i < ShotRecord::kShotParamCount; ++i) {
        if (i == 11) continue;
        EXPECT_EQ(back.shotParams[i], r.shotParams[i]) << "parameter " << i + 1;
    }
    EXPECT_EQ(back.shotParams[11], 0.0f);
    EXPECT_EQ(back.unwrittenByte, 0);
}

TEST(ShotRecordHex, ReaderRefusesMalformedTextAndKeepsTheRecord) {
    ShotRecord r = WorkedExample();
    const std::string good = ShotRecordToHex(r);
    ShotRecord target;
    target.cueItem = 77;
    EXPECT_EQ(target.ParseHex(""), ShotRecord::ParseResult::BadLength);
    EXPECT_EQ(target.ParseHex(good.substr(0, 181)), ShotRecord::ParseResult::BadLength);
    EXPECT_EQ(target.ParseHex(good + "00"), ShotRecord::ParseResult::BadLength);
    std::string manyBalls = good;
    manyBalls.replace(66, 2, "17");  // 23 balls
    EXPECT_EQ(target.ParseHex(manyBalls), ShotRecord::ParseResult::BadBallCount);
    std::string badType = good;
    badType.replace(16, 2, "11");  // game type 17
    EXPECT_EQ(target.ParseHex(badType), ShotRecord::ParseResult::BadGameType);
    EXPECT_EQ(target.cueItem, 77);
}
