#include "scenes/room/hud/InviteList.h"

#include <algorithm>
#include <string>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "engine/core/Text.h"
#include "gui/Button.h"
#include "gui/ScrollBar.h"
#include "gui/TextLabel.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/HudImages.h"

namespace scenes::hud {

namespace {

constexpr int kIconCell = 22;
constexpr int kCheckTop = -3;
constexpr std::uint32_t kEscKey = 27;
constexpr std::uint32_t kUpKey = 38, kDownKey = 40;
constexpr int kWheelX = 0, kWheelY = 50, kWheelW = 330, kWheelH = 150;
constexpr gui::UiImage kRowFrame{images::kFlatSet, 0, 0, 1, 1};
constexpr gui::UiImage kCheckBox{images::kFlatSet, 0, 300, 31, 18};
constexpr gui::UiImage kLevelIcons{images::kFlatSet, 0, 320, kIconCell, kIconCell};

gui::Button* TextButton(gui::Widget& parent, int x, int y, int w, int h, std::uint32_t id, std::uint32_t key,
                        const WString& caption) {
    gui::Button* b = parent.AddButton(x, y, w, h, id, key, images::kButton);
    b->SetFrameCount(gui::atlas::kTextButtonFrames);
    b->SetCaption(caption);
    return b;
}

}  // namespace

// ---- InviteRow -------------------------------------------------------------------------------------

bool InviteRow::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, 0, hotkey);
    SetImage(kRowFrame);
    check_ = AddButton(0, kCheckTop, 31, 18, id, 0, kCheckBox);
    check_->SetToggleMode(true);
    check_->SetCheckMarkStyle(true);
    check_->SetFrameCount(gui::Button::kMaxFrames);
    // From the top of the box to the foot of the row, the icon and the texts included.
    check_->SetHitArea(0, 0, w, h - kCheckTop);
    icon_ = AddImage(35, -2, kIconCell, kIconCell, kLevelIcons);
    icon_->SetHitArea(0, 0, 0, 0);
    name_ = AddLabel(120, 4, 83, 16, gui::kFont12);
    name_->SetColors(colour::kYellow, colour::kBlack);
    count_ = AddLabel(230, 4, 44, 16, gui::kFont12);
    SetVisible(false);
    return true;
}

void InviteRow::SetEntry(const InviteCandidate& candidate) {
    Show(true);
    name_->SetText(u"%s", candidate.nickname);
    count_->SetText(u"%d", static_cast<int>(candidate.count));
    // Level 0 would ask for the cell left of the strip.
    const int cell = std::max(0, candidate.level * kIconCell - kIconCell);
    icon_->SetSourceRect(kLevelIcons.x + cell, kLevelIcons.y, kIconCell, kIconCell);
    check_->SetChecked(candidate.selected);
    check_->SetEnabled(candidate.available);
    const float alpha = candidate.available ? 1.0f : kGreyedAlpha;
    check_->SetAlpha(alpha);
    icon_->SetAlpha(alpha);
    name_->SetAlpha(alpha);
}

// ---- InviteListDialog ------------------------------------------------------------------------------

bool InviteListDialog::Create(int x, int y, int w, int h, std::uint32_t, std::uint32_t) {
    gui::Widget::Create(x, y, w, h);
    SetImage(images::kPanel);
    SetTitle(u"Invite");
    SetModal(false);
    for (int k = 0; k < kRows; ++k) {
        rows_[k] = Make<InviteRow>();
        rows_[k]->Create(8, 50 + 21 * k, 300, 20, kFirstRowId + static_cast<std::uint32_t>(k));
    }
    emptyLabel_ = AddLabel(50, 80, 300, 20, gui::kFont12);
    emptyLabel_->SetPlainText(u"No available users to invite");
    emptyLabel_->Show(false);
    pendingLabel_ = AddLabel(50, 80, 300, 20, gui::kFont12);
    pendingLabel_->SetPlainText(u"No available users to invite");
    pendingLabel_->Show(false);
    scroll_ = Make<gui::ScrollBar>();
    scroll_->Create(321, 48, 16, 146, kScrollId, gui::Orientation::Vertical, 1);
    scroll_->AddDecButton(gui::atlas::kArrowUp)->SetHotkey(kUpKey);
    scroll_->AddIncButton(gui::atlas::kArrowDown)->SetHotkey(kDownKey);
    scroll_->Show(true);
    TextButton(*this, 310, 24, 26, 19, kCloseId, kEscKey, u"X");
    TextButton(*this, 230, 227, 78, 25, kInviteId, 0, u"Invite");
    TextButton(*this, 50, 227, 78, 25, kRefreshId, 0, u"Refresh");
    SetVisible(false);
    return true;
}

