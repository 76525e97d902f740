#include "net/PacketPool.h"

#include <algorithm>

#include "engine/core/Log.h"

namespace net {

namespace {
// How often a waiting receive thread looks again whether it should still wait.
constexpr std::uint32_t kReceiveWaitSliceMs = 10;
}  // namespace

PacketPool::PacketPool(int blocks) : sendReserve_(std::min(kPacketSendReserve, blocks / 4)) {
    storage_.reserve(blocks);
    free_.reserve(blocks);
    for (int i = 0; i < blocks; ++i) {
        storage_.push_back(std::make_unique<Packet>());
        free_.push_back(storage_.back().get());
    }
}

PacketPool::~PacketPool() = default;

Packet* PacketPool::TryAlloc(int keepFree) {
    platform::ScopedLock lock(lock_);
    if (static_cast<int>(free_.size()) <= keepFree) return nullptr;
    Packet* p = free_.back();
    free_.pop_back();
    return p;
}

Packet* PacketPool::Alloc() {
    if (Packet* p = TryAlloc(0)) return p;
    LogWrite(u"ERROR : PACKET POOL EXHAUSTED\n");
    return nullptr;
}

Packet* PacketPool::AllocForReceive(const std::atomic<bool>& keepWaiting) {
    for (;;) {
        if (Packet* p = TryAlloc(sendReserve_)) return p;
        if (!keepWaiting.load()) return nullptr;
        freed_.WaitFor(kReceiveWaitSliceMs);
    }
}

void PacketPool::Free(Packet* packet) {
    if (!packet) return;
    {
        platform::ScopedLock lock(lock_);
        free_.push_back(packet);
    }
    freed_.Set();
}

int PacketPool::FreeCount() const {
    platform::ScopedLock lock(lock_);
    return static_cast<int>(free_.size());
}

}  // namespace net
