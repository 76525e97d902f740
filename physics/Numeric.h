#pragma once
// The arithmetic every client shares. Stored quantities are F32 (a binary32 value); every
// operation is defined as widening to Ext (x87 extended, 64-bit significand) under the control
// word 0x0F7F (round toward zero) and going back to F32 only through St(), which chops. An
// operation on F32 does not compute at once: it yields a pending operation (or a Chain of them)
// that St() computes on SSE in the physics mode (round toward zero, see PhysicsEntry.h) where
// that provably gives the x87 bits, and otherwise widens through the x87 and stores with the x87
// store (g++ would turn (float)(long double expr) into SSE arithmetic rounded to nearest). Used in
// any wider expression it widens through the x87 as written. Neither type converts from double,
// so float or double arithmetic in physics code does not compile.
//
// This header (and nothing else under physics/) names float and double.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <emmintrin.h>

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

// One operation on two stored values (or, for the wide kind, on two values held exactly in
// double), performed where it is used. Stored at once by St(), it runs on SSE, which the physics
// entry sets to round toward zero with gradual underflow: the exact result chopped once to f32
// equals the x87 result chopped to 64 bits and then stored, because chopping to a finer grid
// and then to a coarser one that it contains is the same as chopping to the coarser one. Used
// inside a wider expression it widens through the x87 exactly as the plain operators do, so
// every expression keeps its bits; only the single-operation stores become cheaper.
enum class OpKind { Add, Sub, Mul, Div };

template <OpKind K, class T>
[[gnu::always_inline]] inline T Apply(T a, T b) {
    if constexpr (K == OpKind::Add) return a + b;
    if constexpr (K == OpKind::Sub) return a - b;
    if constexpr (K == OpKind::Mul) return a * b;
    if constexpr (K == OpKind::Div) return a / b;
}

template <OpKind K>
struct Pending {
    float a, b;
    [[gnu::always_inline]] operator Ext() const {
        return Ext(Apply<K>(static_cast<long double>(a), static_cast<long double>(b)));
    }
    // The exact value of a product of two f32 (48 significant bits fit a double).
    [[gnu::always_inline]] double ExactProduct() const
        requires(K == OpKind::Mul)
    {
        return static_cast<double>(a) * static_cast<double>(b);
    }
};
using Product = Pending<OpKind::Mul>;

// One operation on two values that double holds exactly: a product of two f32 and an f32, or
// two such products. Only the last operation rounds, so the double result chopped to f32 is
// again the x87 result stored.
template <OpKind K>
struct PendingWide {
    double a, b;
    [[gnu::always_inline]] operator Ext() const {
        return Ext(Apply<K>(static_cast<long double>(a), static_cast<long double>(b)));
    }
};

#define PHYSICS_PENDING_OPERATORS(op, kind)                                                          \
    [[gnu::always_inline]] inline Pending<OpKind::kind> operator op(F32 a, F32 b) { return {a.v, b.v}; } \
    [[gnu::always_inline]] inline PendingWide<OpKind::kind> operator op(Product a, F32 b) {             \
        return {a.ExactProduct(), static_cast<double>(b.v)};                                           \
    }                                                                                                  \
    [[gnu::always_inline]] inline PendingWide<OpKind::kind> operator op(F32 a, Product b) {             \
        return {static_cast<double>(a.v), b.ExactProduct()};                                           \
    }                                                                                                  \
    [[gnu::always_inline]] inline PendingWide<OpKind::kind> operator op(Product a, Product b) {         \
        return {a.ExactProduct(), b.ExactProduct()};                                                   \
    }
PHYSICS_PENDING_OPERATORS(+, Add)
PHYSICS_PENDING_OPERATORS(-, Sub)
PHYSICS_PENDING_OPERATORS(*, Mul)
PHYSICS_PENDING_OPERATORS(/, Div)
#undef PHYSICS_PENDING_OPERATORS

// Negation is exact and keeps the sign of a zero product or quotient.
[[gnu::always_inline]] inline F32 operator-(F32 a) { return F32(-a.v); }
[[gnu::always_inline]] inline Product operator-(Product p) { return {-p.a, p.b}; }

