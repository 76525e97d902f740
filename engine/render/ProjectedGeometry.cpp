#include "engine/render/ProjectedGeometry.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

float Signed(const Plane& plane, const Vector3f& p) {
    return Dot(plane.normal, p) + plane.distance;
}

float MaxScale(const Matrix4f& m) {
    float sx = Length({At(m, 0, 0), At(m, 0, 1), At(m, 0, 2)});
    float sy = Length({At(m, 1, 0), At(m, 1, 1), At(m, 1, 2)});
    float sz = Length({At(m, 2, 0), At(m, 2, 1), At(m, 2, 2)});
    return std::max({sx, sy, sz});
}

}  // namespace

bool SphereInsidePlanes(const Vector3f& centre, float radius, const PlaneSet& planes) {
    for (const auto& plane : planes)
        if (Signed(plane, centre) < -radius) return false;
    return true;
}

void ClipPolygonByPlanes(const PlaneSet& planes, std::vector<Vector3f>& pool, std::size_t& poolUsed,
                         std::vector<const Vector3f*>& polygon) {
    std::vector<const Vector3f*> output;
    for (const auto& plane : planes) {
        if (polygon.size() < 3) break;
        output.clear();
        const Vector3f* previous = polygon.back();
        float sPrevious = Signed(plane, *previous);
        for (const Vector3f* current : polygon) {
            float sCurrent = Signed(plane, *current);
            if (sPrevious * sCurrent < 0 && poolUsed < pool.size()) {
                float denominator = Dot(plane.normal, *previous - *current);
                float t = std::fabs(denominator) >= FLT_EPSILON ? sPrevious / denominator : 0.0f;
                pool[poolUsed] = *previous - (*previous - *current) * t;
                output.push_back(&pool[poolUsed++]);
            }
            if (sCurrent >= 0) output.push_back(current);
            previous = current;
            sPrevious = sCurrent;
        }
        polygon.swap(output);
    }
}

ProjectedGeometry::ProjectedGeometry() : mesh_(std::make_shared<Mesh>()) {
    mesh_->SetVertices(kFormat, {});
    mesh_->visibility.dynamic = 1;
    auto material = std::make_shared<Material>();
    material->lit = 0;
    mesh_->AddPart(material, {});
}

void ProjectedGeometry::Project(const Sprite& sprite, const SceneNode& sceneRoot, const Vector3f& c,
                                const Vector3f& U, const Vector3f& D, float depth, bool bandFilter) {
    word_ = sprite.word;
    value_ = sprite.value;
    bandFilter_ = bandFilter ? 1 : 0;
    empty_ = 0;

    Texture* texture = sprite.FirstTexture();
    // Without a texture the image fills the box (texture size = image size).
    float W = texture ? static_cast<float>(texture->Width()) : sprite.imageWidth;
    float H = texture ? static_cast<float>(texture->Height()) : sprite.imageHeight;
    float A = sprite.imageWidth > 0 ? sprite.imageWidth : W;
    float Bh = sprite.imageHeight > 0 ? sprite.imageHeight : H;
    float left = sprite.pivotX * sprite.scaleX, right = (sprite.width - sprite.pivotX) * sprite.scaleX;
    float top = sprite.pivotY * sprite.scaleY, bottom = (sprite.height - sprite.pivotY) * sprite.scaleY;
    float uSize = A > 0 ? sprite.width * sprite.scaleX * W / A : 0;
    float vSize = Bh > 0 ? sprite.height * sprite.scaleY * H / Bh : 0;
    float uBase = sprite.texelLeft == -1 || W <= 0 ? 0 : sprite.texelLeft / W;
    float vBase = sprite.texelTop == -1 || H <= 0 ? 0 : sprite.texelTop / H;

    Vector3f B = Cross(U, D);
    planes_ = {{-B, Dot(B, c) + left},  {-U, Dot(U, c) + top},   {B, right - Dot(B, c)},
               {U, bottom - Dot(U, c)}, {-D, Dot(D, c) + depth}, {D, depth - Dot(D, c)}};
    frame_ = {left, top, uSize != 0 ? uSize : 1, vSize != 0 ? vSize : 1, uBase, vBase, c, -B, -U, D};

    // The generated mesh and its material become this object's own before they are written.
    Mesh& mesh = *mesh_;
    Material& material = mesh.MutableMaterial(0);
    TexturePtr spriteTexture;
    if (sprite.mesh && !sprite.mesh->parts.empty() && sprite.mesh->parts[0]->material &&
        !sprite.mesh->parts[0]->material->stages.empty())
        spriteTexture = sprite.mesh->parts[0]->material->stages[0].texture;
    material.SetStage(kDiffuseSlot, spriteTexture);
    vertexData_.clear();
    indices_.clear();

    CollectNodeTriangles(sceneRoot);

    std::vector<std::uint8_t> bytes(vertexData_.size() * sizeof(float));
    if (!bytes.empty()) std::memcpy(bytes.data(), vertexData_.data(), bytes.size());
    mesh.SetVertices(kFormat, std::move(bytes));
    mesh.MutablePart(0).indices = indices_;
    mesh.UpdateBounds();
    if (mesh.geometry.vertexCount < 3) empty_ = 1;
}

