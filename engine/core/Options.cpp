#include "engine/core/Options.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/sys/IniFile.h"

namespace {

std::int32_t Clamp(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value < low ? low : (value > high ? high : value);
}

// Reads one section's keys into the fields. A missing key keeps the field; an empty value, one that
// is not wholly a number, or one out of its range, takes the field's default; clamped keys are
// clamped; a number with a fraction counts as the nearest whole number. Each value that could not
// be used as stored is listed.
struct Reader {
    using Why = ReplacedOption::Why;
    const platform::IniFile& ini;
    const char* section;
    std::vector<ReplacedOption>* replaced;

    // The stored text of key with its number rounded to a whole one; nullopt when there is none to use.
    struct Stored {
        std::string text;
        double value = 0.0;
        bool whole = true;  // false: the text held a fraction
    };
    template <class Field>
    std::optional<Stored> Number(const char* key, Field& field, Field def) const {
        std::optional<std::string> text = ini.Find(section, key);
        if (!text) return std::nullopt;
        const std::optional<double> number = platform::ParseProfileValue(*text);
        if (!number) {
            field = def;
            Report(key, *text, def, text->empty() ? Why::kEmpty : Why::kNoNumber);
            return std::nullopt;
        }
        const double whole = std::round(*number);
        return Stored{std::move(*text), whole, whole == *number};
    }
    void Report(const char* key, const std::string& text, std::int32_t used, Why why) const {
        if (replaced) replaced->push_back({section, key, text, used, why});
    }
    // Lists a value taken other than as stored: out of range, or rounded.
    void Used(const char* key, const Stored& stored, std::int32_t used, bool inRange) const {
        if (!inRange)
            Report(key, stored.text, used, Why::kOutOfRange);
        else if (!stored.whole)
            Report(key, stored.text, used, Why::kNotWhole);
    }
    void Flag(const char* key, std::uint8_t& field, std::uint8_t def) const {
        const auto stored = Number(key, field, def);
        if (!stored) return;
        field = stored->value != 0.0 ? 1 : 0;
        // A flag is 0 or 1: another number reads as on, and the log names it.
        Used(key, *stored, field, stored->value == field);
    }
    template <class Valid>
    void Checked(const char* key, std::int32_t& field, std::int32_t def, Valid valid) const {
        const auto stored = Number(key, field, def);
        if (!stored) return;
        const bool inRange = valid(stored->value);
        field = inRange ? static_cast<std::int32_t>(stored->value) : def;
        Used(key, *stored, field, inRange);
    }
    void Ranged(const char* key, std::int32_t& field, std::int32_t def, std::int32_t low,
                std::int32_t high) const {
        Checked(key, field, def, [&](double v) { return v >= low && v <= high; });
    }
    // A side of the full-screen size: 0 (none stored) or one a display mode can have.
    void Side(const char* key, std::int32_t& field, std::int32_t def, std::int32_t low) const {
        Checked(key, field, def, [&](double v) { return v == 0 || (v >= low && v <= kMaxModeSide); });
    }
    void Clamped(const char* key, std::int32_t& field, std::int32_t def, std::int32_t low,
                 std::int32_t high) const {
        const auto stored = Number(key, field, def);
        if (!stored) return;
        field = static_cast<std::int32_t>(std::clamp<double>(stored->value, low, high));
        Used(key, *stored, field, field == stored->value);
    }
};

struct Writer {
    platform::IniFile& ini;
    const char* section;
    void Put(const char* key, std::int32_t value) const {
        ini.SetString(section, key, " " + std::to_string(value));
    }
};

}  // namespace

bool Options::Load(const std::string& path, std::vector<ReplacedOption>* replaced, int* error) {
    platform::IniFile ini;
    if (!ini.Load(path, error)) return false;
    Read(ini, replaced);
    return true;
}

