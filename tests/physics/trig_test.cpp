// The polynomial sine and cosine must give the library path's bits for every angle they accept,
// refuse the angles a library's last bit could decide, and accept nearly all of their range.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

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

bool SameBits(F32 a, F32 b) {
    return a.Bits() == b.Bits() || (a.Value() != a.Value() && b.Value() != b.Value());
}

// Compares SinF and CosF with the library path for the angles lo, lo + stride, ... below hi,
// each with both signs, and counts the angles the polynomial path refused.
PHYSICS_BEHIND_ENTRY void CheckAngles(std::uint32_t lo, std::uint32_t hi, std::uint32_t stride, Counts& c) {
    for (std::uint64_t bits = lo; bits < hi; bits += stride) {
        for (const std::uint32_t sign : {0u, kSign}) {
            const F32 x = F32::FromBits(static_cast<std::uint32_t>(bits) | sign);
            F32 unused;
            c.checked += 2;
            c.refused +=
                (detail::SmallAngleSin(x, unused) ? 0 : 1) + (detail::SmallAngleCos(x, unused) ? 0 : 1);
            if ((!SameBits(SinF(x), detail::LibrarySinF(x)) || !SameBits(CosF(x), detail::LibraryCosF(x))) &&
                c.wrong++ == 0)
                c.firstWrong = x.Bits();
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
    for (std::uint32_t a :
         {0x00000000u, 0x00000001u, 0x00800000u, 0x337FFFFFu, 0x33800000u, 0x3CFFFFFFu, 0x3D000000u,
          0x3F7FFFFFu, kOne, 0x40490FDBu, 0x7F7FFFFFu, 0x7F800000u, 0x7FC00000u}) {
        const Counts c = Check(a, a + 1, 1);
        EXPECT_EQ(c.wrong, 0u) << std::hex << a;
    }
    // Signed zeros are decided without the library and keep their sign; outside the range the
    // library answers.
    F32 r;
    ASSERT_TRUE(detail::SmallAngleSin(F32::FromBits(kSign), r));
    EXPECT_EQ(r.Bits(), kSign);
    ASSERT_TRUE(detail::SmallAngleCos(F32::FromBits(kSign), r));
    EXPECT_EQ(r.Bits(), kOne);
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
    std::vector<std::pair<std::uint32_t, std::uint32_t>> windows = {
        {0x33800000u - 4096, 0x33800000u + 400000},
        {kOne - 200000, kOne + 16},
        {0x3BA3D70Au - 150000, 0x3BA3D70Au + 150000},  // 0.005
        {0x3CF5C28Fu - 150000, 0x3CF5C28Fu + 150000},  // 0.03
    };
    for (std::uint32_t e = 0x34000000u; e < kOne; e += 0x00800000u) windows.emplace_back(e - 2048, e + 2048);
    for (const auto& [lo, hi] : windows) {
        const Counts c = Check(lo, hi, 1);
        EXPECT_EQ(c.wrong, 0u) << std::hex << lo << ": first " << c.firstWrong;
    }
}

TEST(SmallAngleTrig, RefusesOnlyTheAnglesALibraryCouldChopEitherWay) {
    // Refusals are correct but slow: above 2^-20 they must stay rare.
    const Counts c = Check(0x35800000u, kOne, 1021);
    EXPECT_LT(c.refused * 10000, c.checked) << c.refused << " of " << c.checked;
    // Refused: tiny angles whose sine lies a few units of the double under the angle, and the
    // two angles of the range whose sine and cosine lie closest to an f32 (1.3 and 1.7 units).
    F32 r;
    for (const std::uint32_t sign : {0u, kSign}) {
        EXPECT_FALSE(detail::SmallAngleSin(F32::FromBits(0x33800001u | sign), r));
        EXPECT_FALSE(detail::SmallAngleCos(F32::FromBits(0x33800001u | sign), r));
        EXPECT_FALSE(detail::SmallAngleSin(F32::FromBits(0x3F3ADC51u | sign), r));
        EXPECT_FALSE(detail::SmallAngleCos(F32::FromBits(0x3BC00012u | sign), r));
    }
}

PHYSICS_BEHIND_ENTRY void EvaluateInPhysicsMode(const std::vector<F32>& angles, std::vector<double>& sines,
                                                std::vector<double>& cosines) {
    for (F32 x : angles) {
        sines.push_back(detail::SinPolynomial(x));
        cosines.push_back(detail::CosPolynomial(x));
    }
}

TEST(SmallAngleTrig, PolynomialsStayWithinTheErrorTheMarginAllowsFor) {
    // The margin assumes the polynomials within 5 units of the true value (the library 1 more).
    // The reference is the long double library, 2^11 times finer, in its own mode.
    std::vector<F32> angles;
    for (std::uint32_t bits = detail::kTrigLowest; bits < kOne; bits += 397) {
        angles.push_back(F32::FromBits(bits));
        angles.push_back(F32::FromBits((bits + 1) | kSign));
    }
    std::vector<double> sines, cosines;
    {
        PhysicsEntry entry;
        EvaluateInPhysicsMode(angles, sines, cosines);
    }
    auto unitsOff = [](long double value, long double truth) {
        return std::fabs(value - truth) / std::ldexp(1.0L, std::ilogb(value) - 52);
    };
    long double worstSin = 0, worstCos = 0;
    for (std::size_t i = 0; i < angles.size(); ++i) {
        const long double x = angles[i].Value();
        worstSin = std::max(worstSin, unitsOff(sines[i], std::sin(x)));
        worstCos = std::max(worstCos, unitsOff(cosines[i], std::cos(x)));
    }
    EXPECT_LT(worstSin, 5.0L);
    EXPECT_LT(worstCos, 5.0L);
}

// Every f32 of the polynomial range, both signs, on three threads: about ten seconds. Run with
// --gtest_also_run_disabled_tests --gtest_filter='*EveryAngle*'.
TEST(SmallAngleTrig, DISABLED_AgreesWithTheLibraryOnEveryAngleOfTheRange) {
    constexpr std::uint32_t kThreads = 3, kChunk = 1u << 20;
    std::atomic<std::uint32_t> next{detail::kTrigLowest};
    std::vector<Counts> counts(kThreads);
    std::vector<std::thread> threads;
    for (std::uint32_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (std::uint32_t lo; (lo = next.fetch_add(kChunk)) < kOne;) {
                const Counts c = Check(lo, std::min(lo + kChunk, kOne), 1);
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
    std::printf("checked %llu results, refused %llu, wrong %llu\n",
                static_cast<unsigned long long>(all.checked), static_cast<unsigned long long>(all.refused),
                static_cast<unsigned long long>(all.wrong));
    EXPECT_EQ(all.wrong, 0u) << std::hex << all.firstWrong;
}

}  // namespace
}  // namespace physics
