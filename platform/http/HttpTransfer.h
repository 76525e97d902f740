#pragma once
// One HTTP exchange over libcurl: the request goes out, the status and the body come back. Direct
// connection only: proxies named by the environment are ignored, redirects are not followed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct HttpTransfer {
    std::string url;     // "http://host:port/path" or "https://..."
    std::string method;  // "GET", "POST", "HEAD" or any other verb
    std::string userAgent;
    std::string referrer;              // empty: none
    std::vector<std::string> headers;  // "Name: value"; "Name:" removes a default header
    std::string user;                  // empty: no authentication
    std::string password;
    const void* body = nullptr;  // sent as is, with its length
    std::size_t bodySize = 0;
    bool http10 = false;  // HTTP/1.0 instead of HTTP/1.1
    std::uint32_t connectTimeoutMs = 10000;
    std::uint32_t totalTimeoutMs = 30000;
    std::size_t maxResponseBytes = std::size_t{16} << 20;
};

struct HttpReply {
    bool sent = false;  // the request went out and a response came back (any status)
    int status = 0;
    std::string body;
    std::string error;  // why it was not sent
};

// Blocks the calling thread until the exchange ends, or until BlockingWaitEnds (Quit.h) says so; safe
// to call from several threads at once.
bool PerformHttp(const HttpTransfer& transfer, HttpReply& reply);

}  // namespace platform
