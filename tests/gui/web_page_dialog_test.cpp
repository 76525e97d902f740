#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <vector>

#include "gui/WebPageDialog.h"
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

// The system browser gets a private, auto-submitting form; the dialog ends at once.
TEST(WebPageDialogFlow, BrowserViewWritesAPrivateFormAndTheDialogEndsAtOnce) {
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
    ASSERT_FALSE(path.empty());
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

    // With no browser to hand it to, the failure names the page, not the form standing for it.
    testsupport::ScopedEnv headless("MARVENLOT_HEADLESS", "0"), noPrograms("PATH", "/nonexistent");
    platform::TakeShellOpenFailures();
    EXPECT_FALSE(next.Navigate("http://web.example/client/client_main.asp", "a=1", ""));
    const std::vector<platform::ShellOpenFailure> failures = platform::TakeShellOpenFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].target, "http://web.example/client/client_main.asp");
}
