// Sounds played through OpenAL Soft whose "wave" output mixes into a file (set up by the test
// support before main), read back and measured. The writer runs in real time, so these tests wait
// for real as long as their sounds last.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/sound/SoundManager.h"
#include "engine/sound/WavCodec.h"
#include "platform/audio/AudioDevice.h"
#include "platform/sys/Clock.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"
#include "tests/engine/support/SoundTestSupport.h"

namespace {

// A sound test killed in the middle of its sound.
const testsupport::ChildMode kKilled("sound-test-killed", [] {
    SoundManager manager;
    if (manager.Initialize(platform::CreateOpenAlDevice()) &&
        manager.LoadStatic(1, GenerateToneWav(440.0f, 5000)) && manager.PlayDefault(1))
        raise(SIGKILL);
    return 1;
});

class SoundOpenAlTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto device = platform::CreateOpenAlDevice();
        ASSERT_NE(device, nullptr) << "OpenAL Soft opened no wave output at " << soundtest::WaveOutputPath();
        ASSERT_TRUE(manager.Initialize(std::move(device)));
        ASSERT_EQ(manager.BackendName(), "openal");
    }

    static void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    // Waits until the sound has ended (at most limitMs), calling Update as the update thread does.
    bool WaitUntilSilent(int id, int limitMs) {
        for (int waited = 0; waited < limitMs; waited += 50) {
            if (!manager.IsPlaying(id)) return true;
            manager.Update();
            SleepMs(50);
        }
        return false;
    }

    // Closes the device so that the file is complete, and measures it.
    soundtest::ToneStats Recorded() {
        manager.Shutdown();
        PcmSound recording;
        EXPECT_TRUE(soundtest::ReadWaveOutput(recording));
        EXPECT_EQ(recording.format.sampleRate, soundtest::kOutputRate);
        return soundtest::Analyse(recording);
    }

    SoundManager manager;
};

}  // namespace

TEST_F(SoundOpenAlTest, WavSoundIsHeardAtItsPitchForItsLength) {
    ASSERT_TRUE(manager.LoadStatic(1, GenerateToneWav(440.0f, 400, 22050, 0.5f)));
    ASSERT_TRUE(manager.PlayDefault(1));
    EXPECT_TRUE(manager.IsPlaying(1));
    ASSERT_TRUE(WaitUntilSilent(1, 3000));
    SleepMs(100);
    const auto stats = Recorded();
    EXPECT_GT(stats.peak, 8000);
    EXPECT_NEAR(soundtest::LoudMs(stats), 400.0, 40.0);
    EXPECT_NEAR(stats.frequency, 440.0, 15.0);
}

TEST_F(SoundOpenAlTest, OggStaticSoundIsDecodedWholeAndHeard) {
    ASSERT_TRUE(manager.LoadStatic(2, soundtest::EncodeToneOgg(660.0f, 500, 44100, 2)));
    ASSERT_TRUE(manager.Play(2, 1.0f));
    ASSERT_TRUE(WaitUntilSilent(2, 3000));
    SleepMs(100);
    const auto stats = Recorded();
    EXPECT_GT(stats.peak, 8000);
    EXPECT_NEAR(soundtest::LoudMs(stats), 500.0, 40.0);
    EXPECT_NEAR(stats.frequency, 660.0, 15.0);
}

TEST_F(SoundOpenAlTest, StreamLongerThanItsBuffersIsRefilledToTheEnd) {
    // 2 s of music against four 250 ms buffers: at least four refills by the worker thread.
    ASSERT_TRUE(manager.LoadStream(4, soundtest::EncodeToneOgg(550.0f, 2000)));
    ASSERT_TRUE(manager.PlayDefault(4));
    for (int waited = 0; manager.IsPlaying(4) && waited < 5000; waited += 50) SleepMs(50);
    EXPECT_FALSE(manager.IsPlaying(4));
    SleepMs(100);
    const auto stats = Recorded();
    EXPECT_NEAR(soundtest::LoudMs(stats), 2000.0, 60.0);
    EXPECT_NEAR(stats.frequency, 550.0, 15.0);
}

TEST_F(SoundOpenAlTest, DisabledCategoryIsSilent) {
    ASSERT_TRUE(manager.LoadStatic(1, GenerateToneWav(440.0f, 300)));
    ASSERT_TRUE(manager.LoadStream(4, soundtest::EncodeToneOgg(550.0f, 300)));
    manager.SetCategoryEnabled(SoundCategory::Effects, false);
    EXPECT_FALSE(manager.PlayDefault(1));

    // Looping music is heard until its category goes off, and then no more.
    const std::uint64_t start = platform::GetClock().NowMs();
    ASSERT_TRUE(manager.PlayDefault(4, true));
    SleepMs(500);
    manager.SetCategoryEnabled(SoundCategory::Music, false);
    const double heardMs = static_cast<double>(platform::GetClock().NowMs() - start);
    SleepMs(700);
    EXPECT_TRUE(manager.IsPlaying(4));  // it plays on, muted, so it comes back when switched on
    const auto stats = Recorded();
    EXPECT_GT(stats.peak, 8000);
    EXPECT_NEAR(soundtest::LoudMs(stats), heardMs, 100.0);
}

// The sound tests' wave output leaves nothing on disk, also when a test is killed and runs no exit steps.
TEST(SoundTestOutput, AKilledSoundTestLeavesNothingBehind) {
    const testsupport::TempDir dir;
    const testsupport::ScopedEnv tmp("TMPDIR", dir.Path().c_str());
    testsupport::ChildProcess child("sound-test-killed");
    EXPECT_EQ(child.Wait(), std::optional<int>(-SIGKILL));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()))
        << std::filesystem::directory_iterator(dir.Path())->path();
}
