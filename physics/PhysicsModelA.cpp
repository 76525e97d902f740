#include "physics/PhysicsModelA.h"

#include "physics/ParamWriter.h"

namespace physics {

namespace {

using SF = StrikeForm;
using FF = FrictionForm;
using RF = RailForm;
using RZ = RailZoneForm;
using IF = ImpulseForm;
using CI = CushionImpactForm;
using CF = CollisionForm;

constexpr F32 o = F32(0.0f);

// The rows: id, the forms (strike, friction, rails, rail zone, impulse, cushion impact,
// collisions), then railSpeedFactor to cushionCounterSpinShare in the order of ModelATraits.
// clang-format off
constexpr ModelATraits kTraits[] = {
    {0x10001, {SF::From10001, FF::From10000, RF::From10001, RZ::From10000, IF::None,     CI::From10001, CF::From10000},
              2.5f, o, o, o, o, o, o, o, o, o, o, o, o, o},
    {0x10002, {SF::From10001, FF::From10000, RF::From10001, RZ::From10000, IF::None,     CI::From10001, CF::From10000},
              2.0f, o, o, o, o, o, o, o, o, o, o, o, o, o},
    {0x10003, {SF::From10001, FF::From10000, RF::From10001, RZ::From10000, IF::None,     CI::From10001, CF::From10000},
              2.0f, o, o, o, o, o, o, o, o, o, o, o, o, o},
    {0x10004, {SF::From10001, FF::From10000, RF::From10001, RZ::From10000, IF::None,     CI::From10001, CF::From10000},
              2.0f, o, o, o, o, o, o, o, o, o, o, o, o, o},
    {0x10005, {SF::From10005, FF::From10005, RF::From10005, RZ::From10005, IF::From10005, CI::None,     CF::From10005},
              2.0f, o, o, o, o, o, o, o, o, o, o, o, o, o},
    {0x10006, {SF::From10005, FF::From10005, RF::From10005, RZ::From10005, IF::From10005, CI::None,     CF::From10005},
              2.0f, o, o, o, o, o, o, o, o, o, o, o, o, o},
    {0x10007, {SF::From10005, FF::From10005, RF::From10005, RZ::From10005, IF::From10005, CI::None,     CF::From10005},
              2.0f, o, o, o, o, o, o, o, o, o, o, o, o, o},
    {0x10008, {SF::From10008, FF::From10005, RF::From10005, RZ::From10005, IF::From10005, CI::None,     CF::From10005},
              2.0f, 0.2f, o, o, o, o, o, o, o, o, o, o, o, o},
    {0x10009, {SF::From10008, FF::From10005, RF::From10005, RZ::From10005, IF::From10005, CI::None,     CF::From10005},
              2.0f, 0.4f, o, o, o, o, o, o, o, o, o, o, o, o},
    {0x1000A, {SF::From10008, FF::From1000A, RF::From10005, RZ::From10005, IF::From1000A, CI::None,     CF::From10005},
              2.0f, 0.4f, 0.6f, 0.6f, 1.2f, 1.25f, 0.00002f, o, o, o, o, o, o, o},
    {0x1000B, {SF::From10008, FF::From1000A, RF::From10005, RZ::From10005, IF::From1000A, CI::None,     CF::From10005},
              2.0f, 0.4f, 0.7f, 0.7f, 1.2f, 1.25f, 0.00002f, o, o, o, o, o, o, o},
    {0x1000C, {SF::From10008, FF::From1000A, RF::From10005, RZ::From10005, IF::From1000C, CI::None,     CF::From1000C},
              2.0f, 0.4f, 1.1f, 1.0f, 1.0f, 2.0f, 0.00016f, 0.2f, 1.1f, 1.0f, 1.0f, 0.1f, 1.038f, 0.8f},
    {0x1000D, {SF::From10008, FF::From1000A, RF::From1000D, RZ::From1000D, IF::From1000C, CI::None,     CF::From1000C},
              2.0f, 0.4f, 1.05f, 1.0f, 1.0f, 1.8f, 0.00016f, 0.3f, 1.1f, 1.0f, 1.0f, 0.1f, 1.038f, 0.8f},
    {0x1000E, {SF::From10008, FF::From1000A, RF::From1000D, RZ::From1000D, IF::From1000C, CI::None,     CF::From1000C},
              2.0f, 0.4f, 1.05f, 1.0f, 1.0f, 1.8f, 0.00016f, 0.3f, 1.1f, 1.0f, 1.0f, 0.1f, 1.038f, 0.8f},
    {0x1000F, {SF::From10008, FF::From1000A, RF::From1000D, RZ::From1000D, IF::From1000C, CI::None,     CF::From1000C},
              2.0f, 0.4f, 1.05f, 1.0f, 1.0f, 1.5f, 0.00016f, 0.3f, 1.1f, 1.0f, 1.0f, 0.1f, 1.038f, 0.8f},
};
// clang-format on

// One cell of the table-parameter matrix: a value per kind of table; kNotWritten keeps the word.
constexpr F32 kNotWritten = F32(-1.0f);
enum class Key : std::uint8_t { All, CaromPockets, Cloth, Cushion, FlagA };
struct Cell {
    Key key;
    F32 v[5];  // All: v0. CaromPockets: carom, pockets. Cloth: 0, 1, 3, 4, pockets.
               // Cushion: 0, 1, 2, pockets. FlagA: 0, 1, pockets.
};
constexpr F32 N = kNotWritten;
constexpr Cell All(F32 a) {
    return Cell{Key::All, {a, N, N, N, N}};
}
constexpr Cell CP(F32 carom, F32 pockets) {
    return Cell{Key::CaromPockets, {carom, pockets, N, N, N}};
}
constexpr Cell Cloth(F32 c0, F32 c1, F32 c3, F32 c4, F32 pockets) {
    return Cell{Key::Cloth, {c0, c1, c3, c4, pockets}};
}
constexpr Cell Cushion(F32 c0, F32 c1, F32 c2, F32 pockets) {
    return Cell{Key::Cushion, {c0, c1, c2, pockets, N}};
}
constexpr Cell FlagA(F32 f0, F32 f1, F32 pockets) {
    return Cell{Key::FlagA, {f0, f1, pockets, N, N}};
}
constexpr Cell None() {
    return All(N);
}

// Words in the order of the rows: frictionSets 0..3, bounceFactor, pocketZoneSpeed, railParamA..D,
// spare 22, spare 23, cushionStiffness, cushionParamA, cushionParamB.
constexpr int kRowWords[15] = {0, 1, 2, 3, 12, 13, 18, 19, 20, 21, 22, 23, 28, 29, 30};

struct Column {
    std::uint32_t firstId, lastId;
    Cell rows[15];
};

// clang-format off
constexpr Column kColumns[] = {
    {0x10001, 0x10001,
     {CP(0.3f, 0.4f), CP(0.7f, 0.6f), CP(0.006f, 0.008f), CP(0.018f, 0.024f), All(0.5f), All(50.0f), All(0.28f),
      All(0.28f), None(), None(), None(), All(0.8007075f), All(120000.0f), All(7.0f), All(80.0f)}},
    {0x10002, 0x10004,
     {CP(0.3f, 0.4f), CP(0.7f, 0.6f), CP(0.006f, 0.008f), CP(0.018f, 0.024f), All(0.5f), All(50.0f), All(0.26f),
      All(0.26f), None(), None(), None(), All(0.81f), All(120000.0f), All(7.0f), All(80.0f)}},
    {0x10005, 0x10005,
     {Cloth(N, 0.2f, N, 0.18f, 0.24f), Cloth(N, 0.99f, N, 0.99f, 0.99f), Cloth(N, 0.008f, N, 0.006f, 0.01f),
      Cloth(N, 0.012f, N, 0.009f, 0.018f), All(0.6f), All(60.0f), FlagA(0.24f, 0.3f, 0.26f),
      FlagA(0.28f, 0.38f, 0.3f), None(), None(), All(0.0f), All(0.99f), Cushion(200000.0f, N, 250000.0f, 200000.0f),
      Cushion(30.0f, N, 30.0f, 34.0f), CP(N, 60.0f)}},
    {0x10006, 0x10006,
     {Cloth(N, 0.2f, N, 0.18f, 0.24f), Cloth(N, 0.99f, N, 0.99f, 0.99f), Cloth(N, 0.008f, N, 0.006f, 0.01f),
      Cloth(N, 0.016f, N, 0.012f, 0.02f), All(0.6f), All(60.0f), FlagA(0.24f, 0.3f, 0.28f),
      FlagA(0.24f, 0.32f, 0.3f), None(), None(), All(0.0f), All(0.99f), Cushion(400000.0f, N, 500000.0f, 400000.0f),
      Cushion(40.0f, N, 42.0f, 50.0f), CP(N, 90.0f)}},
    {0x10007, 0x10009,
     {Cloth(N, 0.2f, N, 0.18f, 0.24f), Cloth(N, 0.99f, N, 0.99f, 0.99f), Cloth(N, 0.008f, N, 0.006f, 0.01f),
      Cloth(N, 0.016f, N, 0.012f, 0.02f), CP(0.6f, 0.5f), CP(60.0f, 50.0f), FlagA(0.24f, 0.3f, 0.28f),
      FlagA(0.24f, 0.32f, 0.3f), None(), None(), All(0.0f), All(0.99f),
      Cushion(400000.0f, 450000.0f, 500000.0f, 400000.0f), Cushion(40.0f, 41.0f, 42.0f, 50.0f), CP(N, 250.0f)}},
    {0x1000A, 0x1000A,
     {Cloth(N, 0.15f, N, 0.15f, 0.24f), Cloth(N, 0.99f, N, 0.99f, 0.99f), Cloth(N, 0.009f, N, 0.008f, 0.01f),
      Cloth(N, 0.018f, N, 0.016f, 0.02f), CP(0.6f, 0.5f), CP(60.0f, 50.0f), Cushion(0.24f, 0.26f, 0.28f, 0.28f),
      Cushion(0.28f, 0.3f, 0.32f, 0.3f), None(), None(), All(0.0f), All(0.99f), All(400000.0f),
      Cushion(64.0f, 59.0f, 54.0f, 50.0f), CP(N, 250.0f)}},
    {0x1000B, 0x1000B,
     {Cloth(N, 0.17f, N, 0.15f, 0.24f), Cloth(N, 0.99f, N, 0.99f, 0.99f), Cloth(N, 0.0085f, N, 0.0075f, 0.01f),
      Cloth(N, 0.018f, N, 0.016f, 0.02f), CP(0.6f, 0.5f), CP(60.0f, 50.0f), Cushion(0.24f, 0.26f, 0.28f, 0.28f),
      Cushion(0.34f, 0.36f, 0.38f, 0.3f), None(), None(), All(0.0f), All(0.99f), All(400000.0f),
      Cushion(58.0f, 53.0f, 48.0f, 50.0f), CP(N, 250.0f)}},
    {0x1000C, 0x1000C,
     {Cloth(0.28f, 0.28f, N, 0.18f, 0.24f), Cloth(0.99f, 0.9f, N, 0.99f, 0.99f),
      Cloth(0.0095f, 0.0088f, N, 0.0075f, 0.01f), Cloth(0.024f, 0.028f, N, 0.02f, 0.02f), CP(0.6f, 0.5f),
      CP(60.0f, 50.0f), Cushion(0.22f, 0.22f, 0.2f, 0.28f), Cushion(0.24f, 0.26f, 0.24f, 0.3f), None(), None(),
      All(0.0f), All(0.99f), Cushion(300000.0f, 350000.0f, 400000.0f, 400000.0f), CP(54.0f, 50.0f),
      CP(N, 250.0f)}},
    {0x1000D, 0x1000D,
     {Cloth(0.28f, 0.22f, N, 0.18f, 0.24f), Cloth(0.99f, 0.99f, N, 0.99f, 0.99f),
      Cloth(0.0095f, 0.012f, N, 0.012f, 0.01f), Cloth(0.024f, 0.024f, N, 0.024f, 0.02f), CP(0.6f, 0.5f),
      CP(60.0f, 50.0f), CP(0.22f, 0.28f), Cushion(0.24f, 0.26f, 0.24f, 0.3f), CP(N, 0.056f), CP(N, 0.06f),
      All(0.0f), All(0.99f), Cushion(300000.0f, 350000.0f, 400000.0f, 400000.0f),
      Cushion(54.0f, 54.0f, 50.0f, 50.0f), CP(N, 250.0f)}},
    {0x1000E, 0x1000F,
     {Cloth(0.28f, 0.22f, 0.26f, 0.18f, 0.24f), All(0.99f), Cloth(0.0095f, 0.012f, 0.009f, 0.012f, 0.01f),
      CP(0.024f, 0.02f), CP(0.6f, 0.5f), CP(60.0f, 50.0f), Cushion(0.22f, 0.18f, 0.22f, 0.28f), CP(0.24f, 0.3f),
      CP(N, 0.056f), CP(N, 0.06f), All(0.0f), All(0.99f), Cushion(300000.0f, 330000.0f, 400000.0f, 400000.0f),
      Cushion(54.0f, 54.0f, 50.0f, 50.0f), CP(N, 250.0f)}},
};
// clang-format on

F32 CellValue(const Cell& c, bool pockets, const TableGeometry& g) {
    switch (c.key) {
        case Key::All:
            return c.v[0];
        case Key::CaromPockets:
            return pockets ? c.v[1] : c.v[0];
        case Key::Cloth:
            if (pockets) return c.v[4];
            switch (g.clothKind) {
                case 0:
                    return c.v[0];
                case 1:
                    return c.v[1];
                case 3:
                    return c.v[2];
                case 4:
                    return c.v[3];
                default:
                    return N;
            }
        case Key::Cushion:
            if (pockets) return c.v[3];
            return g.cushionKind <= 2 ? c.v[g.cushionKind] : N;
        case Key::FlagA:
            if (pockets) return c.v[2];
            return g.tableFlagA <= 1 ? c.v[g.tableFlagA] : N;
    }
    return N;
}

}  // namespace

const ModelATraits* TraitsOfModelA(std::uint32_t id) {
    for (const ModelATraits& t : kTraits)
        if (t.id == id) return &t;
    return nullptr;
}

void PhysicsModelA::SetParams() {
    PhysicsModel::SetParams();
    ModelParams& m = Params().model;
    const std::uint32_t id = traits_.id;
    if (id == 0x10001) {
        Put(m.strikeSpeedScale, 4.3f);
        Put(m.ballFrictionA, 0.12f);
        Put(m.ballFrictionB, 0.18f);
        cueMass_ = F32(1.0f);
    } else if (id <= 0x10004) {
        Put(m.strikeSpeedScale, 4.67f);
        Put(m.ballFrictionA, 0.12f);
        Put(m.ballFrictionB, 0.18f);
        cueMass_ = F32(0.7f);
    } else {
        Put(m.strikeSpeedScale, id >= 0x1000E ? F32(4.4f) : F32(4.67f));
        Put(m.ballFrictionA, id >= 0x1000C ? F32(0.062f) : F32(0.024f));
        Put(m.ballFrictionB, 0.024f);
        Put(m.ballCollisionC, 0.99f);
        cueMass_ = F32(0.7f);
    }
    Put(m.cueContactTime, 0.0025f);
}

void PhysicsModelA::SetTableParams() {
    PhysicsParams& p = Params();
    TableParams& t = p.table;
    TableGeometry& g = tableRecord_->geometry;
    PutBranchTableWords(t);
    Put(t.spare26, 2.0f);
    Put(t.pocketDropB, 0.0f);
    Put(t.spare31, St(g.cushionHeight / 100.0f));
    Put(t.cushionParamC, 0.05f);

    const bool pockets = tableRecord_->hasPockets != 0;
    for (const Column& column : kColumns) {
        if (traits_.id < column.firstId || traits_.id > column.lastId) continue;
        for (int row = 0; row < 15; ++row) {
            const F32 value = CellValue(column.rows[row], pockets, g);
            if (!(value == kNotWritten)) PutWord(p, kRowWords[row], value);
        }
    }
    if (traits_.id == 0x1000F) g.railTop = St(g.cushionHeight + 0.5f);
}

std::uint64_t PhysicsModelA::ParamWordsRead() const {
    auto range = [](int first, int last) {
        std::uint64_t mask = 0;
        for (int i = first; i <= last; ++i) mask |= std::uint64_t{1} << i;
        return mask;
    };
    const bool pockets = tableRecord_->hasPockets != 0;
    // Cloth, bed, rail top, rail friction, pocket fall, cushion spring and the model words.
    std::uint64_t mask = range(0, 19) | range(24, 25) | range(27, 29) | range(33, 39);
    if (traits_.forms.rails == RailForm::From10001)
        mask |= (std::uint64_t{1} << 23) | (std::uint64_t{1} << 32);
    // Jaw damping and jaw friction: there are jaws on pocket tables only.
    if (pockets) mask |= std::uint64_t{1} << 30;
    if (pockets && traits_.forms.rails == RailForm::From1000D) mask |= range(20, 21);
    return mask;
}

F32 PhysicsModelA::ScaleTipHeight(F32 power, F32 tipVertical, F32 elevation) const {
    if (traits_.id <= 0x10002 || tipVertical < F32(0.0f)) return tipVertical;
    const F32 c = CosF(elevation);
    if (traits_.id == 0x10003) return St((Ext(1.0f) - c * 0.2f) * tipVertical);
    return St((Ext(1.0f) - (c * (power * 3.0f + 1.0f)) * 0.05f) * tipVertical);
}

}  // namespace physics
