#include "table/TableView.h"

#include <algorithm>
#include <cmath>

#include "engine/render/RenderDevice.h"
#include "engine/render/Scene.h"
#include "engine/render/SceneBuilder.h"
#include "engine/resource/ResourceManager.h"
#include "table/TableWorld.h"

namespace table {

namespace {

constexpr std::uint32_t kWorldCameraId = 100;
constexpr std::uint32_t kShadowColour = 0x60000000;
constexpr std::uint32_t kTrailColour = 0xB0FFFFFF;
constexpr std::uint32_t kGuideColour = 0xC0FFFFFF;
constexpr std::uint32_t kLaserColour = 0xE0FF2020;
constexpr float kOverlayLift = 0.05f;  // above the cloth, so the depth test keeps it visible
constexpr float kCueGap = 1.0f;        // cm between the tip and the ball at rest
constexpr float kCueDrawBack = 25.0f;  // cm the cue is drawn back at full power
constexpr float kPi = 3.14159265f;

const ResourceGroup* FindGroup(ResourceManager& resources, const char16_t* name) {
    ResourcePackage* package = resources.OpenPackage(name);
    return package ? package->FindGroup(name) : nullptr;
}

SceneNodePtr BuildNamedModel(RenderDevice& device, const ResourceGroup& group, const std::u16string& name) {
    const auto& model = group.GetModelManager().FindByName(name);
    if (model->IsEmpty()) return nullptr;
    SceneBuilder builder(device, group);
    return builder.BuildModel(model->id, Matrix4f{});
}

float ModelRadius(const SceneNode& node) {
    for (const auto& child : node.children)
        if (const Mesh* mesh = child->CurrentMesh(); mesh && mesh->sphere.radius > 0)
            return mesh->sphere.radius;
    return 1.0f;
}

}  // namespace

// The scene keeps its own reference to the table node, so a world that goes before its scene
// leaves nothing dangling; a scene that went before the world must not be touched.
TableView::~TableView() = default;

int TableView::LoadModels(RenderDevice& device, ResourceManager& resources) {
    device_ = &device;
    resources_ = &resources;
    return BuildNodes();
}

int TableView::BuildNodes() {
    if (!device_ || !resources_) return 1;
    const ResourceGroup* tables = FindGroup(*resources_, u"Tables");
    const ResourceGroup* balls = FindGroup(*resources_, u"Balls");
    const ResourceGroup* cues = FindGroup(*resources_, u"Cues");
    if (!tables || !balls || !cues) return 1;

    // Everything is built before anything is replaced: a model that cannot be built leaves the old nodes
    // drawn, in the scene the view stands in, and the next build tries again.
    const TableItemEntry* tableEntry = FindTableItem(world_.tableItem_);
    const BallSetEntry* ballSet = FindBallSetItem(world_.ballSetItem_);
    if (!tableEntry || !ballSet) return 1;
    SceneNodePtr table = BuildNamedModel(*device_, *tables, TableModelName(tableEntry->tableType));
    const std::uint8_t cueModel =
        world_.shooter_ ? world_.shooter_->model : CueModelOfItem(world_.shot_.cueItem);
    SceneNodePtr cue = BuildNamedModel(*device_, *cues, CueModelName(cueModel));
    if (!table || !cue) return 1;
    std::vector<SceneNodePtr> ballNodes;
    std::vector<float> radius;
    for (std::uint16_t i = 0; i < world_.BallCount(); ++i) {
        SceneNodePtr node = BuildNamedModel(*device_, *balls, BallModelName(ballSet->family, i));
        if (!node) return 1;
        radius.push_back(ModelRadius(*node));
        ballNodes.push_back(std::move(node));
    }
    Scene* scene = scene_;
    Detach();
    tableNode_ = std::move(table);
    cueNode_ = std::move(cue);
    ballNodes_ = std::move(ballNodes);
    ballModelRadius_ = std::move(radius);
    // The shadow image is optional: without it the projections are left out.
    shadowSprite_.reset();
    if (const ResourceGroup* bill = FindGroup(*resources_, u"BillObject")) {
        const auto& texture = bill->GetTextureManager().FindByName(u"shadow");
        SceneBuilder builder(*device_, *bill);
        if (!texture->IsEmpty())
            if (TexturePtr image = builder.GetTexture(texture->id))
                shadowSprite_ = Sprite::CreateQuad(image, 1, 1);
    }
    modelsDirty_ = false;
    // The new node joins the scene below only while the table is shown.
    tableShown_ = world_.sceneVisible_;
    if (scene) AttachToScene(*scene);
    return 0;
}

void TableView::Detach() {
    if (scene_ && tableNode_) scene_->RemoveObject(*tableNode_);
    scene_ = nullptr;
    tableNode_.reset();
    cueNode_.reset();
    ballNodes_.clear();
    ballModelRadius_.clear();
}

void TableView::Release() {
    Detach();
    device_ = nullptr;
    resources_ = nullptr;
    shadowSprite_.reset();
    modelsDirty_ = true;
}

void TableView::AttachToScene(Scene& scene) {
    if (scene_ == &scene) return;
    if (scene_) {
        // Moving to another scene: the nodes leave the old one first.
        if (tableNode_) scene_->RemoveObject(*tableNode_);
    }
    scene_ = &scene;
    // The table is static scene geometry; the balls and the cue move every frame and are drawn by
    // RenderBalls with their own world matrices.
    if (tableNode_ && tableShown_) scene.AddObject(tableNode_);
    if (!camera_) {
        camera_ = std::make_shared<Camera>();
        camera_->id = kWorldCameraId;
        camera_->SetProjectionParams(1024, 768, kViewFieldOfView, scene.CurrentCamera().Aspect(), kViewNear,
                                     kViewFar);
    }
    camera_->SetAspect(scene.CurrentCamera().Aspect());
    scene.Cameras()[kWorldCameraId] = camera_;
    scene.SetCurrentCamera(kWorldCameraId);
}

void TableView::ProcessViewEvents() {
    platform::ScopedLock guard(world_.lock_);
    if (modelsDirty_ || ballNodes_.size() != world_.BallCount()) BuildNodes();
    PlaceBalls();
    PlaceCue();
    if (camera_) {
        // The rig's up: looking straight down, z would leave the picture's turn to rounding.
        camera_->SetLookAt(world_.camera_.Eye(), world_.camera_.Target(), world_.camera_.Up(), {0, 0, 1});
        camera_->SetProjectionParams(1024, 768, world_.FieldOfView(), camera_->Aspect(), kViewNear, kViewFar);
        if (scene_) scene_->cameraDirty = 1;
    }
}

void TableView::PlaceBalls() {
    for (std::size_t i = 0; i < ballNodes_.size() && i < world_.BallCount(); ++i) {
        const physics::Ball& b = world_.rules_.GetBall(i);
        Transform t;
        const float scale = b.radiusCm.Value() / ballModelRadius_[i];
        t.scale = {scale, scale, scale};
        t.rotation[0] = b.orientation.x.Value();
        t.rotation[1] = b.orientation.y.Value();
        t.rotation[2] = b.orientation.z.Value();
        t.rotation[3] = b.orientation.w.Value();
        t.position = {b.position.x.Value(), b.position.y.Value(), b.position.z.Value()};
        // Balls that left the table are not drawn.
        if (b.outOfPlay || !world_.sceneVisible_) t.scale = {0, 0, 0};
        t.Update();
        ballNodes_[i]->SetLocal(t);
    }
    if (tableNode_ && tableShown_ != world_.sceneVisible_) {
        tableShown_ = world_.sceneVisible_;
        // A hidden table leaves the scene: the scene's static geometry keeps no zero-scaled copy of it.
        if (scene_) {
            if (tableShown_)
                scene_->AddObject(tableNode_);
            else
                scene_->RemoveObject(*tableNode_);
        }
    }
}

// The cue lies behind the current ball on the aim line, drawn back with the power, its butt
// raised by the elevation and its tip moved by the tip offset on the ball's face.
void TableView::PlaceCue() {
    if (!cueNode_) return;
    const bool shown = cueShown_ =
        world_.sceneVisible_ && !world_.cueHidden_ && !world_.shotExecuting_ &&
        world_.currentBall_ < world_.BallCount() &&
        !world_.rules_.GetBall(static_cast<std::size_t>(world_.currentBall_)).outOfPlay;
    Matrix4f m;
    if (shown) {
        const physics::Ball& ball = world_.rules_.GetBall(static_cast<std::size_t>(world_.currentBall_));
        const AimState& aim = world_.aim_;
        const float yaw = aim.YawDegrees() * kPi / 180.0f, elevation = aim.ElevationDegrees() * kPi / 180.0f;
        const Vector3f d{std::cos(yaw), std::sin(yaw), 0};
        const Vector3f butt{-d.x * std::cos(elevation), -d.y * std::cos(elevation), std::sin(elevation)};
        const Vector3f side = Normalize(Cross({0, 0, 1}, butt));
        const Vector3f up = Cross(butt, side);
        const float r = ball.radiusCm.Value();
        const Vector3f centre{ball.position.x.Value(), ball.position.y.Value(), ball.position.z.Value()};
        const Vector3f face =
            centre + side * (-aim.TipSide() * r * 0.5f) + Vector3f{0, 0, aim.TipVertical() * r * 0.5f};
        const Vector3f tip = face + butt * (r + kCueGap + aim.Power() * kCueDrawBack);
        const Vector3f rows[4] = {butt, side, up, tip};
        for (int row = 0; row < 4; ++row) {
            At(m, row, 0) = rows[row].x;
            At(m, row, 1) = rows[row].y;
            At(m, row, 2) = rows[row].z;
            At(m, row, 3) = row == 3 ? 1.0f : 0.0f;
        }
    } else {
        m = ScalingMatrix(0, 0, 0);
    }
    Transform t;
    t.matrix = m;
    cueNode_->SetLocal(t);
}

void TableView::DrawMesh(RenderDevice& device, const SceneNode& node) {
    const Mesh* mesh = node.CurrentMesh();
    if (!mesh) return;
    device.SetTransform(platform::TransformKind::World, &node.World());
    device.SetVertexFormat(mesh->geometry.format);
    for (const auto& part : mesh->parts) {
        if (!part || part->IsHidden()) continue;
        if (part->material) device.SetMaterial(part->material->colours);
        std::uint32_t vertices = 0;
        device.DrawPart(*part, (mesh->geometry.format & platform::vertex_format::kNormal) != 0, vertices);
        ballVertices_ += vertices;
    }
}

void TableView::DrawNode(RenderDevice& device, const SceneNode& node) {
    for (const auto& child : node.children) {
        if (!child->CurrentMesh()) continue;
        DrawMesh(device, *child);
        DrawNode(device, *child);
    }
}

void TableView::BeginModelDraw(RenderDevice& device) {
    device.SetupSceneState(*camera_);
    device.SetRenderState(platform::RState::ZEnable, 1);
    device.SetRenderState(platform::RState::ZWriteEnable, 1);
    device.SetAlphaMode(0);
    device.SetMaterialAlpha(1.0f);
    device.SetCullMode(-1);
}

void TableView::RenderOwnView(RenderDevice& device) {
    {
        platform::ScopedLock guard(world_.lock_);
        if (!camera_) {
            camera_ = std::make_shared<Camera>();
            camera_->id = kWorldCameraId;
        }
        const float aspect = static_cast<float>(world_.viewportWidth_) /
                             static_cast<float>(std::max(1, world_.viewportHeight_));
        camera_->SetProjectionParams(world_.viewportWidth_, world_.viewportHeight_, kViewFieldOfView, aspect,
                                     kViewNear, kViewFar);
    }
    ProcessViewEvents();
    {
        platform::ScopedLock guard(world_.lock_);
        if (!world_.sceneVisible_ || !tableNode_ || !world_.rules_.Model()) return;
        BeginModelDraw(device);
        DrawMesh(device, *tableNode_);
        DrawNode(device, *tableNode_);
        device.SetTransform(platform::TransformKind::World, nullptr);
    }
    RenderBalls(device);
    Render(device);
}

void TableView::RenderBalls(RenderDevice& device) {
    platform::ScopedLock guard(world_.lock_);
    ballVertices_ = 0;
    if (!world_.sceneVisible_ || !camera_ || !world_.rules_.Model()) return;
    BeginModelDraw(device);
    // The scene's lights, as its sort tree lights the table (the tree leaves none on after it).
    if (scene_) {
        device.DisableAllLights();
        for (const auto& [key, light] : scene_->Content().directionalLights)
            if (light && light->IsOn()) device.AddDirectionalLight(light->Record());
    }
    DrawProjections(device);
    for (std::size_t i = 0; i < ballNodes_.size() && i < world_.BallCount(); ++i)
        if (!world_.rules_.GetBall(i).outOfPlay) DrawNode(device, *ballNodes_[i]);
    if (cueShown_ && cueNode_) DrawNode(device, *cueNode_);
    device.SetTransform(platform::TransformKind::World, nullptr);
}

void TableView::AddQuadStrip(const std::vector<Vector3f>& points, float halfWidth, std::uint32_t argb) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Vector3f a = points[i - 1], b = points[i];
        Vector3f along = b - a;
        along.z = 0;
        if (Length(along) <= 0) continue;
        const Vector3f across = Normalize(Cross({0, 0, 1}, along)) * halfWidth;
        const auto base = static_cast<std::uint16_t>(overlay_.size());
        const Vector3f lift{0, 0, kOverlayLift};
        for (const Vector3f& p : {a - across + lift, a + across + lift, b + across + lift, b - across + lift})
            overlay_.push_back({p.x, p.y, p.z, argb});
        for (std::uint16_t k : {0, 1, 2, 0, 2, 3})
            overlayIndices_.push_back(static_cast<std::uint16_t>(base + k));
    }
}

