#include "table/CameraRig.h"

namespace table {

CameraRig::CameraRig() = default;

void CameraRig::SetTableSize(float halfLength, float halfWidth) {
    halfLength_ = halfLength;
    halfWidth_ = halfWidth;
}
void CameraRig::ApplyOptions(const CameraOptions& options) {
    options_ = options;
}
void CameraRig::SetTargetView(float, float, float, float) {}
void CameraRig::SetTargetFocus(const Vector3f& focus) {
    toFocus_ = focus;
}
void CameraRig::BeginMove(int) {}
void CameraRig::SetView(const CameraView& view, const Vector3f& focus) {
    view_ = view;
    focus_ = focus;
}
void CameraRig::MoveCamera(float, float, float) {}
void CameraRig::TurnCameraToCueLine(const Vector3f&, float, float, float, float, bool, bool) {}
void CameraRig::SetTopView(bool) {}
void CameraRig::SetCameraModeFlags(bool first, bool second, bool shotZoom, bool fixedView) {
    modeFirst_ = first || fixedView;
    modeSecond_ = second || first || fixedView;
    shotZoom_ = shotZoom && !fixedView;
    fixedView_ = fixedView;
}
void CameraRig::RotateByMouse(float, float) {}
void CameraRig::Zoom(float) {}
void CameraRig::OnShotStarted(const Vector3f&) {}
void CameraRig::Tick(const Vector3f&, float, bool) {}
Vector3f CameraRig::Eye() const {
    return focus_;
}
Matrix4f CameraRig::ViewMatrix() const {
    return Matrix4f{};
}
void CameraRig::StartMove(const CameraView&, const Vector3f&, int) {}

}  // namespace table
