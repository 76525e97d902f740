#include "scenes/front/SceneLobby.h"

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "engine/core/Options.h"
#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/GameTypeName.h"
#include "gui/GuiConstants.h"
#include "gui/Padlock.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "gui/WebPageDialog.h"
#include "net/GameTypes.h"
#include "net/NetConstants.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "platform/sys/RegularFile.h"
#include "platform/web/WebView.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontBackdrop.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"
#include "scenes/front/HelpWindow.h"
#include "scenes/front/Messenger.h"
#include "scenes/front/OptionDialog.h"
#include "scenes/front/PracticeSetupDialog.h"
#include "scenes/front/RoomOptionDialog.h"
#include "scenes/front/RoomPasswordDialog.h"
#include "scenes/shared/SharedWindows.h"

namespace scenes {

namespace {

enum : std::uint32_t {
    kCreateRoom = 3701,
    kJoin = 3702,
    kRefresh = 3703,
    kChannelChoice = 3704,
    kChannelClose = 3705,
    kPractice = 3711,
    kShop = 3712,
    kGallery = 3713,
    kMessenger = 3714,
    kOptions = 3715,
    kHelp = 3716,
    kHomePage = 3717,
    kExit = 3718,
    kSchool = 3719,
    kChatEdit = 3720,
    kSend = 3721,
    kRoomScroll = 3750,
    kFirstChannelRow = 3760,
    kFirstRoomRow = 3800,
};

// The channel choice: a button beside the room buttons and the rows that open over the room list.
constexpr int kChannelX = 220, kChannelY = 64, kChannelRowW = 300, kChannelRowH = 32;

// The room list's frame and its columns (x offset, width, header).
constexpr int kListX = 20, kListY = 64, kListW = 650, kRowH = 30, kHeaderH = 26;
struct Column {
    int x, w;
    const char16_t* header;
};
constexpr Column kColumns[] = {{8, 50, u"No."},       {60, 100, u"Game"},  {162, 250, u"Title"},
                               {414, 80, u"Players"}, {496, 80, u"State"}, {578, 40, u""}};

constexpr std::uint32_t kChatColour = 0xFFFFFFFF, kSystemColour = 0xFFFFFF00, kErrorColour = 0xFFFF0000;
constexpr std::uint32_t kPanelColour = 0xF0101820, kRowColour = 0xFF16222F, kRowAltColour = 0xFF1C2B3B;
constexpr std::uint32_t kSelectedColour = 0xFF3D6E9E, kHeaderColour = 0xFF34618F, kGold = 0xFFE0B050;

// A flat panel behind a group of controls.
class Frame : public gui::Widget {
public:
    Frame(int x, int y, int w, int h, const WString& caption) : caption_(caption) {
        Widget::Create(x, y, w, h);
        SetVisible(true);
    }
    void Draw(gui::Painter& painter, int x, int y) override {
        painter.Fill(x, y, Width(), Height(), kPanelColour);
        painter.Border(x, y, Width(), Height(), gui::skin::kPanelBorder);
        if (caption_.empty()) return;
        painter.Fill(x + 1, y + 1, Width() - 2, kHeaderH - 2, kHeaderColour);
        painter.Text(gui::kFont12Bold, caption_, x + 10, y, Width() - 20, kHeaderH,
                     gui::align::kLeft | gui::align::kVCenter, gui::skin::kText, 0xFF000000);
    }
    bool IsMouseTransparent() const override { return true; }

private:
    WString caption_;
};

}  // namespace

// One line of the room list: number, game, title, players, state and a lock for a password.
class RoomListRow : public gui::Widget {
public:
    RoomListRow(int x, int y, int w, int h, std::uint32_t id, bool alternate) : alternate_(alternate) {
        Widget::Create(x, y, w, h, id);
        SetVisible(true);
    }
    void SetRoom(const net::RoomInfo* room, bool selected) {
        hasRoom_ = room != nullptr;
        selected_ = selected;
        if (room) room_ = *room;
    }
    void Draw(gui::Painter& painter, int x, int y) override {
        painter.Fill(x, y, Width(), Height(),
                     selected_    ? kSelectedColour
                     : alternate_ ? kRowAltColour
                                  : kRowColour);
        if (!hasRoom_) return;
        const bool playing = room_.state == static_cast<std::uint8_t>(net::RoomState::Playing);
        const bool full = room_.playerCount >= room_.maxPlayers;
        const WString cells[] = {
            Format(u"%d", static_cast<int>(room_.number)),
            WString(gui::GameTypeName(room_.gameType)),
            room_.title,
            Format(u"%d / %d", static_cast<int>(room_.playerCount), static_cast<int>(room_.maxPlayers)),
            playing ? WString(u"Playing")
            : full  ? WString(u"Full")
                    : WString(u"Waiting"),
        };
        const std::uint32_t text = playing || full ? gui::skin::kTextDisabled : gui::skin::kText;
        for (int i = 0; i < 5; ++i) {
            const std::uint32_t flags =
                (i == 2 ? gui::align::kLeft : gui::align::kCenter) | gui::align::kVCenter;
            painter.Text(i == 2 ? gui::kFont12Bold : gui::kFont12, cells[i], x + kColumns[i].x, y,
                         kColumns[i].w, Height(), flags, i == 1 ? kGold : text, 0xFF000000);
        }
        if (room_.hasPassword) gui::DrawPadlock(painter, x + kColumns[5].x + 14, y + 7);
    }
    bool OnMouse(const gui::MouseEvent& event) override {
        if (event.message == platform::kWmLButtonDown && hasRoom_) {
            Notify(0);
            return true;
        }
        if (event.message == platform::kWmLButtonDblClk && hasRoom_) {
            Notify(1);
            return true;
        }
        return false;
    }

private:
    net::RoomInfo room_;
    bool hasRoom_ = false;
    bool selected_ = false;
    bool alternate_ = false;
};

SceneLobby::SceneLobby() : GameScene(scene_id::kLobby) {
    Widget::Create(0, 0, 1024, 768);
    Build();
    SetVisible(false);
}

SceneLobby::~SceneLobby() = default;

void SceneLobby::Build() {
    Make<FrontBackdrop>();
    channelInfo_ = AddTextLine(*this, 240, 0, 300, 44, {}, gui::kFont14Bold);
    ownInfo_ =
        AddTextLine(*this, 560, 0, 444, 44, {}, gui::kFont12Bold, gui::align::kRight | gui::align::kVCenter);
    ownInfo_->SetAnchor(gui::AnchorH::Right, -20, gui::AnchorV::None, 0);
    // Below the title band the lobby keeps its 1024 x 768 layout, centred in a larger client area;
    // the dialogs, centred on the screen, open over it.
    layout_ = Make<CentredLayout>();
    gui::Widget& lobby = *layout_;

    // The room list.
    lobby.Make<Frame>(kListX, kListY, kListW, kHeaderH + kRowH * kVisibleRooms + 4, u"");
    for (const Column& c : kColumns)
        AddTextLine(lobby, kListX + c.x, kListY, c.w, kHeaderH, c.header, gui::kFont12Bold,
                    gui::align::kCenter | gui::align::kVCenter, kGold);
    for (int i = 0; i < kVisibleRooms; ++i) {
        roomRows_[static_cast<std::size_t>(i)] =
            lobby.Make<RoomListRow>(kListX + 2, kListY + kHeaderH + i * kRowH, kListW - 24, kRowH - 1,
                                    kFirstRoomRow + static_cast<std::uint32_t>(i), i % 2 == 1);
    }
    roomScroll_ = lobby.Make<gui::ScrollBar>();
    roomScroll_->Create(kListX + kListW - 20, kListY + kHeaderH, 18, kRowH * kVisibleRooms, kRoomScroll,
                        gui::Orientation::Vertical, 1);
    roomScroll_->AddDecButton(gui::atlas::kArrowUp);
    roomScroll_->AddIncButton(gui::atlas::kArrowDown);
    roomScroll_->AddThumb(gui::atlas::kThumbVertical);
    roomScroll_->Show(true);
    const int buttonsY = kListY + kHeaderH + kRowH * kVisibleRooms + 12;
    AddTextButton(lobby, kListX, buttonsY, 120, 32, kCreateRoom, u"Create room");
    AddTextButton(lobby, kListX + 128, buttonsY, 100, 32, kJoin, u"Join");
    AddTextButton(lobby, kListX + 236, buttonsY, 100, 32, kRefresh, u"Refresh");
    channelButton_ = AddTextButton(lobby, kListX + 344, buttonsY, 110, 32, kChannelChoice, u"Channels");
    roomCount_ = AddTextLine(lobby, kListX + 462, buttonsY, kListW - 462, 32, {}, gui::kFont12,
                             gui::align::kRight | gui::align::kVCenter);

    // The players of the channel.
    const int sideX = kListX + kListW + 16, sideW = 1024 - sideX - 20;
    lobby.Make<Frame>(sideX, kListY, sideW, kHeaderH + 22 * kVisiblePlayers + 8, u"Players in this channel");
    for (int i = 0; i < kVisiblePlayers; ++i)
        playerRows_[static_cast<std::size_t>(i)] =
            AddTextLine(lobby, sideX + 12, kListY + kHeaderH + 4 + i * 22, sideW - 24, 22, {});

    // The ways out of the lobby and the shared windows.
    const int menuY = kListY + kHeaderH + 22 * kVisiblePlayers + 20;
    // The shared windows answer the keys they answer on the tables: F8, F3 and F1.
    const struct {
        std::uint32_t id;
        const char16_t* caption;
        std::uint32_t hotkey = 0;
    } menu[] = {{kPractice, u"Practice"},
                {kShop, u"Shop"},
                {kGallery, u"Shot gallery"},
                {kMessenger, u"Messenger", platform::kVkF1 + 7},
                {kOptions, u"Options", platform::kVkF1 + 2},
                {kHelp, u"Help", platform::kVkF1},
                {kHomePage, u"Home page"},
                {kExit, u"Exit"},
                {kSchool, u"Cue school"}};
    const int half = (sideW - 8) / 2;
    for (int i = 0; i < static_cast<int>(std::size(menu)); ++i) {
        gui::Button* b = AddTextButton(lobby, sideX + (i % 2) * (half + 8), menuY + (i / 2) * 40, half, 34,
                                       menu[i].id, menu[i].caption, menu[i].hotkey);
        if (menu[i].id == kMessenger) messengerButton_ = b;
    }

    // The own record.
    const int menuRows = (static_cast<int>(std::size(menu)) + 1) / 2;
    const int recordY = menuY + menuRows * 40 + 8;
    lobby.Make<Frame>(sideX, recordY, sideW, 768 - recordY - 16, u"My record");
    for (int i = 0; i < kRecordLines; ++i)
        recordRows_[static_cast<std::size_t>(i)] =
            AddTextLine(lobby, sideX + 12, recordY + kHeaderH + 6 + i * 22, sideW - 24, 22, {});

    // The channel chat.
    const int chatY = buttonsY + 44;
    lobby.Make<Frame>(kListX, chatY, kListW, 768 - chatY - 16, u"Chat");
    for (int i = 0; i < kChatLines; ++i)
        chatRows_[static_cast<std::size_t>(i)] =
            AddTextLine(lobby, kListX + 10, chatY + kHeaderH + 2 + i * 18, kListW - 20, 18, {});
    chatEdit_ = AddEditField(lobby, kListX + 8, 768 - 16 - 34, kListW - 110, 26, kChatEdit, 100);
    AddTextButton(lobby, kListX + kListW - 96, 768 - 16 - 36, 88, 30, kSend, u"Send");

    // The channel rows lie over the room list while the choice is open.
    channelPanel_ = lobby.Make<Frame>(kChannelX, kChannelY, kChannelRowW + 16,
                                      kHeaderH + kChannelRows * (kChannelRowH + 4) + 8, u"Choose a channel");
    for (int i = 0; i < kChannelRows; ++i)
        channelRows_[static_cast<std::size_t>(i)] =
            AddTextButton(lobby, kChannelX + 8, kChannelY + kHeaderH + 4 + i * (kChannelRowH + 4),
                          kChannelRowW, kChannelRowH, kFirstChannelRow + static_cast<std::uint32_t>(i), {});
    // Its close box takes Esc, as the Esc button of a window on top does.
    channelClose_ = lobby.AddButton(kChannelX + kChannelRowW + 16 - 26, kChannelY + 1, 24, 24, kChannelClose,
                                    platform::kVkEscape, gui::atlas::kCloseButton);
    OpenChannelChoice(false);

    // Children are adopted shown; the dialogs wait hidden for their buttons.
    help_ = Make<HelpWindow>();
    createDialog_ = Make<RoomOptionDialog>(nullptr);
    passwordDialog_ = Make<RoomPasswordDialog>();
    practiceSetup_ = Make<PracticeSetupDialog>();
    for (gui::Widget* dialog :
         {static_cast<gui::Widget*>(help_), static_cast<gui::Widget*>(createDialog_),
          static_cast<gui::Widget*>(passwordDialog_), static_cast<gui::Widget*>(practiceSetup_)})
        dialog->SetVisible(false);
}

net::GameSession* SceneLobby::Session() {
    return Host() ? Host()->CurrentSession() : nullptr;
}

void SceneLobby::Enter() {
    busy_ = false;
    OpenChannelChoice(false);
    journaledRooms_.clear();
    journaledPlayers_.clear();
    selected_ = -1;
    createDialog_->SetHost(Host());
    AttachSharedWindows(*this, messengerButton_);
    net::GameSession* session = Session();
    if (session) {
        session->currentRoom = 0;
        // Invitations that came while the player was elsewhere are stale: their rooms have moved on.
        session->TakeInvitations();
        heldInvitation_.reset();
        if (RunPendingAction(*session)) return;
    }
    UpdateOwnInfo();
    RebuildRooms();
    RebuildPlayers();
    RequestRoomList();
}

bool SceneLobby::Leave(ResourceManager* resources, SceneManager* engineScenes) {
    chatEdit_->SetFocus(false);
    return GameScene::Leave(resources, engineScenes);
}

bool SceneLobby::RunPendingAction(net::GameSession& session) {
    net::PendingLobbyAction& action = session.lobbyAction;
    if (!action.active || busy_) return false;
    const net::PendingLobbyAction taken = action;
    action = {};
    if (taken.target == net::kLobbyTargetPractice) {
        if (taken.gameTypeOverride == 1 && net::IsValidGameType(static_cast<int>(taken.gameType)))
            session.GetRoom().gameType = static_cast<std::uint8_t>(taken.gameType);
        GoTo(scene_id::kPractice, front_net::kEnterPractice);
        return true;
    }
    if (taken.target == net::kLobbyTargetShop) {
        GoTo(scene_id::kShop, front_net::kEnterShop);
        return true;
    }
    // Any other target is a room to enter.
    busy_ = true;
    session.SendJoinRoom(taken.target, {});
    return true;
}

void SceneLobby::GoTo(int scene, std::uint16_t enteringMessage) {
    if (enteringMessage && Host()) Host()->SendByteMessage(enteringMessage, 0);
    RequestScene(scene);
}

void SceneLobby::RequestRoomList() {
    if (net::GameSession* session = Session()) {
        lastListRequestMs_ = 0;
        session->SendEmpty(net::Id(net::MessageId::RoomListRequest));
    }
}

void SceneLobby::Update(std::uint64_t nowMs, std::uint64_t) {
    net::GameSession* session = Session();
    if (!session || !IsActive() || !Host()) return;
    // The room list goes stale as other players open and fill rooms.
    if (lastListRequestMs_.load() == 0) lastListRequestMs_ = nowMs ? nowMs : 1;
    if (platform::ElapsedMs(lastListRequestMs_.load(), nowMs) >= kRoomListRefreshMs && !busy_) {
        lastListRequestMs_ = nowMs;
        session->SendEmpty(net::Id(net::MessageId::RoomListRequest));
    }
    const std::uint32_t version = session->listVersion.load();
    if (version != seenListVersion_.exchange(version))
        Host()->PostUiNotice(front_message::kLobbyListsChanged);
}

int SceneLobby::OnPacket(std::uint16_t id, net::Packet* packet) {
    if (!packet || !Host()) return 0;
    if (id == net::Id(net::MessageId::JoinRoomResult)) {
        packet->Rewind();
        std::uint8_t result = 0;
        packet->ReadU8(result);
        net::GameSession* session = Session();
        if (result == 0 && session && !session->JoinedRoomUnshowable()) {
            // The session has read the room block: the game room takes it from there.
            session->currentRoom = session->GetRoom().number;
            RequestScene(scene_id::kGameRoom);
        } else {
            const bool unshowable = result == 0 && session;
            Host()->PostUiMessage(front_message::kLoginFlowAnswer, id, unshowable ? kJoinUnshowable : result,
                                  0);
        }
    } else if (id == front_net::kLobbyChatLine) {
        packet->Rewind();
        WString nickname, text;
        packet->ReadString(nickname).ReadString(text);
        if (packet->IsBad()) return 0;
        bool dropped = false;
        {
            platform::ScopedLock lock(incomingLock_);
            incoming_.push_back(Format(u"%s: %s", nickname, text));
            dropped = incoming_.size() > kMaxIncomingChat;
            if (dropped) incoming_.pop_front();
        }
        if (dropped) LogWrite(u"WARNING : lobby chat flood, an older line was dropped unseen\n");
        Host()->PostUiNotice(front_message::kLobbyListsChanged);
    } else if (id == net::Id(net::MessageId::RoomList)) {
        Host()->PostUiNotice(front_message::kLobbyListsChanged, kRoomListArrived);
    } else if (id == net::Id(net::MessageId::ChannelList)) {
        Host()->PostUiNotice(front_message::kLobbyListsChanged);
    } else if (id == net::Id(net::MessageId::ChooseChannelResult)) {
        packet->Rewind();
        std::uint8_t result = 0;
        packet->ReadU8(result);
        Host()->PostUiMessage(front_message::kLoginFlowAnswer, id, packet->IsBad() ? 1 : result, 0);
    }
    return 0;
}

void SceneLobby::OpenChannelChoice(bool open) {
    if (open) {
        // The rows show what is known now and follow the fresh list when it comes.
        if (net::GameSession* session = Session())
            session->SendEmpty(net::Id(net::MessageId::ChannelListRequest));
        RebuildChannelRows();
    }
    channelPanel_->Show(open);
    channelClose_->Show(open);
    for (std::size_t i = 0; i < channelRows_.size(); ++i)
        channelRows_[i]->Show(open && i < shownChannels_.size());
}

void SceneLobby::RebuildChannelRows() {
    net::GameSession* session = Session();
    shownChannels_ = session ? session->Channels() : std::vector<net::ChannelInfo>{};
    if (shownChannels_.size() > channelRows_.size()) shownChannels_.resize(channelRows_.size());
    const bool open = ChannelChoiceOpen();
    channelPanel_->Resize(
        kChannelRowW + 16,
        kHeaderH + static_cast<int>(std::max<std::size_t>(shownChannels_.size(), 1)) * (kChannelRowH + 4) +
            8);
    // The journal gets the channels with their places whenever they change, as it gets the rooms.
    WString listed = Format(u"CHANNELS %d", static_cast<int>(shownChannels_.size()));
    for (const net::ChannelInfo& c : shownChannels_)
        listed += Format(u" %d:%d/%d", static_cast<int>(c.id), static_cast<int>(c.users),
                         static_cast<int>(c.capacity));
    if (listed != journaledChannels_) {
        journaledChannels_ = listed;
        platform::Journal::Write(ToUtf8(listed));
    }
    for (std::size_t i = 0; i < channelRows_.size(); ++i) {
        gui::Button* row = channelRows_[i];
        if (i >= shownChannels_.size()) {
            row->Show(false);
            continue;
        }
        const net::ChannelInfo& c = shownChannels_[i];
        const bool here = session && c.id == session->currentChannel;
        row->SetCaption(Format(u"%s%s   %d / %d", here ? u"> " : u"", c.name, static_cast<int>(c.users),
                               static_cast<int>(c.capacity)));
        // A full channel is greyed, as a full room is in the room list; its row still answers a click.
        row->SetCaptionColour(IsFull(c) && !here ? gui::skin::kTextDisabled : gui::skin::kText);
        row->Show(open);
    }
}

const WString& SceneLobby::ChannelRowText(int index) const {
    static const WString kNone;
    return index >= 0 && index < static_cast<int>(shownChannels_.size())
               ? channelRows_[static_cast<std::size_t>(index)]->Caption()
               : kNone;
}

void SceneLobby::ChooseChannel(std::uint16_t channel) {
    net::GameSession* session = Session();
    OpenChannelChoice(false);
    if (!session || busy_ || channel == session->currentChannel) return;
    for (const net::ChannelInfo& c : shownChannels_) {
        if (c.id != channel) continue;
        if (IsFull(c)) {
            ShowChannelFull();
            return;
        }
        busy_ = true;
        session->SendChooseChannel(channel);
        return;
    }
}

bool SceneLobby::IsFull(const net::ChannelInfo& channel) {
    return channel.capacity != 0 && channel.users >= channel.capacity;
}

void SceneLobby::ShowChannelFull() {
    // One box whether the list or the server found the channel full.
    if (Host()) Host()->ShowError(this, u"The channel is full.", u"Please choose another channel.");
}

void SceneLobby::OnChannelAnswer(std::uint8_t result) {
    busy_ = false;
    net::GameSession* session = Session();
    if (result != 0 || !session) {
        // The server refuses a channel at its capacity (the list the player chose from was older): he
        // stays in his channel and may choose another.
        ShowChannelFull();
        return;
    }
    // A new channel: its rooms and players replace the old ones.
    selected_ = -1;
    firstRow_ = 0;
    UpdateOwnInfo();
    AddChatLine(Format(u"You are now in %s.", channelInfo_->Text()), kSystemColour);
    RequestRoomList();
}

void SceneLobby::OnJoinAnswer(std::uint32_t result) {
    busy_ = false;
    // The server has seated the player in a room this client cannot show: he leaves it again, so that
    // neither the server nor that room's players count him there.
    if (result == kJoinUnshowable && Host()) Host()->SendByteMessage(front_net::kLeaveRoom, 0);
    if (Host()) Host()->ShowError(this, JoinErrorText(result));
    RequestRoomList();
}

WString SceneLobby::JoinErrorText(std::uint32_t result) {
    switch (result) {
        case 0:
            return {};
        case 1:
            return u"The room no longer exists.";
        case 2:
            return u"The password is wrong.";
        case 3:
            return u"The room is full.";
        case 4:
            return u"The room settings are not valid.";
        case kJoinUnshowable:
            return u"You cannot enter that room with this client.";
        default:
            return u"The room cannot be entered now.";
    }
}

bool SceneLobby::OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    switch (code) {
        case front_message::kLoginFlowAnswer:
            if (a == net::Id(net::MessageId::ChooseChannelResult))
                OnChannelAnswer(static_cast<std::uint8_t>(b));
            if (a == net::Id(net::MessageId::JoinRoomResult)) OnJoinAnswer(static_cast<std::uint32_t>(b));
            return true;
        case front_message::kPracticeSetupOk:
            StartPractice(practiceSetup_->GameType());
            return true;
        case front_message::kLobbyListsChanged: {
            std::deque<WString> lines;
            {
                platform::ScopedLock lock(incomingLock_);
                lines.swap(incoming_);
            }
            for (const WString& line : lines) AppendChat(line, kChatColour);
            if (!lines.empty()) ShowChat();
            RebuildRooms();
            RebuildPlayers();
            UpdateOwnInfo();
            RebuildChannelRows();
            ShowInvitation(a == kRoomListArrived);
            return true;
        }
        case gui::result_code::kInviteAccepted:
            JoinRoom(static_cast<std::uint16_t>(b));
            return true;
        case gui::web_page::kMsgWebPageClosed:
            // The page may have changed the account (cash, items): the lists are asked for again.
            if (gui::WebPageDialog::DialogClosed()) {
                gui::WebPageDialog::ClearDialogClosed();
                webPage_.reset();
                RequestRoomList();
            }
            return true;
        case front_message::kRoomOptionsOk: {
            net::GameSession* session = Session();
            if (!session || busy_) return true;
            busy_ = true;
            session->SendCreateRoom(createDialog_->Room(), createDialog_->Password());
            return true;
        }
        case front_message::kRoomPasswordOk: {
            net::GameSession* session = Session();
            if (!session || busy_) return true;
            busy_ = true;
            session->SendJoinRoom(static_cast<std::uint16_t>(a), passwordDialog_->Password());
            return true;
        }
        default:
            break;
    }
    // Return opens the chat line unless a line is being typed already (the chat's or the messenger's).
    if (code == platform::kWmKeyDown && a == platform::kVkReturn &&
        !gui::TextInputManager::IsTypingOnScreen()) {
        chatEdit_->SetFocus(true);
        return true;
    }
    return false;
}

