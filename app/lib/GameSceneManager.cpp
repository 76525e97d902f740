#include "app/lib/GameSceneManager.h"

#include <utility>

#include "app/lib/AppCodes.h"
#include "engine/core/Log.h"
#include "engine/render/SceneManager.h"
#include "engine/resource/ResourceManager.h"
#include "gui/CommonDialogs.h"
#include "gui/ItemPreview.h"
#include "gui/Overlays.h"
#include "gui/PlayerInfoWindows.h"
#include "gui/TextInput.h"
#include "gui/WidgetRouter.h"
#include "net/ChatFilter.h"
#include "scenes/base/SceneLighting.h"
#include "table/ItemModels.h"

namespace {
// A drain holds back at most this many messages while no scene is active; more are dropped.
constexpr std::size_t kMaxHeldMessages = 1024;
// Longest chat filter word, in UTF-16 units.
constexpr std::size_t kMaxChatWord = 260;
}  // namespace

int AddChatWords(net::ChatFilter& filter, std::span<const std::uint8_t> bytes) {
    int added = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n') continue;
        if (i > start) {
            const std::string_view line(reinterpret_cast<const char*>(bytes.data()) + start, i - start);
            WString word = MultiToWide(line);
            if (word.size() > kMaxChatWord) word.resize(kMaxChatWord);
            if (!word.empty()) {
                filter.AddWord(word);
                ++added;
            }
        }
        start = i + 1;
    }
    return added;
}

GameSceneManager::GameSceneManager() = default;

GameSceneManager::~GameSceneManager() {
    DestroyAll();
}

bool GameSceneManager::AddScene(std::unique_ptr<scenes::GameScene> scene) {
    if (!scene) return false;
    const int id = scene->Id();
    scene->SetHost(owner_);
    scenes_[id] = std::move(scene);
    return true;
}

void GameSceneManager::SetOwner(scenes::SceneHost* owner) {
    owner_ = owner;
    for (auto& [id, scene] : scenes_) scene->SetHost(owner);
}

bool GameSceneManager::HasScene(int id) const {
    return scenes_.count(id) != 0;
}

scenes::GameScene* GameSceneManager::FindScene(int id) const {
    auto it = scenes_.find(id);
    return it == scenes_.end() ? nullptr : it->second.get();
}

bool GameSceneManager::SetScene(int id) {
    scenes::GameScene* next = FindScene(id);
    if (!next) {
        LogWrite(u"ERROR : no scene %d in this mode\n", id);
        return false;
    }
    if (scenes::GameScene* current = Current()) previousId_ = current->Id();
    current_.store(next, std::memory_order_release);
    if (owner_) owner_->OnSceneCurrent(id);
    return true;
}

int GameSceneManager::CurrentId() const {
    scenes::GameScene* scene = Current();
    return scene ? scene->Id() : 0;
}

std::vector<int> GameSceneManager::SceneIds() const {
    std::vector<int> ids;
    for (const auto& [id, scene] : scenes_) ids.push_back(id);
    return ids;
}

void GameSceneManager::CreateWindows() {
    // The shared windows belong to the scene manager, not to the scene that shows them: scenes
    // attach them as children without owning them.
    notice_ = std::make_unique<gui::NoticeBox>();
    secondNotice_ = std::make_unique<gui::NoticeBox>();
    notUsable_ = std::make_unique<gui::FunctionNotUsableNotice>();
    myInfo_ = std::make_unique<gui::MyInfoWindow>();
    userInfo_ = std::make_unique<gui::UserInfoWindow>();
    invite_ = std::make_unique<gui::InviteDialog>();
}

void GameSceneManager::AdoptOptionDialog(std::unique_ptr<gui::Dialog> dialog) {
    optionDialog_ = std::move(dialog);
}

void GameSceneManager::AdoptMessenger(std::unique_ptr<gui::Dialog> messenger) {
    messenger_ = std::move(messenger);
}

void GameSceneManager::ShowBox(gui::NoticeBox* box, gui::Widget* parent, const WString& caption,
                               std::initializer_list<const WString*> lines) {
    if (!box) return;
    platform::ScopedLock widgets(widgetLock_);
    if (!parent) parent = Current();
    if (parent) parent->AddChild(box);
    box->Reset();
    // Centred on the screen whatever widget it is shown over.
    box->CenterOnScreen();
    box->SetCaption(caption);
    int index = 0;
    for (const WString* line : lines) {
        if (!line->empty()) box->SetLine(index++, *line);
    }
    box->Show(true);
}

void GameSceneManager::ShowError(gui::Widget* parent, const WString& l1, const WString& l2,
                                 const WString& l3) {
    ShowBox(notice_.get(), parent, u"Error", {&l1, &l2, &l3});
}

void GameSceneManager::ShowNotice(gui::Widget* parent, const WString& l1, const WString& l2,
                                  const WString& l3, const WString& l4) {
    ShowBox(notice_.get(), parent, u"Notice", {&l1, &l2, &l3, &l4});
}

void GameSceneManager::ShowSecondNotice(gui::Widget* parent, const WString& l1, const WString& l2,
                                        const WString& l3) {
    ShowBox(secondNotice_.get(), parent, u"Notice", {&l1, &l2, &l3});
}