void Options::Read(const platform::IniFile& ini, std::vector<ReplacedOption>* replaced) {
    const Options def;
    const Reader video{ini, "Video", replaced};
    video.Flag("fullscreen", fullscreen, def.fullscreen);
    video.Side("width", width, def.width, kMinModeWidth);
    video.Side("height", height, def.height, kMinModeHeight);
    video.Checked("bpp", bpp, def.bpp, [](double v) { return v == 0 || v == 16 || v == 24 || v == 32; });
    video.Flag("vsync", vsync, def.vsync);
    video.Ranged("refreshrate", refreshRate, def.refreshRate, 0, kMaxRefreshRate);
    video.Clamped("texturedetail", textureDetail, def.textureDetail, 0, 2);
    video.Ranged("meshdetail", meshDetail, def.meshDetail, 0, 2);
    video.Clamped("texturefilter", textureFilter, def.textureFilter, 1, 3);
    video.Clamped("anisotropic", anisotropic, def.anisotropic, 0, 16);
    video.Clamped("fsaa", fsaa, def.fsaa, 0, 8);
    fsaa &= ~1;
    video.Flag("tableeffect", tableEffect, def.tableEffect);
    video.Flag("watereffect", waterEffect, def.waterEffect);
    video.Clamped("gamma", gamma, def.gamma, 50, 150);
    const Reader game{ini, "Game", replaced};
    game.Flag("traceall", traceAll, def.traceAll);
    game.Flag("chatfontsize", chatFontSize, def.chatFontSize);
    game.Ranged("practicegame", practiceGame, def.practiceGame, -1, 16);
    const Reader audio{ini, "Audio", replaced};
    audio.Flag("BGM", bgm, def.bgm);
    audio.Clamped("BGMVolume", bgmVolume, def.bgmVolume, 0, 100);
    audio.Flag("FX", fx, def.fx);
    audio.Clamped("FXVolume", fxVolume, def.fxVolume, 0, 100);
    // The voice channel follows the effects until the server's option word says otherwise.
    voice = fx;
    voiceVolume = fxVolume;
    const Reader control{ini, "Control", replaced};
    control.Clamped("shotsensitive", shotSensitive, def.shotSensitive, 10, 300);
    control.Clamped("verticalsensitive", verticalSensitive, def.verticalSensitive, 10, 200);
    control.Clamped("horizentalsensitive", horizontalSensitive, def.horizontalSensitive, 10, 200);
    control.Flag("verticalinverse", verticalInverse, def.verticalInverse);
    control.Flag("horizentalinverse", horizontalInverse, def.horizontalInverse);
    control.Clamped("cameramode", cameraMode, def.cameraMode, 1, 3);
    control.Flag("shotzoom", shotZoom, def.shotZoom);
    control.Flag("turnzoom", turnZoom, def.turnZoom);
    std::uint8_t language = lang != 0 ? 1 : 0;
    game.Flag("lang", language, static_cast<std::uint8_t>(def.lang));
    lang = language;
    // The mouse fix is always on: a stored value other than 1 is named and 1 is used (and saved).
    std::int32_t fix = 1;
    control.Ranged("mousefix", fix, 1, 1, 1);
    mouseFix = 1;
}

bool Options::Save(const std::string& path, int* error) const {
    platform::IniFile ini;
    if (!ini.Load(path, error)) return false;
    const Writer video{ini, "Video"};
    video.Put("fullscreen", fullscreen);
    video.Put("width", width);
    video.Put("height", height);
    video.Put("bpp", bpp);
    video.Put("vsync", vsync);
    video.Put("refreshrate", refreshRate);
    video.Put("gamma", gamma);
    video.Put("texturedetail", textureDetail);
    video.Put("meshdetail", meshDetail);
    video.Put("texturefilter", textureFilter);
    video.Put("anisotropic", anisotropic);
    video.Put("fsaa", fsaa);
    video.Put("tableeffect", tableEffect);
    video.Put("watereffect", waterEffect);
    const Writer game{ini, "Game"};
    game.Put("traceall", traceAll);
    game.Put("chatfontsize", chatFontSize);
    game.Put("practicegame", practiceGame);
    const Writer audio{ini, "Audio"};
    audio.Put("BGM", bgm);
    audio.Put("BGMVolume", bgmVolume);
    audio.Put("FX", fx);
    audio.Put("FXVolume", fxVolume);
    const Writer control{ini, "Control"};
    control.Put("shotsensitive", shotSensitive);
    control.Put("verticalsensitive", verticalSensitive);
    control.Put("horizentalsensitive", horizontalSensitive);
    control.Put("verticalinverse", verticalInverse);
    control.Put("horizentalinverse", horizontalInverse);
    control.Put("cameramode", cameraMode);
    control.Put("shotzoom", shotZoom);
    control.Put("turnzoom", turnZoom);
    control.Put("mousefix", mouseFix);
    game.Put("lang", lang);
    return ini.Save(path, error);
}

