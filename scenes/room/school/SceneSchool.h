#pragma once
// The cue school: the guide "Vudaz" walks the player through numbered pages on an 8-ball table; some
// pages carry control exercises whose goals are ticked off on the update tick. The furthest page
// reached is kept in the session and on the server (messages 530 and 1138); the course-end page
// hands out the basic-course reward once (528 each time it shows) and offers the practice room and
// the shop, which the lobby opens through its pending action.
//
// Threads: widgets, messages and the step machine on the main thread; Update (blinks, camera orbit,
// goal checks) on the update thread. Both hold the scene's page lock, so a check never sees a
// half-built page.

#include <array>
#include <cstdint>

#include "platform/sys/CriticalSection.h"
#include "scenes/room/TableScene.h"
#include "scenes/room/school/SchoolPages.h"

class ResourceGroup;

namespace gui {
class Button;
class Dialog;
class ImageWidget;
class ItemPreview;
class TextLabel;
}  // namespace gui
namespace net {
struct ItemEntry;
}
namespace table {
struct CueObject;
}

namespace scenes {

class HelpWindow;
class TutorialIndex;
namespace hud {
class ChalkGauge;
}

class SceneSchool : public TableScene {
public:
    // Control ids.
    static constexpr std::uint32_t kToLobbyId = 1;
    static constexpr std::uint32_t kMyInfoId = 4;
    static constexpr std::uint32_t kMessengerId = 5;
    static constexpr std::uint32_t kPreviousId = 10;
    static constexpr std::uint32_t kContinueId = 11;
    static constexpr std::uint32_t kPracticeRoomId = 12;
    static constexpr std::uint32_t kShopId = 13;
    static constexpr std::uint32_t kLobbyId = 14;
    static constexpr std::uint32_t kOpenIndexId = 19;
    static constexpr int kLineCount = school::kMaxLines;
    static constexpr int kGoalLineCount = school::kMaxGoals + 1;

    SceneSchool();
    ~SceneSchool() override;

    void CreateUI() override;
    void Enter() override;
    int Load3D(ResourceManager* resources, RenderDevice* renderer) override;
    // Leave drops the table world: every visit loads it again.
    bool BeginLoad() override { return SceneBeginLoadActive(); }
    void Render(RenderDevice* renderer, bool draw) override;
    bool PollKeyboard() override;
    bool OnMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) override;
    bool Leave(ResourceManager* resources, SceneManager* engineScenes) override;
    void Update(std::uint64_t nowMs, std::uint64_t time100us) override;
    void Resize(int width, int height) override;
    bool OnCommand(const gui::CommandEvent& event) override;

    // Moves to the next page in the direction of delta (+1 or -1) and shows it.
    void SchoolStep(int delta);
    // Stores and sends the furthest page reached (message 1138).
    void SendProgress();
    // Continue on a page with goals before practice: the goals are listed and checked from now on.
    void StartPractice();
    // One tick of the current goal's check; runs under the page lock.
    void CheckStepGoals();

    int Step() const { return step_; }
    int HighestStep() const { return highest_; }
    int GoalCount() const { return goalCount_; }
    int CurrentGoal() const { return currentGoal_; }
    bool Practising() const { return practising_; }
    int Shots() const { return shots_; }
    const gui::TextLabel* PageTitleLabel() const { return title_; }
    const gui::TextLabel* TextLine(int k) const { return lines_[static_cast<std::size_t>(k)]; }
    const gui::TextLabel* GoalLine(int k) const { return goals_[static_cast<std::size_t>(k)]; }
    gui::Button* Button(std::uint32_t id) const;
    const gui::TextLabel* ClickToTry() const { return clickToTry_; }
    const gui::Widget* StepStrip() const { return stepStrip_; }
    TutorialIndex* Index() const { return index_; }
    gui::Dialog* GiftDialog() const { return gift_; }
    const net::ItemEntry* LoanedChalk() const { return loanChalk_; }
    hud::ChalkGauge* Gauge() const { return gauge_; }
    // The goal checks' view of the table (the camera, cue and balls now).
    school::GoalInputs ReadGoalInputs() const;

private:
    void ClearPage();
    void ShowPage(const school::Page& page);
    void AddGoal(const WString& text);
    void CompleteGoal();
    void ColourGoals();
    void HighlightControlStep(int index);
    void IntroCamera();
    void PracticeCamera();
    void JumpCamera();
    // Turns off the top view and brings the camera behind the cue ball, along the aim, at the
    // practice view's distance and pitch.
    void CameraBehindCueBall(float seconds);
    void CourseEnd();
    void LendChalk();
    void ReturnChalk();
    void BallsAtRest();
    void LeaveTo(int scene);
    void SendStepMessage(std::uint16_t id, std::uint32_t value);
    void SetControlMask(std::uint32_t mask);
    void SetAimDisplay(bool on);
    // Lays out the shot controls for the client size, below the guide's panel and above the tutorial
    // index, and moves the course end's ways out left of them where the two would meet.
    void FitToControls(int width, int height);
    // The top view's table in the room the school's widgets leave: below the guide's panel, right of
    // the chalk gauge's column, left of the shot controls and of the tutorial index while it is open.
    void FrameSchoolTopView();

    mutable platform::CriticalSection pageLock_;
    int step_ = 0;
    int highest_ = 0;
    int previous_ = 0;
    int lineCount_ = 0;
    int goalCount_ = 0;
    int currentGoal_ = 0;
    bool practising_ = false;
    int shots_ = 0;
    float lastShotPower_ = 0;
    std::array<float, 2> lastShotTip_{};  // side and vertical tip offset of the last shot
    float goalAimYaw_ = 0;                // the aim when the current goal began
    school::GoalMarks marks_{};
    std::uint32_t tick_ = 0;
    std::array<std::uint32_t, 5> savedAbilities_{};
    bool abilitiesSaved_ = false;
    net::ItemEntry* loanChalk_ = nullptr;
    table::CueObject* cueObject_ = nullptr;
    bool uiBuilt_ = false;
    ResourceGroup* tutorialImages_ = nullptr;  // "Tut" of the UI package, owned by the package

    gui::ImageWidget* panel_ = nullptr;
    gui::ImageWidget* shotPicture_ = nullptr;
    gui::TextLabel* title_ = nullptr;
    std::array<gui::TextLabel*, kLineCount> lines_{};
    std::array<gui::TextLabel*, kGoalLineCount> goals_{};
    gui::TextLabel* goalHeader_ = nullptr;
    gui::Widget* stepStrip_ = nullptr;
    std::array<gui::TextLabel*, 4> stepLabels_{};
    gui::TextLabel* clickToTry_ = nullptr;
    gui::Button* continue_ = nullptr;
    gui::Button* previousButton_ = nullptr;
    std::array<gui::Button*, 3> navigation_{};
    gui::Button* openIndex_ = nullptr;
    gui::Button* messengerButton_ = nullptr;
    hud::ChalkGauge* gauge_ = nullptr;
    HelpWindow* help_ = nullptr;
    TutorialIndex* index_ = nullptr;
    gui::Dialog* gift_ = nullptr;
    gui::ItemPreview* giftPreview_ = nullptr;
};

}  // namespace scenes
