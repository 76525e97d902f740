#include "scenes/front/HelpWindow.h"

#include <vector>

#include "gui/ComboBox.h"
#include "gui/GameTypeName.h"
#include "gui/TextLabel.h"
#include "gui/UiAtlas.h"
#include "net/GameTypes.h"
#include "platform/window/WindowCodes.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"

namespace scenes {

namespace {

constexpr std::uint32_t kControlsTab = 3201, kLobbyTab = 3202, kRulesTab = 3203, kGameTypeChoice = 3204;
constexpr int kDefaultRulesType = 4;

const std::vector<const char16_t*> kControlsPage = {
    u"Aiming",
    u"  Move the mouse to turn the aim; hold Shift to turn it finer. Left and Right turn it too.",
    u"  Hold the right button and move the mouse to turn the camera; the wheel zooms.",
    u"  Up and Down raise and lower the cue; W, A, S, D move the tip on the ball, Q centres it.",
    u"Striking",
    u"  Hold the left button and draw the mouse down for power; let go to strike.",
    u"  Or hold Space to charge the power and let go to strike.",
    u"  With the ball in hand, drag the cue ball where you want it and let go.",
    u"  The white ball at the right places the tip; the bar beside it sets the cue's height.",
    u"Keys",
    u"  Tab: top view. T: ball trails. B: guide line. C: chalk. F2: key guide.",
    u"  R: the last shot again on the replay panel (game and practice rooms; R again hides it).",
    u"  Enter: chat line. Esc: closes a window; in a game room it opens the game menu.",
    u"  Alt+Enter: full screen or window. F10 or F12: screenshot to the desktop. Alt+F4: quit.",
    u"  F3 opens Options: the aim and power sensitivity are under Control.",
};

const std::vector<const char16_t*> kLobbyPage = {
    u"Rooms",
    u"  The list shows the rooms of your channel; click one and press Join.",
    u"  A lock marks a room with a password.",
    u"  Create room opens a room with your game type, players and turn time.",
    u"Practice, shop and gallery",
    u"  Practice opens a table of your own to try shots.",
    u"  The shop sells cues, chalk and other items for gold or cash.",
    u"  The shot gallery shows the best shots of other players.",
    u"Chat and friends",
    u"  Type in the chat line and press Enter to talk to the channel.",
    u"  The messenger lists your friends and your clan.",
};

const std::vector<const char16_t*>& RulesPage(int gameType) {
    static const std::vector<const char16_t*> kFourBall = {
        u"Four balls: two red, a white and a yellow cue ball.",
        u"Hit both red balls with your cue ball to score a point.",
        u"Touching your opponent's cue ball, or no red ball at all, ends the turn.",
        u"You shoot again after every point; the first to reach the goal wins.",
    };
    static const std::vector<const char16_t*> kOneCushion = {
        u"Three balls: a red ball and the two cue balls.",
        u"Your cue ball must hit a cushion at least once before it hits the second ball.",
        u"Every point wins gold from the other players at the table.",
    };
    static const std::vector<const char16_t*> kThreeCushion = {
        u"Three balls: a red ball and the two cue balls.",
        u"Your cue ball must hit both other balls and touch cushions three times",
        u"or more before it hits the second ball.",
        u"You shoot again after every point; the first to reach the goal wins.",
        u"The handicap sets each player's goal.",
    };
    static const std::vector<const char16_t*> kSixBall = {
        u"Six object balls are racked; pocket them with the cue ball.",
        u"Hit the lowest ball on the table first.",
        u"Pocketing the last ball wins the frame.",
    };
    static const std::vector<const char16_t*> kEightBall = {
        u"Solids (1-7) and stripes (9-15); the first pocketed group is yours.",
        u"Pocket your whole group, then the 8 ball in a called pocket to win.",
        u"Pocketing the 8 ball early, or the cue ball with it, loses the game.",
        u"After a foul your opponent places the cue ball anywhere.",
    };
    static const std::vector<const char16_t*> kCardBall = {
        u"Every object ball stands for a playing card.",
        u"Pocket balls to build your hand; the best hand wins the round.",
        u"Hit the lowest ball on the table first.",
    };
    static const std::vector<const char16_t*> kNineBall = {
        u"Balls 1 to 9; always hit the lowest numbered ball first.",
        u"Any ball pocketed on a legal shot counts; you shoot again.",
        u"Pocketing the 9 ball on a legal shot wins the rack.",
        u"After a foul your opponent places the cue ball anywhere.",
    };
    static const std::vector<const char16_t*> kStraight = {
        u"Call a ball and a pocket before every shot; any ball may be called.",
        u"Each called ball pocketed scores a point.",
        u"When one ball is left the other fourteen are racked again.",
        u"A foul costs a point; the first to reach the goal wins.",
    };
    static const std::vector<const char16_t*> kSnooker = {
        u"Pot a red, then a colour, then a red again, while reds remain.",
        u"Reds score 1; yellow 2, green 3, brown 4, blue 5, pink 6, black 7.",
        u"When the reds are gone, pot the colours from yellow to black.",
        u"A foul gives your opponent at least 4 points.",
    };
    switch (gameType) {
        case 0:
            return kFourBall;
        case 2:
            return kOneCushion;
        case 6:
            return kSixBall;
        case 10:
            return kEightBall;
        case 11:
            return kCardBall;
        case 12:
            return kNineBall;
        case 13:
            return kStraight;
        case 16:
            return kSnooker;
        default:
            return kThreeCushion;
    }
}

// The game types with rules, in the order of the list.
std::vector<int> RuleTypes() {
    std::vector<int> types;
    for (int t = 0; t < net::kGameTypeCount; ++t)
        if (net::GameTypeHasRules(t)) types.push_back(t);
    return types;
}

}  // namespace

HelpWindow::HelpWindow() {
    SetUpDialog(*this, kWidth, kHeight, u"Help");
    AddTextButton(*this, 20, 36, 110, 28, kControlsTab, u"Controls");
    AddTextButton(*this, 136, 36, 110, 28, kLobbyTab, u"Lobby");
    AddTextButton(*this, 252, 36, 110, 28, kRulesTab, u"Game rules");
    gameTypes_ = AddChoice(*this, 380, 39, 190, kGameTypeChoice, {}, -1);
    for (int t : RuleTypes()) gameTypes_->AddItem(WString(net::GameTypeLongName(t)));
    for (int i = 0; i < kLineCount; ++i)
        lines_[static_cast<std::size_t>(i)] = AddTextLine(*this, 30, 78 + i * 22, kWidth - 60, 22, {});
    AddTextButton(*this, kWidth / 2 - 45, kHeight - 44, 90, 30, front_button::kCancel, u"Close",
                  platform::kVkEscape);
    SetVisible(false);
}

void HelpWindow::Open(int mode, int gameType) {
    ShowPage(mode, gameType);
    CenterOnScreen();
    Show(true);
}

void HelpWindow::ShowPage(int mode, int gameType) {
    mode_ = mode == kLobby || mode == kRules ? mode : kControls;
    if (mode_ == kRules) gameType_ = net::GameTypeHasRules(gameType) ? gameType : kDefaultRulesType;
    std::vector<const char16_t*> page;
    if (mode_ == kControls) page = kControlsPage;
    if (mode_ == kLobby) page = kLobbyPage;
    if (mode_ == kRules) {
        page.push_back(net::GameTypeLongName(gameType_).data());
        for (const char16_t* line : RulesPage(gameType_)) page.push_back(line);
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        lines_[i]->SetPlainText(i < page.size() ? WString(page[i]) : WString());
        // The rules' title is large; the other pages' headings (the lines not indented) are bold.
        const bool heading = mode_ != kRules && i < page.size() && page[i][0] != u' ';
        lines_[i]->SetFont(i == 0 && mode_ == kRules ? gui::kFont14Bold
                           : heading                 ? gui::kFont12Bold
                                                     : gui::kFont12);
    }
    gameTypes_->SetVisible(mode_ == kRules);
    const std::vector<int> types = RuleTypes();
    gameTypes_->Select(IndexOf(types, gameType_, -1));
}

const WString& HelpWindow::Line(int index) const {
    static const WString kNone;
    return index >= 0 && index < kLineCount ? lines_[static_cast<std::size_t>(index)]->Text() : kNone;
}

bool HelpWindow::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    switch (event.source->Id()) {
        case kControlsTab:
            ShowPage(kControls, gameType_);
            return true;
        case kLobbyTab:
            ShowPage(kLobby, gameType_);
            return true;
        case kRulesTab:
            ShowPage(kRules, gameType_);
            return true;
        case kGameTypeChoice: {
            const std::vector<int> types = RuleTypes();
            if (event.value >= 0 && event.value < static_cast<int>(types.size()))
                ShowPage(kRules, types[static_cast<std::size_t>(event.value)]);
            return true;
        }
        case front_button::kCancel:
            Show(false);
            return true;
        default:
            return false;
    }
}

}  // namespace scenes
