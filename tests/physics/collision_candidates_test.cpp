// The sweep-based ball-pair search against the search of every pair in order: on random dense
// racks both must give the same candidates in the same order, the same contact events and the
// same touch flag refreshes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "physics/PhysicsEntry.h"
#include "physics/PhysicsModel.h"

namespace physics::testing {
namespace {

constexpr F32 kRadiusCm = F32(2.8575f);

// A bare model whose candidate search the test can call and read.
class SearchedRack : public PhysicsModel {
public:
    explicit SearchedRack(std::uint16_t count) : PhysicsModel(1, count) {}
    using PhysicsModel::PairSearch;

    void Search(bool refreshTouchFlags, PairSearch search = PairSearch::Sweep) {
        PhysicsEntry entry;
        SearchBehindEntry(refreshTouchFlags, search);
    }
    std::vector<CollisionCandidate> Candidates() const {
        return {workBuffer_.begin(), workBuffer_.begin() + workCount_};
    }

private:
    PHYSICS_BEHIND_ENTRY void SearchBehindEntry(bool refreshTouchFlags, PairSearch search) {
        GatherCollisionCandidates(refreshTouchFlags, search);
    }
};

// The contact distance of the search, computed as it computes it.
PHYSICS_BEHIND_ENTRY F32 ContactBehindEntry(F32 radiusCm) {
    return St((radiusCm + radiusCm) + 0.1f);
}
F32 ContactDistance() {
    PhysicsEntry entry;
    return ContactBehindEntry(kRadiusCm);
}

// What one search leaves behind, compared bit for bit.
struct Outcome {
    std::vector<std::uint32_t> candidates;
    std::vector<std::uint32_t> events;
    std::vector<std::uint8_t> touch;
};

void AddVector(std::vector<std::uint32_t>& out, const Vector3& v) {
    out.insert(out.end(), {v.x.Bits(), v.y.Bits(), v.z.Bits()});
}

Outcome Record(const PhysicsModel& m, const std::vector<CollisionCandidate>& candidates) {
    Outcome o;
    for (const CollisionCandidate& c : candidates) {
        o.candidates.insert(o.candidates.end(), {c.a, c.b, c.depth.Bits()});
        AddVector(o.candidates, c.n);
    }
    for (const PhysicsEvent& e : PhysicsEventQueue()) {
        o.events.insert(o.events.end(), {static_cast<std::uint32_t>(e.type), e.ballId, e.intensity.Bits(),
                                         e.vector[0].Bits(), e.vector[1].Bits(), e.vector[2].Bits(), e.tag});
    }
    for (std::size_t i = 0; i < m.BallCount(); ++i) {
        const Ball& b = m.GetBall(i);
        o.touch.insert(o.touch.end(), {b.touchFlag[0], b.touchFlag[1], b.touchDone[0], b.touchDone[1]});
    }
    return o;
}

class RackMaker {
public:
    explicit RackMaker(std::uint32_t seed) : rng_(seed) {}

    bool Chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p; }
    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }
    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

    // A coordinate next to one of an earlier ball: the same, at the contact distance, just inside
    // it, or a lattice step away, so that boundaries and overlaps are common.
    F32 Near(F32 base, F32 contact) {
        const float c = contact.Value();
        const float inside = std::nextafter(c, 0.0f);
        const float offsets[] = {0.0f, c, -c, inside, -inside, 0.5f * c, Uniform(-1.5f * c, 1.5f * c)};
        const float offset = offsets[Pick(std::size(offsets))];
        const float v = base.Value() + offset;
        return F32(v == 0.0f && Chance(0.5) ? -0.0f : v);
    }

    Vector3 Motion() {
        if (Chance(0.4)) return Vector3();
        return Vector3(F32(Uniform(-3.0f, 3.0f)), F32(Uniform(-3.0f, 3.0f)),
                       F32(Chance(0.8) ? 0.0f : Uniform(-0.5f, 0.5f)));
    }

    void Fill(PhysicsModel& m, bool oddValues) {
        const std::size_t count = m.BallCount();
        const F32 contact = ContactDistance();
        for (std::size_t i = 0; i < count; ++i) {
            Ball& b = m.GetBall(i);
            b.SetSize(kRadiusCm, F32(0.17f));
            b.ResetMotion();
            if (i == 0 || Chance(0.1)) {
                b.position = Vector3(F32(Uniform(-20.0f, 20.0f)), F32(Uniform(-10.0f, 10.0f)), kRadiusCm);
            } else {
                const Vector3& other = m.GetBall(Pick(i)).position;
                b.position = Vector3(Near(other.x, contact), Near(other.y, contact),
                                     Chance(0.85) ? other.z : Near(other.z, contact));
            }
            b.velocity = Motion();
            b.spin = Chance(0.5) ? Vector3() : Motion();
            b.cueActive = Chance(0.1) ? 1 : 0;
            b.outOfPlay = Chance(0.1) ? 1 : 0;
            b.touchTime[0] = F32(Chance(0.5) ? 0.0f : 0.01f);
            b.touchTime[1] = F32(Chance(0.5) ? 0.0f : 0.02f);
            b.touchFlag[0] = b.touchFlag[1] = Chance(0.5) ? 1 : 0;
            b.touchDone[0] = b.touchDone[1] = 1;
            if (oddValues && Chance(0.1)) {
                const float odd[] = {std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity(),
                                     -std::numeric_limits<float>::infinity(), 1e-40f, -1e-40f};
                (Chance(0.5) ? b.position.x : b.position.y) = F32(odd[Pick(std::size(odd))]);
            }
        }
    }

