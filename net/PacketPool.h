#pragma once
// The fixed pool of packets. A taker that finds it empty retries every millisecond, up to a bound, and
// then gets null; callers check for it and skip their send.

#include <memory>
#include <vector>

#include "net/Packet.h"
#include "platform/sys/CriticalSection.h"

namespace net {

class PacketPool {
public:
    explicit PacketPool(int blocks = kPacketPoolBlocks, int tries = kPacketAllocTries);
    ~PacketPool();
    PacketPool(const PacketPool&) = delete;
    PacketPool& operator=(const PacketPool&) = delete;

    // A packet from the pool, or null when none came free within the tries.
    Packet* Alloc();
    void Free(Packet* packet);
    int FreeCount() const;
    int Capacity() const { return static_cast<int>(storage_.size()); }

private:
    Packet* TryAlloc();

    mutable platform::CriticalSection lock_;
    std::vector<std::unique_ptr<Packet>> storage_;
    std::vector<Packet*> free_;
    int tries_;
};

// Returns its packet to the pool when it goes out of scope.
class PooledPacket {
public:
    PooledPacket() = default;
    PooledPacket(PacketPool& pool, Packet* packet) : pool_(&pool), packet_(packet) {}
    ~PooledPacket() { Reset(); }
    PooledPacket(PooledPacket&& other) noexcept : pool_(other.pool_), packet_(other.packet_) {
        other.packet_ = nullptr;
    }
    PooledPacket& operator=(PooledPacket&& other) noexcept {
        if (this != &other) {
            Reset();
            pool_ = other.pool_;
            packet_ = other.packet_;
            other.packet_ = nullptr;
        }
        return *this;
    }
    PooledPacket(const PooledPacket&) = delete;
    PooledPacket& operator=(const PooledPacket&) = delete;

    Packet* get() const { return packet_; }
    Packet* operator->() const { return packet_; }
    Packet& operator*() const { return *packet_; }
    explicit operator bool() const { return packet_ != nullptr; }
    Packet* Release() {
        Packet* p = packet_;
        packet_ = nullptr;
        return p;
    }
    void Reset() {
        if (packet_) pool_->Free(packet_);
        packet_ = nullptr;
    }

private:
    PacketPool* pool_ = nullptr;
    Packet* packet_ = nullptr;
};

}  // namespace net
