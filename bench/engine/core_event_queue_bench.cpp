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
        for (std::uint32_t i = 0; i < batch; ++i) queue.Post(1000, i, 0, 0);
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