void SceneLobby::JoinRoom(std::uint16_t number) {
    net::GameSession* session = Session();
    if (!session || busy_) return;
    for (const net::RoomInfo& room : rooms_)
        if (room.number == number && room.hasPassword) {
            passwordDialog_->Open(number, room.title);
            return;
        }
    busy_ = true;
    session->SendJoinRoom(number, {});
}

int SceneLobby::PracticeGameType() {
    OptionsStore* store = Host() ? Host()->UserOptions() : nullptr;
    const int chosen = store ? store->Get().practiceGame : -1;
    if (net::GameTypeHasRules(chosen)) return chosen;
    net::GameSession* session = Session();
    return session ? session->GetRoom().gameType : 0;
}

void SceneLobby::StartPractice(int gameType) {
    net::GameSession* session = Session();
    if (busy_ || !session || !net::GameTypeHasRules(gameType)) return;
    session->GetRoom().gameType = static_cast<std::uint8_t>(gameType);
    // The choice is remembered in config.ini; a file that cannot be written keeps it for this run.
    OptionsStore* store = Host()->UserOptions();
    if (store && store->Get().practiceGame != gameType) {
        store->Update([gameType](Options& o) { o.practiceGame = gameType; });
        const std::string path = Host()->ConfigFilePath();
        int error = 0;
        if (!path.empty() && !store->Get().Save(path, &error))
            LogWrite(
                u"WARNING : config.ini could not be written (%s); the practice game is kept for this run\n",
                FromUtf8(platform::FileErrorText(error)));
    }
    GoTo(scene_id::kPractice, front_net::kEnterPractice);
}

