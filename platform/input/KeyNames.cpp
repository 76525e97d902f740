#include "platform/input/KeyNames.h"

#include <array>

#include "platform/window/WindowCodes.h"

namespace platform {

namespace {

// clang-format off
constexpr KeyName kKeyNames[] = {
    {"A", 'A'},
    {"B", 'B'},
    {"C", 'C'},
    {"D", 'D'},
    {"E", 'E'},
    {"F", 'F'},
    {"G", 'G'},
    {"H", 'H'},
    {"I", 'I'},
    {"J", 'J'},
    {"K", 'K'},
    {"L", 'L'},
    {"M", 'M'},
    {"N", 'N'},
    {"O", 'O'},
    {"P", 'P'},
    {"Q", 'Q'},
    {"R", 'R'},
    {"S", 'S'},
    {"T", 'T'},
    {"U", 'U'},
    {"V", 'V'},
    {"W", 'W'},
    {"X", 'X'},
    {"Y", 'Y'},
    {"Z", 'Z'},
    {"0", '0'},
    {"1", '1'},
    {"2", '2'},
    {"3", '3'},
    {"4", '4'},
    {"5", '5'},
    {"6", '6'},
    {"7", '7'},
    {"8", '8'},
    {"9", '9'},
    {"F1", kVkF1 + 0},
    {"F2", kVkF1 + 1},
    {"F3", kVkF1 + 2},
    {"F4", kVkF1 + 3},
    {"F5", kVkF1 + 4},
    {"F6", kVkF1 + 5},
    {"F7", kVkF1 + 6},
    {"F8", kVkF1 + 7},
    {"F9", kVkF1 + 8},
    {"F10", kVkF1 + 9},
    {"F11", kVkF1 + 10},
    {"F12", kVkF1 + 11},
    {"Keypad 0", kVkNumpad0 + 0},
    {"Keypad 1", kVkNumpad0 + 1},
    {"Keypad 2", kVkNumpad0 + 2},
    {"Keypad 3", kVkNumpad0 + 3},
    {"Keypad 4", kVkNumpad0 + 4},
    {"Keypad 5", kVkNumpad0 + 5},
    {"Keypad 6", kVkNumpad0 + 6},
    {"Keypad 7", kVkNumpad0 + 7},
    {"Keypad 8", kVkNumpad0 + 8},
    {"Keypad 9", kVkNumpad0 + 9},
    {"Backspace", kVkBack},
    {"Tab", kVkTab},
    {"Return", kVkReturn},
    {"Keypad Enter", kVkReturn},
    {"Left Shift", kVkShift},
    {"Right Shift", kVkShift},
    {"Left Ctrl", kVkControl},
    {"Right Ctrl", kVkControl},
    {"Left Alt", kVkMenu},
    {"Right Alt", kVkMenu},
    {"Pause", kVkPause},
    {"CapsLock", kVkCapital},
    {"Escape", kVkEscape},
    {"Space", kVkSpace},
    {"PageUp", kVkPrior},
    {"PageDown", kVkNext},
    {"End", kVkEnd},
    {"Home", kVkHome},
    {"Left", kVkLeft},
    {"Up", kVkUp},
    {"Right", kVkRight},
    {"Down", kVkDown},
    {"Insert", kVkInsert},
    {"Delete", kVkDelete},
    {"Left GUI", kVkLWin},
    {"Right GUI", kVkRWin},
    {"Keypad *", kVkMultiply},
    {"Keypad +", kVkAdd},
    {"Keypad -", kVkSubtract},
    {"Keypad .", kVkDecimal},
    {"Keypad /", kVkDivide},
    {";", kVkOem1},
    {"=", kVkOemPlus},
    {",", kVkOemComma},
    {"-", kVkOemMinus},
    {".", kVkOemPeriod},
    {"/", kVkOem2},
    {"`", kVkOem3},
    {"[", kVkOem4},
    {"\\", kVkOem5},
    {"]", kVkOem6},
    {"'", kVkOem7},
};
// clang-format on

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

const KeyName* FindKeyName(std::string_view name) {
    for (const KeyName& key : kKeyNames)
        if (SameIgnoringCase(key.name, name)) return &key;
    return nullptr;
}

std::span<const KeyName> AllKeyNames() {
    return kKeyNames;
}

}  // namespace platform
