#include <gtest/gtest.h>

#include <cstring>

#include "table/ShotStateBlock.h"

using namespace table;

namespace {

std::uint32_t U32At(const ShotStateBlock& b, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

float F32At(const ShotStateBlock& b, std::size_t at) {
    float v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

ShotState FullState() {
    ShotState s;
    s.present = true;
    s.gameType = 12;
    s.currentBall = 3;
    s.shooterSeat = 2;
    s.tableItem = 0x1234;
    s.ballSetItem = 2006;
    s.cueItem = 3043;
    s.cueParts = {11, 12, 13, 14, 15};
    s.partLevels = {1, 2, 3, 4, 5};
    s.chalkUsed = 1;
    s.ballCount = 22;
    s.physicsModelId = 0x10012;
    s.shotSeed = 0xA1B2C3D4;
    s.words.power = 0.55f;
    s.words.chalk = 0.25f;
    for (int i = 0; i < kMaxBalls; ++i) {
        s.positions[i] = {float(i), float(-i), 2.8575f};
        s.orientations[i] = {0.5f, -0.5f, 0.5f, float(i)};
        s.outOfPlay[i] = static_cast<std::uint8_t>(i % 2);
    }
    return s;
}

}  // namespace

TEST(ShotStateBlock, FieldsLandAtTheirDocumentedOffsets) {
    const ShotStateBlock b = PackShotState(FullState());
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 12);
    EXPECT_EQ(b[2], 3);
    EXPECT_EQ(b[3], 2);
    EXPECT_EQ(b[shot_state_offset::kTableItem], 0x34);
    EXPECT_EQ(b[shot_state_offset::kTableItem + 1], 0x12);
    EXPECT_EQ(b[shot_state_offset::kCueItem] | b[shot_state_offset::kCueItem + 1] << 8, 3043);
    EXPECT_EQ(b[10], 11);  // first cue part
    EXPECT_EQ(b[24], 5);   // last part level
    EXPECT_EQ(b[25], 1);   // chalk used
    EXPECT_EQ(b[26], 22);  // ball count
    EXPECT_EQ(U32At(b, shot_state_offset::kModelId), 0x10012u);
    EXPECT_EQ(U32At(b, 32), 0xA1B2C3D4u);
    EXPECT_EQ(F32At(b, shot_state_offset::kWords + 4), 0.55f);   // power, the second word
    EXPECT_EQ(F32At(b, shot_state_offset::kWords + 56), 0.25f);  // chalk, the fifteenth
    EXPECT_EQ(F32At(b, shot_state_offset::kPositions + 21 * 12), 21.0f);
    EXPECT_EQ(F32At(b, shot_state_offset::kOrientations + 21 * 16 + 12), 21.0f);
    EXPECT_EQ(b[shot_state_offset::kOutOfPlay + 21], 1);
    for (std::size_t i = shot_state_offset::kEnd; i < b.size(); ++i) EXPECT_EQ(b[i], 0) << "byte " << i;
}

TEST(ShotStateBlock, UnpackGivesBackEveryFieldAndRefusesUnsoundBlocks) {
    const ShotState s = FullState();
    ShotState back;
    ASSERT_TRUE(UnpackShotState(PackShotState(s), back));
    EXPECT_EQ(PackShotState(back), PackShotState(s));

    struct Case {
        const char* name;
        std::size_t at;
        std::uint8_t value;
    };
    for (const Case& c :
         {Case{"absent", 0, 0}, Case{"ball count 23", 26, 23}, Case{"game type 17", 1, 17},
          Case{"current ball 22", 2, 22}, Case{"NaN power", shot_state_offset::kWords + 7, 0x7F}}) {
        ShotStateBlock block = PackShotState(s);
        block[c.at] = c.value;
        if (c.at == shot_state_offset::kWords + 7) block[c.at - 1] = 0xC0;
        ShotState target;
        target.cueItem = 77;
        EXPECT_FALSE(UnpackShotState(block, target)) << c.name;
        EXPECT_EQ(target.cueItem, 77) << c.name;
    }
}
