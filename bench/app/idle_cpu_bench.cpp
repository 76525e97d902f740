// The client at rest: how much of a core its threads take while nothing happens, at the offline
// table and in the lobby (normal mode against the test game server). Each run starts the client
// program, waits until its scene shows and a few frames went by, then reads the threads' CPU times
// from /proc over MARVENLOT_BENCH_IDLE_SECONDS (default 5) seconds. The counters are per cent of
// one core: the main thread, the update thread, the GL driver's threads and the whole process.
// With DISPLAY set the client draws into a window there; else through SDL's offscreen driver.
// MARVENLOT_BENCH_VSYNC=1 starts it with "vsync" on.
// Figures and how they were taken: docs/developing.md, "Idle CPU benchmark".
#include <benchmark/benchmark.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "tests/common/ChildProcess.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct ThreadTimes {
    std::string name;
    long long ticks = 0;  // user + system, in clock ticks
};

std::map<long, ThreadTimes> ReadThreads(pid_t pid) {
    std::map<long, ThreadTimes> threads;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const auto open = line.find('('), close = line.rfind(')');
        if (open == std::string::npos || close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        std::string field;
        long long utime = 0, stime = 0;
        for (int i = 3; i <= 15 && rest >> field; ++i) {
            if (i == 14) utime = std::atoll(field.c_str());
            if (i == 15) stime = std::atoll(field.c_str());
        }
        threads[std::atol(entry.path().filename().c_str())] = {line.substr(open + 1, close - open - 1),
                                                               utime + stime};
    }
    return threads;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitForLine(const fs::path& journal, const std::string& line, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadFile(journal).find(line) != std::string::npos) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

int IdleSeconds() {
    const char* text = std::getenv("MARVENLOT_BENCH_IDLE_SECONDS");
    const int seconds = text ? std::atoi(text) : 5;
    return seconds > 0 ? seconds : 5;
}

// One client run: started with `args`, measured once `sceneLine` is in its journal.
void MeasureIdleClient(benchmark::State& state, const std::vector<std::string>& args,
                       const std::string& script, const std::string& sceneLine, std::uint16_t port) {
    const fs::path folder = fs::temp_directory_path() / ("idle_bench_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "run");
    fs::create_directory_symlink(fs::path(MARVENLOT_BINARY_DIR) / "data", folder / "data");
    std::ofstream(folder / "input.txt") << script;
    if (const char* vsync = std::getenv("MARVENLOT_BENCH_VSYNC"); vsync && std::string(vsync) == "1")
        std::ofstream(folder / "config.ini") << "[Video]\nvsync= 1\n";
    std::vector<std::string> env{"MARVENLOT_VIDEO=sdl",
                                 "MARVENLOT_AUDIO=null",
                                 "MARVENLOT_HEADLESS=1",
                                 "MARVENLOT_HOME=" + folder.string(),
                                 "MARVENLOT_RUNTIME_DIR=" + (folder / "run").string(),
                                 "MARVENLOT_JOURNAL=" + (folder / "journal.txt").string(),
                                 "MARVENLOT_INPUT=" + (folder / "input.txt").string(),
                                 "MARVENLOT_SERVER=127.0.0.1:" + std::to_string(port)};
    if (!std::getenv("DISPLAY")) env.push_back("SDL_VIDEODRIVER=offscreen");

    const long hz = ::sysconf(_SC_CLK_TCK);
    const int seconds = IdleSeconds();
    for (auto _ : state) {
        testsupport::ChildProcess client;
        client.SetStderrFile((folder / "stderr.txt").string());
        if (!client.Start(MARVENLOT_BINARY_DIR "/app/marvenlot", args, env, folder.string()) ||
            !WaitForLine(folder / "journal.txt", sceneLine, 60s)) {
            state.SkipWithError("the client did not reach its scene");
            break;
        }
        std::this_thread::sleep_for(2s);
        const auto before = ReadThreads(client.Pid());
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        const auto after = ReadThreads(client.Pid());
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
        double main = 0, update = 0, driver = 0, process = 0;
        for (const auto& [tid, times] : after) {
            const auto was = before.find(tid);
            const double share =
                100.0 * static_cast<double>(times.ticks - (was == before.end() ? 0 : was->second.ticks)) /
                static_cast<double>(hz) / wall;
            process += share;
            if (tid == client.Pid()) main = share;
            if (times.name == "update") update = share;
            if (times.name.rfind("llvmpipe", 0) == 0) driver += share;
        }
        state.counters["main_pct"] = main;
        state.counters["update_pct"] = update;
        state.counters["gl_driver_pct"] = driver;
        state.counters["process_pct"] = process;
        client.Terminate();
        client.Wait(20s);
    }
    std::error_code error;
    fs::remove_all(folder, error);
}

void BM_IdleAtOfflineTable(benchmark::State& state) {
    MeasureIdleClient(state, {"offline"}, "", "SCENE 11", 1);
}

void BM_IdleInLobby(benchmark::State& state) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    if (!server.Start()) {
        state.SkipWithError("the test game server did not start");
        return;
    }
    // A new account: the first sign-in asks for a nickname.
    MeasureIdleClient(state, {"launcher", "idle", "secret"},
                      "wait-journal SCENE 1\nwait 300\ntext Idler\nkey Return\n", "SCENE 4", server.Port());
    server.Stop();
}

BENCHMARK(BM_IdleAtOfflineTable)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_IdleInLobby)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
