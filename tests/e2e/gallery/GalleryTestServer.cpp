#include "tests/e2e/gallery/GalleryTestServer.h"

#include <algorithm>
#include <memory>
#include <sstream>

#include "gui/GameTypeName.h"

namespace gallery_test {

std::string Fields(const std::vector<std::string>& fields) {
    std::string text;
    for (const std::string& field : fields) text += field + "<BR>";
    return text;
}

GalleryCatalogue::GalleryCatalogue(std::vector<GalleryShot> shots) : shots_(std::move(shots)) {
    std::sort(shots_.begin(), shots_.end(),
              [](const GalleryShot& a, const GalleryShot& b) { return a.seq > b.seq; });
}

bool GalleryCatalogue::AddReply(int seq, GalleryShot::Reply reply) {
    std::lock_guard lock(mutex_);
    for (GalleryShot& shot : shots_) {
        if (shot.seq != seq) continue;
        shot.replies.push_back(std::move(reply));
        return true;
    }
    return false;
}

Answer GalleryCatalogue::Serve(const Request& request) const {
    std::lock_guard lock(mutex_);
    const std::vector<GalleryShot>& shots = shots_;
    constexpr int kPerPage = 10;
    if (request.Path() == "/shot/shot_list_T.asp") {
        const std::string pageText = request.Form("Page_list");
        const int page = pageText == "<absent>" ? 0 : std::atoi(pageText.c_str());
        std::vector<const GalleryShot*> chosen;
        const int pages = std::max<int>(1, (static_cast<int>(shots.size()) + kPerPage - 1) / kPerPage);
        if (page == 0) {
            // The best shots of the date asked for ("YYYYMMDD"), else of the newest shot's date.
            std::string date = shots.empty() ? std::string() : shots.front().date;
            const std::string asked = request.Form("getdate");
            if (asked != "<absent>" && asked.size() == 8)
                date = std::to_string(std::atoi(asked.substr(0, 4).c_str())) + "-" +
                       std::to_string(std::atoi(asked.substr(4, 2).c_str())) + "-" +
                       std::to_string(std::atoi(asked.substr(6, 2).c_str()));
            for (const GalleryShot& shot : shots)
                if (shot.date == date) chosen.push_back(&shot);
            std::stable_sort(chosen.begin(), chosen.end(), [](const GalleryShot* a, const GalleryShot* b) {
                return a->points > b->points;
            });
            if (chosen.size() > kPerPage) chosen.resize(kPerPage);
        } else {
            for (std::size_t i = static_cast<std::size_t>((page - 1) * kPerPage);
                 page > 0 && i < shots.size() && chosen.size() < kPerPage; ++i)
                chosen.push_back(&shots[i]);
        }
        std::vector<std::string> fields{std::to_string(pages), std::to_string(page),
                                        std::to_string(chosen.size())};
        for (const GalleryShot* shot : chosen) {
            for (const std::string& field :
                 {std::to_string(shot->seq), shot->title, shot->nickname, std::to_string(shot->gameType),
                  shot->date, std::string("0"), std::to_string(shot->points)})
                fields.push_back(field);
        }
        return {Answer::Kind::Reply, 200, Fields(fields), true};
    }
    if (request.Path() == "/shot/shot_data_T.asp") {
        const int seq = std::atoi(request.Form("shot_seq").c_str());
        for (const GalleryShot& shot : shots) {
            if (shot.seq != seq) continue;
            std::vector<std::string> fields{"0",
                                            shot.nickname,
                                            shot.title,
                                            shot.info,
                                            std::to_string(shot.points),
                                            shot.recordHex,
                                            std::to_string(shot.replies.size())};
            for (const GalleryShot::Reply& reply : shot.replies) {
                fields.push_back(reply.nickname);
                fields.push_back(std::to_string(reply.points));
                fields.push_back(reply.text);
            }
            return {Answer::Kind::Reply, 200, Fields(fields), true};
        }
    }
    return {Answer::Kind::Reply, 404, "<html><body>Not Found</body></html>", true};
}

Handler CatalogueHandler(std::shared_ptr<GalleryCatalogue> catalogue) {
    return [catalogue](const Request& request) { return catalogue->Serve(request); };
}

Handler CatalogueHandler(std::vector<GalleryShot> shots) {
    return CatalogueHandler(std::make_shared<GalleryCatalogue>(std::move(shots)));
}

std::vector<GalleryShot> ShotsFromJournal(const std::string& text) {
    std::vector<GalleryShot> shots;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string kind, hash, record;
        int gameType = -1;
        unsigned long calls = 0;
        if (!(words >> kind >> gameType >> calls >> hash >> record) || kind != "SHOT") continue;
        static const char* const kPlayers[] = {"alice", "bob", "carol"};
        const int n = static_cast<int>(shots.size());
        GalleryShot shot;
        shot.seq = 5001 + n;
        shot.title = "Recorded shot " + std::to_string(n + 1);
        shot.nickname = kPlayers[n % 3];
        shot.gameType = gameType;
        shot.date = "2009-3-5";
        shot.points = 100 - 10 * (n % 10);
        // The information line names the game as the client names game types.
        shot.info = ToUtf8(gui::GameTypeName(gameType));
        if (n == 0) shot.replies = {{"bob", 10, "nice"}, {"carol", 5, "wow"}};
        shot.recordHex = record;
        shot.restHash = hash;
        shots.push_back(std::move(shot));
    }
    return shots;
}

}  // namespace gallery_test
