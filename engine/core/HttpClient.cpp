#include "engine/core/HttpClient.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "platform/http/HttpTransfer.h"

namespace {

bool HasControlOrSpace(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= 0x20 || u == 0x7F;
    });
}

bool ParsePort(std::string_view text, std::uint16_t& port) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535) return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

// Splits "host", "host:port", "[v6]", "[v6]:port" or a bare IPv6 address.
bool SplitHost(const std::string& text, std::string& host, std::uint16_t& port) {
    if (text.empty() || HasControlOrSpace(text) || text.find_first_of("/?#@\\") != std::string::npos)
        return false;
    if (text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos || close == 1) return false;
        host = text.substr(0, close + 1);
        if (close + 1 == text.size()) return true;
        return text[close + 1] == ':' && ParsePort(std::string_view(text).substr(close + 2), port);
    }
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        host = text;
        return true;
    }
    if (text.find(':', colon + 1) != std::string::npos) {
        host = "[" + text + "]";  // a bare IPv6 address carries no port
        return true;
    }
    host = text.substr(0, colon);
    return !host.empty() && ParsePort(std::string_view(text).substr(colon + 1), port);
}

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

std::uint16_t DefaultPort(int protocol) {
    switch (protocol) {
        case static_cast<int>(InternetProtocol::Ftp):
            return 21;
        case static_cast<int>(InternetProtocol::Gopher):
            return 70;
        case static_cast<int>(InternetProtocol::Http):
            return 80;
        case static_cast<int>(InternetProtocol::Https):
            return 443;
        default:
            return 0;
    }
}

bool HttpSession::Open(const WString& agent) {
    Close();
    agent_ = agent;
    open_ = true;
    return true;
}

void HttpSession::Close() {
    open_ = false;
    agent_.clear();
}

bool HttpConnection::Open(const HttpSession& session, const WString& host, int protocol, const WString& user,
                          const WString& password) {
    Close();
    const std::uint16_t defaultPort = DefaultPort(protocol);
    if (!session.IsOpen() || defaultPort == 0) return false;
    std::string name;
    std::uint16_t port = defaultPort;
    if (!SplitHost(ToUtf8(host), name, port)) return false;
    agent_ = ToUtf8(session.Agent());
    protocol_ = static_cast<InternetProtocol>(protocol);
    host_ = std::move(name);
    port_ = port;
    user_ = ToUtf8(user);
    password_ = ToUtf8(password);
    open_ = true;
    return true;
}

void HttpConnection::Close() {
    open_ = false;
    host_.clear();
    port_ = 0;
    user_.clear();
    password_.clear();
}

bool HttpRequest::Open(const HttpConnection& connection, const WString& verb, const WString& path,
                       const WString& version, const WString& referrer,
                       const std::vector<WString>& acceptTypes) {
    Close();
    if (!connection.IsOpen()) return false;
    const char* scheme = nullptr;
    if (connection.Protocol() == InternetProtocol::Http) scheme = "http";
    if (connection.Protocol() == InternetProtocol::Https) scheme = "https";
    if (!scheme) return false;
    std::string target = ToUtf8(path);
    std::string method = verb.empty() ? std::string("GET") : ToUtf8(verb);
    if (HasControlOrSpace(target) || HasControlOrSpace(method)) return false;
    if (target.empty() || target.front() != '/') target.insert(target.begin(), '/');

    url_ = std::string(scheme) + "://" + connection.host_ + ":" + std::to_string(connection.port_) + target;
    verb_ = std::move(method);
    agent_ = connection.agent_;
    referrer_ = ToUtf8(referrer);
    user_ = connection.user_;
    password_ = connection.password_;
    http10_ = version == u"HTTP/1.0";
    accept_.clear();
    for (const WString& type : acceptTypes) {
        if (type.empty()) continue;
        accept_ += accept_.empty() ? "" : ", ";
        accept_ += ToUtf8(type);
    }
    open_ = true;
    return true;
}

void HttpRequest::Close() {
    open_ = false;
    url_.clear();
    headers_.clear();
    status_ = 0;
    response_.clear();
    error_.clear();
}

void HttpRequest::AddHeaders(WStringView headers) {
    headers_.append(headers);
}

void HttpRequest::SetTimeouts(std::uint32_t connectMs, std::uint32_t totalMs) {
    connectTimeoutMs_ = connectMs;
    totalTimeoutMs_ = totalMs;
}

bool HttpRequest::Send(const void* body, std::size_t length) {
    status_ = 0;
    response_.clear();
    if (!open_) {
        error_ = "request not open";
        return false;
    }
    platform::HttpTransfer transfer;
    transfer.url = url_;
    transfer.method = verb_;
    transfer.userAgent = agent_;
    transfer.referrer = referrer_;
    transfer.user = user_;
    transfer.password = password_;
    transfer.body = body;
    transfer.bodySize = body ? length : 0;
    transfer.http10 = http10_;
    transfer.connectTimeoutMs = connectTimeoutMs_;
    transfer.totalTimeoutMs = totalTimeoutMs_;

    // The block is split into lines; curl's own defaults that the system never sends are removed.
    bool contentType = false;
    const std::string block = ToUtf8(headers_);
    std::size_t start = 0;
    while (start < block.size()) {
        std::size_t end = block.find('\n', start);
        if (end == std::string::npos) end = block.size();
        std::string line = block.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        if (line.empty()) continue;
        contentType = contentType || StartsWithNoCase(line, "content-type:");
        transfer.headers.push_back(std::move(line));
    }
    transfer.headers.push_back(accept_.empty() ? "Accept:" : "Accept: " + accept_);
    transfer.headers.push_back("Expect:");
    if (!contentType) transfer.headers.push_back("Content-Type:");

    platform::HttpReply reply;
    const bool sent = platform::PerformHttp(transfer, reply);
    status_ = reply.status;
    response_ = std::move(reply.body);
    error_ = std::move(reply.error);
    return sent;
}
