#pragma once
// A tiny HTTP server on a loopback address for tests: it takes one connection at a time, reads one
// request (headers and a Content-Length body), keeps the raw bytes and answers with a canned response
// or through a handler, which may also close without an answer or hold the connection silent.

#include <atomic>
#include <cstdint>
#include <functional>
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
        std::string Path() const;
        // Value of one key of a form body ("a=1&b=2"), or "<absent>".
        std::string Form(const std::string& key) const;
        // Value of the first header with this name (case-insensitive), or "<absent>".
        std::string Header(const std::string& name) const;
        int HeaderCount(const std::string& name) const;
    };

    struct Response {
        enum class Kind { Reply, CloseWithoutAnswer, Stall };
        Kind kind = Kind::Reply;
        int status = 200;
        std::string body;
        bool contentLength = true;  // false: the body ends when the connection closes
    };
    using Handler = std::function<Response(const Request&)>;

    TestHttpServer(int status = 200, std::string responseBody = "OK");
    // port 0: an ephemeral port.
    explicit TestHttpServer(Handler handler, std::uint16_t port = 0,
                            const std::string& address = "127.0.0.1");
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    bool Started() const { return listener_ >= 0; }
    std::uint16_t Port() const { return port_; }
    std::string HostSetting() const;  // "<address>:<port>"
    std::vector<Request> Requests();

private:
    void Serve();
    void HandleConnection(int socket);

    Handler handler_;
    std::string address_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<Request> requests_;
    std::thread thread_;
};