[[gnu::always_inline]] inline Ext operator+(Ext a, Ext b) { return Ext(a.v + b.v); }
[[gnu::always_inline]] inline Ext operator-(Ext a, Ext b) { return Ext(a.v - b.v); }
[[gnu::always_inline]] inline Ext operator*(Ext a, Ext b) { return Ext(a.v * b.v); }
[[gnu::always_inline]] inline Ext operator/(Ext a, Ext b) { return Ext(a.v / b.v); }
[[gnu::always_inline]] inline Ext operator-(Ext a) { return Ext(-a.v); }
[[gnu::always_inline]] inline bool operator<(Ext a, Ext b) { return a.v < b.v; }
[[gnu::always_inline]] inline bool operator<=(Ext a, Ext b) { return a.v <= b.v; }
[[gnu::always_inline]] inline bool operator>(Ext a, Ext b) { return a.v > b.v; }
[[gnu::always_inline]] inline bool operator>=(Ext a, Ext b) { return a.v >= b.v; }
[[gnu::always_inline]] inline bool operator==(Ext a, Ext b) { return a.v == b.v; }
[[gnu::always_inline]] inline bool operator!=(Ext a, Ext b) { return a.v != b.v; }

// Rounds toward zero to binary32 through the x87 store (the control word's rounding).
[[gnu::always_inline]] inline F32 St(Ext x) {
    float r;
    __asm__("fsts %0" : "=m"(r) : "t"(x.v));
    return F32(r);
}

[[gnu::always_inline]] inline F32 St(F32 x) { return x; }
// The empty asm hides how the stored value was made: g++ 12 otherwise may reuse the unrounded
// double of a wide operation where the stored value is widened again, as if the store were exact.
[[gnu::always_inline]] inline F32 Stored(float r) {
    __asm__("" : "+x"(r));
    return F32(r);
}
template <OpKind K>
[[gnu::always_inline]] inline F32 St(Pending<K> p) {
    if constexpr (!kFastPaths) return St(Ext(p));
    return Stored(Apply<K>(p.a, p.b));
}
template <OpKind K>
[[gnu::always_inline]] inline F32 St(PendingWide<K> p) {
    if constexpr (!kFastPaths) return St(Ext(p));
    return Stored(static_cast<float>(Apply<K>(p.a, p.b)));
}

// An expression of several roundings over stored values, kept as its tree (a Chain). Stored at
// once, it is evaluated on SSE in double together with a magnitude M that bounds every partial
// result: each double operation rounds by less than 2^-52 M and each x87 one by less than
// 2^-63 M, so with at most 32 roundings the double and the x87 results differ by less than
// 2^-47 M. When every value within 2^-46 M of the double result chops to the same f32, that f32
// is the x87 result stored. Otherwise, and wherever the chain is used in a wider expression, it
// is evaluated on the x87 as written. Divisors must be exact (a stored value or a product of
// two), so that M / |divisor| bounds the quotient's partial results.
struct WideValue {
    double value, magnitude;
};

template <OpKind K, class L, class R>
struct Chain;

// kRoundings is the number of roundings of a term, -1 for a type that is not one.
template <class T>
struct WideTerm {
    static constexpr int kRoundings = -1;
};
template <>
struct WideTerm<F32> {
    static constexpr int kRoundings = 0;
    [[gnu::always_inline]] static WideValue Wide(F32 f) {
        const double v = static_cast<double>(f.v);
        return {v, __builtin_fabs(v)};
    }
};
template <OpKind K>
struct WideTerm<Pending<K>> {
    static constexpr int kRoundings = K == OpKind::Mul ? 0 : 1;
    [[gnu::always_inline]] static WideValue Wide(Pending<K> p) {
        const double a = static_cast<double>(p.a), b = static_cast<double>(p.b);
        const double v = Apply<K>(a, b);
        if constexpr (K == OpKind::Add || K == OpKind::Sub)
            return {v, __builtin_fabs(a) + __builtin_fabs(b)};
        else
            return {v, __builtin_fabs(v)};
    }
};
template <OpKind K>
struct WideTerm<PendingWide<K>> {
    static constexpr int kRoundings = 1;
    [[gnu::always_inline]] static WideValue Wide(PendingWide<K> p) {
        const double v = Apply<K>(p.a, p.b);
        if constexpr (K == OpKind::Add || K == OpKind::Sub)
            return {v, __builtin_fabs(p.a) + __builtin_fabs(p.b)};
        else
            return {v, __builtin_fabs(v)};
    }
};
template <OpKind K, class L, class R>
struct WideTerm<Chain<K, L, R>> {
    static constexpr int kRoundings = WideTerm<L>::kRoundings + WideTerm<R>::kRoundings + 1;
    [[gnu::always_inline]] static WideValue Wide(const Chain<K, L, R>& c) {
        const WideValue l = WideTerm<L>::Wide(c.l), r = WideTerm<R>::Wide(c.r);
        const double v = Apply<K>(l.value, r.value);
        if constexpr (K == OpKind::Add || K == OpKind::Sub)
            return {v, l.magnitude + r.magnitude};
        else
            return {v, Apply<K>(l.magnitude, r.magnitude)};
    }
};

