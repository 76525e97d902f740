#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <tuple>
#include <vector>

#include "gui/WebPageDialog.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Shell.h"
#include "tests/common/TempDir.h"
#include "tests/engine/support/TestHttpServer.h"

namespace {

struct Posted {
    std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t>> messages;
    gui::WebPageDialog::PostUiMessage Poster() {
        return [this](std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
            messages.emplace_back(code, a, b, c);
        };
    }
};

std::unique_ptr<platform::WebView> Recording() {
    return std::make_unique<platform::RecordingWebView>();
}

const std::vector<std::string>& LogOf(gui::WebPageDialog& dialog) {
    return static_cast<platform::RecordingWebView*>(dialog.View())->Log();
}

}  // namespace

TEST(WebPagePost, IdAndPasswordGoAsTypedInCp949AndTheLengthHeaderMatches) {
    std::string post;
    ASSERT_TRUE(gui::WebPagePostData(u"abcdefghijklmno", u"p&ss=word", post));
    EXPECT_EQ(post, "login_id=abcdefghijklmno&login_pass=p&ss=word");
    EXPECT_EQ(
        gui::WebPageHeaders(post.size()),
        "Accept-Language: ko\r\nContent-Type: application/x-www-form-urlencoded\r\nAccept-Encoding: gzip, "
        "deflate\r\nUser-Agent: Marvenlot\r\nContent-Length: 45\r\nConnection: Keep-Alive\r\n\r\n");

    // Fifteen Korean characters are thirty bytes: sent whole, not cut to a sixteen-byte field.
    const WString korean = u"가나다라마바사아자차카타파하가";
    ASSERT_EQ(korean.size(), 15u);
    ASSERT_TRUE(gui::WebPagePostData(korean, u"pw", post));
    EXPECT_EQ(post.size(), std::string("login_id=&login_pass=pw").size() + 30);
    EXPECT_EQ(post.substr(9, 2), "\xB0\xA1");  // CP949 of the first character

    // A character CP949 cannot carry is refused rather than posted as '?'.
    std::string untouched = "keep";
    EXPECT_FALSE(gui::WebPagePostData(u"ab\u00e9\u4e02", u"pw", untouched));
    EXPECT_EQ(untouched, "keep");
}

TEST(WebPagePaths, NoticeAndBoardCarryTheEscapedQuestionMark) {
    EXPECT_EQ(gui::web_page::NoticePath(42),
              "/client/client_main.asp?forward_url=/client/notice/client_notice_view.asp%3FID=42");
    EXPECT_EQ(gui::web_page::BoardPath(7),
              "/client/client_main.asp?forward_url=/client/board/client_board_view.asp%3FID=7");
    EXPECT_EQ(gui::WebPageButtonFrame(true, true), 2);
    EXPECT_EQ(gui::WebPageButtonFrame(false, true), 1);
    EXPECT_EQ(gui::WebPageButtonFrame(false, false), 0);
}

// The recording view performs the exact post: a local server sees the body and the header block.
TEST(WebPageDialogFlow, PostReachesTheServerExactlyAndClosingPostsItsMessage) {
    TestHttpServer server(200, "<html></html>");
    ASSERT_TRUE(server.Started());
    setenv("MARVENLOT_WEB_HOST", ("127.0.0.1:" + std::to_string(server.Port())).c_str(), 1);
    Posted posted;
    gui::WebPageDialog::ClearDialogClosed();
    auto dialog = gui::WebPageDialog::Open(u"player01", u"a=b&c", gui::web_page::kPathCash, Recording(),
                                           posted.Poster());
    ASSERT_NE(dialog, nullptr);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& got = requests[0];
    EXPECT_EQ(got.RequestLine(), "POST /cash/client_cash.asp HTTP/1.1");
    EXPECT_EQ(got.body, "login_id=player01&login_pass=a=b&c");
    const std::string block = gui::WebPageHeaders(got.body.size());
    const std::string head = got.head.substr(got.head.find("\r\n") + 2);
    // Every line of the block, in order, and nothing else but the host.
    EXPECT_EQ(head, "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n" + block);

    EXPECT_TRUE(posted.messages.empty());
    EXPECT_FALSE(gui::WebPageDialog::DialogClosed());
    dialog->OnCommand(gui::web_page::kIdPrev);
    dialog->OnCommand(gui::web_page::kIdNext);
    dialog->OnAppCommand(gui::web_page::AppCommand::BrowserRefresh);
    dialog->OnCommand(gui::web_page::kIdClose);
    EXPECT_FALSE(dialog->IsOpen());
    EXPECT_TRUE(gui::WebPageDialog::DialogClosed());
    ASSERT_EQ(posted.messages.size(), 1u);
    EXPECT_EQ(posted.messages[0], std::make_tuple(1126u, 0u, 0u, 0u));
    dialog->OnClose();  // already closed: no second message
    EXPECT_EQ(posted.messages.size(), 1u);
    const std::vector<std::string> expected{
        "NAVIGATE http://127.0.0.1:" + std::to_string(server.Port()) + "/cash/client_cash.asp 200", "BACK",
        "FORWARD", "REFRESH", "CLOSE"};
    EXPECT_EQ(LogOf(*dialog), expected);
}

