// The cue school without a table: the pages the guide shows, the walk over the page numbers, the
// start page from the stored progress, the course-end reward, the exercises' conditions, the aim
// test, the topic index, the chalk loan and the ways out to the lobby.

#include <gtest/gtest.h>

#include "gui/Button.h"
#include "gui/FontDesc.h"
#include "gui/ScrollBar.h"
#include "gui/TextLabel.h"
#include "gui/WidgetRouter.h"
#include "net/GameSession.h"
#include "net/PlayerRecord.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/room/school/SceneSchool.h"
#include "scenes/room/school/TutorialIndex.h"
#include "scenes/room/school/TutorialTopicRow.h"
#include "tests/scenes/support/FakeSceneHost.h"

using namespace scenes;
using namespace scenes::school;

namespace {

struct School {
    FakeSceneHost host;
    SceneSchool scene;
    explicit School(std::uint32_t progress = 0, std::uint8_t rewards = 0) {
        host.session->schoolProgress = progress;
        host.session->basicCourseRewards = rewards;
        host.session->own.nickname = u"Pip";
        scene.SetHost(&host);
        scene.CreateUI();
        scene.Enter();
    }
    void JumpTo(int step) {
        scene.OnMessage(school_message::kTopicChosen, static_cast<std::uintptr_t>(step), 0);
    }
    void Click(std::uint32_t id) {
        gui::CommandEvent event;
        event.id = id;
        scene.OnCommand(event);
    }
    int Count528() const {
        int n = 0;
        for (const auto& [id, value] : host.sentBytes) n += id == 528;
        return n;
    }
};

TEST(SchoolPages, EveryPageShowsItsTitleLinesAndGoalsAsWritten) {
    struct Case {
        int step;
        const char16_t* title;
        int lines;
        int lineIndex;
        const char16_t* line;
        std::uint32_t colour;
        int goals;
        const char16_t* lastGoal;
    };
    const Case cases[] = {
        {1, u"Welcome to Marvenlot Pip..", 3, 1,
         u"My name is [Vudaz]. What a name, right? Don't ask me why though.", kWhite, 0, nullptr},
        {3, u"So, what is Marvenlot?", 4, 1,
         u"Control is accessible in the order of 4 steps: [Camera] -> [Shot] -> [Aiming] -> [Spin].", kYellow,
         0, nullptr},
        {4, u"Camera - rotation, zoom", 3, 0,
         u"Hold the right mouse button and move the mouse (a right-drag) to change the viewpoint.", kWhite, 3,
         u"3. Scroll the wheel to adjust the distance (far-near)"},
        {9, u"Spins - change the contact point", 4, 3,
         u"\u2605 A strong stroke to an extreme contact point can cause a miscue!", kWhite, 3,
         u"3. Play a shot when the contact point is changed."},
        {10, u"Control - summary", 4, 0,
         u"1. Move the mouse to adjust the angle; hold Shift to adjust it finely.", kWhite, 1,
         u"Practice: play a shot with these controls."},
        {31, u"Ability - item attributes (need syntex fix)", 4, 1,
         u"For example, if the default value of shot power is 50%, when the skill experience", kWhite, 0,
         nullptr},
        {51, u"Masse", 4, 3, u"Masse is recommended only for skilled players.", kWhite, 2,
         u"2. Try the strong shot with over 70% power."},
        {76, u"Pocketball rules - 9 Ball", 2, 1,
         u"The trick of this game is to accomplish a combination shot aiming at pocketing the 9 ball.",
         kWhite, 0, nullptr},
        {98, u"Today's quest is over!", 4, 1, u"Just kidding.", kWhite, 0, nullptr},
    };
    School school(97);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        school.JumpTo(c.step);
        SceneSchool& s = school.scene;
        ASSERT_EQ(s.Step(), c.step);
        EXPECT_EQ(s.PageTitleLabel()->Text(), WString(c.title));
        for (int k = 0; k < SceneSchool::kLineCount; ++k) EXPECT_EQ(s.TextLine(k)->IsVisible(), k < c.lines);
        EXPECT_EQ(s.TextLine(c.lineIndex)->Text(), WString(c.line));
        EXPECT_EQ(s.TextLine(c.lineIndex)->Colour(), c.colour);
        EXPECT_EQ(s.GoalCount(), c.goals);
        if (c.lastGoal) {
            EXPECT_EQ(s.GoalLine(c.goals - 1)->Text(), WString(c.lastGoal));
        }
        EXPECT_EQ(s.ClickToTry()->IsVisible(), c.goals > 0);
        EXPECT_EQ(s.Button(SceneSchool::kContinueId)->IsVisible(), c.step < kLastStep);
    }
}

