#pragma once
// The engine's HTTP client, three objects as the system uses them: a session opened with an agent
// name (direct connection, never a proxy), a connection to one host made from the session, and a
// request made from the connection that collects its headers as one block and is sent with a body
// pointer and length. Each object lets go of what it holds when destroyed or opened again; a
// connection and a request copy what they need, so they may outlive the object they came from.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/Text.h"

enum class InternetProtocol : int { Ftp = 0, Gopher = 1, Http = 2, Https = 3 };

// Default port of each protocol; 0 for a number that names none.
std::uint16_t DefaultPort(int protocol);

class HttpSession {
public:
    HttpSession() = default;
    explicit HttpSession(const WString& agent) { Open(agent); }

    bool Open(const WString& agent);
    void Close();
    bool IsOpen() const { return open_; }
    const WString& Agent() const { return agent_; }

private:
    bool open_ = false;
    WString agent_;
};

class HttpConnection {
public:
    // host may carry ":port" ("127.0.0.1:8080", "[::1]:8080"); otherwise the protocol's port.
    // False for an unknown protocol (valid: 0 FTP, 1 Gopher, 2 HTTP, 3 HTTPS), a closed session,
    // or a host that is empty, carries a bad port or characters that do not belong in a host.
    bool Open(const HttpSession& session, const WString& host, int protocol, const WString& user = {},
              const WString& password = {});
    void Close();
    bool IsOpen() const { return open_; }

    InternetProtocol Protocol() const { return protocol_; }
    const std::string& Host() const { return host_; }  // without the port; IPv6 in brackets
    std::uint16_t Port() const { return port_; }

private:
    friend class HttpRequest;
    bool open_ = false;
    std::string agent_;
    InternetProtocol protocol_ = InternetProtocol::Http;
    std::string host_;
    std::uint16_t port_ = 0;
    std::string user_;
    std::string password_;
};

class HttpRequest {
public:
    // verb "GET", "POST"...; version "HTTP/1.0" or "HTTP/1.1" (empty: 1.1); referrer may be empty;
    // acceptTypes become one "Accept" header (none given: no Accept header). Only HTTP and HTTPS
    // connections carry requests: False on FTP and Gopher connections and on a closed one.
    bool Open(const HttpConnection& connection, const WString& verb, const WString& path,
              const WString& version = u"HTTP/1.1", const WString& referrer = {},
              const std::vector<WString>& acceptTypes = {});
    void Close();
    bool IsOpen() const { return open_; }

    // Appends to the header block: lines "Name: value", each ended by "\r\n".
    void AddHeaders(WStringView headers);
    const WString& Headers() const { return headers_; }

    // Sends the request with the header block and length bytes of body, and waits for the
    // response. True when the request went out and a response came back, whatever its status.
    bool Send(const void* body = nullptr, std::size_t length = 0);

    int StatusCode() const { return status_; }
    const std::string& ResponseBody() const { return response_; }
    // Why the last Send failed (empty after a success).
    const std::string& LastError() const { return error_; }

    void SetTimeouts(std::uint32_t connectMs, std::uint32_t totalMs);

private:
    bool open_ = false;
    std::string url_;
    std::string verb_;
    std::string agent_;
    std::string referrer_;
    std::string user_;
    std::string password_;
    std::string accept_;
    bool http10_ = false;
    WString headers_;
    std::uint32_t connectTimeoutMs_ = 10000;
    std::uint32_t totalTimeoutMs_ = 30000;
    int status_ = 0;
    std::string response_;
    std::string error_;
};
