// Branch A: each operation picks its form from the model's traits.
#include "physics/PhysicsModelA.h"

namespace physics {

void PhysicsModelA::ApplyClothFriction(Ball& ball, F32 h, std::uint32_t kind) {
    ClothFrictionForm form;
    form.form = traits_.forms.friction;
    form.kind0Slope =
        traits_.forms.friction == FrictionForm::From1000A ? traits_.clothLoadSlope : F32(0.00002f);
    if (traits_.forms.friction == FrictionForm::From1000A) {
        form.slideShareLinear = traits_.slideShareLinear;
        form.slideShareSpin = traits_.slideShareSpin;
    }
    form.railSpeedFactor = traits_.railSpeedFactor;
    ApplyClothFrictionShared(ball, h, kind, form);
}

void PhysicsModelA::CollideRails(Ball& ball, F32 dt) {
    if (traits_.forms.rails == RailForm::From10001)
        CollideRails10001(ball, dt);
    else
        CollideRailsShared(ball, dt, traits_.forms.rails);
}

bool PhysicsModelA::CollideRailZone(Vector3& position, const Vector3&, F32 radiusCm, Vector3& normal,
                                    RailZoneState& state, std::uint8_t railMask) {
    return CollideRailZoneShared(position, radiusCm, normal, state, railMask, traits_.forms.railZone);
}

}  // namespace physics
