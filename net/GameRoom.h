#pragma once
// Teams and turns of the game in the current room: a small deterministic model that the scenes keep up
// to date and that the server's team and turn messages override (docs/decisions/net.md).
//
// Team slots are numbered 1..7 (a seat's playing byte; 0 watches) and stored at index slot - 1. Members of
// a team are kept in seat order. The turn passes from team to team in turn order and, inside a team, from
// member to member in seat order.

#include <array>
#include <cstdint>

#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "platform/sys/CriticalSection.h"

namespace net {

constexpr int kMaxTeams = 7;

// A team's status byte. In 8-ball it is the team's group: none while the table is open, then the
// solids or the stripes, and the 8 ball once the group is cleared.
enum class TeamStatus : std::uint8_t { None = 0, Open = 0, Solids = 2, Stripes = 3, EightBall = 4 };

struct RoomTeam {
    std::uint8_t teamNumber = 0;  // slot, 1..7
    std::uint8_t memberCount = 0;
    std::array<std::uint8_t, kMaxSeats> memberSeats{};
    std::array<PlayerRecord*, kMaxSeats> members{};
    std::int32_t result = 0;
    std::uint16_t goal = 0;
    std::uint32_t score = 0;
    std::array<std::uint16_t, 2> finishingShots{};
    std::uint8_t hiddenNumber = 0;
    int lastShooter = -1;  // member index that shot last

    std::uint8_t GetStatus() const { return status_; }
    void SetStatus(std::uint8_t status) { status_ = status; }
    void Clear(std::uint8_t number);

private:
    std::uint8_t status_ = 0;
};

class GameRoom {
public:
    GameRoom() { ResetTeams(); }

    // Guards the model when the dispatch thread writes and the update thread reads.
    platform::CriticalSection lock;

    std::uint8_t gameType = 0;
    std::uint8_t teamCount = 0;       // non-empty teams, after CountTeams
    std::uint8_t membersPerTeam = 1;  // 1..4
    std::uint8_t ruleStage = 0;
    std::uint8_t mode = 0;
    std::uint8_t ruleKind = 0;  // 0 carom, 1 pocket
    std::uint8_t playerCount = 0;
    std::uint8_t readyCount = 0;
    std::uint8_t playingCount = 0;
    std::uint8_t masterSeat = 0;
    bool running = false;
    int currentTeam = -1;  // index into teams
    int currentSeat = -1;  // seat of the current shooter; -1 none
    std::array<RoomTeam, kMaxTeams> teams{};

    static bool HasRules(int gameType);

    void ResetTeams();
    // Game type, members per team (clamped to 1..4) and rule kind.
    void SetOptions(std::uint8_t type, std::uint8_t perTeam);
    // Seats a player (seat 0..7) as a watcher. False for a bad seat or a null record.
    bool AddPlayer(int seat, PlayerRecord* record);
    // Unseats a player and takes him out of his team; the turn moves on when he was shooting.
    bool RemovePlayer(int seat);
    PlayerRecord* SeatRecord(int seat) const;
    // Moves a seated player into team slot 1..7, or 0 to watch. False when out of range or the team is full.
    bool SetTeamSlot(int seat, int slot);
    // The server's line-up: puts the seat at member index of team slot, replacing what was there.
    bool SetTeamMember(int slot, int index, int seat);
    int CountTeams();
    // Moves non-empty teams to the front, renumbering them 1..n and the members' playing bytes.
    void CompactTeams();
    void ReseatTeamMembers();
    void UpdateReadyCounts();
    // Every playing seat except the master's is ready.
    bool AllReady() const;
    // At least two teams, each with the same number of members, none over the limit.
    bool LineUpValid() const;
    bool CanStart() const { return !running && LineUpValid() && AllReady(); }
    // Each team's goal: the average handicap of its members for the game type.
    void ComputeTeamHandicaps();
    // 8-ball teams start with an open table; other games carry no group status.
    void ApplyTeamRuleFlags();
    // Turn order from a seed: the teams rotate by seed modulo the team count.
    void RollTurnOrder(std::uint32_t seed);
    // Compacts, orders the turn, clears the scores and gives the turn to the first team's first member.
    void BeginGame(std::uint32_t seed);
    // The turn goes to that seat when it plays; false otherwise.
    bool SetTurnToPlayer(int seat);
    // After the shot of `shooter` (or the current shooter when null): the next team's next member.
    // Returns the new shooter's seat or -1 when nobody plays.
    int NextTurn(const PlayerRecord* shooter);
    PlayerRecord* CurrentShooter() const { return SeatRecord(currentSeat); }
    int TeamIndexOfSeat(int seat) const;

private:
    int NextNonEmptyTeam(int from) const;
    std::array<PlayerRecord*, kMaxSeats> seats_{};
    std::array<std::uint8_t, kMaxTeams> turnOrder_{};
};

// The process-wide room model (built on first use, destroyed at exit).
GameRoom& GetGameRoom();

}  // namespace net
