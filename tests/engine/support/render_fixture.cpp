#include "tests/engine/support/render_fixture.h"

#include <cstring>

#include "engine/render/RenderNodes.h"

namespace render_test {

Fixture::Fixture() {
    platform::SetClock(&clock);
    auto recording = std::make_unique<platform::RecordingBackend>();
    backend = recording.get();
    device = std::make_unique<RenderDevice>(std::move(recording));
    device->SetDisplayMode(platform::DisplayMode{});
    device->ApplyDisplayMode();
    backend->ClearLog();
}

Fixture::~Fixture() {
    platform::SetClock(nullptr);
}

TexturePtr Fixture::MakeTexture(std::uint32_t size) {
    return Texture::CreateRgba(device.get(), size, size, std::vector<std::uint8_t>(size * size * 4, 200));
}

MeshPtr MakeMesh(std::uint32_t format, std::uint32_t vertexCount, const std::vector<MaterialPtr>& materials,
                 std::uint32_t trianglesPerPart) {
    auto mesh = std::make_shared<Mesh>();
    std::uint32_t stride = platform::vertex_format::Stride(format);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(vertexCount) * stride, 0);
    for (std::uint32_t v = 0; v < vertexCount; ++v) {
        float p[3] = {static_cast<float>(v % 100), 0.0f, static_cast<float>(v / 100)};
        std::memcpy(bytes.data() + static_cast<std::size_t>(v) * stride, p, sizeof p);
    }
    mesh->SetVertices(format, std::move(bytes));
    std::uint32_t next = 0;
    for (const auto& material : materials) {
        std::vector<std::uint16_t> indices;
        for (std::uint32_t t = 0; t < trianglesPerPart; ++t)
            for (int k = 0; k < 3; ++k)
                indices.push_back(static_cast<std::uint16_t>((next + t + k) % vertexCount));
        next += trianglesPerPart;
        mesh->AddPart(material, std::move(indices));
    }
    mesh->UpdateBounds();
    return mesh;
}

MaterialPtr MakeMaterial(std::uint32_t flags, TexturePtr diffuse, std::uint8_t lit) {
    auto material = std::make_shared<Material>();
    if (diffuse) material->SetStage(kDiffuseSlot, diffuse);
    material->flags |= flags;
    material->lit = lit;
    return material;
}

SceneNodePtr MakeNode(MeshPtr mesh, std::uint16_t blend) {
    auto node = std::make_shared<SceneNode>();
    node->SetMesh(0, std::move(mesh));
    node->blendMode = blend;
    return node;
}

std::vector<std::string> TreePaths(RenderSortTree& tree) {
    struct PathVisitor final : RenderVisitor {
        std::vector<std::string> stack, paths;
        bool Enter(RenderNode& node, bool& descend) override {
            descend = true;
            stack.push_back(node.Label());
            bool holder = dynamic_cast<PartBatchNode*>(&node) || dynamic_cast<BlendedGroupNode*>(&node) ||
                          dynamic_cast<SpriteGroupNode*>(&node);
            if (holder) {
                std::string path;
                for (const auto& label : stack) path += (path.empty() ? "" : ">") + label;
                paths.push_back(path);
            }
            return true;
        }
        bool Leave(RenderNode&) override {
            stack.pop_back();
            return true;
        }
    } visitor;
    tree.Accept(visitor);
    return visitor.paths;
}

}  // namespace render_test