void TableView::AddDisc(const Vector3f& centre, float radius, std::uint32_t argb) {
    constexpr int kSegments = 16;
    const auto base = static_cast<std::uint16_t>(overlay_.size());
    overlay_.push_back({centre.x, centre.y, centre.z, argb});
    for (int k = 0; k < kSegments; ++k) {
        const float a = 2 * kPi * static_cast<float>(k) / kSegments;
        overlay_.push_back(
            {centre.x + std::cos(a) * radius, centre.y + std::sin(a) * radius, centre.z, argb & 0x00FFFFFF});
    }
    for (int k = 0; k < kSegments; ++k) {
        overlayIndices_.push_back(base);
        overlayIndices_.push_back(static_cast<std::uint16_t>(base + 1 + k));
        overlayIndices_.push_back(static_cast<std::uint16_t>(base + 1 + (k + 1) % kSegments));
    }
}

void TableView::Render(RenderDevice& device) {
    platform::ScopedLock guard(world_.lock_);
    overlay_.clear();
    overlayIndices_.clear();
    overlayVertices_ = 0;
    if (!world_.sceneVisible_ || !camera_ || !world_.rules_.Model()) return;
    const float bed = kOverlayLift;

    // Shadows: a soft dark disc under every ball in play, spread by the ball's height.
    if (world_.options_.tableEffect) {
        for (std::uint16_t i = 0; i < world_.BallCount(); ++i) {
            const physics::Ball& b = world_.rules_.GetBall(i);
            if (b.outOfPlay || (i == static_cast<std::size_t>(world_.currentBall_) && projectedShown_[0]))
                continue;
            AddDisc({b.position.x.Value() + 0.6f, b.position.y.Value() + 0.4f, bed},
                    b.radiusCm.Value() * 1.15f, kShadowColour);
        }
    }
    if (world_.trailDisplay)
        for (const auto& trail : world_.trails_)
            if (trail.size() > 1) AddQuadStrip(trail, 0.5f, kTrailColour);

    Vector3f start, end;
    if ((world_.aimDisplay || world_.laserGuide) && GuideEnd(start, end)) {
        const float r = world_.rules_.GetBall(static_cast<std::size_t>(world_.currentBall_)).radiusCm.Value();
        AddQuadStrip({start, end}, world_.laserGuide ? 0.3f : 0.5f,
                     world_.laserGuide ? kLaserColour : kGuideColour);
        AddDisc(end + Vector3f{0, 0, bed}, r, kGuideColour);
    }
    FlushOverlay(device);
}

