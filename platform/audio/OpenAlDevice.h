#pragma once
// The OpenAL Soft backend. OpenAL keeps one current context per process, so one OpenAlDevice is
// open at a time; its calls may come from any thread.

#include "platform/audio/AudioDevice.h"

namespace platform {

class OpenAlDevice final : public AudioDevice {
public:
    // Opens the default output; Opened() tells whether that worked.
    OpenAlDevice();
    ~OpenAlDevice() override;
    OpenAlDevice(const OpenAlDevice&) = delete;
    OpenAlDevice& operator=(const OpenAlDevice&) = delete;

    bool Opened() const { return context_ != nullptr; }

    const char* BackendName() const override { return "openal"; }
    AudioBuffer CreateBuffer() override;
    bool FillBuffer(AudioBuffer buffer, const PcmFormat& format, const void* data,
                    std::size_t bytes) override;
    void DestroyBuffer(AudioBuffer buffer) override;
    AudioSource CreateSource() override;
    void DestroySource(AudioSource source) override;
    bool AttachBuffer(AudioSource source, AudioBuffer buffer) override;
    void SetVolume(AudioSource source, float gain) override;
    void SetLooping(AudioSource source, bool looping) override;
    void Play(AudioSource source) override;
    void Stop(AudioSource source) override;
    bool IsPlaying(AudioSource source) override;
    bool QueueBuffer(AudioSource source, AudioBuffer buffer) override;
    int ProcessedCount(AudioSource source) override;
    AudioBuffer UnqueueProcessed(AudioSource source) override;

private:
    void* device_ = nullptr;   // ALCdevice*
    void* context_ = nullptr;  // ALCcontext*
};

}  // namespace platform
