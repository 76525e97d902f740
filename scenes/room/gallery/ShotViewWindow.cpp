#include "scenes/room/gallery/ShotViewWindow.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/NoticeBox.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/room/gallery/GalleryCodes.h"

namespace scenes {

namespace {

constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kLeft = gui::align::kLeft | gui::align::kVCenter;
constexpr int kMaxPoints = 10;

}  // namespace

void WriteShotReply(net::Packet& packet, std::int32_t shotSeq, int points, WStringView text) {
    packet.WriteU32(static_cast<std::uint32_t>(shotSeq));
    packet.WriteU8(static_cast<std::uint8_t>(std::clamp(points, 0, kMaxPoints)));
    packet.WriteString(text.substr(0, ShotReplyDialog::kMaxText));
}

ShotReplyDialog::ShotReplyDialog() {
    // Under the shot window across its width: the longer prompt ("You can only reply to your own
    // shots.") stands left of the points list inside the frame.
    constexpr int kListWidth = 62, kListX = kWidth - kListWidth - 6;
    SetUpDialog(*this, kWidth, kHeight, u"Reply", false);
    stickers_ = AddTextLine(*this, kWidth - 38, 25, 30, 20, u"0", gui::kFont14Bold);
    prompt_ = AddTextLine(*this, 10, 77, kListX - 14, 20, {}, gui::kFont12,
                          gui::align::kRight | gui::align::kVCenter);
    pointsList_ = AddChoice(*this, kListX, 74, kListWidth, gallery::kReplyPointsList, {}, -1);
    pointsList_->CreateItems(kMaxPoints);
    for (int i = 1; i <= kMaxPoints; ++i) pointsList_->AddItem(Format(u"%d%s", i, WString(u"Pts")));
    text_ = AddEditField(*this, 20, 48, kWidth - 40, 18, gallery::kReplyTextId, kMaxText);
    AddTextButton(*this, kWidth / 2 - 64, 104, 54, 18, gallery::kReplySendId, u"Send");
    AddTextButton(*this, kWidth / 2 + 10, 104, 54, 18, gallery::kReplyCancelId, u"Cancel",
                  platform::kVkEscape);
    MoveTo(0, 290);
    SetVisible(false);
}

void ShotReplyDialog::Prepare(bool ownShot, std::int32_t shotSeq) {
    ownShot_ = ownShot;
    shotSeq_ = shotSeq;
}

void ShotReplyDialog::ShowPoints(int points) {
    points_ = points;
    pointsList_->Select(points - 1);
}

void ShotReplyDialog::OnShow() {
    gui::Dialog::OnShow();
    if (ownShot_) {
        prompt_->SetPlainText(u"You can only reply to your own shots.");
        ShowPoints(0);
        pointsList_->SetEnabled(false);
    } else {
        prompt_->SetPlainText(u"Select the recommended points.");
        // Each point costs a sticker: the first choice is what the player can give.
        const int stickers = player_ ? player_->stickerCount : 0;
        ShowPoints(std::clamp(stickers, 1, kMaxPoints));
        pointsList_->SetEnabled(true);
    }
    stickers_->SetText(u"%d", player_ ? static_cast<int>(player_->stickerCount) : 0);
    text_->SetText({});
    text_->SetFocus(true);
}

bool ShotReplyDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    switch (event.source->Id()) {
        case gallery::kReplyPointsList:
            if (!ownShot_ && event.value >= 0 && event.value < kMaxPoints) ShowPoints(event.value + 1);
            return true;
        case gallery::kReplyCancelId:
            Show(false);
            return true;
        case gallery::kReplySendId: {
            const std::uint16_t stickers = player_ ? player_->stickerCount : 0;
            if (stickers == 0) {
                if (host_)
                    host_->ShowError(this, u"There are no recommended stickers available.",
                                     u"5 given per 10 minutes of yesterday's playing time.",
                                     u"단, 본인인증이 된 계정에만 지급됩니다.");
                return true;
            }
            const WString& text = text_->GetText();
            if (text.size() < 2) {
                if (host_) host_->ShowError(this, u"Enter title more than 4 bytes.");
                return true;
            }
            net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
            bool sent = false;
            if (session) {
                net::PooledPacket packet = session->NewPacket(gallery::kReplyPacket);
                if (packet) {
                    WriteShotReply(*packet, shotSeq_, points_, text);
                    sent = session->Send(*packet);
                }
            }
            // The count drops only for a reply that went out.
            if (sent) Spend(points_);
            stickers_->SetText(u"%d", player_ ? static_cast<int>(player_->stickerCount) : 0);
            Show(false);
            return true;
        }
        default:
            return false;
    }
}

