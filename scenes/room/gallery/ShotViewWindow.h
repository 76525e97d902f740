#pragma once
// The shot window of the shot gallery: one shot's title, owner, points and replies, with "Play the
// shot", "Recommend this shot" and "View the list"; and its reply dialog, which sends a reply with
// recommendation points to the game server (message 255). Main thread only; the reply list is
// guarded because the window draws it from the render path.

#include <array>
#include <cstdint>
#include <deque>
#include <list>
#include <string>

#include "gui/Dialog.h"
#include "platform/sys/CriticalSection.h"
#include "scenes/room/gallery/GalleryService.h"

namespace gui {
class Button;
class ComboBox;
class EditBox;
class ScrollBar;
class TextLabel;
class Panel;
}  // namespace gui
namespace net {
class Packet;
class PlayerRecord;
}  // namespace net

namespace scenes {

class SceneHost;

// The body of message 255: u32 shot sequence number, u8 points (0..10), the reply text (at most 30
// characters).
void WriteShotReply(net::Packet& packet, std::int32_t shotSeq, int points, WStringView text);

class ShotReplyDialog : public gui::Dialog {
public:
    static constexpr int kWidth = 314;  // the shot window's, under which it opens
    static constexpr int kHeight = 129;
    static constexpr int kMaxText = 30;

    ShotReplyDialog();
    void SetContext(SceneHost* host, net::PlayerRecord* player) { host_ = host, player_ = player; }
    // The shot to reply to; shown next.
    void Prepare(bool ownShot, std::int32_t shotSeq);
    void OnShow() override;
    bool OnCommand(const gui::CommandEvent& event) override;
    // A reply went out with these points: the count drops by them (never below 0) until the
    // server answers.
    void Spend(int points);
    // The server's answer (256) to the oldest reply that went out: one refused gives its stickers
    // back, since the server took none.
    void Answered(int result);

    int Points() const { return points_; }
    bool OwnShot() const { return ownShot_; }
    gui::TextLabel* Prompt() const { return prompt_; }
    gui::TextLabel* Stickers() const { return stickers_; }
    gui::ComboBox* PointsList() const { return pointsList_; }
    gui::EditBox* TextEdit() const { return text_; }

private:
    void ShowPoints(int points);

    SceneHost* host_ = nullptr;
    net::PlayerRecord* player_ = nullptr;
    bool ownShot_ = false;
    std::int32_t shotSeq_ = -1;
    int points_ = 10;
    std::deque<int> spent_;  // stickers taken off per reply not answered yet, oldest first
    gui::TextLabel* stickers_ = nullptr;
    gui::TextLabel* prompt_ = nullptr;
    gui::ComboBox* pointsList_ = nullptr;
    gui::EditBox* text_ = nullptr;
};

class ShotViewWindow : public gui::Dialog {
public:
    static constexpr int kWidth = 314;
    static constexpr int kHeight = 286;
    static constexpr int kReplyRows = 5;

    explicit ShotViewWindow(const GalleryClient& client);

    void SetContext(SceneHost* host, net::PlayerRecord* player);
    // Empties the title, nickname, information and points and hides the reply rows.
    void Clear();
    void SetShotSeq(std::int32_t seq) { shotSeq_ = seq; }
    // Moves to the right edge, then loads.
    void OnShow() override;
    // Loads again where it stands (after a vote reply).
    void Reload();
    bool OnCommand(const gui::CommandEvent& event) override;
    // Reads the shot's data; true on success.
    bool FetchShotData();
    // True (with the notice "You can only vote once.") when the player replied already to a shot
    // not his own.
    bool HasVotedElsewhere();
    void ShowReplies();

    std::int32_t ShotSeq() const { return shotSeq_; }
    bool Loaded() const { return loaded_; }
    const gui::TextLabel* UnreachableLine() const { return unreachable_; }
    const std::string& RecordHex() const { return recordHex_; }
    const WString& Owner() const { return owner_; }
    int FirstReply() const { return firstReply_; }
    std::size_t ReplyCount();
    gui::TextLabel* TitleLabel() const { return title_; }
    gui::TextLabel* PointsLabel() const { return points_; }
    gui::TextLabel* InfoLabel() const { return infoLabel_; }
    gui::Panel* ReplyRow(int index) const { return rows_[static_cast<std::size_t>(index)].panel; }
    const WString& ReplyRowNickname(int index) const;
    gui::ScrollBar* ReplyScroll() const { return scroll_; }
    ShotReplyDialog* ReplyDialog() const { return dialog_; }

private:
    struct ReplyRowWidgets {
        gui::Panel* panel = nullptr;
        gui::TextLabel* nickname = nullptr;
        gui::TextLabel* text = nullptr;
        gui::TextLabel* points = nullptr;
    };
    void Load();

    const GalleryClient& client_;
    SceneHost* host_ = nullptr;
    net::PlayerRecord* player_ = nullptr;
    std::int32_t shotSeq_ = -1;
    bool loaded_ = false;
    int firstReply_ = 1;
    WString owner_, titleText_, info_;
    std::string recordHex_;
    std::int32_t pointsValue_ = 0;
    platform::CriticalSection lock_;
    std::list<ShotReplyEntry> replies_;
    gui::TextLabel* reading_ = nullptr;
    gui::TextLabel* unreachable_ = nullptr;
    gui::TextLabel* title_ = nullptr;
    gui::TextLabel* nickname_ = nullptr;
    gui::TextLabel* points_ = nullptr;
    gui::TextLabel* infoLabel_ = nullptr;
    std::array<ReplyRowWidgets, kReplyRows> rows_{};
    gui::ScrollBar* scroll_ = nullptr;
    ShotReplyDialog* dialog_ = nullptr;
};

}  // namespace scenes
