#include <gtest/gtest.h>

#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/Dialog.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "support/WidgetTestSupport.h"

using namespace gui;
using namespace gui_test;

namespace {

std::vector<std::uint32_t> Ids(const std::vector<CommandEvent>& events) {
    std::vector<std::uint32_t> ids;
    for (const CommandEvent& e : events) ids.push_back(e.id);
    return ids;
}

TEST(WidgetRouting, CapturedButtonKeepsTheMouseAndClicksOnlyWhenReleasedOverItself) {
    RecordingRoot root;
    Button* a = root.AddButton(10, 10, 50, 20, 1, 0, {});
    Button* b = root.AddButton(100, 10, 50, 20, 2, 0, {});
    Down(root, 20, 15);
    EXPECT_TRUE(a->HasCapture());
    Move(root, 110, 15);  // over b while a holds the mouse
    EXPECT_EQ(GetGuiState().hot, a);
    EXPECT_EQ(b->State(), WidgetState::Normal);
    EXPECT_EQ(a->State(), WidgetState::Normal);  // pressed look leaves with the pointer
    Up(root, 110, 15);
    EXPECT_TRUE(root.commands.empty());  // released outside a: no click, and b never saw a press
    EXPECT_FALSE(a->HasCapture());

    Click(root, 120, 15, true);
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].source, b);
    EXPECT_EQ(root.commands[0].value, 1);  // right button
}

TEST(WidgetRouting, ModalDialogKeepsMouseAndKeysFromEverythingBehindIt) {
    RecordingRoot root;
    Button* behind = root.AddButton(10, 10, 50, 20, 1, 'Q', {});
    auto* dialog = root.Make<Dialog>();
    dialog->Create(300, 300, 200, 100);
    dialog->SetModal(true);
    Button* ok = dialog->AddButton(10, 60, 60, 24, 2049, platform::kVkReturn, {});
    dialog->SetVisible(false);
    dialog->Show(true);

    EXPECT_TRUE(Down(root, 20, 15));  // swallowed, not given to the button behind
    Up(root, 20, 15);
    EXPECT_TRUE(Key(root, platform::kWmKeyDown, 'Q'));
    EXPECT_TRUE(Key(root, platform::kWmChar, 'q'));  // the scene does not see keys either
    EXPECT_TRUE(root.commands.empty());
    EXPECT_EQ(GetGuiState().focus, dialog);

    // A field behind the dialog keeps the text focus. The Enter that pressed OK (whose owner hides the
    // dialog) takes its character along: it is no Enter in the field.
    auto* field = root.Make<EditBox>();
    field->Create(10, 100, 100, 20, 7);
    field->SetFocus(true);
    Key(root, platform::kWmKeyDown, platform::kVkReturn);
    ASSERT_EQ(Ids(root.commands), std::vector<std::uint32_t>{2049});
    EXPECT_EQ(root.commands[0].source, ok);
    dialog->Show(false);
    EXPECT_TRUE(Key(root, platform::kWmChar, platform::kVkReturn));
    EXPECT_EQ(root.commands.size(), 1u);
    field->SetFocus(false);

    EXPECT_FALSE(Key(root, platform::kWmChar, 'q'));
    Click(root, 20, 15);
    EXPECT_EQ(Ids(root.commands), (std::vector<std::uint32_t>{2049, 1}));
    EXPECT_EQ(root.commands.back().source, behind);
}

// A draggable dialog follows the pointer from a press on its title bar until the button comes up, kept
// inside the client area below the window's caption strip; its body and the buttons on its bar do not
// drag it, nor does the bar of a dialog that is not draggable.
TEST(WidgetRouting, ADraggableDialogMovesByItsTitleBarAndStaysInsideTheClientArea) {
    RecordingRoot root;
    auto* dialog = root.Make<Dialog>();
    dialog->Create(300, 300, 200, 100);
    dialog->SetTitle(u"Messenger");
    dialog->SetDraggable(true);
    dialog->AddButton(170, 3, 24, 20, 7, 0, {});  // its close box, on the bar
    const auto drag = [&](int fromX, int fromY, int toX, int toY) {
        Down(root, fromX, fromY);
        Move(root, toX, toY);
        Up(root, toX, toY);
        Move(root, toX + 50, toY + 50);  // the button is up: it no longer follows
        return std::pair{dialog->X(), dialog->Y()};
    };
    EXPECT_EQ(drag(310, 310, 110, 210), (std::pair{100, 200}));
    EXPECT_TRUE(dialog->MovedByPlayer());
    EXPECT_EQ(drag(150, 210, 2000, 2000), (std::pair{1024 - 200, 768 - 100}));
    EXPECT_EQ(drag(900, 675, -500, 0), (std::pair{0, kCaptionStripHeight}));
    EXPECT_EQ(drag(100, kCaptionStripHeight + 50, 600, 600), (std::pair{0, kCaptionStripHeight})) << "body";
    Click(root, 175, kCaptionStripHeight + 10);
    EXPECT_EQ(Ids(root.commands), std::vector<std::uint32_t>{7}) << "the close box on the bar";
    dialog->PlaceAt(300, 10);
    EXPECT_FALSE(dialog->MovedByPlayer());
    dialog->SetDraggable(false);
    EXPECT_EQ(drag(310, kCaptionStripHeight + 10, 600, 600), (std::pair{300, kCaptionStripHeight}));
}

