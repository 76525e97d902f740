#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "net/ChatFilter.h"
#include "net/CuePartTable.h"
#include "net/GameTypes.h"
#include "net/ItemTable.h"
#include "net/Packet.h"
#include "net/PacketRecorder.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "tests/common/TempDir.h"

using namespace net;

TEST(ItemData, EveryItemTheScenesNameIsBuiltIn) {
    const std::uint32_t named[] = {
        11,   12,   1020, 1024, 1025, 1026, 1027, 1028, 1030, 1032, 1033, 1035, 1101, 1102, 1103, 1104, 1105,
        1401, 1501, 1502, 2003, 2004, 2006, 2007, 2008, 2100, 2101, 2102, 2103, 2104, 2142, 2143, 2200, 2201,
        3000, 3001, 3002, 3003, 3004, 3005, 3006, 3010, 3011, 3012, 3041, 3042, 3043, 3050, 3051, 3052, 3053,
        3054, 3055, 3100, 3102, 3103, 3104, 3105, 4011, 4012, 4101, 4102, 4103, 4104, 4106, 4107, 4108, 4111,
        4145, 4146, 4150, 4504, 4510, 4511, 4512, 4513, 4520, 4526, 4901, 4902, 4903, 4904};
    for (std::uint32_t id : named) {
        const ItemRecord* r = GetItemTable().Find(id);
        ASSERT_NE(r, nullptr) << id;
        EXPECT_FALSE(r->name.empty()) << id;
        ASSERT_NE(GetItemCatalog().Find(id), nullptr) << id;
    }
    EXPECT_EQ(GetItemTable().Find(9999), nullptr);
    EXPECT_EQ(GetItemTable().Find(3100)->hasParts, 1);
    EXPECT_EQ(GetItemCatalog().Find(3100)->customCue, 1);
    EXPECT_EQ(GetItemCatalog().Find(3104)->tuningCue, 1);
    EXPECT_EQ(GetItemTable().Find(4903)->type, static_cast<std::uint32_t>(ItemType::Chalk));
    // A name says what the item does: a player who buys the laser guide gets the laser guide.
    const std::pair<std::uint32_t, WString> names[] = {{4145, u"Practice kit"},     {4146, u"Cloth pencil"},
                                                       {4150, u"Laser guide"},      {4106, u"All skills +10"},
                                                       {4520, u"Beginner's glove"}, {4526, u"Bridge glove"}};
    for (const auto& [id, name] : names) EXPECT_EQ(GetItemTable().Find(id)->name, name) << id;
    EXPECT_GT(GetItemCatalog().Find(4526)->bridge, GetItemCatalog().Find(4520)->bridge)
        << "the shop shows a glove's bridge value as its ability";
    EXPECT_GT(GetItemCatalog().Find(4520)->bridge, 0);
}

TEST(ItemData, DefaultTablesAndBallSetsExistForEveryGameWithRules) {
    for (int t = 0; t < kGameTypeCount; ++t) {
        if (!GameTypeHasRules(t)) {
            EXPECT_EQ(DefaultTableOfGameType(t), 0) << t;
            continue;
        }
        EXPECT_FALSE(GameTypeLongName(t).empty()) << t;
        EXPECT_EQ(GetItemTable().Find(DefaultTableOfGameType(t))->type,
                  static_cast<std::uint32_t>(ItemType::Table))
            << t;
        EXPECT_EQ(GetItemTable().Find(DefaultBallSetOfGameType(t))->type,
                  static_cast<std::uint32_t>(ItemType::BallSet))
            << t;
    }
    EXPECT_EQ(DefaultTableOfGameType(10), 1030);
    EXPECT_EQ(DefaultBallSetOfGameType(16), 2007);
    EXPECT_TRUE(GameTypeLongName(-1).empty());
    EXPECT_TRUE(GameTypeLongName(17).empty());
}

TEST(CueParts, LookupsAreBoundedAndSpecsTakeTheRowModel) {
    const CuePartTable& t = GetCuePartTable();
    EXPECT_EQ(CuePartTable::GroupName(4), u"cue tip");
    EXPECT_EQ(CuePartTable::OptionName(3), u"Miscue dec.");
    EXPECT_EQ(CuePartTable::GroupName(5), u"");
    ASSERT_GT(t.RowCount(0), 0);
    EXPECT_EQ(t.Find(0, t.RowCount(0)), nullptr);
    EXPECT_EQ(t.Find(-1, 0), nullptr);
    TuningCueSpec tuned;
    EXPECT_TRUE(tuned.SetPart(2, 3));
    EXPECT_EQ(tuned.partIndex[2], 3);
    EXPECT_EQ(tuned.partModel[2], t.Find(2, 3)->model);
    EXPECT_FALSE(tuned.SetPart(5, 0));
}

