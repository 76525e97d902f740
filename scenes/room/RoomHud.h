#pragma once
// The heads-up display widgets the game room drives from its messages: the score board, the
// withdraw question, the invite list and the rank result window. The room calls them through this
// interface so it does not depend on how they are built; the default does nothing, and the
// application hands the room the real widgets with `SceneRoomGame::SetHud`.
//
// Threads: every call comes from the room's packet handlers on the network dispatch thread, which
// the shell runs under its widget lock like every call into a scene, so the widgets may be changed
// there.

#include <array>
#include <cstdint>
#include <vector>

namespace net {
class Packet;
class PlayerRecord;
}  // namespace net

namespace scenes {

// What a turn result changes on the score board.
struct RoomScoreUpdate {
    int shooterSeat = -1;          // the seat at the table after the turn
    int turnMarker = 0;            // index of the turn marker (it moves 32 pixels per step)
    bool shooterStays = false;     // the turn did not pass
    std::uint16_t firstScore = 0;  // the shooter's two score values
    std::uint16_t secondScore = 0;
    std::uint16_t shooterTeamResult = 0;  // result value of the team that shot
    std::uint16_t tableTeamResult = 0;    // result value of the team at the table now
};

// One member's row of a game's result, as the game end (2031) or the game results (2046) carry it.
struct RoomResultRow {
    int seat = -1;
    std::uint8_t teamSlot = 0;
    std::uint8_t teamResult = 0;  // 7 on the last team: the game became invalid
    std::uint32_t first = 0, second = 0;
    std::int64_t money = 0;  // the game results only: what the game changed the member's gold by
    std::uint8_t third = 0, fourth = 0;
};

class RoomHud {
public:
    virtual ~RoomHud() = default;

    // Game start: the score board's count (its extra panel shows above 0) and its four values; the
    // tournament board in tournament channels.
    virtual void SetUpScoreBoard(int /*count*/, const std::array<std::uint8_t, 4>& /*values*/,
                                 bool /*tournament*/) {}
    // A turn result while a game runs.
    virtual void UpdateScores(const RoomScoreUpdate& /*update*/) {}
    // The result window of a game that ended: mode 0 for an open room that is no gamble, else 9.
    virtual void ShowGameResult(int /*mode*/, const std::vector<RoomResultRow>& /*rows*/) {}
    // A player exceeded the total number of turns: the question whether to end the game.
    virtual void ShowWithdrawQuestion(const net::PlayerRecord& /*record*/, int /*turns*/) {}
    // The invite candidates: the packet is positioned behind the message id.
    virtual void FillInviteList(net::Packet& /*packet*/) {}
    // A gamble game has run an hour: the notice that it ends (its answer posts 1097).
    virtual void ShowOneHourNotice() {}
    // The rank result window's three values, as they came.
    virtual void ShowRankResult(std::uint16_t /*rank*/, std::uint16_t /*a*/, std::uint16_t /*b*/) {}
};

}  // namespace scenes
