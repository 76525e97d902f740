#pragma once
// Picking on the table plane and the clamped step the camera rig and the aim move by.

#include "engine/core/Math.h"

namespace table {

// The point on the horizontal plane z = planeHeight under the mouse. `inverseViewProjection` is the
// inverse of the view-projection matrix (row-vector convention). Returns false (outputs untouched)
// when the plane is parallel to the view ray or the viewport empty.
bool ScreenToTablePlane(const Matrix4f& inverseViewProjection, float& outX, float& outY, float planeHeight,
                        float viewportWidth, float viewportHeight, float mouseX, float mouseY);

// current + step, but never past target.
float StepTowards(float current, float step, float target);

}  // namespace table
