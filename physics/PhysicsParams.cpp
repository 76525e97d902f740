#include "physics/PhysicsParams.h"

#include <cstring>

namespace physics {

namespace {
std::uint64_t writtenWords = 0;
std::uint32_t candidateCount = 0;
}  // namespace

std::array<std::uint32_t, PhysicsParams::kWordCount> PhysicsParams::Words() const {
    std::array<std::uint32_t, kWordCount> words;
    std::memcpy(words.data(), this, sizeof *this);
    return words;
}

int ParamWordIndex(const F32* field) {
    return static_cast<int>(reinterpret_cast<const char*>(field) - reinterpret_cast<const char*>(&Params())) /
           4;
}

std::uint64_t WrittenParamWords() {
    return writtenWords;
}
void MarkParamsWritten(std::uint64_t mask) {
    writtenWords |= mask;
}

void ClearParamsForTesting() {
    Params() = PhysicsParams{};
    writtenWords = 0;
}

std::uint32_t CandidateCount() {
    return candidateCount;
}
void SetCandidateCount(std::uint32_t count) {
    candidateCount = count;
}

}  // namespace physics
