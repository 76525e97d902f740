#include "platform/sys/Fpu.h"

#include <xmmintrin.h>

namespace platform {

namespace {
constexpr std::uint32_t kMxcsrFlushToZero = 0x8000;
constexpr std::uint32_t kMxcsrDenormalsAreZero = 0x0040;
}  // namespace

std::uint16_t GetFpuControl() {
    std::uint16_t word;
    asm volatile("fnstcw %0" : "=m"(word));
    return word;
}

__attribute__((noinline)) void SetFpuControl(std::uint16_t control) {
    asm volatile("fldcw %0" : : "m"(control));
    _mm_setcsr(_mm_getcsr() | kMxcsrFlushToZero | kMxcsrDenormalsAreZero);
}

FpuControlScope::FpuControlScope() : saved_(GetFpuControl()), savedMxcsr_(_mm_getcsr()) {
    SetFpuControl(kPhysicsFpuControl);
}

FpuControlScope::~FpuControlScope() {
    asm volatile("fldcw %0" : : "m"(saved_));
    _mm_setcsr(savedMxcsr_);
}

}  // namespace platform
