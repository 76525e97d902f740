#pragma once
// What the shot benchmarks share: the three balls of the shot, back at their start.

#include "physics/PhysicsModel.h"

namespace benchshots {

// Puts balls 0-2 back at the start of the shot, still, in play and without a cue contact.
inline void PlaceThreeBalls(physics::PhysicsModel& m) {
    using physics::F32;
    const F32 r = m.GetBall(0).radiusCm;
    const physics::Vector3 start[3] = {
        {F32(-50.0f), F32(-7.0f), r}, {F32(40.0f), F32(10.0f), r}, {F32(20.0f), F32(-30.0f), r}};
    for (int i = 0; i < 3; ++i) {
        physics::Ball& b = m.GetBall(i);
        b.ResetMotion();
        b.outOfPlay = 0;
        b.cueActive = 0;
        b.position = start[i];
    }
}

}  // namespace benchshots
