#pragma once
// The x87 control word the physics runs under: 64-bit precision, round toward zero,
// affine infinity, all exceptions masked (0x0F7F). Denormal flushing applies to SSE (MXCSR).

#include <cstdint>

namespace platform {

constexpr std::uint16_t kPhysicsFpuControl = 0x0F7F;

std::uint16_t GetFpuControl();
// Sets the x87 control word and the SSE flush-to-zero bits; never inlined so that the compiler
// cannot move floating-point work across it.
void SetFpuControl(std::uint16_t control = kPhysicsFpuControl);

// Sets the physics control word for a scope and restores the caller's word when it ends.
class FpuControlScope {
public:
    FpuControlScope();
    ~FpuControlScope();
    FpuControlScope(const FpuControlScope&) = delete;
    FpuControlScope& operator=(const FpuControlScope&) = delete;

private:
    std::uint16_t saved_;
    std::uint32_t savedMxcsr_;
};

}  // namespace platform
