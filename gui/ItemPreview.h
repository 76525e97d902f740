#pragma once
// The toolkit's 3D item view: a model of an item (cue, ball set, table, chalk) turning in its own
// viewport over the widgets behind it. The owning screen builds the model from its render step;
// the widget draws it with its own camera and releases it on request. Where the application
// offers no model for an item, a plain stand-in shape of the item's kind is built.

#include <array>
#include <functional>
#include <memory>

#include "gui/Widget.h"

class Mesh;

namespace gui {

class ItemPreview : public Widget {
public:
    using PartIds = std::array<std::uint16_t, 5>;
    // Gives the model of an item (parts are the five tuning parts of custom and tuning cues);
    // null when it has none. Runs from BuildModel with its device.
    using ModelSource = std::function<std::shared_ptr<Mesh>(RenderDevice& device, std::uint32_t itemId,
                                                            const PartIds& parts)>;

    ItemPreview(int x = 0, int y = 0, int w = 0, int h = 0, int flag = 0);
    ~ItemPreview() override;

    // The item shown (0 clears); the model is made again by the next BuildModel.
    void SetItem(std::uint32_t itemId);
    // An item with its five part ids (custom and tuning cues); null parts clear.
    void SetItemRecord(std::uint32_t itemId, const PartIds* parts);
    std::uint32_t Item() const { return itemId_; }
    const PartIds& Parts() const { return parts_; }
    // Main thread, from the owner's render step: makes the model when the item changed (without a
    // device, or where the source has none, the stand-in shape).
    void BuildModel(RenderDevice* device);
    // True while the shown model is the stand-in shape.
    bool ShowsStandIn() const { return standIn_; }
    void ReleaseModel();
    bool HasModel() const { return model_ != nullptr; }
    // Radians of the current turn.
    float Angle() const { return angle_; }

    // Turning speed (0 stops; the turn advances 0.4 x speed radians per second) and the camera
    // distance (above 0 replaces the one fitted to the model).
    float rotationSpeed = 0.0f;
    float viewDistance = 0.0f;

    // Installed by the application: where item models come from.
    static void SetModelSource(ModelSource source);

    void Tick(std::uint64_t nowMs) override;
    void Draw(Painter& painter, int x, int y) override;

private:
    std::uint32_t itemId_ = 0;
    PartIds parts_{};
    bool dirty_ = false;
    bool standIn_ = false;
    std::shared_ptr<Mesh> model_;
    float angle_ = 0.0f;
    std::uint64_t lastMs_ = 0;
    int flag_ = 0;
};

// A plain model of an item's kind: a cue for ids 3000-3999, three balls for 2000-2999, a table
// for 1000-1999 and a chalk cube otherwise; unlit, with the shading in its vertex colours.
std::shared_ptr<Mesh> BuildStandInModel(std::uint32_t itemId);

}  // namespace gui
