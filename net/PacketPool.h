#pragma once
// The fixed pool of packets, shared by the receive thread (one packet per frame, returned by the
// dispatch thread once handed on) and the senders (one per message, returned after the send).
//
// Senders never wait: they often hold a scene's widget lock, which the dispatch thread needs before it
// can return a packet. So the receive side leaves a share of the pool to them, and it is the receive
// thread that waits when the dispatch thread falls behind (holding no lock; the socket waits with it,
// so the server's frames are delayed, never dropped).

#include <atomic>
#include <memory>
#include <vector>

#include "net/Packet.h"
#include "platform/sys/CriticalSection.h"
#include "platform/sys/Event.h"

namespace net {

class PacketPool {
public:
    explicit PacketPool(int blocks = kPacketPoolBlocks);
    ~PacketPool();
    PacketPool(const PacketPool&) = delete;
    PacketPool& operator=(const PacketPool&) = delete;

    // A packet for a sender, at once, or null (logged) when the pool is empty.
    Packet* Alloc();
    // A packet for a received frame, leaving the senders' share free: waits for the dispatch thread
    // to return one for as long as `keepWaiting` holds (checked every few milliseconds); null when it
    // stopped holding.
    Packet* AllocForReceive(const std::atomic<bool>& keepWaiting);
    void Free(Packet* packet);
    int FreeCount() const;
    int Capacity() const { return static_cast<int>(storage_.size()); }
    // Packets the receive side leaves to the senders.
    int SendReserve() const { return sendReserve_; }

private:
    // A packet when more than `keepFree` are free, else null.
    Packet* TryAlloc(int keepFree);

    mutable platform::CriticalSection lock_;
    std::vector<std::unique_ptr<Packet>> storage_;
    std::vector<Packet*> free_;
    int sendReserve_;
    platform::Event freed_;
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