TEST(RoomInfoRules, RequiredGoldAndGambleKinds) {
    RoomInfo room;
    room.moneyClass = 1;
    EXPECT_EQ(room.RequiredGold(200, 0), 300);
    EXPECT_EQ(room.RequiredGold(600, 0), 0);
    room.moneyClass = 3;
    EXPECT_EQ(room.RequiredGold(0, 0), 1000);
    EXPECT_EQ(room.RequiredGold(0, 8), 0) << "tournament channel";
    room.gameType = 5;
    EXPECT_TRUE(room.IsCushionGamble());
    EXPECT_FALSE(room.IsOpenNonGamble());
    room.gameType = 4;
    EXPECT_TRUE(room.IsOpenNonGamble());
    room.gameOption = 0x08;
    EXPECT_TRUE(room.IsBit3OptionOn());
}

TEST(RoomInfoRules, RoomBlockRoundTripsAndRejectsBadSeats) {
    RoomInfo room;
    room.number = 12;
    room.gameType = 10;
    room.maxPlayers = 4;
    room.title = u"8-ball room";
    room.seedMoney = -5;
    Packet p;
    p.Init(1);
    room.Write(p);
    p.Finish();
    p.Rewind();
    RoomInfo back;
    ASSERT_TRUE(back.Read(p));
    EXPECT_EQ(back.title, u"8-ball room");
    EXPECT_EQ(back.seedMoney, -5);
    EXPECT_EQ(back.gameType, 10);

    room.maxPlayers = 9;
    p.Init(1);
    room.Write(p);
    p.Finish();
    p.Rewind();
    RoomInfo rejected;
    rejected.number = 77;
    WString why;
    EXPECT_EQ(rejected.ReadBlock(p, &why), RoomInfo::BlockRead::Unshowable) << "whole, but not shown";
    EXPECT_EQ(why, u"room 12, 0 of 9 players");
    EXPECT_EQ(rejected.number, 77) << "a rejected block changes nothing";
    EXPECT_TRUE(p.AtEnd()) << "the message reads on behind it";
}

TEST(PlayerRecordItems, SelectionNeverPointsAtARemovedEntry) {
    PlayerRecord r;
    ItemEntry a, b;
    ASSERT_TRUE(r.AddItem(20, &a));
    ASSERT_TRUE(r.AddItem(21, &b));
    EXPECT_FALSE(r.AddItem(20, &b)) << "duplicate serial";
    ASSERT_TRUE(r.SelectItem(21));
    EXPECT_EQ(r.GetCurrentItem(), &b);
    EXPECT_FALSE(r.SelectItem(99));
    EXPECT_EQ(r.RemoveItem(21), &b);
    EXPECT_EQ(r.GetCurrentItem(), nullptr);
}

TEST(PlayerRecordItems, SlotItemIsTheCueEquippedForTheGameTypeNotAListPosition) {
    PlayerRecord r;
    ItemEntry first, cue;
    ASSERT_TRUE(r.AddItem(20, &first));
    ASSERT_TRUE(r.AddItem(21, &cue));
    r.equipment[10].cueSerial = 21;
    r.equipment[3].cueSerial = 99;  // a serial the record does not hold
    EXPECT_EQ(r.GetSlotItem(10), &cue);
    EXPECT_EQ(r.GetSlotItem(3), nullptr);
    for (int outside : {-1, kGameTypeCount, 1000}) EXPECT_EQ(r.GetSlotItem(outside), nullptr) << outside;
    ASSERT_EQ(r.RemoveItem(21), &cue);
    EXPECT_EQ(r.GetSlotItem(10), nullptr) << "a removed entry is never handed out";
}