template <class T>
concept ChainTerm = WideTerm<T>::kRoundings >= 0;
template <class T>
concept ExactTerm = WideTerm<T>::kRoundings == 0;
// Two exact terms make a Pending or PendingWide (one rounding); a chain starts where a term
// that already rounds meets another term.
template <class L, class R>
concept ChainOperands = ChainTerm<L> && ChainTerm<R> && !(ExactTerm<L> && ExactTerm<R>);

template <OpKind K, class L, class R>
struct Chain {
    static_assert(WideTerm<L>::kRoundings + WideTerm<R>::kRoundings < 32, "the margin covers 32 roundings");
    static_assert(K != OpKind::Div || ExactTerm<R>, "divisors must be exact");
    L l;
    R r;
    [[gnu::always_inline]] operator Ext() const { return Apply<K>(Ext(l), Ext(r)); }
};

template <class L, class R>
    requires ChainOperands<L, R>
[[gnu::always_inline]] inline Chain<OpKind::Add, L, R> operator+(L l, R r) {
    return {l, r};
}
template <class L, class R>
    requires ChainOperands<L, R>
[[gnu::always_inline]] inline Chain<OpKind::Sub, L, R> operator-(L l, R r) {
    return {l, r};
}
template <class L, class R>
    requires ChainOperands<L, R>
[[gnu::always_inline]] inline Chain<OpKind::Mul, L, R> operator*(L l, R r) {
    return {l, r};
}
template <class L, class R>
    requires ChainOperands<L, R> && ExactTerm<R>
[[gnu::always_inline]] inline Chain<OpKind::Div, L, R> operator/(L l, R r) {
    return {l, r};
}

// Comparisons of exact terms (stored values, products of two) are exact in double.
template <class T>
    requires ExactTerm<T>
[[gnu::always_inline]] inline double ExactValue(T t) {
    return WideTerm<T>::Wide(t).value;
}
#define PHYSICS_EXACT_COMPARISON(op)                                                  \
    template <class L, class R>                                                       \
        requires ExactTerm<L> && ExactTerm<R>                                         \
    [[gnu::always_inline]] inline bool operator op(L l, R r) {                        \
        if constexpr (!kFastPaths) return Ext(l) op Ext(r);                           \
        return ExactValue(l) op ExactValue(r);                                        \
    }
PHYSICS_EXACT_COMPARISON(<)
PHYSICS_EXACT_COMPARISON(<=)
PHYSICS_EXACT_COMPARISON(>)
PHYSICS_EXACT_COMPARISON(>=)
PHYSICS_EXACT_COMPARISON(==)
PHYSICS_EXACT_COMPARISON(!=)
#undef PHYSICS_EXACT_COMPARISON

// The margin of a whole chain, which a chain that can be exact narrows to zero: x +- a / b with
// a zero is exact (a signed-zero quotient added to x), and the magnitude cannot show that.
template <OpKind K, class L, class R>
[[gnu::always_inline]] inline double ChainMargin(const Chain<K, L, R>&, const WideValue& w) {
    return w.magnitude * 0x1p-46;
}
template <OpKind K>
    requires(K == OpKind::Add || K == OpKind::Sub)
