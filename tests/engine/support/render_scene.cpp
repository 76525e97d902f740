#include <cstring>

#include "tests/engine/support/render_fixture.h"

namespace render_test {

namespace {

struct LitVertex {
    float x, y, z, nx, ny, nz;
    std::uint32_t colour;
    float u, v;
};

MeshPtr MeshOf(const std::vector<LitVertex>& vertices, std::vector<std::uint16_t> indices,
               MaterialPtr material) {
    auto mesh = std::make_shared<Mesh>();
    std::vector<std::uint8_t> bytes(vertices.size() * sizeof(LitVertex));
    std::memcpy(bytes.data(), vertices.data(), bytes.size());
    mesh->SetVertices(kLitFormat, std::move(bytes));
    mesh->AddPart(std::move(material), std::move(indices));
    mesh->UpdateBounds();
    return mesh;
}

}  // namespace

// Faces are wound clockwise seen from outside (the front-face rule of the device).
MeshPtr MakeBox(const Vector3f& l, const Vector3f& h, std::uint32_t argb, MaterialPtr material) {
    std::vector<LitVertex> v;
    std::vector<std::uint16_t> idx;
    auto face = [&](Vector3f a, Vector3f b, Vector3f c, Vector3f d, Vector3f n) {
        auto base = static_cast<std::uint16_t>(v.size());
        for (auto [p, uv] :
             {std::pair{a, std::pair{0.f, 0.f}}, {b, {1.f, 0.f}}, {c, {1.f, 1.f}}, {d, {0.f, 1.f}}})
            v.push_back({p.x, p.y, p.z, n.x, n.y, n.z, argb, uv.first, uv.second});
        for (int k : {0, 1, 2, 0, 2, 3}) idx.push_back(static_cast<std::uint16_t>(base + k));
    };
    face({l.x, h.y, l.z}, {l.x, h.y, h.z}, {h.x, h.y, h.z}, {h.x, h.y, l.z}, {0, 1, 0});   // top
    face({l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, l.y, h.z}, {l.x, l.y, h.z}, {0, -1, 0});  // bottom
    face({l.x, l.y, l.z}, {l.x, h.y, l.z}, {h.x, h.y, l.z}, {h.x, l.y, l.z}, {0, 0, -1});  // front
    face({h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}, {l.x, l.y, h.z}, {0, 0, 1});   // back
    face({l.x, l.y, h.z}, {l.x, h.y, h.z}, {l.x, h.y, l.z}, {l.x, l.y, l.z}, {-1, 0, 0});  // left
    face({h.x, l.y, l.z}, {h.x, h.y, l.z}, {h.x, h.y, h.z}, {h.x, l.y, h.z}, {1, 0, 0});   // right
    return MeshOf(v, std::move(idx), std::move(material));
}

MeshPtr MakeFloorQuad(float x0, float z0, float x1, float z1, float y, std::uint32_t argb,
                      MaterialPtr material) {
    std::vector<LitVertex> v = {{x0, y, z0, 0, 1, 0, argb, 0, 1},
                                {x0, y, z1, 0, 1, 0, argb, 0, 0},
                                {x1, y, z1, 0, 1, 0, argb, 1, 0},
                                {x1, y, z0, 0, 1, 0, argb, 1, 1}};
    return MeshOf(v, {0, 1, 2, 0, 2, 3}, std::move(material));
}

void BuildTableScene(Scene& scene, RenderDevice& device) {
    auto cloth = std::make_shared<Material>();
    cloth->colours.diffuse = {1, 1, 1, 1};
    auto wood = std::make_shared<Material>();
    // A checker texture on the bed shows the texture path.
    std::vector<std::uint8_t> checker(16 * 16 * 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t c = ((x / 4 + y / 4) % 2) ? 255 : 200;
            std::uint8_t* p = &checker[static_cast<std::size_t>(y * 16 + x) * 4];
            p[0] = p[1] = p[2] = c;
            p[3] = 255;
        }
    cloth->SetStage(kDiffuseSlot, Texture::CreateRgba(&device, 16, 16, checker));

    auto table = std::make_shared<SceneNode>();
    table->name = "table";
    table->SetMesh(0, MakeBox({-140, -10, -70}, {140, 0, 70}, 0xFF1E8C3C, cloth));
    auto addChild = [&](MeshPtr mesh) {
        auto node = std::make_shared<SceneNode>();
        node->SetMesh(0, std::move(mesh));
        table->AddChild(node);
    };
    addChild(MakeBox({-155, -10, -85}, {155, 8, -70}, 0xFF6B3A1E, wood));
    addChild(MakeBox({-155, -10, 70}, {155, 8, 85}, 0xFF6B3A1E, wood));
    addChild(MakeBox({-155, -10, -70}, {-140, 8, 70}, 0xFF6B3A1E, wood));
    addChild(MakeBox({140, -10, -70}, {155, 8, 70}, 0xFF6B3A1E, wood));
    scene.AddObject(table);

    auto glass = std::make_shared<Material>();
    glass->lit = 0;
    auto marker = std::make_shared<SceneNode>();
    marker->blendMode = 1;
    marker->SetMesh(0, MakeFloorQuad(-40, -30, 40, 30, 1, 0x80FFFFFF, glass));
    scene.AddObject(marker);

    platform::LightRecord light;
    light.diffuse = {1, 1, 1, 1};
    light.ambient = {0, 0, 0, 1};
    light.direction[0] = 0.3f;
    light.direction[1] = -1;
    light.direction[2] = 0.2f;
    scene.Content().directionalLights[1] = std::make_shared<Light>(light);
    scene.Content().ambient = {0.35f, 0.35f, 0.35f, 1};
    Camera& camera = scene.CurrentCamera();
    camera.SetProjectionParams(160, 120, 0.9f, 0.75f, 10, 2000);
    camera.SetLookAt({0, 260, -260}, {0, 0, 0}, {0, 1, 0}, {0, 1, 0});
}

}  // namespace render_test
