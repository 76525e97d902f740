#pragma once
// The earn-gold mission's rules: the target and reward of each game type, the limits checked before
// a try, the judging of each shot and the 20-inning count. The practice room owns one mission and
// shows what it decides; nothing here touches widgets or the network.

#include <cstdint>

namespace scenes::practice {

constexpr int kMissionInnings = 20;
// Above this much gold the player may not try.
constexpr std::int64_t kMissionGoldLimit = 3000;
// From this much gold on the player is warned that no reward comes.
constexpr std::int64_t kMissionGoldWarning = 2000;

struct MissionRow {
    int gameType;
    int target;
    int reward;
    int requiredLevel;
};

// The mission of a game type (its only row), or null for a game type without one.
const MissionRow* MissionRowFor(int gameType);

enum class MissionRefusal { None, TooMuchGold, AlreadyToday, NoMission };
// The checks of the earn-gold button, in order; the lobby's request runs only the last one.
MissionRefusal CheckMissionRequest(int gameType, std::int64_t gold, std::uint8_t dailyCounter);

// What one shot is worth: `resultCode` is the world's shot result value, `pocketed` the number of
// balls in the rules' first per-shot list (the pocket games count them).
struct ShotJudgement {
    bool scores = false;
    int points = 0;
};
ShotJudgement JudgeMissionShot(int gameType, int resultCode, int pocketed);

// The running mission's counters. Innings and points are held scaled, so that a memory editor that
// looks for the shown values does not find them.
class EarnGoldMission {
public:
    enum class Outcome { Scored, Missed, TargetReached, InningsUsedUp };

    void Start(const MissionRow& row);
    void Stop() { active_ = false; }
    bool Active() const { return active_; }
    int Innings() const { return innings_ / kScale; }
    int Points() const { return points_ / kScale; }
    int Shots() const { return shots_; }
    const MissionRow& Row() const { return row_; }
    // Innings played so far divided into the points; 0 with none.
    double Average() const;
    // Judges one shot at rest and counts it; the mission ends itself on the last two outcomes. A
    // missed first shot of the three-cushion gamble types (3 and 5) does not use up an inning.
    Outcome Judge(int resultCode, int pocketed);

private:
    static constexpr int kScale = 7;
    bool active_ = false;
    int innings_ = 0;
    int points_ = 0;
    int shots_ = 0;
    MissionRow row_{};
};

}  // namespace scenes::practice
