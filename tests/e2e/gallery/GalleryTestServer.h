#pragma once
// A local stand-in for the shot gallery web host: an HTTP/1.0 server on a loopback address that
// records every request (request line, headers, form body) and answers it through a handler. The
// catalogue handler serves a few recorded shots the way the gallery pages them; tests give their
// own handlers for truncated, oversized and hostile replies.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace gallery_test {

struct Request {
    std::string requestLine;  // "POST /shot/shot_list_T.asp HTTP/1.0"
    std::string head;         // request line and headers, up to and including the blank line
    std::string body;         // exactly Content-Length bytes

    // Value of the first header with this name (case-insensitive), or "<absent>".
    std::string Header(const std::string& name) const;
    std::string Path() const;
    // Value of one key of the form body, or "<absent>".
    std::string Form(const std::string& key) const;
};

struct Answer {
    enum class Kind { Reply, CloseWithoutAnswer, Stall };
    Kind kind = Kind::Reply;
    int status = 200;
    std::string body;
    bool contentLength = true;  // false: the body ends when the connection closes
};

using Handler = std::function<Answer(const Request&)>;

class GalleryTestServer {
public:
    // port 0: an ephemeral port.
    explicit GalleryTestServer(Handler handler, std::uint16_t port = 0,
                               const std::string& address = "127.0.0.1");
    ~GalleryTestServer();
    GalleryTestServer(const GalleryTestServer&) = delete;
    GalleryTestServer& operator=(const GalleryTestServer&) = delete;

    bool Started() const { return listener_ >= 0; }
    std::uint16_t Port() const { return port_; }
    std::string HostSetting() const;  // "127.0.0.1:<port>"
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

// One shot of the gallery.
struct GalleryShot {
    struct Reply {
        std::string nickname;
        int points = 0;
        std::string text;
    };
    int seq = 0;
    std::string title;
    std::string nickname;
    int gameType = 0;
    std::string date;  // "2009-3-5"
    int points = 0;
    std::string info;
    std::string recordHex;
    std::string restHash;  // the SHOT line's hash, for checks
    std::vector<Reply> replies;
};

// Fields of a reply, each followed by "<BR>".
std::string Fields(const std::vector<std::string>& fields);

// Serves the shots as the gallery would: ten to a page, newest first; page 0 is the best shots (by
// points) of the date asked for, or of the newest date; unknown shots answer 404.
Handler CatalogueHandler(std::vector<GalleryShot> shots);

// Shots from the lines "SHOT <gameType> <calls> <hash> <record>" of a journal; other lines are skipped.
std::vector<GalleryShot> ShotsFromJournal(const std::string& text);

}  // namespace gallery_test