void SceneLobby::ShowInvitation(bool roomListArrived) {
    net::GameSession* session = Session();
    if (!session || !Host()) return;
    std::vector<net::RoomInvitation> invitations = session->TakeInvitations();
    if (!invitations.empty()) {
        heldInvitation_ = std::move(invitations.back());
        heldListAsked_ = false;
    }
    gui::InviteDialog* dialog = Host()->GetInviteDialog();
    if (busy_ || !dialog || dialog->GetParent() != this) heldInvitation_.reset();
    if (!heldInvitation_) return;
    const net::RoomInvitation& newest = *heldInvitation_;
    int gameType = -1;
    for (const net::RoomInfo& room : rooms_)
        if (room.number == newest.roomNumber) gameType = room.gameType;
    if (gameType < 0 && !roomListArrived) {
        if (!heldListAsked_) RequestRoomList();
        heldListAsked_ = true;
        return;
    }
    dialog->SetInvitation(newest.sender, newest.roomNumber, newest.title, gameType);
    dialog->Open();
    heldInvitation_.reset();
}

bool SceneLobby::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    const std::uint32_t id = event.source->Id();
    if (id >= kFirstRoomRow && id < kFirstRoomRow + kVisibleRooms) {
        const int index = firstRow_ + static_cast<int>(id - kFirstRoomRow);
        if (index >= static_cast<int>(rooms_.size())) return true;
        selected_ = index;
        ShowRoomRows();
        if (event.value == 1) JoinRoom(rooms_[static_cast<std::size_t>(index)].number);
        return true;
    }
    if (id >= kFirstChannelRow && id < kFirstChannelRow + kChannelRows) {
        const std::size_t index = id - kFirstChannelRow;
        if (index < shownChannels_.size()) ChooseChannel(shownChannels_[index].id);
        return true;
    }
    net::GameSession* session = Session();
    switch (id) {
        case kChannelChoice:
            OpenChannelChoice(!ChannelChoiceOpen() && !busy_);
            return true;
        case kChannelClose:
            OpenChannelChoice(false);
            return true;
        case kRoomScroll:
            firstRow_ = event.value > 0 ? event.value - 1 : 0;
            ShowRoomRows();
            return true;
        case kCreateRoom:
            if (!busy_)
                createDialog_->OpenForCreate(
                    session ? Format(u"%s's room", session->own.nickname) : WString(u"Room"), 4);
            return true;
        case kJoin:
            if (selected_ >= 0 && selected_ < static_cast<int>(rooms_.size()))
                JoinRoom(rooms_[static_cast<std::size_t>(selected_)].number);
            return true;
        case kRefresh:
            RequestRoomList();
            return true;
        case kPractice:
            if (!busy_) practiceSetup_->Open(PracticeGameType());
            return true;
        case kShop:
            if (!busy_) GoTo(scene_id::kShop, front_net::kEnterShop);
            return true;
        case kGallery:
            if (!busy_) GoTo(scene_id::kShotGallery, 0);
            return true;
        case kSchool:
            if (!busy_) GoTo(scene_id::kSchool, 0);
            return true;
        case kMessenger:
            if (auto* messenger = dynamic_cast<Messenger*>(Host() ? Host()->GetMessenger() : nullptr)) {
                if (messenger->IsVisible())
                    messenger->Show(false);
                else
                    messenger->OpenPage(Messenger::kFriends);
            }
            return true;
        case kOptions:
            OpenOptionDialog(Host() ? Host()->GetOptionDialog() : nullptr);
            return true;
        case kHelp:
            help_->Open(HelpWindow::kLobby, 4);
            return true;
        case kHomePage:
            OpenWebPage(gui::web_page::kPathHome);
            return true;
        case kExit:
            if (Host()) Host()->PostQuit();
            return true;
        case kSend:
            SendChat();
            return true;
        case kChatEdit:
            // Enter sends the line; Esc leaves the chat line.
            if (event.value == static_cast<std::int32_t>(platform::kVkReturn)) SendChat();
            if (event.value == static_cast<std::int32_t>(platform::kVkEscape)) chatEdit_->SetFocus(false);
            return true;
        default:
            return false;
    }
}

