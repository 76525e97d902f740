#include "table/ShotJournal.h"

#include <cstdio>

#include "physics/PhysicsModel.h"

namespace table {

void Fnv1a32::Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        value_ ^= bytes[i];
        value_ *= 0x01000193u;
    }
}

void Fnv1a32::AddU32(std::uint32_t v) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    Add(bytes, 4);
}

std::uint32_t HashBallsAtRest(const physics::PhysicsModel& model, std::size_t ballCount) {
    Fnv1a32 hash;
    for (std::size_t i = 0; i < ballCount && i < model.BallCount(); ++i) {
        const physics::Ball& b = model.GetBall(i);
        hash.AddU32(b.position.x.Bits());
        hash.AddU32(b.position.y.Bits());
        hash.AddU32(b.position.z.Bits());
        hash.AddU8(b.outOfPlay);
    }
    return hash.Value();
}

std::string ShotJournalLine(std::int32_t gameType, std::uint32_t calls, std::uint32_t hash,
                            std::string_view record) {
    char head[64];
    std::snprintf(head, sizeof head, "SHOT %d %u %08x ", gameType, calls, hash);
    return std::string(head).append(record);
}

}  // namespace table
