#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "scenes/base/TimeOfDay.h"

namespace {

class RecordingSounds : public scenes::AmbientSoundPlayer {
public:
    void Play(int id, float volume, int reserved, bool looping) override {
        calls.push_back("play " + std::to_string(id) +
                        (volume == 1.0f && reserved == 0 && looping ? " loop" : " ?"));
    }
    void Stop(int id) override { calls.push_back("stop " + std::to_string(id)); }
    std::vector<std::string> calls;
};

class RecordingTarget : public scenes::SceneLightingTarget {
public:
    void SetLampsNight(bool n) override { lamps.push_back(n); }
    void SetAmbient(const std::array<float, 4>& rgba) override { ambient = rgba; }
    void SetSceneLights(bool enabled, const std::array<float, 4>& rgba) override {
        lightsOn = enabled;
        light = rgba;
    }
    void SetNightLights(bool enabled) override { nightLights.push_back(enabled); }
    void SetFog(bool on, const std::array<float, 4>& rgba, float s, float e, float d) override {
        fogOn = on;
        fog = rgba;
        start = s;
        end = e;
        density = d;
    }
    std::vector<bool> lamps, nightLights;
    std::array<float, 4> ambient{}, light{}, fog{};
    bool lightsOn = false, fogOn = false;
    float start = -1, end = -1, density = -1;
};

std::uint32_t AmbientAt(std::uint32_t t, std::uint32_t mode = 0) {
    scenes::TimeOfDay day;
    day.SetLightingMode(mode);
    day.Update(t, nullptr);
    return day.Ambient();
}

}  // namespace

TEST(TimeOfDayColour, HoursHitTheTableAndHalfHoursInterpolateEachByte) {
    EXPECT_EQ(AmbientAt(0), 0x3D00055Du);
    EXPECT_EQ(AmbientAt(13 * 3600), 0x72FFFFFFu);
    EXPECT_EQ(AmbientAt(13 * 3600, 1), 0x72FFFFFFu);
    EXPECT_EQ(AmbientAt(45000), 0x62FFFFFFu);  // 12:30: alpha 0x52 + (0x72 - 0x52) / 2
    // 06:30, every byte rising: 0x3D0037C3 toward 0x3DAFB7B8 (the blue byte falls and truncates toward zero).
    EXPECT_EQ(AmbientAt(6 * 3600 + 1800), 0x3D5777BEu);  // blue: 0xC3 - 5.5 -> 0xBE
    // A whole day later, and beyond, the same.
    EXPECT_EQ(AmbientAt(45000 + 86400 * 3), 0x62FFFFFFu);
}

TEST(TimeOfDayColour, LastSecondOfTheDayInterpolatesTowardHourZeroOfTheSameTable) {
    // 0x3D00025D -> 0x3D00055D over the hour: green byte 2 + 3 * 3599 / 3600 truncates to 4.
    EXPECT_EQ(AmbientAt(86399), 0x3D00045Du);
    EXPECT_EQ(AmbientAt(86399, 1), 0x7200045Du);
}

TEST(TimeOfDayNight, DayCycleSwitchesAtSixAndNineteenAndFixedNightNever) {
    for (auto [t, night] : std::vector<std::pair<std::uint32_t, bool>>{
             {21599, true}, {21600, false}, {68399, false}, {68400, true}, {0, true}}) {
        scenes::TimeOfDay day;
        day.Update(t, nullptr);
        EXPECT_EQ(day.Night(), night) << t;
    }
    scenes::TimeOfDay fixed;
    fixed.SetLightingMode(1);
    for (std::uint32_t t = 0; t < 86400; t += 1800) {
        fixed.Update(t, nullptr);
        EXPECT_TRUE(fixed.Night());
        EXPECT_FLOAT_EQ(fixed.LightFade(), 1.0f);
        EXPECT_FLOAT_EQ(fixed.MorningFade(), 0.5f);
    }
}

TEST(TimeOfDayFades, LightFadeRisesAtDawnAndFallsAtDusk) {
    scenes::TimeOfDay day;
    day.Update(23399, nullptr);
    EXPECT_FALSE(day.LightFadeActive());
    day.Update(23400, nullptr);
    EXPECT_TRUE(day.LightFadeActive());
    EXPECT_FLOAT_EQ(day.LightFade(), 0.0f);
    day.Update(24300, nullptr);
    EXPECT_FLOAT_EQ(day.LightFade(), 0.5f);
    day.Update(36000, nullptr);
    EXPECT_FLOAT_EQ(day.LightFade(), 1.0f);
    day.Update(66240 + 1800, nullptr);
    EXPECT_FLOAT_EQ(day.LightFade(), 0.5f);
    day.Update(69839, nullptr);
    EXPECT_NEAR(day.LightFade(), 1.0f / 3600.0f, 1e-6f);
    day.Update(69840, nullptr);
    EXPECT_FALSE(day.LightFadeActive());
    EXPECT_NEAR(day.LightFade(), 1.0f / 3600.0f, 1e-6f);  // kept outside the range
}

TEST(TimeOfDayFades, MorningFadeGivesTheFogAlphaAndIsOpaqueOutsideItsRange) {
    scenes::TimeOfDay day;
    day.Update(12000, nullptr);
    EXPECT_FALSE(day.MorningFadeActive());
    EXPECT_EQ(day.AmbientWithMorningAlpha() >> 24, 255u);
    day.Update(14400, nullptr);  // 04:00: half way up
    EXPECT_TRUE(day.MorningFadeActive());
    EXPECT_FLOAT_EQ(day.MorningFade(), 0.5f);
    EXPECT_EQ(day.AmbientWithMorningAlpha() >> 24, 127u);
    EXPECT_EQ(day.AmbientWithMorningAlpha() & 0xFFFFFF, day.Ambient() & 0xFFFFFF);
    day.Update(20000, nullptr);
    EXPECT_EQ(day.AmbientWithMorningAlpha() >> 24, 255u);
    day.Update(29700, nullptr);  // 08:15
    EXPECT_FLOAT_EQ(day.MorningFade(), 0.5f);
    day.Update(30600, nullptr);
    EXPECT_FALSE(day.MorningFadeActive());
}

