#include "net/GameRoom.h"

#include <algorithm>

#include "net/GameTypes.h"

namespace net {

void RoomTeam::Clear(std::uint8_t number) {
    *this = RoomTeam{};
    teamNumber = number;
}

bool GameRoom::HasRules(int type) {
    return GameTypeHasRules(type);
}

void GameRoom::ResetTeams() {
    for (int i = 0; i < kMaxTeams; ++i) {
        teams[i].Clear(static_cast<std::uint8_t>(i + 1));
        turnOrder_[i] = static_cast<std::uint8_t>(i);
    }
    teamCount = 0;
    currentTeam = -1;
    currentSeat = -1;
    running = false;
    for (PlayerRecord* r : seats_)
        if (r) r->game.playing = 0;
}

void GameRoom::SetOptions(std::uint8_t type, std::uint8_t perTeam) {
    gameType = type;
    membersPerTeam = static_cast<std::uint8_t>(std::clamp<int>(perTeam, 1, 4));
    ruleKind = IsPocketGame(type) ? 1 : 0;
}

bool GameRoom::AddPlayer(int seat, PlayerRecord* record) {
    if (seat < 0 || seat >= kMaxSeats || !record) return false;
    if (seats_[seat] && seats_[seat] != record) RemovePlayer(seat);
    if (!seats_[seat]) ++playerCount;
    seats_[seat] = record;
    record->game.present = 1;
    record->game.playing = 0;
    record->game.gameSlot = static_cast<std::uint8_t>(seat);
    return true;
}

PlayerRecord* GameRoom::SeatRecord(int seat) const {
    return seat >= 0 && seat < kMaxSeats ? seats_[seat] : nullptr;
}

int GameRoom::TeamIndexOfSeat(int seat) const {
    for (int t = 0; t < kMaxTeams; ++t)
        for (int m = 0; m < teams[t].memberCount; ++m)
            if (teams[t].memberSeats[m] == seat) return t;
    return -1;
}

namespace {
void EraseMember(RoomTeam& team, int index) {
    for (int m = index; m + 1 < team.memberCount; ++m) {
        team.memberSeats[m] = team.memberSeats[m + 1];
        team.members[m] = team.members[m + 1];
    }
    --team.memberCount;
    team.members[team.memberCount] = nullptr;
    team.memberSeats[team.memberCount] = 0;
    if (team.lastShooter >= team.memberCount) team.lastShooter = team.memberCount - 1;
}

void TakeOutOfTeams(std::array<RoomTeam, kMaxTeams>& teams, int seat) {
    for (RoomTeam& team : teams)
        for (int m = 0; m < team.memberCount; ++m)
            if (team.memberSeats[m] == seat) {
                EraseMember(team, m);
                break;
            }
}
}  // namespace

bool GameRoom::RemovePlayer(int seat) {
    PlayerRecord* r = SeatRecord(seat);
    if (!r) return false;
    const bool wasShooting = seat == currentSeat;
    if (wasShooting) NextTurn(r);
    TakeOutOfTeams(teams, seat);
    r->game.present = 0;
    r->game.playing = 0;
    seats_[seat] = nullptr;
    --playerCount;
    if (currentSeat == seat) {
        currentSeat = -1;
        currentTeam = -1;
    }
    return true;
}

bool GameRoom::SetTeamSlot(int seat, int slot) {
    PlayerRecord* r = SeatRecord(seat);
    if (!r || slot < 0 || slot > kMaxTeams) return false;
    if (slot > 0) {
        RoomTeam& team = teams[slot - 1];
        if (TeamIndexOfSeat(seat) == slot - 1) return true;
        if (team.memberCount >= membersPerTeam) return false;
    }
    TakeOutOfTeams(teams, seat);
    r->game.playing = static_cast<std::uint8_t>(slot);
    if (slot == 0) return true;
    RoomTeam& team = teams[slot - 1];
    team.memberSeats[team.memberCount] = static_cast<std::uint8_t>(seat);
    team.members[team.memberCount] = r;
    ++team.memberCount;
    ReseatTeamMembers();
    return true;
}

bool GameRoom::SetTeamMember(int slot, int index, int seat) {
    PlayerRecord* r = SeatRecord(seat);
    if (!r || slot < 1 || slot > kMaxTeams || index < 0 || index >= kMaxSeats) return false;
    TakeOutOfTeams(teams, seat);
    RoomTeam& team = teams[slot - 1];
    if (index < team.memberCount) {
        if (PlayerRecord* old = team.members[index]) old->game.playing = 0;
    } else {
        index = team.memberCount++;
    }
    team.memberSeats[index] = static_cast<std::uint8_t>(seat);
    team.members[index] = r;
    r->game.playing = static_cast<std::uint8_t>(slot);
    return true;
}

int GameRoom::CountTeams() {
    int n = 0;
    for (const RoomTeam& t : teams) n += t.memberCount > 0;
    teamCount = static_cast<std::uint8_t>(n);
    return n;
}

void GameRoom::CompactTeams() {
    int to = 0;
    for (int from = 0; from < kMaxTeams; ++from) {
        if (teams[from].memberCount == 0) continue;
        if (from != to) {
            teams[to] = teams[from];
            teams[from].Clear(static_cast<std::uint8_t>(from + 1));
        }
        teams[to].teamNumber = static_cast<std::uint8_t>(to + 1);
        for (int m = 0; m < teams[to].memberCount; ++m)
            if (teams[to].members[m]) teams[to].members[m]->game.playing = static_cast<std::uint8_t>(to + 1);
        ++to;
    }
    for (int i = to; i < kMaxTeams; ++i) teams[i].Clear(static_cast<std::uint8_t>(i + 1));
    teamCount = static_cast<std::uint8_t>(to);
}

void GameRoom::ReseatTeamMembers() {
    for (RoomTeam& team : teams) {
        for (int i = 1; i < team.memberCount; ++i)
            for (int j = i; j > 0 && team.memberSeats[j - 1] > team.memberSeats[j]; --j) {
                std::swap(team.memberSeats[j - 1], team.memberSeats[j]);
                std::swap(team.members[j - 1], team.members[j]);
            }
    }
}

void GameRoom::UpdateReadyCounts() {
    int ready = 0, playing = 0;
    for (int s = 0; s < kMaxSeats; ++s) {
        const PlayerRecord* r = seats_[s];
        if (!r || r->game.playing == 0) continue;
        ++playing;
        ready += r->game.ready != 0;
    }
    readyCount = static_cast<std::uint8_t>(ready);
    playingCount = static_cast<std::uint8_t>(playing);
}

bool GameRoom::AllReady() const {
    for (int s = 0; s < kMaxSeats; ++s) {
        const PlayerRecord* r = seats_[s];
        if (r && r->game.playing != 0 && s != masterSeat && r->game.ready == 0) return false;
    }
    return true;
}

bool GameRoom::LineUpValid() const {
    int nonEmpty = 0, size = -1;
    for (const RoomTeam& t : teams) {
        if (t.memberCount == 0) continue;
        if (t.memberCount > membersPerTeam) return false;
        if (size >= 0 && t.memberCount != size) return false;
        size = t.memberCount;
        ++nonEmpty;
    }
    return nonEmpty >= 2;
}

void GameRoom::ComputeTeamHandicaps() {
    if (!IsValidGameType(gameType)) return;
    for (RoomTeam& t : teams) {
        std::uint32_t sum = 0;
        for (int m = 0; m < t.memberCount; ++m)
            if (t.members[m]) sum += t.members[m]->handicap[gameType];
        t.goal = t.memberCount ? static_cast<std::uint16_t>(sum / t.memberCount) : 0;
    }
}

void GameRoom::ApplyTeamRuleFlags() {
    const auto status =
        gameType == static_cast<std::uint8_t>(GameType::EightBall) ? TeamStatus::Open : TeamStatus::None;
    for (RoomTeam& t : teams) t.SetStatus(static_cast<std::uint8_t>(status));
}

void GameRoom::RollTurnOrder(std::uint32_t seed) {
    const int n = std::max(CountTeams(), 1);
    for (int i = 0; i < kMaxTeams; ++i)
        turnOrder_[i] = static_cast<std::uint8_t>(i < n ? (i + seed % n) % n : i);
}

int GameRoom::NextNonEmptyTeam(int from) const {
    // Position of `from` in the turn order, then the next non-empty team after it.
    int pos = 0;
    for (int i = 0; i < kMaxTeams; ++i)
        if (turnOrder_[i] == from) pos = i;
    for (int step = 1; step <= kMaxTeams; ++step) {
        const int t = turnOrder_[(pos + step) % kMaxTeams];
        if (teams[t].memberCount > 0) return t;
    }
    return -1;
}

void GameRoom::BeginGame(std::uint32_t seed) {
    CompactTeams();
    ReseatTeamMembers();
    RollTurnOrder(seed);
    for (RoomTeam& t : teams) {
        t.score = 0;
        t.result = 0;
        t.finishingShots = {};
        t.lastShooter = -1;
        for (int m = 0; m < t.memberCount; ++m)
            if (t.members[m]) t.members[m]->game.ClearCounters();
    }
    ApplyTeamRuleFlags();
    ComputeTeamHandicaps();
    running = teamCount > 0;
    currentTeam = -1;
    currentSeat = -1;
    if (teamCount > 0) {
        const int first = turnOrder_[0];
        currentTeam = first;
        teams[first].lastShooter = 0;
        currentSeat = teams[first].memberSeats[0];
    }
}

bool GameRoom::SetTurnToPlayer(int seat) {
    const int t = TeamIndexOfSeat(seat);
    if (t < 0) return false;
    for (int m = 0; m < teams[t].memberCount; ++m)
        if (teams[t].memberSeats[m] == seat) teams[t].lastShooter = m;
    currentTeam = t;
    currentSeat = seat;
    return true;
}

int GameRoom::NextTurn(const PlayerRecord* shooter) {
    int from = currentTeam;
    if (shooter)
        for (int s = 0; s < kMaxSeats; ++s)
            if (seats_[s] == shooter && TeamIndexOfSeat(s) >= 0) from = TeamIndexOfSeat(s);
    if (from < 0) from = kMaxTeams - 1;
    const int next = NextNonEmptyTeam(from);
    if (next < 0) {
        currentTeam = -1;
        currentSeat = -1;
        return -1;
    }
    RoomTeam& team = teams[next];
    team.lastShooter = (team.lastShooter + 1) % team.memberCount;
    currentTeam = next;
    currentSeat = team.memberSeats[team.lastShooter];
    return currentSeat;
}

GameRoom& GetGameRoom() {
    static GameRoom room;
    return room;
}

}  // namespace net
