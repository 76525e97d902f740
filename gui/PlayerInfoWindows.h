#pragma once
// The shared own-info and user-info windows. The own-info window shows the signed-in player's
// record per game type and lets the player pick the default cue of that game type: "Apply" keeps
// the chosen cue's serial as the window's 8-byte value and posts (1088, 2052, 0), on which the
// application sends message 519 with that value. The user-info window shows another player's
// profile, read from the reply to a profile request (message 211).

#include <array>
#include <cstdint>
#include <vector>

#include "gui/Dialog.h"

namespace net {
class Packet;
class PlayerRecord;
}  // namespace net

namespace gui {

class Button;
class ComboBox;
class TextLabel;

// What a profile reply carries (docs/protocol.md, message 211).
struct PlayerProfile {
    static constexpr std::size_t kMaxNameUnits = 16;
    struct Record {
        std::uint32_t games = 0, wins = 0, losses = 0;
    };
    std::uint64_t playerId = 0;
    WString nickname;
    std::uint16_t level = 0;
    std::uint32_t experience = 0;
    std::int64_t money = 0;
    WString clanName;
    std::uint8_t clanGrade = 0;
    std::uint32_t average = 0;  // hundredths
    std::uint8_t portrait = 0;
    std::array<Record, 17> records{};
};

// The labels both windows show: name, level, clan, gold, average, and the record of a game type.
class ProfileView {
public:
    void Build(Widget& parent, int top);
    // Sizes, pictures and titles an info window and builds the view and a close button in it.
    void BuildWindow(Dialog& window, const WString& title);
    void Show(const PlayerProfile& profile, int gameType, bool loaded);

private:
    std::array<TextLabel*, 6> values_{};
};

class UserInfoWindow : public Dialog {
public:
    UserInfoWindow();
    // Loads nothing and asks the server for nothing, whatever the name says: fills the window from a
    // record this client holds whole (the own one) and marks it loaded. The caller shows it.
    void BeginLoad(const net::PlayerRecord& record);
    // Reads the profile fields behind the found byte of message 211. A short or malformed reply,
    // a record count above 17 or a game type out of range leaves the window unchanged: false.
    bool ReadProfile(net::Packet& packet);
    const PlayerProfile& Profile() const { return profile_; }
    bool IsLoaded() const { return loaded_; }
    // The game type whose record is shown.
    int gameType = 0;

    void OnShow() override;
    bool OnCommand(const CommandEvent& event) override;

private:
    PlayerProfile profile_;
    ProfileView view_;
    bool loaded_ = false;
};

class MyInfoWindow : public Dialog {
public:
    static constexpr std::uint32_t kApplyId = 10;
    static constexpr std::uint32_t kCueChoiceId = 11;

    MyInfoWindow();
    // The signed-in player's record (not owned; null clears); the window reads it when shown.
    void SetRecord(const net::PlayerRecord* record) { record_ = record; }
    const net::PlayerRecord* Record() const { return record_; }
    // Page selection word: 0 the record page, 1 the cue page.
    std::uint32_t page = 0;
    int gameType = 0;
    // The 8-byte value sent with message 519: the chosen cue's serial, little-endian.
    std::array<std::uint8_t, 8> Value() const;
    std::uint64_t ChosenSerial() const { return chosen_; }

    void OnShow() override;
    bool OnCommand(const CommandEvent& event) override;

private:
    void Refresh();
    const net::PlayerRecord* record_ = nullptr;
    ProfileView view_;
    ComboBox* cues_ = nullptr;
    Button* apply_ = nullptr;
    std::vector<std::uint64_t> cueSerials_;
    std::uint64_t chosen_ = 0;
};

}  // namespace gui
