// Every model id on representative carom and pocket tables with a fixed set of shots: each shot
// ends within its bound with finite values and the balls on the table, and gives the same bits
// on any thread as the golden hashes recorded here (regression anchors of the shared physics).
#include <gtest/gtest.h>

#include <thread>

#include "platform/sys/Fpu.h"
#include "tests/physics/support/Hash.h"
#include "tests/physics/support/ShotRunner.h"

namespace physics::testing {
namespace {

// Carom: cloth 1 / cushion 0, and cloth 3 / cushion 1 / flagA 1 (a kind several old versions do
// not write); pocket: straight jaws, and the rounded jaws of type 11.
constexpr std::uint32_t kTables[] = {0, 4, 1, 11};
constexpr std::uint32_t kMaxCalls = 12000;  // 60 s of simulated time

struct SweepShot {
    float side, vertical, power, elevation, contactFactor, limitFactor;
};

constexpr SweepShot kShots[] = {
    {0.0f, 0.0f, 0.8f, 0.0f, 0.0f, 1.0f},    // default
    {0.0f, 0.4f, 0.9f, 0.0f, 0.0f, 1.0f},    // follow
    {0.0f, -0.4f, 0.9f, 0.0f, 0.0f, 1.0f},   // draw
    {0.4f, 0.0f, 0.7f, 0.0f, 0.0f, 1.0f},    // side
    {-0.3f, -0.2f, 1.0f, 0.0f, 0.5f, 1.0f},  // side and draw, longer contact
    {0.0f, 0.0f, 0.2f, 0.0f, 0.0f, 1.0f},    // soft
    {0.1f, 0.1f, 1.0f, 0.0f, 0.0f, 0.0f},    // full power, no miscue limit
    {0.0f, 0.2f, 0.8f, 0.26f, 0.0f, 1.0f},   // cue raised 15 degrees
    {0.6f, 0.3f, 0.8f, 0.0f, 0.0f, 1.0f},    // near the miscue limit
    {0.7f, 0.6f, 0.8f, 0.0f, 0.0f, 1.0f},    // beyond it
};

ShotParams ToParams(const SweepShot& s) {
    ShotParams p{};
    p.offsetLimitSide = p.tipOffsetSide = F32(s.side);
    p.offsetLimitVertical = p.tipOffsetVertical = F32(s.vertical);
    p.power = F32(s.power);
    p.elevation = F32(s.elevation);
    p.contactFactor = F32(s.contactFactor);
    p.limitFactor = F32(s.limitFactor);
    return p;
}

struct TableOutcome {
    std::uint64_t hash = 0;
    std::string failures;
};

// Words that a version does not write keep the values of the set-up before; every run starts
// from the same history (MakeShot: a fresh block, then the default model on the same table).
ShotResult RunFromKnownHistory(std::uint32_t model, std::uint32_t table, const SweepShot& shot) {
    const std::vector<BallPlacement> balls = {
        {F32(-50.0f), F32(-7.0f), 1}, {F32(40.0f), F32(10.0f), 2}, {F32(20.0f), F32(-30.0f), 3}};
    ShotSpec shotSpec = MakeShot(model, table, balls, F32(40.0f), F32(8.0f), ToParams(shot));
    shotSpec.maxCalls = kMaxCalls;
    return RunShot(shotSpec);
}

std::string CheckOutcome(const ShotResult& r) {
    std::string out;
    if (!r.rest) out += " no rest within the bound;";
    if (!r.allFinite) out += " a value not finite;";
    for (const Ball& b : r.final) {
        if (b.outOfPlay == 0) {
            if (!(b.position.z.v == b.radiusCm.v)) out += " a ball off the bed;";
            if (!b.IsInsideCushions(St(-(b.radiusCm - 0.5f)))) out += " a ball off the table;";
        } else if (!(b.position.z.v == St(b.radiusCm + b.table->geometry.pocketDepth).v)) {
            out += " a pocketed ball not on the pocket floor;";
        }
    }
    return out;
}

TableOutcome RunTable(std::uint32_t model, std::uint32_t table) {
    TableOutcome outcome;
    Fnv1a hash;
    for (std::size_t i = 0; i < std::size(kShots); ++i) {
        const ShotResult r = RunFromKnownHistory(model, table, kShots[i]);
        hash.Add(r.hash);
        hash.Add(r.calls);
        const std::string failure = CheckOutcome(r);
        if (!failure.empty()) outcome.failures += "shot " + std::to_string(i) + ":" + failure + "\n";
    }
    outcome.hash = hash.value;
    return outcome;
}

struct Golden {
    std::uint32_t model;
    std::uint64_t hashes[std::size(kTables)];
};

// One hash per table of kTables (over every shot's own hash and call count).
constexpr Golden kGoldens[] = {
    {0x10000, {0x5eaaff3391f276e0ull, 0x149a316172409881ull, 0x493e65f887367faaull, 0x5219aa5c2ff32cceull}},
    {0x10001, {0x76530cc283205d59ull, 0xaa14f0d0ae1bd893ull, 0x433c1642aa0538eeull, 0x3a379290825ec7d2ull}},
    {0x10002, {0x78a9417784d38e32ull, 0xfe722f96868eb145ull, 0xfb39a74031a64334ull, 0x983fb01fc58d2494ull}},
    {0x10003, {0xd06efcaf4f2e979aull, 0xae30ef0d6205592eull, 0xd22f1e3cf58cdc31ull, 0x401587bc4c6964d8ull}},
    {0x10004, {0x98f2c2b4e5b59e7cull, 0xedc23c2fd21c3bfcull, 0x9fadba6b5fd12483ull, 0xd609000d7795bff2ull}},
    {0x10005, {0xabced53daaf5e4full, 0x8864f4b15ed63b02ull, 0x9c804dda68ee676eull, 0x4a553161afa9eeddull}},
    {0x10006, {0xfa95380241cd9c3full, 0xbc7a8ef2f88370d9ull, 0x30f22312c1fe1a2cull, 0x261ab90db923d15aull}},
    {0x10007, {0x49b976d2c74f83bfull, 0x5b21925ea02e9424ull, 0xbc30da4728eec172ull, 0x350f9ac8bd111904ull}},
    {0x10008, {0x8ff52f9760d36cfull, 0xab8d87f7441c5723ull, 0x6bf7fb5a3b2c674dull, 0xe85483f20e690dcaull}},
    {0x10009, {0xb4ae4f38d7a97a16ull, 0x7a7160a870a371a0ull, 0xbda23fac51772070ull, 0x1add31ddc1bfe1dcull}},
    {0x1000A, {0x1976d72c62503ea0ull, 0x7e039db01f3f67bcull, 0xace6c19d8d10b304ull, 0x33fe31fc08513a8dull}},
    {0x1000B, {0x5264119268f417a3ull, 0x28a40884d2cb97baull, 0x906a600f8facb3b8ull, 0xb1e99019ef45ea1aull}},
    {0x1000C, {0x279b374b1c6c356eull, 0x26f659df668e5432ull, 0xbbfbea5e2baae39ull, 0x4ff67a678a63aaa8ull}},
    {0x1000D, {0x7b7ecb494734dc8bull, 0x59dcb2d3938e80a0ull, 0x7718cb906ef9e63dull, 0x910a7208ec804235ull}},
    {0x1000E, {0x6fdd8999960a9321ull, 0x6aa2544695bf8e90ull, 0x2bf30afc0fd1a547ull, 0x33aa605a411a85d6ull}},
    {0x1000F, {0x555259e04e43e645ull, 0x5e0ab2f9d158e05eull, 0x7511869122bf37acull, 0xdd692a06039e4632ull}},
    {0x10010, {0xf976ad13feccb0full, 0x478b4f102320c345ull, 0x218154bfc27ccbe5ull, 0xfdae189bc01ab08bull}},
    {0x10011, {0x5ad6adbddfd1d9caull, 0xedaa4c9f76c689caull, 0x218154bfc27ccbe5ull, 0xfdae189bc01ab08bull}},
    {0x10012, {0x5ad6adbddfd1d9caull, 0xedaa4c9f76c689caull, 0x218154bfc27ccbe5ull, 0xfdae189bc01ab08bull}},
    {0x10013, {0x60b1d8dfe34ce6ffull, 0x2eff07094aa6a6c0ull, 0xd05a26c3a499a5c6ull, 0x60e3569441cccdc9ull}},
    {0x10014, {0xbe9942e323dbafb4ull, 0x39b03dd2ccafd3baull, 0xc8c4138486b843dcull, 0x53e9fba171db3946ull}},
};

class ModelSweep : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(ModelSweep, EveryShotRestsOnTheTableWithTheGoldenBitsOnAnyThread) {
    const std::uint32_t model = GetParam();
    const Golden* golden = nullptr;
    for (const Golden& g : kGoldens)
        if (g.model == model) golden = &g;
    for (std::size_t t = 0; t < std::size(kTables); ++t) {
        TableOutcome outcome;
        // One model simulates at a time: the thread runs while this one waits. It leaves the
        // control word at round-to-nearest; every physics entry must set its own.
        std::thread worker([&] {
            platform::SetFpuControl(0x037F);
            outcome = RunTable(model, kTables[t]);
        });
        worker.join();
        if (t == 0) {
            EXPECT_EQ(RunTable(model, kTables[t]).hash, outcome.hash) << "main thread and worker differ";
        }
        EXPECT_EQ(outcome.failures, "")
            << "model 0x" << std::hex << model << std::dec << " table " << kTables[t];
        EXPECT_EQ(outcome.hash, golden ? golden->hashes[t] : 0)
            << "model 0x" << std::hex << model << std::dec << " table " << kTables[t] << " hash 0x"
            << std::hex << outcome.hash;
    }
}

std::vector<std::uint32_t> AllModelIds() {
    std::vector<std::uint32_t> ids;
    for (std::uint32_t id = kFirstModelId; id <= kLastModelId; ++id) ids.push_back(id);
    return ids;
}

INSTANTIATE_TEST_SUITE_P(AllIds, ModelSweep, ::testing::ValuesIn(AllModelIds()),
                         [](const ::testing::TestParamInfo<std::uint32_t>& info) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Model%05X", info.param);
                             return std::string(name);
                         });

}  // namespace
}  // namespace physics::testing
