#include "physics/PhysicsModelB.h"

namespace physics {

void PhysicsModelB::StrikeBody(Ball&, F32, F32, ShotParams) {}
void PhysicsModelB::ApplyClothFriction(Ball&, F32, std::uint32_t) {}
void PhysicsModelB::CollideRails(Ball&, F32) {}
bool PhysicsModelB::CollideRailZone(Vector3&, const Vector3&, F32, RailZoneResult&, std::uint8_t) { return false; }
bool PhysicsModelB::ResolveCollisions() { return AllBallsRest(); }
bool PhysicsModelB::RailImpulse(Vector3&, Vector3&, Vector3&, const CushionContact&) { return false; }

}  // namespace physics
