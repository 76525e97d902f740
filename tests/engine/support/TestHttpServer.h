#pragma once
// A tiny HTTP server on 127.0.0.1 for tests: it takes one connection at a time, reads one request
// (headers and a Content-Length body), keeps the raw bytes and answers with a canned response.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TestHttpServer {
public:
    struct Request {
        std::string head;  // request line and headers, up to and including the blank line
        std::string body;  // exactly Content-Length bytes

        std::string RequestLine() const { return head.substr(0, head.find("\r\n")); }
        // Value of the first header with this name (case-insensitive), or "<absent>".
        std::string Header(const std::string& name) const;
        int HeaderCount(const std::string& name) const;
    };

    TestHttpServer(int status = 200, std::string responseBody = "OK");
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool Started() const { return listener_ >= 0; }
    std::uint16_t Port() const { return port_; }
    std::vector<Request> Requests();

private:
    void Serve();
    void HandleConnection(int socket);

    int status_;
    std::string responseBody_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<Request> requests_;
    std::thread thread_;
};
