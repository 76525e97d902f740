#pragma once
// Finds a text label by its text anywhere under a widget (hidden ones included).

#include "gui/TextLabel.h"
#include "gui/Widget.h"

inline const gui::TextLabel* FindLabel(const gui::Widget& root, const WString& text) {
    for (const gui::Widget* child : root.Children()) {
        if (const auto* label = dynamic_cast<const gui::TextLabel*>(child); label && label->Text() == text)
            return label;
        if (const gui::TextLabel* found = FindLabel(*child, text)) return found;
    }
    return nullptr;
}
