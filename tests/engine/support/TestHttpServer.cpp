#include "tests/engine/support/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <sstream>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Lines "name: value" of the head, names in lower case.
std::vector<std::pair<std::string, std::string>> HeaderLines(const std::string& head) {
    std::vector<std::pair<std::string, std::string>> lines;
    std::size_t start = head.find("\r\n");
    while (start != std::string::npos) {
        start += 2;
        const std::size_t end = head.find("\r\n", start);
        if (end == std::string::npos || end == start) break;
        const std::string line = head.substr(start, end - start);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos) {
            std::size_t valueStart = colon + 1;
            while (valueStart < line.size() && line[valueStart] == ' ') ++valueStart;
            lines.emplace_back(Lower(line.substr(0, colon)), line.substr(valueStart));
        }
        start = end;
    }
    return lines;
}

constexpr auto kStallLimit = std::chrono::seconds(20);
constexpr std::size_t kMaxRequestBytes = 1 << 20;

void SendAll(int socket, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(socket, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::string TestHttpServer::Request::Path() const {
    const std::string line = RequestLine();
    const std::size_t first = line.find(' ');
    const std::size_t second = line.find(' ', first + 1);
    if (first == std::string::npos || second == std::string::npos) return {};
    return line.substr(first + 1, second - first - 1);
}

std::string TestHttpServer::Request::Form(const std::string& key) const {
    std::istringstream pairs(body);
    for (std::string pair; std::getline(pairs, pair, '&');) {
        const std::size_t equals = pair.find('=');
        if (equals != std::string::npos && pair.substr(0, equals) == key) return pair.substr(equals + 1);
    }
    return "<absent>";
}

std::string TestHttpServer::Request::Header(const std::string& name) const {
    for (const auto& [key, value] : HeaderLines(head))
        if (key == Lower(name)) return value;
    return "<absent>";
}

int TestHttpServer::Request::HeaderCount(const std::string& name) const {
    int count = 0;
    for (const auto& line : HeaderLines(head)) count += line.first == Lower(name);
    return count;
}

TestHttpServer::TestHttpServer(int status, std::string responseBody)
    : TestHttpServer([status, responseBody](const Request&) {
          return Response{Response::Kind::Reply, status, responseBody, true};
      }) {}

TestHttpServer::TestHttpServer(Handler handler, std::uint16_t port, const std::string& address)
    : handler_(std::move(handler)), address_(address) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) return;
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = htons(port);
    socklen_t length = sizeof bound;
    if (::inet_pton(AF_INET, address.c_str(), &bound.sin_addr) != 1 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&bound), sizeof bound) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        ::close(listener_);
        listener_ = -1;
        return;
    }
    port_ = ntohs(bound.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

TestHttpServer::~TestHttpServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
}

std::string TestHttpServer::HostSetting() const {
    return address_ + ":" + std::to_string(port_);
}

std::vector<TestHttpServer::Request> TestHttpServer::Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
}

void TestHttpServer::Serve() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0) continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        HandleConnection(client);
        ::close(client);
    }
}

void TestHttpServer::HandleConnection(int socket) {
    std::string data;
    char buffer[4096];
    std::size_t headEnd = std::string::npos;
    std::size_t wanted = 0;
    for (;;) {
        if (headEnd != std::string::npos && data.size() >= headEnd + wanted) break;
        pollfd waiting{socket, POLLIN, 0};
        if (::poll(&waiting, 1, 5000) <= 0) return;
        const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        data.append(buffer, static_cast<std::size_t>(got));
        if (headEnd == std::string::npos) {
            const std::size_t blank = data.find("\r\n\r\n");
            if (blank == std::string::npos) continue;
            headEnd = blank + 4;
            Request probe{data.substr(0, headEnd), {}};
            const std::string length = probe.Header("Content-Length");
            wanted = length == "<absent>" ? 0 : std::min<std::size_t>(std::stoul(length), kMaxRequestBytes);
        }
    }
    if (headEnd == std::string::npos) return;
    Request request{data.substr(0, headEnd), data.substr(headEnd, wanted)};
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const Response answer = handler_(request);
    if (answer.kind == Response::Kind::CloseWithoutAnswer) return;
    if (answer.kind == Response::Kind::Stall) {
        // Holds the connection silent until the client gives up or the server stops.
        const auto until = std::chrono::steady_clock::now() + kStallLimit;
        while (!stopping_ && std::chrono::steady_clock::now() < until) {
            pollfd waiting{socket, POLLIN, 0};
            if (::poll(&waiting, 1, 20) > 0 && ::recv(socket, buffer, sizeof buffer, 0) <= 0) return;
        }
        return;
    }
    std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " Canned\r\n";
    if (answer.contentLength) response += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n" + answer.body;
    SendAll(socket, response);
}