    // Small moves of some balls, as between two sub-steps, so the kept x order goes stale.
    void Nudge(PhysicsModel& m) {
        for (std::size_t i = 0; i < m.BallCount(); ++i) {
            if (!Chance(0.3)) continue;
            Vector3& p = m.GetBall(i).position;
            p.x = F32(p.x.Value() + Uniform(-4.0f, 4.0f));
            p.y = F32(p.y.Value() + Uniform(-1.0f, 1.0f));
        }
        if (m.BallCount() > 0 && Chance(0.2)) m.GetBall(Pick(m.BallCount())).outOfPlay ^= 1;
    }

private:
    std::mt19937 rng_;
};

struct SearchTotals {
    std::size_t searches = 0, candidates = 0, events = 0;
};

// Runs the sweep and the plain search on the same rack and expects the same outcome.
void ExpectSameAsAllPairs(SearchedRack& m, RackMaker& maker, bool refresh, SearchTotals& totals) {
    std::vector<Ball> saved;
    for (std::size_t i = 0; i < m.BallCount(); ++i) saved.push_back(m.GetBall(i));
    std::vector<PhysicsEvent>& queue = PhysicsEventQueue();
    // Mostly the queue of the search before, as in consecutive sub-steps. Else, half the time, the
    // contact event of this search's first pair, which the search must not report again.
    if (maker.Chance(0.3)) queue.clear();
    if (queue.empty() && maker.Chance(0.5)) {
        m.Search(false, SearchedRack::PairSearch::EveryPair);
        const std::vector<CollisionCandidate> first = m.Candidates();
        queue.clear();
        if (!first.empty()) {
            PhysicsEvent e;
            e.ballId = first[0].a;
            e.tag = first[0].b;
            queue.push_back(e);
        }
    }
    const std::vector<PhysicsEvent> startQueue = queue;

    m.Search(refresh);
    const Outcome swept = Record(m, m.Candidates());

    for (std::size_t i = 0; i < saved.size(); ++i) m.GetBall(i) = saved[i];
    queue = startQueue;
    m.Search(refresh, SearchedRack::PairSearch::EveryPair);
    const std::vector<CollisionCandidate> plain = m.Candidates();
    const Outcome reference = Record(m, plain);

    ASSERT_EQ(swept.candidates, reference.candidates);
    ASSERT_EQ(swept.events, reference.events);
    ASSERT_EQ(swept.touch, reference.touch);
    ++totals.searches;
    totals.candidates += plain.size();
    totals.events += PhysicsEventQueue().size() - startQueue.size();
}

TEST(BallPairSearch, SameCandidatesEventsAndTouchFlagsAsEveryPairOnDenseRacks) {
    SearchTotals totals;
    const std::uint16_t counts[] = {1, 2, 3, 4, 5, 16, 22, 40, 64};
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        RackMaker maker(seed);
        const std::uint16_t count = counts[seed % std::size(counts)];
        SearchedRack m(count);
        maker.Fill(m, seed % 3 == 0);
        for (int step = 0; step < 8; ++step) {
            ASSERT_NO_FATAL_FAILURE(ExpectSameAsAllPairs(m, maker, (seed + step) % 4 != 0, totals))
                << "seed " << seed << " step " << step;
            maker.Nudge(m);
        }
    }
    // The racks must be dense enough to exercise the search.
    EXPECT_GT(totals.candidates, 2000u);
    EXPECT_LT(totals.events + 50, totals.candidates);
}

TEST(BallPairSearch, KeepsFindingPairsWhenTheBallCountChangesBetweenSearches) {
    SearchTotals totals;
    RackMaker maker(77);
    SearchedRack m(22);
    const std::uint16_t counts[] = {22, 5, 64, 2, 22, 0, 30};
    for (std::uint16_t count : counts) {
        m.SetBallCount(count);
        maker.Fill(m, false);
        for (int step = 0; step < 4; ++step) {
            ASSERT_NO_FATAL_FAILURE(ExpectSameAsAllPairs(m, maker, true, totals)) << "count " << count;
            maker.Nudge(m);
        }
    }
    EXPECT_GT(totals.candidates, 50u);
}

// A pair exactly the contact distance apart along x is no candidate, one unit closer is: the
// sweep must stop at the first ball too far away, and not before.
TEST(BallPairSearch, ContactDistanceAlongXIsTheExactBound) {
    SearchedRack m(BallPairSweep::kMinBalls);
    const F32 contact = ContactDistance();
    const F32 inside = F32(std::nextafter(contact.Value(), 0.0f));
    const F32 xs[] = {F32(0.0f), contact, -inside};
    for (std::size_t i = 0; i < m.BallCount(); ++i) {
        Ball& b = m.GetBall(i);
        b.SetSize(kRadiusCm, F32(0.17f));
        b.position = Vector3(i < 3 ? xs[i] : F32(100.0f * static_cast<float>(i)), F32(0.0f), kRadiusCm);
        b.velocity = Vector3(F32(i == 0 ? -1.0f : 0.0f), F32(0.0f), F32(0.0f));
    }
    PhysicsEventQueue().clear();
    m.Search(true);
    const std::vector<CollisionCandidate> found = m.Candidates();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].a, 0);
    EXPECT_EQ(found[0].b, 2);
}

}  // namespace
}  // namespace physics::testing
