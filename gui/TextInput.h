#pragma once
// Least form of the toolkit's text input: edit boxes and the one that has the text focus. The
// toolkit extends it; the application shell saves and restores the focus across deactivation.

#include "gui/Widget.h"

namespace gui {

class EditBox : public Widget {
public:
    EditBox();
    ~EditBox() override;  // gives up the focus; a saved reference to it is no longer alive

    // Takes the text focus (away from any other edit box) or gives it up.
    void SetFocus(bool on);
    bool HasFocus() const;
};

class TextInputManager {
public:
    // The edit box that has the text focus, or nullptr.
    static EditBox* GetFocusedEdit();
    static void ClearFocus();
    // Whether the edit box still exists (a focus saved earlier may outlive its box).
    static bool IsAlive(const EditBox* edit);
};

}  // namespace gui