TEST(SchoolPages, EveryLessonNamesOnlyControlsThisClientHasAndFitsItsLines) {
    // Controls of another client: a Ctrl-key shot, a 'V' masse key, a left-button camera, a compass.
    const char16_t* const foreign[] = {u"Ctrl",      u"control key",   u"'V'",        u"V key",
                                       u"Leftclick", u"Left click",    u"rightclick", u"Right click",
                                       u"Compass",   u"push the mouse"};
    School school(97);
    for (int step = kFirstStep; step <= kLastStep; ++step) {
        if (!FindPage(step)) continue;
        SCOPED_TRACE(step);
        school.JumpTo(step);
        if (school.scene.GoalCount() > 0) school.Click(SceneSchool::kContinueId);
        std::vector<const gui::TextLabel*> shown{school.scene.PageTitleLabel()};
        for (int k = 0; k < SceneSchool::kLineCount; ++k) shown.push_back(school.scene.TextLine(k));
        for (int k = 0; k < school.scene.GoalCount(); ++k) shown.push_back(school.scene.GoalLine(k));
        for (const gui::TextLabel* label : shown) {
            if (!label->IsVisible()) continue;
            const WString& text = label->Text();
            for (const char16_t* word : foreign) EXPECT_EQ(text.find(word), WString::npos) << ToUtf8(text);
            const int width = gui::MeasureTextWidth(label->Font(), text);
            EXPECT_LE(width, label->Width()) << ToUtf8(text);
            // The arrows below the last line take no text.
            for (std::uint32_t arrow : {SceneSchool::kContinueId, SceneSchool::kPreviousId}) {
                const gui::Button* b = school.scene.Button(arrow);
                EXPECT_FALSE(label->ScreenY() < b->ScreenY() + b->Height() &&
                             b->ScreenY() < label->ScreenY() + label->Height() &&
                             label->ScreenX() < b->ScreenX() + b->Width() &&
                             b->ScreenX() < label->ScreenX() + width)
                    << ToUtf8(text) << " runs over the arrow " << arrow;
            }
        }
    }
}

TEST(SchoolPages, ContinueAndPreviousSkipTheNumbersWithoutAPage) {
    School school(97);
    school.JumpTo(1);
    std::vector<int> forward{school.scene.Step()};
    while (school.scene.Step() < kLastStep) {
        school.scene.SchoolStep(+1);
        forward.push_back(school.scene.Step());
    }
    const std::vector<int> expected{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 20, 21,
                                    22, 23, 24, 25, 30, 31, 50, 51, 70, 71, 72, 75, 76, 78, 98};
    EXPECT_EQ(forward, expected);
    school.scene.SchoolStep(+1);
    EXPECT_EQ(school.scene.Step(), kLastStep) << "nothing leads past the last page";
    school.JumpTo(20);
    school.Click(SceneSchool::kPreviousId);
    EXPECT_EQ(school.scene.Step(), 13);
    school.JumpTo(1);
    EXPECT_FALSE(school.scene.Button(SceneSchool::kPreviousId)->IsVisible());
}

TEST(SchoolPages, TheFirstPageFollowsTheStoredProgress) {
    // 97 has no page of its own: the guide shows the next one.
    const std::pair<std::uint32_t, int> cases[] = {{0, 1},   {10, 1},  {11, 11},         {72, 72},
                                                   {97, 98}, {98, 98}, {4000000000u, 98}};
    for (const auto& [stored, first] : cases) {
        SCOPED_TRACE(stored);
        School school(stored);
        EXPECT_EQ(school.scene.Step(), first);
        if (stored >= 98) {
            EXPECT_EQ(school.host.session->schoolProgress, 98u);
        }
    }
}

