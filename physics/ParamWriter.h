#pragma once
// Writes of the parameter block by the models' set-ups; each write is recorded so that a read
// of a word no set-up in this process has written can be reported.

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

}  // namespace physics
