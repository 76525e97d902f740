#include "physics/PhysicsModel.h"

namespace physics {

bool PhysicsModel::CollidePocketZone(Ball&, F32) { return false; }
bool PhysicsModel::CollidePocket(Ball&, std::uint8_t, F32) { return false; }
bool PhysicsModel::LandOnBed(Ball&, F32) { return false; }
void PhysicsModel::DropIntoPocket(Ball&, std::uint8_t, F32) {}
bool Ball::FindPocketEntry(std::uint8_t*, F32*) const { return false; }

}  // namespace physics