TEST(SchoolPages, TheCourseEndRewardIsHandedOutOnceAndItsCounterStopsAtTheTop) {
    School school(12);
    ASSERT_EQ(school.scene.Step(), 12);
    Options before = school.host.options.Get();
    before.serverMode = 2;
    before.modeChosen = 0;
    school.host.options.Set(before);
    school.scene.SchoolStep(+1);
    EXPECT_TRUE(school.scene.GiftDialog()->IsVisible());
    EXPECT_EQ(school.host.serverOptionSends, 1);
    EXPECT_EQ(school.host.options.Get().serverMode, 1);
    EXPECT_EQ(school.host.options.Get().modeChosen, 1) << "the mode went to the server as not chosen";
    EXPECT_EQ(school.scene.TextLine(1)->Text().substr(0, 12), WString(u"But, because"));
    EXPECT_EQ(school.scene.TextLine(0)->Text(),
              WString(u"Great job! Pip, you will be a very good player if you continue practicing."));
    school.scene.GiftDialog()->Show(false);
    school.scene.SchoolStep(-1);
    school.scene.SchoolStep(+1);
    EXPECT_EQ(school.Count528(), 2) << "528 goes out every time the page shows";
    EXPECT_FALSE(school.scene.GiftDialog()->IsVisible());
    EXPECT_EQ(school.host.serverOptionSends, 1);
    EXPECT_EQ(school.scene.TextLine(1)->Text().substr(0, 10), WString(u"When your "));
    for (std::uint32_t id : {SceneSchool::kPracticeRoomId, SceneSchool::kShopId, SceneSchool::kLobbyId})
        EXPECT_TRUE(school.scene.Button(id)->IsVisible());

    School saturated(12, 255);
    saturated.scene.SchoolStep(+1);
    EXPECT_EQ(saturated.host.session->basicCourseRewards, 255) << "the counter wrapped to the first visit";
    EXPECT_FALSE(saturated.scene.GiftDialog()->IsVisible());
}

TEST(SchoolPages, ProgressOnlyGrowsAndLeavingSendsTheFurthestPage) {
    School school(0);
    for (int i = 0; i < 5; ++i) school.scene.SchoolStep(+1);
    EXPECT_EQ(school.host.session->schoolProgress, 6u);
    school.scene.SchoolStep(-1);
    school.scene.SchoolStep(-1);
    EXPECT_EQ(school.host.session->schoolProgress, 6u);
    school.host.session->schoolProgress = 3;  // the session lost track: the furthest page still wins
    school.Click(SceneSchool::kToLobbyId);
    EXPECT_EQ(school.host.session->schoolProgress, 6u);
    EXPECT_TRUE(school.scene.ChangeRequested());
    EXPECT_EQ(school.scene.NextId(), scene_id::kLobby);
}

TEST(SchoolPages, ThePracticeRoomAndShopButtonsLeaveAPendingLobbyVisit) {
    const std::pair<std::uint32_t, std::uint16_t> cases[] = {
        {SceneSchool::kPracticeRoomId, net::kLobbyTargetPractice},
        {SceneSchool::kShopId, net::kLobbyTargetShop}};
    for (const auto& [button, target] : cases) {
        School school(13);
        school.Click(button);
        const net::PendingLobbyAction& action = school.host.session->lobbyAction;
        EXPECT_EQ(action.active, 1);
        EXPECT_EQ(action.target, target);
        EXPECT_EQ(action.gameTypeOverride, 0u);
        EXPECT_EQ(school.scene.NextId(), scene_id::kLobby);
    }
}

