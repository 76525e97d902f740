#pragma once
// Time-of-day lighting of the 3D scenes: a time in seconds becomes the scene's ambient colour, a
// night flag, the fades of the lights that come on at dusk and of the morning fog, and two looping
// ambient sounds. A scene calls Update from its render step with the time it wants, then
// SetupSceneLights to carry the values into its engine scene.

#include <array>
#include <cstdint>

#include "engine/core/Math.h"

namespace scenes {

namespace time_of_day {
constexpr std::uint32_t kSecondsPerDay = 86400;
constexpr std::uint32_t kModeDayCycle = 0;
constexpr std::uint32_t kModeFixedNight = 1;
constexpr int kMorningSound = 1;  // 04:00 to 04:30
constexpr int kDaySound = 0;      // 07:00 to 11:00
// Smallest fade that still counts.
constexpr float kFadeEpsilon = kFloatEpsilon;
}  // namespace time_of_day

// The hourly ambient colour (ARGB) of a lighting mode (0 or 1) and hour (0..23).
std::uint32_t HourlyAmbientColor(std::uint32_t mode, std::uint32_t hour);

// The sounds the time of day starts and stops (the scene's sound manager).
class AmbientSoundPlayer {
public:
    virtual ~AmbientSoundPlayer() = default;
    virtual void Play(int id, float volume, int reserved, bool looping) = 0;
    virtual void Stop(int id) = 0;
};

// What the time of day changes in an engine scene. Colours are r, g, b, a in 0..1.
class SceneLightingTarget {
public:
    virtual ~SceneLightingTarget() = default;
    // Lamp objects and lamp models (kind 2): on at night; a model's opacity is 1.0 at night, 0.8 by day.
    virtual void SetLampsNight(bool night) = 0;
    virtual void SetAmbient(const std::array<float, 4>& rgba) = 0;
    // Every light of the scene's light map.
    virtual void SetSceneLights(bool enabled, const std::array<float, 4>& rgba) = 0;
    // Light objects of kind 2 (the lamps' own lights).
    virtual void SetNightLights(bool enabled) = 0;
    // The fog record: on flag (the flag word's third byte), colour, alpha, start, end, density.
    virtual void SetFog(bool on, const std::array<float, 4>& rgba, float start, float end, float density) = 0;
};

// A lighting a scene holds instead of the hour's (it stays until the next Update).
struct FixedLighting {
    std::uint32_t ambient = 0;  // both ambient colours, ARGB
    bool night = false;         // lamps and their lights on
    bool morningFog = false;    // the fog of the morning fade on
    bool lightFade = false;     // the scene lights on (where effects are supported)
    float morningFade = 1.0f;   // the fog's strength: start 10 / fade, end 100 / fade, density 0.5 x fade
};

class TimeOfDay {
public:
    // The scene sets the mode before every load (0) and a scene's Load3D may set 1.
    void SetLightingMode(std::uint32_t mode) { mode_ = mode; }
    std::uint32_t LightingMode() const { return mode_; }

    // Any count of seconds; only seconds modulo one day count. sounds may be null.
    void Update(std::uint32_t seconds, AmbientSoundPlayer* sounds);
    // Sets every value the lighting reads; a fade outside 0..1 (or not a number) counts as 0.
    void SetFixed(const FixedLighting& lighting);
    // effectsSupported: the third and fourth flag bytes of the device capabilities are both set.
    void SetupSceneLights(SceneLightingTarget& target, bool effectsSupported);

    std::uint32_t Ambient() const { return ambient_; }
    std::uint32_t AmbientWithMorningAlpha() const { return ambientMorning_; }
    bool Night() const { return night_; }
    float LightFade() const { return lightFade_; }
    bool LightFadeActive() const { return lightFadeActive_; }
    float MorningFade() const { return morningFade_; }
    bool MorningFadeActive() const { return morningFadeActive_; }
    std::uint32_t Phase() const { return phase_; }

private:
    void UpdateLightFade(std::uint32_t t);
    void UpdateMorningFade(std::uint32_t t);
    void UpdateSound(int id, bool inWindow, AmbientSoundPlayer* sounds);

    std::uint32_t mode_ = time_of_day::kModeDayCycle;
    bool night_ = false;
    float lightFade_ = 0.0f;
    bool lightFadeActive_ = false;
    float morningFade_ = 1.0f;
    bool morningFadeActive_ = false;
    // A scene's colours before its first update.
    std::uint32_t ambient_ = 0x3D000E62;
    std::uint32_t ambientMorning_ = 0x3D000E62;
    std::array<bool, 2> soundOn_{};
    std::uint32_t phase_ = 0;
    // Night flags last applied; 0xFF before the first application so it always applies.
    std::uint8_t lampNightApplied_ = 0xFF;
    std::uint8_t lightNightApplied_ = 0xFF;
    float fogStartDistance_ = 10.0f;
    float fogEndDistance_ = 100.0f;
    float fogDensityScale_ = 0.5f;
};

}  // namespace scenes
