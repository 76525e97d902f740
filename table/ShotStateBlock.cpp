#include "table/ShotStateBlock.h"

#include <algorithm>
#include <cmath>

#include "engine/resource/ByteCodec.h"

namespace table {

ShotStateBlock PackShotState(const ShotState& s) {
    ByteWriter out;
    out.U8(s.present ? 1 : 0);
    out.U8(s.gameType);
    out.U8(s.currentBall);
    out.U8(s.shooterSeat);
    out.U16(s.tableItem);
    out.U16(s.ballSetItem);
    out.U16(s.cueItem);
    for (auto part : s.cueParts) out.U16(part);
    for (auto level : s.partLevels) out.U8(level);
    out.U8(s.chalkUsed);
    out.U8(s.ballCount);
    out.U8(0);
    out.U32(s.physicsModelId);
    out.U32(s.shotSeed);
    for (float w : s.words.ToArray()) out.F32(w);
    for (const auto& p : s.positions)
        for (float c : p) out.F32(c);
    for (const auto& q : s.orientations)
        for (float c : q) out.F32(c);
    for (auto b : s.outOfPlay) out.U8(b);

    ShotStateBlock block{};
    const auto& bytes = out.Data();
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return block;
}

bool UnpackShotState(const ShotStateBlock& block, ShotState& state) {
    ByteReader in(block);
    ShotState s;
    s.present = in.U8() != 0;
    s.gameType = in.U8();
    s.currentBall = in.U8();
    s.shooterSeat = in.U8();
    s.tableItem = in.U16();
    s.ballSetItem = in.U16();
    s.cueItem = in.U16();
    for (auto& part : s.cueParts) part = in.U16();
    for (auto& level : s.partLevels) level = in.U8();
    s.chalkUsed = in.U8();
    s.ballCount = in.U8();
    in.U8();
    s.physicsModelId = in.U32();
    s.shotSeed = in.U32();
    std::array<float, kShotWordCount> words{};
    for (float& w : words) w = in.F32();
    s.words = ShotWords::FromArray(words);
    for (auto& p : s.positions)
        for (float& c : p) c = in.F32();
    for (auto& q : s.orientations)
        for (float& c : q) c = in.F32();
    for (auto& b : s.outOfPlay) b = in.U8();

    if (!s.present || s.ballCount > kMaxBalls || s.gameType >= kGameTypeCount || s.currentBall >= kMaxBalls ||
        !s.words.IsFinite())
        return false;
    state = s;
    return true;
}

}  // namespace table