TEST(WidgetRouting, APopupClosesWhenItLosesTheFocusAndWhatItCoveredTakesTheClick) {
    RecordingRoot root;
    root.AddButton(100, 100, 100, 40, 1, 0, {});
    auto* popup = root.Make<Dialog>();
    popup->Create(150, 90, 80, 120);
    popup->SetPopupStyle(true);
    popup->AddButton(0, 0, 80, 20, 200, 0, {});
    auto* plain = root.Make<Dialog>();  // a dialog of no popup style stays
    plain->Create(600, 600, 100, 100);
    plain->SetVisible(false);
    const auto open = [&] {
        popup->SetVisible(false);
        popup->Show(true);
    };
    open();
    plain->Show(true);
    EXPECT_FALSE(popup->IsVisible()) << "another dialog took the focus";
    open();
    Click(root, 160, 95);  // its own item: it stays for its owner to close
    EXPECT_TRUE(popup->IsVisible());
    Click(root, 120, 120);  // beside it, on the button it partly covers: it closes, the button is clicked
    EXPECT_FALSE(popup->IsVisible());
    EXPECT_TRUE(plain->IsVisible());
    EXPECT_EQ(Ids(root.commands), (std::vector<std::uint32_t>{200, 1}));

    // Escape closes the topmost popup (by its own Escape button where it has one), and its character
    // goes nowhere; without a popup both go on.
    open();
    EXPECT_TRUE(Key(root, platform::kWmKeyDown, platform::kVkEscape));
    EXPECT_FALSE(popup->IsVisible());
    EXPECT_TRUE(Key(root, platform::kWmChar, platform::kVkEscape));
    EXPECT_FALSE(Key(root, platform::kWmKeyDown, platform::kVkEscape));
    EXPECT_FALSE(Key(root, platform::kWmChar, platform::kVkEscape));
    Button* close = popup->AddButton(0, 100, 80, 20, 2049, platform::kVkEscape, {});
    open();
    Key(root, platform::kWmKeyDown, platform::kVkEscape);
    EXPECT_EQ(root.commands.back().source, close);

    // An open drop-down list takes Escape before the window it lies in, popup or not; an Escape
    // button pressed by its key takes the character too.
    Button* cancel = plain->AddButton(0, 0, 50, 20, 2050, platform::kVkEscape, {});
    for (Dialog* window : {popup, plain}) {
        ComboBox* list = window->AddComboBox(0, 40, 80, 20, 300);
        list->CreateItems(1);
        list->AddItem(u"A");
        list->Open(true);
        const std::size_t pressed = root.commands.size();
        EXPECT_TRUE(Key(root, platform::kWmKeyDown, platform::kVkEscape));
        EXPECT_TRUE(Key(root, platform::kWmChar, platform::kVkEscape));
        EXPECT_FALSE(list->IsOpen());
        EXPECT_TRUE(window->IsVisible()) << "Escape on the list closed its window";
        EXPECT_EQ(root.commands.size(), pressed);
        popup->Show(false);
    }
    Key(root, platform::kWmKeyDown, platform::kVkEscape);
    EXPECT_EQ(root.commands.back().source, cancel);
    EXPECT_TRUE(Key(root, platform::kWmChar, platform::kVkEscape)) << "the scene got the Escape once more";
}

TEST(WidgetRouting, MouseOverNoPictureOrControlIsLeftToTheScene) {
    RecordingRoot root;
    root.AddButton(10, 10, 50, 20, 1, 0, {});
    Widget* group = root.AddPanel(0, 0, 1024, 768);  // a bare container over the whole screen
    root.AddImage(600, 600, 100, 100, {0, 0, 0, 8, 8});
    EXPECT_FALSE(Down(root, 500, 500));
    EXPECT_FALSE(Move(root, 500, 500));
    EXPECT_TRUE(Move(root, 15, 15));
    EXPECT_TRUE(Down(root, 650, 650));  // a picture keeps the click from the table behind it
    group->SetImage({0, 0, 0, 8, 8});
    EXPECT_TRUE(Down(root, 500, 500));
}

