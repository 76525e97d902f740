#pragma once
// Branch A: the models 0x10001 to 0x1000F. They share one class layout (the base plus the cue
// mass); each id picks its constants and the generation of every operation from its traits.

#include "physics/PhysicsModel.h"

namespace physics {

struct ModelATraits {
    std::uint32_t id;
    StrikeForm strike;
    FrictionForm friction;
    RailGeneration rails;     // CollideRails body
    RailGeneration railZone;  // CollideRailZone body (First = the base geometry)
    ImpulseForm impulse;
    CollisionForm collisions;
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

const ModelATraits& TraitsOfModelA(std::uint32_t id);

class PhysicsModelA : public PhysicsModel {
public:
    PhysicsModelA(const ModelATraits& traits, std::uint32_t tableType, std::uint16_t ballCount)
        : PhysicsModel(tableType, ballCount), traits_(traits) {}

    const ModelATraits& Traits() const { return traits_; }
    F32 CueMass() const { return cueMass_; }

    void StrikeBody(Ball& ball, F32 aimX, F32 aimY, ShotParams shot) override;
    void SetParams() override;
    void SetTableParams() override;
    void ResolveCushionImpact(Vector3& v, Vector3& w, const CushionContact& c) override;

    F32 RailSpeedFactor() const { return traits_.railSpeedFactor; }
    // Scales a non-negative vertical tip offset by the cue elevation.
    F32 ScaleTipHeight(F32 power, F32 tipVertical, F32 elevation) const;

protected:
    // The strike of 0x10001-0x10004: no contact simulation, a bed bounce instead.
    void StrikeFirstGeneration(Ball& ball, F32 aimX, F32 aimY, ShotParams shot);

    const ModelATraits& traits_;
    F32 cueMass_;
};

}  // namespace physics
