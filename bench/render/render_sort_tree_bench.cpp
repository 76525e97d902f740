// Render-state changes per frame of a table scene drawn through the sort tree against the same
// parts drawn in filing order, and the cost of the tree's frame pass. Run by hand:
//   build/release/bench/bench_render

#include <benchmark/benchmark.h>

#include <cstring>

#include "engine/render/RenderDevice.h"
#include "engine/render/Scene.h"
#include "platform/video/RecordingBackend.h"

namespace {

constexpr std::uint32_t kFormat = platform::vertex_format::kPosition | platform::vertex_format::kNormal |
                                  platform::vertex_format::kDiffuse | platform::vertex_format::TexSets(1);

MeshPtr SphereLikeMesh(MaterialPtr material, std::uint32_t vertices, std::uint32_t triangles) {
    auto mesh = std::make_shared<Mesh>();
    mesh->SetVertices(kFormat,
                      std::vector<std::uint8_t>(vertices * platform::vertex_format::Stride(kFormat)));
    std::vector<std::uint16_t> indices;
    for (std::uint32_t t = 0; t < triangles; ++t)
        for (std::uint32_t k = 0; k < 3; ++k)
            indices.push_back(static_cast<std::uint16_t>((t + k) % vertices));
    mesh->AddPart(std::move(material), std::move(indices));
    return mesh;
}

struct TableScene {
    std::unique_ptr<RenderDevice> device;
    platform::RecordingBackend* backend;
    std::unique_ptr<Scene> scene;
    std::vector<MeshPartPtr> parts;  // filing order

    TableScene() {
        auto recording = std::make_unique<platform::RecordingBackend>();
        backend = recording.get();
        device = std::make_unique<RenderDevice>(std::move(recording));
        device->ApplyDisplayMode();
        scene = std::make_unique<Scene>(*device, "bench");
        scene->Content().directionalLights[0] = std::make_shared<Light>(platform::LightRecord{});
        auto texture = [&] {
            return Texture::CreateRgba(device.get(), 4, 4, std::vector<std::uint8_t>(64, 128));
        };
        auto material = [&](TexturePtr t) {
            auto m = std::make_shared<Material>();
            m->SetStage(0, std::move(t));
            return m;
        };
        // Cloth, cushions, rails and pockets share a few materials; every ball has its own texture.
        auto cloth = material(texture()), rail = material(texture()), pocket = material(nullptr);
        std::vector<MaterialPtr> balls;
        for (int i = 0; i < 16; ++i) balls.push_back(material(texture()));
        for (int i = 0; i < 16; ++i) {
            for (const auto& m : {cloth, rail, pocket, balls[static_cast<std::size_t>(i)]}) {
                auto node = std::make_shared<SceneNode>();
                node->SetMesh(0, SphereLikeMesh(m, 200, 380));
                scene->AddObject(node);
                parts.push_back(node->CurrentMesh()->parts[0]);
            }
        }
    }
};

void BM_StateChangesSortTree(benchmark::State& state) {
    TableScene s;
    RenderStatistics statistics;
    s.scene->Tree().Render(statistics);  // uploads and first-frame states
    std::size_t calls = 0;
    for (auto _ : state) {
        s.backend->ClearLog();
        s.scene->Tree().Render(statistics);
        calls = s.backend->Log().size();
    }
    state.counters["device_calls_per_frame"] = static_cast<double>(calls);
    state.counters["draws_per_frame"] = static_cast<double>(s.backend->Count("DIP"));
}

void BM_StateChangesFilingOrder(benchmark::State& state) {
    TableScene s;
    std::size_t calls = 0;
    for (auto _ : state) {
        s.backend->ClearLog();
        s.device->SetupSceneState(s.scene->CurrentCamera());
        s.device->SetAlphaMode(0);
        for (const auto& part : s.parts) {
            std::uint32_t vertices = 0;
            s.device->DrawPart(*part, true, vertices);
        }
        calls = s.backend->Log().size();
    }
    state.counters["device_calls_per_frame"] = static_cast<double>(calls);
    state.counters["draws_per_frame"] = static_cast<double>(s.backend->Count("DIP"));
}

void BM_DrawWalkPerFrame(benchmark::State& state) {
    TableScene s;
    s.backend->SetLogging(false);
    RenderStatistics statistics;
    s.scene->Tree().Render(statistics);
    for (auto _ : state) {
        s.scene->Tree().Render(statistics);
        benchmark::DoNotOptimize(statistics);
    }
}

}  // namespace

BENCHMARK(BM_StateChangesSortTree);
BENCHMARK(BM_StateChangesFilingOrder);
BENCHMARK(BM_DrawWalkPerFrame);
