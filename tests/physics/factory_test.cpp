#include <gtest/gtest.h>

#include <typeinfo>

#include "physics/ParamWriter.h"
#include "physics/PhysicsFactory.h"
#include "physics/PhysicsModelA.h"
#include "physics/PhysicsModelB.h"
#include "tests/physics/support/Hash.h"

namespace physics {
namespace {

class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearPhysicsModelCache();
        ClearParamsForTesting();
    }
    void TearDown() override { ClearPhysicsModelCache(); }
};

TEST_F(FactoryTest, EveryIdCreatesAModelOfItsBranchAndOthersGiveNull) {
    for (std::uint32_t id = kFirstModelId; id <= kLastModelId; ++id) {
        auto model = CreatePhysicsModel(id, 0, 3, false);
        ASSERT_NE(model, nullptr) << std::hex << id;
        EXPECT_EQ(model->ModelId(), id);
        EXPECT_EQ(CurrentPhysicsModel(), model.get());
        if (id >= 0x10010) {
            EXPECT_EQ(dynamic_cast<PhysicsModelB&>(*model).Traits().id, id);
        } else if (id >= 0x10001) {
            EXPECT_EQ(dynamic_cast<PhysicsModelA&>(*model).Traits().id, id);
        } else {
            const PhysicsModel& base = *model;
            EXPECT_EQ(typeid(base), typeid(PhysicsModel));
        }
    }
    EXPECT_EQ(TraitsOfModelA(0x10010), nullptr);
    EXPECT_EQ(TraitsOfModelB(0x1000F), nullptr);
    EXPECT_EQ(CreatePhysicsModel(0x10015, 0, 3, false), nullptr);
    EXPECT_EQ(CreatePhysicsModel(0xFFFF, 0, 3, false), nullptr);
    EXPECT_EQ(CreatePhysicsModel(0x10014, 12, 3, false), nullptr);
}

TEST_F(FactoryTest, CacheReturnsTheSameModelAndRecreatesBallsOnlyOnCountChange) {
    auto a = CreatePhysicsModel(0x10014, 0, 3, true);
    Ball* first = &a->GetBall(0);
    auto b = CreatePhysicsModel(0x10014, 1, 3, true);
    EXPECT_EQ(a, b);
    EXPECT_EQ(&b->GetBall(0), first);
    EXPECT_EQ(b->Table().hasPockets, 1);
    EXPECT_EQ(b->TableType(), 1u);  // the table of the last set-up, not of the construction
    auto c = CreatePhysicsModel(0x10014, 1, 16, true);
    EXPECT_EQ(c->BallCount(), 16);
    EXPECT_NE(CreatePhysicsModel(0x10014, 0, 3, false), a);
}

TEST_F(FactoryTest, CandidateCountAndBallCap) {
    auto model = CreatePhysicsModel(0x10014, 1, 22, false);
    EXPECT_EQ(CandidateCount(), 341u);
    model->SetBallCount(0);
    EXPECT_EQ(CandidateCount(), 0u);
    model->SetBallCount(1000);
    EXPECT_EQ(model->BallCount(), kMaxBallCount);
    EXPECT_EQ(CandidateCount(), 64u * 63u / 2u + 5u * 64u);
}

TEST_F(FactoryTest, DestroyingTheCurrentModelLeavesNoDanglingId) {
    { auto model = CreatePhysicsModel(0x10011, 0, 3, false); }
    EXPECT_EQ(CurrentPhysicsModel(), nullptr);
    TableGeometry g;
    BuildTableGeometry(8, g);  // reads the id of the model set up last
    EXPECT_EQ(g.tableType, 7u);
}

TEST_F(FactoryTest, TipOffsetLimitTangentsOfTheBranches) {
    CreatePhysicsModel(0x10000, 0, 3, false);
    EXPECT_EQ(Params().model.tipOffsetLimitTan.Bits(), 0x3EE72008u);
    CreatePhysicsModel(0x10012, 0, 3, false);
    EXPECT_EQ(Params().model.tipOffsetLimitTan.v, 1.0f);
    CreatePhysicsModel(0x10014, 0, 3, false);
    EXPECT_EQ(Params().model.tipOffsetLimitTan.Bits(), 0x3F20753Du);
    EXPECT_EQ(Params().model.collisionParamE.v, 0.000005f);
    EXPECT_EQ(Params().model.strikeSpeedScale.v, 3.7f);
}

