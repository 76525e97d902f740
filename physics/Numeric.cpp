#include "physics/Numeric.h"

#include <xmmintrin.h>

#include "physics/PhysicsEntry.h"

namespace physics {
namespace detail {

namespace {

// Runs a C library function in the library's SSE mode whatever mode the caller runs in. The
// empty asm statements tie the argument and the result to the mode switches, so the compiler
// cannot move the call across them.
inline void Pin(double& x) {
    __asm__ volatile("" : "+x"(x));
}

template <class Fn, class... Args>
double InLibraryMode(Fn fn, Args... args) {
    const unsigned saved = _mm_getcsr();
    _mm_setcsr(kLibraryMxcsr);
    (Pin(args), ...);
    double r = fn(args...);
    __asm__ volatile("" : "+x"(r));
    _mm_setcsr(saved);
    return r;
}

}  // namespace

// Out of line so that no caller can fold them with a different rounding.
double LibSin(double x) {
    return InLibraryMode([](double a) { return std::sin(a); }, x);
}
double LibCos(double x) {
    return InLibraryMode([](double a) { return std::cos(a); }, x);
}
double LibAtan(double x) {
    return InLibraryMode([](double a) { return std::atan(a); }, x);
}
double LibExp(double x) {
    return InLibraryMode([](double a) { return std::exp(a); }, x);
}
double LibLog(double x) {
    return InLibraryMode([](double a) { return std::log(a); }, x);
}
double LibLog10(double x) {
    return InLibraryMode([](double a) { return std::log10(a); }, x);
}
double LibPow(double x, double y) {
    return InLibraryMode([](double a, double b) { return std::pow(a, b); }, x, y);
}

}  // namespace detail
}  // namespace physics
