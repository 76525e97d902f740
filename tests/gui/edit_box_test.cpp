#include <gtest/gtest.h>

#include "gui/Dialog.h"
#include "gui/TextInput.h"
#include "support/WidgetTestSupport.h"

using namespace gui;
using namespace gui_test;

namespace {

// What the window layer posts for one change of the input method's composing text.
void Compose(Widget& root, WStringView text) {
    if (text.empty()) {
        Key(root, platform::kWmImeEndComposition, 0, 0);
        return;
    }
    std::intptr_t flags = platform::kGcsCompStr | platform::kCompositionRestart;
    for (char16_t unit : text) {
        Key(root, platform::kWmImeComposition, unit, flags);
        flags = platform::kGcsCompStr;
    }
}
void Commit(Widget& root, WStringView text) {
    for (char16_t unit : text) Key(root, platform::kWmChar, unit);
}

struct EditFixture : ::testing::Test {
    EditFixture() {
        edit = root.Make<EditBox>();
        edit->Create(10, 10, 200, 20, 30);
        edit->Setup(kFont12, 12, 0xFFFFFFFF);
    }
    ~EditFixture() override { TextInputManager::ClearFocus(); }
    RecordingRoot root;
    EditBox* edit = nullptr;
};

TEST_F(EditFixture, ComposedHangulShowsAtTheCaretAndBecomesTextWhenCommitted) {
    Click(root, 20, 15);
    ASSERT_TRUE(edit->HasFocus());
    Commit(root, u"ab");
    // 한글 typed as ㅎ 하 한, then 한 committed while ㄱ starts the next syllable, then 그 글.
    Compose(root, u"ㅎ");
    Compose(root, u"하");
    Compose(root, u"한");
    EXPECT_EQ(edit->Composition(), u"한");
    EXPECT_EQ(edit->GetText(), u"ab");
    Commit(root, u"한");
    Compose(root, u"ㄱ");
    EXPECT_EQ(edit->GetText(), u"ab한");
    EXPECT_EQ(edit->Composition(), u"ㄱ");
    Compose(root, u"그");
    Compose(root, u"글");
    Compose(root, u"");
    Commit(root, u"글");
    EXPECT_EQ(edit->GetText(), u"ab한글");
    EXPECT_TRUE(edit->Composition().empty());
    EXPECT_EQ(edit->Caret(), 4);
}

TEST_F(EditFixture, CompositionAndTypingStopAtTheMaximumLength) {
    edit->SetFocus(true);
    edit->SetText(u"12345678901");  // one unit left
    Compose(root, u"가");
    EXPECT_EQ(edit->Composition(), u"가");
    Commit(root, u"가");
    Compose(root, u"나");  // a full field takes no further syllable
    EXPECT_TRUE(edit->Composition().empty());
    Commit(root, u"x");
    EXPECT_EQ(edit->GetText(), u"12345678901가");
    edit->SetText(u"123456789012345");
    EXPECT_EQ(edit->GetText(), u"123456789012");
}

TEST_F(EditFixture, CaretKeysAndDeletionKeepSurrogatePairsWhole) {
    edit->SetFocus(true);
    edit->SetText(u"a\U0001F3B1b");  // a, a pair, b
    Key(root, platform::kWmKeyDown, platform::kVkLeft);
    Key(root, platform::kWmChar, platform::kVkBack);
    EXPECT_EQ(edit->GetText(), u"ab");
    EXPECT_EQ(edit->Caret(), 1);
    Key(root, platform::kWmKeyDown, platform::kVkHome);
    Key(root, platform::kWmKeyDown, platform::kVkDelete);
    EXPECT_EQ(edit->GetText(), u"b");
    Commit(root, u"\x01");  // control characters are not text
    EXPECT_EQ(edit->GetText(), u"b");
}

TEST_F(EditFixture, EnterIsReportedAndFunctionKeysStillReachTheScene) {
    edit->SetFocus(true);
    EXPECT_TRUE(Key(root, platform::kWmChar, platform::kVkReturn));
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].id, 30u);
    EXPECT_EQ(root.commands[0].value, static_cast<int>(platform::kVkReturn));
    EXPECT_TRUE(Key(root, platform::kWmKeyDown, 'R'));  // typing keys stay in the field
    EXPECT_FALSE(Key(root, platform::kWmKeyDown, platform::kVkF4));
}

TEST_F(EditFixture, HiddenOrUnfocusedFieldTakesNoKeysAndAModalDialogShieldsIt) {
    edit->SetFocus(true);
    auto* dialog = root.Make<Dialog>();
    dialog->Create(400, 400, 100, 100);
    dialog->SetModal(true);
    Commit(root, u"x");  // the field lies behind the modal dialog
    EXPECT_EQ(edit->GetText(), u"");
    dialog->Show(false);
    Commit(root, u"y");
    EXPECT_EQ(edit->GetText(), u"y");
    edit->Show(false);
    EXPECT_FALSE(edit->HasFocus());
    EXPECT_FALSE(Key(root, platform::kWmChar, 'z'));
}

}  // namespace
