#include "engine/core/Options.h"

#include <algorithm>

#include "platform/sys/IniFile.h"

namespace {

std::int32_t Clamp(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value < low ? low : (value > high ? high : value);
}

struct Reader {
    const platform::IniFile& ini;
    const char* section;
    void Flag(const char* key, std::uint8_t& field) const {
        field = ini.GetInt(section, key, field) != 0 ? 1 : 0;
    }
    void Int(const char* key, std::int32_t& field) const { field = ini.GetInt(section, key, field); }
    void Clamped(const char* key, std::int32_t& field, std::int32_t low, std::int32_t high) const {
        field = Clamp(ini.GetInt(section, key, field), low, high);
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

bool Options::Load(const std::string& path) {
    platform::IniFile ini;
    if (!ini.Load(path)) return false;
    const Reader video{ini, "Video"};
    video.Flag("fullscreen", fullscreen);
    video.Int("width", width);
    video.Int("height", height);
    video.Int("bpp", bpp);
    video.Flag("vsync", vsync);
    video.Int("refreshrate", refreshRate);
    video.Clamped("texturedetail", textureDetail, 0, 2);
    video.Int("meshdetail", meshDetail);
    video.Clamped("texturefilter", textureFilter, 1, 3);
    video.Clamped("anisotropic", anisotropic, 0, 16);
    video.Clamped("fsaa", fsaa, 0, 8);
    fsaa &= ~1;
    video.Flag("tableeffect", tableEffect);
    video.Flag("watereffect", waterEffect);
    video.Clamped("gamma", gamma, 50, 150);
    const Reader game{ini, "Game"};
    game.Flag("traceall", traceAll);
    game.Flag("chatfontsize", chatFontSize);
    const Reader audio{ini, "Audio"};
    audio.Flag("BGM", bgm);
    audio.Clamped("BGMVolume", bgmVolume, 0, 100);
    audio.Flag("FX", fx);
    audio.Clamped("FXVolume", fxVolume, 0, 100);
    // The voice channel follows the effects until the server's option word says otherwise.
    voice = fx;
    voiceVolume = fxVolume;
    const Reader control{ini, "Control"};
    control.Clamped("shotsensitive", shotSensitive, 10, 300);
    control.Clamped("verticalsensitive", verticalSensitive, 10, 200);
    control.Clamped("horizentalsensitive", horizontalSensitive, 10, 200);
    control.Flag("verticalinverse", verticalInverse);
    control.Flag("horizentalinverse", horizontalInverse);
    control.Clamped("cameramode", cameraMode, 1, 3);
    control.Flag("shotzoom", shotZoom);
    control.Flag("turnzoom", turnZoom);
    lang = ini.GetInt("Game", "lang", lang) != 0 ? 1 : 0;
    mouseFix = 1;
    return true;
}

bool Options::Save(const std::string& path) const {
    platform::IniFile ini;
    if (!ini.Load(path)) return false;
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
    return ini.Save(path);
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
        if (mode.width < 1024 || mode.height < 720 || mode.bpp != 32) continue;
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