[[gnu::always_inline]] inline double ChainMargin(const Chain<K, F32, Pending<OpKind::Div>>& c, const WideValue& w) {
    const __m128 numerator = _mm_set_ss(c.r.a);
    const __m128d keep = _mm_castps_pd(_mm_cmpneq_ps(_mm_shuffle_ps(numerator, numerator, 0), _mm_setzero_ps()));
    return _mm_cvtsd_f64(_mm_and_pd(keep, _mm_set_sd(w.magnitude * 0x1p-46)));
}
template <OpKind K>
    requires(K == OpKind::Add || K == OpKind::Sub)
[[gnu::always_inline]] inline double ChainMargin(const Chain<K, Pending<OpKind::Div>, F32>& c, const WideValue& w) {
    return ChainMargin(Chain<K, F32, Pending<OpKind::Div>>{c.r, c.l}, w);
}

// x +- (a +- b) with a +- b zero (a and b cancel exactly: double and x87 both give zero) is x.
template <OpKind K, OpKind J>
    requires(K == OpKind::Add || K == OpKind::Sub) && (J == OpKind::Add || J == OpKind::Sub)
[[gnu::always_inline]] inline double ChainMargin(const Chain<K, Pending<J>, F32>& c, const WideValue& w) {
    const __m128d inner = _mm_set_sd(Apply<J>(static_cast<double>(c.l.a), static_cast<double>(c.l.b)));
    const __m128d keep = _mm_cmpneq_sd(inner, _mm_setzero_pd());
    return _mm_cvtsd_f64(_mm_and_pd(keep, _mm_set_sd(w.magnitude * 0x1p-46)));
}
template <OpKind K, OpKind J>
    requires(K == OpKind::Add || K == OpKind::Sub) && (J == OpKind::Add || J == OpKind::Sub)
[[gnu::always_inline]] inline double ChainMargin(const Chain<K, F32, Pending<J>>& c, const WideValue& w) {
    return ChainMargin(Chain<K, Pending<J>, F32>{c.r, c.l}, w);
}

