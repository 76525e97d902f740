#pragma once
// Every public physics entry runs under the physics control word, whatever the calling thread
// had set, and gives the caller's word back on return. SSE runs in the physics mode of
// kPhysicsMxcsr inside (see Numeric.h); the C library's functions run in kLibraryMxcsr.

#include <cstdint>

#include "platform/sys/Fpu.h"

namespace physics {

// Round toward zero, gradual underflow (no flush-to-zero, no denormals-are-zero), all
// exceptions masked: SSE then chops single operations as the x87 store does.
constexpr std::uint32_t kPhysicsMxcsr = 0x7F80;
// Round to nearest with flush-to-zero and denormals-are-zero, all exceptions masked: the mode
// every client calls sin, cos, exp and their kin in.
constexpr std::uint32_t kLibraryMxcsr = 0x9FC0;

// The x87 control word and the physics SSE mode for a scope; the caller's come back at its end.
class PhysicsArithmeticScope {
public:
    PhysicsArithmeticScope();
    PhysicsArithmeticScope(const PhysicsArithmeticScope&) = delete;
    PhysicsArithmeticScope& operator=(const PhysicsArithmeticScope&) = delete;

private:
    platform::FpuControlScope scope_;
};

// The scope every public entry opens; the first one also runs the arithmetic self-test.
class PhysicsEntry {
public:
    PhysicsEntry();
    PhysicsEntry(const PhysicsEntry&) = delete;
    PhysicsEntry& operator=(const PhysicsEntry&) = delete;

private:
    PhysicsArithmeticScope scope_;
};

// The work behind an entry lives in a function marked PHYSICS_BEHIND_ENTRY so that no arithmetic
// of it can be moved or folded across the control-word change: the compiler does not model that
// word, so only an opaque call keeps the order. clang (the fuzz build) has no such attribute; its
// nearest, noinline, is enough there, since only the g++ build promises peers' bits.
#if defined(__clang__)
#define PHYSICS_BEHIND_ENTRY [[gnu::noinline]]
#else
#define PHYSICS_BEHIND_ENTRY [[gnu::noipa]]
#endif

// Checks one round-toward-zero result (0.005 / 15 must store as 0x39AEC33D) under the control
// word, on the x87 and on SSE. Run once by the first entry; a failure is logged and ends the process, because
// this client would compute every shot differently from its peers.
bool ArithmeticSelfTestPasses();

}  // namespace physics
