// The polynomial sine and cosine must give the library path's bits for every angle they accept,
// refuse everything else, and accept nearly all of their range.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "engine/core/Lcg.h"
#include "physics/Numeric.h"
#include "physics/PhysicsEntry.h"

namespace physics {
namespace {

constexpr std::uint32_t kSign = 0x80000000u;
constexpr std::uint32_t kOne = 0x3F800000u;

struct Counts {
    std::uint64_t checked = 0, refused = 0, wrong = 0;
    std::uint32_t firstWrong = 0;
};

bool SameBits(F32 a, F32 b) { return a.Bits() == b.Bits() || (a.Value() != a.Value() && b.Value() != b.Value()); }

// Checks the angles lo, lo + stride, ... below hi, each with both signs, against the library path.
PHYSICS_BEHIND_ENTRY void CheckAngles(std::uint32_t lo, std::uint32_t hi, std::uint32_t stride, Counts& c) {
    for (std::uint64_t bits = lo; bits < hi; bits += stride) {
        for (const std::uint32_t sign : {0u, kSign}) {
            const F32 x = F32::FromBits(static_cast<std::uint32_t>(bits) | sign);
            F32 s, co;
            const bool sinTaken = detail::SmallAngleSin(x, s), cosTaken = detail::SmallAngleCos(x, co);
            c.checked += 2;
            c.refused += (sinTaken ? 0 : 1) + (cosTaken ? 0 : 1);
            const bool bad = (sinTaken && !SameBits(s, detail::LibrarySinF(x))) ||
                             (cosTaken && !SameBits(co, detail::LibraryCosF(x))) ||
                             !SameBits(SinF(x), detail::LibrarySinF(x)) || !SameBits(CosF(x), detail::LibraryCosF(x));
            if (bad && c.wrong++ == 0) c.firstWrong = x.Bits();
        }
    }
}

Counts Check(std::uint32_t lo, std::uint32_t hi, std::uint32_t stride) {
    PhysicsEntry entry;
    Counts c;
    CheckAngles(lo, hi, stride, c);
    return c;
}

TEST(SmallAngleTrig, SpecialAnglesGiveTheLibraryBits) {
    const std::uint32_t angles[] = {0x00000000u, 0x00000001u, 0x007FFFFFu, 0x00800000u, 0x337FFFFFu,
                                    0x33800000u, 0x33800001u, 0x34000000u, 0x3F7FFFFFu, kOne,
                                    0x3F800001u, 0x40490FDBu, 0x42C80000u, 0x7F7FFFFFu, 0x7F800000u,
                                    0x7FC00000u, 0x7FA00000u};
    PhysicsEntry entry;
    for (std::uint32_t a : angles) {
        Counts c;
        CheckAngles(a, a + 1, 1, c);
        EXPECT_EQ(c.wrong, 0u) << std::hex << a;
    }
    // Signed zeros are decided without the library and keep their sign.
    F32 r;
    ASSERT_TRUE(detail::SmallAngleSin(F32::FromBits(kSign), r));
    EXPECT_EQ(r.Bits(), kSign);
    ASSERT_TRUE(detail::SmallAngleCos(F32::FromBits(kSign), r));
    EXPECT_EQ(r.Bits(), kOne);
    // Outside the range the library answers.
    for (std::uint32_t a : {0x337FFFFFu, kOne, 0x7F800000u, 0x7FC00000u, 0x00000001u}) {
        EXPECT_FALSE(detail::SmallAngleSin(F32::FromBits(a), r)) << std::hex << a;
        EXPECT_FALSE(detail::SmallAngleCos(F32::FromBits(a | kSign), r)) << std::hex << a;
    }
}

TEST(SmallAngleTrig, AgreesWithTheLibraryOnADenseSampleOfBothSigns) {
    // A stride through the whole range, then every angle where the answer is hardest: at the
    // bottom of the range (sine next to the angle, cosine next to 1), at both sides of each power
    // of two, just below 1, and the half angles of a sub-step at 50 and 15 sub-steps.
    const Counts spread = Check(0, kOne, 509);
    EXPECT_EQ(spread.wrong, 0u) << std::hex << spread.firstWrong;
    EXPECT_GT(spread.checked, 4000000u);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> windows = {
        {0x33800000u - 4096, 0x33800000u + 400000}, {kOne - 200000, kOne + 16},
        {0x3BA3D70Au - 150000, 0x3BA3D70Au + 150000},  // 0.005
        {0x3CF5C28Fu - 150000, 0x3CF5C28Fu + 150000},  // 0.03
    };
    for (std::uint32_t e = 0x34000000u; e < kOne; e += 0x00800000u) windows.emplace_back(e - 2048, e + 2048);
    for (const auto& [lo, hi] : windows) {
        const Counts c = Check(lo, hi, 1);
        EXPECT_EQ(c.wrong, 0u) << std::hex << lo << ": first " << c.firstWrong;
    }
}

TEST(SmallAngleTrig, DecidesAlmostEveryAngleOfTheRange) {
    // Refusals are correct but slow: above 2^-20 they must stay rare, and the tiny angles whose
    // sine the library may give as the angle itself must be refused.
    const Counts c = Check(0x35800000u, kOne, 1021);
    EXPECT_EQ(c.wrong, 0u);
    EXPECT_LT(c.refused * 10000, c.checked) << c.refused << " of " << c.checked;
    F32 r;
    EXPECT_FALSE(detail::SmallAngleSin(F32::FromBits(0x33800001u), r));
    EXPECT_FALSE(detail::SmallAngleCos(F32::FromBits(0x33800001u), r));
    // The two angles of the range whose sine and cosine lie closest to an f32 (1.3 and 1.7 units
    // of the double away): a library one unit off could chop them either way.
    for (const std::uint32_t sign : {0u, kSign}) {
        EXPECT_FALSE(detail::SmallAngleSin(F32::FromBits(0x3F3ADC51u | sign), r));
        EXPECT_FALSE(detail::SmallAngleCos(F32::FromBits(0x3BC00012u | sign), r));
    }
}

struct PolynomialValues {
    std::vector<double> sines, cosines;
};
PHYSICS_BEHIND_ENTRY void EvaluateInPhysicsMode(const std::vector<F32>& angles, PolynomialValues& out) {
    for (F32 x : angles) {
        out.sines.push_back(detail::SinPolynomial(x));
        out.cosines.push_back(detail::CosPolynomial(x));
    }
}

// Angles spread over every binade of the range, both signs, with the bottom binade dense.
std::vector<F32> RangeSample() {
    std::vector<F32> angles;
    for (std::uint32_t bits = detail::kTrigLowest; bits < kOne; bits += 397) {
        angles.push_back(F32::FromBits(bits));
        angles.push_back(F32::FromBits((bits + 1) | kSign));
    }
    for (std::uint32_t bits = detail::kTrigLowest; bits < detail::kTrigLowest + 100000; ++bits)
        angles.push_back(F32::FromBits(bits));
    return angles;
}

long double UnitOf(long double v) { return std::ldexp(1.0L, std::ilogb(v) - 52); }

TEST(SmallAngleTrig, PolynomialsStayWithinTheErrorTheMarginAllowsFor) {
    // The margin assumes the polynomials within 5 units of the true value (the library 1 more).
    // The reference is the long double library in its own mode, 2^11 times finer.
    const std::vector<F32> angles = RangeSample();
    PolynomialValues values;
    {
        PhysicsEntry entry;
        EvaluateInPhysicsMode(angles, values);
    }
    long double worstSin = 0, worstCos = 0;
    for (std::size_t i = 0; i < angles.size(); ++i) {
        const long double x = angles[i].Value();
        const long double s = values.sines[i], c = values.cosines[i];
        worstSin = std::max(worstSin, std::fabs(s - std::sin(x)) / UnitOf(s));
        worstCos = std::max(worstCos, std::fabs(c - std::cos(x)) / UnitOf(c));
    }
    EXPECT_LT(worstSin, 5.0L);
    EXPECT_LT(worstCos, 5.0L);
}

PHYSICS_BEHIND_ENTRY void Decide(const std::vector<F32>& angles, std::vector<std::uint64_t>& out) {
    out.clear();
    for (F32 x : angles) {
        F32 s, c;
        const bool sinTaken = detail::SmallAngleSin(x, s), cosTaken = detail::SmallAngleCos(x, c);
        out.push_back(static_cast<std::uint64_t>(sinTaken ? s.Bits() : 1u) << 32 | (cosTaken ? c.Bits() : 1u));
    }
}

TEST(SmallAngleTrig, AcceptedResultsHoldForAnyLibraryWithinOneUnit) {
    // Every double within one unit of the true value must chop to the accepted result; the one
    // library on this machine cannot show that by itself.
    const std::vector<F32> angles = RangeSample();
    std::vector<std::uint64_t> decided;
    {
        PhysicsEntry entry;
        Decide(angles, decided);
    }
    auto holds = [](std::uint32_t resultBits, long double truth) {
        const F32 f = F32::FromBits(resultBits);
        const long double low = std::fabs(truth) - UnitOf(truth), high = std::fabs(truth) + UnitOf(truth);
        return (f.Value() < 0) == (truth < 0) && std::fabs(f.Value()) <= low &&
               high < std::nextafter(std::fabs(f.Value()), 2.0f);
    };
    int wrong = 0, taken = 0;
    for (std::size_t i = 0; i < angles.size() && wrong < 10; ++i) {
        const long double x = angles[i].Value();
        const auto sinBits = static_cast<std::uint32_t>(decided[i] >> 32), cosBits = static_cast<std::uint32_t>(decided[i]);
        if (sinBits != 1u && ++taken && !holds(sinBits, std::sin(x))) {
            ++wrong;
            ADD_FAILURE() << "sine of " << std::hex << angles[i].Bits();
        }
        if (cosBits != 1u && ++taken && !holds(cosBits, std::cos(x))) {
            ++wrong;
            ADD_FAILURE() << "cosine of " << std::hex << angles[i].Bits();
        }
    }
    EXPECT_GT(taken, static_cast<int>(angles.size()));
}

TEST(SmallAngleTrig, DecisionsDoNotDependOnTheSseRounding) {
    // The physics mode chops; a thread outside any entry rounds to nearest. Accepted results may
    // differ only in being refused, never in their bits.
    Lcg lcg;
    lcg.Seed(3);
    std::vector<F32> angles;
    for (int i = 0; i < 200000; ++i) angles.push_back(F32::FromBits((lcg.Next() << 16 ^ lcg.Next()) % kOne));
    std::vector<std::uint64_t> chopped, nearest;
    {
        PhysicsEntry entry;
        Decide(angles, chopped);
    }
    std::thread([&] { Decide(angles, nearest); }).join();
    int differ = 0;
    for (std::size_t i = 0; i < angles.size(); ++i) {
        for (int shift : {0, 32}) {
            const auto a = static_cast<std::uint32_t>(chopped[i] >> shift), b = static_cast<std::uint32_t>(nearest[i] >> shift);
            if (a != b && a != 1u && b != 1u) ++differ;
        }
    }
    EXPECT_EQ(differ, 0);
}

// Every f32 of the polynomial range, both signs, on three threads: about fifteen seconds. Run with
// --gtest_also_run_disabled_tests --gtest_filter='*EveryAngle*'.
TEST(SmallAngleTrig, DISABLED_AgreesWithTheLibraryOnEveryAngleOfTheRange) {
    constexpr std::uint32_t kThreads = 3, kChunk = 1u << 20;
    std::atomic<std::uint32_t> next{detail::kTrigLowest};
    std::vector<Counts> counts(kThreads);
    std::vector<std::thread> threads;
    for (std::uint32_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (std::uint32_t lo; (lo = next.fetch_add(kChunk)) < kOne;) {
                const std::uint32_t hi = lo + kChunk < kOne ? lo + kChunk : kOne;
                const Counts c = Check(lo, hi, 1);
                if (c.wrong && !counts[t].wrong) counts[t].firstWrong = c.firstWrong;
                counts[t].checked += c.checked, counts[t].refused += c.refused, counts[t].wrong += c.wrong;
            }
        });
    }
    for (auto& t : threads) t.join();
    Counts all;
    for (const Counts& c : counts) {
        all.checked += c.checked, all.refused += c.refused, all.wrong += c.wrong;
        if (c.wrong) all.firstWrong = c.firstWrong;
    }
    std::printf("checked %llu results, refused %llu, wrong %llu\n", static_cast<unsigned long long>(all.checked),
                static_cast<unsigned long long>(all.refused), static_cast<unsigned long long>(all.wrong));
    EXPECT_EQ(all.wrong, 0u) << std::hex << all.firstWrong;
}

}  // namespace
}  // namespace physics
