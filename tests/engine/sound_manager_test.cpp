#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <iterator>
#include <thread>

#include "engine/sound/SoundManager.h"
#include "engine/sound/WavCodec.h"
#include "platform/audio/NullAudioDevice.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "tests/common/TempDir.h"
#include "tests/engine/support/SoundTestSupport.h"

using ::testing::ElementsAre;
using ::testing::FloatEq;
using ::testing::UnorderedElementsAre;

namespace {

// A manager over the null device, with time in the test's hands.
class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClock(&clock);
        auto owned = std::make_unique<platform::NullAudioDevice>();
        device = owned.get();
        ASSERT_TRUE(manager.Initialize(std::move(owned)));
        tone = GenerateToneWav(440.0f, 300);
    }
    void TearDown() override {
        manager.Shutdown();
        platform::SetClock(nullptr);
    }

    platform::VirtualClock clock;
    platform::NullAudioDevice* device = nullptr;
    SoundManager manager;
    std::vector<std::uint8_t> tone;
};

}  // namespace

TEST(SoundManagerWithoutDevice, PlayReturnsFalseAndNothingLoads) {
    SoundManager manager;
    EXPECT_FALSE(manager.Initialize(nullptr));
    EXPECT_FALSE(manager.IsInitialized());
    EXPECT_FALSE(manager.LoadStatic(1, GenerateToneWav(440.0f, 50)));
    EXPECT_FALSE(manager.Play(1, 1.0f));
    EXPECT_FALSE(manager.PlayDefault(1, true));
    EXPECT_FALSE(manager.IsPlaying(1));
    manager.Stop(1);
    manager.Update();
    EXPECT_FALSE(manager.Unload(1));
}

TEST_F(SoundManagerTest, MissingSoundIsNotPlayedAndNotReported) {
    int reported = 0;
    manager.SetPlayObserver([&](int) { ++reported; });
    EXPECT_FALSE(manager.Play(42, 1.0f));
    EXPECT_FALSE(manager.IsPlaying(42));
    EXPECT_EQ(reported, 0);
}

TEST_F(SoundManagerTest, StaticSoundPlaysForItsLengthAndReportsItsId) {
    std::vector<int> played;
    manager.SetPlayObserver([&](int id) { played.push_back(id); });
    ASSERT_TRUE(manager.LoadStatic(7, tone));
    EXPECT_EQ(manager.BackendName(), "null");
    ASSERT_TRUE(manager.Play(7, 0.5f));
    EXPECT_THAT(played, ElementsAre(7));
    EXPECT_TRUE(manager.IsPlaying(7));
    clock.AdvanceMs(299);
    EXPECT_TRUE(manager.IsPlaying(7));
    clock.AdvanceMs(1);
    EXPECT_FALSE(manager.IsPlaying(7));

    ASSERT_TRUE(manager.PlayDefault(7, true));  // looping outlasts its length until stopped
    clock.AdvanceMs(5000);
    EXPECT_TRUE(manager.IsPlaying(7));
    manager.Stop(7);
    EXPECT_FALSE(manager.IsPlaying(7));
}

TEST_F(SoundManagerTest, OnlySuccessfulPlaysAreJournalled) {
    const testsupport::TempDir dir;
    const std::string path = dir.File("journal.txt");
    ASSERT_TRUE(platform::Journal::Open(path));
    ASSERT_TRUE(manager.LoadStatic(7, tone, SoundCategory::Voice));
    EXPECT_TRUE(manager.Play(7, 1.0f));
    EXPECT_FALSE(manager.Play(8, 1.0f));
    manager.SetCategoryEnabled(SoundCategory::Voice, false);
    EXPECT_FALSE(manager.Play(7, 1.0f));
    platform::Journal::Open("");
    std::ifstream file(path);
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text, "SOUND 7\n");
}

