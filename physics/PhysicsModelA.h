#pragma once
// Branch A: the models 0x10001 to 0x1000F. They share one class (the base plus the cue mass);
// each id picks its constants and the form of every operation from its row of traits.

#include "physics/PhysicsModel.h"

namespace physics {

struct ModelATraits {
    std::uint32_t id;
    ModelForms forms;
    // Constant getters (slots 8 and 11 to 23); 0 where the id has no such slot.
    F32 railSpeedFactor;
    F32 contactTimeGain;
    F32 slideShareLinear;
    F32 slideShareSpin;
    F32 cushionSlideScale;
    F32 cushionLiftScale;
    F32 clothLoadSlope;
    F32 collisionVelocityShare;
    F32 spinTransfer;
    F32 spinScaleX;
    F32 spinScaleY;
    F32 spinCurve;
    F32 cushionLoadExponent;
    F32 cushionCounterSpinShare;
};

// The traits of a branch-A id; null for any other id.
const ModelATraits* TraitsOfModelA(std::uint32_t id);

// How the strike's common steps (set-up, miscue test, energy transfer, miscue deflection, pulse)
// differ between the strike forms of branch A.
struct StrikeSetUpForm {
    bool clampCosine = true;      // cos(elevation) below 0 is taken as 0
    bool steepUpDivided = false;  // the steep reference axis is (dx / cE, dy / cE, 0)
    bool sineCurve = false;       // the spin-offset length is blended with a sine (SpinCurve)
    F32 contactTimeGain = 0.2f;   // factor of power x contactFactor in the contact time
    bool setCueActive = true;
};

// What the common steps leave for the contact simulation (or the bed bounce).
struct StrikeSetUpResult {
    Vector3 direction, sideAxis, upAxis;  // D, Rt, Vt
    F32 tipSide, tipVertical;             // unit tip offsets
    F32 spinLength;
    F32 contact;
    F32 cueSpeed;            // cue speed before the energy transfer
    F32 power;               // after the miscue and the energy transfer
    bool deflected = false;  // the miscue deflection ran: the strike ends with the pulse
};

class PhysicsModelA : public PhysicsModel {
public:
    PhysicsModelA(const ModelATraits& traits, std::uint32_t tableType, std::uint16_t ballCount)
        : PhysicsModel(tableType, ballCount), traits_(traits) {}

    const ModelATraits& Traits() const { return traits_; }
    ModelForms Forms() const override { return traits_.forms; }
    F32 CueMass() const { return cueMass_; }

    void SetParams() override;
    void SetTableParams() override;
    void StrikeBody(Ball& ball, F32 aimX, F32 aimY, ShotParams shot) override;
    void ApplyClothFriction(Ball& ball, F32 h, std::uint32_t kind) override;
    void CollideRails(Ball& ball, F32 dt) override;
    bool CollideRailZone(Vector3& position, const Vector3& velocity, F32 radiusCm, Vector3& normal,
                         RailZoneState& state, std::uint8_t railMask) override;
    bool ResolveCollisions() override;
    bool RailImpulse(Vector3& v, Vector3& w, Vector3& railVector, const CushionContact& c) override;
    void ResolveCushionImpact(Vector3& v, Vector3& w, const CushionContact& c) override;

    F32 RailSpeedFactor() const { return traits_.railSpeedFactor; }
    // Words of the parameter block that this model's operations read on its table (bit i for
    // word i); its set-up, after the default model's words, writes every one of them.
    std::uint64_t ParamWordsRead() const;
    // Scales a non-negative vertical tip offset by the cue elevation.
    F32 ScaleTipHeight(F32 power, F32 tipVertical, F32 elevation) const;

protected:
    // The common steps of the strike with the tip offsets already scaled. False when the aim
    // point is the ball centre or the contact time is not positive (nothing written).
    bool StrikeSetUp(Ball& ball, F32 aimX, F32 aimY, F32 tipSide, F32 tipVertical, const ShotParams& shot,
                     const StrikeSetUpForm& form, StrikeSetUpResult& out);
    // The contact simulation of 0x10005-0x1000F (no miscue deflection).
    void StrikeContact(Ball& ball, const ShotParams& shot, const StrikeSetUpResult& s);
    // 0x10001-0x10004: in place of the contact simulation, a downward pulse of a ball lying on
    // the table bounces off the bed.
    void StrikeBedBounce(Ball& ball, const StrikeSetUpResult& s);

    const ModelATraits& traits_;
    F32 cueMass_;
};

}  // namespace physics
