#include "scenes/front/Messenger.h"

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/MessageDialog.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/GameSession.h"
#include "net/PlayerRecord.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"

namespace scenes {

namespace {
constexpr std::uint32_t kFriendsTab = 3401, kClanTab = 3402, kAddFriend = 3403, kInput = 3404, kClose = 3405;
constexpr std::uint32_t kOnline = 0xFF7CFC7C, kOffline = 0xFF9098A4, kAlert = 0xFFFFD040;

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
    AddTextButton(*this, 12, 34, 90, 26, kFriendsTab, u"Friends");
    AddTextButton(*this, 106, 34, 90, 26, kClanTab, u"Clan");
    AddTextButton(*this, kWidth - 36, 4, 24, 20, kClose, u"X");
    for (int i = 0; i < kRows; ++i)
        rows_[static_cast<std::size_t>(i)] = AddTextLine(*this, 16, 68 + i * 22, kWidth - 32, 22, {});
    whisper_ = AddTextLine(*this, 16, 68 + kRows * 22 + 6, kWidth - 32, 22, {}, gui::kFont12,
                           gui::align::kLeft | gui::align::kVCenter, kAlert);
    input_ = AddEditField(*this, 12, kHeight - 44, 180, 26, kInput, 12);
    AddTextButton(*this, 198, kHeight - 46, 90, 30, kAddFriend, u"Add friend");
    question_ = std::make_unique<QuestionPopup>(*this);
    SetVisible(false);
}

Messenger::~Messenger() {
    if (question_ && question_->GetParent()) question_->GetParent()->RemoveChild(question_.get());
}

void Messenger::Show(bool visible) {
    // Opened the first time (by any scene's button), it takes its place at the right of the screen.
    if (visible && X() == 0 && Y() == 0 && host_) MoveTo(host_->ClientWidth() - kWidth - 16, 80);
    gui::Dialog::Show(visible);
    wasOpen_ = visible;
    if (visible) Refresh();
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
    // A question asked on the last scene stays open over the new one.
    if (question_->GetParent() && question_->GetParent() != &scene) scene.AddChild(question_.get());
    RestoreOnSceneEnter();
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
}

void Messenger::FocusChatInput() {
    if (input_ && IsVisible()) input_->SetFocus(true);
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

void Messenger::Refresh() {
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    std::vector<std::pair<WString, bool>> lines;
    if (session) {
        seenVersion_ = session->listVersion.load();
        platform::ScopedLock lock(session->listLock);
        if (page_ == kFriends) {
            for (const net::FriendEntry& f : session->friends)
                lines.emplace_back(f.online ? Format(u"%s  (online)", f.nickname) : f.nickname,
                                   f.online != 0);
        } else {
            for (const net::ClanMember& m : session->clanMembers)
                lines.emplace_back(m.grade >= 10 ? Format(u"%s  [master]", m.nickname) : m.nickname,
                                   m.online != 0);
        }
    }
    if (lines.empty())
        lines.emplace_back(page_ == kFriends ? u"No friends yet." : u"You are not in a clan.", false);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i]->SetPlainText(i < lines.size() ? lines[i].first : WString());
        rows_[i]->SetColors(i < lines.size() && lines[i].second ? kOnline : kOffline, 0xFF000000);
    }
    if (session) {
        const std::vector<net::ChatMessage> whispers = session->Whispers();
        whisper_->SetPlainText(
            whispers.empty() ? WString() : Format(u"%s: %s", whispers.back().sender, whispers.back().text));
    }
}

void Messenger::UpdateAlert() {
    if (!alertButton_) return;
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    bool waiting = false;
    if (session) {
        // The whispers have their own lock: read them outside the list lock.
        waiting = session->Whispers().size() > whispersSeen_;
        platform::ScopedLock lock(session->listLock);
        waiting = waiting || !session->friendRequests.empty();
    }
    alertButton_->SetCaptionColour(waiting ? kAlert : gui::skin::kText);
}

void Messenger::Tick(std::uint64_t nowMs) {
    gui::Dialog::Tick(nowMs);
    net::GameSession* session = host_ ? host_->CurrentSession() : nullptr;
    if (!session || session->listVersion.load() == seenVersion_) return;
    if (IsVisible()) {
        Refresh();
        whispersSeen_ = session->Whispers().size();
    }
    UpdateAlert();
}

bool Messenger::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    switch (event.source->Id()) {
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
            whisper_->SetPlainText(Format(u"A friend request went to %s.", nickname));
            return true;
        }
        default:
            return false;
    }
}

}  // namespace scenes
