#include "table/TablePlane.h"

namespace table {

bool ScreenToTablePlane(const Matrix4f& m, float& outX, float& outY, float h, float w, float v, float mouseX,
                        float mouseY) {
    if (!(w > 0.0f) || !(v > 0.0f)) return false;
    auto at = [&m](int r, int c) { return At(m, r, c); };
    const float nx = (mouseX - w / 2) / (w / 2);
    const float ny = -(mouseY - v / 2) / (v / 2);
    const float p = nx * at(0, 2) + ny * at(1, 2) + at(3, 2);
    const float q = nx * at(0, 3) + ny * at(1, 3) + at(3, 3);
    const float denominator = p * at(2, 3) - q * at(2, 2);
    // A ray parallel to the plane, or a projection without a perspective row, has no crossing.
    if (denominator == 0.0f || at(2, 3) == 0.0f) return false;
    const float t = (h * at(2, 3) - at(2, 2)) / denominator;
    const float a = t * nx;
    const float b = t * ny;
    const float c = (1 - a * at(0, 3) - b * at(1, 3) - t * at(3, 3)) / at(2, 3);
    outX = a * at(0, 0) + b * at(1, 0) + c * at(2, 0) + t * at(3, 0);
    outY = a * at(0, 1) + b * at(1, 1) + c * at(2, 1) + t * at(3, 1);
    return true;
}

float StepTowards(float current, float step, float target) {
    const float s = current + step;
    const bool stepPositive = step >= 0.0f;
    const bool pastPositive = (s - target) >= 0.0f;
    return stepPositive == pastPositive ? target : s;
}

}  // namespace table