void Options::SetFromServerWord(std::uint32_t word) {
    voice = (word & 0x100) ? 0 : 1;
    maskBadLanguage = (word & 0x200) ? 0 : 1;
    autoGreetings = (word & 0x400) ? 1 : 0;
    // The low byte comes from the server: a value above 100 must not give a negative volume.
    voiceVolume = Clamp(100 - static_cast<std::int32_t>(word & 0xFF), 0, 100);
    if (word & 0x800) {
        serverMode = 1;
        modeChosen = 1;
    } else {
        serverMode = 2;
        modeChosen = 0;
    }
}

std::uint32_t Options::ServerOptionWord() const {
    std::uint32_t word = static_cast<std::uint32_t>(100 - Clamp(voiceVolume, 0, 100));
    if (serverMode == 1) word += 0x1000;
    if (autoGreetings == 1) word += 0x400;
    if (maskBadLanguage == 0) word += 0x200;
    if (voice == 0) word += 0x100;
    return word + 0x800;
}

std::uint8_t Options::ServerFlagByte() const {
    return static_cast<std::uint8_t>((serverFlagB ? 2 : 0) + (serverFlagA ? 1 : 0));
}

bool Options::GameViewChanged(const Options& o) const {
    return traceAll != o.traceAll || chatFontSize != o.chatFontSize;
}
bool Options::ReflectionsChanged(const Options& o) const {
    return tableEffect != o.tableEffect || waterEffect != o.waterEffect;
}
bool Options::TextureFilterChanged(const Options& o) const {
    if (textureFilter != o.textureFilter) return true;
    return textureFilter == 3 && anisotropic != o.anisotropic;
}
bool Options::DeviceSettingsChanged(const Options& o) const {
    return vsync != o.vsync || refreshRate != o.refreshRate || fsaa != o.fsaa ||
           textureDetail != o.textureDetail;
}
bool Options::DisplayModeChanged(const Options& o) const {
    return width != o.width || height != o.height || bpp != o.bpp || fullscreen != o.fullscreen;
}
bool Options::ControlsChanged(const Options& o) const {
    return shotSensitive != o.shotSensitive || verticalSensitive != o.verticalSensitive ||
           horizontalSensitive != o.horizontalSensitive || verticalInverse != o.verticalInverse ||
           horizontalInverse != o.horizontalInverse || cameraMode != o.cameraMode || shotZoom != o.shotZoom ||
           turnZoom != o.turnZoom || serverMode != o.serverMode;
}
bool Options::ServerModeChanged(const Options& o) const {
    return serverMode != o.serverMode;
}
bool Options::Channel2SoundChanged(const Options& o) const {
    return voice != o.voice || voiceVolume != o.voiceVolume;
}
bool Options::MaskBadLanguageChanged(const Options& o) const {
    return maskBadLanguage != o.maskBadLanguage;
}
bool Options::AutoGreetingsChanged(const Options& o) const {
    return autoGreetings != o.autoGreetings;
}
bool Options::ServerFlagPairChanged(const Options& o) const {
    return serverFlagA != o.serverFlagA || serverFlagB != o.serverFlagB;
}

void Options::MarkMultisampleSupported(int level) {
    if (level >= 0 && level < static_cast<int>(multisample.size()))
        multisample[static_cast<std::size_t>(level)] = 1;
}

bool Options::IsMultisampleSupported(int level) const {
    return level >= 0 && level < static_cast<int>(multisample.size()) &&
           multisample[static_cast<std::size_t>(level)];
}

int Options::HighestMultisampleUpTo(int level) const {
    for (int k = std::min(level, static_cast<int>(multisample.size()) - 1); k >= 1; --k) {
        if (multisample[static_cast<std::size_t>(k)]) return k;
    }
    return 0;
}

bool Options::ClampAnisotropy() {
    if (anisotropic < 0) {
        anisotropic = 0;
        return false;
    }
    if (anisotropic > deviceMaxAnisotropy) {
        anisotropic = deviceMaxAnisotropy;
        return false;
    }
    return true;
}

