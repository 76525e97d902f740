#pragma once
// What a person sees of the table world: the table, ball and cue models loaded from the
// generated packages and placed as scene nodes, the camera that follows the rig, and the things
// drawn over the scene: ball shadows, trails, the guide line and laser guide, and the small
// control of tip offset, elevation and power. Main thread; it reads the world under its lock.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/render/Camera.h"
#include "engine/render/ProjectedGeometry.h"
#include "engine/render/SceneNode.h"
#include "engine/render/Sprite.h"
#include "table/TableItems.h"

class RenderDevice;
class ResourceManager;
class Scene;

namespace table {

class TableWorld;

class TableView {
public:
    explicit TableView(TableWorld& world) : world_(world) {}
    ~TableView();

    int LoadModels(RenderDevice& device, ResourceManager& resources);
    void AttachToScene(Scene& scene);
    // The items changed: the models are built again at the next ProcessViewEvents.
    void ItemsChanged() { modelsDirty_ = true; }
    // Leaves the scene and forgets the device and packages: nothing is drawn until LoadModels.
    void Release();
    void ProcessViewEvents();
    void RenderBalls(RenderDevice& device);
    void Render(RenderDevice& device);
    void DrawHud(RenderDevice& device);
    // Draws table, balls and cue through a camera of the view's own, for a world that stands in no
    // scene (a replay panel's): the projection takes the laid-out viewport's aspect.
    void RenderOwnView(RenderDevice& device);

    // Vertices drawn over the scene by the last Render (tests and the benchmark).
    std::size_t OverlayVertexCount() const { return overlayVertices_; }
    std::size_t BallVertexCount() const { return ballVertices_; }

private:
    struct OverlayVertex {
        float x, y, z;
        std::uint32_t argb;
    };
    int BuildNodes();
    void Detach();
    void PlaceBalls();
    void PlaceCue();
    void DrawNode(RenderDevice& device, const SceneNode& node);
    void DrawMesh(RenderDevice& device, const SceneNode& node);
    // The view's camera and the depth, blend and cull states the models are drawn with.
    void BeginModelDraw(RenderDevice& device);
    void AddQuadStrip(const std::vector<Vector3f>& points, float halfWidth, std::uint32_t argb);
    void AddDisc(const Vector3f& centre, float radius, std::uint32_t argb);
    void FlushOverlay(RenderDevice& device);
    // Lays the shadow image onto the table at a point (size in cm) into one of the two projections.
    void Project(std::size_t which, const Vector3f& at, float size);
    void DrawProjections(RenderDevice& device);
    // Where the guide line of the current ball ends (the first ball or cushion it meets).
    bool GuideEnd(Vector3f& start, Vector3f& end) const;

    TableWorld& world_;
    ResourceManager* resources_ = nullptr;
    RenderDevice* device_ = nullptr;
    Scene* scene_ = nullptr;
    std::shared_ptr<Camera> camera_;
    SceneNodePtr tableNode_;
    SceneNodePtr cueNode_;
    std::vector<SceneNodePtr> ballNodes_;
    std::vector<float> ballModelRadius_;
    bool modelsDirty_ = true;
    bool tableShown_ = true;
    bool cueShown_ = false;
    std::size_t ballVertices_ = 0;
    // The cue ball's shadow and the spot where the guide ends, laid onto the table's geometry.
    ProjectedGeometry projected_[2];
    bool projectedShown_[2] = {false, false};
    SpritePtr shadowSprite_;
    std::vector<OverlayVertex> overlay_;
    std::vector<std::uint16_t> overlayIndices_;
    std::size_t overlayVertices_ = 0;
};

}  // namespace table
