#pragma once
// The application's side for the table scenes, one scene at a time: a render device (GL or
// recording), the generated packages, the engine scenes, a session for the own record, the command
// line, and the UI message queue that Pump delivers after each update tick as the shell does.

#include <deque>
#include <memory>
#include <tuple>
#include <vector>

#include "engine/render/RenderDevice.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "gui/Overlays.h"
#include "net/GameSession.h"
#include "platform/video/ImageFile.h"
#include "scenes/base/GameScene.h"
#include "scenes/base/SceneHost.h"

class TableSceneHost : public scenes::SceneHost {
public:
    TableSceneHost(RenderDevice& device, int width, int height)
        : device_(device), width_(width), height_(height) {
        resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        resources.SetDataFolder(u"data");
        engineScenes = std::make_unique<SceneManager>(device);
        engineScenes->SetAspect(static_cast<float>(height) / static_cast<float>(width));
    }

    int ClientWidth() const override { return width_; }
    int ClientHeight() const override { return height_; }
    void PostUiMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t) override {
        queue.push_back({code, a, b});
    }
    void PostQuit() override { ++quits; }
    void ShowLoadingError(int) override {}
    void SendByteMessage(std::uint16_t, std::uint8_t) override {}
    ResourceManager* Resources() override { return &resources; }
    RenderDevice* Renderer() override { return &device_; }
    SceneManager* EngineScenes() override { return engineScenes.get(); }
    net::GameSession* CurrentSession() override { return &session; }
    WString CommandLineArgument(std::size_t index) const override {
        return index < args.size() ? args[index] : WString{};
    }

    // Load3D and Enter, as the scene manager runs them; false when the load failed.
    bool Enter(scenes::GameScene& scene) {
        scene.SetHost(this);
        if (scene.Load3D(&resources, &device_) != 0) return false;
        scene.Activate(engineScenes.get());
        scene.LayoutChildren(width_, height_);
        return true;
    }
    void Leave(scenes::GameScene& scene) { scene.Leave(&resources, engineScenes.get()); }
    void Deliver(scenes::GameScene& scene) {
        while (!queue.empty()) {
            const auto [code, a, b] = queue.front();
            queue.pop_front();
            scene.OnMessage(code, a, static_cast<std::intptr_t>(b));
        }
    }
    void Pump(scenes::GameScene& scene, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            scene.Update(0, 0);
            Deliver(scene);
        }
        scene.TickTree(0);
    }
    // A mouse message at client pixel (x, y) as the window offers it to the scene.
    void Mouse(scenes::GameScene& scene, std::uint32_t message, int x, int y) {
        scene.OnMessage(message, 0, static_cast<std::intptr_t>((y << 16) | (x & 0xFFFF)));
    }
    platform::Image Frame(scenes::GameScene& scene) {
        platform::Image frame;
        if (!device_.BeginFrame()) return frame;
        device_.BeginScene();
        scene.Render(&device_, true);
        gui::DrawWidgetScreen(scene, &device_);
        device_.EndScene();
        device_.Present();
        device_.ReadBack(frame);
        return frame;
    }

    ResourceManager resources;
    std::unique_ptr<SceneManager> engineScenes;
    net::GameSession session;
    std::vector<WString> args;
    std::deque<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> queue;
    int quits = 0;

private:
    RenderDevice& device_;
    int width_, height_;
};
