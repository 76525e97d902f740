#include "engine/sound/Sound.h"

#include <algorithm>

#include "engine/core/Log.h"

using platform::AudioBuffer;
using platform::kNoAudioObject;

std::unique_ptr<StaticSound> StaticSound::Create(platform::AudioDevice& device, int id,
                                                 SoundCategory category, const PcmSound& pcm, int copies) {
    auto sound = std::make_unique<StaticSound>(device, id, category);
    sound->buffer_ = device.CreateBuffer();
    if (sound->buffer_ == kNoAudioObject ||
        !device.FillBuffer(sound->buffer_, pcm.format, pcm.samples.data(), pcm.samples.size()))
        return nullptr;
    for (int i = 0; i < copies; ++i) {
        const platform::AudioSource source = device.CreateSource();
        if (source == kNoAudioObject) break;  // out of sources: overlap less
        sound->voices_.push_back(Voice{source});
        if (!device.AttachBuffer(source, sound->buffer_)) return nullptr;
    }
    if (sound->voices_.empty()) return nullptr;
    if (sound->Copies() < copies) LogWrite(u"SOUND %d : only %d of %d copies\n", id, sound->Copies(), copies);
    return sound;
}

StaticSound::~StaticSound() {
    for (const Voice& voice : voices_) device_.DestroySource(voice.source);
    if (buffer_ != kNoAudioObject) device_.DestroyBuffer(buffer_);
}

bool StaticSound::Play(float volume, bool looping, float categoryGain) {
    Voice* chosen = nullptr;
    for (Voice& voice : voices_) {
        if (!device_.IsPlaying(voice.source)) {
            chosen = &voice;
            break;
        }
    }
    if (!chosen) {
        chosen = &*std::min_element(voices_.begin(), voices_.end(),
                                    [](const Voice& a, const Voice& b) { return a.startedAt < b.startedAt; });
    }
    chosen->volume = volume;
    chosen->startedAt = ++plays_;
    device_.SetVolume(chosen->source, volume * categoryGain);
    device_.SetLooping(chosen->source, looping);
    device_.Play(chosen->source);
    return true;
}

void StaticSound::Stop() {
    for (const Voice& voice : voices_) device_.Stop(voice.source);
}

bool StaticSound::IsPlaying() {
    return std::any_of(voices_.begin(), voices_.end(),
                       [this](const Voice& voice) { return device_.IsPlaying(voice.source); });
}

void StaticSound::ApplyGain(float categoryGain) {
    for (const Voice& voice : voices_) device_.SetVolume(voice.source, voice.volume * categoryGain);
}

std::unique_ptr<StreamSound> StreamSound::Create(platform::AudioDevice& device, int id,
                                                 SoundCategory category, std::vector<std::uint8_t> bytes) {
    auto sound = std::make_unique<StreamSound>(device, id, category);
    std::string error;
    if (!sound->decoder_.Open(std::move(bytes), &error)) {
        LogWrite(u"SOUND %d : %s\n", id, FromUtf8(error));
        return nullptr;
    }
    sound->source_ = device.CreateSource();
    if (sound->source_ == kNoAudioObject) return nullptr;
    for (int i = 0; i < kStreamBufferCount; ++i) {
        const AudioBuffer buffer = device.CreateBuffer();
        if (buffer == kNoAudioObject) return nullptr;
        sound->buffers_.push_back(buffer);
    }
    sound->idle_ = sound->buffers_;
    const platform::PcmFormat& format = sound->decoder_.Format();
    const std::size_t frames =
        std::max<std::size_t>(1, static_cast<std::size_t>(format.sampleRate) * kStreamBufferMs / 1000);
    sound->chunk_.resize(frames * static_cast<std::size_t>(format.BytesPerFrame()));
    return sound;
}

StreamSound::~StreamSound() {
    if (source_ != kNoAudioObject) device_.DestroySource(source_);
    for (AudioBuffer buffer : buffers_) device_.DestroyBuffer(buffer);
}

bool StreamSound::FillAndQueue(AudioBuffer buffer) {
    std::size_t got = decoder_.Read(chunk_);
    if (got == 0 && looping_ && decoder_.Rewind()) got = decoder_.Read(chunk_);
    if (got == 0 || !device_.FillBuffer(buffer, decoder_.Format(), chunk_.data(), got) ||
        !device_.QueueBuffer(source_, buffer)) {
        finished_ = true;
        return false;
    }
    return true;
}

void StreamSound::ReclaimQueued() {
    for (AudioBuffer buffer; (buffer = device_.UnqueueProcessed(source_)) != kNoAudioObject;)
        idle_.push_back(buffer);
}

bool StreamSound::Play(float volume, bool looping, float categoryGain) {
    Stop();
    if (!decoder_.Rewind()) return false;
    volume_ = volume;
    looping_ = looping;
    finished_ = false;
    FillIdle();
    if (idle_.size() == buffers_.size()) return false;
    device_.SetVolume(source_, volume * categoryGain);
    device_.Play(source_);
    active_ = true;
    return true;
}

void StreamSound::Stop() {
    active_ = false;
    device_.Stop(source_);
    ReclaimQueued();
}

bool StreamSound::IsPlaying() {
    return active_ && (!finished_ || device_.IsPlaying(source_));
}

void StreamSound::ApplyGain(float categoryGain) {
    device_.SetVolume(source_, volume_ * categoryGain);
}

int StreamSound::FillIdle() {
    int filled = 0;
    while (!idle_.empty() && !finished_ && FillAndQueue(idle_.back())) {
        idle_.pop_back();
        ++filled;
    }
    return filled;
}

int StreamSound::Refill() {
    if (!active_) return 0;
    ReclaimQueued();
    const int refilled = FillIdle();
    if (!device_.IsPlaying(source_)) {
        if (idle_.size() < buffers_.size())
            device_.Play(source_);  // the queue ran dry before this refill: carry on
        else if (finished_)
            active_ = false;
    }
    return refilled;
}
