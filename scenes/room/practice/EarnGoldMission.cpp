#include "scenes/room/practice/EarnGoldMission.h"

namespace scenes::practice {

namespace {

constexpr int kReward = 2000;
constexpr MissionRow kRows[] = {
    {0, 10, kReward, 0}, {2, 6, kReward, 0},   {3, 4, kReward, 0},  {4, 3, kReward, 0},
    {5, 4, kReward, 0},  {10, 15, kReward, 0}, {12, 9, kReward, 0}, {13, 15, kReward, 0},
};

// The least result value with which a shot of the game type scores; 0 for no mission.
int ScoringResult(int gameType) {
    switch (gameType) {
        case 0:
            return 1;
        case 2:
            return 2;
        case 3:
        case 4:
        case 5:
            return 4;
        case 10:
        case 12:
        case 13:
            return 5;
        default:
            return 0;
    }
}

bool IsPocketGame(int gameType) {
    return gameType == 10 || gameType == 12 || gameType == 13;
}

}  // namespace

const MissionRow* MissionRowFor(int gameType) {
    for (const MissionRow& row : kRows)
        if (row.gameType == gameType) return &row;
    return nullptr;
}

MissionRefusal CheckMissionRequest(int gameType, std::int64_t gold, std::uint8_t dailyCounter) {
    if (gold > kMissionGoldLimit) return MissionRefusal::TooMuchGold;
    if (dailyCounter >= 1) return MissionRefusal::AlreadyToday;
    if (!MissionRowFor(gameType)) return MissionRefusal::NoMission;
    return MissionRefusal::None;
}

ShotJudgement JudgeMissionShot(int gameType, int resultCode, int pocketed) {
    const int least = ScoringResult(gameType);
    if (least == 0 || resultCode < least) return {};
    int points = 1;
    if (IsPocketGame(gameType))
        points = pocketed;
    else if (gameType == 2 && resultCode >= 4)
        points = 2;
    else if ((gameType == 3 || gameType == 5) && resultCode >= 1000)
        points = 2;
    return {true, points};
}

void EarnGoldMission::Start(const MissionRow& row) {
    row_ = row;
    active_ = true;
    shots_ = 0;
    innings_ = 1 * kScale;
    points_ = 0;
}

double EarnGoldMission::Average() const {
    return Innings() > 0 ? static_cast<double>(Points()) / Innings() : 0.0;
}

EarnGoldMission::Outcome EarnGoldMission::Judge(int resultCode, int pocketed) {
    ++shots_;
    const bool firstShotExempt = (row_.gameType == 3 || row_.gameType == 5) && shots_ == 1;
    const ShotJudgement judged = JudgeMissionShot(row_.gameType, resultCode, pocketed);
    if (judged.scores) {
        points_ += judged.points * kScale;
        if (Points() >= row_.target) {
            active_ = false;
            return Outcome::TargetReached;
        }
        return Outcome::Scored;
    }
    if (Innings() >= kMissionInnings) {
        active_ = false;
        return Outcome::InningsUsedUp;
    }
    if (!firstShotExempt) innings_ += kScale;
    return Outcome::Missed;
}

}  // namespace scenes::practice
