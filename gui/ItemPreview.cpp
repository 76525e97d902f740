#include "gui/ItemPreview.h"

#include <cmath>
#include <cstring>
#include <mutex>

#include "engine/render/Material.h"
#include "engine/render/Mesh.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/RenderMath.h"
#include "gui/PreviewDraw.h"

namespace gui {

namespace {

std::mutex gSourceMutex;
ItemPreview::ModelSource gSource;

constexpr float kPi = 3.14159265f;
constexpr float kTurnPerSecond = 0.4f;
// A view this much taller than wide (width / height below it) shows a cue standing.
constexpr float kUprightAspect = 0.6f;
constexpr std::uint32_t kFormat =
    platform::vertex_format::kPosition | platform::vertex_format::kNormal | platform::vertex_format::kDiffuse;

// Collects unlit triangles whose colours carry a fixed light from the upper left front.
class ShapeBuilder {
public:
    void Vertex(Vector3f p, Vector3f n, std::uint32_t argb) {
        const Vector3f light = Normalize(Vector3f{-0.4f, -0.5f, 0.77f});
        const float shade = 0.35f + 0.65f * std::max(0.0f, Dot(Normalize(n), light));
        auto channel = [&](int shift) {
            return static_cast<std::uint32_t>(std::min(255.0f, ((argb >> shift) & 0xFF) * shade)) << shift;
        };
        const std::uint32_t colour = 0xFF000000 | channel(16) | channel(8) | channel(0);
        const float values[6] = {p.x, p.y, p.z, n.x, n.y, n.z};
        const std::size_t at = bytes_.size();
        bytes_.resize(at + 28);
        std::memcpy(&bytes_[at], values, sizeof(values));
        std::memcpy(&bytes_[at + 24], &colour, 4);
        ++count_;
    }
    std::uint16_t Count() const { return count_; }
    void Triangle(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
        indices_.insert(indices_.end(), {a, b, c});
    }

    // A ring-and-cap solid of revolution around x, from x0 (radius r0) to x1 (radius r1).
    void Cylinder(float x0, float x1, float r0, float r1, std::uint32_t argb, Vector3f offset = {}) {
        constexpr int kSegments = 16;
        const std::uint16_t first = count_;
        for (int s = 0; s <= kSegments; ++s) {
            const float a = 2 * kPi * s / kSegments;
            const Vector3f n{0, std::cos(a), std::sin(a)};
            Vertex(Vector3f{x0, r0 * n.y, r0 * n.z} + offset, n, argb);
            Vertex(Vector3f{x1, r1 * n.y, r1 * n.z} + offset, n, argb);
        }
        for (int s = 0; s < kSegments; ++s) {
            const auto i = static_cast<std::uint16_t>(first + 2 * s);
            Triangle(i, static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + 2));
            Triangle(static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + 3),
                     static_cast<std::uint16_t>(i + 2));
        }
    }
    void Sphere(Vector3f centre, float radius, std::uint32_t argb) {
        constexpr int kRings = 10, kSegments = 16;
        const std::uint16_t first = count_;
        for (int r = 0; r <= kRings; ++r) {
            const float polar = kPi * r / kRings;
            for (int s = 0; s <= kSegments; ++s) {
                const float a = 2 * kPi * s / kSegments;
                const Vector3f n{std::sin(polar) * std::cos(a), std::sin(polar) * std::sin(a),
                                 std::cos(polar)};
                Vertex(centre + n * radius, n, argb);
            }
        }
        for (int r = 0; r < kRings; ++r) {
            for (int s = 0; s < kSegments; ++s) {
                const auto i = static_cast<std::uint16_t>(first + r * (kSegments + 1) + s);
                const auto below = static_cast<std::uint16_t>(i + kSegments + 1);
                Triangle(i, below, static_cast<std::uint16_t>(i + 1));
                Triangle(static_cast<std::uint16_t>(i + 1), below, static_cast<std::uint16_t>(below + 1));
            }
        }
    }
    void Box(Vector3f low, Vector3f high, std::uint32_t argb) {
        const Vector3f normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (const Vector3f& n : normals) {
            // Two axes across the face, picked from the normal.
            const Vector3f u = std::fabs(n.x) > 0 ? Vector3f{0, 1, 0} : Vector3f{1, 0, 0};
            const Vector3f v = Cross(n, u);
            const Vector3f centre = (low + high) * 0.5f;
            const Vector3f half = (high - low) * 0.5f;
            auto corner = [&](float a, float b) {
                const Vector3f d = n + u * a + v * b;
                return Vector3f{centre.x + d.x * half.x, centre.y + d.y * half.y, centre.z + d.z * half.z};
            };
            const std::uint16_t first = count_;
            Vertex(corner(-1, -1), n, argb);
            Vertex(corner(1, -1), n, argb);
            Vertex(corner(1, 1), n, argb);
            Vertex(corner(-1, 1), n, argb);
            Triangle(first, static_cast<std::uint16_t>(first + 1), static_cast<std::uint16_t>(first + 2));
            Triangle(first, static_cast<std::uint16_t>(first + 2), static_cast<std::uint16_t>(first + 3));
        }
    }
    std::shared_ptr<Mesh> Build() {
        auto mesh = std::make_shared<Mesh>();
        mesh->SetVertices(kFormat, std::move(bytes_));
        auto material = std::make_shared<Material>();
        material->lightingOff = 1;
        material->lit = 0;
        mesh->AddPart(material, std::move(indices_));
        mesh->UpdateBounds();
        return mesh;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint16_t> indices_;
    std::uint16_t count_ = 0;
};

}  // namespace

