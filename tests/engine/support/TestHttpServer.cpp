#include "tests/engine/support/TestHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>

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

}  // namespace

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
    : status_(status), responseBody_(std::move(responseBody)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener_);
        listener_ = -1;
        return;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

TestHttpServer::~TestHttpServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
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
            wanted = length == "<absent>" ? 0 : std::stoul(length);
        }
    }
    if (headEnd == std::string::npos) return;
    Request request{data.substr(0, headEnd), data.substr(headEnd, wanted)};
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
    }
    const std::string response = "HTTP/1.1 " + std::to_string(status_) +
                                 " Canned\r\nContent-Length: " + std::to_string(responseBody_.size()) +
                                 "\r\nConnection: close\r\n\r\n" + responseBody_;
    std::size_t sent = 0;
    while (sent < response.size()) {
        const ssize_t n = ::send(socket, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
}
