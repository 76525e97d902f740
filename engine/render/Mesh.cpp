#include "engine/render/Mesh.h"

#include <algorithm>
#include <cstring>

void MeshPart::IndexRange(std::uint32_t& lowest, std::uint32_t& highest) const {
    if (indices.empty()) {
        lowest = highest = 0;
        return;
    }
    auto [low, high] = std::minmax_element(indices.begin(), indices.end());
    lowest = *low;
    highest = *high;
}

Mesh::Mesh(const Mesh& other)
    : geometry(other.geometry),
      visibility(other.visibility),
      animationWord(other.animationWord),
      sphere(other.sphere),
      vertices(other.vertices) {
    geometry.placement = -1;
    for (const auto& part : other.parts) {
        auto copy = std::make_shared<MeshPart>(*part);
        copy->mesh = this;
        parts.push_back(std::move(copy));
    }
}

bool Mesh::SetVertices(std::uint32_t format, std::vector<std::uint8_t> bytes) {
    std::uint32_t stride = platform::vertex_format::Stride(format);
    if (bytes.size() % stride != 0) return false;
    geometry.format = format;
    geometry.vertexCount = static_cast<std::uint32_t>(bytes.size() / stride);
    geometry.byteSize = static_cast<std::uint32_t>(bytes.size());
    geometry.placement = -1;
    vertices = std::move(bytes);
    return true;
}

MeshPart& Mesh::AddPart(MaterialPtr material, std::vector<std::uint16_t> indices) {
    auto part = std::make_shared<MeshPart>();
    part->mesh = this;
    part->material = std::move(material);
    part->indices = std::move(indices);
    parts.push_back(part);
    return *part;
}

Vector3f Mesh::Position(std::uint32_t vertex) const {
    Vector3f p;
    std::size_t offset = static_cast<std::size_t>(vertex) * Stride();
    if (offset + 12 <= vertices.size()) std::memcpy(&p, vertices.data() + offset, 12);
    return p;
}

void Mesh::SetPosition(std::uint32_t vertex, const Vector3f& p) {
    std::size_t offset = static_cast<std::size_t>(vertex) * Stride();
    if (offset + 12 <= vertices.size()) std::memcpy(vertices.data() + offset, &p, 12);
}

namespace {

BoundingSphere SphereOf(const Mesh& mesh, const std::vector<std::uint16_t>* indices) {
    auto forEachVertex = [&](auto&& visit) {
        if (indices) {
            for (auto i : *indices)
                if (i < mesh.geometry.vertexCount) visit(mesh.Position(i));
        } else {
            for (std::uint32_t v = 0; v < mesh.geometry.vertexCount; ++v) visit(mesh.Position(v));
        }
    };
    Vector3f low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    bool any = false;
    forEachVertex([&](const Vector3f& p) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        any = true;
    });
    if (!any) return {};
    // Centred on the box, but as wide as the farthest vertex and no wider: the half diagonal of the
    // box would make a sphere mesh look sqrt(3) times its size to whoever sizes a model by it.
    const Vector3f centre = (low + high) * 0.5f;
    float radius = 0;
    forEachVertex([&](const Vector3f& p) { radius = std::max(radius, Length(p - centre)); });
    BoundingSphere sphere;
    sphere.center = ToFloat3(centre);
    sphere.radius = radius;
    return sphere;
}

}  // namespace

void Mesh::UpdateBounds() {
    sphere = SphereOf(*this, nullptr);
    for (auto& part : parts) part->sphere = SphereOf(*this, &part->indices);
}

MeshPart& Mesh::MutablePart(std::size_t index) {
    MeshPartPtr& part = parts.at(index);
    if (part.use_count() > 1) {
        part = std::make_shared<MeshPart>(*part);
        part->mesh = this;
    }
    return *part;
}

Material& Mesh::MutableMaterial(std::size_t partIndex) {
    MeshPart& part = MutablePart(partIndex);
    if (!part.material || part.material.use_count() > 1)
        part.material =
            part.material ? std::make_shared<Material>(*part.material) : std::make_shared<Material>();
    return *part.material;
}
