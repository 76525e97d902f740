#pragma once
// A scene host for the front end's tests: an options store, a config path, a game session without a
// connection, and lists of what the scenes and dialogs posted, sent and showed.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/Options.h"
#include "gui/NoticeBox.h"
#include "gui/PlayerInfoWindows.h"
#include "net/GameSession.h"
#include "scenes/base/SceneHost.h"

struct PostedMessage {
    std::uint32_t code, a, b, c;
};

class FakeSceneHost : public scenes::SceneHost {
public:
    FakeSceneHost() {
        // The dialogs post through the toolkit's poster: it lands in the same list.
        gui::NoticeBox::SetPoster([this](std::uint32_t code, std::uint32_t a, std::uint32_t b,
                                         std::uint32_t c) { PostUiMessage(code, a, b, c); });
    }
    ~FakeSceneHost() override { gui::NoticeBox::SetPoster(nullptr); }

    int ClientWidth() const override { return clientWidth; }
    int ClientHeight() const override { return clientHeight; }
    void PostUiMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) override {
        posted.push_back({code, a, b, c});
    }
    void PostQuit() override { ++quits; }
    void PostMouseMove() override { ++mouseMoves; }
    void ShowLoadingError(int) override {}
    void ShowError(gui::Widget*, const WString& line1, const WString& line2, const WString& line3) override {
        errors.push_back(line1);
        WString box = line1;
        for (const WString* line : {&line2, &line3})
            if (!line->empty()) box += u"|" + *line;
        errorBoxes.push_back(box);
    }
    void ShowNotice(gui::Widget*, const WString& line1, const WString&, const WString&) override {
        notices.push_back(line1);
    }
    void SendByteMessage(std::uint16_t id, std::uint8_t value) override { sentBytes.push_back({id, value}); }
    OptionsStore* UserOptions() override { return &options; }
    std::string ConfigFilePath() const override { return configPath; }
    void SendServerOptions() override { ++serverOptionSends; }
    void RequestVideoSettings(const scenes::VideoSettings& settings, std::uint32_t changes) override {
        video = settings;
        videoChanges.push_back(changes);
    }
    net::GameSession* CurrentSession() override { return session.get(); }
    gui::NoticeBox* GetNoticeBox() override { return noticeBox; }
    gui::InviteDialog* GetInviteDialog() override { return inviteDialog; }
    gui::Dialog* GetMessenger() override { return messenger; }
    gui::UserInfoWindow* GetUserInfoWindow() override { return userInfo; }

    bool Posted(std::uint32_t code) const {
        for (const PostedMessage& m : posted)
            if (m.code == code) return true;
        return false;
    }

    int clientWidth = 1024, clientHeight = 768;  // the window's size, or the full-screen picture's
    gui::NoticeBox* noticeBox = nullptr;         // the shared box, where a test gives one
    gui::InviteDialog* inviteDialog = nullptr;   // the shared invitation question, likewise
    gui::Dialog* messenger = nullptr;            // the shared messenger, likewise
    gui::UserInfoWindow* userInfo = nullptr;     // the shared user-info window, likewise
    OptionsStore options;
    std::string configPath;
    std::unique_ptr<net::GameSession> session = std::make_unique<net::GameSession>();
    std::vector<PostedMessage> posted;
    std::vector<WString> errors;      // the first line of each error box
    std::vector<WString> errorBoxes;  // each error box's lines, joined by "|" as the journal has them
    std::vector<WString> notices;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> sentBytes;
    std::vector<std::uint32_t> videoChanges;
    scenes::VideoSettings video;
    int serverOptionSends = 0;
    int quits = 0;
    int mouseMoves = 0;
};
