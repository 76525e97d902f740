// The game room's effect panel and after-shot sounds: which turn results and timers play which
// animation, the result sound the rules pick and an 8-ball shot holds back, and the own time-out that
// needs a cue still able to strike.
#include <gtest/gtest.h>

#include <algorithm>

#include "scenes/room/hud/EffectPanel.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "table/TableWorld.h"
#include "tests/scenes/support/RoomSceneFixture.h"

namespace {

using namespace room_test;
using scenes::hud::GameAni;

class RoomEffectsTest : public RoomSceneTest {
protected:
    // A turn result: kind 2 keeps the shooter, with the shooter's code, the run and the free ball.
    void Turn(std::uint8_t kind, std::uint8_t next, std::int16_t code, std::uint16_t run = 0,
              std::uint8_t freeBall = 0) {
        Deliver(2056, [&](net::Packet& p) {
            p.WriteU16(0).WriteU16(0).WriteU8(kind).WriteU8(next).WriteU8(0).WriteU32(5).WriteU16(0);
            p.WriteU16(static_cast<std::uint16_t>(code)).WriteU8(0).WriteU16(0).WriteU16(run).WriteU16(0);
            p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU32(0).WriteU8(freeBall).WriteU8(0xFF);
        });
    }
    std::optional<GameAni> Playing() { return scene.Effects()->Current(clock.NowMs()); }
    long Played(int sound) const {
        const auto sounds = scene.PlayedSounds();
        return std::count(sounds.begin(), sounds.end(), sound);
    }
};

TEST_F(RoomEffectsTest, TurnResultsPlayTheTimeOutTheOwnTurnAndTheFreeBallAndTheRulesKeepTheTimeOut) {
    host.session->GetRoom().gameType = 10;
    scene.Enter();
    ASSERT_TRUE(scene.World()->SetGameType(10));
    EnterRoom(0, 0);
    StartGame(1);
    Turn(0, 1, -3);
    EXPECT_EQ(Playing(), GameAni::TimeOut);
    EXPECT_EQ(scene.World()->Rules().RawShotResultCode(), -3);
    EXPECT_EQ(scene.World()->timeOutCount, 1);
    Turn(0, 0, 0);
    EXPECT_EQ(Playing(), GameAni::YourTurn);
    clock.AdvanceMs(scenes::hud::EffectPanel::kShowMs);
    EXPECT_EQ(Playing(), std::nullopt) << "an animation goes after its time";
    Turn(0, 1, -1, 0, 1);
    EXPECT_EQ(Playing(), GameAni::FreeBall) << "every client sees the free ball";
}

TEST_F(RoomEffectsTest, AShooterWhoStaysWithARunOfThreeEarnsTheResultSoundUnlessAnEightBallShotHeldIt) {
    EnterRoom(0, 0);
    StartGame(1);
    Turn(2, 1, 1, 2);
    Turn(0, 1, 1, 5);
    EXPECT_EQ(Played(20), 0) << "a run of two, or a turn that passes, earns nothing";
    Turn(2, 1, 1, 3);
    EXPECT_EQ(Played(20), 1);
    EXPECT_EQ(Playing(), GameAni::Result);
    Deliver(2088, [](net::Packet& p) { p.WriteU8(1).WriteU8(2).WriteU8(2).WriteU8(3); });
    Turn(2, 1, 1, 5);
    EXPECT_EQ(Played(20), 1) << "the 8-ball shot's voice holds it back";
    Turn(2, 1, 1, 5);
    EXPECT_EQ(Played(20), 2) << "for that one turn result only";
}

TEST_F(RoomEffectsTest, TheOwnTimeOutNeedsACueThatCanStrikeAndTheWarningClosesTheWithdrawQuestion) {
    EnterRoom(0, 0);
    StartGame(0);
    scene.World()->SetTurnFlag(false);  // the cue is on its way
    scene.WithdrawAsk()->Show(true);
    Run(32000);
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.WithdrawAsk()->IsVisible()) << "the warning closed it";
    Run(13000);
    EXPECT_TRUE(SentWith(2062).empty());
    Turn(0, 0, 1);
    Run(41000);
    ASSERT_EQ(SentWith(2062).size(), 1u);
    EXPECT_EQ(Playing(), GameAni::TimeOut);
}

}  // namespace
