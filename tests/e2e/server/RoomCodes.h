#pragma once
// The room messages of the test server's room flow (RoomFlow.cpp) and the game's end (GameEnd.cpp),
// the values of the game's end and the game types the server tells apart.

#include <cstddef>
#include <cstdint>
#include <string>

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

// 240's kind behind its text: a refusal (the client's red, also without the byte), a change done (green)
// or a hint (yellow).
constexpr std::uint8_t kNoticeError = 0, kNoticeDone = 1, kNoticeHint = 2;
// 2037 (game end request) asking to end the game as invalid.
constexpr std::uint8_t kInvalidGame = 8;
// 2031: end kind 2, the named player withdrew; 0, his connection closed.
constexpr std::uint8_t kEndWithdrawn = 2, kEndDisconnected = 0;
// Withdrawal points charged to a player who withdraws (shown in the game end line as "WP").
constexpr std::int16_t kWithdrawalPoints = -10;
// A team's result in 2031 and 2046.
constexpr std::uint8_t kTeamWon = 1, kTeamLost = 2, kTeamInvalid = 7;

// Game types: the pocket games from 10 on.
constexpr int kFirstPocketType = 10, kEightBallGame = 10, kNineBallGame = 12, kStraightPoolGame = 13,
              kSnookerGame = 16;
constexpr int kThreeCushionGame = 4, kLastGameType = 16;

// A room's settings as the client's room dialogs allow them: a title of at most 24 characters, a
// password of at most 8, 2 to 8 players, a game type the client knows and a point rule of the game's
// (the three-cushion game's four targets). What passes keeps every message that carries the room
// within a frame.
constexpr std::size_t kMaxTitle = 24, kMaxPassword = 8;
constexpr int kMaxPointRule = 3;

// The point rules the server plays: the three-cushion game's four targets, and only the first rule of
// the other games (the room would show the others' extra points, which the server does not score).
constexpr int MaxPointRule(int gameType) {
    return gameType == kThreeCushionGame ? kMaxPointRule : 0;
}

// Why a new room (161) or the room's new settings (2003) are refused; null when they are not.
inline const char* RoomSettingsProblem(int gameType, int maxPlayers, const std::u16string& title,
                                       const std::u16string& password) {
    if (gameType > kLastGameType) return "a game type above 16";
    if (maxPlayers < 2 || maxPlayers > 8) return "not 2 to 8 players";
    if (title.size() > kMaxTitle) return "a title longer than 24 characters";
    if (password.size() > kMaxPassword) return "a password longer than 8 characters";
    return nullptr;
}

// The points a carom game is played to: the three-cushion game's target as the room shows it
// ("3Cushion 10pts" to "25pts" for point rules 0 to 3); the other carom games go to the handicap.
constexpr int CaromTarget(int gameType, int pointRule, int handicap) {
    return gameType == kThreeCushionGame ? 10 + 5 * (pointRule <= kMaxPointRule ? pointRule : 0) : handicap;
}

}  // namespace testserver::room
