#pragma once
// How the dispatch thread reaches the current scene. The shell's scene manager implements SceneGate; the
// scenes implement PacketSink. The gate answers null while no scene is current, a scene change is under
// way or the scene is still loading, and the dispatch thread then holds every packet back, in order.
// Between Acquire and Release the gate keeps the scene from being left (it holds its message lock), so a
// handler never runs on a scene that the main thread is tearing down.

#include <atomic>

#include "platform/sys/CriticalSection.h"

namespace net {

class Packet;

class PacketSink {
public:
    virtual ~PacketSink() = default;
    // Dispatch thread. Reads the packet's fields; the return value is the handler's result code.
    virtual int OnPacket(Packet& packet) = 0;
};

class SceneGate {
public:
    virtual ~SceneGate() = default;
    // The scene that may take a packet now, or null to hold packets back. A non-null answer must be
    // paired with ReleaseCurrentScene.
    virtual PacketSink* AcquireCurrentScene() = 0;
    virtual void ReleaseCurrentScene(PacketSink* scene) = 0;
};

// A gate over three plain states, for tools, tests and a shell that keeps its state this way.
class BasicSceneGate : public SceneGate {
public:
    void SetCurrent(PacketSink* scene) {
        platform::ScopedLock lock(lock_);
        current_ = scene;
    }
    // Waits for a handler in progress, so the change starts after it.
    void SetChangingScene(bool changing) {
        platform::ScopedLock lock(lock_);
        changing_ = changing;
    }
    void SetLoading(bool loading) {
        platform::ScopedLock lock(lock_);
        loading_ = loading;
    }
    bool IsChangingScene() const { return changing_; }
    bool IsLoading() const { return loading_; }

    PacketSink* AcquireCurrentScene() override {
        lock_.Enter();
        if (current_ && !changing_ && !loading_) return current_;
        lock_.Leave();
        return nullptr;
    }
    void ReleaseCurrentScene(PacketSink*) override { lock_.Leave(); }

private:
    platform::CriticalSection lock_;
    PacketSink* current_ = nullptr;
    std::atomic<bool> changing_{false};
    std::atomic<bool> loading_{false};
};

}  // namespace net
