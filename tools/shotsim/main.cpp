// shotsim: a headless shot simulator. Reads a shot description (JSON, from a file or stdin),
// sets up the model and table, strikes and simulates until every ball rests or maxCalls.
// Usage: shotsim [--setup] [FILE]. Exit 0 at rest, 3 on the watchdog, 2 on bad input.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "physics/PhysicsFactory.h"
#include "tools/shotsim/ShotDescription.h"

namespace {

using physics::F32;

struct Fnv1a {
    std::uint64_t value = 0xcbf29ce484222325ull;
    void Add(std::uint64_t word) {
        for (int i = 0; i < 8; ++i) {
            value ^= static_cast<std::uint8_t>(word >> (8 * i));
            value *= 0x100000001b3ull;
        }
    }
    void Add(F32 f) { Add(f.Bits()); }
    void Add(const physics::Vector3& v) {
        Add(v.x);
        Add(v.y);
        Add(v.z);
    }
};

void PrintSetUp(const physics::PhysicsModel& model, std::uint32_t subSteps) {
    std::printf("model 0x%X\ntable %u\nhasPockets %u\n", model.ModelId(), model.Geometry().tableType,
                model.Table().hasPockets);
    const auto geometry = model.Geometry().Words();
    for (std::size_t i = 0; i < geometry.size(); ++i)
        std::printf("geometry %zu 0x%08X %.9g\n", i, geometry[i], F32::FromBits(geometry[i]).v);
    const auto params = physics::Params().Words();
    for (std::size_t i = 0; i < params.size(); ++i)
        std::printf("param %zu 0x%08X %.9g\n", i, params[i], F32::FromBits(params[i]).v);
    std::printf("h 0x%08X\n", physics::SubStepLength(F32(0.005f), subSteps).Bits());
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "shotsim: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool printSetUp = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--setup")
            printSetUp = true;
        else if (path.empty())
            path = arg;
        else
            return Fail("usage: shotsim [--setup] [FILE]");
    }
    std::stringstream text;
    if (path.empty() || path == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream in(path);
        if (!in) return Fail("cannot read " + path);
        text << in.rdbuf();
    }
    std::string error;
    const auto shot = shotsim::ParseShotDescription(text.str(), error);
    if (!shot) return Fail(error);

    for (const shotsim::SetUpStep& step : shot->setup)
        physics::CreatePhysicsModel(step.model, step.table, 3, false);
    const auto ballCount = static_cast<std::uint16_t>(shot->balls.size());
    auto model = physics::CreatePhysicsModel(shot->model, shot->table, ballCount, false);
    if (!model) return Fail("the model could not be set up");
    for (std::uint16_t i = 0; i < ballCount; ++i) {
        const shotsim::BallSpec& shotSpec = shot->balls[i];
        physics::Ball& ball = model->GetBall(i);
        if (!ball.SetSize(shotSpec.radiusCm, shotSpec.mass)) return Fail("bad ball kind");
        ball.position =
            physics::Vector3(shotSpec.x, shotSpec.y, shotSpec.z ? *shotSpec.z : shotSpec.radiusCm);
        if (shotSpec.seed) ball.RandomizeOrientation(*shotSpec.seed);
        if (shotSpec.orientation) ball.orientation = *shotSpec.orientation;
    }
    model->ResetParams();
    const std::uint32_t subSteps = shot->subSteps ? *shot->subSteps : (model->Table().hasPockets ? 15 : 50);
    if (printSetUp) PrintSetUp(*model, subSteps);

    Fnv1a hash;
    auto printEvents = [&hash](std::uint32_t call) {
        for (const physics::PhysicsEvent& e : physics::PhysicsEventQueue()) {
            std::printf("event %u %u %u %.9g %.9g %.9g %.9g %u\n", call, static_cast<unsigned>(e.type),
                        e.ballId, e.intensity.v, e.vector[0].v, e.vector[1].v, e.vector[2].v, e.tag);
            hash.Add(static_cast<std::uint64_t>(e.type) << 32 | e.ballId);
            hash.Add(e.intensity);
            hash.Add(e.vector[0]);
            hash.Add(e.vector[1]);
            hash.Add(e.vector[2]);
            hash.Add(e.tag);
        }
    };
    physics::PhysicsEventQueue().clear();
    model->Strike(model->GetBall(shot->strikeBall), shot->aimX, shot->aimY, shot->shot);
    printEvents(0);

    std::uint32_t calls = 0;
    bool rest = false;
    while (!rest && calls < shot->maxCalls) {
        rest = model->Simulate(F32(0.005f), subSteps, F32(1.0f));
        ++calls;
        printEvents(calls);
        for (std::uint16_t i = 0; i < ballCount; ++i) {
            const physics::Ball& b = model->GetBall(i);
            hash.Add(b.position);
            hash.Add(b.velocity);
            hash.Add(b.spin);
            hash.Add(b.orientation.x);
            hash.Add(b.orientation.y);
            hash.Add(b.orientation.z);
            hash.Add(b.orientation.w);
            hash.Add(b.outOfPlay);
        }
    }
    for (std::uint16_t i = 0; i < ballCount; ++i) {
        const physics::Ball& b = model->GetBall(i);
        std::printf("final %u %.9g %.9g %.9g %u\n", i, b.position.x.v, b.position.y.v, b.position.z.v,
                    b.outOfPlay);
    }
    std::printf("calls %u %s\n", calls, rest ? "rest" : "watchdog");
    std::printf("hash %016llx\n", static_cast<unsigned long long>(hash.value));
    return rest ? 0 : 3;
}
