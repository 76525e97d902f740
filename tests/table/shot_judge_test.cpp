// The provisional judge reads a shot's events into the result code and the per-shot lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "table/GameTypes.h"
#include "table/ShotJudge.h"

namespace table {
namespace {

using physics::EventType;
using physics::PhysicsEvent;

// "b2" the cue ball meets ball 2, "x1" ball 1 meets ball 3 (not the cue ball), "c1" a cushion of
// the cue ball on rail bits 1, "o1" a cushion of another ball, "p3" ball 3 falls.
std::vector<PhysicsEvent> Events(const std::vector<std::string>& script, std::uint16_t cueBall) {
    std::vector<PhysicsEvent> events;
    for (const std::string& step : script) {
        PhysicsEvent e;
        const auto n = static_cast<std::uint16_t>(std::stoi(step.substr(1)));
        switch (step[0]) {
            case 'b':
                e.type = EventType::BallCollision, e.ballId = n, e.tag = cueBall;
                break;
            case 'x':
                e.type = EventType::BallCollision, e.ballId = n, e.tag = 3;
                break;
            case 'c':
                e.type = EventType::Cushion, e.ballId = cueBall, e.tag = n;
                break;
            case 'o':
                e.type = EventType::Cushion, e.ballId = 5, e.tag = n;
                break;
            case 'p':
                e.type = EventType::PocketDrop, e.ballId = n, e.tag = 1;
                break;
        }
        events.push_back(e);
    }
    return events;
}

TEST(ShotJudge, ResultCodesOfCaromAndPocketShots) {
    const struct {
        const char* what;
        int gameType;
        std::uint16_t cueBall;
        std::vector<std::string> script;
        int code;
    } cases[] = {
        {"three cushions before the second ball", game::kThreeCushion, 0, {"b1", "c1", "c4", "c2", "b2"}, 4},
        {"bank shot: three cushions first", game::kThreeCushion, 0, {"c1", "c4", "c2", "b1", "b2"}, 3004},
        {"rolling along one cushion counts once", game::kThreeCushion, 0, {"b1", "c1", "c1", "c1", "b2"}, 2},
        {"a second hit of the same cushion after a ball counts",
         game::kThreeCushion,
         1,
         {"c1", "b0", "c1", "b2"},
         1003},
        {"one object ball only", game::kThreeCushion, 0, {"c1", "c2", "c4", "b1", "b1"}, 0},
        {"more than three cushions stay at four",
         game::kThreeCushionKorean,
         0,
         {"b2", "c1", "c2", "c4", "c8", "c1", "b1"},
         4},
        {"four-ball: both reds", game::kFourBall, 1, {"b2", "c1", "b3"}, 1},
        {"four-ball: the other cue ball spoils it", game::kFourBall, 1, {"b2", "b0", "b3"}, 0},
        {"six balls counts the object balls", game::kSixBalls, 0, {"b1", "b4", "b4", "b5"}, 3},
        {"8-ball: two balls down with the 8", game::kEightBall, 0, {"b3", "x1", "p3", "p8"}, 1006},
        {"8-ball: scratch", game::kEightBall, 0, {"b1", "p1", "p0"}, 1},
        {"pocket game: no ball hit", game::kNineBall, 0, {"c1", "c2"}, 0},
        {"pocket game: contact without a cushion after it", game::kNineBall, 0, {"c1", "b1"}, 2},
        {"pocket game: contact and a cushion after it", game::kNineBall, 0, {"b1", "o2"}, 3},
        {"9-ball: the 9 falls", game::kNineBall, 0, {"b1", "p9"}, 1005},
    };
    for (const auto& c : cases) {
        ShotJudge judge;
        judge.Begin(c.gameType, c.cueBall, GameTypeOf(c.gameType).ballCount);
        judge.Feed(Events(c.script, c.cueBall));
        EXPECT_EQ(judge.Judge().code, c.code) << c.what;
    }
}

TEST(ShotJudge, ListsHoldTheFallenBallsAndTheCueBallsContactsInOrder) {
    ShotJudge judge;
    judge.Begin(game::kEightBall, 0, 16);
    judge.Feed(Events({"b6", "x1", "b2", "b6", "p6", "p1", "p6"}, 0));
    judge.Feed(Events({"p12", "p40"}, 0));  // a ball id outside the set is ignored
    const ShotVerdict v = judge.Judge();
    EXPECT_EQ(v.pocketed, (std::vector<std::uint8_t>{6, 1, 12}));
    EXPECT_EQ(v.touched, (std::vector<std::uint8_t>{6, 2}));
    EXPECT_EQ(v.ruleValue, 6);
    judge.Begin(game::kEightBall, 0, 16);
    EXPECT_EQ(judge.Judge().ruleValue, 0xFF);
    EXPECT_TRUE(judge.Judge().pocketed.empty());
}

}  // namespace
}  // namespace table
