#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "engine/core/HttpClient.h"
#include "platform/sys/Quit.h"
#include "tests/engine/support/TestHttpServer.h"

namespace {

// Points every proxy variable curl honours at a dead address for the lifetime of the object.
class DeadProxyEnvironment {
public:
    DeadProxyEnvironment() {
        for (const char* name : kNames) {
            const char* old = std::getenv(name);
            saved_.push_back(old ? std::optional<std::string>(old) : std::nullopt);
            setenv(name, "http://127.0.0.1:9", 1);
        }
        unsetenv("no_proxy");
        unsetenv("NO_PROXY");
    }
    ~DeadProxyEnvironment() {
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            if (saved_[i])
                setenv(kNames[i], saved_[i]->c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
    }

private:
    static constexpr const char* kNames[] = {"http_proxy",  "HTTP_PROXY", "https_proxy",
                                             "HTTPS_PROXY", "ALL_PROXY",  "all_proxy"};
    std::vector<std::optional<std::string>> saved_;
};

WString HostOf(const TestHttpServer& server) {
    return FromUtf8("127.0.0.1:" + std::to_string(server.Port()));
}

}  // namespace

// The crash report's multipart post: the server must receive the body byte for byte, binary bytes
// and all, with exactly the headers the block gives and none that curl would add on its own.
TEST(HttpClient, PostBodyArrivesByteForByteWithTheHeaderBlockAndNoProxy) {
    DeadProxyEnvironment proxy;
    TestHttpServer server(200, "received");
    ASSERT_TRUE(server.Started());

    std::string body =
        "--7d72321d130552\r\nContent-Disposition: form-data; name=\"file1\"; "
        "filename=\"StartLog.log\"\r\nContent-Type: */*\r\n\r\nabc";
    for (int round = 0; round < 8; ++round)
        for (int b = 0; b < 256; ++b) body += static_cast<char>(b);
    body += "--7d72321d130552--\r\n";

    HttpSession session;
    ASSERT_TRUE(session.Open(u"ErrorReport"));
    HttpConnection connection;
    ASSERT_TRUE(connection.Open(session, HostOf(server), 2, u"", u""));
    HttpRequest request;
    ASSERT_TRUE(request.Open(connection, u"POST", u"/file/up_file_pro.asp", u"HTTP/1.1", u"", {u"*/*"}));
    request.AddHeaders(u"Content-Transfer-Encoding: binary\r\n");
    request.AddHeaders(u"Content-Type: multipart/form-data; boundary=7d72321d130552\r\n");
    ASSERT_TRUE(request.Send(body.data(), body.size())) << request.LastError();
    EXPECT_EQ(request.StatusCode(), 200);
    EXPECT_EQ(request.ResponseBody(), "received");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& got = requests[0];
    EXPECT_EQ(got.RequestLine(), "POST /file/up_file_pro.asp HTTP/1.1");
    EXPECT_EQ(got.body, body);
    EXPECT_EQ(got.Header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(got.Header("User-Agent"), "ErrorReport");
    EXPECT_EQ(got.Header("Accept"), "*/*");
    EXPECT_EQ(got.Header("Content-Transfer-Encoding"), "binary");
    EXPECT_EQ(got.Header("Content-Type"), "multipart/form-data; boundary=7d72321d130552");
    EXPECT_EQ(got.HeaderCount("Content-Type"), 1);
    EXPECT_EQ(got.Header("Expect"), "<absent>");
    EXPECT_EQ(got.Header("Host"), "127.0.0.1:" + std::to_string(server.Port()));
}

TEST(HttpClient, StatusAndBodyOfAnErrorResponseAreReadableAndVersionAndReferrerAreSent) {
    TestHttpServer server(404, "no such page");
    ASSERT_TRUE(server.Started());
    HttpSession session(u"Gallery");
    HttpConnection connection;
    ASSERT_TRUE(connection.Open(session, HostOf(server), static_cast<int>(InternetProtocol::Http)));
    HttpRequest request;
    ASSERT_TRUE(request.Open(connection, u"GET", u"gallery/list.asp?page=2", u"HTTP/1.0", u"http://ref/"));
    ASSERT_TRUE(request.Send());
    EXPECT_EQ(request.StatusCode(), 404);
    EXPECT_EQ(request.ResponseBody(), "no such page");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].RequestLine(), "GET /gallery/list.asp?page=2 HTTP/1.0");
    EXPECT_EQ(requests[0].Header("Referer"), "http://ref/");
    EXPECT_EQ(requests[0].Header("Accept"), "<absent>");
    EXPECT_EQ(requests[0].Header("Content-Type"), "<absent>");
    EXPECT_TRUE(requests[0].body.empty());
}

