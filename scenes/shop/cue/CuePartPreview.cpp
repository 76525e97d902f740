#include "scenes/shop/cue/CuePartPreview.h"

#include <algorithm>
#include <cmath>

#include "engine/core/Format.h"
#include "engine/render/Mesh.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/RenderMath.h"
#include "engine/render/SceneBuilder.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/ResourcePackage.h"
#include "gui/Button.h"
#include "gui/Painter.h"
#include "gui/PreviewDraw.h"
#include "net/CuePartTable.h"
#include "platform/window/WindowCodes.h"
#include "scenes/front/FrontWidgets.h"

namespace scenes {

namespace {
constexpr float kPi = 3.14159265f;
constexpr const char16_t* kGroupNodes[net::kCueParts] = {u"TuneShaft", u"TuneButt", u"TuneJoint",
                                                         u"TuneBumper", u"TuneTip"};

bool SmallPart(int group) {
    return group == static_cast<int>(net::CuePartGroup::Joint) ||
           group == static_cast<int>(net::CuePartGroup::Bumper) ||
           group == static_cast<int>(net::CuePartGroup::Tip);
}
}  // namespace

// --- CuePartCamera -------------------------------------------------------------------------------

void CuePartCamera::Reset(int partGroup) {
    group = partGroup;
    yaw = 0.0f;
    pitch = 25.0f;
    offsetX = offsetY = 0.0f;
    const bool large = partGroup == static_cast<int>(net::CuePartGroup::Shaft) ||
                       partGroup == static_cast<int>(net::CuePartGroup::Butt);
    if (partGroup == static_cast<int>(net::CuePartGroup::Bumper)) pitch = -60.0f;
    // The small parts ask for 20, which the distance limits lift to 25.
    distance = std::clamp(large ? 40.0f : 20.0f, kMinDistance, kMaxDistance);
}

void CuePartCamera::Wheel(int delta) {
    distance = std::clamp(distance + (delta >= 0 ? -kWheelStep : kWheelStep), kMinDistance, kMaxDistance);
}

float CuePartCamera::OffsetLimit() const {
    return SmallPart(group) ? 6.0f : 30.0f;
}

void CuePartCamera::Drag(int dx, int dy) {
    yaw -= static_cast<float>(dx) / 2.0f;
    const float limit = OffsetLimit();
    offsetX = std::clamp(offsetX + static_cast<float>(dx), -limit, limit);
    offsetY = std::clamp(offsetY + static_cast<float>(dy), -limit, limit);
}

void CuePartCamera::Advance(std::uint64_t elapsedMs) {
    yaw = std::fmod(yaw + static_cast<float>(elapsedMs) * kDegreesPerMs, 360.0f);
}

// --- CuePartPreview ------------------------------------------------------------------------------

CuePartPreview::CuePartPreview(int x, int y, int w, int h, bool draggable) : draggable_(draggable) {
    Widget::Create(x, y, w, h);
    // Only a draggable preview takes the mouse; a card's preview leaves it to the card.
    if (!draggable) SetHitArea(0, 0, 0, 0);
}

CuePartPreview::~CuePartPreview() = default;

void CuePartPreview::SetPart(int group, int index) {
    if (built_) releasePending_ = true;
    built_ = false;
    dragging_ = false;
    if (group < 0 || group >= net::kCueParts) {
        buildRequested_ = false;
        index_ = -1;
        return;
    }
    camera_.Reset(group);
    index_ = index;
    buildRequested_ = true;
}

void CuePartPreview::Release() {
    model_.reset();
    built_ = false;
    releasePending_ = false;
}

void CuePartPreview::ReleaseModel() {
    const bool rebuild = built_ || buildRequested_;
    Release();
    buildRequested_ = rebuild && index_ >= 0;
}

void CuePartPreview::BuildModel(RenderDevice* device, ResourceManager* resources) {
    if (releasePending_) Release();
    if (!buildRequested_ || !device || !resources) return;
    buildRequested_ = false;
    ResourcePackage* package = resources->OpenPackage(u"BillObject");
    const ResourceGroup* root = package ? package->FindGroup(u"BillObject") : nullptr;
    if (!root || root->GetTextureManager().FindOrLoadByName(u"reflection")->IsEmpty() ||
        root->GetTextureManager().FindOrLoadByName(u"shadow")->IsEmpty())
        return;
    const ResourceGroup* group = root->FindPath({u"Cues", u"TunningCue", kGroupNodes[camera_.group]});
    if (!group) return;
    const WString name = Format(u"%d", index_ + 1);
    const auto& mesh = group->GetMeshManager().FindOrLoadByName(name);
    if (mesh->IsEmpty()) return;
    SceneBuilder builder(*device, *group);
    model_ = builder.GetMesh(mesh->id);
    if (!model_) return;
    built_ = true;
    ++buildCount_;
    lastTick_ = 0;
}

void CuePartPreview::ApplyResources(ResourceManager* resources, RenderDevice* renderer) {
    resources_ = resources;
    BuildModel(renderer, resources);
}

void CuePartPreview::Tick(std::uint64_t nowMs) {
    // The turn follows the time passed, so its speed does not depend on the frame rate.
    if (built_ && !dragging_ && lastTick_ != 0 && nowMs > lastTick_) camera_.Advance(nowMs - lastTick_);
    lastTick_ = nowMs;
}

void CuePartPreview::Draw(gui::Painter& painter, int x, int y) {
    RenderDevice* device = painter.Device();
    if ((buildRequested_ || releasePending_) && resources_) BuildModel(device, resources_);
    if (!built_ || !model_ || !device || Width() <= 0 || Height() <= 0) return;
    const BoundingSphere& s = model_->sphere;
    // The part lies along x; the target slides along it and up and down.
    const Vector3f target{s.center.x + camera_.offsetX, s.center.y, s.center.z + camera_.offsetY};
    const float yaw = camera_.yaw * kPi / 180.0f, pitch = camera_.pitch * kPi / 180.0f;
    const Vector3f eye{target.x + camera_.distance * std::cos(pitch) * std::sin(yaw),
                       target.y - camera_.distance * std::cos(pitch) * std::cos(yaw),
                       target.z + camera_.distance * std::sin(pitch)};
    const Matrix4f world{};
    const Matrix4f view = LookAtMatrix(eye, target, {0, 0, 1});
    const Matrix4f projection =
        PerspectiveMatrix(CuePartCamera::kFieldOfView * kPi / 180.0f,
                          static_cast<float>(Width()) / static_cast<float>(Height()), 1.0f, 400.0f);
    // The widget's own light: a white key light from above the viewer's shoulder and a soft ambient.
    const Vector3f toTarget =
        Normalize(Vector3f{target.x - eye.x, target.y - eye.y, target.z - eye.z - 0.5f * camera_.distance});
    gui::DrawMeshInRect(*device, *model_, x, y, Width(), Height(), world, view, projection, painter.alpha,
                        [&] { gui::UsePreviewLight(*device, toTarget); });
}

bool CuePartPreview::OnMouse(const gui::MouseEvent& event) {
    switch (event.message) {
        case platform::kWmMouseMove:
            if (!dragging_) return false;
            camera_.Drag(event.screenX - lastX_, event.screenY - lastY_);
            lastX_ = event.screenX, lastY_ = event.screenY;
            return true;
        case platform::kWmLButtonDown:
            if (!draggable_ || !HitTest(event.x, event.y)) return false;
            dragging_ = true;
            lastX_ = event.screenX, lastY_ = event.screenY;
            SetCapture(true);
            return true;
        case platform::kWmLButtonUp:
            if (!dragging_) return false;
            dragging_ = false;
            SetCapture(false);
            return true;
        case platform::kWmMouseWheel:
            if (!HitTest(event.x, event.y)) return false;
            camera_.Wheel(event.wheel);
            return true;
        default:
            return false;
    }
}

// --- CuePartCard ---------------------------------------------------------------------------------

CuePartCard::CuePartCard(int x, int y, std::uint32_t id, bool reportHover) {
    Create(x, y, kWidth, kHeight, id);
    face_ = AddButton(0, 0, kWidth, kHeight, id, 0, gui::UiImage{});
    face_->SetFrameCount(7);
    face_->SetRadioMode(kRadioGroup);
    face_->SetReportHover(reportHover);
    preview_ = Make<CuePartPreview>(2, 2, kWidth - 4, kHeight - 6, false);
    preview_->Show(true);
    SetVisible(false);
}

void CuePartCard::SetPart(int group, int index) {
    Show(true);
    preview_->SetPart(group, index);
}

void CuePartCard::Clear() {
    preview_->SetPart(-1, 0);
    SetVisible(false);
}

void CuePartCard::SetPressed(bool pressed) {
    face_->SetChecked(pressed);
}

bool CuePartCard::IsPressed() const {
    return face_->IsChecked();
}

bool CuePartCard::OnCommand(const gui::CommandEvent& event) {
    gui::Widget* parent = GetParent();
    return parent ? parent->OnCommand({this, Id(), event.value, event.code}) : false;
}

}  // namespace scenes
