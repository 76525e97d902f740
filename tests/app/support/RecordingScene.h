#pragma once
// A scene that records the operations the shell calls on it, and a fake owner of the scene manager.

#include <mutex>
#include <string>
#include <vector>

#include "app/lib/GameSceneManager.h"

class RecordingScene : public scenes::GameScene {
public:
    explicit RecordingScene(int id, std::vector<std::string>* trail = nullptr, bool reloads = false)
        : scenes::GameScene(id), trail_(trail), reloads_(reloads) {}

    void Enter() override { Note("Enter"); }
    int Load3D(ResourceManager*, RenderDevice*) override {
        Note("Load3D");
        return loadResult;
    }
    bool BeginLoad() override { return reloads_ ? SceneBeginLoad() : false; }
    bool Leave(ResourceManager* r, SceneManager* s) override {
        Note("Leave");
        return scenes::GameScene::Leave(r, s);
    }
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override {
        std::lock_guard lock(mutex_);
        messages.push_back({code, static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b)});
        return true;
    }
    void Update(std::uint64_t, std::uint64_t) override {
        std::lock_guard lock(mutex_);
        ++updates;
    }
    void Resize(int w, int h) override { Note("Resize " + std::to_string(w) + "x" + std::to_string(h)); }

    struct Received {
        std::uint32_t code, a, b;
    };
    std::vector<Received> Messages() {
        std::lock_guard lock(mutex_);
        return messages;
    }
    int Updates() {
        std::lock_guard lock(mutex_);
        return updates;
    }
    int loadResult = 0;

private:
    void Note(const std::string& what) {
        if (trail_) trail_->push_back(std::to_string(Id()) + " " + what);
    }
    std::vector<std::string>* trail_;
    bool reloads_;
    std::mutex mutex_;
    std::vector<Received> messages;
    int updates = 0;
};

class FakeSceneHost : public scenes::SceneHost {
public:
    int ClientWidth() const override { return 1024; }
    int ClientHeight() const override { return 768; }
    void PostUiMessage(std::uint32_t code, std::uint32_t a, std::uint32_t, std::uint32_t) override {
        posted.push_back({code, a});
    }
    void PostQuit() override { ++quits; }
    void ShowLoadingError(int code) override { loadingErrors.push_back(code); }
    void SendByteMessage(std::uint16_t id, std::uint8_t value) override { sent.push_back({id, value}); }
    void OnSceneCurrent(int id) override { current.push_back(id); }

    std::vector<std::pair<std::uint32_t, std::uint32_t>> posted;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> sent;
    std::vector<int> loadingErrors;
    std::vector<int> current;
    int quits = 0;
};