std::shared_ptr<Mesh> BuildStandInModel(std::uint32_t itemId) {
    ShapeBuilder shape;
    if (itemId >= 3000 && itemId < 4000) {
        shape.Cylinder(0, 4, 0.55f, 0.6f, 0xFF4A90D0);     // tip
        shape.Cylinder(4, 5, 0.6f, 0.62f, 0xFFF0F0F0);     // ferrule
        shape.Cylinder(5, 75, 0.62f, 1.0f, 0xFFE2C28C);    // shaft
        shape.Cylinder(75, 78, 1.0f, 1.05f, 0xFF303030);   // joint
        shape.Cylinder(78, 142, 1.05f, 1.5f, 0xFF6B2E1A);  // butt
        shape.Cylinder(142, 145, 1.5f, 1.4f, 0xFF101010);  // bumper
    } else if (itemId >= 2000 && itemId < 3000) {
        shape.Sphere({-7, 0, 0}, 3.05f, 0xFFF4F4F0);
        shape.Sphere({0, 0, 0}, 3.05f, 0xFFF0D020);
        shape.Sphere({7, 0, 0}, 3.05f, 0xFFD02020);
    } else if (itemId >= 1000 && itemId < 2000) {
        shape.Box({-140, -75, 0}, {140, 75, 6}, 0xFF1E7A3C);    // bed
        shape.Box({-152, -87, 0}, {152, -75, 10}, 0xFF6B3A1E);  // rails
        shape.Box({-152, 75, 0}, {152, 87, 10}, 0xFF6B3A1E);
        shape.Box({-152, -75, 0}, {-140, 75, 10}, 0xFF6B3A1E);
        shape.Box({140, -75, 0}, {152, 75, 10}, 0xFF6B3A1E);
        shape.Box({-130, -65, -70}, {130, 65, 0}, 0xFF4A2812);  // body
    } else {
        // The size of the other items' models: the item strip's slot looks at them from 60 units.
        shape.Box({-12, -12, -12}, {12, 12, 12}, 0xFF2C6CD8);
    }
    return shape.Build();
}

ItemPreview::ItemPreview(int x, int y, int w, int h, int flag) : flag_(flag) {
    Widget::Create(x, y, w, h);
    SetHitArea(0, 0, 0, 0);  // the owner's button under the view takes the mouse
}

ItemPreview::~ItemPreview() = default;

void ItemPreview::SetModelSource(ModelSource source) {
    std::lock_guard lock(gSourceMutex);
    gSource = std::move(source);
}

void ItemPreview::SetItem(std::uint32_t itemId) {
    SetItemRecord(itemId, nullptr);
}