template <OpKind K, class L, class R>
[[gnu::always_inline]] inline F32 St(const Chain<K, L, R>& c) {
    if constexpr (!kFastPaths) return St(Ext(c));
    const WideValue w = WideTerm<Chain<K, L, R>>::Wide(c);
    const double margin = ChainMargin(c, w);
    const float lo = static_cast<float>(w.value - margin);
    const float hi = static_cast<float>(w.value + margin);
    std::uint32_t loBits, hiBits;
    std::memcpy(&loBits, &lo, sizeof loBits);
    std::memcpy(&hiBits, &hi, sizeof hiBits);
    if (loBits == hiBits) [[likely]]
        return Stored(lo);
    return St(Ext(c));
}

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
[[gnu::always_inline]] inline F32 SqrtF(Ext x) { return St(Ext(sqrtl(x.v))); }
// The same result for a stored argument on SSE, whose physics mode chops the root as the x87
// store does (subnormal arguments included, since that mode keeps them).
[[gnu::always_inline]] inline F32 SqrtF(F32 x) {
    if constexpr (!kFastPaths) return SqrtF(Ext(x));
    return Stored(__builtin_ia32_sqrtss(__extension__(__attribute__((vector_size(16))) float){x.v, 0, 0, 0})[0]);
}
// The root and its reciprocal St(1 / root) of a stored square within 16 units of 1, where unit
// vectors and quaternions land: read from a table instead of computed (the same bits, which a
// test checks). False for any other square.
[[gnu::always_inline]] inline bool NearUnitRoot(F32 square, F32& root, F32& inverse) {
    struct RootBits {
        std::uint32_t root, inverse;
    };
    static constexpr std::uint32_t kFirst = 0x3F7FFFF0u;  // 1 - 16 units below 1
    static constexpr RootBits kRoots[33] = {
        {0x3F7FFFF7, 0x3F800004}, {0x3F7FFFF8, 0x3F800004}, {0x3F7FFFF8, 0x3F800004},
        {0x3F7FFFF9, 0x3F800003}, {0x3F7FFFF9, 0x3F800003}, {0x3F7FFFFA, 0x3F800003},
        {0x3F7FFFFA, 0x3F800003}, {0x3F7FFFFB, 0x3F800002}, {0x3F7FFFFB, 0x3F800002},
        {0x3F7FFFFC, 0x3F800002}, {0x3F7FFFFC, 0x3F800002}, {0x3F7FFFFD, 0x3F800001},
        {0x3F7FFFFD, 0x3F800001}, {0x3F7FFFFE, 0x3F800001}, {0x3F7FFFFE, 0x3F800001},
        {0x3F7FFFFF, 0x3F800000}, {0x3F800000, 0x3F800000}, {0x3F800000, 0x3F800000},
        {0x3F800000, 0x3F800000}, {0x3F800001, 0x3F7FFFFE}, {0x3F800001, 0x3F7FFFFE},
        {0x3F800002, 0x3F7FFFFC}, {0x3F800002, 0x3F7FFFFC}, {0x3F800003, 0x3F7FFFFA},
        {0x3F800003, 0x3F7FFFFA}, {0x3F800004, 0x3F7FFFF8}, {0x3F800004, 0x3F7FFFF8},
        {0x3F800005, 0x3F7FFFF6}, {0x3F800005, 0x3F7FFFF6}, {0x3F800006, 0x3F7FFFF4},
        {0x3F800006, 0x3F7FFFF4}, {0x3F800007, 0x3F7FFFF2}, {0x3F800007, 0x3F7FFFF2},
    };
    const std::uint32_t index = square.Bits() - kFirst;
    if (!kFastPaths || index >= 33u) return false;
    root = F32::FromBits(kRoots[index].root);
    inverse = F32::FromBits(kRoots[index].inverse);
    return true;
}
// St(a / b) for stored operands: the SSE quotient in the physics mode.
[[gnu::always_inline]] inline F32 DivF(F32 a, F32 b) { return St(a / b); }
// Root of an extended sum passed at double precision.
[[gnu::always_inline]] inline F32 SqrtDouble(Ext x) { return St(Ext(sqrtl(StD(x).v))); }

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
inline F32 LibrarySinF(F32 x) { return St(Ext(static_cast<long double>(LibSin(x.v)))); }
inline F32 LibraryCosF(F32 x) { return St(Ext(static_cast<long double>(LibCos(x.v)))); }

// Angles from 2^-24 up to (not including) 1 in magnitude take the polynomial path; zero is exact.
inline constexpr std::uint32_t kTrigLowest = 0x33800000u;  // 2^-24
inline constexpr std::uint32_t kTrigLimit = 0x3F800000u;   // 1
// Distance, in units of the last place of the double, that a polynomial value must keep from
// every f32 for its chop to be certain. Below 1 the polynomial (rounding and truncation) and a
// library within 1 unit of the true value stay within 6 units of each other; 32 leaves a wide
// safety factor and refuses only about one value in 2^23, besides the angles too small for
// their sine to be told apart from the angle or their cosine from 1.
inline constexpr std::uint64_t kTrigMargin = 32;

// Taylor coefficients 1/n! with alternating signs, correctly rounded. Below 1 in magnitude the
// first omitted term is under 2^-56 of the value; below 2^-5, where the half angles of a sub-step
// usually lie, three terms of each suffice (the next is under 2^-55 of the value) and the
// polynomial's latency is what a sub-step waits for.
inline constexpr std::uint32_t kTrigShortLimit = 0x3D000000u;  // 2^-5
inline constexpr double kSinTerms[8] = {-0x1.5555555555555p-3,  0x1.1111111111111p-7,  -0x1.a01a01a01a01ap-13,
                                        0x1.71de3a556c734p-19,  -0x1.ae64567f544e4p-26, 0x1.6124613a86d09p-33,
                                        -0x1.ae7f3e733b81fp-41, 0x1.952c77030ad4ap-49};
inline constexpr double kCosTerms[9] = {-0x1.0000000000000p-1,  0x1.5555555555555p-5,  -0x1.6c16c16c16c17p-10,
                                        0x1.a01a01a01a01ap-16,  -0x1.27e4fb7789f5cp-22, 0x1.1eed8eff8d898p-29,
                                        -0x1.93974a8c07c9dp-37, 0x1.ae7f3e733b81fp-45,  -0x1.6827863b97d97p-53};

