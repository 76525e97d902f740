#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/Log.h"

namespace {

WString BenchFolder() {
    const auto folder = std::filesystem::temp_directory_path() / "marvenlot-log-bench";
    std::filesystem::create_directories(folder);
    return FromUtf8(folder.string());
}

}  // namespace

// Formatted lines per second through the 100-record pool to the file, threads writing at once;
// the time includes the writer catching up (Flush).
static void BM_LogLinesPerSecond(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    constexpr int kLinesPerThread = 20000;
    LogSystem log;
    log.SetFolder(BenchFolder());
    log.Start(u"bench", LogSystem::kDefaultPoolRecords, true);
    for (auto _ : state) {
        std::vector<std::thread> writers;
        for (int t = 0; t < threads; ++t)
            writers.emplace_back([&, t] {
                for (int n = 0; n < kLinesPerThread; ++n)
                    log.Write(u"Renderer error: %s code %d thread %d\n", u"Failed to create Direct3D device.",
                              n, t);
            });
        for (auto& w : writers) w.join();
        log.Flush();
    }
    log.Stop();
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * threads * kLinesPerThread);
    std::filesystem::remove_all(std::filesystem::temp_directory_path() / "marvenlot-log-bench");
}
BENCHMARK(BM_LogLinesPerSecond)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