TEST(SchoolVisit, TheLoanedChalkAndTheBoostedAbilitiesEndWithTheVisit) {
    FakeSceneHost host;
    net::PlayerRecord& record = host.session->own;
    record.abilities = {10, 20, 30, 40, 50};
    const int freeBefore = host.session->FreeItemEntries();
    {
        SceneSchool scene;
        scene.SetHost(&host);
        scene.CreateUI();
        scene.Enter();
        ASSERT_NE(scene.LoanedChalk(), nullptr);
        EXPECT_EQ(record.GetCurrentItem(), scene.LoanedChalk());
        EXPECT_EQ(record.abilities[0], 100000u);
        scene.Leave(nullptr, nullptr);
        EXPECT_EQ(scene.LoanedChalk(), nullptr);
    }
    EXPECT_EQ(record.GetCurrentItem(), nullptr) << "the selection named the returned entry";
    EXPECT_EQ(record.FindItem(1), nullptr);
    EXPECT_EQ(host.session->FreeItemEntries(), freeBefore);
    EXPECT_EQ(record.abilities, (std::array<std::uint32_t, 5>{10, 20, 30, 40, 50}));
}

TEST(SchoolGoals, ConditionsAreStrictAndTwoPartGoalsNeedBothParts) {
    struct Case {
        int step, goal;
        GoalInputs first, second;
        bool afterFirst, afterBoth;
    };
    auto yaw = [](float v) {
        GoalInputs in;
        in.yawDegrees = v;
        return in;
    };
    auto distance = [](float v) {
        GoalInputs in;
        in.cameraDistance = v;
        return in;
    };
    auto tip = [](float side, float vertical) {
        GoalInputs in;
        in.tipSide = side;
        in.tipVertical = vertical;
        return in;
    };
    auto shot = [](int shots, float power, bool running) {
        GoalInputs in;
        in.shots = shots, in.lastShotPower = power, in.shotRunning = running;
        return in;
    };
    auto struck = [](float side, float vertical) {
        GoalInputs in;
        in.shots = 1, in.lastShotTipSide = side, in.lastShotTipVertical = vertical;
        return in;
    };
    // The cue ball at the centre, ball 1 straight ahead (+x) and ball 9 off to the side.
    auto aim = [](float yaw, bool turned = true) {
        GoalInputs in;
        in.aimYawDegrees = yaw, in.aimTurned = turned;
        in.balls.assign(16, {0, 80, 3});
        in.balls[0] = {0, 0, 3}, in.balls[1] = {60, 0, 3}, in.balls[9] = {0, -60, 3};
        return in;
    };
    GoalInputs pitchLow, pitchHigh, masse, flatMasse, elevated;
    pitchLow.pitchDegrees = 5, pitchHigh.pitchDegrees = 60;
    masse.elevationDegrees = 85, masse.tipVertical = 0.3f;
    flatMasse.elevationDegrees = 80, flatMasse.tipSide = -0.5f;
    elevated.elevationDegrees = 85;
    const Case cases[] = {
        {4, 0, yaw(90), yaw(-180), false, true},
        {4, 0, yaw(130), yaw(-140), false, false},
        {4, 1, pitchLow, pitchHigh, false, true},
        {4, 2, distance(150), distance(300), false, false},
        {4, 2, distance(149), distance(301), false, true},
        {9, 0, tip(-0.2f, 0), tip(0.2f, 0), false, true},
        {9, 1, tip(0, 0.15f), tip(0, -0.15f), false, false},
        {50, 0, elevated, elevated, true, true},
        {51, 0, masse, masse, true, true},
        {51, 0, flatMasse, tip(0, 0.9f), false, false},               // a cue not raised is no masse
        {9, 2, struck(0.1f, -0.15f), struck(0.16f, 0), false, true},  // the shot's own tip counts
        {8, 0, aim(1), aim(0), false, true},
        {8, 0, aim(0, false), aim(0, false), false, false},  // the first aim, never turned, lies on the rack
        {8, 1, aim(0), aim(-90), false, true},
        {51, 1, shot(1, 0.7f, false), shot(1, 0.71f, true), false, false},
        {51, 1, shot(1, 0.71f, false), shot(1, 0.71f, false), true, true},
        {5, 0, shot(0, 1, false), shot(1, 0, false), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.step << "/" << c.goal);
        GoalMarks marks{};
        EXPECT_EQ(GoalHolds(c.step, c.goal, c.first, marks), c.afterFirst);
        EXPECT_EQ(GoalHolds(c.step, c.goal, c.second, marks), c.afterBoth);
    }
}

