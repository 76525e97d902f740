#include "app/lib/ShotRecordHex.h"

#include <cstring>

#include "app/lib/GameUtil.h"

namespace {
std::string F32ToHex(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return U32ToHex(bits);
}
}  // namespace

std::string ShotRecordToHex(const ShotRecord& r) {
    const int n = static_cast<std::int8_t>(r.ballCount);
    if (n < 0 || n > ShotRecord::kMaxBalls) return {};
    const int balls = n;

    std::string text;
    text.reserve(ShotRecordHexLength(balls, r.HasBallBytes()));
    text += U32ToHex(r.clientBuild);
    text += U32ToHex(r.physicsModelId);
    text += U8ToHex(r.gameType);
    text += U16ToHex(r.tableItem);
    text += U16ToHex(r.cueItem);
    for (auto item : r.cuePartItems) text += U16ToHex(item);
    for (auto level : r.cuePartLevels) text += U8ToHex(level);
    text += U16ToHex(r.ballSetItem);
    text += U16ToHex(r.wordAfterBallSet);
    text += U8ToHex(r.byteBeforeBallCount);
    text += U8ToHex(r.ballCount);
    text += U8ToHex(r.byteAfterBallCount);
    for (int i = 0; i < balls; ++i)
        for (float c : r.positions[i]) text += F32ToHex(c);
    for (int i = 0; i < balls; ++i)
        for (float c : r.orientations[i]) text += F32ToHex(c);
    if (r.HasBallBytes())
        for (int i = 0; i < balls; ++i) text += U8ToHex(r.ballBytes[i]);
    for (int i = 0; i < 11; ++i) text += F32ToHex(r.shotParams[i]);
    text += F32ToHex(r.shotParams[14]);
    text += F32ToHex(r.shotParams[12]);
    text += F32ToHex(r.shotParams[13]);
    return text;
}
