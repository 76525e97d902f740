#include "platform/web/WebView.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/http/HttpTransfer.h"
#include "platform/sys/Env.h"
#include "platform/sys/RegularFile.h"
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

std::string FormFolder(std::string& why) {
    const std::string folder = RuntimeDir();
    struct stat st {};
    if (folder.empty()) {
        why = "there is no runtime folder";
    } else if (lstat(folder.c_str(), &st) != 0) {
        why = folder + ": " + std::strerror(errno);
    } else if (!S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & (S_IWGRP | S_IWOTH))) {
        why = "the runtime folder " + folder + " is not private to this user";
    } else {
        return folder;
    }
    return {};
}

std::vector<std::string> RemoveLeftFormFiles() {
    std::string why;
    const std::string folder = FormFolder(why);
    if (folder.empty()) return {};
    return RemoveLeftFiles(
        folder, [](std::string_view name) { return IsTemplateName(name, kFormPrefix, kFormSuffix); }, 0);
}

bool BrowserWebView::Navigate(const std::string& url, const std::string& postData, const std::string&) {
    RemoveHandedFiles();
    formPath_.clear();
    if (postData.empty()) return ShellOpen(url);
    // Never the shared temporary folder: the form holds the account's password.
    std::string why;
    const std::string folder = FormFolder(why);
    if (folder.empty()) {
        ReportShellOpenFailure({url, "the sign-in form has no private folder: " + why});
        return false;
    }
    std::string path = folder + "/" + std::string(kFormPrefix) + "XXXXXX" + std::string(kFormSuffix);
    // mkostemps creates the file with mode 0600.
    const int fd = mkostemps(path.data(), static_cast<int>(kFormSuffix.size()), O_CLOEXEC);
    bool written = fd >= 0 && WriteAll(fd, AutoSubmitForm(url, postData));
    int error = written ? 0 : errno;
    if (fd >= 0 && close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        if (fd >= 0) unlink(path.c_str());
        ReportShellOpenFailure(
            {url, "the sign-in form could not be written in " + folder + ": " + std::strerror(error)});
        return false;
    }
    formPath_ = path;
    return ShellOpen(formPath_, url, HandOver::RemoveAfterUse);
}

}  // namespace platform