TEST_F(FactoryTest, LateTableParametersByTable) {
    CreatePhysicsModel(0x10014, 1, 16, false);
    const TableParams& t = Params().table;
    EXPECT_EQ(t.cushionParamB.v, 40.0f);
    EXPECT_EQ(t.railParamC.v, 0.34f);
    EXPECT_EQ(t.ClothFriction().v, 0.22f);
    auto b1 = CreatePhysicsModel(0x10010, 1, 16, false);
    EXPECT_EQ(t.cushionParamB.v, 80.0f);
    EXPECT_EQ(static_cast<PhysicsModelB*>(b1.get())->clothSlowSpeed.v, 0.0f);
    // Carom tables leave railParamC/D and cushionParamB as the pocket set-up wrote them.
    auto b3 = CreatePhysicsModel(0x10014, 6, 3, false);
    EXPECT_EQ(t.railParamC.v, 0.34f);
    EXPECT_EQ(t.cushionParamB.v, 80.0f);
    EXPECT_EQ(t.frictionSets[0][3].v, 0.014f);
    EXPECT_EQ(t.bounceFactor.v, 0.6f);
    EXPECT_EQ(static_cast<PhysicsModelB*>(b3.get())->clothSlowGain.v, 3.4f);
    CreatePhysicsModel(0x10013, 4, 3, false);  // cushionKind 1, clothKind 3
    EXPECT_EQ(t.railParamA.v, 0.22f);
    EXPECT_EQ(t.cushionStiffness.v, 120000.0f);
    EXPECT_EQ(t.frictionSets[0][2].v, 0.0044f);
}

TEST_F(FactoryTest, MidTableParametersTakeTheDefaultModelsWordsTheRowLeaves) {
    CreatePhysicsModel(0x1000E, 4, 3, false);  // cloth 3: writes 0.26
    const TableParams& t = Params().table;
    EXPECT_EQ(t.ClothFriction().v, 0.26f);
    EXPECT_EQ(t.cushionStiffness.v, 330000.0f);
    CreatePhysicsModel(0x10005, 4, 3, false);  // cloth 3 and cushion 1: the default model's
    EXPECT_EQ(t.ClothFriction().v, 0.17f);
    EXPECT_EQ(t.cushionStiffness.v, 120000.0f);
    EXPECT_EQ(t.railParamA.v, 0.3f);  // flagA 1
    EXPECT_EQ(t.bounceFactor.v, 0.6f);
    CreatePhysicsModel(0x10001, 9, 16, false);
    EXPECT_EQ(t.ClothFriction().v, 0.4f);
    EXPECT_EQ(t.cushionFrictionShare.v, 0.8007075f);
    EXPECT_EQ(t.spare31.Bits(), 0x3D0F5C28u);  // 3.5 / 100 chopped
    auto f = CreatePhysicsModel(0x1000F, 0, 3, false);
    EXPECT_EQ(f->Geometry().railTop.v, 4.7f);
    EXPECT_EQ(t.railParamA.v, 0.22f);
}

TEST_F(FactoryTest, ModelPartOfBranchA) {
    auto m = CreatePhysicsModel(0x10001, 0, 3, false);
    EXPECT_EQ(Params().model.strikeSpeedScale.v, 4.3f);
    EXPECT_EQ(Params().model.ballCollisionC.v, 0.5f);  // kept from the base
    EXPECT_EQ(static_cast<PhysicsModelA*>(m.get())->CueMass().v, 1.0f);
    CreatePhysicsModel(0x1000E, 0, 3, false);
    EXPECT_EQ(Params().model.strikeSpeedScale.v, 4.4f);
    EXPECT_EQ(Params().model.ballFrictionA.v, 0.062f);
    EXPECT_EQ(Params().model.ballCollisionC.v, 0.99f);
}

// Every id on every table type from a fresh block: the words and which were written.
TEST_F(FactoryTest, ParameterMatrixGoldenHash) {
    Fnv1a hash;
    for (std::uint32_t id = kFirstModelId; id <= kLastModelId; ++id)
        for (std::uint32_t type = 0; type < kTableTypeCount; ++type) {
            ClearParamsForTesting();
            auto m = CreatePhysicsModel(id, type, 3, false);
            for (std::uint32_t w : Params().Words()) hash.Add(w);
            hash.Add(WrittenParamWords());
            for (std::uint32_t w : m->Geometry().Words()) hash.Add(w);
        }
    EXPECT_EQ(hash.value, 0xbc873482f17aeb4aull) << std::hex << hash.value;
}

// The words a set-up writes (its own and the default model's) come out the same after any other
// set-up, on the same table or another.
TEST_F(FactoryTest, ASetUpWritesTheSameWordsWhateverRanBefore) {
    for (std::uint32_t id = kFirstModelId; id <= kLastModelId; ++id)
        for (std::uint32_t type = 0; type < kTableTypeCount; ++type) {
            ClearParamsForTesting();
            CreatePhysicsModel(id, type, 3, false);
            const std::uint64_t written = WrittenParamWords();
            const auto fresh = Params().Words();
            for (std::uint32_t before = kFirstModelId; before <= kLastModelId; ++before)
                for (std::uint32_t beforeType : {type, (type + 5) % kTableTypeCount}) {
                    CreatePhysicsModel(before, beforeType, 3, false);
                    CreatePhysicsModel(id, type, 3, false);
                    const auto words = Params().Words();
                    for (int w = 0; w < PhysicsParams::kWordCount; ++w) {
                        if ((written >> w & 1) == 0) continue;
                        ASSERT_EQ(words[w], fresh[w])
                            << std::hex << "model 0x" << id << " after 0x" << before << std::dec << " on "
                            << beforeType << ", table " << type << " word " << w;
                    }
                }
        }
}

}  // namespace
}  // namespace physics