TEST_F(SoundManagerTest, CopiesLetASoundOverlapItselfAndTheOldestIsReused) {
    ASSERT_TRUE(manager.LoadStatic(3, tone, SoundCategory::Effects, 2));
    ASSERT_TRUE(manager.Play(3, 0.2f));
    clock.AdvanceMs(100);
    ASSERT_TRUE(manager.Play(3, 0.4f));
    EXPECT_THAT(device->PlayingVolumes(), ElementsAre(FloatEq(0.2f), FloatEq(0.4f)));
    // Both copies busy: the one started first starts over.
    clock.AdvanceMs(100);
    ASSERT_TRUE(manager.Play(3, 0.6f));
    EXPECT_THAT(device->PlayingVolumes(), ElementsAre(FloatEq(0.6f), FloatEq(0.4f)));
    clock.AdvanceMs(250);  // the second copy ends, the restarted first one plays on
    EXPECT_THAT(device->PlayingVolumes(), ElementsAre(FloatEq(0.6f)));
    manager.Stop(3);
    EXPECT_TRUE(device->PlayingVolumes().empty());
}

TEST_F(SoundManagerTest, DisabledCategoryRefusesPlayAndSilencesWhatPlays) {
    ASSERT_TRUE(manager.LoadStatic(1, tone, SoundCategory::Effects));
    ASSERT_TRUE(manager.LoadStatic(2, tone, SoundCategory::Music));
    manager.SetCategoryVolume(SoundCategory::Music, 0.5f);
    ASSERT_TRUE(manager.Play(2, 0.8f, 0, true));
    EXPECT_THAT(device->PlayingVolumes(), ElementsAre(FloatEq(0.4f)));

    manager.SetCategoryEnabled(SoundCategory::Music, false);
    EXPECT_FALSE(manager.IsCategoryEnabled(SoundCategory::Music));
    EXPECT_FALSE(manager.Play(2, 1.0f));
    EXPECT_THAT(device->PlayingVolumes(), ElementsAre(FloatEq(0.0f)));
    EXPECT_TRUE(manager.Play(1, 1.0f));  // other categories are untouched

    manager.SetCategoryEnabled(SoundCategory::Music, true);
    EXPECT_THAT(device->PlayingVolumes(), UnorderedElementsAre(FloatEq(0.4f), FloatEq(1.0f)));
}

TEST_F(SoundManagerTest, CategoryVolumeScalesPlayingSoundsAndIsClamped) {
    ASSERT_TRUE(manager.LoadStatic(1, tone, SoundCategory::Voice));
    ASSERT_TRUE(manager.Play(1, 0.5f, 0, true));
    manager.SetCategoryVolume(SoundCategory::Voice, 0.5f);
    EXPECT_THAT(device->PlayingVolumes(), ElementsAre(FloatEq(0.25f)));
    manager.SetCategoryVolume(SoundCategory::Voice, 7.0f);
    EXPECT_FLOAT_EQ(manager.CategoryVolume(SoundCategory::Voice), 1.0f);
    manager.SetCategoryVolume(SoundCategory::Voice, std::nanf(""));
    EXPECT_FLOAT_EQ(manager.CategoryVolume(SoundCategory::Voice), 1.0f);
    manager.SetCategoryVolume(SoundCategory::Voice, -1.0f);
    EXPECT_THAT(device->PlayingVolumes(), ElementsAre(FloatEq(0.0f)));
    manager.SetCategoryVolume(static_cast<SoundCategory>(9), 0.5f);  // ignored, no crash

    SoundCategory category{};
    EXPECT_TRUE(SoundManager::CategoryFromIndex(2, category));
    EXPECT_EQ(category, SoundCategory::Voice);
    EXPECT_FALSE(SoundManager::CategoryFromIndex(3, category));
    EXPECT_FALSE(SoundManager::CategoryFromIndex(-1, category));
}