TEST(SchoolGoals, TheAimLineCountsBallsOnBothSidesAndNeverDividesByZero) {
    const std::array<float, 3> cue{0, 0, 3};
    EXPECT_TRUE(AimLinePassesBall({1, 0, -0.5f}, cue, {50, 0.1f, 3}, 0.2f));
    EXPECT_TRUE(AimLinePassesBall({1, 0, 0}, cue, {-50, -0.1f, 3}, 0.2f)) << "a ball behind the cue ball";
    EXPECT_FALSE(AimLinePassesBall({1, 0, 0}, cue, {50, 0.2f, 3}, 0.2f));
    EXPECT_FALSE(AimLinePassesBall({0, 0, -1}, cue, {0, 0.1f, 3}, 0.2f)) << "a straight-down view";
    EXPECT_FALSE(AimLinePassesBall({1, 0, 0}, cue, cue, 0.2f)) << "a ball at the cue ball";
}

TEST(SchoolGoals, CompletingTheLastGoalBringsContinueBackWithTheClosingLine) {
    School school(97);
    school.JumpTo(10);
    school.Click(SceneSchool::kContinueId);
    ASSERT_TRUE(school.scene.Practising());
    EXPECT_FALSE(school.scene.Button(SceneSchool::kContinueId)->IsVisible());
    school.scene.OnMessage(static_cast<std::uint32_t>(table::WorldMessage::ShotAtRest), 0, 0);
    school.scene.Update(0, 0);
    EXPECT_EQ(school.scene.CurrentGoal(), 1);
    EXPECT_TRUE(school.scene.Button(SceneSchool::kContinueId)->IsVisible());
    EXPECT_EQ(school.scene.GoalLine(1)->Text(), WString(kAllGoalsDone));
    school.Click(SceneSchool::kContinueId);
    EXPECT_EQ(school.scene.Step(), 11);
}

TEST(SchoolIndex, RowsOpenByStoredProgressAndFollowTheGuide) {
    School school(72);
    TutorialIndex* index = school.scene.Index();
    ASSERT_TRUE(index->IsVisible());
    for (int row = 0; row < TutorialIndex::kRows; ++row)
        EXPECT_EQ(index->RowButton(row)->IsEnabled(), row <= 5) << row;
    EXPECT_EQ(index->Scroll()->Range(), 1);
    const std::pair<int, const char16_t*> follows[] = {
        {72, u"8 Ball rules"}, {76, u"9 Ball rules"}, {25, u"Game guide"}};
    for (const auto& [step, caption] : follows) {
        school.JumpTo(step);
        EXPECT_EQ(WString(Topics()[static_cast<std::size_t>(index->SelectedTopic())].caption),
                  WString(caption));
    }

    School newcomer(1);
    for (int row = 0; row < TutorialIndex::kRows; ++row)
        EXPECT_EQ(newcomer.scene.Index()->RowButton(row)->IsEnabled(), row == 0) << row;
}

