#pragma once
// Drawing a 3D preview into a rectangle of the 2D screen: the viewport, a depth clear, the
// transforms and depth test, the mesh's parts, and the 2D state back afterwards.

#include <functional>

#include "engine/core/Math.h"

class Mesh;
class RenderDevice;

namespace gui {

// A white key light along `direction` and a soft ambient light: the lights of a preview's lit
// materials (call it from DrawMeshInRect's `light`).
void UsePreviewLight(RenderDevice& device, const Vector3f& direction);

// `light` runs once the 3D state is set, before the parts are drawn (the preview's own lights,
// switched off again afterwards).
void DrawMeshInRect(RenderDevice& device, const Mesh& mesh, int x, int y, int w, int h, const Matrix4f& world,
                    const Matrix4f& view, const Matrix4f& projection, float alpha,
                    const std::function<void()>& light = {});

}  // namespace gui
