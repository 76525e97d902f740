// Table parameters of branch A from 0x10005 per table type, the words each row leaves to the default
// model's set-up, and shots that do not depend on what was set up before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "physics/PhysicsFactory.h"
#include "physics/PhysicsModelA.h"
#include "tests/physics/support/ShotRunner.h"

namespace physics {
namespace {

constexpr std::uint64_t Bit(int word) {
    return std::uint64_t{1} << word;
}
constexpr std::uint64_t kSet0 = Bit(0) | Bit(1) | Bit(2) | Bit(3);

// Kinds of the table types: cloth 3 on type 4, cushion 1 on types 4 and 5, pockets on 1, 9-11.
bool Cloth0Or3(std::uint32_t type) {
    return type == 4 || type == 5;
}
bool Cloth3(std::uint32_t type) {
    return type == 4;
}
bool Cushion1(std::uint32_t type) {
    return type == 4 || type == 5;
}
bool Pockets(std::uint32_t type) {
    return type == 1 || type >= 9;
}

// The words 0-32 that model `id` leaves unwritten on a table of `type` (from the matrix of the
// models), written independently of the model code.
std::uint64_t ExpectedUnwritten(std::uint32_t id, std::uint32_t type) {
    std::uint64_t mask = 0;
    if (id <= 0x1000B && Cloth0Or3(type)) mask |= kSet0;
    if ((id == 0x1000C || id == 0x1000D) && Cloth3(type)) mask |= kSet0;
    if ((id == 0x10005 || id == 0x10006) && Cushion1(type)) mask |= Bit(28) | Bit(29);
    if (!Pockets(type)) mask |= Bit(30);
    if (!Pockets(type) || id <= 0x1000C) mask |= Bit(20) | Bit(21);
    return mask;
}

class MidParams : public ::testing::Test {
protected:
    void SetUp() override { ClearParamsForTesting(); }
};

// The row alone (its table set-up on a fresh block) leaves exactly the expected words; the whole
// set-up fills them with the default model's values for the table, and writes every word the
// model reads.
TEST_F(MidParams, WordsARowLeavesHoldTheDefaultModelsValuesForTheTable) {
    for (std::uint32_t id = 0x10005; id <= 0x1000F; ++id) {
        for (std::uint32_t type = 0; type < kTableTypeCount; ++type) {
            ClearParamsForTesting();
            CreatePhysicsModel(kDefaultPhysicsModelId, type, 3, false);
            const auto defaults = Params().Words();
            ClearParamsForTesting();
            auto model = CreatePhysicsModel(id, type, 3, false);
            const auto words = Params().Words();
            const std::uint64_t read = static_cast<PhysicsModelA*>(model.get())->ParamWordsRead();
            EXPECT_EQ(read & ~WrittenParamWords(), 0u)
                << std::hex << "model 0x" << id << std::dec << " type " << type;

            ClearParamsForTesting();
            {
                PhysicsArithmeticScope scope;
                model->SetTableParams();
            }
            const std::uint64_t left = ~WrittenParamWords() & (Bit(33) - 1);
            EXPECT_EQ(left, ExpectedUnwritten(id, type))
                << std::hex << "model 0x" << id << std::dec << " type " << type;
            for (int w = 0; w < 33; ++w) {
                if ((left >> w & 1) == 0) continue;
                EXPECT_EQ(words[w], defaults[w])
                    << std::hex << "model 0x" << id << std::dec << " type " << type << " word " << w;
            }
        }
    }
}

// One value of each row kind (cloth, cushion, flagA, carom/pockets) per table type.
TEST_F(MidParams, RowValuesFollowTheTableKinds) {
    struct Row {
        std::uint32_t id, type;
        int word;
        float value;
    };
    // clang-format off
    const Row rows[] = {
        {0x10005, 0, 0, 0.2f},      {0x10005, 3, 0, 0.18f},     {0x10005, 1, 0, 0.24f},   {0x10005, 6, 18, 0.3f},
        {0x10005, 3, 18, 0.24f},    {0x10005, 9, 18, 0.26f},    {0x10005, 7, 28, 250000}, {0x10005, 10, 30, 60},
        {0x10006, 6, 19, 0.32f},    {0x10006, 11, 30, 90},      {0x10007, 4, 28, 450000}, {0x10009, 5, 29, 41},
        {0x1000A, 7, 18, 0.28f},    {0x1000A, 4, 18, 0.26f},    {0x1000A, 0, 2, 0.009f},  {0x1000B, 7, 19, 0.38f},
        {0x1000B, 2, 0, 0.17f},     {0x1000C, 5, 0, 0.28f},     {0x1000C, 0, 1, 0.9f},    {0x1000C, 7, 18, 0.2f},
        {0x1000C, 1, 29, 50},       {0x1000D, 9, 20, 0.056f},   {0x1000D, 9, 21, 0.06f},  {0x1000D, 7, 29, 50},
        {0x1000E, 4, 0, 0.26f},     {0x1000E, 4, 28, 330000},   {0x1000E, 4, 18, 0.18f},  {0x1000F, 3, 3, 0.024f},
        {0x1000F, 11, 3, 0.02f},    {0x1000F, 11, 12, 0.5f},    {0x1000F, 0, 12, 0.6f},   {0x1000F, 0, 22, 0.0f},
    };
    // clang-format on
    for (const Row& r : rows) {
        ClearParamsForTesting();
        CreatePhysicsModel(r.id, r.type, 3, false);
        F32 value = F32::FromBits(Params().Words()[r.word]);
        EXPECT_EQ(value.v, r.value) << std::hex << "model 0x" << r.id << std::dec << " type " << r.type
                                    << " word " << r.word;
    }
}

TEST_F(MidParams, TableTypeEightIsReadAsSeven) {
    for (std::uint32_t id = 0x10005; id <= 0x1000F; ++id) {
        auto seven = CreatePhysicsModel(id, 7, 3, false);
        const auto words7 = seven->Geometry().Words();
        const auto params7 = Params().Words();
        auto eight = CreatePhysicsModel(id, 8, 3, false);
        auto words8 = eight->Geometry().Words();
        words8[33] = words7[33];  // the type word itself
        EXPECT_EQ(words8, words7);
        EXPECT_EQ(Params().Words(), params7);
    }
}

// Type 4 has cloth 3 and cushion 1: model 0x10005 writes neither the cloth friction nor the
// cushion stiffness there. In a fresh process the shot must rest as it does after any set-up.
TEST_F(MidParams, AShotWithWordsTheRowLeavesIsTheSameWhateverWasSetUpBefore) {
    CreatePhysicsModel(0x10005, 4, 3, false);
    EXPECT_EQ(Params().table.ClothFriction().v, 0.17f);
    EXPECT_EQ(Params().table.cushionStiffness.v, 120000.0f);

    using testing::MakeShot;
    using testing::RunShot;
    testing::ShotSpec shotSpec =
        MakeShot(0x10005, 4, {{F32(-50.0f), F32(-7.0f), 1}, {F32(40.0f), F32(10.0f), 2}}, F32(40.0f),
                 F32(8.0f), testing::DefaultShot());
    shotSpec.setup.clear();
    ClearParamsForTesting();
    const testing::ShotResult fresh = RunShot(shotSpec);
    EXPECT_TRUE(fresh.rest);
    const std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> histories = {
        {{0x10014, 4}}, {{0x1000E, 4}}, {{0x10001, 9}}, {{0x10012, 1}, {0x10000, 5}}};
    for (const auto& history : histories) {
        shotSpec.setup = history;
        EXPECT_EQ(RunShot(shotSpec).hash, fresh.hash) << "after model 0x" << std::hex << history.back().first;
    }
}

}  // namespace
}  // namespace physics
