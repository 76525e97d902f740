#include "scenes/base/TimeOfDay.h"

#include <algorithm>

namespace scenes {

namespace {

using namespace time_of_day;

constexpr std::uint32_t kHourlyAmbient[2][24] = {
    {0x3D00055D, 0x3D000A5D, 0x3D000C5D, 0x3D000D5D, 0x3D000E62, 0x3D002480, 0x3D0037C3, 0x3DAFB7B8,
     0x3DE7DFB5, 0x3DFFF4CE, 0x3DFFF9E6, 0x3DFFFFFF, 0x52FFFFFF, 0x72FFFFFF, 0x68FFFFFF, 0x50FFFFFF,
     0x48FFFFFF, 0x40FFCB87, 0x3DFF9000, 0x3DE68200, 0x3D795321, 0x3D241C30, 0x3D010243, 0x3D00025D},
    {0x7200055D, 0x72000A5D, 0x72000C5D, 0x72000D5D, 0x72000E62, 0x72002480, 0x720037C3, 0x72AFB7B8,
     0x72E7DFB5, 0x72FFF4CE, 0x72FFF9E6, 0x72FFFFFF, 0x72FFFFFF, 0x72FFFFFF, 0x72FFFFFF, 0x72FFFFFF,
     0x72FFFFFF, 0x72FFCB87, 0x72FF9000, 0x72E68200, 0x72795321, 0x72241C30, 0x72010243, 0x7200025D},
};

// Times of day in seconds.
constexpr std::uint32_t kDayStart = 21600;          // 06:00
constexpr std::uint32_t kNightStart = 68400;        // 19:00
constexpr std::uint32_t kLightFadeFrom = 23400;     // 06:30
constexpr std::uint32_t kLightFullAt = 25200;       // 07:00
constexpr std::uint32_t kLightDimFrom = 66240;      // 18:24
constexpr std::uint32_t kLightFadeUntil = 69840;    // 19:24
constexpr std::uint32_t kMorningFrom = 12600;       // 03:30
constexpr std::uint32_t kMorningFullAt = 16200;     // 04:30
constexpr std::uint32_t kMorningDimFrom = 28800;    // 08:00
constexpr std::uint32_t kMorningUntil = 30600;      // 08:30
constexpr std::uint32_t kMorningSoundFrom = 14400;  // 04:00
constexpr std::uint32_t kMorningSoundUntil = 16200;
constexpr std::uint32_t kDaySoundFrom = 25200;   // 07:00
constexpr std::uint32_t kDaySoundUntil = 39600;  // 11:00

std::uint32_t Interpolate(std::uint32_t c0, std::uint32_t c1, std::uint32_t secondsIntoHour) {
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((c0 >> shift) & 0xFF);
        const int b = static_cast<int>((c1 >> shift) & 0xFF);
        const int step =
            static_cast<int>(static_cast<float>(b - a) * static_cast<float>(secondsIntoHour) / 3600.0f);
        result |= static_cast<std::uint32_t>((a + step) & 0xFF) << shift;
    }
    return result;
}

std::array<float, 4> ToRgba(std::uint32_t argb) {
    return {static_cast<float>((argb >> 16) & 0xFF) / 255.0f, static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>((argb >> 24) & 0xFF) / 255.0f};
}

}  // namespace

std::uint32_t HourlyAmbientColor(std::uint32_t mode, std::uint32_t hour) {
    return kHourlyAmbient[mode == kModeFixedNight ? 1 : 0][hour % 24];
}

void TimeOfDay::Update(std::uint32_t seconds, AmbientSoundPlayer* sounds) {
    const std::uint32_t t = seconds % kSecondsPerDay;
    const std::uint32_t hour = t / 3600;
    const std::uint32_t intoHour = t % 3600;
    phase_ = (t % 10) / 5;

    const std::uint32_t c0 = HourlyAmbientColor(mode_, hour);
    ambient_ = intoHour == 0 ? c0 : Interpolate(c0, HourlyAmbientColor(mode_, (hour + 1) % 24), intoHour);

    if (mode_ == kModeFixedNight) {
        night_ = true;
        lightFadeActive_ = true;
        morningFadeActive_ = true;
        lightFade_ = 1.0f;
        morningFade_ = 0.5f;
    } else {
        night_ = !(t >= kDayStart && t < kNightStart);
        UpdateLightFade(t);
        UpdateMorningFade(t);
    }

    UpdateSound(kMorningSound, t >= kMorningSoundFrom && t < kMorningSoundUntil, sounds);
    UpdateSound(kDaySound, t >= kDaySoundFrom && t < kDaySoundUntil, sounds);
}

