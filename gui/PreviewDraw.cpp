#include "gui/PreviewDraw.h"

#include "engine/render/Mesh.h"
#include "engine/render/RenderDevice.h"

namespace gui {

void UsePreviewLight(RenderDevice& device, const Vector3f& direction) {
    platform::LightRecord key;
    key.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    key.direction[0] = direction.x, key.direction[1] = direction.y, key.direction[2] = direction.z;
    device.DisableAllLights();
    device.AddDirectionalLight(key);
    device.SetAmbientColor(0.45f, 0.45f, 0.45f, 1.0f);
    device.EnableLights(true, false, true);
}

void DrawMeshInRect(RenderDevice& device, const Mesh& mesh, int x, int y, int w, int h, const Matrix4f& world,
                    const Matrix4f& view, const Matrix4f& projection, float alpha,
                    const std::function<void()>& light) {
    const platform::Viewport saved = device.GetViewport();
    device.SetViewport(x, y, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
    device.Backend().Clear(platform::clear_flags::kDepth, 0, 1.0f);
    device.SetTransform(platform::TransformKind::World, &world);
    device.SetTransform(platform::TransformKind::View, &view);
    device.SetTransform(platform::TransformKind::Projection, &projection);
    device.SetRenderState(platform::RState::ZEnable, 1);
    device.SetRenderState(platform::RState::ZWriteEnable, 1);
    device.SetCullMode(0);
    device.SetMaterialAlpha(alpha);
    if (light) light();
    std::uint32_t drawn = 0;
    for (const auto& part : mesh.parts) device.DrawPart(*part, true, drawn);
    if (light) {
        device.DisableAllLights();
        device.EnableLights(false, false, false);
    }
    device.SetViewport(saved.x, saved.y, saved.width, saved.height);
    device.Begin2D();
}

}  // namespace gui