void ProjectedGeometry::CollectNodeTriangles(const SceneNode& node) {
    // A node whose sphere was never computed (radius 0) is not pruned.
    if (node.sphere.radius > 0 &&
        !SphereInsidePlanes(ToVector(node.sphere.center), node.sphere.radius, planes_))
        return;
    if (const Mesh* mesh = node.CurrentMesh()) ClipTrianglesIntoMesh(node, *mesh);
    for (const auto& child : node.children)
        if (child) CollectNodeTriangles(*child);
}

void ProjectedGeometry::ClipTrianglesIntoMesh(const SceneNode& node, const Mesh& mesh) {
    const bool local = !mesh.visibility.positionsInWorld;
    const Matrix4f& world = node.World();
    const float scale = local ? MaxScale(world) : 1.0f;
    auto toWorld = [&](const Vector3f& p) { return local ? TransformPoint(p, world) : p; };
    if (!SphereInsidePlanes(toWorld(ToVector(mesh.sphere.center)), mesh.sphere.radius * scale, planes_))
        return;

    const float bandLow = -planes_[5].distance, bandHigh = planes_[4].distance;
    std::vector<Vector3f> pool(planes_.size() * 2 + 3);
    std::vector<const Vector3f*> polygon;
    for (const auto& part : mesh.parts) {
        if (!part) continue;
        if (!SphereInsidePlanes(toWorld(ToVector(part->sphere.center)), part->sphere.radius * scale, planes_))
            continue;
        const auto& indices = part->indices;
        for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
            if (indices[i] >= mesh.geometry.vertexCount || indices[i + 1] >= mesh.geometry.vertexCount ||
                indices[i + 2] >= mesh.geometry.vertexCount)
                continue;
            Vector3f stored[3] = {mesh.Position(indices[i]), mesh.Position(indices[i + 1]),
                                  mesh.Position(indices[i + 2])};
            if (bandFilter_) {
                bool inBand = false;
                for (const auto& p : stored) inBand = inBand || (p.z >= bandLow && p.z <= bandHigh);
                if (!inBand) continue;
            }
            Vector3f n = Cross(stored[1] - stored[0], stored[2] - stored[0]);
            if (local) n = TransformNormal(n, world);
            float facing = Dot(n, frame_.direction);
            if (facing * std::fabs(facing) < -FLT_EPSILON * Dot(n, n)) continue;

            for (int k = 0; k < 3; ++k) pool[static_cast<std::size_t>(k)] = toWorld(stored[k]);
            std::size_t used = 3;
            polygon = {&pool[0], &pool[1], &pool[2]};
            ClipPolygonByPlanes(planes_, pool, used, polygon);
            if (polygon.size() < 3) continue;
            std::size_t first = vertexData_.size() / 5;
            if (first + polygon.size() > 65535) return;  // 16-bit indices
            for (const Vector3f* p : polygon) {
                Vector3f d = *p - frame_.origin;
                vertexData_.insert(
                    vertexData_.end(),
                    {p->x, p->y, p->z, (Dot(d, frame_.uAxis) + frame_.uOffset) / frame_.uSize + frame_.uBase,
                     (Dot(d, frame_.vAxis) + frame_.vOffset) / frame_.vSize + frame_.vBase});
            }
            for (std::size_t k = 2; k < polygon.size(); ++k)
                indices_.insert(indices_.end(),
                                {static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(first + k - 1),
                                 static_cast<std::uint16_t>(first + k)});
        }
    }
}
