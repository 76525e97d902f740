#pragma once
// Writes of the parameter block by the models' set-ups; each write is recorded, so that a test can
// show that every word a model reads was written by its set-up.

#include <cstring>

#include "physics/PhysicsParams.h"

namespace physics {

inline void Put(F32& field, F32 value) {
    field = value;
    MarkParamsWritten(std::uint64_t{1} << ParamWordIndex(&field));
}

// Writes word `index` (0-40) of the block.
inline void PutWord(PhysicsParams& params, int index, F32 value) {
    std::memcpy(reinterpret_cast<char*>(&params) + 4 * index, &value, 4);
    MarkParamsWritten(std::uint64_t{1} << index);
}

inline void PutSet(F32 (&set)[4], F32 a, F32 b, F32 c, F32 d) {
    Put(set[0], a);
    Put(set[1], b);
    Put(set[2], c);
    Put(set[3], d);
}

// The table words that the set-ups of branches A and B write alike, whatever the table: friction
// sets 1 and 2, the bed and rail-top bounces and the pocket drop.
inline void PutBranchTableWords(TableParams& t) {
    PutSet(t.frictionSets[1], 1.0f, 0.5f, 0.2f, 0.4f);
    PutSet(t.frictionSets[2], 0.25f, 0.6f, 0.008f, 0.8f);
    Put(t.bedRestitution, 0.2f);
    Put(t.bedSettleRate, 200.0f);
    Put(t.railTopRestitution, 0.4f);
    Put(t.railTopStopRate, 40.0f);
    Put(t.pocketDropA, 2000.0f);
    Put(t.pocketFloorFriction, 0.025f);
}

}  // namespace physics