void ShotReplyDialog::Spend(int points) {
    if (!player_) return;
    const int before = player_->stickerCount;
    player_->stickerCount = static_cast<std::uint16_t>(std::max(0, before - points));
    spent_.push_back(before - player_->stickerCount);
    constexpr std::size_t kMaxUnanswered = 64;  // a server that never answers does not grow the list
    if (spent_.size() > kMaxUnanswered) spent_.pop_front();
}

void ShotReplyDialog::Answered(int result) {
    if (spent_.empty()) return;
    const int spent = spent_.front();
    spent_.pop_front();
    if (result == 0 || !player_) return;
    player_->stickerCount = static_cast<std::uint16_t>(std::min(0xFFFF, player_->stickerCount + spent));
    stickers_->SetText(u"%d", static_cast<int>(player_->stickerCount));
}

ShotViewWindow::ShotViewWindow(const GalleryClient& client) : client_(client) {
    SetUpDialog(*this, kWidth, kHeight, u"Shot", false);
    reading_ = AddTextLine(*this, 40, 190, 240, 20, u"Shot info is being read.", gui::kFont12Bold);
    reading_->SetVisible(false);
    // Centred beside the reply scroll bar.
    unreachable_ = AddTextLine(*this, 10, 190, 280, 20, gallery::kUnreachableText, gui::kFont12Bold,
                               gui::align::kCenter | gui::align::kVCenter);
    unreachable_->SetVisible(false);
    // Owner, points and the information line share one line inside the window; texts longer than
    // their places end in "...".
    title_ = AddTextLine(*this, 20, 56, kWidth - 40, 20, {}, gui::kFont12Bold);
    nickname_ = AddTextLine(*this, 20, 83, 88, 20, {}, gui::kFont12Bold);
    points_ = AddTextLine(*this, 112, 83, 38, 20, {}, gui::kFont12Bold);
    infoLabel_ = AddTextLine(*this, 156, 83, kWidth - 166, 20, {}, gui::kFont12);
    for (int i = 0; i < kReplyRows; ++i) {
        ReplyRowWidgets& row = rows_[static_cast<std::size_t>(i)];
        row.panel = AddPanel(10, 114 + 26 * i, 280, 22);
        row.nickname = AddTextLine(*row.panel, 4, 2, 74, 18, {}, gui::kFont12, kLeft, kYellow);
        row.text = AddTextLine(*row.panel, 82, 2, 172, 18, {}, gui::kFont12, kLeft, kWhite);
        row.points = AddTextLine(*row.panel, 256, 2, 22, 18, {}, gui::kFont12,
                                 gui::align::kRight | gui::align::kVCenter, kYellow);
        row.panel->SetVisible(false);
    }
    scroll_ = Make<gui::ScrollBar>();
    scroll_->Create(292, 112, 15, 120, gallery::kReplyScrollId, gui::Orientation::Vertical, 1);
    AddTextButton(*this, 20, 250, 48, 22, gallery::kPlayShotId, u"Play", platform::kVkSpace)
        ->SetTooltip(u"Play the shot");
    AddTextButton(*this, 120, 250, 88, 22, gallery::kRecommendId, u"Recommend")
        ->SetTooltip(u"Recommend this shot");
    AddTextButton(*this, 210, 250, 88, 22, gallery::kViewListId, u"List")->SetTooltip(u"View the list");
    // Made children start shown: the reply dialog waits for "Recommend this shot".
    dialog_ = Make<ShotReplyDialog>();
    dialog_->SetVisible(false);
    SetVisible(false);
}

void ShotViewWindow::SetContext(SceneHost* host, net::PlayerRecord* player) {
    host_ = host;
    player_ = player;
    dialog_->SetContext(host, player);
}

