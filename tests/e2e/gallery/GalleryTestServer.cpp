#include "tests/e2e/gallery/GalleryTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <sstream>

namespace gallery_test {

namespace {

constexpr int kReadWaitMs = 5000;
constexpr auto kStallLimit = std::chrono::seconds(20);
constexpr std::size_t kMaxRequestBytes = 1 << 20;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

void SendAll(int socket, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(socket, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

}  // namespace

std::string Request::Header(const std::string& name) const {
    const std::string wanted = Lower(name);
    std::size_t start = head.find("\r\n");
    while (start != std::string::npos) {
        start += 2;
        const std::size_t end = head.find("\r\n", start);
        if (end == std::string::npos || end == start) break;
        const std::string line = head.substr(start, end - start);
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && Lower(line.substr(0, colon)) == wanted) {
            std::size_t value = colon + 1;
            while (value < line.size() && line[value] == ' ') ++value;
            return line.substr(value);
        }
        start = end;
    }
    return "<absent>";
}

std::string Request::Path() const {
    const std::size_t first = requestLine.find(' ');
    const std::size_t second = requestLine.find(' ', first + 1);
    if (first == std::string::npos || second == std::string::npos) return {};
    return requestLine.substr(first + 1, second - first - 1);
}

std::string Request::Form(const std::string& key) const {
    std::istringstream pairs(body);
    for (std::string pair; std::getline(pairs, pair, '&');) {
        const std::size_t equals = pair.find('=');
        if (equals != std::string::npos && pair.substr(0, equals) == key) return pair.substr(equals + 1);
    }
    return "<absent>";
}

GalleryTestServer::GalleryTestServer(Handler handler, std::uint16_t port, const std::string& address)
    : handler_(std::move(handler)), address_(address) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) return;
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in bound{};
    bound.sin_family = AF_INET;
    bound.sin_port = htons(port);
    socklen_t length = sizeof bound;
    if (::inet_pton(AF_INET, address.c_str(), &bound.sin_addr) != 1 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&bound), sizeof bound) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        ::close(listener_);
        listener_ = -1;
        return;
    }
    port_ = ntohs(bound.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

GalleryTestServer::~GalleryTestServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
}

std::string GalleryTestServer::HostSetting() const {
    return address_ + ":" + std::to_string(port_);
}

std::vector<Request> GalleryTestServer::Requests() {
    std::lock_guard lock(mutex_);
    return requests_;
}

void GalleryTestServer::Serve() {
    while (!stopping_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 20) <= 0) continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        HandleConnection(client);
        ::close(client);
    }
}

void GalleryTestServer::HandleConnection(int socket) {
    std::string data;
    char buffer[4096];
    std::size_t headEnd = std::string::npos;
    std::size_t wanted = 0;
    for (;;) {
        if (headEnd != std::string::npos && data.size() >= headEnd + wanted) break;
        if (data.size() > kMaxRequestBytes) return;
        pollfd waiting{socket, POLLIN, 0};
        if (::poll(&waiting, 1, kReadWaitMs) <= 0) return;
        const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        data.append(buffer, static_cast<std::size_t>(got));
        if (headEnd == std::string::npos) {
            const std::size_t blank = data.find("\r\n\r\n");
            if (blank == std::string::npos) continue;
            headEnd = blank + 4;
            Request probe;
            probe.head = data.substr(0, headEnd);
            const std::string length = probe.Header("Content-Length");
            wanted = length == "<absent>" ? 0 : std::min<std::size_t>(std::stoul(length), kMaxRequestBytes);
        }
    }
    if (headEnd == std::string::npos) return;
    Request request;
    request.head = data.substr(0, headEnd);
    request.requestLine = request.head.substr(0, request.head.find("\r\n"));
    request.body = data.substr(headEnd, wanted);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const Answer answer = handler_(request);
    switch (answer.kind) {
        case Answer::Kind::CloseWithoutAnswer:
            return;
        case Answer::Kind::Stall: {
            // Holds the connection silent until the client gives up or the server stops.
            const auto until = std::chrono::steady_clock::now() + kStallLimit;
            while (!stopping_ && std::chrono::steady_clock::now() < until) {
                pollfd waiting{socket, POLLIN, 0};
                if (::poll(&waiting, 1, 20) > 0 && ::recv(socket, buffer, sizeof buffer, 0) <= 0) return;
            }
            return;
        }
        case Answer::Kind::Reply:
            break;
    }
    std::string response = "HTTP/1.0 " + std::to_string(answer.status) + " " + Reason(answer.status) +
                           "\r\nContent-Type: text/html\r\n";
    if (answer.contentLength) response += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    response += "\r\n" + answer.body;
    SendAll(socket, response);
}

std::string Fields(const std::vector<std::string>& fields) {
    std::string text;
    for (const std::string& field : fields) text += field + "<BR>";
    return text;
}

Handler CatalogueHandler(std::vector<GalleryShot> shots) {
    std::sort(shots.begin(), shots.end(),
              [](const GalleryShot& a, const GalleryShot& b) { return a.seq > b.seq; });
    return [shots](const Request& request) -> Answer {
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
                std::stable_sort(
                    chosen.begin(), chosen.end(),
                    [](const GalleryShot* a, const GalleryShot* b) { return a->points > b->points; });
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
    };
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
        shot.info = "game type " + std::to_string(gameType);
        if (n == 0) shot.replies = {{"bob", 10, "nice"}, {"carol", 5, "wow"}};
        shot.recordHex = record;
        shot.restHash = hash;
        shots.push_back(std::move(shot));
    }
    return shots;
}

}  // namespace gallery_test