TEST(SchoolIndex, RowsLayOutTopicsAndSubTopicsAfreshWhateverTheyShowedBefore) {
    School school(97);
    TutorialIndex* index = school.scene.Index();
    // Row k shows topic k; rows 5 to 7 hold the sub-topics of "Pocketball rules".
    for (int row = 0; row < TutorialIndex::kRows; ++row) {
        const gui::Button* b = index->RowButton(row);
        const bool sub = Topics()[static_cast<std::size_t>(row)].subOrder != 0;
        EXPECT_EQ(index->RowTopic(row), row);
        EXPECT_EQ(b->X(), sub ? 20 : 0) << row;
        EXPECT_EQ(b->Y(), sub ? 1 : 0) << row;
        EXPECT_EQ(b->Width(), sub ? 191 : 228) << row;
        EXPECT_EQ(b->Caption(), WString(Topics()[static_cast<std::size_t>(row)].caption));
    }
    // A row that showed a sub-topic and then shows a topic (or nothing) is laid out again.
    TutorialTopicRow* row = index->Row(7);
    row->ShowTopic(0, true, true);
    EXPECT_EQ(row->GetButton()->X(), 0);
    EXPECT_EQ(row->GetButton()->Width(), TutorialTopicRow::kWidth);
    EXPECT_TRUE(row->GetButton()->IsChecked());
    EXPECT_TRUE(row->IsVisible());
    for (int none : {TutorialTopicRow::kNoTopic, static_cast<int>(Topics().size())}) {
        row->ShowTopic(none, true, true);
        EXPECT_EQ(row->Topic(), TutorialTopicRow::kNoTopic);
        EXPECT_FALSE(row->IsVisible());
        EXPECT_FALSE(row->GetButton()->IsChecked()) << "an empty row stayed chosen";
    }
    // A click on a closed row's button goes nowhere.
    School newcomer(1);
    newcomer.host.posted.clear();
    newcomer.scene.Index()->RowButton(4)->Click();
    EXPECT_TRUE(newcomer.host.posted.empty());
    newcomer.scene.Index()->RowButton(0)->Click();
    ASSERT_FALSE(newcomer.host.posted.empty()) << "the row's click never reached the index";
    EXPECT_EQ(newcomer.host.posted.back().code, school_message::kTopicChosen);
    EXPECT_EQ(newcomer.host.posted.back().a, 1u);
}

TEST(SchoolIndex, TheTabCaptionsStandClearOfTheirBulletsAndTheirClicksGoToTheTab) {
    School school(1);
    TutorialIndex* index = school.scene.Index();
    constexpr int kBulletRight = 16;  // where the radio bullet drawn in the tab's face ends
    for (int k = 0; k < kCategoryCount; ++k) {
        SCOPED_TRACE(k);
        const gui::Button* tab = index->Tab(k);
        const gui::TextLabel* caption = index->TabCaption(k);
        EXPECT_EQ(caption->Text(), WString(kCategoryCaptions[static_cast<std::size_t>(k)]));
        const int width = gui::MeasureTextWidth(caption->Font(), caption->Text());
        const int left = caption->ScreenX() + (caption->Width() - width) / 2;
        EXPECT_GE(left, tab->ScreenX() + kBulletRight + 2) << "the caption runs over the bullet";
        EXPECT_LE(left + width, tab->ScreenX() + tab->Width());
        EXPECT_EQ(gui::WidgetRouter::HitWidget(*index, left + width / 2, caption->ScreenY() + 14, false), tab)
            << "the caption took the tab's click";
    }
}

TEST(SchoolIndex, ChoosingATopicJumpsAndHidingOffersTheIndexAgain) {
    School school(97);
    TutorialIndex* index = school.scene.Index();
    gui::CommandEvent row;
    row.source = index->RowButton(3);  // "Masse"
    index->OnCommand(row);
    ASSERT_FALSE(school.host.posted.empty());
    const PostedMessage chosen = school.host.posted.back();
    EXPECT_EQ(chosen.code, school_message::kTopicChosen);
    EXPECT_EQ(chosen.a, 50u);
    school.scene.OnMessage(chosen.code, chosen.a, 0);
    EXPECT_EQ(school.scene.Step(), 50);

    for (std::uint32_t hideId : {TutorialIndex::kHideId, TutorialIndex::kCloseId}) {
        index->Open();
        gui::CommandEvent hide;
        hide.id = hideId;
        index->OnCommand(hide);
        EXPECT_FALSE(index->IsVisible());
        ASSERT_EQ(school.host.posted.back().code, school_message::kIndexHidden) << hideId;
        school.scene.OnMessage(school_message::kIndexHidden, 0, 0);
        EXPECT_TRUE(school.scene.Button(SceneSchool::kOpenIndexId)->IsVisible());
    }
}

}  // namespace
