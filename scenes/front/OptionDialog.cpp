#include "scenes/front/OptionDialog.h"

#include <algorithm>
#include <initializer_list>
#include <type_traits>
#include <vector>

#include "engine/core/Format.h"
#include "gui/Button.h"
#include "gui/ComboBox.h"
#include "gui/UiAtlas.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/base/SceneHost.h"
#include "scenes/front/FrontCodes.h"
#include "scenes/front/FrontWidgets.h"

namespace scenes {

namespace {

using Getter = int (*)(const Options&);
using Setter = void (*)(Options&, int);

template <auto Field>
int GetField(const Options& o) {
    return static_cast<int>(o.*Field);
}
template <auto Field>
void SetField(Options& o, int v) {
    o.*Field = static_cast<std::remove_reference_t<decltype(o.*Field)>>(v);
}

// Reads and writes one field of the options as an int.
struct Binding {
    Getter get;
    Setter set;
};
template <auto Field>
constexpr Binding Bind() {
    return {GetField<Field>, SetField<Field>};
}

// A check box bound to one field of the options.
struct CheckSpec {
    std::uint32_t id;
    const char16_t* caption;
    int x, y;
    Binding field;
};

// A drop-down bound to one field: item i stands for values[i]; without texts the items show the
// numbers. The anti-aliasing list instead offers the levels the device supports.
struct ChoiceRow {
    std::uint32_t id;
    const char16_t* label;
    int x, y;
    std::vector<int> values;
    std::vector<const char16_t*> texts;
    Binding field;
    bool multisample = false;
};

constexpr int kLeft = 24, kRight = 292;

const CheckSpec kChecks[] = {
    {3001, u"Full screen", kLeft, 58, Bind<&Options::fullscreen>()},
    {3002, u"Vertical sync", kLeft + 130, 58, Bind<&Options::vsync>()},
    {3003, u"Table reflections", kLeft, 140, Bind<&Options::tableEffect>()},
    {3004, u"Show ball paths", kLeft + 130, 140, Bind<&Options::traceAll>()},
    {3005, u"Music", kRight, 58, Bind<&Options::bgm>()},
    {3006, u"Effects", kRight, 86, Bind<&Options::fx>()},
    {3007, u"Voice", kRight, 114, Bind<&Options::voice>()},
    {3008, u"Invert vertical", kLeft, 318, Bind<&Options::verticalInverse>()},
    {3009, u"Invert horizontal", kLeft + 130, 318, Bind<&Options::horizontalInverse>()},
    {3010, u"Zoom on shot", kLeft, 346, Bind<&Options::shotZoom>()},
    {3011, u"Zoom on turn", kLeft + 130, 346, Bind<&Options::turnZoom>()},
    {3012, u"Mask bad language", kRight, 226, Bind<&Options::maskBadLanguage>()},
    {3013, u"Auto greetings", kRight, 254, Bind<&Options::autoGreetings>()},
    {3014, u"Accept invitations", kRight, 282, Bind<&Options::serverFlagA>()},
    {3015, u"Accept whispers", kRight, 310, Bind<&Options::serverFlagB>()},
};

const std::vector<int> kPercent = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
const std::vector<int> kSensitivity = {50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150};
// The multisample levels the list may offer; config.ini holds at most 8.
const int kMultisampleLevels[] = {2, 4, 6, 8};

const ChoiceRow kChoices[] = {
    {3102, u"Textures", kLeft, 86, {0, 1, 2}, {u"High", u"Medium", u"Low"}, Bind<&Options::textureDetail>()},
    {3103, u"Anti-aliasing", kLeft, 112, {}, {}, Bind<&Options::fsaa>(), true},
    {3104, u"Music volume", kRight + 90, 58, kPercent, {}, Bind<&Options::bgmVolume>()},
    {3105, u"Effects volume", kRight + 90, 86, kPercent, {}, Bind<&Options::fxVolume>()},
    {3106, u"Voice volume", kRight + 90, 114, kPercent, {}, Bind<&Options::voiceVolume>()},
    {3107, u"Shot power", kLeft, 206, kSensitivity, {}, Bind<&Options::shotSensitive>()},
    {3108, u"Vertical aim", kLeft, 234, kSensitivity, {}, Bind<&Options::verticalSensitive>()},
    {3109, u"Horizontal aim", kLeft, 262, kSensitivity, {}, Bind<&Options::horizontalSensitive>()},
    {3110, u"Camera", kLeft, 290, {1, 2, 3}, {u"Mode 1", u"Mode 2", u"Mode 3"}, Bind<&Options::cameraMode>()},
    {3111, u"Chat text", kRight, 170, {0, 1}, {u"Normal", u"Large"}, Bind<&Options::chatFontSize>()},
    {3112, u"Shot control", kRight, 198, {1, 2}, {u"Mode 1", u"Mode 2"}, Bind<&Options::serverMode>()},
};
static_assert(std::size(kChoices) == OptionDialog::kChoiceCount);

constexpr std::uint32_t kResolutionId = 3101;
constexpr int kLabelWidth = 100;
constexpr int kChoiceWidth = 120;

struct ChoiceItem {
    int value;
    WString text;
};

WString MultisampleText(int level) {
    return level == 0 ? WString(u"Off") : Format(u"%dx", level);
}

// The items of one list for these options. The field's own value is always among them, in value
// order, so the list never shows another value than the one in force.
std::vector<ChoiceItem> ChoiceItems(const ChoiceRow& c, const Options& options) {
    std::vector<ChoiceItem> items;
    if (c.multisample) {
        items.push_back({0, MultisampleText(0)});
        for (int level : kMultisampleLevels)
            if (options.IsMultisampleSupported(level)) items.push_back({level, MultisampleText(level)});
    } else {
        for (std::size_t k = 0; k < c.values.size(); ++k)
            items.push_back(
                {c.values[k], k < c.texts.size() ? WString(c.texts[k]) : Format(u"%d", c.values[k])});
    }
    const int current = c.field.get(options);
    const auto at =
        std::find_if(items.begin(), items.end(), [&](const ChoiceItem& i) { return i.value >= current; });
    if (at == items.end() || at->value != current)
        items.insert(at, {current, c.multisample ? MultisampleText(current) : Format(u"%d", current)});
    return items;
}

// The stored size; 0 x 0 for the desktop's, until the first start fits it.
std::pair<int, int> StoredMode(const Options& options) {
    return options.width > 0 && options.height > 0 ? std::pair{options.width, options.height}
                                                   : std::pair{0, 0};
}

// The size every client starts with, offered whatever the display lists, so that a larger one is
// never a one-way trip.
constexpr std::pair<int, int> kDefaultMode{1024, 768};

// The resolutions offered: the device's full-screen modes and the sizes given (0 x 0, "Desktop",
// only as the size in force), in size order.
std::vector<std::pair<int, int>> OfferedModes(std::pair<int, int> inForce,
                                              std::initializer_list<std::pair<int, int>> others) {
    std::vector<std::pair<int, int>> modes;
    for (const DisplayModeChoice& m : DisplayModeList::Instance().Snapshot())
        modes.emplace_back(static_cast<int>(m.width), static_cast<int>(m.height));
    const auto offer = [&](std::pair<int, int> mode) {
        const auto at = std::lower_bound(modes.begin(), modes.end(), mode);
        if (at == modes.end() || *at != mode) modes.insert(at, mode);
    };
    offer(inForce);
    for (const std::pair<int, int>& mode : others)
        if (mode.first > 0 && mode.second > 0) offer(mode);
    return modes;
}

// The desktop's size reads "Desktop".
WString ModeText(const std::pair<int, int>& mode) {
    return mode.first > 0 ? Format(u"%d x %d", mode.first, mode.second) : WString(u"Desktop");
}

// Copies what the dialog edits, so fields changed meanwhile by others (the device fit, the server
// word) are kept.
void CopyDialogFields(const Options& from, Options& to) {
    for (const CheckSpec& c : kChecks) c.field.set(to, c.field.get(from));
    for (const ChoiceRow& c : kChoices) c.field.set(to, c.field.get(from));
    to.width = from.width;
    to.height = from.height;
    to.refreshRate = from.refreshRate;
}

}  // namespace

OptionDialog::OptionDialog(SceneHost* host) : host_(host) {
    SetUpDialog(*this, kWidth, kHeight, u"Options");
    Build();
    SetVisible(false);
}

void OptionDialog::Build() {
    AddTextLine(*this, kLeft, 34, 240, 20, u"Video", gui::kFont14Bold);
    AddTextLine(*this, kRight, 34, 240, 20, u"Sound", gui::kFont14Bold);
    AddTextLine(*this, kLeft, 178, 240, 20, u"Control", gui::kFont14Bold);
    AddTextLine(*this, kRight, 146, 240, 20, u"Game", gui::kFont14Bold);
    std::size_t i = 0;
    for (const CheckSpec& c : kChecks)
        checks_[i++] =
            AddCheckMarkBox(*this, c.x, c.y, c.x >= kRight && c.y < 146 ? 86 : 126, c.id, c.caption, false);
    i = 0;
    for (const ChoiceRow& c : kChoices) {
        const bool besideCheck = c.x > kRight;  // the volume lists stand right of their check box
        if (!besideCheck) AddTextLine(*this, c.x, c.y, kLabelWidth, 22, c.label);
        const int x = besideCheck ? c.x : c.x + kLabelWidth;
        combos_[i++] = AddChoice(*this, x, c.y, besideCheck ? 150 : kChoiceWidth, c.id, {}, -1);
    }
    AddTextLine(*this, kLeft, 378, kLabelWidth, 22, u"Resolution");
    combos_[i] = AddChoice(*this, kLeft + kLabelWidth, 378, kChoiceWidth + 20, kResolutionId, {}, -1);
    AddOkCancel(*this, 44);
}

void OptionDialog::Open() {
    if (IsVisible())
        Refresh();
    else
        Show(true);
}

void OptionDialog::OnShow() {
    Refresh();
    gui::Dialog::OnShow();
}

void OptionDialog::OnHide() {
    gameRunning_ = ownSeatPlays_ = false;
    gui::Dialog::OnHide();
}

void OptionDialog::Refresh() {
    if (OptionsStore* store = host_ ? host_->UserOptions() : nullptr) working_ = store->Get();
    FillControls();
    CenterOnScreen();
}

void OptionDialog::FillControls() {
    std::size_t i = 0;
    for (const CheckSpec& c : kChecks) checks_[i++]->SetChecked(c.field.get(working_) != 0);
    i = 0;
    for (const ChoiceRow& c : kChoices) {
        const std::vector<ChoiceItem> items = ChoiceItems(c, working_);
        gui::ComboBox* combo = combos_[i];
        std::vector<int>& values = shownValues_[i++];
        values.clear();
        combo->CreateItems(static_cast<int>(items.size()));
        for (const ChoiceItem& item : items) {
            values.push_back(item.value);
            combo->AddItem(item.text);
        }
        combo->Select(IndexOf(values, c.field.get(working_), -1));
    }
    gui::ComboBox* resolution = combos_[i];
    const std::pair<int, int> inForce = SizeInForce(working_);
    shownModes_ = OfferedModes(inForce, {StoredMode(working_), kDefaultMode, cameFrom_});
    resolution->CreateItems(static_cast<int>(shownModes_.size()));
    for (const auto& mode : shownModes_) resolution->AddItem(ModeText(mode));
    const auto chosen = std::find(shownModes_.begin(), shownModes_.end(), inForce);
    resolution->Select(static_cast<int>(chosen - shownModes_.begin()));
    windowSize_ = {0, 0};
    const bool videoLocked = gameRunning_ && ownSeatPlays_;
    for (std::uint32_t id : {3001u, 3002u, 3102u, 3103u, kResolutionId})
        if (gui::Widget* w = FindById(id)) w->SetEnabled(!videoLocked);
}

void OptionDialog::ReadControl(std::uint32_t id, std::int32_t value) {
    for (const CheckSpec& c : kChecks)
        if (c.id == id) c.field.set(working_, value != 0 ? 1 : 0);
    for (std::size_t i = 0; i < kChoiceCount; ++i) {
        const std::vector<int>& values = shownValues_[i];
        if (kChoices[i].id != id || value < 0 || value >= static_cast<int>(values.size())) continue;
        kChoices[i].field.set(working_, values[static_cast<std::size_t>(value)]);
    }
    if (id == kResolutionId && value >= 0 && value < static_cast<int>(shownModes_.size())) {
        const auto [width, height] = shownModes_[static_cast<std::size_t>(value)];
        working_.width = width;
        working_.height = height;
        windowSize_ = {width, height};
        // A mode that does not offer the rate in force starts at its lowest, as the start-up fit does.
        DisplayModeChoice mode;
        if (width > 0 && DisplayModeList::Instance().Find(static_cast<std::uint32_t>(width),
                                                          static_cast<std::uint32_t>(height), mode)) {
            const auto& rates = mode.refreshRates;
            if (!rates.empty() && std::find(rates.begin(), rates.end(),
                                            static_cast<std::uint32_t>(working_.refreshRate)) == rates.end())
                working_.refreshRate = static_cast<std::int32_t>(rates.front());
        }
    }
}

std::pair<int, int> OptionDialog::SizeInForce(const Options& options) const {
    // A window shows its own size, which the edges or this list set; full screen the stored one.
    if (!options.fullscreen && host_ && host_->ClientWidth() > 0 && host_->ClientHeight() > 0)
        return {host_->ClientWidth(), host_->ClientHeight()};
    return StoredMode(options);
}

void OptionDialog::SetFullscreen(bool on) {
    working_.fullscreen = on ? 1 : 0;
    if (checks_[0]) checks_[0]->SetChecked(on);
}

void OptionDialog::SetGameRoomFlags(bool gameRunning, bool ownSeatPlays) {
    gameRunning_ = gameRunning;
    ownSeatPlays_ = ownSeatPlays;
}

bool OptionDialog::ApplyAndSave() {
    OptionsStore* store = host_ ? host_->UserOptions() : nullptr;
    if (!store) return false;
    const Options before = store->Get();
    store->Update([&](Options& o) { CopyDialogFields(working_, o); });
    const Options after = store->Get();
    Apply(before);
    const std::string path = host_->ConfigFilePath();
    if (!path.empty() && after.Save(path)) return true;
    host_->ShowError(nullptr, u"The settings could not be saved.", u"config.ini could not be written;",
                     u"they apply until the client ends.");
    return false;
}

void OptionDialog::Apply(const Options& before) {
    const Options after = host_->UserOptions()->Get();
    const auto post = [&](AppMessage code, std::uint32_t a, std::uint32_t b) {
        host_->PostUiMessage(static_cast<std::uint32_t>(code), a, b, 0);
    };
    // Sound channels: 0 music, 1 effects, 2 voice.
    const std::int32_t volumes[3][2] = {{before.bgmVolume, after.bgmVolume},
                                        {before.fxVolume, after.fxVolume},
                                        {before.voiceVolume, after.voiceVolume}};
    const std::uint8_t enabled[3][2] = {
        {before.bgm, after.bgm}, {before.fx, after.fx}, {before.voice, after.voice}};
    for (std::uint32_t channel = 0; channel < 3; ++channel) {
        if (volumes[channel][0] != volumes[channel][1])
            post(AppMessage::SoundVolume, channel, static_cast<std::uint32_t>(volumes[channel][1]));
        if (enabled[channel][0] != enabled[channel][1])
            post(AppMessage::SoundEnable, channel, enabled[channel][1]);
    }
    if (after.ServerModeChanged(before) || after.Channel2SoundChanged(before) ||
        after.MaskBadLanguageChanged(before) || after.AutoGreetingsChanged(before) ||
        after.ServerFlagPairChanged(before))
        host_->SendServerOptions();

    std::uint32_t video = 0;
    // A size chosen in a window sizes the window, also when the stored size does not change.
    const bool windowSized = !after.fullscreen && windowSize_.first > 0 &&
                             windowSize_ != std::pair{host_->ClientWidth(), host_->ClientHeight()};
    if (after.DisplayModeChanged(before) || windowSized) {
        video |= video_change::kDisplayMode;
        // The size left behind stays on the list for the way back, even where the display lacks it.
        cameFrom_ = SizeInForce(before);
    }
    if (after.DeviceSettingsChanged(before)) video |= video_change::kDeviceSettings;
    if (after.TextureFilterChanged(before)) video |= video_change::kTextureFilter;
    if (after.ReflectionsChanged(before) || after.GameViewChanged(before))
        video |= video_change::kSceneEffects;
    if (video) {
        VideoSettings settings;
        settings.fullscreen = after.fullscreen != 0;
        settings.width = static_cast<std::uint32_t>(after.width);
        settings.height = static_cast<std::uint32_t>(after.height);
        if (windowSized) {
            settings.windowWidth = static_cast<std::uint32_t>(windowSize_.first);
            settings.windowHeight = static_cast<std::uint32_t>(windowSize_.second);
        }
        settings.bitsPerPixel = after.bpp > 0 ? static_cast<std::uint32_t>(after.bpp) : 32;
        settings.refreshRate = static_cast<std::uint32_t>(after.refreshRate);
        settings.multisample = static_cast<std::uint32_t>(after.HighestMultisampleUpTo(after.fsaa));
        settings.vsync = after.vsync != 0;
        settings.textureDetail = after.textureDetail;
        host_->RequestVideoSettings(settings, video);
    }
    if (after.ControlsChanged(before)) host_->PostUiMessage(front_message::kControlsChanged, 0, 0, 0);
}

void OptionDialog::Cancel() {
    if (OptionsStore* store = host_ ? host_->UserOptions() : nullptr) working_ = store->Get();
    Show(false);
}

bool OptionDialog::OnCommand(const gui::CommandEvent& event) {
    if (event.code != gui::CommandCode::Event || !event.source) return false;
    const std::uint32_t id = event.source->Id();
    if (id == front_button::kOk) {
        ApplyAndSave();
        Show(false);
        return true;
    }
    if (id == front_button::kCancel) {
        Cancel();
        return true;
    }
    if (id >= 3001 && id <= kResolutionId + 20) {
        ReadControl(id, event.value);
        return true;
    }
    return false;
}

void OpenOptionDialog(gui::Dialog* dialog, bool gameRunning, bool ownSeatPlays) {
    if (auto* options = dynamic_cast<OptionDialog*>(dialog)) {
        options->SetGameRoomFlags(gameRunning, ownSeatPlays);
        options->Open();
    } else if (dialog) {
        dialog->Show(true);
    }
}

}  // namespace scenes
