// The main of every test binary: GoogleTest's, with a listener that puts back, after each test, what
// a test may change for the whole process, so that every case starts from the state of a new process
// whatever ran before it (the suite passes shuffled and repeated). What is put back follows the
// libraries the binary links (MARVENLOT_TEST_LINKS_*, see marvenlot_test_main in
// cmake/MarvenlotTargets.cmake).

#include <gtest/gtest.h>

#if MARVENLOT_TEST_LINKS_PLATFORM
#include "platform/sys/Clock.h"
#endif
#if MARVENLOT_TEST_LINKS_ENGINE
#include "engine/core/Log.h"
#endif
#if MARVENLOT_TEST_LINKS_GUI
#include "gui/Widget.h"
#endif

namespace {

class ProcessStateRestorer : public testing::EmptyTestEventListener {
    // Runs once the test's fixture is gone.
    void OnTestEnd(const testing::TestInfo&) override {
#if MARVENLOT_TEST_LINKS_GUI
        // The screen size of the last layout, the mouse and the pointers into the test's widgets.
        gui::GetGuiState() = gui::GuiState{};
        gui::SetGuiRendering(false);
#endif
#if MARVENLOT_TEST_LINKS_ENGINE
        // Hooks into the test's objects, then the repeat limiter's budgets and the lines it left out,
        // whose summary would otherwise fall into the next test's lines.
        GetLog().SetObserver(nullptr);
        SetLogBreakHandler(nullptr);
        GetLog().ResetLimits();
#endif
#if MARVENLOT_TEST_LINKS_PLATFORM
        platform::SetClock(nullptr);
#endif
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ProcessStateRestorer);
    return RUN_ALL_TESTS();
}