TEST(WidgetRouting, HoverReportsEnterAndLeaveOnlyForReportingButtons) {
    RecordingRoot root;
    Button* reporting = root.AddButton(10, 10, 50, 20, 7, 0, {});
    reporting->SetReportHover(true);
    root.AddButton(100, 10, 50, 20, 8, 0, {});
    Move(root, 15, 15);
    Move(root, 20, 15);  // still inside: no second report
    Move(root, 110, 15);
    Move(root, 500, 500);
    ASSERT_EQ(root.commands.size(), 2u);
    EXPECT_EQ(root.commands[0].code, CommandCode::MouseEnter);
    EXPECT_EQ(root.commands[0].value, 1028);
    EXPECT_EQ(root.commands[1].code, CommandCode::MouseLeave);
    EXPECT_EQ(root.commands[1].value, 1029);
    EXPECT_EQ(root.commands[1].id, 7u);
}

TEST(WidgetRouting, HidingTheHoveredOrCapturedWidgetClearsThePointers) {
    RecordingRoot root;
    Widget* group = root.AddPanel(0, 0, 300, 100);
    Button* inner = group->AddButton(10, 10, 50, 20, 1, 0, {});
    Move(root, 15, 15);
    Down(root, 15, 15);
    ASSERT_EQ(GetGuiState().hot, inner);
    ASSERT_TRUE(inner->HasCapture());
    group->Show(false);  // the container hides, not the button itself
    EXPECT_EQ(GetGuiState().hot, nullptr);
    EXPECT_EQ(GetGuiState().active, nullptr);
    EXPECT_FALSE(Up(root, 15, 15));  // nothing left to take the release
    EXPECT_TRUE(root.commands.empty());

    // A scene change clears the pointers: the button it was clicked on does not come back lit.
    group->Show(true);
    Click(root, 15, 15);
    ASSERT_EQ(inner->State(), WidgetState::Hover);
    ClearGuiPointers();
    EXPECT_EQ(inner->State(), WidgetState::Normal);
}

TEST(WidgetRouting, DisabledButtonSwallowsClicksAndIgnoresItsHotkey) {
    RecordingRoot root;
    Button* button = root.AddButton(10, 10, 50, 20, 1, 'A', {});
    button->SetEnabled(false);
    EXPECT_TRUE(Down(root, 15, 15));  // does not fall through to the scene
    Up(root, 15, 15);
    EXPECT_FALSE(Key(root, platform::kWmKeyDown, 'A'));
    EXPECT_TRUE(root.commands.empty());
    button->SetEnabled(true);
    EXPECT_TRUE(Key(root, platform::kWmKeyDown, 'A'));
    EXPECT_EQ(root.commands.size(), 1u);
}

TEST(WidgetRouting, LabelOnAButtonLetsTheClickReachTheButtonAndEventsClimbToAHandler) {
    RecordingRoot root;
    Widget* panel = root.AddPanel(100, 100, 200, 200);
    Button* button = panel->AddButton(20, 20, 100, 30, 5, 0, {});
    TextLabel* caption = button->AddCaption(u"Start");
    ASSERT_EQ(caption->GetParent(), button);
    Click(root, 150, 130);                // on the caption, inside the button, inside the panel
    ASSERT_EQ(root.commands.size(), 1u);  // the panel has no handler: the root gets it
    EXPECT_EQ(root.commands[0].source, button);
    EXPECT_EQ(GetGuiState().lastCommand.id, 5u);
}

TEST(WidgetRouting, LaterSiblingIsOnTopUntilAnotherIsBroughtToFront) {
    RecordingRoot root;
    Button* first = root.AddButton(10, 10, 100, 30, 1, 0, {});
    root.AddButton(50, 10, 100, 30, 2, 0, {});
    Click(root, 60, 20);
    first->BringToFront();
    Click(root, 60, 20);
    EXPECT_EQ(Ids(root.commands), (std::vector<std::uint32_t>{2, 1}));
}

TEST(WidgetRouting, HitAreaLimitsWhereAWidgetTakesTheMouse) {
    RecordingRoot root;
    Button* button = root.AddButton(0, 0, 100, 100, 1, 0, {});
    button->SetHitArea(40, 40, 20, 20);
    EXPECT_FALSE(Down(root, 10, 10));
    Click(root, 50, 50);
    EXPECT_EQ(root.commands.size(), 1u);
}

}  // namespace