void GameSceneManager::Broadcast(int width, int height) {
    platform::ScopedLock lock(sceneLock_);
    platform::ScopedLock widgets(widgetLock_);
    for (auto& [id, scene] : scenes_) {
        // The scene's own rectangle is the client area: what it lays out later by its size (a table's
        // picking and controls at its next entry) takes the size the window has now.
        scene->gui::Widget::Resize(width, height);
        scene->LayoutChildren(width, height);
        scene->Resize(width, height);
    }
}

void GameSceneManager::ApplyOptions() {
    platform::ScopedLock widgets(widgetLock_);
    if (scenes::GameScene* scene = Current()) scene->ApplyOptions();
    SceneManager* engineScenes = owner_ ? owner_->EngineScenes() : nullptr;
    if (Scene* current = engineScenes ? engineScenes->GetCurrentScene() : nullptr)
        scenes::ApplyWaterEffect(*current, owner_->WaterEffect());
}

int GameSceneManager::LoadCurrentScene() {
    scenes::GameScene* scene = Current();
    if (!scene || !scene->IsLoading()) return 0;
    platform::ScopedLock widgets(widgetLock_);
    scene->SetLightingMode(0);
    const int result =
        scene->Load3D(owner_ ? owner_->Resources() : nullptr, owner_ ? owner_->Renderer() : nullptr);
    if (result != 0) {
        LogWrite(u"ERROR : scene %d failed to load (%d)\n", scene->Id(), result);
        if (owner_) owner_->ShowLoadingError(-2);
        return -1;
    }
    SceneManager* engineScenes = owner_ ? owner_->EngineScenes() : nullptr;
    if (Scene* loaded = engineScenes ? engineScenes->GetCurrentScene() : nullptr)
        scenes::ResetLoadedSceneNodes(*loaded, owner_->WaterEffect());
    scene->SetWidgetInput(true);
    if (notice_) notice_->Show(false);
    if (secondNotice_) secondNotice_->Show(false);
    scene->Activate(engineScenes);
    return 1;
}

void GameSceneManager::SwitchIfRequested() {
    scenes::GameScene* scene = Current();
    if (!scene || !scene->ChangeRequested()) return;
    platform::ScopedLock widgets(widgetLock_);
    const int next = scene->NextId();
    if (!HasScene(next)) {
        // Leaving would end with no scene at all: a blank client that ignores every input.
        LogWrite(u"ERROR : scene %d asked for scene %d, which this mode does not have\n", scene->Id(), next);
        scene->CancelRequest();
        return;
    }
    scene->Leave(owner_ ? owner_->Resources() : nullptr, owner_ ? owner_->EngineScenes() : nullptr);
    scene->Deactivate();
    SetScene(next);
    scenes::GameScene* entered = Current();
    if (!entered->BeginLoad() && !entered->IsLoading()) {
        // Loaded before and nothing to reload: show it again without a second Load3D.
        entered->Activate(owner_ ? owner_->EngineScenes() : nullptr);
    }
}

bool GameSceneManager::OnWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    scenes::GameScene* scene = Current();
    if (!scene || scene->ChangeRequested() || (scene->IsLoading() && !scene->IsActive())) return false;
    platform::ScopedLock widgets(widgetLock_);
    if (scene->WidgetInput() && scene->RouteMessage(message, wParam, lParam)) return true;
    return scene->OnMessage(message, wParam, lParam);
}

bool GameSceneManager::OnAppMessage(std::uint32_t code, std::uint32_t a, std::uint32_t b,
                                    HeldMessages& held) {
    if (code == static_cast<std::uint32_t>(scenes::AppMessage::Quit)) {
        if (owner_) owner_->PostQuit();
        return true;
    }
    scenes::GameScene* scene = Current();
    if (!scene || !scene->IsActive()) {
        if (held.entries.size() >= kMaxHeldMessages) {
            LogWrite(u"WARNING : app message %u dropped, no scene is active\n", code);
            return false;
        }
        held.entries.push_back({code, a, b});
        return false;
    }
    while (!held.entries.empty()) {
        const HeldMessages::Entry entry = held.entries.front();
        held.entries.pop_front();
        DeliverNow(entry.code, entry.a, entry.b);
    }
    return DeliverNow(code, a, b);
}

void GameSceneManager::DeliverHeld(HeldMessages& held) {
    scenes::GameScene* scene = Current();
    if (!scene || !scene->IsActive()) return;
    while (!held.entries.empty()) {
        const HeldMessages::Entry entry = held.entries.front();
        held.entries.pop_front();
        DeliverNow(entry.code, entry.a, entry.b);
    }
}

