#pragma once
// Where the common controls lie in the UI image sets. Every set is 1024 x 512 (the school's set 21
// 1024 x 1024) and holds the same cells (the generator draws them; only the panel's tint differs per
// set), so a control can take its pictures from whichever set its screen uses. Strips run left to
// right.

#include "gui/UiImage.h"

namespace gui::atlas {

constexpr int kSetWidth = 1024;
constexpr int kSetHeight = 512;

// Cells in set 0; InSet moves a cell to another set.
constexpr UiImage InSet(UiImage image, int set) {
    image.set = set;
    return image;
}

// Button face without caption (the widget draws it): normal, hover, pressed, disabled.
constexpr UiImage kTextButton{0, 0, 0, 96, 32};
constexpr int kTextButtonFrames = 4;
// Close button with a cross, four frames.
constexpr UiImage kCloseButton{0, 384, 0, 24, 24};
// Radio button: normal, hover, pressed, disabled, checked, checked hover, checked disabled.
constexpr UiImage kRadioButton{0, 0, 32, 96, 24};
// Scroll bar arrows (four frames each), thumbs and tracks.
constexpr UiImage kArrowUp{0, 0, 56, 16, 16};
constexpr UiImage kArrowDown{0, 64, 56, 16, 16};
constexpr UiImage kArrowLeft{0, 128, 56, 16, 16};
constexpr UiImage kArrowRight{0, 192, 56, 16, 16};
constexpr UiImage kThumbVertical{0, 256, 56, 16, 48};
constexpr UiImage kTrackVertical{0, 272, 56, 16, 96};
constexpr UiImage kThumbHorizontal{0, 288, 56, 48, 16};
constexpr UiImage kTrackHorizontal{0, 288, 72, 96, 16};
// Edit field, combo box header (with its arrow) and a list row highlight.
constexpr UiImage kEditField{0, 0, 160, 160, 24};
constexpr UiImage kComboHeader{0, 160, 160, 160, 24};
constexpr UiImage kListRow{0, 320, 160, 160, 24};
// Digits 0 to 9.
constexpr UiImage kDigits{0, 0, 184, 16, 24};
constexpr int kDigitCells = 10;
// Title bar band, a dialog panel and a dark frame for HUD panels.
constexpr UiImage kTitleBar{0, 0, 208, 512, 28};
constexpr UiImage kPanel{0, 0, 236, 256, 192};
constexpr UiImage kDarkPanel{0, 256, 236, 256, 192};
constexpr UiImage kNoticeBackground = kPanel;
// The turn countdown's warning: an amber triangle with an exclamation mark.
constexpr UiImage kTurnWarning{0, 0, 96, 36, 42};

// Set 21 is twice as tall: the common cells on top, the cue school's pictures in the free space
// beside them and in the lower half.
namespace school {
constexpr int kSet = 21;
constexpr int kSetHeight = 1024;
// The guide's page band with the guide at its left.
constexpr UiImage kGuidePanel{kSet, 0, 512, 1024, 285};
// The shot exercise's picture: cue, cue ball and power gauge.
constexpr UiImage kShotPicture{kSet, 0, 800, 112, 120};
// Continue and Previous: arrows to the right and to the left, four frames each.
constexpr UiImage kContinue{kSet, 112, 800, 24, 27};
constexpr UiImage kPrevious{kSet, 208, 800, 23, 27};
// The face of the way-out buttons (practice room, shop, lobby), four frames; the caption is drawn on it.
constexpr UiImage kWayOut{kSet, 112, 830, 138, 29};
// The tutorial index's window and its rows: a topic and an indented sub-topic, four frames each
// (normal, hover, chosen, closed).
constexpr UiImage kIndexPanel{kSet, 760, 238, 259, 273};
constexpr UiImage kTopicRow{kSet, 0, 924, 228, 26};
constexpr UiImage kSubTopicRow{kSet, 0, 952, 191, 26};
constexpr int kButtonFrames = 4;
}  // namespace school

// The shop's set 25 holds the tile of its scrolling background beside the panels.
namespace shop {
constexpr int kSet = 25;
constexpr UiImage kBackgroundTile{kSet, 512, 236, 256, 256};
}  // namespace shop

}  // namespace gui::atlas
