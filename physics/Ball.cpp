#include "physics/Ball.h"

#include "engine/core/Lcg.h"
#include "engine/core/Log.h"
#include "physics/PhysicsEntry.h"

namespace physics {

Ball::Ball(PhysicsModel* owner, TableRecord* tableRecord, std::uint16_t index)
    : id(index),
      model(owner),
      table(tableRecord),
      radius(30.5f),
      radiusCm(3050.0f),
      mass(0.25f),
      inertiaArm(12.2f) {
    ResetMotion();
}

void Ball::ResetMotion() {
    velocity = Vector3();
    spin = Vector3();
    railContact = 0;
    railState[0] = railState[1] = F32(0.0f);
    railVectors[0] = railVectors[1] = Vector3();
    inPocketZone = 0;
    for (int i = 0; i < 2; ++i) {
        touchFlag[i] = 0;
        touchTime[i] = F32(0.0f);
        touchDone[i] = 0;
    }
    cueTimeLeft = F32(0.0f);
    if (!(orientation.Length() > F32(0.0f))) orientation = Quaternion();
}

namespace {
PHYSICS_BEHIND_ENTRY Quaternion OrientationFromSeed(std::uint32_t seed) {
    Lcg lcg;
    lcg.Seed(seed);
    // The draws are below 180 and 100: exact as floats.
    auto draw = [&lcg](std::uint32_t modulus) {
        const std::uint32_t value = lcg.Next() % modulus;
        return St(FromInteger(value));
    };
    const F32 angleDegrees = draw(180);
    const F32 angle = St(angleDegrees * kPi / F32(180.0f));
    Vector3 axis;
    axis.x = draw(100);
    axis.y = draw(100);
    axis.z = draw(100);
    axis.Normalize();
    Quaternion q;
    q.FromAxisAngle(angle, axis);
    return q;
}
}  // namespace

void Ball::RandomizeOrientation(std::uint32_t seed) {
    PhysicsEntry entry;
    orientation = OrientationFromSeed(seed);
}

namespace {
PHYSICS_BEHIND_ENTRY void DeriveSizes(Ball& ball) {
    ball.radius = St(ball.radiusCm / 100.0f);
    ball.inertiaArm = St(ball.radius * 0.4f);
}
}  // namespace

bool Ball::SetSize(F32 radiusCmValue, F32 massValue) {
    PhysicsEntry entry;
    if (!IsFinite(radiusCmValue) || !IsFinite(massValue) || !(radiusCmValue > F32(0.0f)) ||
        !(massValue > F32(0.0f))) {
        LogWrite(u"physics: ball kind refused: radius and mass must be finite and above 0\n");
        return false;
    }
    radiusCm = radiusCmValue;
    mass = massValue;
    DeriveSizes(*this);
    return true;
}

void Ball::RefreshTouchFlags() {
    for (int i = 0; i < 2; ++i) {
        touchFlag[i] = touchTime[i] > F32(0.0f) ? 1 : 0;
        touchDone[i] = 0;
    }
}

bool IsBallInsideCushions(const Ball& ball, const TableGeometry& g, F32 margin) {
    const F32 m = St(ball.radiusCm + margin);
    const Vector3& p = ball.position;
    return g.cushion.xMin + m < p.x && p.x < g.cushion.xMax - m && g.cushion.yMin + m < p.y &&
           p.y < g.cushion.yMax - m;
}

namespace {
PHYSICS_BEHIND_ENTRY bool InsideCushions(const Ball& ball, F32 margin) {
    return IsBallInsideCushions(ball, ball.table->geometry, margin);
}
PHYSICS_BEHIND_ENTRY bool WithinTableBounds(const Ball& ball, F32 margin) {
    const TableGeometry& g = ball.table->geometry;
    const F32 m = St(ball.radiusCm + margin);
    const Vector3& p = ball.position;
    return g.frame.xMin - m < p.x && p.x < g.frame.xMax + m && g.frame.yMin - m < p.y &&
           p.y < g.frame.yMax + m;
}
}  // namespace

// Callers outside the physics (the table world, tests) get the physics rounding too.
bool Ball::IsInsideCushions(F32 margin) const {
    PhysicsEntry entry;
    return InsideCushions(*this, margin);
}

bool Ball::IsWithinTableBounds(F32 margin) const {
    PhysicsEntry entry;
    return WithinTableBounds(*this, margin);
}

bool Ball::RailContactRearmed(std::uint8_t k, const Vector3& n) {
    if (touchFlag[k] == 0) return false;
    if (static_cast<std::int8_t>(touchDone[k]) < 4) {
        ++touchDone[k];
        return false;
    }
    return ((velocity.z * n.z + velocity.y * n.y) + velocity.x * n.x) < Ext(0.0f);
}

bool Ball::RailContactRearmedV1(std::uint8_t k, const Vector3& n) const {
    if (touchFlag[k] == 0) return false;
    return ((velocity.z * n.z + velocity.y * n.y) + velocity.x * n.x) < Ext(0.0f);
}

}  // namespace physics
