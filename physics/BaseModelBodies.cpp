// Wiring of the base model's cloth friction: the first form with the base differences (load
// slope 0.00004 for contact kind 0, the spin about the vertical kept when a rolling ball stops,
// the decay quotient not stored).
#include "physics/PhysicsModel.h"

namespace physics {

void PhysicsModel::ApplyClothFriction(Ball& ball, F32 h, std::uint32_t kind) {
    ClothFrictionForm form;
    form.form = FrictionForm::From10000;
    form.kind0Slope = F32(0.00004f);
    form.baseVariant = true;
    ApplyClothFrictionShared(ball, h, kind, form);
}

}  // namespace physics