// The first N terms by Horner's rule.
template <int N, int M>
[[gnu::always_inline]] inline double Horner(const double (&terms)[M], double u) {
    static_assert(N <= M);
    double p = terms[N - 1];
#pragma GCC unroll 16
    for (int i = N - 2; i >= 0; --i) p = p * u + terms[i];
    return p;
}

// Sine and cosine of an angle below 1 in magnitude, in double. The square of an f32 is exact
// (48 bits); the polynomials run in whatever SSE rounding mode is set: their error bound holds
// for any of them, and no operand is subnormal above 2^-24.
[[gnu::always_inline]] inline double SinPolynomial(F32 x) {
    const double v = x.v;
    const double u = v * v;
    if ((x.Bits() & 0x7FFFFFFFu) < kTrigShortLimit) return v + (u * v) * Horner<3>(kSinTerms, u);
    return v + (u * v) * Horner<8>(kSinTerms, u);
}
[[gnu::always_inline]] inline double CosPolynomial(F32 x) {
    const double u = static_cast<double>(x.v) * static_cast<double>(x.v);
    if ((x.Bits() & 0x7FFFFFFFu) < kTrigShortLimit) return 1.0 + u * Horner<3>(kCosTerms, u);
    return 1.0 + u * Horner<9>(kCosTerms, u);
}

// The chop toward zero of a double whose magnitude lies in f32's normal range, done on the bits
// so that no rounding mode enters; false when it lies within kTrigMargin units of an f32 (a
// value whose chop the library's own error could change).
[[gnu::always_inline]] inline bool ChopIfClear(double value, F32& out) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr std::uint64_t kCell = std::uint64_t{1} << 29;  // doubles per f32 step
    if (((bits & (kCell - 1)) - kTrigMargin) >= kCell - 2 * kTrigMargin) return false;
    const std::uint64_t magnitude = bits & ~(std::uint64_t{1} << 63);
    const auto f32Bits = static_cast<std::uint32_t>((magnitude >> 29) - (std::uint64_t{1023 - 127} << 23));
    out = F32::FromBits(f32Bits | static_cast<std::uint32_t>(bits >> 63) << 31);
    return true;
}

// LibrarySinF(x) without the library where that is certain: true with the result in `out`, or
// false when the caller must ask the library.
[[gnu::always_inline]] inline bool SmallAngleSin(F32 x, F32& out) {
    const std::uint32_t magnitude = x.Bits() & 0x7FFFFFFFu;
    if (magnitude == 0) {
        out = x;  // sin(-0) is -0
        return true;
    }
    if (magnitude - kTrigLowest >= kTrigLimit - kTrigLowest) return false;
    return ChopIfClear(SinPolynomial(x), out);
}

// LibraryCosF(x) without the library where that is certain (see SmallAngleSin). Below 1 the
// cosine lies in [0.54, 1), one binade, so the margin is a fixed distance; a value that comes out
// as 1 itself is refused there too.
[[gnu::always_inline]] inline bool SmallAngleCos(F32 x, F32& out) {
    const std::uint32_t magnitude = x.Bits() & 0x7FFFFFFFu;
    if (magnitude == 0) {
        out = F32(1.0f);
        return true;
    }
    if (magnitude - kTrigLowest >= kTrigLimit - kTrigLowest) return false;
    return ChopIfClear(CosPolynomial(x), out);
}
}  // namespace detail

