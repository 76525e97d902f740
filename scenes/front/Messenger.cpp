#include "scenes/front/Messenger.h"

#include <algorithm>
#include <string>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/MessageDialog.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/GameSession.h"
#include "net/PlayerRecord.h"
#include "platform/sys/Journal.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/GameScene.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"

namespace scenes {

namespace {
constexpr std::uint32_t kFriendsTab = 3401, kClanTab = 3402, kAddFriend = 3403, kInput = 3404, kClose = 3405,
                        kWhisperInput = 3406, kWhisperButton = 3407, kFirstRow = 3410;
constexpr std::uint32_t kOnline = 0xFF7CFC7C, kOffline = 0xFF9098A4, kAlert = 0xFFFFD040,
                        kSentColour = 0xFF9CC8FF, kNoticeColour = 0xFFFF9C9C, kRowChosen = 0xFF34507A;
constexpr int kRowH = 22, kRowsTop = 68, kLineH = 20;

WString NoticeText(net::MessengerNotice notice, const WString& nickname) {
    switch (notice) {
        case net::MessengerNotice::NoSuchPlayer:
            return Format(u"There is no player called %s.", nickname);
        case net::MessengerNotice::NotOnline:
            return Format(u"%s is not online.", nickname);
        case net::MessengerNotice::RefusesWhispers:
            return Format(u"%s does not accept whispers.", nickname);
        case net::MessengerNotice::RequestRefused:
            return Format(u"%s refused your friend request.", nickname);
        case net::MessengerNotice::AlreadyFriends:
            return Format(u"%s is already your friend.", nickname);
    }
    return {};
}

// A conversation line as the messenger shows it, and its colour.
WString LineText(const net::ChatMessage& m, std::uint32_t& argb) {
    switch (m.kind) {
        case net::ChatMessage::Kind::Received:
            argb = gui::skin::kText;
            return Format(u"%s: %s", m.sender, m.text);
        case net::ChatMessage::Kind::Sent:
            argb = kSentColour;
            return Format(u"To %s: %s", m.sender, m.text);
        case net::ChatMessage::Kind::Notice:
            argb = kNoticeColour;
            return NoticeText(m.notice, m.sender);
    }
    return {};
}

WString QuestionText(int kind, const WString& nickname) {
    switch (kind) {
        case Messenger::kFriendRequest:
            return Format(u"Ask %s to be your friend?", nickname);
        case Messenger::kAcceptFriend:
            return Format(u"%s wants to be your friend. Accept?", nickname);
        case Messenger::kChatCut:
            return Format(u"Stop reading the chat of %s?", nickname);
        case Messenger::kKick:
            return Format(u"Send %s out of the room?", nickname);
        case Messenger::kClanInvitation:
            return Format(u"Invite %s to your clan?", nickname);
        default:
            return {};
    }
}
}  // namespace

// A row of the friend or clan list: a name in the colour of its online state; a click chooses it as
// the one whispers go to.
class Messenger::FriendRow : public gui::Widget {
public:
    FriendRow(int x, int y, int w, int h, std::uint32_t id) {
        Widget::Create(x, y, w, h, id);
        SetVisible(true);
    }
    void Set(const WString& text, const WString& name, std::uint32_t argb, bool chosen) {
        text_ = text;
        name_ = name;
        argb_ = argb;
        chosen_ = chosen;
    }
    const WString& Text() const { return text_; }
    const WString& Name() const { return name_; }
    void Draw(gui::Painter& painter, int x, int y) override {
        if (chosen_) painter.Fill(x, y, Width(), Height(), kRowChosen);
        painter.Text(gui::kFont12, text_, x + 4, y, Width() - 8, Height(),
                     gui::align::kLeft | gui::align::kVCenter, argb_, 0xFF000000);
    }
    bool OnMouse(const gui::MouseEvent& event) override {
        if (event.message != platform::kWmLButtonDown || name_.empty()) return false;
        Notify(0);
        return true;
    }

private:
    WString text_, name_;
    std::uint32_t argb_ = kOffline;
    bool chosen_ = false;
};

class Messenger::Watcher : public gui::Widget {
public:
    explicit Watcher(Messenger& owner) : owner_(owner) { SetVisible(true); }
    void Tick(std::uint64_t) override { owner_.Poll(); }

private:
    Messenger& owner_;
};

// The question popup: Yes and No go back to the messenger, which sends the answer.
class Messenger::QuestionPopup : public gui::MessageDialog {
public:
    explicit QuestionPopup(Messenger& owner) : gui::MessageDialog(u"Messenger", 320, 170), owner_(owner) {
        SetButtons(gui::button_id::kYes, u"Yes", gui::button_id::kNo, u"No");
    }
    bool OnCommand(const gui::CommandEvent& event) override {
        if (event.code != gui::CommandCode::Event || !event.source) return false;
        if (event.source == ConfirmButton() || event.source == OtherButton()) {
            Show(false);
            owner_.Answer(event.source == ConfirmButton());
            return true;
        }
        return false;
    }

private:
    Messenger& owner_;
};

Messenger::Messenger(SceneHost* host) : host_(host) {
    SetUpDialog(*this, kWidth, kHeight, u"Messenger", false);
    SetDraggable(true);
    AddTextButton(*this, 12, 34, 90, 26, kFriendsTab, u"Friends");
    AddTextButton(*this, 106, 34, 90, 26, kClanTab, u"Clan");
    AddTextButton(*this, kWidth - 36, 4, 24, 20, kClose, u"X", platform::kVkEscape);
    for (int i = 0; i < kRows; ++i)
        rows_[static_cast<std::size_t>(i)] = Make<FriendRow>(12, kRowsTop + i * kRowH, kWidth - 24, kRowH,
                                                             kFirstRow + static_cast<std::uint32_t>(i));
    // The conversation: the newest whispers and the server's notices, then the messenger's own line.
    const int conversationTop = kRowsTop + kRows * kRowH + 6;
    for (int i = 0; i < kConversationLines; ++i)
        conversation_[static_cast<std::size_t>(i)] =
            AddTextLine(*this, 16, conversationTop + i * kLineH, kWidth - 32, kLineH, {});
    statusLine_ = AddTextLine(*this, 16, conversationTop + kConversationLines * kLineH, kWidth - 32, kLineH,
                              {}, gui::kFont12, gui::align::kLeft | gui::align::kVCenter, kAlert);
    whisperInput_ = AddEditField(*this, 12, kHeight - 80, 180, 26, kWhisperInput, 60);
    AddTextButton(*this, 198, kHeight - 82, 90, 30, kWhisperButton, u"Whisper");
    input_ = AddEditField(*this, 12, kHeight - 44, 180, 26, kInput, 12);
    AddTextButton(*this, 198, kHeight - 46, 90, 30, kAddFriend, u"Add friend");
    question_ = std::make_unique<QuestionPopup>(*this);
    watcher_ = std::make_unique<Watcher>(*this);
    SetVisible(false);
}

Messenger::~Messenger() {
    if (question_ && question_->GetParent()) question_->GetParent()->RemoveChild(question_.get());
    if (watcher_ && watcher_->GetParent()) watcher_->GetParent()->RemoveChild(watcher_.get());
}

void Messenger::Show(bool visible) {
    // Opened, it takes its place, or the one the player dragged it to in this scene.
    if (visible && !IsVisible() && !MovedByPlayer()) Place();
    gui::Dialog::Show(visible);
    wasOpen_ = visible;
    if (!visible) {
        // Closed, it leaves the keys to the scene.
        ReleaseChatFocus();
        return;
    }
    Refresh();
    // Opened, the messenger shows what waited: the mark goes out.
    if (net::GameSession* session = host_ ? host_->CurrentSession() : nullptr)
        whispersSeen_ = session->conversationLines.load();
    UpdateAlert();
    ShowNextFriendRequest();
}

void Messenger::OpenPage(int page) {
    page_ = page == kClan ? kClan : kFriends;
    if (!IsVisible()) Show(true);
    Refresh();
}

void Messenger::OpenClanDialog() {
    OpenPage(kClan);
}

void Messenger::RestoreOnSceneEnter() {
    SetVisible(wasOpen_);
    if (wasOpen_) Refresh();
    UpdateAlert();
}

void Messenger::MoveToScene(gui::Widget& scene) {
    scene.AddChild(this, false);
    Place();
    scene.AddChild(watcher_.get(), true);
    // A question asked on the last scene stays open over the new one.
    if (question_->GetParent() && question_->GetParent() != &scene) scene.AddChild(question_.get());
    RestoreOnSceneEnter();
}

void Messenger::Place() {
    const gui::Widget* parent = GetParent();
    if (!parent) return;
    std::vector<gui::ScreenRect> selection, keepClear;
    if (const auto* scene = dynamic_cast<const GameScene*>(parent)) {
        selection = scene->SelectionToKeepClear();
        if (const gui::Widget* controls = scene->ControlsToKeepClear())
            keepClear = gui::ShownControls(*controls);
    }
    const gui::ScreenRect area = Area();
    const gui::ScreenPoint at = gui::ClearPlace(
        kWidth, kHeight, area, {area.right - kWidth - kRightMargin, kTop}, selection, keepClear);
    PlaceAt(at.x, at.y);
}

void Messenger::OnResize(int width, int height) {
    // The client area changed size: a messenger the player moved stays inside it (as every dialog
    // does), another takes its place anew.
    gui::Dialog::OnResize(width, height);
    if (!MovedByPlayer()) Place();
}

void Messenger::OpenQuestion() {
    if (GetParent() && question_->GetParent() != GetParent()) GetParent()->AddChild(question_.get(), false);
    question_->Open();
}

void Messenger::AttachAlertIcon(gui::Button* button) {
    alertButton_ = button;
    UpdateAlert();
}

void Messenger::ReleaseChatFocus() {
    if (input_ && input_->HasFocus()) input_->SetFocus(false);
    if (whisperInput_ && whisperInput_->HasFocus()) whisperInput_->SetFocus(false);
}

void Messenger::FocusChatInput() {
    if (whisperInput_ && IsVisible()) whisperInput_->SetFocus(true);
}

void Messenger::ShowStatus(const WString& text) {
    status_ = text;
    statusLine_->SetPlainText(text);
}

void Messenger::ChooseRow(int index) {
    if (index < 0 || index >= kRows) return;
    const WString& name = rows_[static_cast<std::size_t>(index)]->Name();
    if (name.empty()) return;
    target_ = name;
    ShowStatus(Format(u"Whispers go to %s.", name));
    Refresh();
    whisperInput_->SetFocus(true);
}

void Messenger::SendWhisper() {
    const WString text = whisperInput_->GetText();
    if (text.empty()) return;
    if (target_.empty()) {
        ShowStatus(u"Choose a friend in the list first.");
        return;
    }
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    if (!session || !session->IsConnected() || !session->SendWhisper(target_, text)) {
        ShowStatus(u"The whisper could not be sent.");
        return;
    }
    whisperInput_->SetText({});
    ShowStatus({});
    Refresh();
}

void Messenger::ShowNextFriendRequest() {
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    if (!session || question_->IsVisible()) return;
    net::FriendEntry next;
    {
        platform::ScopedLock lock(session->listLock);
        if (session->friendRequests.empty()) return;
        next = session->friendRequests.front();
        session->friendRequests.erase(session->friendRequests.begin());
    }
    ++session->listVersion;
    questionKind_ = kAcceptFriend;
    questionPlayer_ = next.playerId;
    questionNickname_ = next.nickname;
    question_->SetLine(1, QuestionText(kAcceptFriend, next.nickname));
    OpenQuestion();
}

void Messenger::ShowQuestion(const net::PlayerRecord& record, int kind) {
    const WString text = QuestionText(kind, record.nickname);
    if (text.empty() || record.nickname.empty()) return;
    questionKind_ = kind;
    questionPlayer_ = record.playerId;
    questionNickname_ = record.nickname;
    question_->SetLine(1, text);
    OpenQuestion();
}

void Messenger::Answer(bool yes) {
    // A refused friend request is answered too, so the asking player learns of it.
    if (questionKind_ == kAcceptFriend)
        SendRequest(yes ? kAcceptFriend : 3, questionPlayer_, questionNickname_);
    else if (yes)
        SendRequest(questionKind_, questionPlayer_, questionNickname_);
    questionKind_ = 0;
    ShowNextFriendRequest();
}

void Messenger::SendRequest(int kind, std::uint64_t playerId, const WString& nickname) {
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    if (!session || !session->IsConnected()) return;
    net::PooledPacket p = session->NewPacket(front_net::kPlayerRequest);
    if (!p) return;
    p->WriteU8(static_cast<std::uint8_t>(kind)).WriteU64(playerId).WriteString(nickname);
    session->Send(*p);
}

const WString& Messenger::Row(int index) const {
    static const WString kNone;
    return index >= 0 && index < kRows ? rows_[static_cast<std::size_t>(index)]->Text() : kNone;
}

const WString& Messenger::ConversationLine(int index) const {
    static const WString kNone;
    return index >= 0 && index < kConversationLines ? conversation_[static_cast<std::size_t>(index)]->Text()
                                                    : kNone;
}

void Messenger::Refresh() {
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    struct Line {
        WString text, name;
        bool online = false;
    };
    std::vector<Line> lines;
    if (session) {
        seenVersion_ = session->listVersion.load();
        JournalFriends(*session);
        platform::ScopedLock lock(session->listLock);
        if (page_ == kFriends) {
            for (const net::FriendEntry& f : session->friends)
                lines.push_back(
                    {f.online ? Format(u"%s  (online)", f.nickname) : f.nickname, f.nickname, f.online != 0});
        } else {
            for (const net::ClanMember& m : session->clanMembers)
                lines.push_back({m.grade >= 10 ? Format(u"%s  [master]", m.nickname) : m.nickname, m.nickname,
                                 m.online != 0});
        }
    }
    if (lines.empty())
        lines.push_back({page_ == kFriends ? u"No friends yet." : u"You are not in a clan.", {}});
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Line line = i < lines.size() ? lines[i] : Line{};
        rows_[i]->Set(line.text, line.name, line.online ? kOnline : kOffline,
                      !line.name.empty() && line.name == target_);
    }
    std::vector<net::ChatMessage> said;
    if (session) said = session->Whispers();
    const std::size_t first = said.size() > conversation_.size() ? said.size() - conversation_.size() : 0;
    for (std::size_t i = 0; i < conversation_.size(); ++i) {
        gui::TextLabel* label = conversation_[i];
        if (first + i >= said.size()) {
            label->SetPlainText({});
            continue;
        }
        std::uint32_t argb = 0;
        label->SetPlainText(LineText(said[first + i], argb));
        label->SetColors(argb, 0xFF000000);
    }
    statusLine_->SetPlainText(status_);
}

