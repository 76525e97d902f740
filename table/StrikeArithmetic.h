#pragma once
// The two conversions the rules controller applies to a shot before the physics strike, in the
// physics arithmetic (control word 0x0F7F, extended intermediates, chopped f32 stores), because
// every client must hand the physics the same bits.

#include "physics/Numeric.h"

namespace table {

// elevation x 3.1415927 / 180.0 with f32 constants, stored once.
physics::F32 ElevationToRadians(physics::F32 degrees);

// Shortens a tip-offset pair by the cue tip's reach. With a = 0 the pair is left as it is.
// Otherwise, with the pair's length L and unit direction d: u = L r, w = b + r; x = u b / w when
// a / b > u / w, else x = a; the pair becomes (L - x / r) d. r is the struck ball's radius in cm.
void ReduceOffsetPair(physics::F32& side, physics::F32& vertical, physics::F32 a, physics::F32 b,
                      physics::F32 radiusCm);

}  // namespace table
