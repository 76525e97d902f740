#include "platform/audio/NullAudioDevice.h"

#include <algorithm>

#include "platform/sys/Clock.h"

namespace platform {

std::unique_ptr<AudioDevice> CreateNullAudioDevice() {
    return std::make_unique<NullAudioDevice>();
}

AudioBuffer NullAudioDevice::CreateBuffer() {
    ScopedLock lock(lock_);
    const AudioBuffer buffer = nextHandle_++;
    buffers_[buffer] = 0;
    return buffer;
}

bool NullAudioDevice::FillBuffer(AudioBuffer buffer, const PcmFormat& format, const void* data,
                                 std::size_t bytes) {
    ScopedLock lock(lock_);
    auto it = buffers_.find(buffer);
    if (it == buffers_.end() || !format.IsSupported() || (!data && bytes > 0)) return false;
    it->second = format.DurationUs(bytes);
    return true;
}

void NullAudioDevice::DestroyBuffer(AudioBuffer buffer) {
    ScopedLock lock(lock_);
    buffers_.erase(buffer);
}

AudioSource NullAudioDevice::CreateSource() {
    ScopedLock lock(lock_);
    const AudioSource source = nextHandle_++;
    sources_[source] = Source{};
    return source;
}

void NullAudioDevice::DestroySource(AudioSource source) {
    ScopedLock lock(lock_);
    sources_.erase(source);
}

bool NullAudioDevice::AttachBuffer(AudioSource source, AudioBuffer buffer) {
    ScopedLock lock(lock_);
    auto it = sources_.find(source);
    if (it == sources_.end() || (buffer != kNoAudioObject && !buffers_.count(buffer))) return false;
    it->second.playing = false;
    it->second.queue.clear();
    it->second.attached = buffer;
    return true;
}

void NullAudioDevice::SetVolume(AudioSource source, float gain) {
    ScopedLock lock(lock_);
    auto it = sources_.find(source);
    if (it != sources_.end()) it->second.gain = std::clamp(gain, 0.0f, 1.0f);
}

void NullAudioDevice::SetLooping(AudioSource source, bool looping) {
    ScopedLock lock(lock_);
    auto it = sources_.find(source);
    if (it != sources_.end()) it->second.looping = looping;
}

void NullAudioDevice::Play(AudioSource source) {
    ScopedLock lock(lock_);
    auto it = sources_.find(source);
    if (it == sources_.end()) return;
    it->second.playing = it->second.attached != kNoAudioObject || !it->second.queue.empty();
    it->second.startUs = GetClock().NowUs();
}

void NullAudioDevice::Stop(AudioSource source) {
    ScopedLock lock(lock_);
    auto it = sources_.find(source);
    if (it != sources_.end()) it->second.playing = false;
}

std::uint64_t NullAudioDevice::BufferUs(AudioBuffer buffer) const {
    auto it = buffers_.find(buffer);
    return it == buffers_.end() ? 0 : it->second;
}

int NullAudioDevice::ProcessedLocked(Source& source) {
    if (!source.playing) return static_cast<int>(source.queue.size());
    const std::uint64_t now = GetClock().NowUs();
    std::uint64_t end = source.startUs;
    int processed = 0;
    for (AudioBuffer buffer : source.queue) {
        end += BufferUs(buffer);
        if (end > now) break;
        ++processed;
    }
    if (processed == static_cast<int>(source.queue.size())) source.playing = false;
    return processed;
}

bool NullAudioDevice::IsPlayingLocked(Source& source) {
    if (!source.playing) return false;
    if (source.attached != kNoAudioObject) {
        const std::uint64_t length = BufferUs(source.attached);
        if (source.looping && length > 0) return true;
        if (GetClock().NowUs() - source.startUs >= length) source.playing = false;
        return source.playing;
    }
    ProcessedLocked(source);
    return source.playing;
}

bool NullAudioDevice::IsPlaying(AudioSource source) {
    ScopedLock lock(lock_);
    auto it = sources_.find(source);
    return it != sources_.end() && IsPlayingLocked(it->second);
}

bool NullAudioDevice::QueueBuffer(AudioSource source, AudioBuffer buffer) {
    ScopedLock lock(lock_);
    auto it = sources_.find(source);
    if (it == sources_.end() || !buffers_.count(buffer) || it->second.attached != kNoAudioObject)
        return false;
    it->second.queue.push_back(buffer);
    return true;
}

int NullAudioDevice::ProcessedCount(AudioSource source) {
    ScopedLock lock(lock_);
    auto it = sources_.find(source);
    return it == sources_.end() ? 0 : ProcessedLocked(it->second);
}

AudioBuffer NullAudioDevice::UnqueueProcessed(AudioSource source) {
    ScopedLock lock(lock_);
    auto it = sources_.find(source);
    if (it == sources_.end() || ProcessedLocked(it->second) == 0) return kNoAudioObject;
    Source& s = it->second;
    const AudioBuffer buffer = s.queue.front();
    s.queue.pop_front();
    s.startUs += BufferUs(buffer);
    return buffer;
}

std::vector<float> NullAudioDevice::PlayingVolumes() {
    ScopedLock lock(lock_);
    std::vector<float> volumes;
    for (auto& [handle, source] : sources_) {
        if (IsPlayingLocked(source)) volumes.push_back(source.gain);
    }
    return volumes;
}

int NullAudioDevice::BufferCount() {
    ScopedLock lock(lock_);
    return static_cast<int>(buffers_.size());
}

int NullAudioDevice::SourceCount() {
    ScopedLock lock(lock_);
    return static_cast<int>(sources_.size());
}

}  // namespace platform