bool TableView::GuideEnd(Vector3f& start, Vector3f& end) const {
    const std::size_t cueIndex = static_cast<std::size_t>(world_.currentBall_);
    // The guide goes with the cue: none while a shot runs or the cue is hidden.
    if (world_.shotExecuting_ || world_.cueHidden_ || cueIndex >= world_.BallCount() ||
        world_.rules_.GetBall(cueIndex).outOfPlay)
        return false;
    const physics::Ball& cue = world_.rules_.GetBall(cueIndex);
    const float yaw = world_.aim_.YawDegrees() * kPi / 180.0f;
    const Vector3f d{std::cos(yaw), std::sin(yaw), 0};
    start = {cue.position.x.Value(), cue.position.y.Value(), 0};
    const physics::TableGeometry& g = world_.rules_.Model()->Geometry();
    const float r = cue.radiusCm.Value();
    float reach = 1e6f;
    auto wall = [&](float limit, float from, float dir) {
        if (dir > 1e-6f) reach = std::min(reach, (limit - r - from) / dir);
        if (dir < -1e-6f) reach = std::min(reach, (limit + r - from) / dir);
    };
    wall(d.x > 0 ? g.cushion.xMax.Value() : g.cushion.xMin.Value(), start.x, d.x);
    wall(d.y > 0 ? g.cushion.yMax.Value() : g.cushion.yMin.Value(), start.y, d.y);
    for (std::uint16_t i = 0; i < world_.BallCount(); ++i) {
        const physics::Ball& b = world_.rules_.GetBall(i);
        if (i == cueIndex || b.outOfPlay) continue;
        const Vector3f to{b.position.x.Value() - start.x, b.position.y.Value() - start.y, 0};
        const float along = Dot(to, d);
        const float reachSum = r + b.radiusCm.Value();
        const float perp2 = Dot(to, to) - along * along;
        if (along > 0 && perp2 < reachSum * reachSum)
            reach = std::min(reach, along - std::sqrt(reachSum * reachSum - perp2));
    }
    end = start + d * std::max(reach, 0.0f);
    return true;
}

