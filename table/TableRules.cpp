#include "table/TableRules.h"

namespace table {

TableRules::TableRules() = default;
TableRules::~TableRules() = default;

bool TableRules::SetGameType(int gameType) {
    if (!IsValidGameType(gameType)) return false;
    gameType_ = gameType;
    return true;
}
bool TableRules::SetTableKind(std::uint32_t tableKind) {
    if (tableKind > 11) return false;
    tableKind_ = tableKind;
    return true;
}
void TableRules::SetBallKind(BallKind kind) {
    ballKind_ = kind;
}
bool TableRules::CreateModel(std::uint32_t, bool) {
    return false;
}
std::uint16_t TableRules::BallCount() const {
    return model_ ? model_->BallCount() : 0;
}
void TableRules::SeedRandom(std::uint32_t seed) {
    random_.Seed(seed);
}
void TableRules::RackBalls() {}
bool TableRules::Rerack(std::uint32_t, bool, int) {
    return false;
}
void TableRules::SnapshotBalls() {}
bool TableRules::RestoreSnapshot() {
    return false;
}
bool TableRules::Strike(const StrikeArgs&, std::uint16_t) {
    return false;
}
bool TableRules::FrameStep() {
    return false;
}
void TableRules::StopShot() {}
void TableRules::SetSpeedFactor(float factor) {
    speedFactor_ = factor;
}
int TableRules::FrameStepsDue() {
    return 1;
}
int TableRules::GetShotResultCode() const {
    return verdict_.code;
}
void TableRules::SetShotResultCode(int code, bool) {
    verdict_.code = code;
}
std::uint8_t TableRules::FirstBallListCount() const {
    return static_cast<std::uint8_t>(verdict_.pocketed.size());
}
int TableRules::PickResultSound(int, int, int) const {
    return 0;
}
std::vector<SoundRequest> TableRules::TakeSoundRequests() {
    return std::move(sounds_);
}
void TableRules::SetUpBalls() {}
void TableRules::EndShot() {}

}  // namespace table
