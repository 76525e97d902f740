#pragma once
// The journal line of a shot that came to rest: "SHOT <gameType> <calls> <hash> <record>", where
// hash is the FNV-1a 32-bit hash of every ball's f32 x, y, z and out-of-play byte (little-endian,
// in ball order), as 8 lowercase hex digits, and record the shot record hex of the shot.

#include <cstdint>
#include <string>
#include <string_view>

namespace physics {
class PhysicsModel;
}

namespace table {

class Fnv1a32 {
public:
    void Add(const void* data, std::size_t size);
    void AddU32(std::uint32_t v);
    void AddU8(std::uint8_t v) { Add(&v, 1); }
    std::uint32_t Value() const { return value_; }

private:
    std::uint32_t value_ = 0x811C9DC5u;
};

// The rest hash of the first `ballCount` balls of the model.
std::uint32_t HashBallsAtRest(const physics::PhysicsModel& model, std::size_t ballCount);
std::string ShotJournalLine(std::int32_t gameType, std::uint32_t calls, std::uint32_t hash,
                            std::string_view record);

}  // namespace table
