#pragma once
// Float helpers of the render code: the shared value types (engine/core/Math.h) and their
// conversions to and from the resource records.

#include "engine/core/Math.h"
#include "engine/resource/ResourceTypes.h"

inline Vector3f ToVector(const Float3& f) {
    return {f.x, f.y, f.z};
}
inline Float3 ToFloat3(const Vector3f& v) {
    return {v.x, v.y, v.z};
}
