#pragma once
// The web page dialog: one page of the maker's web site, signed in with the player's account. The
// first navigation is a form post of the login id and password. The page itself is shown by the
// platform's web view; this object keeps the dialog's behaviour: one dialog at a time, the back,
// forward and close buttons, the keys, and application message 1126 posted on close. Main thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/core/Text.h"
#include "platform/web/WebView.h"

namespace gui {

namespace web_page {
constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kTitleHeight = 28;
constexpr int kButtonSize = 28;
// Control ids.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdBrowserHost = 1005;
constexpr int kIdClose = 1007;
constexpr int kIdPrev = 1011;
constexpr int kIdNext = 1012;
// Button positions on the title strip.
constexpr int kCloseX = 996;
constexpr int kNextX = 968;
constexpr int kPrevX = 940;
// Application message posted to the user-interface queue when the dialog closes.
constexpr std::uint32_t kMsgWebPageClosed = 1126;
// Keys the dialog keeps from the page: the arrows and F5.
constexpr int kVkLeft = 0x25;
constexpr int kVkDown = 0x28;
constexpr int kVkF5 = 0x74;
// Browser application commands.
enum class AppCommand { BrowserBackward = 1, BrowserForward = 2, BrowserRefresh = 3 };

// Pages (paths on the web host); the notice and board paths take an article number.
constexpr char kPathCash[] = "/cash/client_cash.asp";
constexpr char kPathHome[] = "/client/client_main.asp";
constexpr char kPathEventRegistration[] = "/event/champion/clientreg.asp";
std::string NoticePath(int id);
std::string BoardPath(int id);
}  // namespace web_page

// "login_id=%s&login_pass=%s" in the "ANSI" code page (CP949), without URL encoding: the page
// server reads the fields as they are. False (out untouched) when a text holds a character CP949
// cannot carry, so an id is never posted damaged or cut.
bool WebPagePostData(const WString& loginId, const WString& password, std::string& out);
// The request header block for a post of postBytes bytes.
std::string WebPageHeaders(std::size_t postBytes);
// Frame of a title-strip button bitmap: 2 pressed, else 1 under the cursor, else 0.
int WebPageButtonFrame(bool selected, bool hot);

class WebPageDialog {
public:
    using PostUiMessage =
        std::function<void(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c)>;

    // Opens the page (web host + path) in the given view. While another dialog is open none is
    // made: nullptr, and the open one stays in front. nullptr also when the account's texts
    // cannot be posted.
    static std::unique_ptr<WebPageDialog> Open(const WString& loginId, const WString& password,
                                               const std::string& path,
                                               std::unique_ptr<platform::WebView> view, PostUiMessage post);
    ~WebPageDialog();
    WebPageDialog(const WebPageDialog&) = delete;
    WebPageDialog& operator=(const WebPageDialog&) = delete;

    // Window commands: 1011 back, 1012 forward; 1, 2 and 1007 close.
    void OnCommand(int id);
    // The window's close box: the same as the close button.
    void OnClose() { OnCommand(web_page::kIdClose); }
    // True when the key goes on to the page (every key but the arrows and F5).
    bool OnKey(int virtualKey);
    void OnAppCommand(web_page::AppCommand command);

    bool IsOpen() const { return open_; }
    const std::string& Address() const { return address_; }
    platform::WebView* View() { return view_.get(); }

    // Set when a dialog closes; the lobby reads and clears it.
    static bool DialogClosed();
    static void ClearDialogClosed();
    static bool AnyOpen();

private:
    struct Key {
        explicit Key() = default;
    };

public:
    WebPageDialog(Key, std::string address, std::unique_ptr<platform::WebView> view, PostUiMessage post);

private:
    void Destroy();

    std::string address_;
    std::unique_ptr<platform::WebView> view_;
    PostUiMessage post_;
    bool open_ = true;
};

}  // namespace gui
