#include "gui/TextInput.h"

#include <set>

#include "platform/sys/CriticalSection.h"

namespace gui {

namespace {

// Edit boxes are made and destroyed on the main thread, but the focus is read from the update
// thread's widget ticks as well; one lock keeps both consistent.
struct TextInputState {
    platform::CriticalSection lock;
    std::set<const EditBox*> alive;
    EditBox* focused = nullptr;
};

TextInputState& State() {
    static TextInputState state;
    return state;
}

}  // namespace

EditBox::EditBox() {
    TextInputState& state = State();
    platform::ScopedLock lock(state.lock);
    state.alive.insert(this);
}

EditBox::~EditBox() {
    TextInputState& state = State();
    platform::ScopedLock lock(state.lock);
    state.alive.erase(this);
    if (state.focused == this) state.focused = nullptr;
}

void EditBox::SetFocus(bool on) {
    TextInputState& state = State();
    platform::ScopedLock lock(state.lock);
    if (on)
        state.focused = this;
    else if (state.focused == this)
        state.focused = nullptr;
}

bool EditBox::HasFocus() const {
    TextInputState& state = State();
    platform::ScopedLock lock(state.lock);
    return state.focused == this;
}

EditBox* TextInputManager::GetFocusedEdit() {
    TextInputState& state = State();
    platform::ScopedLock lock(state.lock);
    return state.focused;
}

void TextInputManager::ClearFocus() {
    TextInputState& state = State();
    platform::ScopedLock lock(state.lock);
    state.focused = nullptr;
}

bool TextInputManager::IsAlive(const EditBox* edit) {
    TextInputState& state = State();
    platform::ScopedLock lock(state.lock);
    return edit && state.alive.count(edit) != 0;
}

}  // namespace gui