// The small angles of a ball's turn per sub-step take the polynomial path; the same bits.
[[gnu::always_inline]] inline F32 SinF(F32 x) {
    F32 r;
    return kFastPaths && detail::SmallAngleSin(x, r) ? r : detail::LibrarySinF(x);
}
[[gnu::always_inline]] inline F32 CosF(F32 x) {
    F32 r;
    return kFastPaths && detail::SmallAngleCos(x, r) ? r : detail::LibraryCosF(x);
}
inline F32 AtanF(F32 x) { return St(Ext(static_cast<long double>(detail::LibAtan(x.v)))); }
inline F32 ExpF(F32 x) { return St(Ext(static_cast<long double>(detail::LibExp(x.v)))); }
// exp of an extended value passed at double precision.
inline F32 ExpDouble(Ext x) {
    return St(Ext(static_cast<long double>(detail::LibExp(static_cast<double>(StD(x).v)))));
}
inline F32 LogF(F32 x) { return St(Ext(static_cast<long double>(detail::LibLog(x.v)))); }
inline F32 Log10F(F32 x) { return St(Ext(static_cast<long double>(detail::LibLog10(x.v)))); }
inline F32 PowF(F32 x, F32 y) { return St(Ext(static_cast<long double>(detail::LibPow(x.v, y.v)))); }

// The stored Hamilton product r = a x b of two quaternions (x, y, z, w), each component
// written as four products summed left to right:
//   x = ((a.y b.z + b.w a.x) - a.z b.y) + a.w b.x     y = ((b.y a.w + b.w a.y) - a.x b.z) + a.z b.x
//   z = ((b.y a.x - a.y b.x) + a.w b.z) + b.w a.z     w = b.w a.w - ((a.z b.z + b.x a.x) + b.y a.y)
// Each is the chain St() evaluates in double with its magnitude and margin; here the four run
// as two pairs of packed lanes. A packed lane rounds as the scalar operation does (same MXCSR),
// p - q is p + (-q) exactly, and sums and products commute exactly, so each lane computes the
// scalar chain's value, magnitude and chop. False when any component's chop is not certain or
// any is NaN (the caller then stores the chains one by one, with their x87 fallback).
// `a`, `b` and `r` each point to the four F32 components in that order; `r` may be `a` or `b`.
[[gnu::always_inline]] inline bool QuaternionProductOnSse(const F32* a, const F32* b, F32* r) {
    static_assert(sizeof(F32) == sizeof(float));
    if constexpr (!kFastPaths) return false;
    const __m128 af = _mm_loadu_ps(&a->v);
    const __m128 bf = _mm_loadu_ps(&b->v);
    const __m128d axy = _mm_cvtps_pd(af), azw = _mm_cvtps_pd(_mm_movehl_ps(af, af));
    const __m128d bxy = _mm_cvtps_pd(bf), bzw = _mm_cvtps_pd(_mm_movehl_ps(bf, bf));
    const __m128d bxx = _mm_unpacklo_pd(bxy, bxy), bww = _mm_unpackhi_pd(bzw, bzw);
    const __m128d bzby = _mm_shuffle_pd(bzw, bxy, 0b10), bybz = _mm_shuffle_pd(bxy, bzw, 0b01);
    const __m128d negLow = _mm_set_pd(0.0, -0.0), negBoth = _mm_set1_pd(-0.0);
    // Lanes (x, y) and (z, w); the four products of each component in the order summed, the
    // subtracted ones negated; the w chain's first product comes last (r4).
    const __m128d r1xy = _mm_mul_pd(_mm_unpackhi_pd(axy, azw), bzby);                          // ay bz, aw by
    const __m128d r1zw = _mm_mul_pd(_mm_unpacklo_pd(axy, azw), bybz);                          // ax by, az bz
    const __m128d r2xy = _mm_mul_pd(axy, bww);                                                 // ax bw, ay bw
    const __m128d r2zw = _mm_xor_pd(_mm_mul_pd(_mm_shuffle_pd(axy, axy, 0b01), bxx), negLow);  // -ay bx, ax bx
    const __m128d r3xy = _mm_xor_pd(_mm_mul_pd(_mm_shuffle_pd(azw, axy, 0b00), bybz), negBoth);  // -az by, -ax bz
    const __m128d r3zw = _mm_mul_pd(_mm_shuffle_pd(azw, axy, 0b11), bzby);                       // aw bz, ay by
    const __m128d r4xy = _mm_mul_pd(_mm_shuffle_pd(azw, azw, 0b01), bxx);                        // aw bx, az bx
    const __m128d r4zw = _mm_mul_pd(azw, bww);                                                   // az bw, aw bw
    const __m128d absMask = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const auto abs = [&](__m128d v) { return _mm_and_pd(v, absMask); };
    __m128d sxy = _mm_add_pd(_mm_add_pd(r1xy, r2xy), r3xy);
    __m128d szw = _mm_add_pd(_mm_add_pd(r1zw, r2zw), r3zw);
    __m128d mxy = _mm_add_pd(_mm_add_pd(abs(r1xy), abs(r2xy)), abs(r3xy));
    __m128d mzw = _mm_add_pd(_mm_add_pd(abs(r1zw), abs(r2zw)), abs(r3zw));
    sxy = _mm_add_pd(sxy, r4xy);
    szw = _mm_move_sd(_mm_sub_pd(r4zw, szw), _mm_add_pd(szw, r4zw));  // z: s + r4, w: r4 - s
    mxy = _mm_add_pd(mxy, abs(r4xy));
    mzw = _mm_add_pd(mzw, abs(r4zw));
    const __m128d scale = _mm_set1_pd(0x1p-46);
    mxy = _mm_mul_pd(mxy, scale);
    mzw = _mm_mul_pd(mzw, scale);
    __m128 lo = _mm_movelh_ps(_mm_cvtpd_ps(_mm_sub_pd(sxy, mxy)), _mm_cvtpd_ps(_mm_sub_pd(szw, mzw)));
    const __m128 hi = _mm_movelh_ps(_mm_cvtpd_ps(_mm_add_pd(sxy, mxy)), _mm_cvtpd_ps(_mm_add_pd(szw, mzw)));
    const __m128i same = _mm_cmpeq_epi32(_mm_castps_si128(lo), _mm_castps_si128(hi));
    // A NaN leaves too: which operand's NaN an operation passes on depends on operand order
    // and sign flips, which the lanes do not keep.
    const int nan = _mm_movemask_pd(_mm_cmpunord_pd(sxy, szw));
    if ((_mm_movemask_ps(_mm_castsi128_ps(same)) ^ 0xF) | nan) [[unlikely]]
        return false;
    __asm__("" : "+x"(lo));  // as Stored(): the chopped values are what the caller sees
    _mm_storeu_ps(&r->v, lo);
    return true;
}