TEST_F(SoundManagerTest, BadInputIsRefusedAndUnloadFreesTheDeviceObjects) {
    EXPECT_FALSE(manager.LoadStatic(1, std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_FALSE(manager.LoadStatic(1, tone, SoundCategory::Effects, 0));
    EXPECT_FALSE(manager.LoadStatic(1, tone, SoundCategory::Effects, kMaxSoundCopies + 1));
    EXPECT_FALSE(manager.LoadStatic(1, tone, static_cast<SoundCategory>(3)));
    EXPECT_FALSE(manager.LoadStream(1, tone));  // a stream must be Ogg Vorbis
    EXPECT_FALSE(manager.LoadStaticFile(1, "/nonexistent/sound.wav"));
    EXPECT_FALSE(manager.LoadStreamFile(1, "/nonexistent/music.ogg"));
    EXPECT_FALSE(manager.IsLoaded(1));
    EXPECT_EQ(device->SourceCount(), 0);
    EXPECT_EQ(device->BufferCount(), 0);

    ASSERT_TRUE(manager.LoadStatic(1, tone, SoundCategory::Effects, 3));
    ASSERT_TRUE(manager.LoadStatic(1, tone, SoundCategory::Effects, 2));  // replaces the first
    ASSERT_TRUE(manager.LoadStream(2, soundtest::EncodeToneOgg(440.0f, 300)));
    EXPECT_EQ(device->SourceCount(), 2 + 1);
    EXPECT_EQ(device->BufferCount(), 1 + kStreamBufferCount);
    ASSERT_TRUE(manager.PlayDefault(2));
    EXPECT_TRUE(manager.Unload(2));
    EXPECT_FALSE(manager.Unload(2));
    EXPECT_FALSE(manager.Play(2, 1.0f));
    manager.Shutdown();
    EXPECT_FALSE(manager.Play(1, 1.0f));
}

TEST_F(SoundManagerTest, StreamIsRefilledAsBuffersCompleteAndLoopsOrEnds) {
    // 1.6 s of music: four 250 ms buffers hold 1 s, so the rest must come from refills.
    // Refills come from Update here and from the worker whenever it wakes; either keeps it going.
    ASSERT_TRUE(manager.LoadStream(4, soundtest::EncodeToneOgg(440.0f, 1600)));
    ASSERT_TRUE(manager.PlayDefault(4, false));
    for (int ms = 50; ms < 1600; ms += 50) {
        clock.AdvanceMs(50);
        manager.Update();
        EXPECT_TRUE(manager.IsPlaying(4)) << "at " << ms << " ms";
    }
    clock.AdvanceMs(150);
    manager.Update();
    EXPECT_FALSE(manager.IsPlaying(4));

    ASSERT_TRUE(manager.PlayDefault(4, true));
    for (int ms = 0; ms < 5000; ms += 50) {
        clock.AdvanceMs(50);
        manager.Update();
    }
    EXPECT_TRUE(manager.IsPlaying(4));
    // A stall longer than the queue runs it dry; the next refill carries on playing.
    clock.AdvanceMs(3000);
    manager.Update();
    EXPECT_TRUE(manager.IsPlaying(4));
    EXPECT_EQ(device->PlayingVolumes().size(), 1u);
    manager.Stop(4);
    EXPECT_FALSE(manager.IsPlaying(4));
    manager.Update();
    EXPECT_FALSE(manager.IsPlaying(4));
}

TEST_F(SoundManagerTest, NullDeviceNeverBlocksEvenWhenTimeStandsStill) {
    ASSERT_TRUE(manager.LoadStatic(1, tone));
    ASSERT_TRUE(manager.LoadStream(2, soundtest::EncodeToneOgg(440.0f, 300)));
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(manager.Play(1, 1.0f));
        EXPECT_TRUE(manager.PlayDefault(2, true));
        manager.Update();
    }
    EXPECT_TRUE(manager.IsPlaying(2));
    manager.Shutdown();  // the worker waits on real time only, so this returns at once
}

TEST_F(SoundManagerTest, ConcurrentCallersAndTheWorkerShareTheSounds) {
    ASSERT_TRUE(manager.LoadStatic(1, tone, SoundCategory::Effects, 4));
    ASSERT_TRUE(manager.LoadStream(2, soundtest::EncodeToneOgg(440.0f, 400)));
    std::atomic<int> plays{0};
    manager.SetPlayObserver([&](int) { plays.fetch_add(1, std::memory_order_relaxed); });
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                manager.Play(t == 0 ? 2 : 1, 1.0f, 0, t == 0);
                manager.IsPlaying(1);
                if (i % 50 == 0) manager.SetCategoryVolume(SoundCategory::Effects, (i % 100) / 100.0f);
                manager.Update();
            }
        });
    }
    for (int i = 0; i < 100; ++i) clock.AdvanceMs(10);
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(plays.load(), 600);
}
