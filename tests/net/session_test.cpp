#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "engine/core/Format.h"
#include "net/GameSession.h"
#include "net/ItemTable.h"
#include "tests/net/support/RecordingSink.h"

using namespace net;

namespace {
Packet* Make(GameSession& s, std::uint16_t id, std::uint8_t value) {
    Packet* p = s.AllocPacket();
    p->Init(id);
    p->WriteU8(value);
    p->Finish();
    p->Rewind();
    return p;
}

void Settle() {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}
}  // namespace

TEST(SessionDispatch, HoldsPacketsBackUntilASceneIsCurrentActiveAndLoaded) {
    GameSession session;
    BasicSceneGate gate;
    RecordingSink scene;
    session.SetSceneGate(&gate);
    ASSERT_TRUE(session.StartDispatchThread());

    for (std::uint8_t i = 0; i < 5; ++i) session.InjectPacket(Make(session, 2006, i));
    Settle();
    EXPECT_EQ(scene.Count(), 0u) << "no scene is current";

    gate.SetCurrent(&scene);
    gate.SetLoading(true);
    session.WakeDispatch();
    Settle();
    EXPECT_EQ(scene.Count(), 0u) << "the scene is loading";

    gate.SetLoading(false);
    gate.SetChangingScene(true);
    session.WakeDispatch();
    Settle();
    EXPECT_EQ(scene.Count(), 0u) << "a scene change is under way";

    gate.SetChangingScene(false);
    session.WakeDispatch();
    ASSERT_TRUE(scene.WaitFor(5));
    for (std::uint8_t i = 5; i < 50; ++i) session.InjectPacket(Make(session, 2006, i));
    ASSERT_TRUE(scene.WaitFor(50));
    for (std::size_t i = 0; i < scene.Count(); ++i) {
        ASSERT_EQ(scene.At(i).body.size(), 1u);
        EXPECT_EQ(scene.At(i).body[0], i) << "packets keep their order of arrival";
    }
    session.StopDispatchThread();
}

TEST(SessionDispatch, SessionWideMessagesUpdateRecordsAndSkipTheScene) {
    GameSession session;
    BasicSceneGate gate;
    RecordingSink scene;
    gate.SetCurrent(&scene);
    session.SetSceneGate(&gate);
    session.StartDispatchThread();

    Packet* friends = session.AllocPacket();
    friends->Init(MessageId::FriendList);
    friends->WriteU8(2);
    friends->WriteU64(11).WriteU8(1).WriteU16(4).WriteString(u"alpha");
    friends->WriteU64(12).WriteU8(0).WriteU16(0).WriteString(u"beta");
    friends->Finish();
    friends->Rewind();
    session.InjectPacket(friends);
    session.InjectPacket(Make(session, 2006, 9));  // a scene message behind it
    ASSERT_TRUE(scene.WaitFor(1));
    session.StopDispatchThread();

    EXPECT_EQ(scene.At(0).id, 2006);
    platform::ScopedLock lock(session.listLock);
    ASSERT_EQ(session.friends.size(), 2u);
    EXPECT_EQ(session.friends[1].nickname, u"beta");
}

TEST(SessionDispatch, TruncatedListChangesNothing) {
    GameSession session;
    BasicSceneGate gate;
    RecordingSink scene;
    gate.SetCurrent(&scene);
    session.SetSceneGate(&gate);
    session.StartDispatchThread();

    Packet* clan = session.AllocPacket();
    clan->Init(MessageId::ClanMemberList);
    clan->WriteU8(200);  // claims 200 members, carries one
    clan->WriteU64(1).WriteU8(10).WriteU8(1).WriteString(u"master");
    clan->Finish();
    clan->Rewind();
    session.InjectPacket(clan);
    session.InjectPacket(Make(session, 2006, 1));
    ASSERT_TRUE(scene.WaitFor(1));
    session.StopDispatchThread();
    platform::ScopedLock lock(session.listLock);
    EXPECT_TRUE(session.clanMembers.empty());
}

TEST(SessionDispatch, ItemListReplacesServerEntriesWithoutLeakingPoolEntries) {
    GameSession session;
    BasicSceneGate gate;
    RecordingSink scene;
    gate.SetCurrent(&scene);
    session.SetSceneGate(&gate);
    session.StartDispatchThread();
    const int freeAtStart = session.FreeItemEntries();

    auto itemList = [&](std::uint64_t serial) {
        Packet* p = session.AllocPacket();
        p->Init(MessageId::ItemList);
        p->WriteU8(1);
        p->WriteU64(serial).WriteU32(4903).WriteU32(5).WriteU8(3).WriteU8(1).WriteU8(0).WriteU8(3);
        p->WriteU32(1000).WriteU32(900).WriteU64(0);
        for (int i = 0; i < 5; ++i) p->WriteU8(0);
        for (int i = 0; i < 5; ++i) p->WriteU16(0);
        p->WriteString(u"").WriteString(u"");
        p->Finish();
        p->Rewind();
        return p;
    };
    for (int round = 0; round < 3; ++round) session.InjectPacket(itemList(100 + round));
    session.InjectPacket(Make(session, 2006, 0));
    ASSERT_TRUE(scene.WaitFor(1));
    session.StopDispatchThread();
    EXPECT_EQ(session.own.ItemCount(), 1);
    ASSERT_NE(session.own.FindItem(102), nullptr);
    EXPECT_EQ(session.own.FindItem(102)->remainingValue, 900u);
    EXPECT_EQ(session.FreeItemEntries(), freeAtStart - 1);
}