TEST(WebPageDialogFlow, OnlyOneDialogAtATimeAndTheKeysItKeeps) {
    setenv("MARVENLOT_WEB_HOST", "127.0.0.1:1", 1);
    Posted posted;
    auto first =
        gui::WebPageDialog::Open(u"id", u"pw", gui::web_page::kPathHome, Recording(), posted.Poster());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(gui::WebPageDialog::Open(u"id", u"pw", gui::web_page::kPathHome, Recording(), posted.Poster()),
              nullptr);
    EXPECT_FALSE(first->OnKey(0x25));
    EXPECT_FALSE(first->OnKey(0x28));
    EXPECT_FALSE(first->OnKey(0x74));
    EXPECT_TRUE(first->OnKey(0x41));
    EXPECT_TRUE(first->OnKey(0x0D));
    first->OnCommand(gui::web_page::kIdCancel);
    auto second =
        gui::WebPageDialog::Open(u"id", u"pw", gui::web_page::kPathHome, Recording(), posted.Poster());
    EXPECT_NE(second, nullptr);
    second.reset();  // destroyed without a close: the next may open
    EXPECT_FALSE(gui::WebPageDialog::AnyOpen());
}

// The system browser gets a private, auto-submitting form in the runtime folder, never the shared
// temporary folder; the dialog ends at once.
TEST(WebPageDialogFlow, BrowserViewWritesAPrivateFormAndTheDialogEndsAtOnce) {
    testsupport::TempDir runtime, temporary;
    testsupport::ScopedEnv runtimeEnv("MARVENLOT_RUNTIME_DIR", runtime.Path().c_str()),
        tmp("TMPDIR", temporary.Path().c_str());
    setenv("MARVENLOT_HEADLESS", "1", 1);
    setenv("MARVENLOT_WEB_HOST", "web.example:8080", 1);
    Posted posted;
    auto view = std::make_unique<platform::BrowserWebView>();
    platform::BrowserWebView* browser = view.get();
    auto dialog = gui::WebPageDialog::Open(u"id<1>", u"p\"w&x=y", gui::web_page::kPathHome, std::move(view),
                                           posted.Poster());
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->IsOpen());
    ASSERT_EQ(posted.messages.size(), 1u);

    const std::string path = browser->FormPath();
    ASSERT_EQ(std::filesystem::path(path).parent_path(), runtime.Path());
    EXPECT_TRUE(std::filesystem::is_empty(temporary.Path()));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::ifstream in(path);
    const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(html.find("action=\"http://web.example:8080/client/client_main.asp\""), std::string::npos)
        << html;
    EXPECT_NE(html.find("name=\"login_id\" value=\"id&lt;1&gt;\""), std::string::npos) << html;
    EXPECT_NE(html.find("name=\"login_pass\" value=\"p&quot;w\""), std::string::npos) << html;
    EXPECT_NE(html.find("name=\"x\" value=\"y\""), std::string::npos) << html;
    EXPECT_NE(html.find("document.forms[0].submit()"), std::string::npos);

    // The next page removes the earlier form.
    platform::BrowserWebView next;
    next.Navigate("http://web.example/", "a=1", "");
    EXPECT_FALSE(std::filesystem::exists(path));
    const std::string nextPath = next.FormPath();
    next.Navigate("http://web.example/", "", "");
    EXPECT_FALSE(std::filesystem::exists(nextPath));

    // A runtime folder others may write to takes no password: the page is not opened, and says why.
    platform::TakeShellOpenFailures();
    ASSERT_EQ(chmod(runtime.Path().c_str(), 0770), 0);
    EXPECT_FALSE(next.Navigate("http://web.example/client/client_main.asp", "a=1", ""));
    ASSERT_EQ(chmod(runtime.Path().c_str(), 0700), 0);
    EXPECT_TRUE(std::filesystem::is_empty(runtime.Path()));
    std::vector<platform::ShellOpenFailure> failures = platform::TakeShellOpenFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].why.find("the sign-in form has no private folder: the runtime folder"), 0u)
        << failures[0].why;

    // With no browser to hand it to, the failure names the page, not the form standing for it, and
    // the form goes at once.
    testsupport::ScopedEnv headless("MARVENLOT_HEADLESS", "0"), noPrograms("PATH", "/nonexistent");
    EXPECT_FALSE(next.Navigate("http://web.example/client/client_main.asp", "a=1", ""));
    EXPECT_FALSE(next.FormPath().empty());
    EXPECT_FALSE(std::filesystem::exists(next.FormPath()));
    failures = platform::TakeShellOpenFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].target, "http://web.example/client/client_main.asp");
}

