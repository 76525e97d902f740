#pragma once
// The process-wide parameter block, the physics event queue and the other process-wide state.
// One model simulates at a time (the rules controller's lock), so none of it has a lock.
// Every set-up writes the default model's words for its table and then its own, so a word that a
// model's set-up does not write holds the default model's value, whatever ran before.

#include <array>
#include <cstdint>
#include <vector>

#include "physics/Numeric.h"
#include "physics/PhysicsConstants.h"

namespace physics {

// Words 0-32, copied whole by the rail contact.
// clang-format off
struct TableParams {
    F32 frictionSets[3][4];  // 0-11; frictionSets[0][0] is clothFriction
    F32 bounceFactor;        // 12
    F32 pocketZoneSpeed;     // 13
    F32 bedRestitution;      // 14
    F32 bedSettleRate;       // 15
    F32 railTopRestitution;  // 16
    F32 railTopStopRate;     // 17
    F32 railParamA;          // 18
    F32 railParamB;          // 19
    F32 railParamC;          // 20
    F32 railParamD;          // 21
    F32 spare22;             // 22
    F32 cushionFrictionShare;  // 23, the friction share of the cushion impact
    F32 pocketDropA;         // 24
    F32 pocketFloorFriction; // 25
    F32 spare26;             // 26
    F32 pocketDropB;         // 27
    F32 cushionStiffness;    // 28
    F32 cushionParamA;       // 29
    F32 cushionParamB;       // 30
    F32 spare31;             // 31
    F32 cushionParamC;       // 32

    F32 ClothFriction() const { return frictionSets[0][0]; }
};
// clang-format on
static_assert(sizeof(TableParams) == 33 * 4);

// Words 33-40.
struct ModelParams {
    F32 strikeSpeedScale;
    F32 ballFrictionA;
    F32 ballFrictionB;
    F32 ballCollisionC;
    F32 cueContactTime;
    F32 tipOffsetLimit;
    F32 tipOffsetLimitTan;
    F32 collisionParamE;
};
static_assert(sizeof(ModelParams) == 8 * 4);

struct PhysicsParams {
    TableParams table;
    ModelParams model;

    static constexpr int kWordCount = 41;
    std::array<std::uint32_t, kWordCount> Words() const;
};
static_assert(sizeof(PhysicsParams) == PhysicsParams::kWordCount * 4);

namespace detail {
// The process-wide block every model sets up and reads, reached through Params(). Inline so that
// reading a parameter does not make the compiler assume that a ball in memory changed.
inline PhysicsParams processParams{};
}  // namespace detail
inline PhysicsParams& Params() {
    return detail::processParams;
}
// Word index of a field of the block (for the record of written words).
int ParamWordIndex(const F32* field);
// Which words some set-up in this process has written (bit i for word i).
std::uint64_t WrittenParamWords();
void MarkParamsWritten(std::uint64_t mask);
// Back to a fresh process: all zeros, nothing written (tests and tools).
void ClearParamsForTesting();

struct PhysicsEvent {
    EventType type = EventType::BallCollision;
    std::uint16_t ballId = 0;
    F32 intensity;
    F32 vector[3];
    std::uint16_t tag = 0;
};

namespace detail {
inline std::vector<PhysicsEvent> eventQueue;
}  // namespace detail
inline std::vector<PhysicsEvent>& PhysicsEventQueue() {
    return detail::eventQueue;
}
inline void PushPhysicsEvent(const PhysicsEvent& event) {
    detail::eventQueue.push_back(event);
}

// Every ball pair plus five rail candidates per ball, for the current ball count.
std::uint32_t CandidateCount();
void SetCandidateCount(std::uint32_t count);

}  // namespace physics
