#pragma once
// The complete simulated state of one ball. Units: cm for positions, m/s for velocities, rad/s
// for spin, kg for mass; radius is in metres and radiusCm in centimetres.

#include <cstdint>

#include "physics/MathTypes.h"
#include "physics/TableGeometry.h"

namespace physics {

class PhysicsModel;

class Ball {
public:
    Ball(PhysicsModel* model, TableRecord* table, std::uint16_t id);

    // Sets the ball kind as the table world does: radius = radiusCm / 100, inertiaArm =
    // 0.4 radius. A size or mass that is not a finite positive number is refused (false, logged).
    bool SetSize(F32 radiusCmValue, F32 massValue);
    // Clears motion, rail and cue-timing state; keeps position, sizes, outOfPlay and cueActive.
    void ResetMotion();
    // An orientation drawn from a fresh generator seeded with `seed`.
    void RandomizeOrientation(std::uint32_t seed);
    bool IsAtRest() const {
        if (cueActive != 0) return false;
        if (outOfPlay != 0) return true;
        return velocity.IsZero() && spin.IsZero();
    }
    void RefreshTouchFlags();
    bool IsInsideCushions(F32 margin) const;
    bool IsWithinTableBounds(F32 margin) const;
    // The pocket (1..6) whose mouth the ball heads into, with the entry ratio (< 1).
    bool FindPocketEntry(std::uint8_t* pocket, F32* ratio) const;
    // Rail re-arm tests of the rail contact (k = 0 the x rails, 1 the y rails).
    bool RailContactRearmed(std::uint8_t k, const Vector3& normal);
    bool RailContactRearmedV1(std::uint8_t k, const Vector3& normal) const;

    std::uint16_t id;
    PhysicsModel* model;
    TableRecord* table;
    F32 radius;
    F32 radiusCm;
    F32 mass;
    F32 inertiaArm;
    Vector3 position;
    Vector3 velocity;
    Vector3 spin;
    std::uint8_t outOfPlay = 0;
    std::uint8_t railContact = 0;
    F32 railState[2];
    Quaternion orientation;
    std::uint8_t inPocketZone = 0;
    Vector3 cueLinear;
    Vector3 cueAngular;
    F32 cueTimeLeft;
    F32 cueDuration;
    F32 cueGain;
    std::uint8_t touchFlag[2] = {0, 0};
    F32 touchTime[2];
    std::uint8_t touchDone[2] = {0, 0};
    std::uint8_t cueActive = 0;
    Vector3 railVectors[2];
};

// For callers already behind a physics entry (Ball::IsInsideCushions opens one).
bool IsBallInsideCushions(const Ball& ball, const TableGeometry& g, F32 margin);

}  // namespace physics