void TableView::Project(std::size_t which, const Vector3f& at, float size) {
    shadowSprite_->scaleX = shadowSprite_->scaleY = size;
    // Straight down onto the upward faces within 10 cm of the bed.
    projected_[which].Project(*shadowSprite_, *tableNode_, at, {0, 1, 0}, {0, 0, 1}, 10.0f, true);
    Mesh& mesh = *projected_[which].GetMesh();
    // Lifted a little off the cloth, so the depth test never loses it to the surface it lies on.
    for (std::uint32_t v = 0; v < mesh.geometry.vertexCount; ++v)
        mesh.SetPosition(v, mesh.Position(v) + Vector3f{0, 0, kOverlayLift});
    projectedShown_[which] = !projected_[which].IsEmpty();
}

void TableView::DrawProjections(RenderDevice& device) {
    projectedShown_[0] = projectedShown_[1] = false;
    if (!shadowSprite_ || !tableNode_ || !world_.options_.tableEffect) return;
    const std::size_t cueIndex = static_cast<std::size_t>(world_.currentBall_);
    if (cueIndex < world_.BallCount() && !world_.rules_.GetBall(cueIndex).outOfPlay) {
        const physics::Ball& cue = world_.rules_.GetBall(cueIndex);
        Project(0, {cue.position.x.Value() + 0.6f, cue.position.y.Value() + 0.4f, 0},
                cue.radiusCm.Value() * 2.6f);
    }
    Vector3f start, end;
    if (world_.aimDisplay && GuideEnd(start, end))
        Project(1, end, world_.rules_.GetBall(cueIndex).radiusCm.Value() * 2.2f);
    device.SetTransform(platform::TransformKind::World, nullptr);
    device.SetRenderState(platform::RState::ZWriteEnable, 0);
    device.SetAlphaMode(1);
    for (std::size_t i = 0; i < 2; ++i) {
        if (!projectedShown_[i]) continue;
        const Mesh& mesh = *projected_[i].GetMesh();
        device.SetVertexFormat(mesh.geometry.format);
        std::uint32_t vertices = 0;
        for (const auto& part : mesh.parts)
            if (part) device.DrawPart(*part, false, vertices);
        ballVertices_ += vertices;
    }
    device.SetRenderState(platform::RState::ZWriteEnable, 1);
    device.SetAlphaMode(0);
}