bool GameSceneManager::DeliverNow(std::uint32_t code, std::uint32_t a, std::uint32_t b) {
    if (a == scenes::kConfirmButton && owner_) {
        switch (static_cast<scenes::AppMessage>(code)) {
            case scenes::AppMessage::OpenClanDialog:
                owner_->OpenClanDialog();
                break;
            case scenes::AppMessage::ClanAnswer:
                owner_->SendByteMessage(shell_message::kClanAnswer, 1);
                break;
            case scenes::AppMessage::MyInfoValue:
                owner_->SendMyInfoValue();
                break;
            default:
                break;
        }
    }
    platform::ScopedLock lock(messageLock_);
    platform::ScopedLock widgets(widgetLock_);
    scenes::GameScene* scene = Current();
    if (!scene || scene->ChangeRequested() || scene->IsLoading()) return false;
    return scene->OnMessage(code, a, b);
}

void GameSceneManager::Tick(std::uint64_t nowMs, std::uint64_t time100us) {
    platform::ScopedLock lock(sceneLock_);
    scenes::GameScene* scene = Current();
    if (!scene || !scene->IsActive() || scene->ChangeRequested()) return;
    platform::ScopedLock widgets(widgetLock_);
    scene->FadeStep();
    scene->Update(nowMs, time100us);
    if (++tickCount_ >= 4) {
        tickCount_ = 0;
        scene->TickTree(nowMs);
        ++widgetTicks_;
    }
}

bool GameSceneManager::RenderCurrentScene(bool draw) {
    scenes::GameScene* scene = Current();
    if (!scene) return true;
    RenderDevice* renderer = owner_ ? owner_->Renderer() : nullptr;
    platform::ScopedLock widgets(widgetLock_);
    scene->Render(renderer, draw);
    if (draw && renderer && scene->IsActive()) gui::DrawWidgetScreen(*scene, renderer);
    return true;
}

void GameSceneManager::OnIdle() {
    platform::ScopedLock widgets(widgetLock_);
    scenes::GameScene* scene = Current();
    if (scene && !scene->ChangeRequested() && (scene->IsActive() || !scene->IsLoading()))
        scene->PollKeyboard();
}

void GameSceneManager::OnActivate(bool active) {
    platform::ScopedLock widgets(widgetLock_);
    scenes::GameScene* scene = Current();
    if (scene && scene->IsActive()) scene->OnActivate(active);
    if (active) {
        gui::EditBox* saved = std::exchange(savedFocus_, nullptr);
        if (gui::TextInputManager::IsAlive(saved)) saved->SetFocus(true);
    } else {
        savedFocus_ = gui::TextInputManager::GetFocusedEdit();
        gui::TextInputManager::ClearFocus();
        // Another window has the focus: the scene's popups close as they do for a click elsewhere.
        if (scene) gui::WidgetRouter::ClosePopups(*scene, nullptr);
    }
}

void GameSceneManager::OnCaptionHover(bool inStrip) {
    platform::ScopedLock widgets(widgetLock_);
    scenes::GameScene* scene = Current();
    if (scene && scene->IsActive()) scene->ShowTitleBar(inStrip);
}

void GameSceneManager::PostShortcut(std::uint32_t n) {
    if (owner_) owner_->PostUiMessage(static_cast<std::uint32_t>(scenes::AppMessage::Shortcut), n, 0, 0);
}

void GameSceneManager::InitSharedResources(ResourceManager* resources, RenderDevice* renderer) {
    if (notice_) notice_->LoadTextures(resources, renderer);
    if (secondNotice_) secondNotice_->LoadTextures(resources, renderer);
    gui::Tooltip::Create();
    gui::ModalOverlay::Instance();
    if (!resources) return;
    // Item previews show the items' models from the resource tree.
    gui::ItemPreview::SetModelSource(
        [resources](RenderDevice& device, std::uint32_t itemId, const gui::ItemPreview::PartIds& parts) {
            return table::BuildItemModel(device, *resources, itemId, parts);
        });
    // A missing package, group or word list leaves the filter empty.
    ResourcePackage* package = resources->OpenPackage(u"Lang");
    ResourceGroup* group = package ? package->FindGroup(u"Lang") : nullptr;
    if (!group) return;
    const BinaryHandle& words = group->GetBinaryManager().FindOrLoadByName(u"Lang");
    if (words && !words->IsEmpty()) AddChatWords(net::GetChatFilter(), words->data.bytes);
}

void GameSceneManager::DestroyAll() {
    platform::ScopedLock lock(sceneLock_);
    platform::ScopedLock widgets(widgetLock_);
    savedFocus_ = nullptr;
    current_.store(nullptr, std::memory_order_release);
    gui::DestroyGuiOverlays();
    gui::ItemPreview::SetModelSource({});
    invite_.reset();
    userInfo_.reset();
    myInfo_.reset();
    notUsable_.reset();
    messenger_.reset();
    optionDialog_.reset();
    notice_.reset();
    secondNotice_.reset();
    scenes_.clear();
}

net::PacketSink* GameSceneManager::AcquireCurrentScene() {
    messageLock_.Enter();
    widgetLock_.Enter();
    scenes::GameScene* scene = Current();
    if (scene && !scene->ChangeRequested() && !(scene->IsLoading() && !scene->IsActive())) return scene;
    widgetLock_.Leave();
    messageLock_.Leave();
    return nullptr;
}

void GameSceneManager::ReleaseCurrentScene(net::PacketSink*) {
    widgetLock_.Leave();
    messageLock_.Leave();
}
