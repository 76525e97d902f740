// Seeded shots of every model on every table, each in a fresh process: the shot must rest before
// the watchdog, leave no ball in play beyond a cushion line it crossed through the cushion's face,
// and give the same bits run first in the process, after another model's set-up and after the
// default model's set-up.
//
//   physics_shot_sweep [--shots N] [--models FIRST-LAST] [--tables FIRST-LAST] [--seed S] [--jobs J]
//
// Prints one line per model and table with what failed, and the hash over every shot; exit 0 when
// nothing failed, 1 otherwise, 2 on bad arguments.
#include <sys/wait.h>
#include <unistd.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/Lcg.h"
#include "tests/physics/support/Hash.h"
#include "tests/physics/support/ShotRunner.h"

namespace {

using namespace physics;
using namespace physics::testing;

struct Options {
    std::uint32_t shots = 200;
    std::uint32_t firstModel = kFirstModelId, lastModel = kLastModelId;
    std::uint32_t firstTable = 0, lastTable = kTableTypeCount - 1;
    std::uint32_t seed = 1;
    unsigned jobs = 4;
};

// What one shot's child process reports through its pipe.
struct Outcome {
    std::uint64_t hash = 0;
    std::uint32_t calls = 0;
    std::uint8_t watchdog = 0;
    std::uint8_t beyondCushion = 0;
    std::uint8_t historyMatters = 0;
    std::uint8_t crashed = 0;
    float final[3][3] = {};  // where the balls end, for the report of a failed shot
};

class Random {
public:
    explicit Random(std::uint32_t seed) { lcg_.Seed(seed); }
    float Uniform(float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(lcg_.Next() >> 8) / 16777216.0f;
    }
    std::uint32_t Below(std::uint32_t n) { return (lcg_.Next() >> 8) % n; }

private:
    Lcg lcg_;
};

// Three balls apart from each other inside the cushion lines, a varied strike of ball 0.
ShotSpec SeededShot(std::uint32_t model, std::uint32_t table, Random& random) {
    TableGeometry g;
    BuildTableGeometry(table, g, model);
    const float halfX = g.cushion.xMax.v - 4.0f, halfY = g.cushion.yMax.v - 4.0f;
    std::vector<BallPlacement> balls;
    while (balls.size() < 3) {
        const float x = random.Uniform(-halfX, halfX), y = random.Uniform(-halfY, halfY);
        bool apart = true;
        for (const BallPlacement& b : balls)
            if ((b.x.v - x) * (b.x.v - x) + (b.y.v - y) * (b.y.v - y) < 49.0f) apart = false;
        if (apart) balls.push_back({F32(x), F32(y), static_cast<std::uint32_t>(balls.size() + 1)});
    }
    ShotParams s = DefaultShot();
    s.offsetLimitSide = s.tipOffsetSide = F32(random.Uniform(-0.7f, 0.7f));
    s.offsetLimitVertical = s.tipOffsetVertical = F32(random.Uniform(-0.7f, 0.7f));
    s.elevation = F32(random.Uniform(0.0f, 1.0f));
    s.power = F32(random.Uniform(0.05f, 1.0f));
    s.contactFactor = F32(random.Uniform(0.0f, 1.0f));
    s.limitFactor = F32(random.Uniform(0.0f, 1.0f));
    s.stiffnessFactor = F32(random.Uniform(0.0f, 1.0f));
    const BallPlacement& target = balls[1 + random.Below(2)];
    ShotSpec shot = MakeShot(model, table, balls, target.x, target.y, s);
    shot.setup.clear();
    return shot;
}

// True where a pocket's mouth and jaws open the cushion line: the side pockets' band and the
// corners' triangles as the rail top tells them apart, widened by the corner pocket's radius and
// the ball's diameter.
bool NearPocket(const TableGeometry& g, const Ball& b) {
    const float x = b.position.x.v, y = b.position.y.v, r = b.radiusCm.v;
    const float mid = (g.cushion.xMax.v + g.cushion.xMin.v) / 2.0f;
    if (std::fabs(x - mid) < g.sideHoleRadius.v + r) return true;
    const float ax = std::fmin(x - g.outer.xMin.v, g.outer.xMax.v - x);
    const float ay = std::fmin(y - g.outer.yMin.v, g.outer.yMax.v - y);
    return ax + ay <= g.cornerZone.v + g.cushionWidth.v + g.cornerPocketRadius.v + 2.0f * r;
}

// Watches a shot call by call for a ball that crosses a cushion line low enough to meet the
// cushion's face (its centre not above the cushion's top), away from a pocket's mouth, and ends in
// play beyond it: it went through the cushion. A ball whose centre is higher meets the cushion's
// top edge or slanted nose and may ride over the rail top (a jumping ball landing on the edge
// does, its bottom a hair below the cushion's top); that is a shot, not a fault.
class CushionWatch {
public:
    void operator()(std::uint32_t, PhysicsModel& model) {
        const TableGeometry& g = model.Geometry();
        for (std::uint16_t i = 0; i < model.BallCount() && i < kWatched; ++i) {
            const Ball& b = model.GetBall(i);
            const bool inside =
                b.outOfPlay != 0 || (g.cushion.xMin <= b.position.x && b.position.x <= g.cushion.xMax &&
                                     g.cushion.yMin <= b.position.y && b.position.y <= g.cushion.yMax);
            const bool low = b.position.z.v <= g.cushionHeight.v;
            const bool mouth = model.Table().hasPockets != 0 && NearPocket(g, b);
            if (wasInside_[i] && !inside && low && !mouth) crossed_[i] = true;
            wasInside_[i] = inside;
        }
    }
    bool ThroughCushion(const ShotResult& r) const {
        for (std::size_t i = 0; i < r.final.size() && i < kWatched; ++i)
            if (crossed_[i] && r.final[i].outOfPlay == 0 &&
                !r.final[i].IsInsideCushions(F32(-r.final[i].radiusCm.v)))
                return true;
        return false;
    }

private:
    static constexpr std::uint16_t kWatched = 3;
    bool wasInside_[kWatched] = {true, true, true};
    bool crossed_[kWatched] = {false, false, false};
};

// The child's work: the shot first in the process, after another model's set-up on a seeded
// table, and after the default model's set-up on its own table.
Outcome RunInThisProcess(std::uint32_t model, std::uint32_t table, std::uint32_t seed) {
    Random random(seed);
    const ShotSpec shot = SeededShot(model, table, random);
    std::uint32_t other = kFirstModelId + random.Below(kLastModelId - kFirstModelId + 1);
    if (other == model) other = other == kLastModelId ? kFirstModelId : other + 1;
    const std::uint32_t otherTable = random.Below(kTableTypeCount);

    Outcome out;
    CushionWatch watch;
    const ShotResult first = RunShot(shot, false, std::ref(watch));
    out.hash = first.hash;
    out.calls = first.calls;
    out.watchdog = first.rest ? 0 : 1;
    out.beyondCushion = watch.ThroughCushion(first) ? 1 : 0;
    for (std::size_t i = 0; i < 3; ++i) {
        out.final[i][0] = first.final[i].position.x.v;
        out.final[i][1] = first.final[i].position.y.v;
        out.final[i][2] = first.final[i].position.z.v;
    }
    CreatePhysicsModel(other, otherTable, 3, false);
    if (RunShot(shot).hash != first.hash) out.historyMatters = 1;
    CreatePhysicsModel(kDefaultPhysicsModelId, table, 3, false);
    if (RunShot(shot).hash != first.hash) out.historyMatters = 1;
    return out;
}

struct Child {
    pid_t pid;
    int fd;
    std::uint32_t shot;
};

Outcome Collect(const Child& child) {
    Outcome out;
    std::size_t got = 0;
    auto* bytes = reinterpret_cast<char*>(&out);
    while (got < sizeof out) {
        const ssize_t n = read(child.fd, bytes + got, sizeof out - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(child.fd);
    int status = 0;
    waitpid(child.pid, &status, 0);
    if (got != sizeof out || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        out = Outcome{};
        out.crashed = 1;
    }
    return out;
}

bool Spawn(std::uint32_t model, std::uint32_t table, std::uint32_t seed, std::uint32_t shot, Child& child) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        close(fds[0]);
        const Outcome out = RunInThisProcess(model, table, seed);
        const bool written = write(fds[1], &out, sizeof out) == static_cast<ssize_t>(sizeof out);
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    child = Child{pid, fds[0], shot};
    return true;
}

bool ParseRange(const char* text, std::uint32_t& first, std::uint32_t& last) {
    char* end = nullptr;
    first = static_cast<std::uint32_t>(std::strtoul(text, &end, 0));
    if (end == text) return false;
    if (*end == '\0') {
        last = first;
        return true;
    }
    if (*end != '-') return false;
    const char* second = end + 1;
    last = static_cast<std::uint32_t>(std::strtoul(second, &end, 0));
    return end != second && *end == '\0' && first <= last;
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        char* end = nullptr;
        if (flag == "--shots") {
            o.shots = static_cast<std::uint32_t>(std::strtoul(value, &end, 0));
            if (*end != '\0' || o.shots == 0) return false;
        } else if (flag == "--seed") {
            o.seed = static_cast<std::uint32_t>(std::strtoul(value, &end, 0));
            if (*end != '\0') return false;
        } else if (flag == "--jobs") {
            o.jobs = static_cast<unsigned>(std::strtoul(value, &end, 0));
            if (*end != '\0' || o.jobs == 0 || o.jobs > 64) return false;
        } else if (flag == "--models") {
            if (!ParseRange(value, o.firstModel, o.lastModel)) return false;
            if (o.firstModel < kFirstModelId || o.lastModel > kLastModelId) return false;
        } else if (flag == "--tables") {
            if (!ParseRange(value, o.firstTable, o.lastTable) || o.lastTable >= kTableTypeCount) return false;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: physics_shot_sweep [--shots N] [--models FIRST-LAST] [--tables FIRST-LAST] "
                     "[--seed S] [--jobs J]\n");
        return 2;
    }
    Fnv1a all;
    std::uint64_t shots = 0, failures = 0, calls = 0;
    for (std::uint32_t model = o.firstModel; model <= o.lastModel; ++model) {
        for (std::uint32_t table = o.firstTable; table <= o.lastTable; ++table) {
            std::vector<Outcome> outcomes(o.shots);
            std::vector<std::uint32_t> seeds(o.shots);
            std::vector<Child> running;
            std::uint32_t next = 0;
            while (next < o.shots || !running.empty()) {
                while (next < o.shots && running.size() < o.jobs) {
                    const std::uint32_t seed =
                        o.seed * 2654435761u ^ (model << 8 | table) * 40503u ^ next * 69069u;
                    seeds[next] = seed;
                    Child child{};
                    if (!Spawn(model, table, seed, next, child)) {
                        std::fprintf(stderr, "physics_shot_sweep: cannot start a process\n");
                        return 1;
                    }
                    running.push_back(child);
                    ++next;
                }
                outcomes[running.front().shot] = Collect(running.front());
                running.erase(running.begin());
            }
            Fnv1a hash;
            unsigned watchdog = 0, beyond = 0, history = 0, crashed = 0;
            for (std::uint32_t i = 0; i < o.shots; ++i) {
                const Outcome& out = outcomes[i];
                if (out.watchdog + out.beyondCushion + out.historyMatters + out.crashed != 0)
                    std::fprintf(stderr,
                                 "  shot %" PRIu32 " (seed %" PRIu32
                                 "): %s%s%s%s balls at (%g %g %g) (%g %g %g) (%g %g %g)\n",
                                 i, seeds[i], out.watchdog ? "watchdog " : "",
                                 out.beyondCushion ? "beyond " : "", out.historyMatters ? "history " : "",
                                 out.crashed ? "crashed " : "", out.final[0][0], out.final[0][1],
                                 out.final[0][2], out.final[1][0], out.final[1][1], out.final[1][2],
                                 out.final[2][0], out.final[2][1], out.final[2][2]);
                hash.Add(out.hash);
                hash.Add(out.calls);
                calls += out.calls;
                watchdog += out.watchdog;
                beyond += out.beyondCushion;
                history += out.historyMatters;
                crashed += out.crashed;
            }
            all.Add(hash.value);
            shots += o.shots;
            const bool failed = watchdog + beyond + history + crashed != 0;
            failures += failed ? 1 : 0;
            std::printf(
                "model 0x%" PRIX32 " table %2" PRIu32 ": %" PRIu32
                " shots, watchdog %u, beyond a cushion %u, history-dependent %u, crashed %u, hash %016" PRIx64
                "%s\n",
                model, table, o.shots, watchdog, beyond, history, crashed, hash.value,
                failed ? "  FAILED" : "");
            std::fflush(stdout);
        }
    }
    std::printf("%" PRIu64 " shots, %" PRIu64 " calls, %" PRIu64 " model-table pairs failed, hash %016" PRIx64
                "\n",
                shots, calls, failures, all.value);
    return failures == 0 ? 0 : 1;
}