// Writes four stored values to v[0..3] with one store: a packed load right after it is forwarded
// from the store, while one that spans four narrow stores waits until they have retired.
[[gnu::always_inline]] inline void StoreFour(F32* v, F32 a, F32 b, F32 c, F32 d) {
    _mm_storeu_ps(&v->v, _mm_setr_ps(a.v, b.v, c.v, d.v));
}

// Four stored quotients v[i] / d at once: a packed lane divides and chops as DivF does.
[[gnu::always_inline]] inline void DivideFourOnSse(F32* v, F32 d) {
    if constexpr (!kFastPaths) {
        for (int i = 0; i < 4; ++i) v[i] = St(Ext(v[i]) / Ext(d));
        return;
    }
    __m128 q = _mm_div_ps(_mm_loadu_ps(&v->v), _mm_set1_ps(d.v));
    __asm__("" : "+x"(q));  // as Stored()
    _mm_storeu_ps(&v->v, q);
}

// Integers below 2^24 widen exactly.
[[gnu::always_inline]] inline Ext FromInteger(std::uint32_t v) { return Ext(static_cast<long double>(v)); }
// The integer part of x, truncated toward zero: 1 when below 1, `limit` when at or above it.
[[gnu::always_inline]] inline std::uint32_t CountOf(Ext x, std::uint32_t limit) {
    if (!(x.v >= 1.0L)) return 1;
    if (x.v >= static_cast<long double>(limit)) return limit;
    return static_cast<std::uint32_t>(x.v);
}

// fabs is exact in every format.
[[gnu::always_inline]] inline F32 AbsF(F32 x) { return F32(__builtin_fabsf(x.v)); }
[[gnu::always_inline]] inline Ext AbsE(Ext x) { return Ext(__builtin_fabsl(x.v)); }

[[gnu::always_inline]] inline bool IsFinite(F32 x) { return __builtin_isfinite(x.v); }

constexpr F32 kFltEpsilon = F32(FLT_EPSILON);
constexpr F32 kPi = F32(3.1415927f);

}  // namespace physics
