// The cost of one update tick of a table world while a shot runs and while the balls rest, and of
// one frame of the table drawn through the recording backend (device calls and CPU time). Run by
// hand after a build (the generated packages are read from the build folder):
//   build/release/bench/bench_table

#include <benchmark/benchmark.h>

#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "platform/video/RecordingBackend.h"
#include "table/TableWorld.h"

namespace {

void SetUpWorld(table::TableWorld& world, int gameType) {
    world.SetGameType(gameType);
    world.SetGameItems(0, 0);
    world.SetPhysicsModel(0x10014, false);
    world.StartNewRack(5);
}

// A break shot of the game, run tick by tick; the ticks are timed, a new shot starts at rest.
void BM_UpdateTickDuringShot(benchmark::State& state) {
    table::TableWorld world;
    const int gameType = static_cast<int>(state.range(0));
    SetUpWorld(world, gameType);
    std::uint32_t tick = 0;
    std::size_t shots = 0;
    for (auto _ : state) {
        if (!world.ShotExecuting()) {
            state.PauseTiming();
            world.StartNewRack(5);
            world.Aim().SetPower(1.0f);
            world.StrikeFromAim();
            ++shots;
            state.ResumeTiming();
        }
        world.Update(++tick, 0, 0, false);
    }
    state.counters["shots"] = static_cast<double>(shots);
}
BENCHMARK(BM_UpdateTickDuringShot)->Arg(4)->Arg(10)->Arg(16);

void BM_UpdateTickAtRest(benchmark::State& state) {
    table::TableWorld world;
    SetUpWorld(world, static_cast<int>(state.range(0)));
    std::uint32_t tick = 0;
    for (auto _ : state) world.Update(++tick, 0, 0, false);
}
BENCHMARK(BM_UpdateTickAtRest)->Arg(4)->Arg(16);

// One frame of the 8-ball table in the practice map: the scene, the balls and cue, the overlays
// and the controls, through the recording backend.
void BM_DrawFrameRecording(benchmark::State& state) {
    auto recording = std::make_unique<platform::RecordingBackend>();
    platform::RecordingBackend* backend = recording.get();
    RenderDevice device(std::move(recording));
    device.ApplyDisplayMode();
    ResourceManager resources;
    resources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
    resources.SetDataFolder(u"data");
    ResourcePackage* data = resources.OpenPackage(u"data");
    ResourceGroup* map = data ? data->FindGroup(u"Map0000") : nullptr;
    table::TableWorld world;
    SetUpWorld(world, static_cast<int>(state.range(0)));
    world.trailDisplay = true;
    SceneManager scenes(device);
    if (!map || world.LoadModels(device, resources) != 0) {
        state.SkipWithError("the generated packages are missing: build first");
        return;
    }
    Scene* scene = scenes.AddSceneFromInfo(map->GetSceneInfoManager().All().front()->data, *map);
    scenes.SetCurrentScene(0);
    world.AttachToScene(*scene);
    world.Update(1, 0, 0, false);
    std::size_t calls = 0;
    for (auto _ : state) {
        backend->ClearLog();
        world.ProcessViewEvents();
        device.BeginFrame();
        device.BeginScene();
        scenes.RenderCurrentScene();
        world.RenderBalls(device);
        world.Render(device);
        world.DrawHud(device);
        device.EndScene();
        device.Present();
        calls = backend->Log().size();
    }
    state.counters["device calls"] = static_cast<double>(calls);
    state.counters["draw calls"] = static_cast<double>(backend->Count("DIP") + backend->Count("DUP"));
}
BENCHMARK(BM_DrawFrameRecording)->Arg(4)->Arg(10)->Arg(16);

}  // namespace
