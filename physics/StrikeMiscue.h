#pragma once
// The steps of the cue strike that the base model and branch B run alike: the shot frame,
// the shaping of a miscue's slide with what it leaves of the contact, and the deflection of a
// miscued cue. Dot products run x, then z, then y.

#include "physics/PhysicsModel.h"

namespace physics {

// (2 - sqrt(4 - q q 4)) / (q + q): the tangent of half the contact angle for the offset q.
F32 HalfAngleTangent(F32 q);

// The unit axes of a shot and the lengths of its offsets.
struct StrikeFrame {
    Vector3 direction;  // D, along the cue
    Vector3 side;       // S = up x D
    Vector3 up;         // V = D x S
    Vector3 spinAxis;   // S tV - V tS
    F32 limitLength;    // of the offset limits, at most 1
    F32 tipLength;      // of the tip offsets
};

// dx, dy run from the ball to the aim point; hc is the cosine of the elevation as the strike
// takes it and zc = -(sine of the elevation x the aim distance). A steep cue takes its up
// reference from (dx, dy), divided by hc when `divideSteepUp`. The offsets of `shot` are made
// unit length in place.
StrikeFrame MakeStrikeFrame(F32 dx, F32 dy, F32 hc, F32 zc, bool divideSteepUp, ShotParams& shot);

// A contact that may miscue. On entry `slide` is the slide time before shaping, `t` the end of
// the contact, `tipLength` and `power` as the frame and the shot give them.
struct MiscueContact {
    F32 slide;
    F32 t;
    F32 tipLength;
    F32 power;
    F32 powerBefore;  // the power before the share of the contact is taken
};

// Shapes the slide of a miscue (and reports it), clamps the contact end to [tHit, tMax], folds
// the contact angle into the tip length and keeps the share of the power that the contact
// transfers. hitTangent is the half-angle tangent of the offset limit, speed the cue speed, r
// the ball radius and contact the contact time.
void ShapeMiscue(MiscueContact& m, F32 contact, F32 tHit, F32 tMax, F32 hitTangent, F32 speed, F32 r,
                 F32 limitLength);

// The pulse that a miscued cue adds along the deflected normal: its speed is
// speedScale x power x slide / contact, times `share`.
Vector3 MiscueDeflection(const StrikeFrame& f, F32 limit, F32 tipSide, F32 tipVertical, F32 speedScale,
                         F32 power, F32 slide, F32 contact, F32 share);

}  // namespace physics
