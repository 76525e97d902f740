#pragma once
// What every scene with a table shares (the game room, the practice room, the school, the shot
// gallery, the offline table and the replay viewer): the table world it owns, its messages and sounds
// routed to the application, the map scene it stands in, the common 3D frame, the update tick and the
// window input the widgets leave over; the free-practice set-up (offline table, practice room) and
// the end of a shot on a table played alone (those and the school).
//
// Threads: Load3D, Enter, Render, OnMessage and Leave on the main thread; Update on the update
// thread. The world locks itself; the world pointer only changes under the scene manager's scene
// lock (Load3D and Leave), which the update tick holds too.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/sys/CriticalSection.h"
#include "scenes/base/GameScene.h"
#include "table/TableWorld.h"

struct Options;

namespace gui {
class Button;
}
namespace net {
struct ItemEntry;
class PlayerRecord;
struct RoomInfo;
}  // namespace net

namespace scenes {

class HelpWindow;

class TableScene : public GameScene {
public:
    // The chat line of a cue ball given into the player's hand (white).
    static constexpr const char16_t* kFreeBallLine =
        u"Free ball. Click the cueball to place it anywhere you want.";
    // The buttons along the top right that every table scene has.
    static constexpr std::uint32_t kExitId = 1;
    static constexpr std::uint32_t kSettingsId = 2;
    static constexpr std::uint32_t kHelpId = 3;

    explicit TableScene(int id);
    ~TableScene() override;

    // Releases the world's models and nodes, then what the scene loaded.
    bool Leave(ResourceManager* resources, SceneManager* engineScenes) override;
    void Update(std::uint64_t nowMs, std::uint64_t time100us) override;
    void ApplyOptions() override;
    void Resize(int width, int height) override;
    // Polls the held keys of the world; true.
    bool PollKeyboard() override;
    // The widgets first; a pointer they take is on the HUD, where it turns no aim (the world hears of it),
    // and one left on the table by a widget that went away under it aims again.
    bool RouteMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void OnActivate(bool active) override;

    table::TableWorld* World() const { return world_.get(); }
    // The exit corner button (null before the UI exists).
    gui::Button* ExitButton() const { return exitButton_; }
    // The own record and the room: the session's, or the scene's own without a session.
    net::PlayerRecord& Record();
    net::RoomInfo& Room();

protected:
    // The first time only (false after): the scene takes the client size and gets its title bar,
    // the exit, settings and help buttons and the hidden help window.
    bool BeginUI(const WString& title);
    bool UiCreated() const { return uiCreated_; }
    // Exit, settings and help; false for any other event.
    bool OnCornerButton(const gui::CommandEvent& event);
    // The help window on the rules of the room's game type.
    void OpenHelp();
    HelpWindow* Help() const { return help_; }
    // Makes the world and routes its messages and sounds to the host.
    table::TableWorld& CreateWorld();
    // Drops the world and the sounds still queued for the table.
    void DestroyWorld();
    // The cue object goes back to the world (and `cue` is cleared), then the world goes.
    void DestroyWorld(table::CueObject*& cue);
    // Offers a window message (codes below the application range) to the world; true when used.
    bool OfferWindowMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b);
    // The common 3D frame: the world's nodes, the engine scene, balls, cue, guides and its HUD.
    void RenderTable(RenderDevice* renderer);
    // Opens that group of "data" and makes its first scene current; false when missing.
    bool LoadMapScene(ResourceManager* resources, const char16_t* group = u"Map0000");
    // The map scene of `mapGroup`, the world's models, the music and the widget textures; 1 when
    // the map or a model is missing (logged with `what`, the scene's name), else 0.
    int LoadTable(ResourceManager* resources, RenderDevice* renderer, const char16_t* what,
                  const char16_t* mapGroup = u"Map0000");
    // The free-practice table of the offline table and the practice room, attached to the current map
    // scene: the default physics model, a rack from `seed`, the options, the camera set up, free
    // practice with the own turn and trails on.
    void SetUpFreePractice(std::uint32_t seed);
    // Makes a cue object of `item` the shooter (with the tuning parts of `personal`, else none) and
    // releases `previous` after it; the new object.
    table::CueObject* ReplaceCue(table::CueObject* previous, std::uint16_t item,
                                 const net::ItemEntry* personal);
    // Makes `entry` a chalk of `item` counted by uses, full.
    static void FillChalk(net::ItemEntry& entry, std::uint32_t item, std::uint32_t uses);
    // An empty engine scene of that name, made current.
    bool CreateEmptyScene(const char* name);
    // Frames the top view's table between the chalk gauge's column and the key guide's (or the open
    // `replayPanel`), `top` and `bottom` pixels from those edges; unless `force` (a new size), only
    // when the replay panel moved the right edge.
    void FrameTopView(const gui::Widget* replayPanel, int top, int bottom, bool force);
    Options CurrentOptions() const;
    // The offline defaults of the own record: cue 3000 for every game type, the table and ball set
    // of each type, and the room's game type 8-ball.
    void WriteOfflineDefaults(bool withType16);
    // Plays the sound (volume 1.0) once the sounds queued before it, in any scene, have ended: the
    // process's queue of sounds played one after another, advanced by the update thread.
    static void QueueSound(int id);
    void SetPaused(bool paused) { paused_ = paused; }
    bool Paused() const { return paused_; }
    // Writes `line` to the journal at the first update tick at which the world is ready for a shot (a
    // script waits for it before it places a ball or strikes); a line not yet written gives way to the
    // next, and goes at once when a shot gets under way before the table is ready.
    void JournalWhenReady(std::string line);
    // The own cue of a free-practice table (offline, practice room) or the school's may strike:
    // "TURN 0 1" when ready.
    void JournalFreeTableReady() { JournalWhenReady("TURN 0 1"); }
    // The end of a shot on a table the scene plays alone (offline, practice room, school), once it has
    // racked and judged: a cue ball the shot left in a pocket comes back on the head spot (and into the
    // player's hand with `inHand`), the camera comes from the shot's overview to behind the cue ball
    // along the aim, and the cue is the player's again. True when a pocketed cue ball came back.
    bool GiveCueBack(bool inHand);

private:
    std::unique_ptr<table::TableWorld> world_;
    std::unique_ptr<net::PlayerRecord> ownRecord_;
    std::unique_ptr<net::RoomInfo> ownRoom_;
    std::uint32_t tick_ = 0;
    std::atomic<bool> paused_{false};
    platform::CriticalSection readyLock_;
    std::string readyLine_;  // under readyLock_; empty: none waits
    gui::Button* exitButton_ = nullptr;
    bool uiCreated_ = false;
    HelpWindow* help_ = nullptr;
    int topViewRight_ = 0;          // main thread: the top view's right inset in use
    bool pointerOnWidget_ = false;  // main thread: a widget took the last mouse move
};

}  // namespace scenes
