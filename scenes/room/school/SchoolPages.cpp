#include "scenes/room/school/SchoolPages.h"

#include <algorithm>
#include <cmath>

#include "platform/window/WindowCodes.h"
#include "table/WorldConstants.h"

namespace scenes::school {

namespace {

// clang-format off
const Page kPages[] = {
    {1, u"Welcome to Marvenlot %s..",
     {{{u"Welcome to Marvenlot."},
       {u"My name is [Vudaz]. What a name, right? Don't ask me why though."},
       {u"So now I will guide you on the path to become a pool champion."}}}, {}},
    {2, u"Shortkey - Help and Settings",
     {{{u"Press F1 to see Help, and F3 to change settings on screen, sound or mouse settings."}}}, {}},
    {3, u"So, what is Marvenlot?",
     {{{u"I will give you detailed and simple briefings from now on. Don't miss anything I say, ok?"},
       {u"Control is accessible in the order of 4 steps: [Camera] -> [Shot] -> [Aiming] -> [Spin].", kYellow},
       {u"Those features are available only when you click the buttons in order,"},
       {u"and only after finishing the previous steps will the next step became available."}}}, {}},
    {4, u"Camera - rotation, zoom",
     {{{u"Hold the right mouse button and move the mouse (a right-drag) to change the viewpoint."},
       {u"Scroll the mouse wheel to enlarge and shrink (distance control)."},
       {u"The left button is for the shot: the next lesson shows it."}}},
     {u"1. Right-drag sideways to rotate 360 degrees",
      u"2. Right-drag up and down to turn up and down",
      u"3. Scroll the wheel to adjust the distance (far-near)"}},
    {5, u"Shot - hit the ball.",
     {{{u"Use the left mouse button to make a shot. Moving the mouse without a button turns the aim."},
       {u"Hold the left button and draw the mouse down, toward you, to charge the power gauge,"},
       {u"and let go of the button at the power level you wish to use."},
       {u"The yellow bar beside the white ball at the right shows the power you will use."}}},
     {u"1. Hit the cue ball with the left button (draw down, let go)."}},
    {6, u"Shot - Power shot and Power accuracy",
     {{{u"In order to have a strong shot, strength of the character's ability should be raised."},
       {u"Max shot power in level 1 is only 50. But when using a good cue and increasing strength,"},
       {u"powerful shot can be made."},
       {u"Powerful shot is highly needed when trying a break shot."}}}, {}},
    {7, u"Shot - Power shot and Power accuracy",
     {{{u"Control is as important as strength."},
       {u"Control ability determines the accuracy of power."},
       {u"In order to accurately control the power, control ability should be raised."}}}, {}},
    {8, u"Refined control - Aiming of the object ball",
     {{{u"Use the Shift key to accurately aim the object ball."},
       {u"Hold down the Shift key while moving the mouse left and right to accurately aim the thickness."},
       {u"Since the Shift key has small turning angles, use it only for refined control."},
       {u"For a bigger turning angle, move the mouse without Shift (or hold the Left or Right key)."}}},
     {u"1. Hold the Shift key and aim straight at any solid ball(1~8)",
      u"2. Hold the Shift key and aim straight at a stripe ball(9~15)"}},
    {9, u"Spins - change the contact point",
     {{{u"The key to carom is spin. In order to give spin to the ball, the contact point should be changed."},
       {u"Click or drag on the white ball at the right to change the contact point (the red dot),"},
       {u"or move it with the keys W (up), A (left), S (down) and D (right)."},
       {u"\u2605 A strong stroke to an extreme contact point can cause a miscue!"}}},
     {u"1. Change the contact point from left to right", u"2. Change the contact point from up to down",
      u"3. Play a shot when the contact point is changed."}},
    {10, u"Control - summary",
     {{{u"1. Move the mouse to adjust the angle; hold Shift to adjust it finely."},
       {u"2. Click the white ball at the right, or press W, A, S, D, to adjust the contact point."},
       {u"3. Hold the left button and draw the mouse down for the power, then let go to hit the ball."},
       {u"\u2605 Always remember to chalk a cue to prevent miscues.(Use 'C' key)"}}},
     {u"Practice: play a shot with these controls."}},
    {11, u"Other features 1",
     {{{u"There are other useful keys to use in the game."},
       {u"Tab: when viewing the entire table at a glance (very useful)."},
       {u"'T': turn on and off the ball trajectory. 'R': the replay of the last shot (practice and game rooms)."},
       {u"Space: hold it to charge the power and let go to strike, as with the left button."}}}, {}},
    {12, u"Other features 2",
     {{{u"Please come to the Cue school again to master accurate power control, push and cutting shots,"},
       {u"masse, etc. which are required learning to become a carom master."},
       {u"Here in the Cue school, you can learn everything from basic skills to professional techniques."}}}, {}},
    // The middle two lines depend on the reward (PageLines); these are the first visit's.
    {13, u"Complete the basics of Marvenlot!",
     {{{u"Great job! %s, you will be a very good player if you continue practicing."},
       {u"But, because your skill is so low at the moment, I will give you a nice item which increases your shot power."},
       {u"Make sure to use the cue I gifted to you."},
       {u"If you want to learn the basics of carom, please continue to the next step."}}}, {}},
    {20, u"Game rules - enter the room",
     {{{u"In order to play a game with other users, you have to either create or enter a room."},
       {u"Rooms already created will be displayed in the lobby, so you can choose the game type."},
       {u"Please note that the betting amount is displayed in the room list,"},
       {u"so check whether your owned amount is enough for the room before entering into it."}}}, {}},
    {21, u"Game rules - preparation and start",
     {{{u"After entering the room, if a game has already started, then you can only speculate on it."},
       {u"If no game is running, select the team and check the number of players, and press Ready."},
       {u"When the room master presses the Start button, the opening break shot will be determined"},
       {u"and the game will start."}}}, {}},
    {22, u"Game rules - finish and reward",
     {{{u"When all members of a team score, the game will end and the gained points will be awarded."},
       {u"[Basic amount x gained points x rate]amount of gold will be gained from the opposing player."},
       {u"You are not allowed to win more than the amount you owned."},
       {u"Experience is received according to game points, and more Exp. will help increase your level."}}}, {}},
    {23, u"Game rules - finish and reward",
     {{{u"When you lose some or all of your owned gold,"},
       {u"you can try Gold Earning Missions through [Practice room] at the lobby."},
       {u"(Friendly games offer gold by points, because they are not in Gold betting mode)"}}}, {}},
    {24, u"Game rules - withdrawal and penalty",
     {{{u"If you withdraw from the game, it will be considered as a loss by withdrawal."},
       {u"In case of withdrawal, your ongoing game will be recorded as a loss and you will lose bet gold."},
       {u"In case of losing connection, the game will continue if you come back in 3 minutes or 3 turns."}}}, {}},
    {25, u"Game rules - withdrawal and penalty",
     {{{u"If you disconnect from the server or withdraw often, you will get a penalty."},
       {u"Your nickname will be displayed in red, and be marked as 'Easy withdrawer.'"},
       {u"In some cases, you may lose your scores and gold."}}}, {}},
    {30, u"Ability - ability level",
     {{{u"Marvenlot has a growth system with 5 types of character abilities."},
       {u"Abilities include Strength, Control, Bridge, Masse, and Jump, and players can choose to increase"},
       {u"their different abilities by using the points gained from leveling up. ('My Info' box)"},
       {u"The Masse ability allows for different cue holding angles, depending on the ability levels."}}}, {}},
    {31, u"Ability - item attributes (need syntex fix)",
     {{{u"Once the ability level reaches 100, the skill can be used 100%."},
       {u"For example, if the default value of shot power is 50%, when the skill experience"},
       {u"becomes 100, your shot power will be displayed up to 100%."},
       {u"If cue and item attributes are added, max power can be increased."}}}, {}},
    {50, u"Masse",
     {{{u"Masse is considered as the key of carom as it allows the player to hit trick shots."},
       {u"Raise the cue to play Masse."},
       {u"Hold the Up key to raise the cue and the Down key to lower it, or click on the blue bar."},
       {u"The blue bar beside the white ball at the right shows the cue angle."}}},
     {u"1. Raise the cue until it stands almost upright."}},
    {51, u"Masse",
     {{{u"With the cue raised, set the contact point on the white ball at the right (or W, A, S, D)."},
       {u"Hold the right button and move the mouse to look at the cue and the ball from the side."},
       {u"Play a shot once the cue angle and contact point are set."},
       {u"Masse is recommended only for skilled players."}}},
     {u"1. Cue almost upright, move the contact point off the centre.",
      u"2. Try the strong shot with over 70% power."}},
    {70, u"Pocketball rules",
     {{{u"Pocketball is also called Pool, which is played on a table with 6 pocket holes."},
       {u"The most popular types are 8 ball, 9 ball, Card ball, and Snooker."}}}, {}},
    {71, u"Pocketball rules - 8 Ball",
     {{{u"8 ball is played with 15 balls and a player who successfully pockets the number 8 ball will win."},
       {u"Before pocketing the 8 ball all balls of their group, stripe or solid, must be pocketed."},
       {u"Solids are the colored balls (or low balls) which are numbered from 1 ~7."},
       {u"Stripes are the striped balls (or high balls) which are numbered from 9~15."}}}, {}},
    {72, u"Pocketball rules - 8 Ball",
     {{{u"The group will be determined by the first ball pocketed after the break."},
       {u"The same group of balls as the first one they pocket will be the player's group for the game."},
       {u"The first ball hit by the cue ball needs to be in your group, otherwise it's a foul."}}}, {}},
    {75, u"Pocketball rules - 9 Ball",
     {{{u"This game is played with 9 balls, and the one who pockets the number 9 ball first will win."},
       {u"But, a player should first hit the lowest numbered ball remaining on the table."},
       {u"Points will be given no matter which ball is pocketed, if the lowest ball was hit first."}}}, {}},
    {76, u"Pocketball rules - 9 Ball",
     {{{u"After a foul or a miss, the incoming player may start with the cue ball anywhere on the table."},
       {u"The trick of this game is to accomplish a combination shot aiming at pocketing the 9 ball."}}}, {}},
    {78, u"Pocketball rules - 14.1",
     {{{u"This game is an easy one where pocketing any ball gains a point."},
       {u"But unlike other pocket ball games, the handicap score will be applied."},
       {u"The Handicap will be automatically set by the player's GA, starting from 100."},
       {u"14.1 in Marvenlot's rules, neither the ball or pocket needs to be called."}}}, {}},
    {98, u"Today's quest is over!",
     {{{u"You've done a great job accomplishing all the quests prepared. You can go out drinking now!"},
       {u"Just kidding."},
       {u"Well, quests will be updated often, and every time you successfully finish the quest,"},
       {u"you will be awarded with various gifts. So make sure to check it out again soon!"}}}, {}},
};

const PageLine kRewardRepeatLines[] = {
    {u"When your shot power is falling short, purchase a cue item or raise your skills."},
    {u"Every time you level up, you can raise the skills you want by using Abil. points."},
};

const std::vector<Topic> kTopics = {
    {1, 0, u"Control", 1},           {2, 0, u"Game guide", 20},   {3, 0, u"Character Ability", 30},
    {5, 0, u"Masse", 50},            {6, 0, u"Pocketball rules", 70}, {6, 1, u"8 Ball rules", 71},
    {6, 2, u"9 Ball rules", 75},     {6, 3, u"14.1 rules", 77},
};
// clang-format on

// Puts the nickname in for the one "%s"; the rest of the text stands as it is.
WString WithNickname(const char16_t* text, const WString& nickname) {
    WString out(text);
    const std::size_t at = out.find(u"%s");
    if (at != WString::npos) out.replace(at, 2, nickname);
    return out;
}

// The tip offsets the spin exercise asks for, and the off-centre offsets of a masse.
constexpr float kSpinOffset = 0.15f;
constexpr float kMasseOffset = 0.25f;
// A cue this steep stands almost upright: the masse exercises' raised cue.
constexpr float kUprightDegrees = 80.0f;
// The marks after the two-part goals' own: the aim turned during the aiming goals.
constexpr int kAimTurnedMark = 10;

bool OffCentre(float side, float vertical, float limit) {
    return side < -limit || side > limit || vertical < -limit || vertical > limit;
}

float Length2(float x, float y) {
    return std::sqrt(x * x + y * y);
}

// A two-part goal: each part sets its mark; done once both are set.
bool BothMarks(GoalMarks& marks, int first, bool partA, bool partB) {
    const auto i = static_cast<std::size_t>(first);
    if (partA) marks[i] = true;
    if (partB) marks[i + 1] = true;
    return marks[i] && marks[i + 1];
}

// The cue's own aim, not the camera: a right-button drag turns the camera away from the aim.
bool AimsAtOneOf(const GoalInputs& in, std::size_t firstBall, std::size_t lastBall) {
    if (in.balls.empty()) return false;
    const float radians = in.aimYawDegrees * table::kRadiansPerDegree;
    const std::array<float, 3> direction{std::cos(radians), std::sin(radians), 0.0f};
    for (std::size_t b = firstBall; b <= lastBall && b < in.balls.size(); ++b)
        if (AimLinePassesBall(direction, in.balls[0], in.balls[b], 0.2f)) return true;
    return false;
}

}  // namespace

const char16_t* const kAllGoalsDone = u"\u266C Good job. Try until you feel comfortable.";

const std::array<const char16_t*, kCategoryCount> kCategoryCaptions = {u"Tutorial", u"Level 1", u"Level 2",
                                                                       u"Level 3",  u"Level 4", u"Trickshot"};

const Page* FindPage(int step) {
    for (const Page& page : kPages)
        if (page.step == step) return &page;
    return nullptr;
}

std::vector<ShownLine> PageLines(const Page& page, const WString& nickname, bool rewardGivenBefore) {
    std::vector<ShownLine> lines;
    for (std::size_t i = 0; i < page.lines.size() && page.lines[i].text; ++i) {
        PageLine line = page.lines[i];
        if (page.step == kCourseEndStep && rewardGivenBefore && (i == 1 || i == 2))
            line = kRewardRepeatLines[i - 1];
        // Only the course-end page names the player in a line; the others stand as written.
        lines.push_back({page.step == kCourseEndStep ? WithNickname(line.text, nickname) : WString(line.text),
                         line.colour});
    }
    return lines;
}

WString PageTitle(const Page& page, const WString& nickname) {
    return WithNickname(page.title, nickname);
}

int GoalCount(const Page& page) {
    int n = 0;
    while (n < kMaxGoals && page.goals[static_cast<std::size_t>(n)]) ++n;
    return n;
}

int NextShownStep(int step, int delta) {
    const int direction = delta < 0 ? -1 : 1;
    int next = std::clamp(step + delta, kFirstStep, kLastStep);
    while (!FindPage(next)) next = std::clamp(next + direction, kFirstStep, kLastStep);
    return next;
}

bool PracticeControlMask(int step, std::uint32_t& mask) {
    switch (step) {
        case 4:
            mask = control_mask::kCamera;
            return true;
        case 5:
            mask = control_mask::kShot;
            return true;
        case 7:
            mask = control_mask::kAiming;
            return true;
        case 8:
            mask = control_mask::kSpin;
            return true;
        case 50:
        case 51:
            mask = control_mask::kMasse;
            return true;
        default:
            return false;
    }
}

bool TableTakesMessage(std::uint32_t mask, std::uint32_t message) {
    const bool mouse = message >= platform::kWmMouseMove && message <= platform::kWmMouseWheel;
    const bool key = message == platform::kWmKeyDown || message == platform::kWmKeyUp;
    if (!mouse && !key) return true;
    if (mask == control_mask::kNone) return false;
    const bool leftButton = message == platform::kWmLButtonDown || message == platform::kWmLButtonUp ||
                            message == platform::kWmLButtonDblClk;
    return !leftButton || (mask & table::control_bit::kShot) != 0;
}

bool GoalHolds(int step, int goal, const GoalInputs& in, GoalMarks& marks) {
    switch (step * 10 + goal) {
        case 40:
            return BothMarks(
                marks, 0,
                in.yawDegrees > 50 && in.yawDegrees<130, in.yawDegrees> - 220 && in.yawDegrees < -140);
        case 41:
            return BothMarks(marks, 2, in.pitchDegrees<10, in.pitchDegrees> 50);
        case 42:
            return BothMarks(marks, 4, in.cameraDistance<150, in.cameraDistance> 300);
        case 50:
            return in.shots > 0;
        case 80:
        case 81: {
            // The rack lies on the cue ball's first aim: only an aim the player turned counts.
            const auto turned = static_cast<std::size_t>(kAimTurnedMark + goal);
            if (in.aimTurned) marks[turned] = true;
            return marks[turned] && (goal == 0 ? AimsAtOneOf(in, 1, 8) : AimsAtOneOf(in, 9, 15));
        }
        case 90:
            return BothMarks(marks, 6, in.tipSide<-kSpinOffset, in.tipSide> kSpinOffset);
        case 91:
            return BothMarks(marks, 8, in.tipVertical<-kSpinOffset, in.tipVertical> kSpinOffset);
        case 92:
            return in.shots > 0 && OffCentre(in.lastShotTipSide, in.lastShotTipVertical, kSpinOffset);
        case 100:
            return in.shots > 0;
        case 500:
            return !in.shotRunning && in.elevationDegrees > kUprightDegrees;
        case 510:
            return in.elevationDegrees > kUprightDegrees &&
                   OffCentre(in.tipSide, in.tipVertical, kMasseOffset);
        case 511:
            return !in.shotRunning && in.shots > 0 && in.lastShotPower > 0.7f;
        default:
            return false;
    }
}

bool AimLinePassesBall(const std::array<float, 3>& direction, const std::array<float, 3>& cueBall,
                       const std::array<float, 3>& ball, float limit) {
    const float dx = direction[0], dy = direction[1];
    const float ex = ball[0] - cueBall[0], ey = ball[1] - cueBall[1], ez = ball[2] - cueBall[2];
    const float dirLength = Length2(dx, dy);
    const float diffLength = std::sqrt(ex * ex + ey * ey + ez * ez);
    if (!(dirLength > 0) || !(diffLength > 0) || !std::isfinite(dirLength) || !std::isfinite(diffLength))
        return false;
    // |d x e| / |d| = |e| sin(angle): the distance of the ball's centre from the line.
    const float cx = dy * ez, cy = -dx * ez, cz = dx * ey - dy * ex;
    const float distance = std::sqrt(cx * cx + cy * cy + cz * cz) / dirLength;
    return distance < limit;
}

const std::vector<Topic>& Topics() {
    return kTopics;
}

int TopicForStep(int step) {
    int found = -1;
    for (std::size_t i = 0; i < kTopics.size(); ++i)
        if (kTopics[i].step <= step) found = static_cast<int>(i);
    return found;
}

}  // namespace scenes::school