TEST(TimeOfDaySounds, EachWindowStartsItsSoundOnceAndStopsItOnce) {
    RecordingSounds sounds;
    scenes::TimeOfDay room;
    for (int frame = 0; frame < 100; ++frame) room.Update(36000, &sounds);
    EXPECT_EQ(sounds.calls, std::vector<std::string>{"play 0 loop"});

    RecordingSounds morning;
    scenes::TimeOfDay lobby;
    lobby.Update(14399, &morning);
    lobby.Update(14400, &morning);
    lobby.Update(16199, &morning);
    lobby.Update(16200, &morning);
    lobby.Update(16201, &morning);
    EXPECT_EQ(morning.calls, (std::vector<std::string>{"play 1 loop", "stop 1"}));
}

TEST(TimeOfDayScene, AmbientLightsAndNightLampsReachTheSceneAndLampsOnlyOnChange) {
    scenes::TimeOfDay day;
    RecordingTarget target;
    day.Update(45000, nullptr);
    day.SetupSceneLights(target, true);
    EXPECT_FLOAT_EQ(target.ambient[0], 1.0f);
    EXPECT_FLOAT_EQ(target.ambient[3], 0x62 / 255.0f);
    EXPECT_TRUE(target.lightsOn);
    EXPECT_FLOAT_EQ(target.light[3], 1.0f);
    EXPECT_EQ(target.lamps, std::vector<bool>{false});
    EXPECT_EQ(target.nightLights, std::vector<bool>{false});
    EXPECT_FALSE(target.fogOn);

    day.SetupSceneLights(target, true);
    EXPECT_EQ(target.lamps.size(), 1u);
    day.Update(70000, nullptr);
    day.SetupSceneLights(target, true);
    EXPECT_EQ(target.lamps, (std::vector<bool>{false, true}));
    EXPECT_EQ(target.nightLights, (std::vector<bool>{false, true}));
    EXPECT_FALSE(target.lightsOn);  // the light fade is no longer active
}

TEST(TimeOfDayScene, WithoutEffectsLightsStayOnNightLightsOffAndNoFog) {
    scenes::TimeOfDay night;
    night.SetLightingMode(1);
    night.Update(0, nullptr);
    RecordingTarget target;
    night.SetupSceneLights(target, false);
    EXPECT_TRUE(target.lightsOn);
    EXPECT_EQ(target.nightLights, std::vector<bool>{false});
    EXPECT_FALSE(target.fogOn);

    RecordingTarget withEffects;
    scenes::TimeOfDay night2;
    night2.SetLightingMode(1);
    night2.Update(0, nullptr);
    night2.SetupSceneLights(withEffects, true);
    EXPECT_EQ(withEffects.nightLights, std::vector<bool>{true});
    EXPECT_TRUE(withEffects.fogOn);
    EXPECT_FLOAT_EQ(withEffects.start, 20.0f);
    EXPECT_FLOAT_EQ(withEffects.end, 200.0f);
    EXPECT_FLOAT_EQ(withEffects.density, 0.25f);
}

TEST(TimeOfDayScene, NoMorningFadeMeansFogDistancesOfZeroNotInfinity) {
    scenes::TimeOfDay day;
    day.Update(12600, nullptr);  // the fade has just become active at 0
    RecordingTarget target;
    day.SetupSceneLights(target, true);
    EXPECT_FALSE(target.fogOn);
    EXPECT_EQ(target.start, 0.0f);
    EXPECT_EQ(target.end, 0.0f);
    EXPECT_EQ(target.density, 0.0f);
}

TEST(TimeOfDayScene, AFixedLightingReachesTheSceneAndABadFadeNeverGivesAnEndlessFog) {
    scenes::TimeOfDay day;
    day.Update(13 * 3600, nullptr);  // a bright noon before, which the fixed lighting must replace
    day.SetFixed({0x40FFCB87u, true, true, false, 0.015f});
    RecordingTarget target;
    day.SetupSceneLights(target, true);
    EXPECT_EQ(day.Ambient(), 0x40FFCB87u);
    EXPECT_EQ(day.AmbientWithMorningAlpha(), 0x40FFCB87u) << "the fog kept the noon colour";
    EXPECT_FLOAT_EQ(target.ambient[0], 1.0f);
    EXPECT_FLOAT_EQ(target.ambient[2], 0x87 / 255.0f);
    EXPECT_FLOAT_EQ(target.ambient[3], 0x40 / 255.0f);
    EXPECT_EQ(target.lamps, std::vector<bool>{true});
    EXPECT_FALSE(target.lightsOn) << "the daylight fade stayed on";
    EXPECT_TRUE(target.fogOn);
    EXPECT_NEAR(target.start, 10.0f / 0.015f, 0.1f);
    EXPECT_NEAR(target.end, 100.0f / 0.015f, 1.0f);

    // The next hour's update takes over again.
    day.Update(13 * 3600, nullptr);
    EXPECT_EQ(day.Ambient(), 0x72FFFFFFu);

    for (float bad : {-1.0f, 2.0f, std::nanf("")}) {
        day.SetFixed({0x40FFCB87u, true, true, false, bad});
        RecordingTarget t;
        day.SetupSceneLights(t, true);
        EXPECT_FALSE(t.fogOn) << bad;
        EXPECT_TRUE(std::isfinite(t.start) && std::isfinite(t.end)) << bad;
    }
}