void Messenger::JournalFriends(net::GameSession& session) {
    WString listed;
    int count = 0;
    {
        platform::ScopedLock lock(session.listLock);
        for (const net::FriendEntry& f : session.friends) {
            listed += u" " + f.nickname;
            ++count;
        }
    }
    listed = Format(u"FRIENDS %d", count) + listed;
    if (listed == journaledFriends_) return;
    journaledFriends_ = listed;
    platform::Journal::Write(ToUtf8(listed));
}

void Messenger::UpdateAlert() {
    if (!alertButton_) return;
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    bool waiting = false;
    if (session) {
        waiting = session->conversationLines.load() != whispersSeen_;
        platform::ScopedLock lock(session->listLock);
        waiting = waiting || !session->friendRequests.empty();
    }
    alertButton_->SetCaptionColour(waiting ? kAlert : gui::skin::kText);
}

void Messenger::Poll() {
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    // Refresh() may have caught up with the lists already; lines not yet journalled still count.
    if (!session ||
        (session->listVersion.load() == seenVersion_ && session->conversationLines.load() == journalled_))
        return;
    seenVersion_ = session->listVersion.load();
    JournalFriends(*session);
    // Each conversation line is an event of the journal when it arrives, shown or not.
    std::uint32_t lines = 0;
    const std::vector<net::ChatMessage> said = session->Whispers(lines);
    if (lines < journalled_) journalled_ = 0;  // another session
    const std::size_t fresh = std::min<std::size_t>(lines - journalled_, said.size());
    for (std::size_t i = said.size() - fresh; i < said.size(); ++i) {
        std::uint32_t argb = 0;
        const std::string text = ToUtf8(LineText(said[i], argb));
        platform::JournalChat(argb, text);
        // With nobody chosen yet, a reply goes to whoever whispered last.
        if (target_.empty() && said[i].kind == net::ChatMessage::Kind::Received) target_ = said[i].sender;
    }
    journalled_ = lines;
    if (IsVisible()) {
        // A line that arrives replaces the messenger's own word of the last action.
        if (lines != whispersSeen_) status_.clear();
        Refresh();
        whispersSeen_ = lines;
        // A friend request that waits is asked about while the messenger is open.
        ShowNextFriendRequest();
    }
    UpdateAlert();
}

bool Messenger::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    const std::uint32_t id = event.source->Id();
    if (id >= kFirstRow && id < kFirstRow + kRows) {
        ChooseRow(static_cast<int>(id - kFirstRow));
        return true;
    }
    switch (id) {
        case kWhisperButton:
            SendWhisper();
            return true;
        case kWhisperInput:
            if (event.value == static_cast<std::int32_t>(platform::kVkReturn)) SendWhisper();
            if (event.value == static_cast<std::int32_t>(platform::kVkEscape)) whisperInput_->SetFocus(false);
            return true;
        case kFriendsTab:
            OpenPage(kFriends);
            return true;
        case kClanTab:
            OpenPage(kClan);
            return true;
        case kClose:
            Show(false);
            return true;
        case kAddFriend: {
            const WString nickname = input_->GetText();
            if (nickname.empty()) return true;
            SendRequest(kFriendRequest, 0, nickname);
            input_->SetText({});
            ShowStatus(Format(u"A friend request went to %s.", nickname));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace scenes
