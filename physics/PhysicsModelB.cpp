#include "physics/PhysicsModelB.h"

#include "physics/ParamWriter.h"

namespace physics {

namespace {

// clang-format off
constexpr ModelBTraits kTraits[] = {
    // id     cloth10010 limits10014 jawDamping10014 tipStiffness10013 clampContact10013 contactFactorOne
    {0x10010, true,      false,      false,          false,            false,            false},
    {0x10011, false,     false,      false,          false,            false,            false},
    {0x10012, false,     false,      false,          false,            false,            false},
    {0x10013, false,     false,      false,          true,             true,             false},
    {0x10014, false,     true,       true,           true,             false,            true},
};
// clang-format on

}  // namespace

const ModelBTraits* TraitsOfModelB(std::uint32_t id) {
    for (const ModelBTraits& t : kTraits)
        if (t.id == id) return &t;
    return nullptr;
}

ModelForms PhysicsModelB::Forms() const {
    return ModelForms{StrikeForm::From10010,   FrictionForm::From10010, RailForm::From10010,
                      RailZoneForm::From10010, ImpulseForm::From10010,  CushionImpactForm::None,
                      CollisionForm::From10010};
}

void PhysicsModelB::PutModelWords(const ModelBTraits& traits) {
    ModelParams& m = Params().model;
    const bool b2 = traits.limits10014;
    Put(m.strikeSpeedScale, 3.7f);
    Put(m.cueContactTime, 0.009f);
    Put(m.tipOffsetLimit, b2 ? F32(0.9f) : F32(1.0f));
    Put(m.ballFrictionB, 1.0f);
    Put(m.ballFrictionA, 0.04f);
    Put(m.ballCollisionC, 0.99f);
    Put(m.collisionParamE, 0.000005f);
    // c = 0 for B1; for B2 the double 0.7600002288818359375 (not an f32 literal).
    const Ext c = b2 ? DoubleConst(0x3FE851EC00000000ull) : Opq(Ext(0.0f));
    Put(m.tipOffsetLimitTan, St((Ext(2.0f) - SqrtF(StD(c))) / (m.tipOffsetLimit + m.tipOffsetLimit)));
}

void PhysicsModelB::SetParams() {
    PhysicsModel::SetParams();
    PutModelWords(traits_);
    const bool b2 = traits_.limits10014;
    cueMass = F32(0.7f);
    tipStiffness = F32(150000.0f);
    bedStiffness = F32(680000.0f);
    tipCompressionMax = F32(0.005f);
    bedCompressionMax = F32(0.0018f);
    frictionScaleBase = F32(1.5f);
    frictionScale = F32(1.5f);
    clothSlowSpeed = F32(0.25f);
    clothSlowGain = F32(2.0f);
    kind0Offset = F32(0.00002f);
    contactTimeFactor = F32(0.4f);
    limitSlope = b2 ? F32(0.9f) : F32(0.45f);
    limitBoost = b2 ? F32(1.0f) : F32(0.2f);
    unreadFactorA = F32(1.0f);
    unreadFactorB = F32(1.0f);
    collisionShare = F32(1.0f);
    railLeverShare = F32(1.0f);
}

void PhysicsModelB::SetTableParams() {
    PutTableWords(traits_, tableRecord_->geometry, tableRecord_->hasPockets != 0, clothSlowSpeed,
                  clothSlowGain);
}

void PhysicsModelB::PutTableWords(const ModelBTraits& traits, const TableGeometry& g, bool pockets,
                                  F32& clothSlowSpeed, F32& clothSlowGain) {
    TableParams& t = Params().table;
    PutBranchTableWords(t);
    Put(t.pocketDropB, 0.0f);
    Put(t.cushionParamC, 0.05f);

    if (pockets) {
        PutSet(t.frictionSets[0], 0.22f, 0.99f, 0.008f, 0.04f);
        Put(t.bounceFactor, 0.5f);
        Put(t.pocketZoneSpeed, 50.0f);
        Put(t.railParamA, 0.34f);
        Put(t.railParamC, 0.34f);
        Put(t.railParamB, 0.3f);
        Put(t.railParamD, 0.3f);
        Put(t.cushionStiffness, 100000.0f);
        Put(t.cushionParamA, 20.0f);
        Put(t.cushionParamB, traits.jawDamping10014 ? F32(40.0f) : F32(80.0f));
        clothSlowSpeed = F32(0.0f);
        clothSlowGain = F32(0.0f);
        return;
    }

    Put(t.bounceFactor, 0.6f);
    Put(t.pocketZoneSpeed, 60.0f);
    static constexpr F32 kRailA[3] = {0.21f, 0.22f, 0.26f};
    static constexpr F32 kRailB[3] = {0.18f, 0.21f, 0.25f};
    static constexpr F32 kStiffness[3] = {100000.0f, 120000.0f, 140000.0f};
    static constexpr F32 kDamping[3] = {17.0f, 19.0f, 24.0f};
    if (g.cushionKind <= 2) {
        Put(t.railParamA, kRailA[g.cushionKind]);
        Put(t.railParamB, kRailB[g.cushionKind]);
        Put(t.cushionStiffness, kStiffness[g.cushionKind]);
        Put(t.cushionParamA, kDamping[g.cushionKind]);
    }
    const bool b1 = traits.cloth10010;
    switch (g.clothKind) {
        case 0:
            PutSet(t.frictionSets[0], 0.18f, 0.99f, 0.0044f, b1 ? F32(0.008f) : F32(0.01f));
            clothSlowSpeed = F32(0.4f);
            clothSlowGain = F32(2.0f);
            break;
        case 1:
            PutSet(t.frictionSets[0], 0.17f, 0.98f, 0.0042f, 0.016f);
            clothSlowSpeed = b1 ? F32(0.4f) : F32(0.7f);
            clothSlowGain = b1 ? F32(2.0f) : F32(3.4f);
            break;
        case 3:
            PutSet(t.frictionSets[0], 0.17f, 0.99f, b1 ? F32(0.0042f) : F32(0.0044f),
                   b1 ? F32(0.007f) : F32(0.009f));
            clothSlowSpeed = b1 ? F32(0.15f) : F32(0.4f);
            clothSlowGain = F32(2.0f);
            break;
        case 4:
            PutSet(t.frictionSets[0], 0.16f, 0.98f, b1 ? F32(0.004f) : F32(0.0042f), 0.014f);
            clothSlowSpeed = b1 ? F32(0.5f) : F32(0.7f);
            clothSlowGain = b1 ? F32(2.0f) : F32(3.4f);
            break;
        default:
            break;
    }
}

void PutDefaultModelWords(std::uint32_t tableType) {
    TableGeometry g;
    const bool pockets = BuildTableGeometry(tableType, g, kDefaultPhysicsModelId) != 0;
    const ModelBTraits& traits = *TraitsOfModelB(kDefaultPhysicsModelId);
    PhysicsModel::PutModelWords();
    PhysicsModelB::PutModelWords(traits);
    F32 clothSlowSpeed(0.0f), clothSlowGain(0.0f);
    PhysicsModelB::PutTableWords(traits, g, pockets, clothSlowSpeed, clothSlowGain);
}

F32 PhysicsModelB::TipStiffness(F32 a0, F32 a1, F32 a2, F32 a3) const {
    const F32 base = TipStiffnessBase();
    const F32 span = TipStiffnessSpan();
    if (!traits_.tipStiffness10013) {
        const F32 first = St((base + span * (Ext(1.0f) - a1)) * a0);
        return St((first + a3 * 4.0f) * 10.0f);
    }
    const F32 c = PowF(St(Ext(1.0f) - a1), F32(3.0f));
    const F32 first = St((base + span * c) * a0);
    return St(((first * 4.0f) / (a2 * 3.0f + 1.0f) + a2 * 4.0f) * 10.0f);
}

F32 PhysicsModelB::TipOffsetLimit(F32 a0, F32 a1, F32 a2, F32 a3, F32 a4) const {
    if (traits_.clampContact10013 && a4 < F32(0.0f)) a4 = F32(0.0f);
    const F32 u = St((Ext(1.0f) - a1 * a3) * a0);
    const Ext v = (a2 * a4 + 1.0f) * u;
    return v < Ext(1.0f) ? St(v) : F32(1.0f);
}

}  // namespace physics
