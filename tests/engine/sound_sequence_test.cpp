#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSequence.h"
#include "engine/sound/WavCodec.h"
#include "platform/audio/NullAudioDevice.h"
#include "platform/sys/Clock.h"

using ::testing::ElementsAre;

namespace {

// Sounds of 100 ms and 200 ms over the null device, which keeps their time on a virtual clock.
class SoundSequenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClock(&clock);
        ASSERT_TRUE(manager.Initialize(std::make_unique<platform::NullAudioDevice>()));
        ASSERT_TRUE(manager.LoadStatic(1, GenerateToneWav(440.0f, 100)));
        ASSERT_TRUE(manager.LoadStatic(2, GenerateToneWav(660.0f, 200)));
        manager.SetPlayObserver([this](int id) { played.push_back(id); });
    }
    void TearDown() override {
        manager.Shutdown();
        platform::SetClock(nullptr);
    }
    // One update of the sound system: every tenth 5 ms tick.
    void Tick50Ms() {
        clock.AdvanceMs(50);
        manager.Update();
        sequence.Update();
    }

    platform::VirtualClock clock;
    SoundManager manager;
    SoundSequence sequence{&manager};
    std::vector<int> played;
};

}  // namespace

TEST_F(SoundSequenceTest, SoundOnAnEmptyQueueStartsAtOnce) {
    sequence.Enqueue(2, 1.0f);
    EXPECT_THAT(played, ElementsAre(2));
    EXPECT_TRUE(manager.IsPlaying(2));
}

TEST_F(SoundSequenceTest, QueuedSoundsPlayOneAfterAnotherWithinOneUpdateOfTheEnd) {
    sequence.Enqueue(2, 1.0f);
    sequence.Enqueue(1, 0.5f);
    sequence.Enqueue(2, 1.0f);
    EXPECT_THAT(played, ElementsAre(2));
    Tick50Ms();
    Tick50Ms();
    Tick50Ms();  // 150 ms: the first (200 ms) still plays
    EXPECT_THAT(played, ElementsAre(2));
    Tick50Ms();  // 200 ms: it has ended, the second starts
    EXPECT_THAT(played, ElementsAre(2, 1));
    Tick50Ms();
    Tick50Ms();  // 300 ms: the 100 ms sound started at 200 ms has ended
    EXPECT_THAT(played, ElementsAre(2, 1, 2));
    for (int i = 0; i < 5; ++i) Tick50Ms();
    EXPECT_EQ(sequence.Size(), 0u);
    EXPECT_THAT(played, ElementsAre(2, 1, 2));
}

TEST_F(SoundSequenceTest, SoundsThatCannotPlayAreDroppedAtTheNextUpdate) {
    manager.SetCategoryEnabled(SoundCategory::Effects, false);
    sequence.Enqueue(1, 1.0f);
    sequence.Enqueue(99, 1.0f);  // never loaded
    sequence.Enqueue(2, 1.0f);
    manager.SetCategoryEnabled(SoundCategory::Effects, true);
    Tick50Ms();  // 1 was refused: drop it, try 99
    Tick50Ms();  // 99 is missing: drop it, play 2
    EXPECT_THAT(played, ElementsAre(2));

    SoundSequence detached;
    detached.Enqueue(1, 1.0f);
    detached.Update();
    EXPECT_EQ(detached.Size(), 0u);
}

TEST_F(SoundSequenceTest, EnqueueFromTheDispatchThreadDuringUpdatesLosesNothing) {
    // Every entry is played exactly once, when it reaches the front of the queue.
    std::atomic<int> plays{0};
    manager.SetPlayObserver([&](int) { plays.fetch_add(1, std::memory_order_relaxed); });
    std::atomic<bool> done{false};
    std::thread dispatch([&] {
        for (int i = 0; i < 300; ++i) sequence.Enqueue(1, 1.0f);
        done = true;
    });
    auto updateOnce = [&] {
        clock.AdvanceMs(100);  // the 100 ms sound at the front has ended
        sequence.Update();
    };
    while (!done) updateOnce();  // updates race the enqueues for as long as they run
    dispatch.join();
    for (int i = 0; i < 1000 && sequence.Size() != 0; ++i) updateOnce();
    EXPECT_EQ(sequence.Size(), 0u);
    EXPECT_EQ(plays.load(), 300);
}
