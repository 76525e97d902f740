#pragma once
// What the school's guide shows and checks: the numbered pages with their texts and exercises, the
// walk over the page numbers, the condition of every exercise, and the topics of the tutorial
// index. Pure data and arithmetic: the scene and the index apply them to widgets and the table.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/core/Text.h"

namespace scenes::school {

constexpr int kFirstStep = 1;
constexpr int kLastStep = 98;
constexpr int kMaxLines = 5;
constexpr int kMaxGoals = 5;
constexpr int kGoalMarkCount = 12;
// The page that hands out the basic-course reward and the way out to the practice room and shop.
constexpr int kCourseEndStep = 13;
constexpr int kLastBasicStep = 12;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kYellow = 0xFFFFFF00u;
constexpr std::uint32_t kGoalDone = 0xFF808000u;
constexpr std::uint32_t kGoalCurrent = 0xFFFFFF00u;

// Control masks the pages give the table world.
namespace control_mask {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kCamera = 7;
constexpr std::uint32_t kShot = 39;
constexpr std::uint32_t kAiming = 47;
constexpr std::uint32_t kSpin = 63;
constexpr std::uint32_t kWithSpace = 319;
constexpr std::uint32_t kMasse = 511;
}  // namespace control_mask

struct PageLine {
    const char16_t* text = nullptr;
    std::uint32_t colour = kWhite;
};

struct Page {
    int step = 0;
    const char16_t* title = nullptr;  // "%s" stands for the own nickname
    std::array<PageLine, kMaxLines> lines{};
    std::array<const char16_t*, kMaxGoals> goals{};
};

struct ShownLine {
    WString text;
    std::uint32_t colour = kWhite;
};

// The page of a step number, or null for a number without a page.
const Page* FindPage(int step);
// The text lines of a page as shown: the nickname put in for "%s" on the pages that name the player,
// and the course-end page's middle lines chosen by whether the reward was handed out before.
std::vector<ShownLine> PageLines(const Page& page, const WString& nickname, bool rewardGivenBefore);
WString PageTitle(const Page& page, const WString& nickname);
int GoalCount(const Page& page);
// The step shown after moving by `delta` (+1 or -1) from `step`: the next number with a page in that
// direction, never above the last page nor below the first.
int NextShownStep(int step, int delta);
// The line added under the goals when all of them are done.
extern const char16_t* const kAllGoalsDone;

// The control mask starting practice sets on a step; false when the step keeps the current one.
bool PracticeControlMask(int step, std::uint32_t& mask);
// Whether a window message may reach the table under the control mask: none with mask 0 (no
// control), the left button (power, strike, the on-screen tip and elevation) only with the shot's
// bit; sizes and other messages always. Shift and Space the world gates by itself.
bool TableTakesMessage(std::uint32_t mask, std::uint32_t message);

// What the goal checks read from the table world and the scene on one tick.
struct GoalInputs {
    float yawDegrees = 0, pitchDegrees = 0, cameraDistance = 0;  // the camera
    float aimYawDegrees = 0;                                     // the cue's aim around the cue ball
    bool aimTurned = false;                   // the aim stands elsewhere than when the current goal began
    std::vector<std::array<float, 3>> balls;  // ball 0 is the cue ball
    float tipSide = 0, tipVertical = 0;
    float elevationDegrees = 0;
    bool shotRunning = false;
    int shots = 0;
    float lastShotPower = 0;
    float lastShotTipSide = 0, lastShotTipVertical = 0;  // the tip offsets the last shot was struck with
};
using GoalMarks = std::array<bool, kGoalMarkCount>;

// True when goal `goal` of `step` is done now; the two-part goals set their marks in `marks` and are
// done once both are set. Every comparison is strict.
bool GoalHolds(int step, int goal, const GoalInputs& in, GoalMarks& marks);

// True when the line through the cue ball along `direction` (its vertical part dropped) passes
// within `limit` of the ball's centre, on either side of the cue ball. A direction without
// horizontal length, or a ball at the cue ball, never counts.
bool AimLinePassesBall(const std::array<float, 3>& direction, const std::array<float, 3>& cueBall,
                       const std::array<float, 3>& ball, float limit);

// The tutorial index's topics, in their list order.
struct Topic {
    int order = 0;
    int subOrder = 0;  // 0 a topic, 1 and up a sub-topic of the topic with the same order
    const char16_t* caption = nullptr;
    int step = 0;  // where the topic starts; also the progress that opens it
};
constexpr int kCategoryCount = 6;
extern const std::array<const char16_t*, kCategoryCount> kCategoryCaptions;
const std::vector<Topic>& Topics();
// Index of the last topic starting at or before `step` (-1 when none).
int TopicForStep(int step);

}  // namespace scenes::school
