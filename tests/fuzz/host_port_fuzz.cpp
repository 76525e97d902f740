// host:port texts from the settings and the environment: the game server's address and the crash
// report host. A text is either refused or split into a host and a port that write back to the
// same split, and a report host taken never carries what would change the request's URL.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/core/HttpClient.h"
#include "engine/core/Text.h"
#include "net/GameSession.h"
#include "platform/net/TcpSocket.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::string host;
    std::uint16_t port = 0;
    const bool split = platform::ParseHostPort(text, host, port);
    if (split) {
        std::string again;
        std::uint16_t againPort = 0;
        if (host.empty() || port == 0) std::abort();
        if (!platform::ParseHostPort(host + ":" + std::to_string(port), again, againPort) || again != host ||
            againPort != port)
            std::abort();
    }
    std::string resolvedHost;
    std::uint16_t resolvedPort = 0;
    if (!net::GameSession::ResolveServerAddress(text, resolvedHost, resolvedPort) || resolvedPort == 0 ||
        resolvedHost.empty() || (split && (resolvedHost != host || resolvedPort != port)))
        std::abort();

    HttpSession session;
    session.Open(u"fuzz");
    HttpConnection connection;
    if (connection.Open(session, FromUtf8(text), static_cast<int>(InternetProtocol::Http))) {
        for (const char c : connection.Host())
            if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F ||
                std::string_view("/?#@\\").find(c) != std::string_view::npos)
                std::abort();
        HttpRequest request;
        request.Open(connection, u"POST", u"/file/up_file_pro.asp", u"HTTP/1.1", u"", {u"*/*"});
    }
    return 0;
}