bool Options::FitToDevice(const platform::DeviceCaps& deviceCaps) {
    bool unchanged = true;
    caps = deviceCaps;
    if ((!caps.bumpEnvMap || !caps.cubeTextures) && (tableEffect != 0 || waterEffect != 0)) {
        tableEffect = 0;
        waterEffect = 0;
        unchanged = false;
    }
    if (caps.lightLimit < 2 && lightEffect != 0) {
        lightEffect = 0;
        unchanged = false;
    }
    if (caps.maxTextureWidth < 2048 && textureDetail == 0) {
        textureDetail = 1;
        unchanged = false;
    }
    if (!caps.dxt1 && (textureDetail != 2 || bpp != 16)) {
        textureDetail = 2;
        bpp = 16;
        unchanged = false;
    }
    return unchanged;
}

bool Options::ValidateDisplayMode(std::uint16_t& w, std::uint16_t& h, std::uint8_t& bits,
                                  std::uint32_t& refresh, std::uint8_t& vsyncOut) {
    bool changed = false;
    // Only 16 and 32 bits are display depths; anything else (24 included) is the 32-bit mode.
    if (bits != 16 && bits != 32) {
        bits = 32;
        changed = true;
    }
    if (w == 1152 && h == 864) {
        w = 1024;
        h = 768;
        changed = true;
    }
    DisplayModeChoice entry;
    if (caps.dxt1 && caps.hardwareTnL && DisplayModeList::Instance().Find(w, h, entry)) {
        if (std::find(entry.refreshRates.begin(), entry.refreshRates.end(), refresh) ==
                entry.refreshRates.end() &&
            !entry.refreshRates.empty()) {
            // A rate the display does not offer would fail every full-screen start: it counts as a change.
            refresh = entry.refreshRates.front();
            changed = true;
        }
        return changed;
    }
    w = 1024;
    h = 768;
    bits = 32;
    refresh = 60;
    if (!caps.dxt1 || !caps.hardwareTnL) {
        bits = 16;
        vsyncOut = 0;
    }
    width = w;
    height = h;
    bpp = bits;
    refreshRate = static_cast<std::int32_t>(refresh);
    vsync = vsyncOut;
    return true;
}

DisplayModeList& DisplayModeList::Instance() {
    static DisplayModeList list;
    return list;
}

std::vector<DisplayModeChoice> DisplayModeList::Snapshot() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

const DisplayModeChoice* DisplayModeList::Find(std::uint32_t w, std::uint32_t h,
                                               DisplayModeChoice& out) const {
    std::lock_guard lock(mutex_);
    for (const DisplayModeChoice& entry : entries_) {
        if (entry.width == w && entry.height == h) {
            out = entry;
            return &out;
        }
    }
    return nullptr;
}

void DisplayModeList::Rebuild(std::vector<platform::ModeRecord> modes) {
    std::sort(modes.begin(), modes.end(), DisplayModeLess);
    std::vector<DisplayModeChoice> entries;
    for (const platform::ModeRecord& mode : modes) {
        if (mode.width < kMinModeWidth || mode.height < kMinModeHeight || mode.bpp != 32) continue;
        auto it = std::find_if(entries.begin(), entries.end(), [&](const DisplayModeChoice& e) {
            return e.width == mode.width && e.height == mode.height;
        });
        if (it == entries.end()) {
            entries.push_back({mode.width, mode.height, 32, {mode.refresh}});
        } else {
            it->refreshRates.push_back(mode.refresh);
            std::sort(it->refreshRates.begin(), it->refreshRates.end());
        }
    }
    std::lock_guard lock(mutex_);
    entries_ = std::move(entries);
}

void DisplayModeList::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

bool DisplayModeLess(const platform::ModeRecord& a, const platform::ModeRecord& b) {
    if (a.width != b.width) return a.width < b.width;
    if (a.height != b.height) return a.height < b.height;
    return a.bpp < b.bpp;
}

void BuildDisplayModeList(Options& options, std::vector<platform::ModeRecord> deviceModes) {
    DisplayModeList::Instance().Rebuild(std::move(deviceModes));
    options.modesListed = 1;
}

Options OptionsStore::Get() const {
    std::lock_guard lock(mutex_);
    return options_;
}

void OptionsStore::Set(const Options& options) {
    std::lock_guard lock(mutex_);
    options_ = options;
}

void OptionsStore::Update(const std::function<void(Options&)>& change) {
    std::lock_guard lock(mutex_);
    change(options_);
}

std::int32_t Gcd(std::int32_t a, std::int32_t b) {
    if (a < 0 || b < 0) return 0;
    if (a == 0) return b;
    if (b == 0) return a;
    // Euclid's remainder form gives the repeated subtraction's result in a bounded number of steps.
    while (b != 0) {
        const std::int32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}