void SceneLobby::OpenWebPage(const std::string& path) {
    net::GameSession* session = Session();
    SceneHost* host = Host();
    if (!session || !host || gui::WebPageDialog::AnyOpen()) return;
    webPage_ = gui::WebPageDialog::Open(session->loginId, session->password, path,
                                        platform::CreateWebView(platform::WebViewBackendFromEnvironment()),
                                        [host](std::uint32_t code, std::uint32_t a, std::uint32_t b,
                                               std::uint32_t c) { host->PostUiMessage(code, a, b, c); });
}

void SceneLobby::SendChat() {
    const WString text = chatEdit_->GetText();
    chatEdit_->SetText({});
    bool blank = true;
    for (char16_t c : text) blank = blank && (c == u' ' || c == 0x3000);
    net::GameSession* session = Session();
    if (blank || !session) return;
    if (session->own.IsChatBanned()) {
        AddChatLine(u"You cannot chat at the moment.", kErrorColour);
        return;
    }
    net::PooledPacket p = session->NewPacket(front_net::kLobbyChat);
    if (!p) return;
    p->WriteString(text);
    if (!session->Send(*p)) AddChatLine(u"The message could not be sent.", kErrorColour);
}

void SceneLobby::AddChatLine(const WString& text, std::uint32_t argb) {
    AppendChat(text, argb);
    ShowChat();
}