void ItemPreview::SetItemRecord(std::uint32_t itemId, const PartIds* parts) {
    const PartIds next = parts ? *parts : PartIds{};
    if (itemId == itemId_ && next == parts_ && (model_ || itemId == 0)) return;
    itemId_ = itemId;
    parts_ = next;
    dirty_ = true;
    if (itemId == 0) ReleaseModel();
}

void ItemPreview::BuildModel(RenderDevice* device) {
    if (!dirty_) return;
    dirty_ = false;
    model_.reset();
    standIn_ = false;
    if (itemId_ == 0) return;
    ModelSource source;
    {
        std::lock_guard lock(gSourceMutex);
        source = gSource;
    }
    if (source && device) model_ = source(*device, itemId_, parts_);
    if (!model_) {
        model_ = BuildStandInModel(itemId_);
        standIn_ = true;
    }
}

void ItemPreview::ReleaseModel() {
    model_.reset();
    standIn_ = false;
    dirty_ = itemId_ != 0;
}

void ItemPreview::Tick(std::uint64_t nowMs) {
    // The turn follows the time passed, so its speed does not depend on the tick rate.
    if (lastMs_ != 0 && nowMs > lastMs_) {
        angle_ += rotationSpeed * kTurnPerSecond * static_cast<float>(nowMs - lastMs_) / 1000.0f;
        angle_ = std::fmod(angle_, 2 * kPi);
    }
    lastMs_ = nowMs;
}

void ItemPreview::Draw(Painter& painter, int x, int y) {
    RenderDevice* device = painter.Device();
    if (!model_ || !device || Width() <= 0 || Height() <= 0) return;
    const Vector3f centre{model_->sphere.center.x, model_->sphere.center.y, model_->sphere.center.z};
    const float radius = std::max(model_->sphere.radius, 0.01f);
    const float aspect = static_cast<float>(Width()) / static_cast<float>(Height());
    // Long items (cues) lie along the longer side of the view and turn about their length: across
    // a wide view, upright in one much taller than wide. Other items turn upright.
    const bool lengthwise = itemId_ >= 3000 && itemId_ < 4000;
    const bool upright = lengthwise && aspect < kUprightAspect;
    // Fitted so that a cue's length spans the side it lies along, and any other item's sphere stays
    // inside the narrower of the two fields of view.
    const float fitted = radius * 2.6f / (upright ? 1.0f : lengthwise ? aspect : std::min(1.0f, aspect));
    const float distance = viewDistance > 0 ? viewDistance : fitted;
    const float c = std::cos(angle_), s = std::sin(angle_);
    Matrix4f spin;
    if (lengthwise) {
        At(spin, 1, 1) = c, At(spin, 1, 2) = s, At(spin, 2, 1) = -s, At(spin, 2, 2) = c;
    } else {
        At(spin, 0, 0) = c, At(spin, 0, 1) = s, At(spin, 1, 0) = -s, At(spin, 1, 1) = c;
    }
    // Standing a cue up: its length (x) turns onto the view's up axis (z), tip at the top.
    Matrix4f stand;
    if (upright) At(stand, 0, 0) = 0, At(stand, 0, 2) = -1, At(stand, 2, 0) = 1, At(stand, 2, 2) = 0;
    const Matrix4f world =
        Multiply(Multiply(TranslationMatrix(-centre.x, -centre.y, -centre.z), spin), stand);
    const Vector3f eye =
        upright ? Vector3f{0, -distance, 0} : Vector3f{0, -distance * 0.94f, distance * 0.34f};
    const Matrix4f view = LookAtMatrix(eye, {0, 0, 0}, {0, 0, 1});
    const Matrix4f projection =
        PerspectiveMatrix(45.0f * kPi / 180.0f, aspect, distance * 0.05f, distance * 4.0f);
    // Lit materials of resource models take a key light from over the viewer's shoulder; the
    // stand-in shape carries its shading in its colours.
    DrawMeshInRect(*device, *model_, x, y, Width(), Height(), world, view, projection, painter.alpha, [&] {
        UsePreviewLight(*device, Normalize(Vector3f{0.3f, 0.9f, -0.5f}));
    });
}

}  // namespace gui
