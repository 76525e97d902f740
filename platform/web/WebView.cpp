#include "platform/web/WebView.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "platform/http/HttpTransfer.h"
#include "platform/sys/Env.h"
#include "platform/sys/Shell.h"

namespace platform {

namespace {

std::string HtmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

WebViewBackend WebViewBackendFromEnvironment() {
    return GetEnv("MARVENLOT_WEB_VIEW") == "record" ? WebViewBackend::Recording : WebViewBackend::Browser;
}

std::unique_ptr<WebView> CreateWebView(WebViewBackend backend) {
    if (backend == WebViewBackend::Recording) return std::make_unique<RecordingWebView>();
    return std::make_unique<BrowserWebView>();
}

std::string AutoSubmitForm(const std::string& url, const std::string& postData) {
    std::string html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"EUC-KR\"><title>Marvenlot</title></head>\n"
        "<body onload=\"document.forms[0].submit()\">\n<form method=\"post\" action=\"" +
        HtmlEscape(url) + "\" accept-charset=\"EUC-KR\" enctype=\"application/x-www-form-urlencoded\">\n";
    std::size_t start = 0;
    while (!postData.empty() && start <= postData.size()) {
        std::size_t end = postData.find('&', start);
        if (end == std::string::npos) end = postData.size();
        const std::string pair = postData.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        const std::string name = pair.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : pair.substr(equals + 1);
        if (!name.empty())
            html += "<input type=\"hidden\" name=\"" + HtmlEscape(name) + "\" value=\"" + HtmlEscape(value) +
                    "\">\n";
        start = end + 1;
    }
    html += "<noscript><input type=\"submit\" value=\"Continue\"></noscript>\n</form></body></html>\n";
    return html;
}

bool RecordingWebView::Navigate(const std::string& url, const std::string& postData,
                                const std::string& headerBlock) {
    HttpTransfer transfer;
    transfer.url = url;
    transfer.method = postData.empty() ? "GET" : "POST";
    transfer.body = postData.data();
    transfer.bodySize = postData.size();
    std::size_t start = 0;
    while (start < headerBlock.size()) {
        std::size_t end = headerBlock.find("\r\n", start);
        if (end == std::string::npos) end = headerBlock.size();
        if (end > start) transfer.headers.push_back(headerBlock.substr(start, end - start));
        start = end + 2;
    }
    // Only the block's headers (and Host) go out: none of curl's defaults.
    transfer.headers.push_back("Accept:");
    transfer.headers.push_back("Expect:");
    HttpReply reply;
    const bool sent = PerformHttp(transfer, reply);
    log_.push_back("NAVIGATE " + url + " " + std::to_string(sent ? reply.status : 0));
    return sent;
}

// The form files handed to the browser; each is removed when the next one is made, and the last
// one when the client ends.
class FormFiles {
public:
    ~FormFiles() { RemoveAll(); }
    void Add(const std::string& path) { paths_.push_back(path); }
    void RemoveAll() {
        for (const std::string& path : paths_) unlink(path.c_str());
        paths_.clear();
    }

private:
    std::vector<std::string> paths_;
};

FormFiles& Forms() {
    static FormFiles files;
    return files;
}

bool BrowserWebView::Navigate(const std::string& url, const std::string& postData, const std::string&) {
    Forms().RemoveAll();
    formPath_.clear();
    if (postData.empty()) return ShellOpen(url);
    std::string dir = GetEnv("TMPDIR");
    if (dir.empty()) dir = "/tmp";
    std::string path = dir + "/marvenlot-page-XXXXXX.html";
    // mkstemps creates the file with mode 0600: the form holds the account's password.
    const int fd = mkstemps(path.data(), 5);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, AutoSubmitForm(url, postData));
    close(fd);
    if (!written) {
        unlink(path.c_str());
        return false;
    }
    Forms().Add(path);
    formPath_ = path;
    return ShellOpen(formPath_, url);
}

}  // namespace platform