void InviteListDialog::Notice(const WString& text) {
    if (host_) host_->ShowNotice(this, text);
}

void InviteListDialog::SetPending(bool pending) {
    if (emptyLabel_) emptyLabel_->Show(false);
    if (pendingLabel_) pendingLabel_->Show(pending);
}

void InviteListDialog::RequestList(std::uint64_t nowMs, bool own) {
    if (own) {
        lastRequestMs_ = nowMs;
        requested_ = true;
    }
    if (!send_) return;
    net::Packet p;
    p.Init(kListRequest);
    p.WriteU8(0);
    p.Finish();
    send_(p);
}

void InviteListDialog::OnShow() {
    gui::Dialog::OnShow();
    {
        platform::ScopedLock lock(lock_);
        candidates_.clear();
        first_ = 1;
        roomChanged_ = roomFull_ = false;
        Layout();
    }
    SetPending(true);
    CenterOnScreen();
    RequestList(platform::NowMs(), true);
}

void InviteListDialog::FillFromPacket(net::Packet& p) {
    std::uint16_t count = 0;
    p.ReadU16(count);
    std::vector<InviteCandidate> read;
    for (std::uint16_t i = 0; i < count && !p.IsBad(); ++i) {
        InviteCandidate c;
        WString nickname;
        p.ReadU32(c.key).ReadU64(c.playerId).ReadU16(c.level).ReadString(nickname).ReadU16(c.count);
        if (p.IsBad()) break;
        // The whole name was read, so the fields after it stay in step; the row shows 13 characters.
        c.nickname = nickname.substr(0, InviteCandidate::kNicknameChars);
        read.push_back(std::move(c));
    }
    if (p.IsBad())
        LogWrite(u"ERROR : the invite list broke off after %d of %d players\n", static_cast<int>(read.size()),
                 static_cast<int>(count));
    const std::uint64_t now = platform::NowMs();
    platform::ScopedLock lock(lock_);
    first_ = 1;
    candidates_ = std::move(read);
    replyArrived_ = true;
    RefreshCooldownLocked(now);
    layoutDirty_ = true;
}

std::vector<InviteCandidate> InviteListDialog::Candidates() const {
    platform::ScopedLock lock(lock_);
    return candidates_;
}

int InviteListDialog::FirstPosition() const {
    platform::ScopedLock lock(lock_);
    return first_;
}

void InviteListDialog::Layout() {
    const int count = static_cast<int>(candidates_.size());
    if (first_ > count - (kRows - 1)) {
        first_ = std::max(1, count - (kRows - 1));
        if (scroll_) scroll_->SetPos(first_ - 1, false);
    }
    int k = 0;
    for (int i = first_ - 1; i < count && k < kRows; ++i, ++k)
        if (rows_[k]) rows_[k]->SetEntry(candidates_[i]);
    for (; k < kRows; ++k)
        if (rows_[k]) rows_[k]->Show(false);
    // One position for every first row that still fills the page.
    if (scroll_) scroll_->SetRange(std::max(1, count - (kRows - 1)));
}

bool InviteListDialog::RefreshCooldownLocked(std::uint64_t nowMs) {
    std::erase_if(invited_, [nowMs](const auto& entry) {
        return nowMs > entry.second && (nowMs - entry.second) / 1000 > kGreyedSeconds;
    });
    bool changed = false;
    for (InviteCandidate& c : candidates_) {
        const bool invited = std::any_of(invited_.begin(), invited_.end(),
                                         [&c](const auto& entry) { return entry.first == c.key; });
        if (invited && c.available) {
            c.selected = c.available = false;
            changed = true;
        } else if (!invited && !c.available) {
            c.available = true;
            changed = true;
        }
    }
    return changed;
}

void InviteListDialog::RefreshCooldown(std::uint64_t nowMs) {
    platform::ScopedLock lock(lock_);
    if (RefreshCooldownLocked(nowMs)) Layout();
}

