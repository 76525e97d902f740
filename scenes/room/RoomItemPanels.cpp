// The game room's item panels and small popups around them: the two tabs that slide the own cues and
// the items on sale in from the left edge (one at a time), the bar that tells of a friend request,
// the chat line's Tab key into the messenger, and the wait box shown while a purchase is on its way.
// Widgets change on the main thread only; replies from the dispatch thread leave work for it.
#include <utility>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/GuiConstants.h"
#include "gui/MessageDialog.h"
#include "gui/TextInput.h"
#include "gui/UiAtlas.h"
#include "net/GameSession.h"
#include "platform/sys/Journal.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/Messenger.h"
#include "scenes/room/OwnItems.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/SlidingPanels.h"

namespace scenes {

using namespace room;

namespace {

constexpr int kTabW = 81, kTabH = 19, kTabBottom = -24;
constexpr int kCueTabX = 360, kShopTabX = 445;
// The friend request bar stands over the chalk gauge (whose top is 300 pixels above the bottom edge),
// and the tabs' panels rest above the bar, so a panel covers neither.
constexpr int kFriendBarW = 260, kFriendBarBottom = -305;
constexpr int kPanelLeft = 10, kPanelBottom = kFriendBarBottom - kTabH - 2;
constexpr int kStripLeft = 84, kStripTop = -250;

// Open means shown and not already on its way out.
bool PanelOpen(const hud::SlidingPanel* panel) {
    return panel && panel->IsVisible() && panel->Slide().state != hud::PanelSlide::kOut;
}

// A tab's press: its open panel slides out; else the other one makes way and this one slides in (also
// when it was still on its way out).
void ToggleTab(hud::SlidingPanel* panel, hud::SlidingPanel* other) {
    if (!panel) return;
    if (PanelOpen(panel)) {
        panel->SlideOut();
        return;
    }
    if (PanelOpen(other)) other->SlideOut();
    if (panel->IsVisible()) panel->Show(false);
    panel->Show(true);
    panel->BringToFront();
}

Messenger* RoomMessenger(SceneHost* host) {
    return host ? dynamic_cast<Messenger*>(host->GetMessenger()) : nullptr;
}

}  // namespace

void SceneRoomGame::CreateItemPanels() {
    // Right of the chalk gauge, level with its foot: the bottom edge holds the chat line and the tabs.
    itemStrip_ = AddItemStrip(*this, &Record(), kStripLeft, kStripTop);
    cuePanel_ = Make<hud::PlayerInfoPanel>(Host(), &Record());
    cuePanel_->Create(0, 0);
    shopPanel_ = Make<hud::BuyOrGiftDialog>(Host(), &Record());
    shopPanel_->Create(0, 0);
    for (hud::SlidingPanel* panel :
         {static_cast<hud::SlidingPanel*>(cuePanel_), static_cast<hud::SlidingPanel*>(shopPanel_)}) {
        panel->SetAnchor(gui::AnchorH::Left, kPanelLeft, gui::AnchorV::Bottom, kPanelBottom);
        panel->Show(false);
    }
    // The tabs and the bar are text buttons anchored to the lower left.
    const auto button = [this](int x, int bottom, int w, std::uint32_t id, const char16_t* caption) {
        gui::Button* b = AddButton(x, 0, w, kTabH, id, 0, gui::atlas::InSet(gui::atlas::kTextButton, 15));
        b->SetFrameCount(gui::atlas::kTextButtonFrames);
        b->SetCaption(caption);
        b->SetAnchor(gui::AnchorH::Left, x, gui::AnchorV::Bottom, bottom);
        return b;
    };
    cueTab_ = button(kCueTabX, kTabBottom, kTabW, join_msg::kCueTabControl, u"Cue");
    cueTab_->Show(false);
    shopTab_ = button(kShopTabX, kTabBottom, kTabW, join_msg::kShopTabControl, u"Shop");
    friendBar_ = button(kPanelLeft, kFriendBarBottom, kFriendBarW, join_msg::kFriendBarControl, u"");
    friendBar_->Show(false);

    inProgress_ = Make<gui::InProgressNotice>();
    inProgress_->Show(false);
    // A use request names what the strip or the cue panel holds as chosen.
    SetItemSelection([this](int source) -> const net::ItemEntry* {
        if (source == item_use::kFromCuePanel) return cuePanel_ ? cuePanel_->SelectedCue() : nullptr;
        return itemStrip_ ? itemStrip_->SelectedEntry() : nullptr;
    });
}

bool SceneRoomGame::OnItemPanelCommand(const gui::CommandEvent& event) {
    switch (event.id) {
        case join_msg::kFriendBarControl:
            if (friendBar_) friendBar_->Show(false);
            if (Messenger* messenger = RoomMessenger(Host())) messenger->ShowNextFriendRequest();
            return true;
        case join_msg::kShopTabControl:
            ToggleTab(shopPanel_, cuePanel_);
            return true;
        case join_msg::kCueTabControl:
            if (cuePanel_) cuePanel_->SetSelectionSlot(RoomCopy().gameType);
            ToggleTab(cuePanel_, shopPanel_);
            return true;
        default:
            return false;
    }
}

void SceneRoomGame::RefreshFriendBar() {
    if (!friendBar_) return;
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    WString nickname;
    if (session) {
        platform::ScopedLock lock(session->listLock);
        if (!session->friendRequests.empty()) nickname = session->friendRequests.front().nickname;
    }
    // While the messenger asks (this request or anything else) a click would open nothing: the bar
    // comes back when the question is answered and requests still wait.
    const Messenger* messenger = RoomMessenger(Host());
    const bool asking = messenger && messenger->QuestionBox() && messenger->QuestionBox()->IsVisible();
    if (nickname.empty() || asking) {
        if (friendBar_->IsVisible()) friendBar_->Show(false);
        return;
    }
    const WString caption = Format(u"Friends request from %s", nickname);
    if (friendBar_->IsVisible() && friendBar_->Caption() == caption) return;
    friendBar_->SetCaption(caption);
    friendBar_->Show(true);
    friendBar_->BringToFront();
    platform::Journal::Write("BAR " + ToUtf8(caption));
}

bool SceneRoomGame::HandleItemPanelMessage(std::uint32_t code, std::uintptr_t a) {
    if (code == join_msg::kFriendRequestCode) {
        RefreshFriendBar();
        return true;
    }
    // Tab in the chat line carries the typing over into the messenger's chat while it is shown.
    if (code == platform::kWmKeyDown && a == platform::kVkTab && chatEdit_ && chatEdit_->HasFocus()) {
        Messenger* messenger = RoomMessenger(Host());
        if (!messenger || !messenger->IsVisible()) return false;
        chatEdit_->SetFocus(false);
        messenger->FocusChatInput();
        return true;
    }
    return false;
}

bool SceneRoomGame::ChatLineYieldsKey(std::uint32_t code, std::uintptr_t key) {
    if (code != platform::kWmKeyDown || !chatEdit_ || !chatEdit_->HasFocus()) return false;
    if (!chatEdit_->GetText().empty() || !chatEdit_->Composition().empty()) return false;
    switch (key) {
        case platform::kVkSpace:
        case platform::kVkLeft:
        case platform::kVkRight:
        case platform::kVkUp:
        case platform::kVkDown:
            return true;
        case platform::kVkTab: {
            Messenger* messenger = RoomMessenger(Host());
            return !messenger || !messenger->IsVisible();
        }
        default:
            return false;
    }
}

void SceneRoomGame::AfterItemReply() {
    RunOnMainThread([this] {
        if (inProgress_) inProgress_->Show(false);
    });
    UpdateItemKeys();
    RefreshItemStrip();
}

}  // namespace scenes
