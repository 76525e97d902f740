#pragma once
// The local stand-in for the shot gallery web host: the tests' loopback HTTP server answering with
// the catalogue handler, which serves a few recorded shots the way the gallery pages them; tests
// give their own handlers for truncated, oversized and hostile replies.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tests/engine/support/TestHttpServer.h"

namespace gallery_test {

using GalleryTestServer = TestHttpServer;
using Request = TestHttpServer::Request;
using Answer = TestHttpServer::Response;
using Handler = TestHttpServer::Handler;

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

// The shots the catalogue serves as the gallery would: ten to a page, newest first; page 0 is the
// best shots (by points) of the date asked for, or of the newest date; unknown shots answer 404.
// Replies may be added while it serves.
class GalleryCatalogue {
public:
    explicit GalleryCatalogue(std::vector<GalleryShot> shots);
    Answer Serve(const Request& request) const;
    // False for a shot the catalogue does not hold.
    bool AddReply(int seq, GalleryShot::Reply reply);

private:
    mutable std::mutex mutex_;
    std::vector<GalleryShot> shots_;
};

Handler CatalogueHandler(std::shared_ptr<GalleryCatalogue> catalogue);
Handler CatalogueHandler(std::vector<GalleryShot> shots);

// Shots from the lines "SHOT <gameType> <calls> <hash> <record>" of a journal; other lines are skipped.
std::vector<GalleryShot> ShotsFromJournal(const std::string& text);

}  // namespace gallery_test