void InviteListDialog::RoomChanged(std::uint64_t enteredId, const WString& enteredName, bool roomFull) {
    platform::ScopedLock lock(lock_);
    if (!enteredName.empty() || enteredId != 0) {
        const WString name = enteredName.substr(0, InviteCandidate::kNicknameChars);
        std::erase_if(candidates_, [&](const InviteCandidate& c) {
            return (enteredId != 0 && c.playerId == enteredId) || (!name.empty() && c.nickname == name);
        });
        layoutDirty_ = true;
    }
    roomChanged_ = true;
    roomFull_ = roomFull;
}

void InviteListDialog::Tick(std::uint64_t nowMs) {
    gui::Dialog::Tick(nowMs);
    bool arrived = false, changed = false, full = false;
    {
        platform::ScopedLock lock(lock_);
        if (layoutDirty_) {
            layoutDirty_ = false;
            Layout();
        }
        arrived = replyArrived_;
        replyArrived_ = false;
        changed = roomChanged_;
        full = roomFull_;
        roomChanged_ = roomFull_ = false;
        if (++ticks_ % kRefreshEveryTicks == 0 && RefreshCooldownLocked(nowMs)) Layout();
    }
    if (full) {
        Show(false);
        return;
    }
    // The rows shown stay until the new list replaces them.
    if (changed) RequestList(platform::NowMs(), false);
    if (arrived) {
        const std::vector<InviteCandidate> candidates = Candidates();
        if (pendingLabel_) pendingLabel_->Show(false);
        if (emptyLabel_) emptyLabel_->Show(candidates.empty());
        // The rows are laid out: the journal names who may be invited, in row order.
        std::string line = "INVITES " + std::to_string(candidates.size());
        for (const InviteCandidate& c : candidates) line += " " + ToUtf8(c.nickname);
        platform::Journal::Write(line);
    }
}

void InviteListDialog::SendInvitations() {
    const std::uint64_t now = platform::NowMs();
    net::Packet p;
    {
        platform::ScopedLock lock(lock_);
        // Only players that may be invited count: the count byte always matches the ids after it.
        const auto invitable =
            std::count_if(candidates_.begin(), candidates_.end(),
                          [](const InviteCandidate& c) { return c.selected && c.available; });
        if (invitable < 1) {
            Notice(u"Select more than 1 person you wish to invite.");
            return;
        }
        if (static_cast<std::size_t>(invitable) > kMaxInvitees) {
            Notice(u"No more than 8 people can be invited.");
            return;
        }
        p.Init(kInvitation);
        p.WriteU8(static_cast<std::uint8_t>(invitable));
        for (InviteCandidate& c : candidates_) {
            if (!c.selected || !c.available) continue;
            p.WriteU64(c.playerId);
            c.selected = c.available = false;
            invited_.emplace_back(c.key, now);
        }
        RefreshCooldownLocked(now);
        Layout();
    }
    p.Finish();
    if (send_) send_(p);
    Notice(u"Invitation message has been sent.");
}

bool InviteListDialog::OnMouse(const gui::MouseEvent& event) {
    const bool overRows = event.x >= kWheelX && event.x < kWheelX + kWheelW && event.y >= kWheelY &&
                          event.y < kWheelY + kWheelH;
    if (event.message == platform::kWmMouseWheel && overRows && scroll_ && event.wheel != 0) {
        scroll_->SetPos(scroll_->Pos() + (event.wheel > 0 ? -1 : 1), true);
        return true;
    }
    return gui::Dialog::OnMouse(event);
}

bool InviteListDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event) return false;
    if (event.id >= kFirstRowId && event.id < kFirstRowId + kRows) {
        platform::ScopedLock lock(lock_);
        const std::size_t index = static_cast<std::size_t>(first_ - 1) + (event.id - kFirstRowId);
        if (index < candidates_.size()) candidates_[index].selected = event.value != 0;
        return true;
    }
    switch (event.id) {
        case kScrollId: {
            platform::ScopedLock lock(lock_);
            first_ = std::max(1, static_cast<int>(event.value));
            Layout();
            return true;
        }
        case kCloseId:
            Show(false);
            return true;
        case kInviteId:
            SendInvitations();
            return true;
        case kRefreshId: {
            const std::uint64_t now = platform::NowMs();
            const std::uint64_t elapsed = platform::ElapsedMs(lastRequestMs_, now) / 1000;
            if (requested_ && elapsed < kRequestGapMs / 1000) {
                Notice(Format(u"Try again in %d seconds", static_cast<int>(kRequestGapMs / 1000 - elapsed)));
                return true;
            }
            SetPending(true);
            RequestList(now, true);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace scenes::hud
