#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/sys/CriticalSection.h"
#include "platform/sys/Event.h"

using platform::CriticalSection;

TEST(CriticalSection, ReentrantEnterCountsUsesAndReleasesOwnerOnLastLeave) {
    CriticalSection cs;
    EXPECT_EQ(cs.Owner(), CriticalSection::kNoOwner);
    cs.Enter();
    cs.Enter();
    EXPECT_EQ(cs.UseCount(), 2);
    EXPECT_TRUE(cs.HeldByCurrentThread());
    cs.Leave();
    EXPECT_TRUE(cs.HeldByCurrentThread());
    cs.Leave();
    EXPECT_EQ(cs.UseCount(), 0);
    EXPECT_EQ(cs.Owner(), CriticalSection::kNoOwner);
}

TEST(CriticalSection, ExcludesOtherThreadsSoCountersDoNotLoseIncrements) {
    CriticalSection cs;
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                platform::ScopedLock lock(cs);
                ++counter;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(counter, 80000);
}

TEST(Event, AutoResetReleasesOneWaitAndManualResetStaysSet) {
    platform::Event autoEvent;
    autoEvent.Set();
    EXPECT_TRUE(autoEvent.WaitFor(0));
    EXPECT_FALSE(autoEvent.WaitFor(10));

    platform::Event manual(platform::Event::Reset::Manual);
    manual.Set();
    EXPECT_TRUE(manual.WaitFor(0));
    EXPECT_TRUE(manual.WaitFor(0));
    manual.ResetEvent();
    EXPECT_FALSE(manual.WaitFor(5));
}