void SceneLobby::AppendChat(const WString& text, std::uint32_t argb) {
    chat_.emplace_back(text, argb);
    while (chat_.size() > static_cast<std::size_t>(kChatLines)) chat_.pop_front();
    platform::JournalChat(argb, ToUtf8(text));
}

void SceneLobby::ShowChat() {
    for (std::size_t i = 0; i < chatRows_.size(); ++i) {
        chatRows_[i]->SetPlainText(i < chat_.size() ? chat_[i].first : WString());
        chatRows_[i]->SetColors(i < chat_.size() ? chat_[i].second : kChatColour, 0xFF000000);
    }
}

const WString& SceneLobby::ChatLine(int index) const {
    static const WString kNone;
    return index >= 0 && index < kChatLines ? chatRows_[static_cast<std::size_t>(index)]->Text() : kNone;
}

void SceneLobby::RebuildRooms() {
    net::GameSession* session = Session();
    const std::uint16_t selectedNumber = selected_ >= 0 && selected_ < static_cast<int>(rooms_.size())
                                             ? rooms_[static_cast<std::size_t>(selected_)].number
                                             : 0;
    rooms_ = session ? session->LobbyRooms() : std::vector<net::RoomInfo>{};
    selected_ = -1;
    for (std::size_t i = 0; i < rooms_.size(); ++i)
        if (selectedNumber && rooms_[i].number == selectedNumber) selected_ = static_cast<int>(i);
    const int range = std::max(1, static_cast<int>(rooms_.size()) - kVisibleRooms + 1);
    roomScroll_->SetRange(range);
    firstRow_ = std::min(firstRow_, range - 1);
    roomScroll_->SetPos(firstRow_, false);
    // The journal gets the list whenever the rooms shown change, so a run can be checked from outside.
    WString listed = Format(u"ROOMS %d", static_cast<int>(rooms_.size()));
    for (const net::RoomInfo& room : rooms_) listed += Format(u" %d", static_cast<int>(room.number));
    if (listed != journaledRooms_) {
        journaledRooms_ = listed;
        platform::Journal::Write(ToUtf8(listed));
    }
    roomCount_->SetPlainText(rooms_.empty()       ? WString(u"No rooms yet: create one!")
                             : rooms_.size() == 1 ? WString(u"1 room")
                                                  : Format(u"%d rooms", static_cast<int>(rooms_.size())));
    ShowRoomRows();
}

