// What one connection may cost the others: the bytes that may wait for a client (a reader that does not
// read is dropped, one that reads slower than others write to it is left out of their messages) and the
// budget of what a client may make the server pass on to others.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "tests/e2e/server/ServerState.h"

namespace testserver {

void TestGameServer::DropUnread(Client& c) {
    // Not reading: drop the connection rather than let it hold memory or anyone else's traffic.
    std::fprintf(stderr, "marvenlot-testserver: client %d dropped: %zu bytes not taken\n", c.index,
                 c.outBytes);
    c.cutOff = true;
    c.sendClosed = true;
    c.outbox.clear();
    c.outChanged.notify_all();
    c.socket.Shutdown();
}

bool TestGameServer::Enqueue(Client& c, OutPiece piece, const Client* relayedFrom) {
    if (c.sendClosed) return false;
    const auto now = std::chrono::steady_clock::now();
    if (c.outBytes == 0) c.lastTaken = now;
    // A reader that takes what it is sent, only slower than others write to it, is not the one to go:
    // their messages are left out for it, and the server's own may wait past the limit, up to twice it.
    const std::size_t after = c.outBytes + piece.bytes.size();
    const bool stalled = now - c.lastTaken >= std::chrono::milliseconds(options_.stallMs);
    const bool relayed = relayedFrom && relayedFrom != &c;
    if (after > options_.sendLimit && relayed && !stalled) {
        ++c.skipped;
        ++c.leftOut;
        if (!c.skipLogged)
            std::fprintf(
                stderr,
                "marvenlot-testserver: client %d reads slower than it is sent to: messages of client %d "
                "and others are left out for it\n",
                c.index, relayedFrom->index);
        c.skipLogged = true;
        return true;
    }
    if (after > options_.sendLimit && (relayed || stalled || after > 2 * options_.sendLimit)) {
        DropUnread(c);
        return false;
    }
    c.outBytes += piece.bytes.size();
    c.outbox.push_back(std::move(piece));
    c.outChanged.notify_all();
    return true;
}

void TestGameServer::DropStalled() {
    std::vector<std::shared_ptr<Client>> open;
    {
        std::lock_guard lock(mutex_);
        for (const auto& c : clients_)
            if (!c->closed) open.push_back(c);
    }
    const auto before = std::chrono::steady_clock::now() - std::chrono::milliseconds(options_.stallMs);
    for (const auto& c : open) {
        std::lock_guard lock(c->writeMutex);
        if (!c->sendClosed && (c->skipped > 0 || c->outBytes > options_.sendLimit) && c->lastTaken <= before)
            DropUnread(*c);
    }
}

namespace {
// Messages whose handling writes to other connections: chat, whispers and friend requests, moves
// between channels and rooms, and (with the room flow) the room's messages but the shot results and
// table states the server collects.
bool ReachesOthers(std::uint16_t id, bool roomFlow) {
    switch (id) {
        case 157:   // choose channel
        case 161:   // create room
        case 162:   // join room
        case 164:   // channel chat
        case 166:   // friend request
        case 189:   // whisper
        case 2008:  // leave room
            return true;
        case 2050:
        case 2053:
            return false;
        default:
            return roomFlow && ((id >= 2000 && id < 3000) || id == 544);
    }
}
}  // namespace

bool TestGameServer::Admit(Client& c, const Frame& f) {
    if (options_.relayPerSecond <= 0 || !ReachesOthers(f.id, options_.roomFlow)) return true;
    const auto now = std::chrono::steady_clock::now();
    const double burst = options_.relayBurst;
    c.relayTokens =
        c.relayCounted == std::chrono::steady_clock::time_point{}
            ? burst
            : std::min(burst, c.relayTokens + std::chrono::duration<double>(now - c.relayCounted).count() *
                                                  options_.relayPerSecond);
    c.relayCounted = now;
    // A full budget: the client has kept to the limit long enough to be forgiven what went before.
    if (c.relayTokens >= burst) c.overLimit = 0;
    const double cost = 1.0 + static_cast<double>(f.body.size() / 256);
    if (c.relayTokens >= cost) {
        c.relayTokens -= cost;
        return true;
    }
    if (c.overLimit++ == 0)
        std::fprintf(stderr,
                     "marvenlot-testserver: client %d sends more than %g messages a second for others: they "
                     "are dropped\n",
                     c.index, options_.relayPerSecond);
    return false;
}

std::uint64_t TestGameServer::LeftOut(int client) const {
    const std::shared_ptr<Client> c = Get(client);
    if (!c) return 0;
    std::lock_guard lock(c->writeMutex);
    return c->leftOut;
}

}  // namespace testserver
