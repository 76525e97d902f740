// The game room's effect panel and after-shot sounds without a window or a server: which turn results
// and timers play which animation, the result sound the rules pick and the 8-ball shot holds back, and
// the own time-out that needs a cue still able to strike.
#include <gtest/gtest.h>

#include <algorithm>

#include "scenes/room/hud/EffectPanel.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "table/TableWorld.h"
#include "tests/scenes/support/RoomSceneFixture.h"

namespace {

using namespace room_test;
using scenes::hud::GameAni;

struct Turn {
    std::uint8_t kind = 0;  // 2: the shooter stays
    std::uint8_t next = 0;
    std::int16_t code = 0;
    std::uint16_t highRun = 0;
    std::uint8_t freeBall = 0;
};

class RoomEffectsTest : public RoomSceneTest {
protected:
    void TurnResult(const Turn& t) {
        Deliver(2056, [&](net::Packet& p) {
            p.WriteU16(0).WriteU16(0).WriteU8(t.kind).WriteU8(t.next).WriteU8(0).WriteU32(5);
            p.WriteU16(0).WriteU16(static_cast<std::uint16_t>(t.code)).WriteU8(0).WriteU16(0);
            p.WriteU16(t.highRun).WriteU16(0).WriteU16(0).WriteU16(0).WriteU8(0).WriteU32(0).WriteU8(
                t.freeBall);
            p.WriteU8(0xFF);
        });
    }
    std::optional<GameAni> Playing() { return scene.Effects()->Current(clock.NowMs()); }
    long Count(int sound) const {
        const auto sounds = scene.PlayedSounds();
        return std::count(sounds.begin(), sounds.end(), sound);
    }
};

TEST_F(RoomEffectsTest, ATimeOutResultPlaysItsAnimationAndTheRulesKeepItAsTheShotsResult) {
    EnterRoom(0, 0);
    StartGame(1);
    ASSERT_NE(scene.Effects(), nullptr);
    EXPECT_EQ(Playing(), std::nullopt);
    TurnResult({0, 1, -3, 0, 0});
    EXPECT_EQ(Playing(), GameAni::TimeOut);
    EXPECT_EQ(scene.World()->Rules().RawShotResultCode(), -3);
    EXPECT_EQ(scene.World()->timeOutCount, 1);
    clock.AdvanceMs(scenes::hud::EffectPanel::kShowMs);
    EXPECT_EQ(Playing(), std::nullopt) << "an animation goes after its time";
}

TEST_F(RoomEffectsTest, AShooterWhoStaysWithAHighRunEarnsTheResultSoundUnlessAnEightBallShotHeldIt) {
    EnterRoom(0, 0);
    StartGame(1);
    TurnResult({2, 1, 1, 2, 0});
    EXPECT_EQ(Count(20), 0) << "a run of two earns nothing";
    TurnResult({2, 1, 1, 3, 0});
    EXPECT_EQ(Count(20), 1);
    EXPECT_EQ(Playing(), GameAni::Result);
    TurnResult({0, 1, 1, 5, 0});
    EXPECT_EQ(Count(20), 1) << "nor does a turn that passes";

    Deliver(2088, [](net::Packet& p) { p.WriteU8(1).WriteU8(2).WriteU8(2).WriteU8(3); });
    TurnResult({2, 1, 1, 5, 0});
    EXPECT_EQ(Count(20), 1) << "the 8-ball shot's voice holds the result sound back";
    TurnResult({2, 1, 1, 5, 0});
    EXPECT_EQ(Count(20), 2) << "for that one turn result only";
}

TEST_F(RoomEffectsTest, TheTurnComingToTheOwnSeatAndAFreeBallPlayTheirAnimations) {
    host.session->GetRoom().gameType = 10;
    scene.Enter();
    ASSERT_TRUE(scene.World()->SetGameType(10));
    EnterRoom(0, 0);
    StartGame(1);
    TurnResult({0, 0, 0, 0, 0});
    EXPECT_EQ(Playing(), GameAni::YourTurn);
    EXPECT_EQ(Count(26), 1);
    clock.AdvanceMs(2000);
    TurnResult({0, 1, -1, 0, 1});
    EXPECT_EQ(Playing(), GameAni::FreeBall) << "every client sees the free ball";
}

TEST_F(RoomEffectsTest, TheOwnTimeOutPlaysItsAnimationOnlyWhileTheOwnCueCanStillStrike) {
    EnterRoom(0, 0);
    StartGame(0);
    scene.World()->SetTurnFlag(false);  // the cue is on its way: the turn cannot end for lack of time
    Run(45000);
    EXPECT_TRUE(SentWith(2062).empty());

    TurnResult({0, 0, 1, 0, 0});
    ASSERT_TRUE(scene.World()->TurnFlag());
    Run(41000);
    ASSERT_EQ(SentWith(2062).size(), 1u);
    EXPECT_EQ(Playing(), GameAni::TimeOut);
}

TEST_F(RoomEffectsTest, TheTimeWarningClosesAnOpenWithdrawQuestion) {
    EnterRoom(0, 0);
    StartGame(1);
    scene.WithdrawAsk()->Show(true);
    Run(29000);
    scene.Render(nullptr, false);
    EXPECT_TRUE(scene.WithdrawAsk()->IsVisible());
    Run(3000);
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.WithdrawAsk()->IsVisible());
}

}  // namespace
