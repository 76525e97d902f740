#pragma once
// What the layout tests share: the screen boxes of widgets and of the texts they draw, and the checks
// a player's eye makes of a screen: texts apart from each other and inside their window, captions
// inside their buttons, no control under another or over a text.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/Widget.h"

namespace layout_test {

struct Box {
    std::string name;
    int left, top, right, bottom;
};

inline Box ScreenBox(const std::string& name, const gui::Widget& w) {
    return {name, w.ScreenX(), w.ScreenY(), w.ScreenX() + w.Width(), w.ScreenY() + w.Height()};
}

// Where the label's text is drawn, by its alignment.
inline Box TextBox(const std::string& name, const gui::TextLabel& label) {
    const int width = gui::MeasureTextWidth(label.Font(), label.Text());
    int left = label.ScreenX();
    if (label.Flags() & gui::align::kCenter)
        left += (label.Width() - width) / 2;
    else if (label.Flags() & gui::align::kRight)
        left += label.Width() - width;
    return {name, left, label.ScreenY(), left + width, label.ScreenY() + label.Height()};
}

// Where a table world shows its table (the frame's corners at the bed) on the screen.
template <class World>
Box TableOnScreen(World& world) {
    const auto& frame = world.Rules().Model()->Geometry().frame;
    Box box{"table", INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (float x : {frame.xMin.Value(), frame.xMax.Value()}) {
        for (float y : {frame.yMin.Value(), frame.yMax.Value()}) {
            float sx = 0, sy = 0;
            if (!world.TableToScreen({x, y, 0.0f}, sx, sy)) return {"table behind the eye", 0, 0, 0, 0};
            box = {box.name, std::min(box.left, static_cast<int>(sx)),
                   std::min(box.top, static_cast<int>(sy)), std::max(box.right, static_cast<int>(sx) + 1),
                   std::max(box.bottom, static_cast<int>(sy) + 1)};
        }
    }
    return box;
}

inline bool Overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

inline bool Inside(const Box& inner, const Box& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// A text and its shadow: the same words one pixel apart.
inline bool IsShadowPair(const Box& a, const Box& b) {
    return a.name == b.name && std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1;
}

inline void ExpectApart(const std::vector<Box>& boxes, const std::string& context) {
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(Overlap(boxes[i], boxes[j]) && !IsShadowPair(boxes[i], boxes[j]))
                << context << ": " << boxes[i].name << " covers " << boxes[j].name;
}

inline std::string Name(const WString& text) {
    return "\"" + ToUtf8(text) + "\"";
}

// The widgets under `root` that are shown (root's own flag aside), depth first.
inline void ForEachShown(const gui::Widget& root, const std::function<void(const gui::Widget&)>& visit) {
    for (const gui::Widget* child : root.Children()) {
        if (!child->IsVisible()) continue;
        visit(*child);
        ForEachShown(*child, visit);
    }
}

inline bool IsControl(const gui::Widget& w) {
    return dynamic_cast<const gui::Button*>(&w) || dynamic_cast<const gui::ComboBox*>(&w) ||
           dynamic_cast<const gui::EditBox*>(&w);
}

inline bool IsWithin(const gui::Widget* w, const gui::Widget* ancestor) {
    for (; w; w = w->GetParent())
        if (w == ancestor) return true;
    return false;
}

// What a player sees of a window or panel: every shown text inside `root` and apart from the other
// texts; every button's caption inside its button; no control over another (one that holds a
// whole other, as a card's face holds its labels, is a background) nor over part of a text.
// `frame` replaces the root's own box where parts of a window hang outside its rectangle.
inline void ExpectTidy(const gui::Widget& root, const std::string& context,
                       const Box* frameOverride = nullptr) {
    const Box frame = frameOverride ? *frameOverride : ScreenBox("window", root);
    std::vector<Box> texts;
    std::vector<const gui::Widget*> textWidgets, controls;
    ForEachShown(root, [&](const gui::Widget& w) {
        if (const auto* label = dynamic_cast<const gui::TextLabel*>(&w); label && !label->Text().empty()) {
            const Box text = TextBox(Name(label->Text()), *label);
            EXPECT_TRUE(Inside(text, frame)) << context << ": " << text.name << " runs out of the window";
            texts.push_back(text);
            textWidgets.push_back(&w);
        }
        if (const auto* button = dynamic_cast<const gui::Button*>(&w); button && !button->Caption().empty()) {
            EXPECT_LE(gui::MeasureTextWidth(button->CaptionFont(), button->Caption()), button->Width())
                << context << ": the caption " << Name(button->Caption()) << " is wider than its button";
        }
        if (IsControl(w)) controls.push_back(&w);
    });
    ExpectApart(texts, context);
    const auto covers = [](const Box& a, const Box& b) { return Overlap(a, b) && !Inside(b, a); };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Box a = ScreenBox("control " + std::to_string(controls[i]->Id()), *controls[i]);
        EXPECT_TRUE(Inside(a, frame)) << context << ": " << a.name << " reaches out of the window";
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (IsWithin(controls[j], controls[i]) || IsWithin(controls[i], controls[j])) continue;
            const Box b = ScreenBox("control " + std::to_string(controls[j]->Id()), *controls[j]);
            EXPECT_FALSE(covers(a, b) && covers(b, a)) << context << ": " << a.name << " covers " << b.name;
        }
        for (std::size_t t = 0; t < texts.size(); ++t) {
            if (IsWithin(textWidgets[t], controls[i])) continue;
            EXPECT_FALSE(covers(a, texts[t])) << context << ": " << a.name << " covers " << texts[t].name;
        }
    }
}

}  // namespace layout_test
