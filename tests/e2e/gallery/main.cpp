// marvenlot-galleryserver: the shot gallery stand-in as a program, so a person can open the gallery
// on one machine. It serves a few shots struck on the project's table world, or the SHOT lines of a
// journal given with --shots, until SIGINT or SIGTERM.
// Usage: marvenlot-galleryserver [--port N] [--address A] [--shots JOURNAL]

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/e2e/gallery/GalleryTestServer.h"
#include "tests/e2e/gallery/RecordedShots.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStop(int) {
    stopRequested = 1;
}

}  // namespace

int main(int argc, char** argv) {
    long port = 8090;
    std::string address = "127.0.0.1";
    std::string shotsFile;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
            char* end = nullptr;
            port = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || port < 0 || port > 65535) {
                std::fprintf(stderr, "marvenlot-galleryserver: bad port %s\n", argv[i]);
                return 2;
            }
        } else if (std::strcmp(argv[i], "--address") == 0 && hasValue) {
            address = argv[++i];
        } else if (std::strcmp(argv[i], "--shots") == 0 && hasValue) {
            shotsFile = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: marvenlot-galleryserver [--port N] [--address A] [--shots JOURNAL]\n");
            return 2;
        }
    }
    std::string lines;
    if (shotsFile.empty()) {
        lines = gallery_test::RecordShotLines();
    } else {
        std::ifstream in(shotsFile);
        if (!in) {
            std::fprintf(stderr, "marvenlot-galleryserver: cannot read %s\n", shotsFile.c_str());
            return 2;
        }
        std::ostringstream text;
        text << in.rdbuf();
        lines = text.str();
    }
    const auto shots = gallery_test::ShotsFromJournal(lines);
    if (shots.empty()) {
        std::fprintf(stderr, "marvenlot-galleryserver: no SHOT lines to serve\n");
        return 2;
    }
    std::signal(SIGINT, OnStop);
    std::signal(SIGTERM, OnStop);
    gallery_test::GalleryTestServer server(gallery_test::CatalogueHandler(shots),
                                           static_cast<std::uint16_t>(port), address);
    if (!server.Started()) {
        std::fprintf(stderr, "marvenlot-galleryserver: cannot listen on %s:%ld\n", address.c_str(), port);
        return 1;
    }
    std::printf("serving %zu shots on %s\n", shots.size(), server.HostSetting().c_str());
    std::fflush(stdout);
    while (!stopRequested) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return 0;
}
