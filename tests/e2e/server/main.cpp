// marvenlot-testserver: the test game server as a program, so that a person can run the client in normal
// mode against it on one machine (docs/testserver.md).
//   marvenlot-testserver [--port N] [--cipher] [--verbose] [--personal-cues] [--gold N] [--gallery-port N]
//                        [--answer-wait MS] [--turn-grace MS] [--turn-cap MS] [--channel-capacity N]
// Port 0 (the default) picks a free port; the chosen one is printed. --gold gives new accounts N gold
// instead of 100,000 (the earn-gold mission takes players with at most 3,000). --gallery-port also
// serves the shot gallery's stand-in, which shows the recommendations the players send. --answer-wait
// sets how long the players' answers to a shot are waited for after the first came (30,000 ms).
// --turn-grace and --turn-cap set the server's turn clock: a turn whose shooter has not shot ends after
// the room's turn time and the grace (15,000 ms), or the cap in a room without a turn time (300,000 ms).
// --channel-capacity sets the players a channel takes (200).

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "engine/core/Text.h"
#include "tests/e2e/gallery/GalleryTestServer.h"
#include "tests/e2e/gallery/RecordedShots.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {
std::atomic<bool> gStop{false};
void OnSignal(int) {
    gStop = true;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: marvenlot-testserver [--port N] [--cipher] [--verbose] [--personal-cues] [--gold N] "
                 "[--gallery-port N] [--answer-wait MS] [--turn-grace MS] [--turn-cap MS] "
                 "[--channel-capacity N]\n");
    return 2;
}
}  // namespace

int main(int argc, char** argv) {
    // Each line reaches a file or pipe as it is printed, not in blocks: one reading the log of a
    // running server (a person, a test) sees every frame and every "listening on" as it happens.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    testserver::ServerOptions options;
    options.lobby = true;
    options.frameLimit = 0;  // no script reads what clients sent
    long port = 0, galleryPort = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--port" || arg == "--gallery-port") && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (!end || *end != '\0' || end == argv[i] || value < 0 || value > 65535) return Usage();
            (arg == "--port" ? port : galleryPort) = value;
        } else if (arg == "--cipher") {
            options.cipher = true;
        } else if ((arg == "--gold" || arg == "--answer-wait" || arg == "--turn-grace" ||
                    arg == "--turn-cap" || arg == "--channel-capacity") &&
                   i + 1 < argc) {
            char* end = nullptr;
            errno = 0;
            const long long value = std::strtoll(argv[++i], &end, 10);
            const bool capacity = arg == "--channel-capacity";
            if (!end || *end != '\0' || end == argv[i] || errno == ERANGE || value < 0 ||
                (capacity && value > 65535)) {
                std::fprintf(stderr,
                             "marvenlot-testserver: %s takes a whole number from 0 up%s, not \"%s\"\n",
                             arg.c_str(), capacity ? " to 65535" : "", argv[i]);
                return Usage();
            }
            if (capacity)
                options.channelCapacity = static_cast<std::uint16_t>(value);
            else
                (arg == "--gold"          ? options.startGold
                 : arg == "--answer-wait" ? options.answerWaitMs
                 : arg == "--turn-grace"  ? options.turnGraceMs
                                          : options.turnCapMs) = value;
        } else if (arg == "--personal-cues") {
            options.personalCues = true;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else {
            return Usage();
        }
    }
    // The gallery stand-in in the same process takes the recommendations the game server was sent.
    std::unique_ptr<gallery_test::GalleryTestServer> gallery;
    if (galleryPort >= 0) {
        auto catalogue = std::make_shared<gallery_test::GalleryCatalogue>(
            gallery_test::ShotsFromJournal(gallery_test::RecordShotLines()));
        gallery = std::make_unique<gallery_test::GalleryTestServer>(gallery_test::CatalogueHandler(catalogue),
                                                                    static_cast<std::uint16_t>(galleryPort));
        if (!gallery->Started()) {
            std::fprintf(stderr, "marvenlot-testserver: cannot serve the gallery on port %ld\n", galleryPort);
            return 1;
        }
        options.onShotReply = [catalogue](std::uint32_t seq, const std::u16string& nickname, int points,
                                          const std::u16string& text) {
            catalogue->AddReply(static_cast<int>(seq), {WideToMulti(nickname), points, WideToMulti(text)});
        };
    }
    testserver::TestGameServer server(options);
    if (!server.Start(static_cast<std::uint16_t>(port))) {
        std::fprintf(stderr, "marvenlot-testserver: cannot listen on 127.0.0.1:%ld\n", port);
        return 1;
    }
    std::printf("listening on 127.0.0.1:%u\n", server.Port());
    if (gallery) std::printf("serving the shot gallery on %s\n", gallery->HostSetting().c_str());
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!gStop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.Stop();
    return 0;
}