void TableView::FlushOverlay(RenderDevice& device) {
    if (overlay_.empty()) return;
    device.SetupSceneState(*camera_);
    device.EnableLights(false, false, false);
    device.SetRenderState(platform::RState::ZEnable, 1);
    device.SetRenderState(platform::RState::ZWriteEnable, 0);
    device.SetCullMode(0);
    device.SetAlphaMode(1);
    device.BindTextureHandle(0, 0);
    device.ApplyMaterialState(0);
    device.DrawUserTriangles(platform::vertex_format::kPosition | platform::vertex_format::kDiffuse,
                             overlay_.data(), static_cast<std::uint32_t>(overlay_.size()),
                             overlayIndices_.data(), static_cast<std::uint32_t>(overlayIndices_.size()));
    overlayVertices_ = overlay_.size();
}

// The tip control (the ball's face with a dot at the offset), the elevation bar and the power bar.
void TableView::DrawHud(RenderDevice& device) {
    platform::ScopedLock guard(world_.lock_);
    if (!world_.sceneVisible_ || !world_.OwnAimInPlay()) return;
    device.Begin2D();
    const ControlRect tip = world_.controls_.TipControl();
    const ControlRect bar = world_.controls_.ElevationControl();
    const AimState& aim = world_.aim_;
    device.FillRect({tip.left, tip.top, tip.right, tip.bottom}, 0x80000000);
    const int cx = (tip.left + tip.right) / 2, cy = (tip.top + tip.bottom) / 2,
              r = (tip.right - tip.left) / 2;
    for (int y = -r; y < r; y += 2) {
        const int half = static_cast<int>(std::sqrt(static_cast<float>(r * r - y * y)));
        device.FillRect({cx - half, cy + y, cx + half, cy + y + 2}, 0xFFF0F0E8);
    }
    const int dx = static_cast<int>(aim.TipSide() * static_cast<float>(r));
    const int dy = static_cast<int>(-aim.TipVertical() * static_cast<float>(r));
    device.FillRect({cx + dx - 3, cy + dy - 3, cx + dx + 3, cy + dy + 3}, 0xFFD02020);

    device.FillRect({bar.left, bar.top, bar.right, bar.bottom}, 0x80000000);
    const int height = bar.bottom - bar.top;
    const int level =
        static_cast<int>(aim.ElevationDegrees() / kMaxElevationDegrees * static_cast<float>(height));
    device.FillRect({bar.left, bar.bottom - level, bar.right, bar.bottom}, 0xFF3080F0);

    const ControlRect powerBar = world_.controls_.PowerBar();
    const int power = static_cast<int>(aim.Power() * static_cast<float>(powerBar.bottom - powerBar.top));
    device.FillRect({powerBar.left, powerBar.top, powerBar.right, powerBar.bottom}, 0x80000000);
    device.FillRect({powerBar.left, powerBar.bottom - power, powerBar.right, powerBar.bottom}, 0xFFF0C020);
}

}  // namespace table
