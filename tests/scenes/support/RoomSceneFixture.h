#pragma once
// The online game room without a window or a server: the scene on a fake host with a session but no
// connection, its sends seen through its send tap, messages handed in as the dispatch thread would,
// and its update tick stepped on the virtual clock.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>

#include "gui/TextInput.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "scenes/room/SceneRoomGame.h"
#include "tests/scenes/support/DeliverPacket.h"
#include "tests/scenes/support/FakeSceneHost.h"
#include "tests/scenes/support/SentFrames.h"

namespace room_test {

using scenes::SceneRoomGame;

using scenes::SceneRoomGame;
using Bytes = std::vector<std::uint8_t>;

struct Sent {
    std::uint16_t id;
    Bytes body;
    int packet;  // which send call carried it
};

constexpr std::uint32_t kGreen = 0xFF00FF00, kYellow = 0xFFFFFF00;

class RoomSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClock(&clock);
        host.session->GetRoom().gameType = gameType;
        host.session->GetRoom().inningTime = 40;
        scene.SetHost(&host);
        scene.SetSendTap([this](const net::Packet& p) { Capture(p); });
        scene.Load3D(nullptr, nullptr);  // no engine here: the world exists, its models do not
        ASSERT_NE(scene.World(), nullptr);
        scene.Enter();
    }
    void TearDown() override { platform::SetClock(nullptr); }

    void Capture(const net::Packet& p) {
        std::lock_guard lock(sentMutex);
        ForEachSentFrame(p, [this](std::uint16_t id, Bytes body) {
            sent.push_back({id, std::move(body), packets});
        });
        ++packets;
    }
    std::vector<Sent> SentWith(std::uint16_t id) {
        std::lock_guard lock(sentMutex);
        std::vector<Sent> found;
        for (const Sent& s : sent)
            if (s.id == id) found.push_back(s);
        return found;
    }
    // Builds a message and hands it to the scene as the dispatch thread would.
    void Deliver(std::uint16_t id, const std::function<void(net::Packet&)>& fill) {
        EXPECT_EQ(DeliverPacket(scene, id, fill), 0);
    }
    bool HasChat(const std::string& text, std::uint32_t argb) const {
        for (const scenes::ChatLine& line : scene.ChatLines())
            if (line.argb == argb && ToUtf8(line.text) == text) return true;
        return false;
    }
    // Room state on entry: own seat, master; class (not 3 asks its gold), point rule, seed; the room's
    // state (1 waiting, 2 a game running), the ms its turn has run and the running game's rack seed.
    void EnterRoom(std::uint8_t own, std::uint8_t master, std::uint8_t roomClass = 0, std::uint8_t rule = 0,
                   std::uint32_t seed = 0, std::uint8_t state = 1, std::uint32_t turnMs = 0,
                   std::uint32_t rackSeed = 0) {
        Deliver(2001, [&](net::Packet& p) {
            p.WriteU64(0)
                .WriteU8(roomClass)
                .WriteU16(0)
                .WriteU16(0)
                .WriteU16(0)
                .WriteU16(7)
                .WriteU8(0)
                .WriteU8(state);
            p.WriteU32(rackSeed).WriteU8(roomPassword.empty() ? 0 : 1);
            if (!roomPassword.empty()) p.WriteString(roomPassword);
            p.WriteU8(0).WriteU32(10000).WriteU32(0).WriteU32(turnMs);
            p.WriteU8(master).WriteU8(0).WriteU8(2).WriteU8(2).WriteU8(master).WriteU8(own).WriteU8(0);
            p.WriteString(u"room").WriteU8(rule).WriteU8(0).WriteU8(0).WriteU32(seed).WriteU32(0);
        });
    }
    // The member list (2011): each member watching, level 4 + seat, handicap 20 for the room's game.
    void Members(std::initializer_list<std::pair<std::uint8_t, std::u16string>> members) {
        Deliver(2011, [&](net::Packet& p) {
            p.WriteU8(static_cast<std::uint8_t>(members.size()));
            for (const auto& [seat, name] : members) {
                p.WriteU8(seat).WriteU64(seat + 1u).WriteU8(0).WriteString(name).WriteU32(0);
                p.WriteU16(static_cast<std::uint16_t>(4 + seat)).WriteU32(0).WriteU16(20).WriteU64(5000);
                p.WriteU8(0).WriteU8(0).WriteU16(0).WriteU8(0).WriteU32(0).WriteU8(0).WriteU16(3000);
                p.WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(0).WriteU8(0);
            }
        });
    }
    // Two players (seats 0 and 1) in teams 1 and 2; `shooter` starts. With `groups` the first team
    // plays the solids and the second the stripes (8-ball).
    void StartGame(std::uint8_t shooter, std::uint32_t seed = 77, bool groups = false) {
        Deliver(2029, [&](net::Packet& p) {
            p.WriteU32(seed).WriteU32(0).WriteU8(shooter).WriteU8(shooter).WriteU8(0);
            p.WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(2).WriteU8(1);
            for (std::uint8_t seat = 0; seat < 2; ++seat)
                p.WriteU8(seat + 1)
                    .WriteU16(0)
                    .WriteU32(0)
                    .WriteU16(0)
                    .WriteU8(0)
                    .WriteU8(groups ? static_cast<std::uint8_t>(2 + seat) : 0)
                    .WriteU8(seat)
                    .WriteU64(1000)
                    .WriteU16(0);
            p.WriteU32(0);
        });
    }
    void TurnResult(std::uint8_t next, bool withList = true, bool terminated = true) {
        Deliver(2056, [&](net::Packet& p) {
            p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU8(next).WriteU8(next).WriteU32(5);
            p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0);
            p.WriteU8(0).WriteU32(0).WriteU8(0);
            if (withList) p.WriteU8(0).WriteU64(500).WriteU8(1).WriteU64(600);
            if (terminated) p.WriteU8(0xFF);
        });
    }
    // The game's results (2046): team slot 2 is seat 1's, slot 1 seat 0's, each with its gold after it.
    void Results(std::uint64_t seat1Gold, std::uint64_t seat0Gold) {
        Deliver(2046, [&](net::Packet& p) {
            p.WriteU8(2).WriteU8(1);
            p.WriteU8(2).WriteU8(1).WriteU32(11).WriteU32(12).WriteU64(seat1Gold).WriteU8(1).WriteU8(2);
            p.WriteU8(1).WriteU8(2).WriteU32(21).WriteU32(22).WriteU64(seat0Gold).WriteU8(3).WriteU8(4);
            p.WriteU8(0);
        });
    }
    // The world's current shot, as the server relays it (2052), to the scene.
    void RelayShot() {
        net::Packet shot;
        scene.World()->WriteShotMessage(shot);
        shot.Finish();
        shot.Rewind();
        ASSERT_EQ(scene.OnPacket(2052, &shot), 0);
    }
    // A window message as the scene manager passes it: to the shown widgets first, then to the room.
    void Route(std::uint32_t message, std::uintptr_t w, std::intptr_t l) {
        if (!scene.RouteMessage(message, w, l)) scene.OnMessage(message, w, l);
    }
    // The keys go to the table again: the room gives its chat line the focus on entering.
    void LeaveChatLine() { static_cast<gui::EditBox*>(scene.FindById(50))->SetFocus(false); }
    // Steps the scene's update tick over `ms` of virtual time.
    void Run(std::uint64_t ms) {
        for (std::uint64_t t = 0; t < ms; t += 5) {
            clock.AdvanceMs(5);
            scene.Update(clock.NowMs(), 0);
        }
    }

    std::uint8_t gameType = 4;    // the room's game, set before SetUp runs
    std::u16string roomPassword;  // EnterRoom's room has this password when it is not empty
    platform::VirtualClock clock{100000};
    FakeSceneHost host;
    SceneRoomGame scene;
    std::mutex sentMutex;
    std::vector<Sent> sent;
    int packets = 0;
};

}  // namespace room_test
