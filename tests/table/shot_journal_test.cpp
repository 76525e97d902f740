#include <gtest/gtest.h>

#include "physics/PhysicsFactory.h"
#include "table/ShotJournal.h"

using namespace table;

TEST(ShotJournal, HashesEachBallsCoordinatesAndOutOfPlayByteLittleEndianInBallOrder) {
    Fnv1a32 known;
    known.AddU8('a');
    EXPECT_EQ(known.Value(), 0xE40C292Cu) << "the FNV-1a 32-bit test vector";

    auto model = physics::CreatePhysicsModel(0x10014, 4, 2, false);
    ASSERT_TRUE(model);
    model->GetBall(0).position = {physics::F32(1.0f), physics::F32(2.0f), physics::F32(3.0f)};
    model->GetBall(0).outOfPlay = 0;
    model->GetBall(1).position = {physics::F32(-4.5f), physics::F32(0.25f), physics::F32(3.075f)};
    model->GetBall(1).outOfPlay = 1;
    EXPECT_EQ(HashBallsAtRest(*model, 2), 0x5B4EDE7Au);
    EXPECT_NE(HashBallsAtRest(*model, 1), 0x5B4EDE7Au) << "only the balls asked for";

    EXPECT_EQ(ShotJournalLine(10, 345, 0xABCD, "9A0B"), "SHOT 10 345 0000abcd 9A0B");
}
