#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/EventQueue.h"
#include "engine/core/Log.h"
#include "tests/engine/support/CoreTestUtil.h"

namespace {

// Collects the lines the log sees while the object lives.
class LogLines {
public:
    LogLines() {
        GetLog().SetObserver([this](const std::string& line) {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        });
    }
    ~LogLines() { GetLog().SetObserver(nullptr); }
    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace

TEST(EventQueue, PopsOldestFirstAndFreedRecordsReturnToThePool) {
    EventQueue queue(4);
    EXPECT_EQ(queue.Pop(), nullptr);
    // Wrap the ring more than once so that head and tail cross its end.
    for (std::uint32_t round = 0; round < 3; ++round) {
        for (std::uint32_t i = 0; i < 4; ++i) ASSERT_TRUE(queue.Post(100 + i, i, round, 7));
        EXPECT_EQ(queue.InUse(), 4u);
        for (std::uint32_t i = 0; i < 4; ++i) {
            EventRecord* record = queue.Pop();
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->code, 100 + i);
            EXPECT_EQ(record->a, i);
            EXPECT_EQ(record->b, round);
            EXPECT_EQ(record->c, 7u);
            queue.Free(record);
        }
        EXPECT_EQ(queue.Pop(), nullptr);
        EXPECT_EQ(queue.InUse(), 0u);
    }
    queue.Free(nullptr);
}

TEST(EventQueue, PoppedButUnfreedRecordsStillCountAgainstTheCapacity) {
    InstantSleepClock clock;
    EventQueue queue(2);
    ASSERT_TRUE(queue.Post(1));
    ASSERT_TRUE(queue.Post(2));
    EventRecord* held = queue.Pop();
    ASSERT_NE(held, nullptr);
    // One queued and one held by the consumer: the pool is empty although the queue is not full.
    EXPECT_FALSE(queue.Post(3));
    queue.Free(held);
    EXPECT_TRUE(queue.Post(3));
}

// A poster may hold a lock the draining thread needs, or be that thread: a full pool must refuse at
// once instead of sleeping until a record frees up.
TEST(EventQueue, FullPoolDropsAtOnceWithoutSleepingAndWarns) {
    InstantSleepClock clock;
    LogLines log;
    EventQueue queue(1);
    ASSERT_TRUE(queue.Post(1));
    EXPECT_FALSE(queue.Post(1234, 5, 6, 7));
    EXPECT_FALSE(queue.PostUnique(1235));
    EXPECT_EQ(clock.Sleeps(), 0u);
    EXPECT_EQ(queue.DroppedCount(), 2u);
    EXPECT_EQ(queue.Count(), 1u);
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("WARNING"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("1234 (5, 6, 7)"), std::string::npos) << lines[0];
}

TEST(EventQueue, PostUniqueFoldsOnlyIntoAnEqualRecordStillWaiting) {
    EventQueue queue(8);
    ASSERT_TRUE(queue.PostUnique(10, 1));
    ASSERT_TRUE(queue.Post(11));
    ASSERT_TRUE(queue.PostUnique(10, 1));  // folded into the first
    ASSERT_TRUE(queue.PostUnique(10, 2));  // another word: a message of its own
    EXPECT_EQ(queue.Count(), 3u);
    EXPECT_EQ(queue.CoalescedCount(), 1u);

    // Once popped, the record's handler may already have read the state: a new notice is queued.
    EventRecord* first = queue.Pop();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->code, 10u);
    ASSERT_TRUE(queue.PostUnique(10, 1));
    queue.Free(first);
    std::vector<std::uint32_t> order;
    while (EventRecord* record = queue.Pop()) {
        order.push_back(record->code * 10 + record->a);
        queue.Free(record);
    }
    EXPECT_EQ(order, (std::vector<std::uint32_t>{110, 102, 101}));
}

// Several producers against one consumer through a small pool, so that posts often find it empty.
// Nothing taken may be lost or duplicated, and each producer's messages arrive in its own order.
TEST(EventQueue, ManyProducersOneConsumerLoseNothingAndKeepEachProducersOrder) {
    constexpr std::uint32_t kProducers = 4;
    constexpr std::uint32_t kPerProducer = 10000;
    EventQueue queue(16);
    std::atomic<std::uint32_t> finished{0};
    std::vector<std::thread> producers;
    // Posting never waits, so each producer tries again until its message is taken.
    for (std::uint32_t p = 0; p < kProducers; ++p)
        producers.emplace_back([&, p] {
            for (std::uint32_t i = 0; i < kPerProducer; ++i)
                while (!queue.Post(p, i, i ^ 0xA5A5A5A5u, ~i)) std::this_thread::yield();
            ++finished;
        });

    std::vector<std::uint32_t> next(kProducers, 0);
    std::uint64_t received = 0;
    std::string fault;
    while (received < std::uint64_t{kProducers} * kPerProducer && fault.empty()) {
        EventRecord* record = queue.Pop();
        if (!record) {
            std::this_thread::yield();
            continue;
        }
        if (record->code >= kProducers)
            fault = "bad producer " + std::to_string(record->code);
        else if (record->a != next[record->code])
            fault = "producer " + std::to_string(record->code) + " sent " + std::to_string(record->a) +
                    ", expected " + std::to_string(next[record->code]);
        else if (record->b != (record->a ^ 0xA5A5A5A5u) || record->c != ~record->a)
            fault = "record words mixed up";
        else
            ++next[record->code];
        ++received;
        queue.Free(record);
    }
    // After a fault, keep draining so that no producer waits for records until it gives up.
    while (finished < kProducers) {
        if (EventRecord* record = queue.Pop())
            queue.Free(record);
        else
            std::this_thread::yield();
    }
    for (auto& t : producers) t.join();
    EXPECT_TRUE(fault.empty()) << fault;
    EXPECT_EQ(queue.Pop(), nullptr);
    EXPECT_EQ(queue.InUse(), 0u);
}
