#pragma once
// The model factory, its cache and the model set up last.

#include <cstdint>
#include <memory>

#include "physics/PhysicsModel.h"

namespace physics {

// Makes (or, with useCache, reuses) the model of `modelId` for the table type and ball count,
// builds its table geometry and loads the parameter block. Null for an id outside
// 0x10000-0x10014 or a table type outside 0-11 (logged).
std::shared_ptr<PhysicsModel> CreatePhysicsModel(std::uint32_t modelId, std::uint32_t tableType,
                                                 std::uint16_t ballCount, bool useCache);

// The model most recently returned by the factory (null before any).
PhysicsModel* CurrentPhysicsModel();

// Drops the cached models (tests and tools; the client keeps them until exit).
void ClearPhysicsModelCache();

}  // namespace physics
