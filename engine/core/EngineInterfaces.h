#pragma once
// The abstract bases of the subsystems the engine holds. The render device, resource manager,
// sound manager and scene manager derive from them; the engine needs no more of them than this.

class RenderDeviceBase {
public:
    virtual ~RenderDeviceBase() = default;
    virtual bool Initialize() { return true; }
    // The window became active or inactive.
    virtual void SetActive(bool /*active*/) {}
};

class ResourceManagerBase {
public:
    virtual ~ResourceManagerBase() = default;
    virtual bool Initialize() { return true; }
};

class SoundManagerBase {
public:
    virtual ~SoundManagerBase() = default;
    virtual bool Initialize() { return true; }
};

class SceneManagerBase {
public:
    virtual ~SceneManagerBase() = default;
    virtual bool Initialize() { return true; }
};
