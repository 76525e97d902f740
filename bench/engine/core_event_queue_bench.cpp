#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

#include "engine/core/EventQueue.h"

// Post/pop pairs per second with the producer and the consumer on two threads, through the
// 1024-record pool the application's queues use.
static void BM_EventQueuePostPopAcrossTwoThreads(benchmark::State& state) {
    EventQueue queue(EventQueue::kDefaultCapacity);
    const auto batch = static_cast<std::uint32_t>(state.range(0));
    for (auto _ : state) {
        std::thread consumer([&] {
            std::uint32_t received = 0;
            while (received < batch) {
                if (EventRecord* record = queue.Pop()) {
                    benchmark::DoNotOptimize(record->a);
                    queue.Free(record);
                    ++received;
                } else {
                    std::this_thread::yield();
                }
            }
        });
        // Posting never waits: a full queue refuses, and this producer tries again.
        for (std::uint32_t i = 0; i < batch; ++i)
            while (!queue.Post(1000, i, 0, 0)) std::this_thread::yield();
        consumer.join();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * batch);
}
BENCHMARK(BM_EventQueuePostPopAcrossTwoThreads)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same pair on one thread: the cost of the lock and the pool without contention.
static void BM_EventQueuePostPopOneThread(benchmark::State& state) {
    EventQueue queue;
    for (auto _ : state) {
        queue.Post(1, 2, 3, 4);
        queue.Free(queue.Pop());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_EventQueuePostPopOneThread);

// A notice posted with PostUnique while it waits behind `range` other records: the cost of the scan
// that finds the equal one (the worst case: it is the last record).
static void BM_EventQueuePostUniqueBehindOthers(benchmark::State& state) {
    EventQueue queue;
    for (std::int64_t i = 0; i < state.range(0); ++i) queue.Post(1, static_cast<std::uint32_t>(i));
    queue.Post(2);
    for (auto _ : state) benchmark::DoNotOptimize(queue.PostUnique(2));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_EventQueuePostUniqueBehindOthers)->Arg(0)->Arg(100)->Arg(1000);
