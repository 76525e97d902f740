#pragma once
// The messenger: the friend and clan lists of the session, whispers to and from a chosen friend,
// the friend requests that arrive, and the questions about a player (friend request, chat cut,
// kick, clan invitation) that the scenes ask through it. It is a shared window: each scene attaches
// it and its icon.

#include <array>
#include <cstdint>
#include <memory>

#include "gui/Dialog.h"

namespace gui {
class Button;
class EditBox;
class MessageDialog;
class TextLabel;
}  // namespace gui
namespace net {
class GameSession;
class PlayerRecord;
}  // namespace net

namespace scenes {

class SceneHost;

class Messenger : public gui::Dialog {
public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 460;
    static constexpr int kRows = 9;
    // Its place: this far from the client area's right side and top, unless that covers controls of
    // the scene (GameScene::ControlsToKeepClear), where it takes the nearest place clear of them.
    static constexpr int kRightMargin = 16, kTop = 80;
    static constexpr int kConversationLines = 4;
    // Question kinds, also the kinds of the request sent when the player confirms.
    enum Question : int {
        kFriendRequest = 1,
        kAcceptFriend = 2,
        kChatCut = 4,
        kKick = 5,
        kClanInvitation = 6
    };
    enum Page : int { kFriends = 0, kClan = 1 };

    explicit Messenger(SceneHost* host);
    ~Messenger() override;

    // Shows the messenger on its clan page.
    void OpenClanDialog();
    void OpenPage(int page);
    // Scene entry: shows the messenger again if it was open when the last scene was left.
    void RestoreOnSceneEnter();
    // Scene entry: the messenger and its question popup become children of `scene`, shown again
    // when the messenger was open on the scene left. The messenger takes its place over the scene
    // and follows the client area's size; where the player dragged it, it stays (inside the area)
    // until the next scene.
    void MoveToScene(gui::Widget& scene);
    // Takes the messenger's place over the scene it is in (kRightMargin, kTop).
    void Place();
    // The scene's messenger button shows the new-message mark while whispers or requests wait.
    void AttachAlertIcon(gui::Button* button);
    void ReleaseChatFocus();
    // The whisper line takes the keyboard (Tab from a room's chat line).
    void FocusChatInput();
    // Asks about the oldest friend request waiting, if any.
    void ShowNextFriendRequest();
    // The question popup about a player; Yes sends the request of that kind.
    void ShowQuestion(const net::PlayerRecord& record, int kind);
    bool WasOpen() const { return wasOpen_; }
    // The button that shows the new-message mark now (the current scene's).
    gui::Button* AlertButton() const { return alertButton_; }
    int CurrentPage() const { return page_; }
    // Row i of the list shown.
    const WString& Row(int index) const;
    // Line i of the conversation shown, oldest first.
    const WString& ConversationLine(int index) const;
    // The friend whispers go to (empty while none is chosen); a click on a friend's row chooses it.
    const WString& WhisperTarget() const { return target_; }
    void ChooseRow(int index);
    // Sends the whisper line to the chosen friend (Enter in the line, or the "Whisper" button).
    void SendWhisper();
    gui::EditBox* WhisperInput() const { return whisperInput_; }
    gui::EditBox* NicknameInput() const { return input_; }
    // The question popup (tests and the scene that attaches it).
    gui::MessageDialog* QuestionBox() const { return question_.get(); }

    void Show(bool visible) override;
    void OnResize(int width, int height) override;
    bool OnCommand(const gui::CommandEvent& event) override;
    // Re-reads the session's lists into the rows.
    void Refresh();

private:
    class QuestionPopup;
    class FriendRow;
    class Watcher;
    // Follows the session's lists, hidden or shown: the rows, the questions and the mark.
    void Poll();
    void ShowStatus(const WString& text);
    void SendRequest(int kind, std::uint64_t playerId, const WString& nickname);
    void Answer(bool yes);
    void UpdateAlert();
    // "FRIENDS <count> <nickname>..." in the journal when the session's friend list changed since.
    void JournalFriends(net::GameSession& session);
    // The question popup is a sibling of the messenger, in the scene it lives in now.
    void OpenQuestion();

    SceneHost* host_;
    int page_ = kFriends;
    bool wasOpen_ = false;
    std::uint32_t seenVersion_ = 0xFFFFFFFFu;
    std::array<FriendRow*, kRows> rows_{};
    std::array<gui::TextLabel*, kConversationLines> conversation_{};
    gui::TextLabel* statusLine_ = nullptr;
    gui::EditBox* whisperInput_ = nullptr;
    gui::EditBox* input_ = nullptr;
    WString target_;
    WString status_;  // a line of the messenger's own (a request sent, no friend chosen)
    gui::Button* alertButton_ = nullptr;
    std::unique_ptr<gui::MessageDialog> question_;
    // A widget of no size that stays visible in the messenger's scene, so the mark follows the
    // session while the messenger itself is hidden (hidden widgets are not ticked).
    std::unique_ptr<Watcher> watcher_;
    int questionKind_ = 0;
    std::uint64_t questionPlayer_ = 0;
    WString questionNickname_;
    std::uint32_t whispersSeen_ = 0;  // conversation lines read while the messenger showed
    std::uint32_t journalled_ = 0;    // conversation lines written to the journal
    WString journaledFriends_;        // the friend list as the journal has it last

    friend class QuestionPopup;
};

}  // namespace scenes
