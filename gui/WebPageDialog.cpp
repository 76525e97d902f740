#include "gui/WebPageDialog.h"

#include <atomic>

#include "engine/core/Format.h"
#include "gui/WebHost.h"

namespace gui {

namespace {

// One dialog at a time; the dialog-closed flag is read by the lobby.
WebPageDialog* gOpenDialog = nullptr;
std::atomic<bool> gDialogClosed{false};

// CP949 bytes of a text, or false when a character has no CP949 form (the conversion would put
// '?' in its place).
bool ToCp949(const WString& text, std::string& out) {
    out = WideToMulti(text);
    return MultiToWide(out) == text;
}

}  // namespace

std::string web_page::NoticePath(int id) {
    return ToUtf8(
        Format(u"/client/client_main.asp?forward_url=/client/notice/client_notice_view.asp%%3FID=%d", id));
}

std::string web_page::BoardPath(int id) {
    return ToUtf8(
        Format(u"/client/client_main.asp?forward_url=/client/board/client_board_view.asp%%3FID=%d", id));
}

bool WebPagePostData(const WString& loginId, const WString& password, std::string& out) {
    std::string id, pass;
    if (!ToCp949(loginId, id) || !ToCp949(password, pass)) return false;
    out = "login_id=" + id + "&login_pass=" + pass;
    return true;
}

std::string WebPageHeaders(std::size_t postBytes) {
    return "Accept-Language: ko\r\nContent-Type: application/x-www-form-urlencoded\r\nAccept-Encoding: gzip, "
           "deflate\r\nUser-Agent: Marvenlot\r\nContent-Length: " +
           std::to_string(postBytes) + "\r\nConnection: Keep-Alive\r\n\r\n";
}

int WebPageButtonFrame(bool selected, bool hot) {
    return selected ? 2 : hot ? 1 : 0;
}

std::unique_ptr<WebPageDialog> WebPageDialog::Open(const WString& loginId, const WString& password,
                                                   const std::string& path,
                                                   std::unique_ptr<platform::WebView> view,
                                                   PostUiMessage post) {
    if (gOpenDialog || !view) return nullptr;
    std::string postData;
    if (!WebPagePostData(loginId, password, postData)) return nullptr;
    auto dialog = std::make_unique<WebPageDialog>(Key{}, WebPageUrl(path), std::move(view), std::move(post));
    gOpenDialog = dialog.get();
    dialog->view_->Navigate(dialog->address_, postData, WebPageHeaders(postData.size()));
    // A page shown outside the game leaves nothing for the dialog to show: it ends at once.
    if (!dialog->view_->ShownInGame()) dialog->OnClose();
    return dialog;
}

WebPageDialog::WebPageDialog(Key, std::string address, std::unique_ptr<platform::WebView> view,
                             PostUiMessage post)
    : address_(std::move(address)), view_(std::move(view)), post_(std::move(post)) {}

WebPageDialog::~WebPageDialog() {
    if (open_) {
        view_->Close();
        open_ = false;
        gDialogClosed = true;
    }
    if (gOpenDialog == this) gOpenDialog = nullptr;
}

void WebPageDialog::OnCommand(int id) {
    if (!open_) return;
    switch (id) {
        case web_page::kIdPrev:
            view_->GoBack();
            break;
        case web_page::kIdNext:
            view_->GoForward();
            break;
        case web_page::kIdOk:
        case web_page::kIdCancel:
        case web_page::kIdClose:
            Destroy();
            if (post_) post_(web_page::kMsgWebPageClosed, 0, 0, 0);
            break;
        default:
            break;
    }
}

bool WebPageDialog::OnKey(int virtualKey) {
    return !(virtualKey >= web_page::kVkLeft && virtualKey <= web_page::kVkDown) &&
           virtualKey != web_page::kVkF5;
}

void WebPageDialog::OnAppCommand(web_page::AppCommand command) {
    if (!open_) return;
    switch (command) {
        case web_page::AppCommand::BrowserBackward:
            view_->GoBack();
            break;
        case web_page::AppCommand::BrowserForward:
            view_->GoForward();
            break;
        case web_page::AppCommand::BrowserRefresh:
            view_->Refresh();
            break;
    }
}

// The window's destruction: the page goes, the flag is set, and another dialog may open.
void WebPageDialog::Destroy() {
    view_->Close();
    open_ = false;
    gDialogClosed = true;
    if (gOpenDialog == this) gOpenDialog = nullptr;
}

bool WebPageDialog::DialogClosed() {
    return gDialogClosed;
}
void WebPageDialog::ClearDialogClosed() {
    gDialogClosed = false;
}
bool WebPageDialog::AnyOpen() {
    return gOpenDialog != nullptr;
}

}  // namespace gui
