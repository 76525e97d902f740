// Scripted input through the sdl backend (SDL's offscreen driver): pushed as SDL events, it comes
// back through the backend's own translation, with each mouse record once.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "platform/input/InputScriptPlayer.h"
#include "platform/input/KeyNames.h"
#include "platform/input/MouseDevice.h"
#include "platform/window/SdlKeyMap.h"
#include "platform/window/Window.h"
#include "tests/platform/support/MouseRecords.h"

using namespace platform;

TEST(ScriptedSdlWindow, EveryScriptKeyNameIsSdlsOwnAndTranslatesToTheSameVirtualKey) {
    for (const KeyName& key : AllKeyNames()) {
        const std::string name(key.name);
        const SDL_Keycode sdl = SDL_GetKeyFromName(name.c_str());
        ASSERT_NE(sdl, SDLK_UNKNOWN) << name;
        EXPECT_EQ(VirtualKeyOfSdlKey(sdl), key.virtualKey) << name;
    }
}

TEST(ScriptedSdlWindow, PushedEventsGiveTheMessagesAndOneMouseRecordPerChange) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::unique_ptr<WindowSystem> windows = WindowSystem::Create(VideoBackend::Sdl);
    if (!windows) GTEST_SKIP() << "no SDL video driver";
    auto window = windows->CreateMainWindow(WindowDesc{u"test", Rect{100, 50, 1124, 818}, false, false});
    ASSERT_NE(window, nullptr);
    // The click that focuses a window acts there; a full-screen client in the background drops it.
    EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, SDL_FALSE));
    window->SetBounds(Rect{0, 0, 1024, 768}, true);
    EXPECT_FALSE(SDL_GetHintBoolean(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, SDL_TRUE));
    window->SetBounds(Rect{100, 50, 1124, 818}, false);
    EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, SDL_FALSE));
    MouseDevice mouse(MouseBackend::Sdl);
    mouse.SetBufferSize(64);
    ASSERT_EQ(mouse.Acquire(), MouseResult::Ok);

    const InputScript script = ParseInputScript(
        "move 10 20\nmove 15 18\ndown right\nwheel 2\nup right\nkey Left\ntext 한글 and a long text past 31 "
        "bytes\n"
        "quit\n");
    ASSERT_TRUE(script.errors.empty());
    windows->SetInputScript(std::make_unique<InputScriptPlayer>(script.commands, nullptr));
    std::vector<Message> got;
    Message message;
    for (int pass = 0; pass < 20; ++pass)
        while (windows->PeekMessage(message))
            if (message.message >= kWmKeyDown || message.message == kWmClose) got.push_back(message);

    const std::intptr_t at = MakeLParam(15, 18);
    const std::vector<std::uint32_t> head = {kWmMouseMove, kWmMouseMove, kWmRButtonDown, kWmMouseWheel,
                                             kWmRButtonUp, kWmKeyDown,   kWmKeyUp};
    ASSERT_GE(got.size(), head.size());
    for (std::size_t i = 0; i < head.size(); ++i) EXPECT_EQ(got[i].message, head[i]) << i;
    EXPECT_EQ(got[2].lParam, at);
    EXPECT_EQ(got[2].wParam, kMkRButton);
    EXPECT_EQ(got[3].lParam, MakeLParam(115, 68));
    EXPECT_EQ(got[3].wParam >> 16, 240u);
    EXPECT_EQ(got[5].wParam, kVkLeft);
    std::u16string typed;
    for (std::size_t i = head.size(); i < got.size(); ++i)
        if (got[i].message == kWmChar) typed.push_back(static_cast<char16_t>(got[i].wParam));
    EXPECT_EQ(typed, u"한글 and a long text past 31 bytes");
    EXPECT_EQ(got.back().message, kWmClose);

    const testsupport::MouseChanges expected = {
        {kMouseOffsetX, 5},   {kMouseOffsetY, -2},          {kMouseOffsetButton0 + 1, 0x80},
        {kMouseOffsetZ, 240}, {kMouseOffsetButton0 + 1, 0},
    };
    EXPECT_EQ(testsupport::ReadMouseChanges(mouse), expected);

    // SDL reports the motion that leaves the window at the edge, with the whole way out as relative
    // motion: without a held button it moves nothing, nor does the way back in, and the client hears
    // that the pointer left (marked 0 below). A drag goes on outside; ended there, the pointer is out.
    const std::uint32_t id = SDL_GetWindowID(static_cast<SDL_Window*>(window->NativeHandle()));
    for (const auto& [x, y, dx, dy] : {std::array{700, 300, 0, 0},
                                       {1023, 300, 400, 0},
                                       {700, 0, -40, -500},
                                       {10, 300, 0, 0},
                                       {20, 305, 10, 5}}) {
        SDL_Event event{};
        event.motion = {SDL_MOUSEMOTION, 0, id, 0, 0, x, y, dx, dy};
        SDL_PushEvent(&event);
    }
    windows->SetInputScript(std::make_unique<InputScriptPlayer>(
        ParseInputScript("move 20 305\ndown left\nmove 1500 305\nup left\n").commands, nullptr));
    std::vector<std::intptr_t> moves;
    const auto takeMoves = [&] {
        moves.clear();
        for (int pass = 0; pass < 20; ++pass)
            while (windows->PeekMessage(message))
                if (message.message == kWmMouseMove || message.message == kWmMouseLeave)
                    moves.push_back(message.message == kWmMouseLeave ? 0 : message.lParam);
    };
    takeMoves();
    EXPECT_EQ(moves,
              (std::vector<std::intptr_t>{MakeLParam(700, 300), 0, MakeLParam(10, 300), MakeLParam(20, 305),
                                          MakeLParam(20, 305), MakeLParam(1500, 305), 0}));
    const testsupport::MouseChanges outside = {{kMouseOffsetX, 10},
                                               {kMouseOffsetY, 5},
                                               {kMouseOffsetButton0, 0x80},
                                               {kMouseOffsetX, 1480},
                                               {kMouseOffsetButton0, 0}};
    EXPECT_EQ(testsupport::ReadMouseChanges(mouse), outside);

    // Another program's window raised over this one takes the pointer without a motion out (SDL says
    // the pointer left), and it comes back in at another place: the jump moves nothing either.
    SDL_Event event{};
    event.motion = {SDL_MOUSEMOTION, 0, id, 0, 0, 30, 310, 10, 5};
    SDL_PushEvent(&event);
    event = {};
    event.window = {SDL_WINDOWEVENT, 0, id, SDL_WINDOWEVENT_LEAVE, 0, 0, 0, 0, 0};
    SDL_PushEvent(&event);
    event = {};
    event.motion = {SDL_MOUSEMOTION, 0, id, 0, 0, 500, 400, 470, 90};
    SDL_PushEvent(&event);
    takeMoves();
    EXPECT_EQ(moves, (std::vector<std::intptr_t>{MakeLParam(30, 310), 0, MakeLParam(500, 400)}));
    EXPECT_TRUE(testsupport::ReadMouseChanges(mouse).empty());
}