TEST(HttpClient, ProtocolsPortsAndHostsAreCheckedWhenTheConnectionOpens) {
    HttpSession session(u"agent");
    struct Case {
        WString host;
        int protocol;
        bool opens;
        std::uint16_t port;
    };
    const Case cases[] = {
        {u"example.org", 0, true, 21},
        {u"example.org", 1, true, 70},
        {u"example.org", 2, true, 80},
        {u"example.org", 3, true, 443},
        {u"example.org", 4, false, 0},
        {u"example.org", -1, false, 0},
        {u"example.org:8080", 2, true, 8080},
        {u"[::1]:8443", 3, true, 8443},
        {u"::1", 2, true, 80},
        {u"", 2, false, 0},
        {u"bad host", 2, false, 0},
        {u"host:0", 2, false, 0},
        {u"host:70000", 2, false, 0},
        {u"host:80x", 2, false, 0},
        {u"host/path", 2, false, 0},
        {u"user@host", 2, false, 0},
        {u"host\r\nX: y", 2, false, 0},
        {u":80", 2, false, 0},
    };
    for (const Case& c : cases) {
        HttpConnection connection;
        EXPECT_EQ(connection.Open(session, c.host, c.protocol), c.opens)
            << ToUtf8(c.host) << " " << c.protocol;
        if (c.opens) {
            EXPECT_EQ(connection.Port(), c.port) << ToUtf8(c.host);
        }
    }
}

TEST(HttpClient, ClosedOrUnsuitableObjectsAndUnreachableHostsFailWithoutCrashing) {
    HttpSession closed;
    HttpConnection connection;
    EXPECT_FALSE(connection.Open(closed, u"example.org", 2));

    HttpSession session(u"agent");
    HttpRequest request;
    EXPECT_FALSE(request.Send());
    EXPECT_FALSE(request.Open(connection, u"GET", u"/"));  // connection not open
    ASSERT_TRUE(connection.Open(session, u"example.org", 0));
    EXPECT_FALSE(request.Open(connection, u"GET", u"/"));  // FTP carries no HTTP request
    ASSERT_TRUE(connection.Open(session, u"example.org", 2));
    EXPECT_FALSE(request.Open(connection, u"GET", u"/a b"));
    EXPECT_FALSE(request.Open(connection, u"GET\r\n", u"/"));

    std::uint16_t deadPort = 0;
    {
        TestHttpServer gone;
        deadPort = gone.Port();
    }
    ASSERT_TRUE(connection.Open(session, FromUtf8("127.0.0.1:" + std::to_string(deadPort)), 2));
    ASSERT_TRUE(request.Open(connection, u"POST", u"/file/up_file_pro.asp"));
    request.SetTimeouts(2000, 4000);
    EXPECT_FALSE(request.Send("x", 1));
    EXPECT_FALSE(request.LastError().empty());
    EXPECT_EQ(request.StatusCode(), 0);

    // Reopening forgets the previous request's headers.
    request.AddHeaders(u"X-Old: 1\r\n");
    ASSERT_TRUE(request.Open(connection, u"GET", u"/"));
    EXPECT_TRUE(request.Headers().empty());
}

// An exchange holds its thread's message pump: on the thread that installed the blocking wait hook,
// an exchange with a silent host ends as soon as the hook asks (a close of the main window waits).
TEST(HttpClient, AnExchangeWithASilentHostEndsWhenTheBlockingWaitHookAsks) {
    TestHttpServer server([](const TestHttpServer::Request&) {
        TestHttpServer::Response silent;
        silent.kind = TestHttpServer::Response::Kind::Stall;
        return silent;
    });
    HttpSession session(u"Gallery");
    HttpConnection connection;
    ASSERT_TRUE(connection.Open(session, HostOf(server), static_cast<int>(InternetProtocol::Http)));
    HttpRequest request;
    ASSERT_TRUE(request.Open(connection, u"GET", u"/list.asp"));
    request.SetTimeouts(60000, 120000);
    int asked = 0;
    platform::SetBlockingWaitHook([&asked] { return ++asked == 2; });
    EXPECT_FALSE(request.Send());
    platform::SetBlockingWaitHook(nullptr);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(request.LastError(), "ended by a quit or a close of the window");
}
