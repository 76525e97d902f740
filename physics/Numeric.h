#pragma once
// The arithmetic every client shares (docs/physics.md). Stored quantities are F32 (a binary32
// value); every operation is defined as widening to Ext (x87 extended, 64-bit significand) under
// the control word 0x0F7F (round toward zero) and going back to F32 only through St(), which
// chops (g++ would turn (float)(long double expr) into SSE arithmetic rounded to nearest). Neither
// type converts from double, so float or double arithmetic in physics code does not compile.
//
// What a body's author needs to know of the fast paths: `St(a * b + c)` and the like may run on
// SSE, because an operation on F32 yields a pending operation or a chain of them that St()
// computes in double where a margin proves it gives the x87 bits, and on the x87 otherwise
// (NumericChain.h). Sine and cosine of small angles come from a polynomial where that is certain
// (SmallAngleTrig.h); unit vectors and quaternions have their own (PackedQuaternion.h). Each is
// listed in docs/physics-speed.md with its guard, and PHYSICS_REFERENCE_ARITHMETIC turns all off.
//
// This header, the three named above and TurnLanes.h are the only ones under physics/ that name
// float and double.

#include <emmintrin.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

static_assert(LDBL_MANT_DIG == 64, "the physics needs the x87 80-bit long double");

namespace physics {

// The fast paths (docs/physics-speed.md) stand in for steps of the recipe where they give the same
// bits. Built with PHYSICS_REFERENCE_ARITHMETIC every one of them is off and the recipe runs as
// written: one of the probes compares that build with the ordinary one.
#ifdef PHYSICS_REFERENCE_ARITHMETIC
inline constexpr bool kFastPaths = false;
#else
inline constexpr bool kFastPaths = true;
#endif

class Ext;

// A stored 32-bit physics value.
class F32 {
public:
    constexpr F32() = default;
    constexpr F32(float v) : v(v) {}
    F32(double) = delete;
    F32(long double) = delete;
    F32(int) = delete;

    static F32 FromBits(std::uint32_t bits) {
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return F32(f);
    }
    std::uint32_t Bits() const {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }
    float Value() const { return v; }

    float v = 0.0f;
};

// An intermediate at extended precision.
class Ext {
public:
    constexpr Ext() = default;
    constexpr Ext(F32 f) : v(static_cast<long double>(f.v)) {}
    constexpr Ext(float f) : v(static_cast<long double>(f)) {}
    Ext(double) = delete;
    Ext(int) = delete;
    constexpr explicit Ext(long double x) : v(x) {}

    long double v = 0.0L;
};

[[gnu::always_inline]] inline Ext operator+(Ext a, Ext b) {
    return Ext(a.v + b.v);
}
[[gnu::always_inline]] inline Ext operator-(Ext a, Ext b) {
    return Ext(a.v - b.v);
}
[[gnu::always_inline]] inline Ext operator*(Ext a, Ext b) {
    return Ext(a.v * b.v);
}
[[gnu::always_inline]] inline Ext operator/(Ext a, Ext b) {
    return Ext(a.v / b.v);
}
[[gnu::always_inline]] inline Ext operator-(Ext a) {
    return Ext(-a.v);
}
[[gnu::always_inline]] inline bool operator<(Ext a, Ext b) {
    return a.v < b.v;
}
[[gnu::always_inline]] inline bool operator<=(Ext a, Ext b) {
    return a.v <= b.v;
}
[[gnu::always_inline]] inline bool operator>(Ext a, Ext b) {
    return a.v > b.v;
}
[[gnu::always_inline]] inline bool operator>=(Ext a, Ext b) {
    return a.v >= b.v;
}
[[gnu::always_inline]] inline bool operator==(Ext a, Ext b) {
    return a.v == b.v;
}
[[gnu::always_inline]] inline bool operator!=(Ext a, Ext b) {
    return a.v != b.v;
}

// Rounds toward zero to binary32 through the x87 store (the control word's rounding).
[[gnu::always_inline]] inline F32 St(Ext x) {
    float r;
    __asm__("fsts %0" : "=m"(r) : "t"(x.v));
    return F32(r);
}

[[gnu::always_inline]] inline F32 St(F32 x) {
    return x;
}
// The empty asm hides how the stored value was made: g++ 12 otherwise may reuse the unrounded
// double of a wide operation where the stored value is widened again, as if the store were exact.
[[gnu::always_inline]] inline F32 Stored(float r) {
    __asm__("" : "+x"(r));
    return F32(r);
}
}  // namespace physics

// Single operations and chains of them over stored values, which St() may compute on SSE.
#include "physics/NumericChain.h"  // IWYU pragma: export

