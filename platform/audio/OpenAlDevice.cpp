#include "platform/audio/OpenAlDevice.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/sys/Env.h"

namespace platform {

namespace {

ALCdevice* Device(void* p) {
    return static_cast<ALCdevice*>(p);
}
ALCcontext* Context(void* p) {
    return static_cast<ALCcontext*>(p);
}

ALenum FormatOf(const PcmFormat& format) {
    if (format.channels == 1) return format.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return format.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

// Clears the error state before a call whose failure is checked.
void ClearError() {
    alGetError();
}
bool Failed() {
    return alGetError() != AL_NO_ERROR;
}

// ALSA's error handler type: file, line, function, error number, printf format and its arguments.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void QuietSoundLibraries() {
    if (!GetEnv("ALSOFT_LOGLEVEL").empty()) return;
    // OpenAL Soft reads its log level once, at its first call; 0 writes nothing.
    setenv("ALSOFT_LOGLEVEL", "0", 1);
    // ALSA, which OpenAL's backend uses, prints its errors ("cannot find card") unless it is given a
    // handler. It is set only when ALSA is loaded already: nothing is loaded for it.
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!alsa) return;
    using SetHandler = int (*)(AlsaErrorHandler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
        set(&IgnoreAlsaError);
    dlclose(alsa);
}

std::unique_ptr<AudioDevice> CreateOpenAlDevice() {
    auto device = std::make_unique<OpenAlDevice>();
    if (!device->Opened()) return nullptr;
    return device;
}

OpenAlDevice::OpenAlDevice() {
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) return;
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context) alcDestroyContext(context);
        alcCloseDevice(device);
        return;
    }
    device_ = device;
    context_ = context;
}

OpenAlDevice::~OpenAlDevice() {
    if (!context_) return;
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(Context(context_));
    alcCloseDevice(Device(device_));
}

AudioBuffer OpenAlDevice::CreateBuffer() {
    ALuint buffer = 0;
    ClearError();
    alGenBuffers(1, &buffer);
    return Failed() ? kNoAudioObject : buffer;
}

bool OpenAlDevice::FillBuffer(AudioBuffer buffer, const PcmFormat& format, const void* data,
                              std::size_t bytes) {
    if (!format.IsSupported() || bytes > static_cast<std::size_t>(std::numeric_limits<ALsizei>::max()))
        return false;
    const std::size_t whole = bytes - bytes % format.BytesPerFrame();
    ClearError();
    alBufferData(buffer, FormatOf(format), data, static_cast<ALsizei>(whole), format.sampleRate);
    return !Failed();
}

void OpenAlDevice::DestroyBuffer(AudioBuffer buffer) {
    ALuint id = buffer;
    alDeleteBuffers(1, &id);
}

AudioSource OpenAlDevice::CreateSource() {
    ALuint source = 0;
    ClearError();
    alGenSources(1, &source);
    if (Failed()) return kNoAudioObject;
    // Sounds are not positioned: every source plays at the listener.
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    return source;
}

void OpenAlDevice::DestroySource(AudioSource source) {
    ALuint id = source;
    alSourceStop(id);
    alSourcei(id, AL_BUFFER, 0);
    alDeleteSources(1, &id);
}

bool OpenAlDevice::AttachBuffer(AudioSource source, AudioBuffer buffer) {
    ClearError();
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    return !Failed();
}

void OpenAlDevice::SetVolume(AudioSource source, float gain) {
    alSourcef(source, AL_GAIN, std::clamp(gain, 0.0f, 1.0f));
}

void OpenAlDevice::SetLooping(AudioSource source, bool looping) {
    alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
}

void OpenAlDevice::Play(AudioSource source) {
    alSourcePlay(source);
}

void OpenAlDevice::Stop(AudioSource source) {
    alSourceStop(source);
}

bool OpenAlDevice::IsPlaying(AudioSource source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

bool OpenAlDevice::QueueBuffer(AudioSource source, AudioBuffer buffer) {
    ALuint id = buffer;
    ClearError();
    alSourceQueueBuffers(source, 1, &id);
    return !Failed();
}

int OpenAlDevice::ProcessedCount(AudioSource source) {
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    return processed;
}

AudioBuffer OpenAlDevice::UnqueueProcessed(AudioSource source) {
    if (ProcessedCount(source) <= 0) return kNoAudioObject;
    ALuint buffer = 0;
    ClearError();
    alSourceUnqueueBuffers(source, 1, &buffer);
    return Failed() ? kNoAudioObject : buffer;
}

}  // namespace platform
