#pragma once
// A dialog of a few centred lines with up to two buttons: the confirming button hides the dialog
// and posts (result code, button id, parameter); the other one hides it, posting only when the
// dialog asks for the refusal too. The common popups are made of it.

#include <array>

#include "gui/Dialog.h"

namespace gui {

class Button;
class TextLabel;

class MessageDialog : public Dialog {
public:
    static constexpr int kLineCount = 4;

    MessageDialog(const WString& title, int width, int height);

    void SetLine(int index, const WString& text);
    const WString& Line(int index) const;
    // Buttons: the confirming one (id 0 = none) and the other one (id 0 = none). Enter presses
    // the first, Esc the second.
    void SetButtons(std::uint32_t confirmId, const WString& confirm, std::uint32_t otherId,
                    const WString& other);
    // What the confirmation posts; postRefusal makes the other button post as well.
    void SetResult(std::uint32_t code, std::uint32_t param, bool postRefusal = false);
    std::uint32_t ResultCode() const { return code_; }
    std::uint32_t Param() const { return param_; }
    Button* ConfirmButton() const { return confirm_; }
    Button* OtherButton() const { return other_; }
    // Shows the dialog centred on the screen.
    void Open();

    bool OnCommand(const CommandEvent& event) override;

protected:
    // Journals the dialog like a notice box.
    void JournalShown() override;
    // The confirming button was pressed; the default hides and posts.
    virtual void OnConfirm();
    void SetParam(std::uint32_t param) { param_ = param; }

private:
    std::array<TextLabel*, kLineCount> lines_{};
    Button* confirm_ = nullptr;
    Button* other_ = nullptr;
    std::uint32_t code_ = 0;
    std::uint32_t param_ = 0;
    bool postRefusal_ = false;
};

}  // namespace gui