void SceneLobby::ShowRoomRows() {
    for (int i = 0; i < kVisibleRooms; ++i) {
        const int index = firstRow_ + i;
        const bool has = index < static_cast<int>(rooms_.size());
        roomRows_[static_cast<std::size_t>(i)]->SetRoom(
            has ? &rooms_[static_cast<std::size_t>(index)] : nullptr, has && index == selected_);
    }
}

void SceneLobby::RebuildPlayers() {
    net::GameSession* session = Session();
    std::vector<WString> lines;
    WString listed;
    int count = 0;
    if (session) {
        lines.push_back(
            Format(u"Lv %d  %s  (you)", static_cast<int>(session->own.level), session->own.nickname));
        listed = u" " + session->own.nickname;
        count = 1;
        for (const net::LobbyPlayer& p : session->LobbyPlayers())
            if (p.playerId != session->own.playerId) {
                lines.push_back(Format(u"Lv %d  %s", static_cast<int>(p.level), p.nickname));
                listed += u" " + p.nickname;
                ++count;
            }
    }
    // The journal gets the players shown whenever they change, as it gets the rooms.
    listed = Format(u"PLAYERS %d", count) + listed;
    if (listed != journaledPlayers_) {
        journaledPlayers_ = listed;
        platform::Journal::Write(ToUtf8(listed));
    }
    for (std::size_t i = 0; i < playerRows_.size(); ++i) {
        playerRows_[i]->SetPlainText(i < lines.size() ? lines[i] : WString());
        playerRows_[i]->SetColors(i == 0 ? kGold : gui::skin::kText, 0xFF000000);
    }
}

void SceneLobby::UpdateOwnInfo() {
    net::GameSession* session = Session();
    if (!session) return;
    const net::PlayerRecord& own = session->own;
    const WString record[kRecordLines] = {
        Format(u"%s   Level %d", own.nickname, static_cast<int>(own.level)),
        Format(u"Gold  %s", FormatNumber(own.money)),
        Format(u"Average  %d.%02d", static_cast<int>(own.generalAverage / 100),
               static_cast<int>(own.generalAverage % 100)),
        own.clanName.empty() ? WString(u"No clan") : Format(u"Clan  %s", own.clanName),
    };
    for (int i = 0; i < kRecordLines; ++i) recordRows_[static_cast<std::size_t>(i)]->SetPlainText(record[i]);
    ownInfo_->SetPlainText(Format(u"%s   Lv %d   Gold %s", session->own.nickname,
                                  static_cast<int>(session->own.level), FormatNumber(session->own.money)));
    WString channel = Format(u"Channel %d", static_cast<int>(session->currentChannel));
    for (const net::ChannelInfo& c : session->Channels())
        if (c.id == session->currentChannel) channel = c.name;
    channelInfo_->SetPlainText(channel);
}

}  // namespace scenes
