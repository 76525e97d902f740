#pragma once
// One row of the tutorial index: a radio button carrying the caption of the topic it shows. A topic
// stands at the row's left edge, full width, in yellow; a sub-topic is indented and narrower, in
// white. The row remembers which topic it shows; an emptied row is hidden.

#include <cstdint>

#include "gui/Widget.h"
#include "scenes/room/school/SchoolPages.h"

namespace gui {
class Button;
}

namespace scenes {

class TutorialTopicRow : public gui::Widget {
public:
    static constexpr int kWidth = 228;
    static constexpr int kHeight = 26;
    static constexpr int kNoTopic = -1;

    // The row and its button take the control id; the button's click reaches the row's parent.
    bool Create(int x, int y, int w, int h, std::uint32_t id = 0, std::uint32_t hotkey = 0) override;
    // Shows topic `index` of school::Topics() (kNoTopic or an index outside the list empties and
    // hides the row). `open`: the stored progress reached the topic; `chosen`: it is the selected one.
    void ShowTopic(int index, bool open, bool chosen);
    int Topic() const { return topic_; }
    gui::Button* GetButton() const { return button_; }
    // The container lets the mouse through to its button and to what lies around it.
    bool IsMouseTransparent() const override { return true; }

private:
    gui::Button* button_ = nullptr;
    int topic_ = kNoTopic;
};

}  // namespace scenes
