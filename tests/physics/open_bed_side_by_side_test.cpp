// Branch B runs the balls that roll on the open bed side by side, and every other ball one
// by one. On crowded racks where both kinds mix in one sub-step (balls in the air, at cushions,
// at pockets, under a cue pulse, resting, out of play), the result must equal the one-by-one
// path call by call: the same events in the same order, every ball's state to the bit and the
// same turns.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "physics/PhysicsFactory.h"
#include "physics/PhysicsModelB.h"

namespace physics::testing {
namespace {

// What the factory does to a model it makes.
void SetUpAsTheFactoryDoes(PhysicsModel& m, std::uint32_t id, std::uint32_t table) {
    m.SetModelId(id);
    SetLastSetUpModelId(id);
    TableGeometry g;
    m.Table().hasPockets = BuildTableGeometry(table, g);
    m.Table().geometry = g;
    m.ResetParams();
}

// A branch-B model with the ordinary one-by-one sub-step of every ball.
class OneByOneModel : public PhysicsModelB {
public:
    OneByOneModel(std::uint32_t id, std::uint32_t table, std::uint16_t count)
        : PhysicsModelB(*TraitsOfModelB(id), table, count) {
        SetUpAsTheFactoryDoes(*this, id, table);
    }

protected:
    bool MoveBalls(F32 h) override { return PhysicsModel::MoveBalls(h); }
};

// A branch-B model counting the ordinary rail contacts it runs (the side-by-side path has none).
class RailCountingModel : public PhysicsModelB {
public:
    RailCountingModel(std::uint32_t id, std::uint32_t table, std::uint16_t count)
        : PhysicsModelB(*TraitsOfModelB(id), table, count) {
        SetUpAsTheFactoryDoes(*this, id, table);
    }
    void CollideRails(Ball& ball, F32 dt) override {
        ++railContacts;
        PhysicsModelB::CollideRails(ball, dt);
    }
    std::size_t railContacts = 0;
};

F32 Draw(std::mt19937& rng, float lo, float hi) {
    return F32(std::uniform_real_distribution<float>(lo, hi)(rng));
}

// A rack where every sub-step mixes balls rolling or sliding freely with balls that take the
// ordinary path and push events.
void PlaceRack(PhysicsModel& m, std::uint32_t seed) {
    std::mt19937 rng(seed);
    const TableGeometry& g = m.Geometry();
    const bool pockets = m.Table().hasPockets != 0;
    const F32 r = pockets ? F32(2.8575f) : F32(3.075f);
    const float xMin = g.cushion.xMin.Value(), xMax = g.cushion.xMax.Value();
    const float yMin = g.cushion.yMin.Value(), yMax = g.cushion.yMax.Value();
    for (std::uint16_t i = 0; i < m.BallCount(); ++i) {
        Ball& b = m.GetBall(i);
        b.SetSize(r, pockets ? F32(0.17f) : F32(0.21f));
        b.ResetMotion();
        b.outOfPlay = 0;
        b.cueActive = 0;
        b.RandomizeOrientation(seed * 31 + i);
        // A grid keeps most balls apart; collisions still happen and are compared too.
        const float cellX = (xMax - xMin) / 6.0f, cellY = (yMax - yMin) / 4.0f;
        b.position = Vector3(F32(xMin + cellX * (0.5f + static_cast<float>(i % 6))),
                             F32(yMin + cellY * (0.5f + static_cast<float>((i / 6) % 4))), r);
        const float speed = std::uniform_real_distribution<float>(0.0f, 3.0f)(rng);
        const float angle = std::uniform_real_distribution<float>(0.0f, 6.2831853f)(rng);
        b.velocity = Vector3(F32(speed * std::cos(angle)), F32(speed * std::sin(angle)), F32(0.0f));
        b.spin = Vector3(Draw(rng, -80.0f, 80.0f), Draw(rng, -80.0f, 80.0f), Draw(rng, -30.0f, 30.0f));
        switch (rng() % 11) {
            case 0:  // rolling without slip, slowly: the slow-roll gain and the stop
                b.velocity = Vector3(Draw(rng, -0.3f, 0.3f), Draw(rng, -0.3f, 0.3f), F32(0.0f));
                b.spin = Vector3(F32(-b.velocity.y.Value() / b.radius.Value()),
                                 F32(b.velocity.x.Value() / b.radius.Value()), Draw(rng, -2.0f, 2.0f));
                break;
            case 1:  // in the air, landing with a bed impact
                b.position.z = Draw(rng, r.Value(), r.Value() + 2.0f);
                b.velocity.z = Draw(rng, -2.0f, 0.5f);
                break;
            case 2:  // at a cushion, heading into it
                b.position.x = F32(xMin + r.Value() * 0.8f);
                b.velocity.x = Draw(rng, -2.0f, -0.1f);
                break;
            case 3:  // near a corner pocket or the mouth of a side pocket
                b.position = Vector3(F32(i % 2 ? xMax - r.Value() : (xMin + xMax) / 2.0f),
                                     F32(yMax - r.Value() * 0.5f), r);
                b.velocity = Vector3(Draw(rng, -0.5f, 0.5f), Draw(rng, 0.2f, 1.5f), F32(0.0f));
                break;
            case 4:  // under a cue pulse that ends within the call
                b.cueActive = 1;
                b.cueDuration = F32(0.009f);
                b.cueTimeLeft = Draw(rng, 0.0005f, 0.004f);
                b.cueGain = F32(349.0f);
                b.cueLinear = Vector3(Draw(rng, -3.0f, 3.0f), Draw(rng, -3.0f, 3.0f), F32(0.0f));
                b.cueAngular =
                    Vector3(Draw(rng, -90.0f, 90.0f), Draw(rng, -90.0f, 90.0f), Draw(rng, -9.0f, 9.0f));
                break;
            case 5:  // resting
                b.velocity = b.spin = Vector3();
                break;
            case 6:  // out of play
                b.outOfPlay = static_cast<std::uint8_t>(1 + i % 6);
                break;
            case 7:  // a rail contact left from an earlier sub-step
                b.railContact = kRailLowY;
                break;
            case 8:  // so fast that the cloth carries no load
                b.velocity = Vector3(F32(std::cos(angle) * 200.0f), F32(std::sin(angle) * 200.0f), F32(0.0f));
                break;
            default:
                break;  // sliding on the open bed
        }
    }
}

// Every word of a ball's state that a sub-step can change, as bits.
std::vector<std::uint32_t> StateWords(const Ball& b) {
    std::vector<std::uint32_t> w;
    for (const Vector3* v : {&b.position, &b.velocity, &b.spin, &b.railVectors[0], &b.railVectors[1]})
        w.insert(w.end(), {v->x.Bits(), v->y.Bits(), v->z.Bits()});
    w.insert(w.end(), {b.orientation.x.Bits(), b.orientation.y.Bits(), b.orientation.z.Bits(),
                       b.orientation.w.Bits(), b.cueTimeLeft.Bits(), b.touchTime[0].Bits(),
                       b.touchTime[1].Bits(), b.touchFlag[0], b.touchFlag[1], b.touchDone[0], b.touchDone[1],
                       b.outOfPlay, b.railContact, b.inPocketZone, b.cueActive});
    return w;
}

void ExpectSameBalls(const PhysicsModel& fast, const PhysicsModel& plain) {
    for (std::size_t i = 0; i < fast.BallCount(); ++i)
        EXPECT_EQ(StateWords(fast.GetBall(i)), StateWords(plain.GetBall(i))) << "ball " << i;
}

std::vector<std::uint32_t> EventWords(const std::vector<PhysicsEvent>& events) {
    std::vector<std::uint32_t> w;
    for (const PhysicsEvent& e : events)
        w.insert(w.end(), {static_cast<std::uint32_t>(e.type), e.ballId, e.tag, e.intensity.Bits(),
                           e.vector[0].Bits(), e.vector[1].Bits(), e.vector[2].Bits()});
    return w;
}

// Runs both models through the same calls, comparing after each; counts the events compared and
// the calls with events other than ball collisions (pushed by ordinary-path balls).
struct RunCounts {
    std::size_t events = 0;
    std::size_t eventCalls = 0;
};

RunCounts RunSideBySideAgainstOneByOne(std::uint32_t id, std::uint32_t table, std::uint32_t seed) {
    RunCounts counts;
    constexpr std::uint16_t kBalls = 22;
    auto fast = CreatePhysicsModel(id, table, kBalls, false);
    OneByOneModel plain(id, table, kBalls);
    PlaceRack(*fast, seed);
    PlaceRack(plain, seed);
    const std::uint32_t subSteps = fast->Table().hasPockets ? 15 : 50;
    // A call of zero length takes the ordinary path for every ball.
    const F32 lengths[] = {F32(0.005f), F32(0.005f), F32(0.0f), F32(0.005f)};
    for (int call = 0; call < 60; ++call) {
        const F32 dt = lengths[call % 4];
        plain.ResetParams();
        const bool plainRest = plain.Simulate(dt, subSteps, F32(1.0f));
        const std::vector<PhysicsEvent> plainEvents = PhysicsEventQueue();
        fast->ResetParams();
        const bool fastRest = fast->Simulate(dt, subSteps, F32(1.0f));
        const std::vector<PhysicsEvent> fastEvents = PhysicsEventQueue();
        EXPECT_EQ(fastRest, plainRest) << "call " << call;
        EXPECT_EQ(EventWords(fastEvents), EventWords(plainEvents)) << "events";
        ExpectSameBalls(*fast, plain);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "model " << std::hex << id << std::dec << " table " << table << " seed " << seed
                          << " call " << call;
            return counts;
        }
        counts.events += fastEvents.size();
        bool ordinaryEvents = false;
        for (const PhysicsEvent& e : fastEvents)
            ordinaryEvents = ordinaryEvents || e.type != EventType::BallCollision;
        counts.eventCalls += ordinaryEvents ? 1 : 0;
    }
    return counts;
}

TEST(OpenBedSideBySide, CrowdedMixedRacksMatchTheOneByOnePathCallByCall) {
    RunCounts total;
    for (std::uint32_t id : {0x10010u, 0x10012u, 0x10014u})
        for (std::uint32_t table : {0u, 1u, 6u, 11u})
            for (std::uint32_t seed = 1; seed <= 3; ++seed) {
                const RunCounts counts = RunSideBySideAgainstOneByOne(id, table, seed);
                if (HasFailure()) return;
                total.events += counts.events;
                total.eventCalls += counts.eventCalls;
            }
    // The racks must really mix: events from ordinary-path balls in many calls.
    EXPECT_GT(total.events, 1000u);
    EXPECT_GT(total.eventCalls, 100u);
}

TEST(OpenBedSideBySide, BallsRollingAwayFromCushionsAndPocketsSkipTheOrdinaryContacts) {
    for (std::uint32_t table : {0u, 1u}) {
        RailCountingModel m(0x10014, table, 4);
        const F32 r = table == 0 ? F32(3.075f) : F32(2.8575f);
        for (std::uint16_t i = 0; i < 4; ++i) {
            Ball& b = m.GetBall(i);
            b.SetSize(r, F32(0.2f));
            b.position = Vector3(F32(-40.0f + 25.0f * i), F32(i % 2 ? 10.0f : -10.0f), r);
            // One ball rolling, one sliding, one spinning about z, one still.
            const F32 speeds[4] = {F32(0.3f), F32(0.8f), F32(0.0f), F32(0.0f)};
            b.velocity = Vector3(speeds[i], i == 3 ? F32(0.0f) : F32(0.1f), F32(0.0f));
            b.spin = Vector3(F32(0.0f), i == 0 ? F32(9.0f) : F32(0.0f), i == 2 ? F32(4.0f) : F32(0.0f));
        }
        m.Simulate(F32(0.005f), table == 0 ? 50 : 15, F32(1.0f));
        EXPECT_EQ(m.railContacts, 0u) << "table " << table;
        EXPECT_TRUE(PhysicsEventQueue().empty());
    }
}

}  // namespace
}  // namespace physics::testing
