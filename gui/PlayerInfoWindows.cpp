#include "gui/PlayerInfoWindows.h"

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/GameTypeName.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/ItemTable.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "platform/window/WindowCodes.h"

namespace gui {

namespace {
constexpr int kWidth = 360, kHeight = 300;
constexpr std::uint32_t kCloseId = button_id::kOk;
constexpr const char16_t* kCaptions[6] = {u"Nickname", u"Level", u"Clan", u"Gold", u"Average", u"Record"};

Button* AddCloseButton(Widget& window) {
    Button* close =
        window.AddButton(kWidth - 30, 2, 24, 24, kCloseId, platform::kVkEscape, atlas::kCloseButton);
    close->SetFrameCount(4);
    close->SetCaption(u"\u00D7");
    return close;
}

WString Cut(WString text) {
    if (text.size() > PlayerProfile::kMaxNameUnits) text.resize(PlayerProfile::kMaxNameUnits);
    return text;
}

// What a record this client holds whole (the own one) shows in an info window.
PlayerProfile ProfileOfRecord(const net::PlayerRecord& record) {
    PlayerProfile p;
    p.playerId = record.playerId;
    p.nickname = Cut(record.nickname);
    p.level = record.level;
    p.experience = record.experience;
    p.money = record.money;
    p.clanName = Cut(record.clanName);
    p.clanGrade = record.clanGrade;
    p.average = record.generalAverage;
    p.portrait = record.portrait;
    for (std::size_t t = 0; t < p.records.size(); ++t)
        p.records[t] = {record.statistics[t].games, record.statistics[t].wins, record.statistics[t].losses};
    return p;
}
}  // namespace

void ProfileView::Build(Widget& parent, int top) {
    for (int i = 0; i < 6; ++i) {
        TextLabel* caption = parent.AddLabel(20, top + i * 26, 100, 22, kFont12Bold, 0, align::kVCenter);
        caption->SetPlainText(kCaptions[i]);
        caption->SetColors(0xFFFFD890, 0xFF000000);
        values_[static_cast<std::size_t>(i)] =
            parent.AddLabel(120, top + i * 26, 220, 22, kFont12, 0, align::kVCenter);
    }
}

void ProfileView::Show(const PlayerProfile& p, int gameType, bool loaded) {
    values_[0]->SetPlainText(p.nickname);
    values_[1]->SetText(u"%u", static_cast<unsigned>(p.level));
    values_[2]->SetPlainText(p.clanName.empty() ? WString(u"-") : p.clanName);
    if (!loaded) {
        for (int i = 3; i < 6; ++i) values_[static_cast<std::size_t>(i)]->SetPlainText(u"Loading...");
        return;
    }
    values_[3]->SetText(u"%s Gold", FormatNumber(p.money));
    values_[4]->SetText(u"%u.%02u", p.average / 100, p.average % 100);
    const bool known = gameType >= 0 && gameType < static_cast<int>(p.records.size());
    const PlayerProfile::Record r =
        known ? p.records[static_cast<std::size_t>(gameType)] : PlayerProfile::Record{};
    values_[5]->SetText(u"[%s] %u games, %u wins, %u losses", GameTypeName(gameType), r.games, r.wins,
                        r.losses);
}

void ProfileView::BuildWindow(Dialog& window, const WString& title) {
    window.Create(0, 0, kWidth, kHeight);
    window.SetImage(atlas::kPanel);
    window.SetTitle(title);
    window.SetSounds(31, 32);
    Build(window, Dialog::kTitleHeight + 20);
    AddCloseButton(window);
}

UserInfoWindow::UserInfoWindow() {
    view_.BuildWindow(*this, u"User Info");
    SetVisible(false);
}

void UserInfoWindow::BeginLoad(const net::PlayerRecord& record) {
    profile_ = ProfileOfRecord(record);
    loaded_ = true;
    view_.Show(profile_, gameType, true);
}

bool UserInfoWindow::ReadProfile(net::Packet& packet) {
    PlayerProfile p;
    packet.ReadU64(p.playerId).ReadString(p.nickname).ReadU16(p.level).ReadU32(p.experience);
    packet.ReadI64(p.money).ReadString(p.clanName).ReadU8(p.clanGrade).ReadU32(p.average).ReadU8(p.portrait);
    std::uint8_t count = 0;
    packet.ReadU8(count);
    if (packet.IsBad() || count > p.records.size()) return false;
    for (std::uint8_t i = 0; i < count; ++i) {
        std::uint8_t type = 0;
        PlayerProfile::Record r;
        packet.ReadU8(type).ReadU32(r.games).ReadU32(r.wins).ReadU32(r.losses);
        if (packet.IsBad() || type >= p.records.size()) return false;
        p.records[type] = r;
    }
    p.nickname = Cut(std::move(p.nickname));
    p.clanName = Cut(std::move(p.clanName));
    profile_ = std::move(p);
    loaded_ = true;
    view_.Show(profile_, gameType, true);
    return true;
}

void UserInfoWindow::OnShow() {
    Dialog::OnShow();
    CenterOnScreen();
    view_.Show(profile_, gameType, loaded_);
}

bool UserInfoWindow::OnCommand(const CommandEvent& event) {
    if (event.id != kCloseId || event.code != CommandCode::Event) return false;
    Show(false);
    return true;
}

MyInfoWindow::MyInfoWindow() {
    view_.BuildWindow(*this, u"My Info");
    TextLabel* cueCaption = AddLabel(20, kHeight - 62, 100, 22, kFont12Bold, 0, align::kVCenter);
    cueCaption->SetPlainText(u"Default cue");
    cueCaption->SetColors(0xFFFFD890, 0xFF000000);
    cues_ = AddComboBox(120, kHeight - 62, 140, 22, kCueChoiceId);
    cues_->SetImage(atlas::kComboHeader);
    apply_ = AddButton(270, kHeight - 64, 70, 26, kApplyId, 0, atlas::kTextButton);
    apply_->SetFrameCount(atlas::kTextButtonFrames);
    apply_->SetCaption(u"Apply");
    SetVisible(false);
}

std::array<std::uint8_t, 8> MyInfoWindow::Value() const {
    std::array<std::uint8_t, 8> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(chosen_ >> (8 * i));
    return bytes;
}

void MyInfoWindow::Refresh() {
    PlayerProfile p;
    cues_->CreateItems(0);
    cueSerials_.clear();
    if (record_) {
        p = ProfileOfRecord(*record_);
        const std::uint64_t current = gameType >= 0 && gameType < net::kGameTypeCount
                                          ? record_->equipment[static_cast<std::size_t>(gameType)].cueSerial
                                          : 0;
        for (const net::ItemEntry* item : record_->Items()) {
            if (item->type != static_cast<std::uint32_t>(net::ItemType::Cue)) continue;
            const net::ItemRecord* info = net::GetItemTable().Find(item->itemId);
            cues_->AddItem(info && !info->name.empty() ? info->name : Format(u"Cue %u", item->itemId));
            if (item->serial == current) cues_->Select(cues_->ItemCount() - 1);
            cueSerials_.push_back(item->serial);
        }
    }
    view_.Show(p, gameType, record_ != nullptr);
    apply_->SetEnabled(!cueSerials_.empty());
}

void MyInfoWindow::OnShow() {
    Dialog::OnShow();
    CenterOnScreen();
    Refresh();
}

bool MyInfoWindow::OnCommand(const CommandEvent& event) {
    if (event.code != CommandCode::Event) return false;
    switch (event.id) {
        case kCloseId:
            Show(false);
            return true;
        case kApplyId: {
            const int index = cues_->Selected();
            if (index < 0 || index >= static_cast<int>(cueSerials_.size())) return true;
            chosen_ = cueSerials_[static_cast<std::size_t>(index)];
            NoticeBox::Post(result_code::kMyInfoValue, button_id::kYes, 0, 0);
            return true;
        }
        case kCueChoiceId:
            return true;
        default:
            return false;
    }
}

}  // namespace gui