// Lights come on over 06:30-07:00 and go out over 18:24-19:24. The fade moves only while it is not
// already at its end, and restarts from 0 whenever the range is entered.
void TimeOfDay::UpdateLightFade(std::uint32_t t) {
    if (t < kLightFadeFrom || t >= kLightFadeUntil) {
        lightFadeActive_ = false;
        return;
    }
    if (!lightFadeActive_) {
        lightFadeActive_ = true;
        lightFade_ = 0.0f;
    }
    if (t < kLightFullAt) {
        if (lightFade_ < 1.0f)
            lightFade_ = std::min(1.0f, 1.0f - static_cast<float>(kLightFullAt - t) / 1800.0f);
    } else if (t > kLightDimFrom) {
        if (lightFade_ > 0.0f)
            lightFade_ = std::max(0.0f, 1.0f - static_cast<float>(t - kLightDimFrom) / 3600.0f);
    } else {
        lightFade_ = 1.0f;
    }
}

// The morning fog rises over 03:30-04:30, holds until 08:00 and clears by 08:30.
void TimeOfDay::UpdateMorningFade(std::uint32_t t) {
    std::uint32_t alpha = 255;
    if (t < kMorningFrom || t >= kMorningUntil) {
        morningFadeActive_ = false;
    } else {
        if (!morningFadeActive_) {
            morningFadeActive_ = true;
            morningFade_ = 0.0f;
        }
        if (t < kMorningFullAt) {
            if (morningFade_ < 1.0f)
                morningFade_ =
                    std::clamp(1.0f - static_cast<float>(kMorningFullAt - t) / 3600.0f, 0.0f, 1.0f);
        } else if (t > kMorningDimFrom) {
            if (morningFade_ > 0.0f)
                morningFade_ = std::max(0.0f, 1.0f - static_cast<float>(t - kMorningDimFrom) / 1800.0f);
        } else {
            morningFade_ = 1.0f;
        }
        alpha = std::min<std::uint32_t>(255, static_cast<std::uint32_t>(morningFade_ * 255.0f));
    }
    ambientMorning_ = (ambient_ & 0x00FFFFFF) | (alpha << 24);
}

void TimeOfDay::UpdateSound(int id, bool inWindow, AmbientSoundPlayer* sounds) {
    bool& on = soundOn_[static_cast<std::size_t>(id)];
    if (inWindow == on) return;
    on = inWindow;
    if (!sounds) return;
    if (inWindow)
        sounds->Play(id, 1.0f, 0, true);
    else
        sounds->Stop(id);
}

void TimeOfDay::SetFixed(const FixedLighting& lighting) {
    ambient_ = ambientMorning_ = lighting.ambient;
    night_ = lighting.night;
    morningFadeActive_ = lighting.morningFog;
    lightFadeActive_ = lighting.lightFade;
    const float fade = lighting.morningFade;
    morningFade_ = fade >= 0.0f && fade <= 1.0f ? fade : 0.0f;
}

void TimeOfDay::SetupSceneLights(SceneLightingTarget& target, bool effectsSupported) {
    const std::uint8_t night = night_ ? 1 : 0;
    if (night != lampNightApplied_) {
        target.SetLampsNight(night_);
        lampNightApplied_ = night;
    }

    std::array<float, 4> ambient = ToRgba(ambient_);
    target.SetAmbient(ambient);
    ambient[3] = lightFade_;
    target.SetSceneLights(effectsSupported ? lightFadeActive_ : true, ambient);

    if (night != lightNightApplied_) {
        target.SetNightLights(effectsSupported && night_);
        lightNightApplied_ = night;
    }

    const bool fogFade = morningFade_ >= kFadeEpsilon;
    const bool fogOn = effectsSupported && fogFade && morningFadeActive_;
    const float start = fogFade ? fogStartDistance_ / morningFade_ : 0.0f;
    const float end = fogFade ? fogEndDistance_ / morningFade_ : 0.0f;
    target.SetFog(fogOn, ToRgba(ambientMorning_), start, end, fogDensityScale_ * morningFade_);
}

}  // namespace scenes
