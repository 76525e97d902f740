#pragma once
// Fixtures of the widget tests: a shown root panel that records the command records reaching it,
// mouse and key helpers that go through the tree's routing, and a poster that keeps what the
// common windows post.

#include <cstdint>
#include <vector>

#include "gui/NoticeBox.h"
#include "gui/Widget.h"
#include "platform/window/WindowCodes.h"

namespace gui_test {

class RecordingRoot : public gui::Panel {
public:
    RecordingRoot() {
        Create(0, 0, 1024, 768);
        Show(true);
        LayoutChildren(1024, 768);
    }
    ~RecordingRoot() override { gui::ClearGuiPointers(); }
    bool OnCommand(const gui::CommandEvent& event) override {
        commands.push_back(event);
        return true;
    }
    std::vector<gui::CommandEvent> commands;
};

inline bool Move(gui::Widget& root, int x, int y) {
    return root.RouteMessage(platform::kWmMouseMove, 0, platform::MakeLParam(x, y));
}
inline bool Down(gui::Widget& root, int x, int y, bool right = false) {
    return root.RouteMessage(right ? platform::kWmRButtonDown : platform::kWmLButtonDown, 0,
                             platform::MakeLParam(x, y));
}
inline bool Up(gui::Widget& root, int x, int y, bool right = false) {
    return root.RouteMessage(right ? platform::kWmRButtonUp : platform::kWmLButtonUp, 0,
                             platform::MakeLParam(x, y));
}
inline void Click(gui::Widget& root, int x, int y, bool right = false) {
    Move(root, x, y);
    Down(root, x, y, right);
    Up(root, x, y, right);
}
inline bool Key(gui::Widget& root, std::uint32_t message, std::uint32_t code, std::intptr_t lParam = 1) {
    return root.RouteMessage(message, code, lParam);
}

struct Posted {
    std::uint32_t code, a, b, c;
    bool operator==(const Posted&) const = default;
};

// Keeps what the windows post while alive.
class PostRecorder {
public:
    PostRecorder() {
        gui::NoticeBox::SetPoster(
            [this](std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
                posted.push_back({code, a, b, c});
            });
    }
    ~PostRecorder() { gui::NoticeBox::SetPoster(nullptr); }
    std::vector<Posted> posted;
};

}  // namespace gui_test