TEST(PlayerRecordItems, AccountBlockRoundTrips) {
    PlayerRecord r;
    r.playerId = 1234567890123ull;
    r.nickname = u"\ub2f9\uad6c";
    r.money = -42;
    r.handicap[4] = 25;
    r.equipment[16] = {0x1122334455667788ull, 3043, 7, 2001, 9, 1004};
    r.serverOptionWord = 0x80000C32u;
    Packet p;
    p.Init(1);
    r.WriteAccount(p);
    p.Finish();
    p.Rewind();
    PlayerRecord back;
    ASSERT_TRUE(back.ReadAccount(p));
    EXPECT_EQ(back.playerId, r.playerId);
    EXPECT_EQ(back.nickname, r.nickname);
    EXPECT_EQ(back.money, -42);
    EXPECT_EQ(back.handicap[4], 25);
    EXPECT_EQ(back.equipment[16].cueSerial, 0x1122334455667788ull) << "the equipped cue is found by serial";
    EXPECT_EQ(back.equipment[16].cueId, 3043);
    EXPECT_EQ(back.equipment[16].tableId, 1004);
    EXPECT_EQ(back.serverOptionWord, 0x80000C32u);

    // A block cut inside the equipment leaves the record as it was.
    Packet cut;
    cut.Init(1);
    r.WriteAccount(cut);
    cut.Finish();
    const std::vector<std::uint8_t> bytes(cut.Data() + 4, cut.Data() + cut.Size() - 20);
    Packet shortPacket;
    shortPacket.Init(1);
    for (std::uint8_t b : bytes) shortPacket.WriteU8(b);
    shortPacket.Finish();
    shortPacket.Rewind();
    PlayerRecord untouched;
    EXPECT_FALSE(untouched.ReadAccount(shortPacket));
    EXPECT_EQ(untouched.equipment[16].cueId, 0);
    EXPECT_TRUE(untouched.nickname.empty());
}

TEST(ChatFilterWords, MasksBannedWordsWhateverTheirCase) {
    ChatFilter f;
    EXPECT_EQ(f.LoadWordList(u"# banned words\r\nbadword\r\n\r\n  \uc695\n"), 2);
    EXPECT_EQ(f.Filter(u"a BadWord here"), u"a ******* here");
    EXPECT_EQ(f.Filter(u"\uc695\uc695"), u"**");
    EXPECT_TRUE(f.Contains(u"xxBADWORDxx"));
    EXPECT_FALSE(f.Contains(u"fine"));
    f.AddWord(u"   ");
    EXPECT_EQ(f.WordCount(), 2);
}

TEST(Recorder, RecordsEncipheredAndReadsBackWithTheEndMarker) {
    const auto path = testsupport::TempPath("marvenlot_recorder_test.bin").string();
    std::remove(path.c_str());
    PacketRecorder rec;
    Packet p;
    p.Init(2052);
    p.WriteString(u"shot").WriteU32(7);
    p.BeginNextMessage(2058);
    p.WriteU32(1);
    p.Finish();
    rec.Record(p);  // not recording yet: nothing written
    ASSERT_TRUE(rec.Start(path));
    rec.Record(p);
    rec.Finish();
    rec.Finish();                  // a second Finish writes nothing
    ASSERT_TRUE(rec.Start(path));  // appending a second game
    rec.Record(p);
    rec.Disable();
    rec.Record(p);

    std::vector<std::uint16_t> ids;
    ASSERT_TRUE(PacketRecorder::Read(
        path, [&](const std::uint8_t* f, std::size_t) { ids.push_back(f[2] | (f[3] << 8)); }));
    EXPECT_EQ(ids, (std::vector<std::uint16_t>{2052, 2058, 20, 2052, 2058}));

    // The text is not readable in the file.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::vector<char> raw(4096);
    raw.resize(std::fread(raw.data(), 1, raw.size(), file));
    std::fclose(file);
    const char16_t shot[] = u"shot";
    EXPECT_EQ(std::search(raw.begin(), raw.end(), reinterpret_cast<const char*>(shot),
                          reinterpret_cast<const char*>(shot) + 8),
              raw.end());

    // A cut-off file reads up to the fault.
    std::filesystem::resize_file(path, raw.size() - 3);
    ids.clear();
    EXPECT_FALSE(PacketRecorder::Read(
        path, [&](const std::uint8_t* f, std::size_t) { ids.push_back(f[2] | (f[3] << 8)); }));
    EXPECT_EQ(ids.size(), 4u);
    std::remove(path.c_str());
}
