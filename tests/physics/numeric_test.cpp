#include "physics/Numeric.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include "engine/core/Lcg.h"
#include "physics/PackedQuaternion.h"
#include "physics/PhysicsEntry.h"
#include "platform/sys/Fpu.h"

namespace physics {
namespace {

PHYSICS_BEHIND_ENTRY F32 Divide(F32 a, F32 b) {
    return St(Ext(a) / b);
}

F32 SubStep(std::uint32_t subSteps) {
    PhysicsEntry entry;
    return Divide(F32(0.005f), St(FromInteger(subSteps)));
}

TEST(NumericRecipe, SubStepLengthsChopTowardZero) {
    EXPECT_EQ(SubStep(50).Bits(), 0x38D1B717u);
    EXPECT_EQ(SubStep(15).Bits(), 0x39AEC33Du);  // round to nearest would give ...3E
    EXPECT_TRUE(ArithmeticSelfTestPasses());
}

TEST(NumericRecipe, StoreIgnoresCallerRoundingButEntryScopeSetsIt) {
    // Outside a physics entry on a thread left at round-to-nearest, 1/3 stores rounded up;
    // inside the entry scope it chops.
    std::uint32_t outside = 0, inside = 0;
    std::thread t([&] {
        platform::SetFpuControl(0x037F);
        outside = Divide(F32(1.0f), F32(3.0f)).Bits();
        {
            PhysicsEntry entry;
            inside = Divide(F32(1.0f), F32(3.0f)).Bits();
        }
        EXPECT_EQ(platform::GetFpuControl(), 0x037F);
    });
    t.join();
    EXPECT_EQ(outside, 0x3EAAAAABu);
    EXPECT_EQ(inside, 0x3EAAAAAAu);
}

TEST(NumericRecipe, LibraryFunctionsIgnoreTheX87Word) {
    PhysicsEntry entry;
    const F32 s = SinF(F32(1.0f));
    platform::SetFpuControl(0x037F);
    const F32 s2 = SinF(F32(1.0f));
    platform::SetFpuControl(platform::kPhysicsFpuControl);
    EXPECT_EQ(s.Bits(), s2.Bits());
}

PHYSICS_BEHIND_ENTRY F32 Root(F32 square) {
    return SqrtF(square);
}
PHYSICS_BEHIND_ENTRY F32 Reciprocal(F32 root) {
    return St(Ext(1.0f) / root);
}

TEST(NumericRecipe, NearUnitRootTableMatchesTheComputedRootsAndOnlyCoversItsRange) {
    PhysicsEntry entry;
    int covered = 0;
    for (std::uint32_t bits = 0x3F7FFF00u; bits <= 0x3F800100u; ++bits) {
        const F32 square = F32::FromBits(bits);
        F32 root(0.0f), inverse(0.0f);
        if (!NearUnitRoot(square, root, inverse)) continue;
        ++covered;
        EXPECT_EQ(root.Bits(), Root(square).Bits()) << std::hex << bits;
        EXPECT_EQ(inverse.Bits(), Reciprocal(Root(square)).Bits()) << std::hex << bits;
    }
    EXPECT_EQ(covered, 33);
    F32 root, inverse;
    for (float far : {0.0f, -1.0f, 2.0f, 0.5f, -0.0f}) EXPECT_FALSE(NearUnitRoot(F32(far), root, inverse));
}

PHYSICS_BEHIND_ENTRY F32 FastDivide(F32 a, F32 b) {
    return DivF(a, b);
}

TEST(NumericRecipe, FastQuotientEqualsTheX87QuotientForEveryKindOfOperand) {
    PhysicsEntry entry;
    Lcg lcg;
    lcg.Seed(99);
    const std::uint32_t special[] = {0x00000000u, 0x80000000u, 0x00000001u, 0x007FFFFFu, 0x00800000u,
                                     0x00800001u, 0x7F7FFFFFu, 0x7F800000u, 0xFF800000u, 0x7FC00000u,
                                     0xFFC00001u, 0x3F800000u, 0xBF800000u, 0x3F7FFFFFu, 0x3F800001u,
                                     0x40400000u, 0x0C000000u, 0x73000000u};
    auto expectSame = [](std::uint32_t x, std::uint32_t y) {
        const F32 a = F32::FromBits(x), b = F32::FromBits(y);
        const F32 fast = FastDivide(a, b), x87 = Divide(a, b);
        // Of two NaN operands SSE passes the first and the x87 the larger: any NaN will do.
        const bool bothNaN = fast.Value() != fast.Value() && x87.Value() != x87.Value();
        if (fast.Bits() != x87.Bits() && !bothNaN)
            ADD_FAILURE() << std::hex << x << " / " << y << ": " << fast.Bits();
    };
    for (std::uint32_t x : special)
        for (std::uint32_t y : special) expectSame(x, y);
    for (int i = 0; i < 2000000; ++i) {
        // Any bits, then operands whose quotients cluster near 1, near the normal limits and
        // around values that need the step toward zero.
        expectSame(lcg.Next() ^ (lcg.Next() << 16), lcg.Next() ^ (lcg.Next() << 16));
        const std::uint32_t ea = 1 + lcg.Next() % 254, eb = 1 + lcg.Next() % 254;
        expectSame(((lcg.Next() << 16 ^ lcg.Next()) & 0x807FFFFFu) | ea << 23,
                   ((lcg.Next() << 16 ^ lcg.Next()) & 0x807FFFFFu) | eb << 23);
    }
}

// Physics code must not compute in float or double: only the numeric header and the render-side
// helpers name those types, and no source narrows with a (float) cast.
// Each form through SSE (St of the pending operation) and through the x87 (widened first).
struct StoredForms {
    F32 sse[20], x87[20];
};
PHYSICS_BEHIND_ENTRY StoredForms EveryForm(F32 a, F32 b, F32 c, F32 d) {
    StoredForms f;
    f.sse[0] = St(a + b), f.x87[0] = St(Ext(a + b));
    f.sse[1] = St(a - b), f.x87[1] = St(Ext(a - b));
    f.sse[2] = St(a * b), f.x87[2] = St(Ext(a * b));
    f.sse[3] = St(a / b), f.x87[3] = St(Ext(a / b));
    f.sse[4] = St(a * b + c), f.x87[4] = St(Ext(a * b + c));
    f.sse[5] = St(c - a * b), f.x87[5] = St(Ext(c - a * b));
    f.sse[6] = St(a * b - c * d), f.x87[6] = St(Ext(a * b - c * d));
    f.sse[7] = St(a * b * c), f.x87[7] = St(Ext(a * b * c));
    f.sse[8] = St(a * b / c), f.x87[8] = St(Ext(a * b / c));
    f.sse[9] = St(-(a * b) + c * d), f.x87[9] = St(Ext(-(a * b) + c * d));
    f.sse[10] = SqrtF(AbsF(a)), f.x87[10] = SqrtF(Ext(AbsF(a)));
    // Sums of several roundings: double with a margin, else the x87.
    f.sse[11] = St((a * b + c * d) + a * c), f.x87[11] = St(Ext((a * b + c * d) + a * c));
    f.sse[12] = St(((a * b - c * d) + b * d) - a * d), f.x87[12] = St(Ext(((a * b - c * d) + b * d) - a * d));
    f.sse[13] = St(a * a - ((b * b + c) + d)), f.x87[13] = St(Ext(a * a - ((b * b + c) + d)));
    f.sse[14] = St((a * b + c) - (d * a - b)), f.x87[14] = St(Ext((a * b + c) - (d * a - b)));
    f.sse[15] = St(a + b / c), f.x87[15] = St(Ext(a + b / c));
    f.sse[16] = St((F32(1.0f) - b / c) * d), f.x87[16] = St(Ext((F32(1.0f) - b / c) * d));
    f.sse[17] = St((a + b) * (c - d)), f.x87[17] = St(Ext((a + b) * (c - d)));
    f.sse[18] = St((a * b + c) / d - a * c), f.x87[18] = St(Ext((a * b + c) / d - a * c));
    f.sse[19] = St((a - b) + c), f.x87[19] = St(Ext((a - b) + c));
    return f;
}

TEST(NumericRecipe, SseStoresEqualTheX87Stores) {
    PhysicsEntry entry;
    Lcg lcg;
    lcg.Seed(7);
    auto bits = [&] { return lcg.Next() << 16 ^ lcg.Next(); };
    // Operands of every magnitude, near each other (cancellation), subnormal, at the limits and
    // with few significant bits (exact sums, which the margin sends to the x87).
    auto operand = [&](int kind) {
        switch (kind) {
            case 0:
                return F32::FromBits(bits());
            case 1:
                return F32::FromBits((bits() & 0x807FFFFFu) | (112 + lcg.Next() % 30) << 23);
            case 2:
                return F32::FromBits(bits() & 0x807FFFFFu);
            case 3:
                return F32::FromBits((bits() & 0x80000FFFu) | 0x3F800000u);
            default:
                return F32::FromBits((bits() & 0x80780000u) | (120 + lcg.Next() % 10) << 23);
        }
    };
    int mismatches = 0;
    for (int i = 0; i < 1000000 && mismatches < 10; ++i) {
        const F32 a = operand(lcg.Next() % 5), b = operand(lcg.Next() % 5), c = operand(lcg.Next() % 5),
                  d = operand(lcg.Next() % 5);
        const StoredForms f = EveryForm(a, b, c, d);
        for (int k = 0; k < 20; ++k) {
            const bool same = f.sse[k].Bits() == f.x87[k].Bits() ||
                              (f.sse[k].Value() != f.sse[k].Value() && f.x87[k].Value() != f.x87[k].Value());
            if (!same) {
                ++mismatches;
                ADD_FAILURE() << "form " << k << std::hex << " of " << a.Bits() << " " << b.Bits() << " "
                              << c.Bits() << " " << d.Bits() << ": " << f.sse[k].Bits() << " vs "
                              << f.x87[k].Bits();
            }
        }
    }
}

// Sums that the margin declares exact: a quotient with a zero numerator, a difference or sum of
// two values that cancel.
PHYSICS_BEHIND_ENTRY StoredForms ExactSums(F32 a, F32 b, F32 c) {
    StoredForms f;
    f.sse[0] = St(a + b / c), f.x87[0] = St(Ext(a + b / c));
    f.sse[1] = St(a - b / c), f.x87[1] = St(Ext(a - b / c));
    f.sse[2] = St(b / c + a), f.x87[2] = St(Ext(b / c + a));
    f.sse[3] = St(b / c - a), f.x87[3] = St(Ext(b / c - a));
    f.sse[4] = St((b - c) + a), f.x87[4] = St(Ext((b - c) + a));
    f.sse[5] = St(a - (b + c)), f.x87[5] = St(Ext(a - (b + c)));
    f.sse[6] = St((b + c) - a), f.x87[6] = St(Ext((b + c) - a));
    f.sse[7] = St(a + (b - c)), f.x87[7] = St(Ext(a + (b - c)));
    return f;
}

TEST(NumericRecipe, ExactSumsKeepTheSignsOfZero) {
    PhysicsEntry entry;
    for (float a : {0.0f, -0.0f, 1.5f, -3.0e-39f, 7.0f})
        for (float b : {0.0f, -0.0f, 1.0e-30f, 0.25f})
            for (float c : {0.25f, -0.25f, -3.0f, 1.0e-40f, 0.0f, -0.0f}) {
                const StoredForms f = ExactSums(F32(a), F32(b), F32(c));
                for (int k = 0; k < 8; ++k) {
                    if (k < 4 && c == 0.0f) continue;
                    EXPECT_EQ(f.sse[k].Bits(), f.x87[k].Bits()) << k << " " << a << " " << b << " " << c;
                }
            }
}

TEST(NumericRecipe, PhysicsSourcesHaveNoFloatOrDoubleArithmetic) {
    const std::filesystem::path root = std::filesystem::path(MARVENLOT_SOURCE_DIR) / "physics";
    const std::regex forbidden(R"(\b(float|double)\b|\(float\)|\(double\)|static_cast<(float|double)>)");
    std::set<std::string> allowed = {"Numeric.h", "Numeric.cpp", "TurnLanes.h"};
    allowed.insert({"NumericChain.h", "SmallAngleTrig.h", "PackedQuaternion.h"});
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const auto ext = entry.path().extension();
        if (ext != ".h" && ext != ".cpp") continue;
        ++files;
        if (allowed.count(entry.path().filename().string())) continue;
        std::ifstream in(entry.path());
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            const auto comment = line.find("//");
            const std::string code = comment == std::string::npos ? line : line.substr(0, comment);
            EXPECT_FALSE(std::regex_search(code, forbidden)) << entry.path() << ":" << number << ": " << line;
        }
    }
    EXPECT_GT(files, 10);
}

}  // namespace
}  // namespace physics
