#include <gtest/gtest.h>

#include "net/GameRoom.h"

using namespace net;

namespace {
struct Room {
    GameRoom room;
    PlayerRecord players[kMaxSeats];
    Room(int seated) {
        room.SetOptions(4, 1);
        for (int s = 0; s < seated; ++s) {
            players[s].playerId = 100 + s;
            room.AddPlayer(s, &players[s]);
        }
    }
};
}  // namespace

TEST(GameRoom, OneOnOneTurnsAlternate) {
    Room r(2);
    ASSERT_TRUE(r.room.SetTeamSlot(0, 1));
    ASSERT_TRUE(r.room.SetTeamSlot(1, 2));
    r.players[1].game.ready = 1;
    EXPECT_TRUE(r.room.LineUpValid());
    EXPECT_TRUE(r.room.CanStart());
    r.room.BeginGame(0);
    EXPECT_EQ(r.room.currentSeat, 0);
    EXPECT_EQ(r.room.NextTurn(nullptr), 1);
    EXPECT_EQ(r.room.NextTurn(r.room.CurrentShooter()), 0);
    EXPECT_EQ(r.room.NextTurn(&r.players[0]), 1);
}

TEST(GameRoom, TeamsOfTwoRotateMembersInsideEachTeam) {
    Room r(4);
    r.room.SetOptions(4, 2);
    r.room.SetTeamSlot(0, 1);
    r.room.SetTeamSlot(2, 1);
    r.room.SetTeamSlot(1, 2);
    r.room.SetTeamSlot(3, 2);
    EXPECT_FALSE(r.room.SetTeamSlot(3, 1)) << "team 1 is full";
    r.room.BeginGame(0);
    std::vector<int> order = {r.room.currentSeat};
    for (int i = 0; i < 4; ++i) order.push_back(r.room.NextTurn(nullptr));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 0}));
}

TEST(GameRoom, TurnOrderSeedPicksTheFirstTeam) {
    Room r(2);
    r.room.SetTeamSlot(0, 1);
    r.room.SetTeamSlot(1, 2);
    r.room.BeginGame(1);
    EXPECT_EQ(r.room.currentSeat, 1);
}

TEST(GameRoom, CompactingRenumbersTeamsAndPlayingBytes) {
    Room r(3);
    r.room.SetTeamSlot(0, 3);
    r.room.SetTeamSlot(2, 6);
    r.room.CompactTeams();
    EXPECT_EQ(r.room.teamCount, 2);
    EXPECT_EQ(r.players[0].game.playing, 1);
    EXPECT_EQ(r.players[2].game.playing, 2);
    EXPECT_EQ(r.room.teams[2].memberCount, 0);
}

TEST(GameRoom, LineUpNeedsTwoEqualTeamsAndReadyPlayers) {
    Room r(3);
    r.room.SetOptions(4, 2);
    r.room.SetTeamSlot(0, 1);
    EXPECT_FALSE(r.room.LineUpValid()) << "one team";
    r.room.SetTeamSlot(1, 2);
    r.room.SetTeamSlot(2, 2);
    EXPECT_FALSE(r.room.LineUpValid()) << "1 against 2";
    r.room.SetTeamSlot(2, 0);
    EXPECT_TRUE(r.room.LineUpValid());
    EXPECT_FALSE(r.room.AllReady());
    r.players[1].game.ready = 1;
    EXPECT_TRUE(r.room.AllReady()) << "the master needs no ready";
    r.room.UpdateReadyCounts();
    EXPECT_EQ(r.room.playingCount, 2);
    EXPECT_EQ(r.room.readyCount, 1);
}

TEST(GameRoom, IndicesFromTheNetworkAreChecked) {
    Room r(2);
    EXPECT_FALSE(r.room.AddPlayer(8, &r.players[7]));
    EXPECT_FALSE(r.room.AddPlayer(-1, &r.players[7]));
    EXPECT_FALSE(r.room.SetTeamSlot(9, 1));
    EXPECT_FALSE(r.room.SetTeamSlot(0, 8));
    EXPECT_FALSE(r.room.SetTeamMember(0, 0, 0));
    EXPECT_FALSE(r.room.SetTeamMember(1, 8, 0));
    EXPECT_FALSE(r.room.SetTeamMember(1, 0, 5)) << "nobody sits at seat 5";
    EXPECT_FALSE(r.room.SetTurnToPlayer(0)) << "seat 0 plays in no team";
    EXPECT_EQ(r.room.SeatRecord(200), nullptr);
}

TEST(GameRoom, EmptyRoomHasNoShooter) {
    Room r(2);
    r.room.BeginGame(3);
    EXPECT_FALSE(r.room.running);
    EXPECT_EQ(r.room.NextTurn(nullptr), -1);
    EXPECT_EQ(r.room.CurrentShooter(), nullptr);
}

TEST(GameRoom, ShooterLeavingPassesTheTurn) {
    Room r(3);
    r.room.SetTeamSlot(0, 1);
    r.room.SetTeamSlot(1, 2);
    r.room.SetTeamSlot(2, 3);
    r.room.BeginGame(0);
    ASSERT_TRUE(r.room.SetTurnToPlayer(1));
    ASSERT_TRUE(r.room.RemovePlayer(1));
    EXPECT_EQ(r.room.currentSeat, 2);
    EXPECT_EQ(r.room.TeamIndexOfSeat(1), -1);
    EXPECT_EQ(r.room.playerCount, 2);
}

TEST(GameRoom, ServerLineUpOverridesLocalChoice) {
    Room r(2);
    r.room.SetTeamSlot(0, 1);
    r.room.SetTeamSlot(1, 2);
    ASSERT_TRUE(r.room.SetTeamMember(1, 0, 1));
    EXPECT_EQ(r.players[1].game.playing, 1);
    EXPECT_EQ(r.players[0].game.playing, 0) << "the replaced member watches";
    EXPECT_EQ(r.room.teams[1].memberCount, 0);
}

TEST(GameRoom, HandicapGoalIsTheTeamAverage) {
    Room r(4);
    r.room.SetOptions(4, 2);
    r.players[0].handicap[4] = 20;
    r.players[2].handicap[4] = 30;
    r.room.SetTeamSlot(0, 1);
    r.room.SetTeamSlot(2, 1);
    r.room.ComputeTeamHandicaps();
    EXPECT_EQ(r.room.teams[0].goal, 25);
}

TEST(GameRoom, EightBallTeamsStartOnAnOpenTableWithNoGroup) {
    Room r(2);
    r.room.SetOptions(10, 1);
    r.room.SetTeamSlot(0, 1);
    r.room.SetTeamSlot(1, 2);
    r.room.BeginGame(0);
    // 2 would read as the solids on the player list and in the group notice.
    EXPECT_EQ(r.room.teams[0].GetStatus(), 0);
    EXPECT_EQ(r.room.teams[1].GetStatus(), 0);
    EXPECT_EQ(r.room.ruleKind, 1);
}