namespace physics {

// Rounds to binary64 through the x87 store: "the argument at double precision".
[[gnu::always_inline]] inline Ext StD(Ext x) {
    double r;
    __asm__("fstl %0" : "=m"(r) : "t"(x.v));
    return Ext(static_cast<long double>(r));
}

// Hides a value from constant folding, which would round to nearest at compile time.
[[gnu::always_inline]] inline Ext Opq(Ext x) {
    __asm__("" : "+t"(x.v));
    return x;
}

// A double constant that is not an f32 (used where the arithmetic names one).
[[gnu::always_inline]] inline Ext DoubleConst(std::uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return Ext(static_cast<long double>(d));
}

// The library functions: sqrt through the x87 root (its chop to 24 bits equals a root rounded
// to nearest at 64 bits and then chopped), the others through the double functions of the C
// library (round to nearest on SSE, untouched by the x87 word). Results are stored.
[[gnu::always_inline]] inline F32 SqrtF(Ext x) {
    return St(Ext(sqrtl(x.v)));
}
// The same result for a stored argument on SSE, whose physics mode chops the root as the x87
// store does (subnormal arguments included, since that mode keeps them).
[[gnu::always_inline]] inline F32 SqrtF(F32 x) {
    if constexpr (!kFastPaths) return SqrtF(Ext(x));
    return Stored(
        __builtin_ia32_sqrtss(__extension__(__attribute__((vector_size(16))) float){x.v, 0, 0, 0})[0]);
}
// St(a / b) for stored operands: the SSE quotient in the physics mode.
[[gnu::always_inline]] inline F32 DivF(F32 a, F32 b) {
    return St(a / b);
}
// Root of an extended sum passed at double precision.
[[gnu::always_inline]] inline F32 SqrtDouble(Ext x) {
    return St(Ext(sqrtl(StD(x).v)));
}

namespace detail {
double LibSin(double);
double LibCos(double);
double LibAtan(double);
double LibExp(double);
double LibLog(double);
double LibLog10(double);
double LibPow(double, double);
}  // namespace detail

namespace detail {
// Sine and cosine through the C library, chopped to f32: the results every client agrees on.
inline F32 LibrarySinF(F32 x) {
    return St(Ext(static_cast<long double>(LibSin(x.v))));
}
inline F32 LibraryCosF(F32 x) {
    return St(Ext(static_cast<long double>(LibCos(x.v))));
}

}  // namespace detail

}  // namespace physics

// Sine and cosine of small angles by polynomial where that gives the library's bits.
#include "physics/SmallAngleTrig.h"  // IWYU pragma: export

namespace physics {

// The small angles of a ball's turn per sub-step take the polynomial path; the same bits.
[[gnu::always_inline]] inline F32 SinF(F32 x) {
    F32 r;
    return kFastPaths && detail::SmallAngleSin(x, r) ? r : detail::LibrarySinF(x);
}
[[gnu::always_inline]] inline F32 CosF(F32 x) {
    F32 r;
    return kFastPaths && detail::SmallAngleCos(x, r) ? r : detail::LibraryCosF(x);
}
inline F32 AtanF(F32 x) {
    return St(Ext(static_cast<long double>(detail::LibAtan(x.v))));
}
inline F32 ExpF(F32 x) {
    return St(Ext(static_cast<long double>(detail::LibExp(x.v))));
}
// exp of an extended value passed at double precision.
inline F32 ExpDouble(Ext x) {
    return St(Ext(static_cast<long double>(detail::LibExp(static_cast<double>(StD(x).v)))));
}
inline F32 LogF(F32 x) {
    return St(Ext(static_cast<long double>(detail::LibLog(x.v))));
}
inline F32 Log10F(F32 x) {
    return St(Ext(static_cast<long double>(detail::LibLog10(x.v))));
}
inline F32 PowF(F32 x, F32 y) {
    return St(Ext(static_cast<long double>(detail::LibPow(x.v, y.v))));
}

// Integers below 2^24 widen exactly.
[[gnu::always_inline]] inline Ext FromInteger(std::uint32_t v) {
    return Ext(static_cast<long double>(v));
}
// The integer part of x, truncated toward zero: 1 when below 1, `limit` when at or above it.
[[gnu::always_inline]] inline std::uint32_t CountOf(Ext x, std::uint32_t limit) {
    if (!(x.v >= 1.0L)) return 1;
    if (x.v >= static_cast<long double>(limit)) return limit;
    return static_cast<std::uint32_t>(x.v);
}

// fabs is exact in every format.
[[gnu::always_inline]] inline F32 AbsF(F32 x) {
    return F32(__builtin_fabsf(x.v));
}
[[gnu::always_inline]] inline Ext AbsE(Ext x) {
    return Ext(__builtin_fabsl(x.v));
}

[[gnu::always_inline]] inline bool IsFinite(F32 x) {
    return __builtin_isfinite(x.v);
}

constexpr F32 kFltEpsilon = F32(FLT_EPSILON);
constexpr F32 kPi = F32(3.1415927f);

}  // namespace physics
