#pragma once
// The room messages of the test server's room flow (RoomFlow.cpp) and the game's end (GameEnd.cpp),
// the values of the game's end and the game types the server tells apart.

#include <cstdint>

namespace testserver::room {

enum : std::uint16_t {
    kRoomState = 2001,
    kChatSend = 2005,
    kChatLine = 2006,
    kEnterDone = 2007,
    kMemberList = 2011,
    kPlayChoice = 2012,
    kPlaying = 2013,
    kReady = 2026,
    kReadyChanged = 2027,
    kStart = 2028,
    kGameStart = 2029,
    kTableStateRequest = 2049,
    kTableState = 2050,
    kNewTurn = 2051,
    kShot = 2052,
    kShotResult = 2053,
    kTurnResult = 2056,
    kAim = 2058,
    kCalledPocket = 2061,
    kTurnTimeOver = 2062,
    kBallPlacement = 2063,
    kPlacedBall = 2064,
    kBanCancel = 246,
    kNotice = 240,
    kReport = 258,
    kReportTarget = 244,
    kCueChosen = 544,
    kCueChanged = 545,
    kCueWear = 546,
    kGameRequest = 2032,
    kOpponentRequest = 2033,
    kRequestAnswer = 2034,
    kRequestAnswered = 2035,
    kRoomOptions = 2003,
    kRoomOptionsChanged = 2004,
    kInviteListRequest = 2042,
    kInviteList = 2043,
    kInvite = 2044,
    kInvitation = 186,
    kGroupsDecided = 2087,
    kEightBallShot = 2088,
    kPlayerEntered = 2014,
    kGameEndRequest = 2037,
    kWithdrawnLost = 2038,
    kGameEnd = 2031,
    kGameResults = 2046,
};

// 2037 (game end request) asking to end the game as invalid.
constexpr std::uint8_t kInvalidGame = 8;
// 2031: end kind 2, the named player withdrew; 0, his connection closed.
constexpr std::uint8_t kEndWithdrawn = 2, kEndDisconnected = 0;
// Withdrawal points charged to a player who withdraws (shown in the game end line as "WP").
constexpr std::int16_t kWithdrawalPoints = -10;
// A team's result in 2031 and 2046.
constexpr std::uint8_t kTeamWon = 1, kTeamLost = 2, kTeamInvalid = 7;

// Game types: the pocket games from 10 on.
constexpr int kFirstPocketType = 10, kEightBallGame = 10, kNineBallGame = 12, kSnookerGame = 16;

}  // namespace testserver::room
