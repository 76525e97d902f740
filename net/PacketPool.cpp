#include "net/PacketPool.h"

#include "engine/core/Log.h"
#include "platform/sys/Clock.h"

namespace net {

PacketPool::PacketPool(int blocks, int tries) : tries_(tries) {
    storage_.reserve(blocks);
    free_.reserve(blocks);
    for (int i = 0; i < blocks; ++i) {
        storage_.push_back(std::make_unique<Packet>());
        free_.push_back(storage_.back().get());
    }
}

PacketPool::~PacketPool() = default;

Packet* PacketPool::TryAlloc() {
    platform::ScopedLock lock(lock_);
    if (free_.empty()) return nullptr;
    Packet* p = free_.back();
    free_.pop_back();
    return p;
}

Packet* PacketPool::Alloc() {
    for (int attempt = 0; attempt < tries_; ++attempt) {
        if (Packet* p = TryAlloc()) return p;
        platform::SleepMs(1);
    }
    LogWrite(u"ERROR : PACKET POOL EXHAUSTED\n");
    return nullptr;
}

void PacketPool::Free(Packet* packet) {
    if (!packet) return;
    platform::ScopedLock lock(lock_);
    free_.push_back(packet);
}

int PacketPool::FreeCount() const {
    platform::ScopedLock lock(lock_);
    return static_cast<int>(free_.size());
}

}  // namespace net
