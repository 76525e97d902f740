#pragma once
// One design part of a personal cue in 3D, turning slowly by itself; a draggable preview turns and
// slides with the mouse and zooms with the wheel. CuePartCard is a selectable card carrying a small
// preview. The part's model comes from the resource tree: "BillObject" > "Cues" > "TunningCue" >
// the group's node > the part number (index + 1); a part without a model shows nothing.
//
// Threads: main thread only (widget events, the owner's resource pass and drawing).

#include <cstdint>
#include <memory>

#include "gui/Widget.h"

class Mesh;
class RenderDevice;
class ResourceManager;

namespace gui {
class Button;
}

namespace scenes {

// The preview's camera: yaw and pitch in degrees around the part, the distance and the sideways
// and vertical offset of the view target.
struct CuePartCamera {
    static constexpr float kMinDistance = 25.0f, kMaxDistance = 80.0f;
    static constexpr float kWheelStep = 20.0f;
    static constexpr float kFieldOfView = 20.0f;
    static constexpr float kDegreesPerMs = 1.0f / 50.0f;

    int group = 0;
    float yaw = 0.0f;
    float pitch = 25.0f;
    float distance = 40.0f;
    float offsetX = 0.0f, offsetY = 0.0f;

    // The starting view of a group: shaft and butt from 40, the small parts from close by, the
    // bumper from below.
    void Reset(int partGroup);
    // A forward turn (delta >= 0) comes closer.
    void Wheel(int delta);
    // A drag turns against the movement and slides the target, within the group's reach.
    void Drag(int dx, int dy);
    void Advance(std::uint64_t elapsedMs);
    float OffsetLimit() const;
};

class CuePartPreview : public gui::Widget {
public:
    CuePartPreview(int x, int y, int w, int h, bool draggable);
    ~CuePartPreview() override;

    // A negative group shows nothing. The model is made at the next resource pass.
    void SetPart(int group, int index);
    // The owner's resource pass: makes the model when one was asked for.
    void BuildModel(RenderDevice* device, ResourceManager* resources);
    void Release();
    // The owner's resource release: frees the model and makes it again on the next pass.
    void ReleaseModel();

    int Group() const { return camera_.group; }
    int Index() const { return index_; }
    bool BuildRequested() const { return buildRequested_; }
    bool Built() const { return built_; }
    bool Dragging() const { return dragging_; }
    const CuePartCamera& Camera() const { return camera_; }
    // How often a model was made (a part set twice is made once per setting).
    int BuildCount() const { return buildCount_; }

    // The resource pass of the widget tree: remembers where models come from and makes a waiting one.
    void ApplyResources(ResourceManager* resources, RenderDevice* renderer) override;
    void Tick(std::uint64_t nowMs) override;
    // Makes a model asked for since the last pass first (once per part change).
    void Draw(gui::Painter& painter, int x, int y) override;
    bool OnMouse(const gui::MouseEvent& event) override;

private:
    int index_ = -1;
    bool draggable_ = false;
    bool buildRequested_ = false;
    bool built_ = false;
    bool releasePending_ = false;
    bool dragging_ = false;
    int lastX_ = 0, lastY_ = 0;
    std::uint64_t lastTick_ = 0;
    int buildCount_ = 0;
    ResourceManager* resources_ = nullptr;
    CuePartCamera camera_;
    std::shared_ptr<Mesh> model_;
};

// A 79 x 124 radio card (group 4) with a 75 x 118 preview inset by 2 pixels.
class CuePartCard : public gui::Widget {
public:
    static constexpr int kWidth = 79, kHeight = 124;
    static constexpr int kRadioGroup = 4;
    CuePartCard(int x, int y, std::uint32_t id, bool reportHover);
    void SetPart(int group, int index);
    void Clear();
    int Index() const { return preview_->Index(); }
    void SetPressed(bool pressed);
    bool IsPressed() const;
    CuePartPreview* Preview() const { return preview_; }
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    gui::Button* face_ = nullptr;
    CuePartPreview* preview_ = nullptr;
};

}  // namespace scenes
