#pragma once
// Branch B: the models 0x10010 to 0x10014 (0x10014 is the default model). They share one class
// and every form; each id's differences are its row of traits.

#include "physics/PhysicsModel.h"

namespace physics {

// What the ids of branch B change; each difference is named after the first id that has it.
struct ModelBTraits {
    std::uint32_t id;
    bool cloth10010;         // the carom cloth words and slow-roll constants of 0x10010 (else 0x10011's)
    bool limits10014;        // tip offset limit 0.9, its tangent from 0.76, limit slope 0.9 and boost 1
                             // (else 1.0, from 0, 0.45 and 0.2)
    bool jawDamping10014;    // cushionParamB 40 on pocket tables (else 80)
    bool tipStiffness10013;  // tip stiffness base 28 and the cubic blend (else 46 and the linear one)
    bool clampContact10013;  // a negative contact factor counts as 0 in the offset limit
    bool contactFactorOne;   // the strike's offset limit takes contact factor 1 whatever the shot's
};

// The traits of a branch-B id; null for any other id.
const ModelBTraits* TraitsOfModelB(std::uint32_t id);

class PhysicsModelB : public PhysicsModel {
public:
    PhysicsModelB(const ModelBTraits& traits, std::uint32_t tableType, std::uint16_t ballCount)
        : PhysicsModel(tableType, ballCount), traits_(traits) {}

    const ModelBTraits& Traits() const { return traits_; }
    ModelForms Forms() const override;

    void StrikeBody(Ball& ball, F32 aimX, F32 aimY, ShotParams shot) override;
    void SetParams() override;
    void SetTableParams() override;
    void ApplyClothFriction(Ball& ball, F32 h, std::uint32_t kind) override;
    void CollideRails(Ball& ball, F32 dt) override;
    bool CollideRailZone(Vector3& position, const Vector3& velocity, F32 radiusCm, Vector3& normal,
                         RailZoneState& state, std::uint8_t railMask) override;
    bool ResolveCollisions() override;
    bool RailImpulse(Vector3& v, Vector3& w, Vector3& railVector, const CushionContact& c) override;

    // Slots 8 and 10 to 14.
    // The parameter words the set-up of a branch-B model writes: the model words after the
    // base's, and the table words for a table of geometry g (the cloth's slow-roll constants, which
    // live in the model, come back in the last two).
    static void PutModelWords(const ModelBTraits& traits);
    static void PutTableWords(const ModelBTraits& traits, const TableGeometry& g, bool pockets,
                              F32& clothSlowSpeed, F32& clothSlowGain);

    F32 RailSpeedFactor(F32 value) const { return value; }
    F32 TipStiffnessBase() const { return traits_.tipStiffness10013 ? F32(28.0f) : F32(46.0f); }
    F32 TipStiffnessSpan() const { return F32(150.0f); }
    F32 TipStiffness(F32 a0, F32 a1, F32 a2, F32 a3) const;
    F32 StrikeGain() const { return F32(1.0f); }
    F32 TipOffsetLimit(F32 a0, F32 a1, F32 a2, F32 a3, F32 a4) const;

    F32 cueMass, tipStiffness, bedStiffness, tipCompressionMax, bedCompressionMax;
    F32 frictionScaleBase, frictionScale, clothSlowSpeed, clothSlowGain, kind0Offset;
    F32 contactTimeFactor, limitSlope, limitBoost, unreadFactorA, unreadFactorB;
    F32 collisionShare, railLeverShare;

protected:
    // The balls that roll or slide on the open bed take their sub-step side by side
    // (physics/OpenBedB.cpp). That path repeats this class's own kind-0 ApplyClothFriction and
    // relies on its rail contact finding nothing: a class that replaces either must replace this.
    bool MoveBalls(F32 h) override;

private:
    // The cloth friction's steps after its shared prefix (physics/ClothFrictionStepsB.h).
    static void FrictionSlide(Ball& ball, const F32* set, F32 a, F32 s, F32 pp, F32 qq, F32 sx, F32 sy);
    void FrictionRoll(Ball& ball, F32 speed, F32 b, F32& t) const;
    static void FrictionSpinZ(Ball& ball, F32 t);
    // Kind-0 cloth friction of N balls landing on the bed, each stage for all of them.
    template <std::size_t N>
    void RollOnBedSideBySide(Ball* const* balls);

    const ModelBTraits& traits_;
};

// Writes the parameter words the default model's set-up writes for a table of `tableType`. Every
// set-up starts with them, so a word a model's own set-up leaves alone never carries a value from
// the process's history.
void PutDefaultModelWords(std::uint32_t tableType);

}  // namespace physics