void ShotViewWindow::Clear() {
    title_->SetPlainText({});
    nickname_->SetPlainText({});
    infoLabel_->SetPlainText({});
    points_->SetPlainText({});
    for (ReplyRowWidgets& row : rows_) row.panel->SetVisible(false);
}

void ShotViewWindow::OnShow() {
    gui::Dialog::OnShow();
    const int clientWidth = host_ ? host_->ClientWidth() : kWidth + 10;
    MoveTo(clientWidth - kWidth - 10, 40);
    Load();
}

void ShotViewWindow::Reload() {
    Load();
}

void ShotViewWindow::Load() {
    firstReply_ = 1;
    scroll_->SetPos(0, false);
    loaded_ = false;
    reading_->SetVisible(true);
    unreachable_->SetVisible(false);
    const bool fetched = FetchShotData();
    if (fetched) {
        title_->SetFittedText(titleText_);
        nickname_->SetFittedText(owner_);
        infoLabel_->SetFittedText(info_);
        points_->SetFittedText(Format(u"%d", pointsValue_));
        gui::NoticeBox::Post(gallery::kPlayShotMessage, 0, 0, 0);
    } else {
        Clear();  // what an earlier load showed is not the shot that could not be read
    }
    reading_->SetVisible(false);
    unreachable_->SetVisible(!fetched);
}

bool ShotViewWindow::FetchShotData() {
    ShotData data;
    if (!client_.FetchShotData(shotSeq_, data)) return false;
    loaded_ = true;
    owner_ = data.owner;
    titleText_ = data.title;
    info_ = data.info;
    pointsValue_ = data.points;
    recordHex_ = data.recordHex;
    {
        platform::ScopedLock lock(lock_);
        replies_.clear();
        for (ShotReplyEntry& entry : data.replies) replies_.push_back(std::move(entry));
    }
    ShowReplies();
    scroll_->SetPos(0, false);
    return true;
}

std::size_t ShotViewWindow::ReplyCount() {
    platform::ScopedLock lock(lock_);
    return replies_.size();
}

const WString& ShotViewWindow::ReplyRowNickname(int index) const {
    return rows_[static_cast<std::size_t>(index)].nickname->Text();
}

bool ShotViewWindow::HasVotedElsewhere() {
    const WString own = player_ ? player_->nickname : WString();
    bool replied = false;
    {
        platform::ScopedLock lock(lock_);
        for (const ShotReplyEntry& entry : replies_) replied = replied || entry.nickname == own;
    }
    if (!replied || owner_ == own) return false;
    if (host_) host_->ShowNotice(this, u"You can only vote once.");
    return true;
}

void ShotViewWindow::ShowReplies() {
    platform::ScopedLock lock(lock_);
    // The count is the list's own length: a count announced by the server is never trusted.
    const int count = static_cast<int>(replies_.size());
    const int lastFirst = std::max(1, count - 4);
    if (firstReply_ > lastFirst || firstReply_ < 1) {
        firstReply_ = std::clamp(firstReply_, 1, lastFirst);
        scroll_->SetPos(firstReply_ - 1, false);
    }
    auto it = replies_.begin();
    std::advance(it, std::min(count, firstReply_ - 1));
    int shown = 0;
    for (; it != replies_.end() && shown < kReplyRows; ++it, ++shown) {
        ReplyRowWidgets& row = rows_[static_cast<std::size_t>(shown)];
        row.nickname->SetFittedText(it->nickname);
        row.text->SetFittedText(it->text);
        row.points->SetFittedText(Format(u"%d", it->points));
        row.panel->SetVisible(true);
    }
    for (int i = shown; i < kReplyRows; ++i) rows_[static_cast<std::size_t>(i)].panel->SetVisible(false);
    scroll_->SetRange(lastFirst);
}

bool ShotViewWindow::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    const std::uint32_t id = event.source->Id();
    switch (id) {
        case gallery::kRecommendId:
            if (HasVotedElsewhere()) return true;
            dialog_->Prepare(player_ && owner_ == player_->nickname, shotSeq_);
            dialog_->Show(true);
            return true;
        case gallery::kReplyScrollId:
            firstReply_ = event.value;
            ShowReplies();
            return true;
        case gallery::kPlayShotId:
            return loaded_ ? false : true;
        case gallery::kViewListId:
            Show(false);
            return false;
        default:
            return false;
    }
}

}  // namespace scenes
