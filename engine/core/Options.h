#pragma once
// Every user setting of the client: the video, sound, control and game settings kept in
// "config.ini", the settings kept on the game server (one option word), the device limits the
// settings are fitted to and the multisample levels of the device. The options dialog works on
// copies and compares them with the change tests. OptionsStore shares one copy across threads.

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/video/RenderTypes.h"

namespace platform {
class IniFile;
}

// The sizes a full-screen mode can have: the display-mode list starts at 1024 x 720; a side past
// 16384 is more than a window or a frame can be.
constexpr std::int32_t kMinModeWidth = 1024;
constexpr std::int32_t kMinModeHeight = 720;
constexpr std::int32_t kMaxModeSide = 16384;
constexpr std::int32_t kMaxRefreshRate = 1000;

// A value of config.ini that could not be used as stored: its place, its text, the value used and why.
struct ReplacedOption {
    enum class Why {
        kOutOfRange,  // a number outside the key's range: the default, or the bound of a clamped key
        kNoNumber,    // the text is not wholly a number: the default
        kEmpty,       // the key has no value ("bpp="): the default
        kNotWhole,    // a number with a fraction, in range: the nearest whole number
    };
    std::string section;
    std::string key;
    std::string stored;
    std::int32_t used = 0;
    Why why = Why::kOutOfRange;
};

struct Options {
    std::uint8_t modeChosen = 1;
    std::uint8_t fullscreen = 1;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bpp = 0;
    std::uint8_t vsync = 0;
    std::int32_t refreshRate = 60;
    std::int32_t textureDetail = 1;
    std::int32_t meshDetail = 1;
    std::int32_t textureFilter = 2;
    std::int32_t anisotropic = 8;
    std::int32_t fsaa = 0;
    std::uint8_t waterEffect = 0;
    std::uint8_t tableEffect = 1;
    std::uint8_t environmentEffect = 1;
    std::uint8_t lightEffect = 1;
    std::int32_t gamma = 100;
    std::uint8_t traceAll = 0;
    std::uint8_t chatFontSize = 0;
    std::int32_t practiceGame = -1;  // the game last chosen in the lobby's practice setup; -1 none yet
    std::int32_t deviceMaxAnisotropy = -1;
    std::uint8_t modesListed = 0;
    std::array<std::uint8_t, 17> multisample{};
    std::uint8_t bgm = 1;
    std::int32_t bgmVolume = 100;
    std::uint8_t fx = 1;
    std::int32_t fxVolume = 100;
    std::uint8_t voice = 1;
    std::int32_t voiceVolume = 100;
    std::int32_t shotSensitive = 100;
    std::int32_t verticalSensitive = 100;
    std::int32_t horizontalSensitive = 100;
    std::uint8_t verticalInverse = 0;
    std::uint8_t horizontalInverse = 0;
    std::int32_t serverMode = 1;
    std::int32_t cameraMode = 1;
    std::uint8_t shotZoom = 1;
    std::uint8_t turnZoom = 1;
    std::uint8_t mouseFix = 1;
    std::uint8_t maskBadLanguage = 1;
    std::uint8_t autoGreetings = 1;
    std::uint8_t serverFlagA = 1;
    std::uint8_t serverFlagB = 1;
    std::int32_t lang = 0;
    platform::DeviceCaps caps;

    // Reads "config.ini"; a missing file or key keeps the current value. An empty value, one that
    // is not wholly a number (platform::ParseProfileValue) or one out of its range takes its
    // default, a clamped one its bound, one with a fraction the nearest whole number; each is added
    // to `replaced`. False only when the file exists but cannot be read (`error`: see RegularFile.h).
    bool Load(const std::string& path, std::vector<ReplacedOption>* replaced = nullptr, int* error = nullptr);
    // The same from a file already read.
    void Read(const platform::IniFile& ini, std::vector<ReplacedOption>* replaced = nullptr);
    // One atomic write of every key, keeping the file's other lines; false when it failed.
    bool Save(const std::string& path, int* error = nullptr) const;
    void SetFromServerWord(std::uint32_t word);
    // The option word and flag byte of the server options message.
    std::uint32_t ServerOptionWord() const;
    std::uint8_t ServerFlagByte() const;

    bool GameViewChanged(const Options& o) const;
    bool ReflectionsChanged(const Options& o) const;
    bool TextureFilterChanged(const Options& o) const;
    bool DeviceSettingsChanged(const Options& o) const;
    bool DisplayModeChanged(const Options& o) const;
    bool ControlsChanged(const Options& o) const;
    bool ServerModeChanged(const Options& o) const;
    bool Channel2SoundChanged(const Options& o) const;
    bool MaskBadLanguageChanged(const Options& o) const;
    bool AutoGreetingsChanged(const Options& o) const;
    bool ServerFlagPairChanged(const Options& o) const;

    void MarkMultisampleSupported(int level);
    bool IsMultisampleSupported(int level) const;
    int HighestMultisampleUpTo(int level) const;
    bool ClampAnisotropy();
    bool FitToDevice(const platform::DeviceCaps& deviceCaps);
    // Fits a wanted mode to the display-mode list (all in-out); true when anything changed.
    bool ValidateDisplayMode(std::uint16_t& w, std::uint16_t& h, std::uint8_t& bits, std::uint32_t& refresh,
                             std::uint8_t& vsyncOut);
};

struct DisplayModeChoice {
    std::uint32_t width = 0, height = 0, bpp = 32;
    std::vector<std::uint32_t> refreshRates;
};

// The process-wide list of full-screen modes offered to the player, ordered by width then height.
class DisplayModeList {
public:
    static DisplayModeList& Instance();
    std::vector<DisplayModeChoice> Snapshot() const;
    const DisplayModeChoice* Find(std::uint32_t width, std::uint32_t height, DisplayModeChoice& out) const;
    void Rebuild(std::vector<platform::ModeRecord> modes);
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<DisplayModeChoice> entries_;
};

bool DisplayModeLess(const platform::ModeRecord& a, const platform::ModeRecord& b);
void BuildDisplayModeList(Options& options, std::vector<platform::ModeRecord> deviceModes);
// Greatest common divisor of two display sizes (the aspect ratio of a mode); 0 when either is
// negative or both are 0.
std::int32_t Gcd(std::int32_t a, std::int32_t b);

// One Options shared by the main, update and dispatch threads: readers take a copy, writers change
// it under the lock, so no thread ever reads a half-written store.
class OptionsStore {
public:
    Options Get() const;
    void Set(const Options& options);
    void Update(const std::function<void(Options&)>& change);

private:
    mutable std::mutex mutex_;
    Options options_;
};