TEST(Session, SendWithoutConnectionReportsFailure) {
    GameSession session;
    EXPECT_FALSE(session.SendByteMessage(2008, 0));
    EXPECT_FALSE(session.KeepAlive(1'000'000));
}

TEST(Session, ItemEntryPoolHolds500AndTakesThemBack) {
    GameSession session;
    std::vector<ItemEntry*> taken;
    while (ItemEntry* e = session.AllocItemEntry()) taken.push_back(e);
    EXPECT_EQ(taken.size(), static_cast<std::size_t>(kItemEntryPoolSize));
    for (ItemEntry* e : taken) session.FreeItemEntry(e);
    EXPECT_EQ(session.FreeItemEntries(), kItemEntryPoolSize);
}

TEST(Session, OfflineEquipmentAndMembershipDefaults) {
    GameSession session;
    session.SetOfflineEquipment();
    ASSERT_EQ(session.own.ItemCount(), 3);
    EXPECT_EQ(session.own.FindItem(0)->itemId, 3043u);
    EXPECT_EQ(session.own.FindItem(15)->remainingValue, 1000u);
    EXPECT_EQ(session.own.FindItem(16)->itemId, 4510u);
    EXPECT_EQ(session.own.equipment[16].cueId, 3043);

    session.SetAccountFlag(2, u"2030-01-01", 1);
    EXPECT_EQ(session.own.ItemCount(), 5);
    session.SetAccountFlag(0, u"", 0);
    EXPECT_EQ(session.own.ItemCount(), 3) << "membership entries go back when the membership ends";
    session.SetOfflineEquipment();
    EXPECT_EQ(session.FreeItemEntries(), kItemEntryPoolSize - 3);
}

TEST(Session, ItemEffectSlotsAreBounded) {
    GameSession session;
    const int slot = ItemEffectSlotOfItem(4510);
    ASSERT_GE(slot, 0);
    EXPECT_TRUE(session.SetItemEffect(slot, 1, 2, 1));
    EXPECT_EQ(session.GetItemEffectFlag(slot), 1);
    EXPECT_FALSE(session.SetItemEffect(kItemEffectSlots, 0, 0, 1));
    EXPECT_FALSE(session.SetItemEffect(-1, 0, 0, 1));
    EXPECT_EQ(session.GetItemEffectFlag(99), 0);
    session.ClearItemEffects();
    EXPECT_EQ(session.GetItemEffectFlag(slot), 0);
    EXPECT_EQ(ItemEffectSlotOfItem(3000), -1);
}

TEST(Session, ServerAddressFromEnvironmentOverridesTheSetting) {
    std::string host;
    std::uint16_t port = 0;
    ::unsetenv("MARVENLOT_SERVER");
    GameSession::ResolveServerAddress("", host, port);
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, kDefaultServerPort);
    GameSession::ResolveServerAddress("game.example:7000", host, port);
    EXPECT_EQ(host, "game.example");
    EXPECT_EQ(port, 7000);
    ::setenv("MARVENLOT_SERVER", "127.0.0.1:9123", 1);
    GameSession::ResolveServerAddress("game.example:7000", host, port);
    EXPECT_EQ(port, 9123);
    ::setenv("MARVENLOT_SERVER", "nonsense:99999", 1);
    GameSession::ResolveServerAddress("game.example:7000", host, port);
    EXPECT_EQ(port, 7000) << "a bad override is ignored";
    ::unsetenv("MARVENLOT_SERVER");
}

TEST(SessionDispatch, ConversationKeepsTheNewest100LinesCountsEveryOneAndSkipsABadNotice) {
    GameSession session;
    BasicSceneGate gate;
    RecordingSink scene;
    gate.SetCurrent(&scene);
    session.SetSceneGate(&gate);
    session.StartDispatchThread();
    auto inject = [&](MessageId id, const std::function<void(Packet&)>& fill) {
        Packet* p = session.AllocPacket();
        p->Init(id);
        fill(*p);
        p->Finish();
        p->Rewind();
        session.InjectPacket(p);
    };
    for (int i = 0; i < 105; ++i)
        inject(MessageId::Whisper, [i](Packet& p) { p.WriteString(u"alpha").WriteString(Format(u"%d", i)); });
    inject(MessageId::MessengerNotice, [](Packet& p) { p.WriteU8(6).WriteString(u"beta"); });  // unknown
    inject(MessageId::MessengerNotice, [](Packet& p) { p.WriteU8(2); });                       // cut short
    inject(MessageId::MessengerNotice, [](Packet& p) { p.WriteU8(2).WriteString(u"gamma"); });
    session.InjectPacket(Make(session, 2006, 1));
    ASSERT_TRUE(scene.WaitFor(1));
    session.StopDispatchThread();

    std::uint32_t added = 0;
    const std::vector<ChatMessage> kept = session.Whispers(added);
    EXPECT_EQ(added, 106u) << "the count stops at the cap, so a new line would not light the mark";
    ASSERT_EQ(kept.size(), 100u);
    EXPECT_EQ(kept.front().text, u"6");
    EXPECT_EQ(kept.back().kind, ChatMessage::Kind::Notice);
    EXPECT_EQ(kept.back().notice, MessengerNotice::NotOnline);
    EXPECT_EQ(kept.back().sender, u"gamma");

    EXPECT_FALSE(session.SendWhisper(u"alpha", u"hi")) << "no connection";
    EXPECT_FALSE(session.SendWhisper(u"", u"hi"));
    EXPECT_EQ(session.conversationLines.load(), 106u) << "a whisper not sent shows as sent";
}
