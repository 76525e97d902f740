#pragma once
// The web view behind the game's web page dialog. There is no browser control to embed, so a page
// is shown by one of two backends:
//   Browser:   the system browser. The signed-in post becomes an auto-submitting HTML form written
//              to a file of mode 0600 in the user's private runtime folder (never the shared
//              temporary folder: it holds the password), opened with the desktop's opener. The
//              browser reads it later; the file goes when the opener fails, a short time after it
//              was handed over, when the next page opens or when the client ends (ShellOpen's
//              RemoveAfterUse), and a form left by a killed client goes at the next start. The
//              browser URL-encodes the fields itself. The page is not shown inside the game, so the
//              dialog around it ends as soon as the page is handed over.
//   Recording: performs the exact post (body bytes and header block as given) with the HTTP
//              transfer and keeps a log of what the dialog asked; the test backend.
// MARVENLOT_WEB_VIEW=record selects the recording backend; anything else the browser.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class WebViewBackend { Browser, Recording };

class WebView {
public:
    virtual ~WebView() = default;
    // url: "http://host/path"; postData: the body bytes (empty: a plain GET); headerBlock: lines
    // "Name: value\r\n" ending with an empty line. False when the page could not be shown or sent.
    virtual bool Navigate(const std::string& url, const std::string& postData,
                          const std::string& headerBlock) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Refresh() = 0;
    virtual void Close() = 0;
    // Whether the page shows inside the game's dialog, which then stays open until closed.
    virtual bool ShownInGame() const = 0;
};

WebViewBackend WebViewBackendFromEnvironment();
std::unique_ptr<WebView> CreateWebView(WebViewBackend backend);

// The sign-in forms: "marvenlot-page-" and six letters or digits, ".html", in FormFolder.
constexpr std::string_view kFormPrefix = "marvenlot-page-";
constexpr std::string_view kFormSuffix = ".html";
// The runtime folder when it is a folder of this user's that nobody else may write to; else empty,
// with the reason in `why`.
std::string FormFolder(std::string& why);
// At start, with the instance lock held: removes the forms a client that was killed left in the
// form folder (nothing else); the names removed.
std::vector<std::string> RemoveLeftFormFiles();

// The auto-submitting form of the browser backend: one hidden field per "name=value" pair of the
// post data (split at '&', then at the first '='), texts HTML-escaped, sent in charset EUC-KR.
std::string AutoSubmitForm(const std::string& url, const std::string& postData);

class RecordingWebView final : public WebView {
public:
    bool Navigate(const std::string& url, const std::string& postData,
                  const std::string& headerBlock) override;
    void GoBack() override { log_.push_back("BACK"); }
    void GoForward() override { log_.push_back("FORWARD"); }
    void Refresh() override { log_.push_back("REFRESH"); }
    void Close() override { log_.push_back("CLOSE"); }
    bool ShownInGame() const override { return true; }

    // "NAVIGATE <url> <status>", "BACK", "FORWARD", "REFRESH", "CLOSE".
    const std::vector<std::string>& Log() const { return log_; }

private:
    std::vector<std::string> log_;
};

class BrowserWebView final : public WebView {
public:
    bool Navigate(const std::string& url, const std::string& postData,
                  const std::string& headerBlock) override;
    // The browser keeps its own history; the dialog's buttons cannot reach it.
    void GoBack() override {}
    void GoForward() override {}
    void Refresh() override {}
    void Close() override {}
    bool ShownInGame() const override { return false; }
    const std::string& FormPath() const { return formPath_; }

private:
    std::string formPath_;
};

}  // namespace platform
