#pragma once
// The own aim: the direction around the cue ball, the tip offsets, the cue elevation and the
// power being charged.

#include <cmath>

#include "table/WorldConstants.h"

namespace table {

class AimState {
public:
    // Direction of the shot in the table plane, degrees counter-clockwise from +x, kept in [0, 360).
    void SetYawDegrees(float degrees) {
        if (!std::isfinite(degrees)) return;
        degrees = std::fmod(degrees, 360.0f);
        yawDegrees_ = degrees < 0 ? degrees + 360.0f : degrees;
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
