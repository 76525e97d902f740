#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "table/CuePose.h"
#include "table/TableMessages.h"

using namespace table;

namespace {

// A received packet holding the body bytes of one message.
void Receive(net::Packet& in, std::uint16_t id, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> frame(4 + body.size());
    frame[0] = static_cast<std::uint8_t>(frame.size());
    frame[1] = static_cast<std::uint8_t>(frame.size() >> 8);
    frame[2] = static_cast<std::uint8_t>(id);
    frame[3] = static_cast<std::uint8_t>(id >> 8);
    std::memcpy(frame.data() + 4, body.data(), body.size());
    ASSERT_TRUE(in.SetFrames(frame.data(), frame.size()));
}

// The body of the first message of a written packet.
std::vector<std::uint8_t> BodyOf(net::Packet& out) {
    out.Finish();
    const std::size_t length = out.Data()[0] | out.Data()[1] << 8;
    return {out.Data() + 4, out.Data() + length};
}

}  // namespace

TEST(TableMessages, BallStateBlockCarriesBallBytesOnlyForPocketGamesAndAppendsBehindTheLastMessage) {
    BallStateBlock block;
    block.tableItem = 1030;
    block.ballSetItem = 2006;
    block.ballCount = 2;
    block.positions[1] = {1, 2, 3};
    block.orientations[1] = {4, 5, 6, 7};
    block.ballBytes = {1, 0};
    for (int gameType : {4, 10}) {
        net::Packet out;
        WriteBallStateBlock(out, block, gameType, false);
        const auto body = BodyOf(out);
        EXPECT_EQ(body.size(), 5u + 2 * 12 + 2 * 16 + (gameType >= 10 ? 2 : 0)) << gameType;
        net::Packet in;
        Receive(in, 2050, body);
        BallStateBlock back;
        ASSERT_TRUE(ReadBallStateBlock(in, gameType, back));
        EXPECT_EQ(back.positions[1], block.positions[1]);
        EXPECT_EQ(back.orientations[1], block.orientations[1]);
        EXPECT_EQ(back.ballBytes[0], gameType >= 10 ? 1 : 0);
    }
    net::Packet two;
    two.Init(2053);
    two.WriteU16(5);
    WriteBallStateBlock(two, block, 4, true);
    two.Finish();
    EXPECT_EQ(two.MessageCount(), 2u);
}

TEST(TableMessages, ReadersRefuseBodiesThatAreShortOrOutOfRange) {
    BallStateBlock target;
    target.tableItem = 9;
    net::Packet in;
    Receive(in, 2050, {0x06, 0x04, 0xD6, 0x07, 23});  // 23 balls
    EXPECT_FALSE(ReadBallStateBlock(in, 10, target));
    Receive(in, 2050, {0x06, 0x04, 0xD6, 0x07, 1, 0, 0});  // one ball, short
    EXPECT_FALSE(ReadBallStateBlock(in, 10, target));
    std::vector<std::uint8_t> nan = {0x06, 0x04, 0xD6, 0x07, 1, 0, 0, 0xC0, 0x7F};
    nan.resize(5 + 12 + 16, 0);
    Receive(in, 2050, nan);
    EXPECT_FALSE(ReadBallStateBlock(in, 4, target)) << "a NaN position";
    EXPECT_EQ(target.tableItem, 9);

    ShotMessage shot;
    shot.currentBall = 22;
    net::Packet out;
    WriteShotMessage(out, shot);
    Receive(in, 2052, BodyOf(out));
    ShotMessage read;
    EXPECT_FALSE(ReadShotMessage(in, read)) << "current ball 22";

    struct Placement {
        const char* name;
        std::uint8_t argument, ball, pocket;
    };
    for (const Placement& p : {Placement{"argument 2", 2, 0, 255}, Placement{"ball 22", 0, 22, 255},
                               Placement{"pocket 7", 1, 0, 7}, Placement{"pocket 0", 1, 0, 0}}) {
        BallPlacement placement;
        placement.argument = p.argument;
        placement.ball = p.ball;
        placement.calledPocket = p.pocket;
        WriteBallPlacementMessage(out, placement);
        Receive(in, 2063, BodyOf(out));
        BallPlacement back;
        EXPECT_FALSE(ReadBallPlacementMessage(in, back)) << p.name;
    }

    MarkedNumbers marked;
    Receive(in, 1, {0, 3, 1, 0, 2, 0});  // three numbers announced, two sent
    EXPECT_FALSE(ReadMarkedNumbersMessage(in, marked));
    Receive(in, 1, {2, 2, 1, 0, 0x10, 0x27});
    ASSERT_TRUE(ReadMarkedNumbersMessage(in, marked));
    EXPECT_EQ(marked.numbers, (std::vector<std::uint16_t>{1, 10000}));
}

TEST(TableMessages, ShotResultLimitsTheThousandsDigitAndWritesBothListsForPocketGames) {
    struct Case {
        std::int32_t code;
        std::uint16_t wire;
    };
    // A foul or a time-out keeps its sign instead of turning into a large count.
    for (const Case& c : {Case{2003, 3}, Case{3005, 3005}, Case{7004, 3004}, Case{1, 1}, Case{12004, 3004},
                          Case{-3, 0xFFFD}, Case{-1004, static_cast<std::uint16_t>(-1004)}})
        EXPECT_EQ(WireResultCode(c.code), c.wire) << c.code;

    ShotResult result;
    result.code = 2005;
    result.ruleValue = 3;
    result.firstList = {3, 8};
    result.secondList = {3};
    net::Packet out;
    WriteShotResultMessage(out, result, 10);
    EXPECT_EQ(BodyOf(out), (std::vector<std::uint8_t>{0xD5, 0x07, 3, 2, 3, 8, 1, 3}));
    WriteShotResultMessage(out, result, 4);
    EXPECT_EQ(BodyOf(out), (std::vector<std::uint8_t>{0xD5, 0x07}));
}

TEST(CuePose, ChangeAndResendFollowTheSentCopyAndTheStoredTime) {
    CuePose pose;
    pose.Set(10, 0, 0, 0, 5);
    EXPECT_TRUE(pose.HasChanged(100));
    pose.MarkSent();
    EXPECT_FALSE(pose.HasChanged(200)) << "stores 200 as the check time";
    EXPECT_FALSE(pose.IsResendDue(1200));
    EXPECT_TRUE(pose.IsResendDue(1201));
    EXPECT_FALSE(pose.IsResendDue(1300));

    net::Packet out;
    pose.WriteMessage(out);
    net::Packet in;
    Receive(in, 2058, BodyOf(out));
    std::array<std::uint32_t, 5> values{};
    ASSERT_TRUE(ReadRemoteAim(in, values));
    RemoteAim aim;
    ASSERT_TRUE(DecodeRemoteAim(values, aim));
    EXPECT_EQ(aim.yawDegrees, 10.0f);
    EXPECT_EQ(aim.elevationDegrees, 5.0f) << "the fifth value";
    values[2] = 0x7FC00000;
    EXPECT_FALSE(DecodeRemoteAim(values, aim));
}
