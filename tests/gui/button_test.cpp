#include "gui/Button.h"

#include <gtest/gtest.h>

#include "support/WidgetTestSupport.h"

using namespace gui;
using namespace gui_test;

namespace {

TEST(ButtonGroups, RadioClickChecksOneButtonOfItsGroupAndReportsItsIndex) {
    RecordingRoot root;
    Button* radios[3];
    for (int i = 0; i < 3; ++i) {
        radios[i] = root.AddButton(10 + 60 * i, 10, 50, 20, 100 + i, 0, {});
        radios[i]->SetRadioMode(4);
    }
    Button* other = root.AddButton(300, 10, 50, 20, 200, 0, {});
    other->SetRadioMode(5);
    other->SetChecked(true);
    radios[0]->SetChecked(true);

    Click(root, 140, 15);  // the third of group 4
    EXPECT_FALSE(radios[0]->IsChecked());
    EXPECT_FALSE(radios[1]->IsChecked());
    EXPECT_TRUE(radios[2]->IsChecked());
    EXPECT_TRUE(other->IsChecked());  // another group is left alone
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].id, 102u);
    EXPECT_EQ(root.commands[0].value, 2);

    Click(root, 140, 15);  // clicking the checked one keeps it checked
    EXPECT_TRUE(radios[2]->IsChecked());
    EXPECT_EQ(radios[2]->FrameCount(), 7);
}

TEST(ButtonGroups, ToggleFlipsAndReportsItsNewState) {
    RecordingRoot root;
    Button* toggle = root.AddButton(10, 10, 50, 20, 1, 'T', {});
    toggle->SetToggleMode(true);
    Click(root, 15, 15);
    Key(root, platform::kWmKeyDown, 'T');
    ASSERT_EQ(root.commands.size(), 2u);
    EXPECT_EQ(root.commands[0].value, 1);
    EXPECT_EQ(root.commands[1].value, 0);
    EXPECT_FALSE(toggle->IsChecked());
}

TEST(ButtonGroups, StripFrameFollowsStateAndCheckedForEachStripLength) {
    struct Case {
        int frames;
        WidgetState state;
        bool checked;
        int frame;
    };
    const Case cases[] = {
        {1, WidgetState::Hover, false, 0},   {2, WidgetState::Hover, false, 1},
        {2, WidgetState::Pressed, false, 1}, {2, WidgetState::Disabled, false, 0},
        {4, WidgetState::Pressed, false, 2}, {4, WidgetState::Disabled, false, 3},
        {4, WidgetState::Normal, true, 2},   {7, WidgetState::Normal, true, 4},
        {7, WidgetState::Hover, true, 5},    {7, WidgetState::Disabled, true, 6},
        {7, WidgetState::Pressed, true, 2},  {7, WidgetState::Hover, false, 1},
    };
    for (const Case& c : cases) {
        Button button;
        button.SetToggleMode(true);
        button.SetFrameCount(c.frames);
        button.SetChecked(c.checked);
        if (c.state == WidgetState::Disabled)
            button.SetEnabled(false);
        else
            button.SetState(c.state);
        EXPECT_EQ(button.CurrentFrame(), c.frame) << c.frames << " frames, state " << int(c.state);
    }
}

}  // namespace