// A form handed to the browser goes after the opener's failure as soon as it is taken, else after
// 45 s on the process clock (the browser has loaded it by then); a form left by a killed client
// goes at the next start, and nothing else in the folder does.
TEST(WebPageDialogFlow, TheFormGoesWhenTheOpenerFailsOrAfterTheBrowserTookItOrAtTheNextStart) {
    testsupport::TempDir runtime, programs;
    testsupport::ScopedEnv runtimeEnv("MARVENLOT_RUNTIME_DIR", runtime.Path().c_str()),
        headless("MARVENLOT_HEADLESS", "0"), path("PATH", (programs.Path() + ":/usr/bin:/bin").c_str());
    const std::string opener = programs.File("xdg-open");
    ASSERT_TRUE(testsupport::WriteFile(opener, "#!/bin/sh\nexit 1\n"));
    ASSERT_EQ(chmod(opener.c_str(), 0755), 0);
    platform::TakeShellOpenFailures();
    platform::BrowserWebView view;
    ASSERT_TRUE(view.Navigate("http://web.example/client/client_main.asp", "a=1", ""));
    std::vector<platform::ShellOpenFailure> failures;
    for (int i = 0; i < 500 && failures.empty(); ++i) {
        failures = platform::TakeShellOpenFailures();
        if (failures.empty()) platform::SleepMs(10);
    }
    ASSERT_EQ(failures.size(), 1u) << "the opener's failure never came";
    EXPECT_EQ(failures[0].why, "xdg-open ended with exit code 1 (it was not understood)");
    EXPECT_FALSE(std::filesystem::exists(view.FormPath()));

    platform::VirtualClock clock;
    platform::SetClock(&clock);
    const std::unique_ptr<platform::VirtualClock, void (*)(platform::VirtualClock*)> restore(
        &clock, [](platform::VirtualClock*) { platform::SetClock(nullptr); });
    // The opener says it ran, so that it is not left to start after the test removed it.
    const std::string ran = programs.File("ran");
    ASSERT_TRUE(testsupport::WriteFile(opener, "#!/bin/sh\ntouch '" + ran + "'\n"));
    ASSERT_TRUE(view.Navigate("http://web.example/client/client_main.asp", "a=1", ""));
    for (int i = 0; i < 500 && !testsupport::FileExists(ran); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(testsupport::FileExists(ran));
    clock.AdvanceMs(platform::kHandedFileKeepMs - 1);
    platform::TakeShellOpenFailures();
    EXPECT_TRUE(std::filesystem::exists(view.FormPath())) << "the form went before a browser could load it";
    clock.AdvanceMs(1);
    EXPECT_TRUE(platform::TakeShellOpenFailures().empty());
    EXPECT_FALSE(std::filesystem::exists(view.FormPath()));

    for (const char* name : {"marvenlot-page-Ab3dE9.html", "marvenlot-page-notes.html", "Marvenlot.lock",
                             "marvenlot-page-Ab3dE9.htm"})
        ASSERT_TRUE(testsupport::WriteFile(runtime.File(name), "left"));
    EXPECT_EQ(platform::RemoveLeftFormFiles(), std::vector<std::string>{"marvenlot-page-Ab3dE9.html"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(runtime.Path()), {}), 3);
}
