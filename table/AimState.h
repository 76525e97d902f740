#pragma once
// The own aim: the direction around the cue ball, the tip offsets, the cue elevation and the
// power being charged.

#include <cmath>

#include "table/WorldConstants.h"

namespace table {

class AimState {
public:
    // Direction of the shot in the table plane, degrees counter-clockwise from +x, kept in
    // [0, 360]: an angle below 0 gains turns of 360 until it is not, one above 360 loses them until
    // it is not, so 360 and its multiples stay 360. The remainder stands in for the repeated steps
    // (the same result for every angle, and no endless loop for a huge one).
    void SetYawDegrees(float degrees) {
        if (!std::isfinite(degrees)) return;
        if (degrees < 0) {
            degrees = std::fmod(degrees, 360.0f);
            degrees = degrees < 0 ? degrees + 360.0f : 0.0f;
        } else if (degrees > 360.0f) {
            degrees = std::fmod(degrees, 360.0f);
            if (degrees == 0) degrees = 360.0f;
        }
        yawDegrees_ = degrees;
    }
    float YawDegrees() const { return yawDegrees_; }
    void TurnDegrees(float delta) { SetYawDegrees(yawDegrees_ + delta); }

    void SetTipOffset(float side, float vertical) {
        tipSide_ = Clamp(side, -kMaxTipOffset, kMaxTipOffset);
        tipVertical_ = Clamp(vertical, -kMaxTipOffset, kMaxTipOffset);
        // The tip stays on the ball's face: an offset pair longer than 1 is brought back to it.
        const float length = std::sqrt(tipSide_ * tipSide_ + tipVertical_ * tipVertical_);
        if (length > kMaxTipOffset) {
            tipSide_ /= length;
            tipVertical_ /= length;
        }
    }
    float TipSide() const { return tipSide_; }
    float TipVertical() const { return tipVertical_; }

    // The elevation never drops below the least one that clears balls and cushions.
    void SetElevationDegrees(float degrees) {
        elevationDegrees_ = Clamp(degrees, minElevationDegrees_, kMaxElevationDegrees);
    }
    float ElevationDegrees() const { return elevationDegrees_; }
    void SetMinElevationDegrees(float degrees) {
        minElevationDegrees_ = Clamp(degrees, 0.0f, kMaxElevationDegrees);
        if (elevationDegrees_ < minElevationDegrees_) elevationDegrees_ = minElevationDegrees_;
    }
    float MinElevationDegrees() const { return minElevationDegrees_; }

    void SetPower(float power) { power_ = Clamp(power, 0.0f, 1.0f); }
    float Power() const { return power_; }

    // The point the cue ball is struck toward, kAimPointDistance from it along the aim.
    void AimPoint(float cueX, float cueY, float& x, float& y) const {
        const float radians = yawDegrees_ * kRadiansPerDegree;
        x = cueX + std::cos(radians) * kAimPointDistance;
        y = cueY + std::sin(radians) * kAimPointDistance;
    }

private:
    static float Clamp(float v, float lo, float hi) {
        if (!std::isfinite(v)) return lo;
        return v < lo ? lo : v > hi ? hi : v;
    }

    float yawDegrees_ = 0;
    float tipSide_ = 0, tipVertical_ = 0;
    float elevationDegrees_ = 0;
    float minElevationDegrees_ = 0;
    float power_ = 0;
};

}  // namespace table
