#pragma once
// "Change Nick": the modal nickname dialog of the nickname change item (the shop) and of the first
// sign-in (the login scene). Buttons 100..157 insert a special character at the caret; OK (2050)
// checks the nickname by the rules below and either shows the first failure or keeps the text as
// the accepted nickname, hides and posts (result code, parameter); Cancel (2051) hides.

#include <cstdint>

#include "engine/core/Text.h"
#include "gui/Dialog.h"

namespace gui {
class EditBox;
}

namespace scenes {

class SceneHost;

class NickChangeDialog : public gui::Dialog {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 250;
    static constexpr int kMaxLength = 12;
    static constexpr int kMinLength = 2;
    static constexpr std::uint32_t kFirstSpecial = 100;
    static constexpr int kSpecialCount = 58;

    explicit NickChangeDialog(SceneHost* host);
    void SetHost(SceneHost* host) { host_ = host; }

    // The item the change uses: OK posts 1082 with the low 32 bits of its serial.
    void SetItemSerial(std::uint64_t serial);
    std::uint64_t ItemSerial() const { return serial_; }
    // Another use of the dialog (the first nickname): its title and what OK posts.
    void SetPurpose(const WString& title, std::uint32_t resultCode, std::uint32_t param);

    // The reason a nickname is refused, or an empty text when it is valid.
    static WString Check(const WString& nickname);
    // The special character of button 100 + index (0 for an index out of range).
    static char16_t SpecialCharacter(int index);

    // The accepted nickname (at most 12 characters), set by a valid OK.
    const WString& AcceptedNickname() const { return accepted_; }
    gui::EditBox* Edit() const { return edit_; }

    void OnShow() override;
    bool OnCommand(const gui::CommandEvent& event) override;

private:
    SceneHost* host_;
    gui::EditBox* edit_ = nullptr;
    WString accepted_;
    std::uint64_t serial_ = 0;
    std::uint32_t resultCode_;
    std::uint32_t param_ = 0;
};

}  // namespace scenes
