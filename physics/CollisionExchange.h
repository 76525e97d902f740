#pragma once
// The steps of the ball-collision bodies that every generation runs alike: the spin of a contact
// point, the sliding-friction forces of a pair and the spin they turn.

#include "physics/Ball.h"

namespace physics {

// (n x spin) r per component as the bodies of 0x10000 and of branch B take it, the cross product stored
// before the lever.
Vector3 ContactSpin(const Vector3& w, const Vector3& n, F32 r);

// The friction forces of a sliding pair: `onA` is added to ball a, `fromB` taken from ball b;
// each is the ball's own slide against the other's, mixed by `mix`.
struct PairFriction {
    Vector3 onA, fromB;
};
PairFriction MixFriction(const Vector3& slideA, const Vector3& slideB, F32 mix);

// Turns the spins of a and b by (f x n) / inertia arm of the friction forces of `f`.
void TurnSpins(Ball& a, Ball& b, const PairFriction& f, const Vector3& n, F32 inertiaA, F32 inertiaB);

}  // namespace physics
