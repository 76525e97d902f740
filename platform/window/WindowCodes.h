#pragma once
// Window message codes, virtual-key codes and the small numeric constants of the window system that
// the client's behaviour depends on. The values are those the client was written against, so code
// above the platform reads the same whatever backend delivers the messages.

#include <cstdint>

namespace platform {

// Window messages.
constexpr std::uint32_t kWmNull = 0x0000;
constexpr std::uint32_t kWmSize = 0x0005;
constexpr std::uint32_t kWmActivate = 0x0006;
constexpr std::uint32_t kWmClose = 0x0010;
constexpr std::uint32_t kWmQuit = 0x0012;
constexpr std::uint32_t kWmActivateApp = 0x001C;
constexpr std::uint32_t kWmWindowPosChanged = 0x0047;
constexpr std::uint32_t kWmNcLButtonDown = 0x00A1;
constexpr std::uint32_t kWmKeyDown = 0x0100;
constexpr std::uint32_t kWmKeyUp = 0x0101;
constexpr std::uint32_t kWmChar = 0x0102;
constexpr std::uint32_t kWmSysKeyDown = 0x0104;
constexpr std::uint32_t kWmSysKeyUp = 0x0105;
constexpr std::uint32_t kWmSysChar = 0x0106;
// Text composition of an input method. Each composition message (lParam kGcsCompStr) carries one
// UTF-16 unit of the composing text in wParam; the first unit of a changed text also carries
// kCompositionRestart, which replaces what was composing. The end message drops what is left;
// committed text arrives as kWmChar messages.
constexpr std::uint32_t kWmImeStartComposition = 0x010D;
constexpr std::uint32_t kWmImeEndComposition = 0x010E;
constexpr std::uint32_t kWmImeComposition = 0x010F;
constexpr std::uint32_t kGcsCompStr = 0x0008;
constexpr std::uint32_t kCompositionRestart = 0x10000;
constexpr std::uint32_t kWmCommand = 0x0111;
constexpr std::uint32_t kWmSysCommand = 0x0112;
constexpr std::uint32_t kWmMouseMove = 0x0200;
constexpr std::uint32_t kWmLButtonDown = 0x0201;
constexpr std::uint32_t kWmLButtonUp = 0x0202;
constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
constexpr std::uint32_t kWmRButtonDown = 0x0204;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr std::uint32_t kWmMButtonDown = 0x0207;
constexpr std::uint32_t kWmMButtonUp = 0x0208;
constexpr std::uint32_t kWmMouseWheel = 0x020A;
// The pointer left the client area with no button held: the next move may come from anywhere.
constexpr std::uint32_t kWmMouseLeave = 0x02A3;
constexpr std::uint32_t kWmEnterSizeMove = 0x0231;
constexpr std::uint32_t kWmExitSizeMove = 0x0232;
constexpr std::uint32_t kWmDropFiles = 0x0233;
// Private to the platform: the first copy of the client is asked to come to the front.
constexpr std::uint32_t kWmRaiseWindow = 0x8001;

// wParam of kWmSysCommand.
constexpr std::uint32_t kScMinimize = 0xF020;
constexpr std::uint32_t kScMaximize = 0xF030;
constexpr std::uint32_t kScScreenSave = 0xF140;

// wParam of kWmSize.
constexpr std::uint32_t kSizeRestored = 0;
constexpr std::uint32_t kSizeMinimized = 1;
constexpr std::uint32_t kSizeMaximized = 2;
constexpr std::uint32_t kSizeMaxShow = 3;
constexpr std::uint32_t kSizeMaxHide = 4;

// Low word of wParam of kWmActivate.
constexpr std::uint32_t kWaInactive = 0;
constexpr std::uint32_t kWaActive = 1;
constexpr std::uint32_t kWaClickActive = 2;

// Hit-test code of kWmNcLButtonDown: the caption, which drags the window.
constexpr std::uint32_t kHtCaption = 2;

// Mouse button state bits in wParam of mouse messages.
constexpr std::uint32_t kMkLButton = 0x0001;
constexpr std::uint32_t kMkRButton = 0x0002;
constexpr std::uint32_t kMkMButton = 0x0010;
constexpr int kWheelDelta = 120;

// Key message lParam: bit 29 is set while Alt is held, bit 31 on a key release.
constexpr std::uint32_t kKeyAltDown = 1u << 29;
constexpr std::uint32_t kKeyReleased = 1u << 31;

// Virtual-key codes. Letters and digits are their upper-case ASCII codes.
constexpr std::uint32_t kVkBack = 0x08;
constexpr std::uint32_t kVkTab = 0x09;
constexpr std::uint32_t kVkReturn = 0x0D;
constexpr std::uint32_t kVkShift = 0x10;
constexpr std::uint32_t kVkControl = 0x11;
constexpr std::uint32_t kVkMenu = 0x12;  // Alt
constexpr std::uint32_t kVkPause = 0x13;
constexpr std::uint32_t kVkCapital = 0x14;
constexpr std::uint32_t kVkEscape = 0x1B;
constexpr std::uint32_t kVkSpace = 0x20;
constexpr std::uint32_t kVkPrior = 0x21;
constexpr std::uint32_t kVkNext = 0x22;
constexpr std::uint32_t kVkEnd = 0x23;
constexpr std::uint32_t kVkHome = 0x24;
constexpr std::uint32_t kVkLeft = 0x25;
constexpr std::uint32_t kVkUp = 0x26;
constexpr std::uint32_t kVkRight = 0x27;
constexpr std::uint32_t kVkDown = 0x28;
constexpr std::uint32_t kVkInsert = 0x2D;
constexpr std::uint32_t kVkDelete = 0x2E;
constexpr std::uint32_t kVkLWin = 0x5B;
constexpr std::uint32_t kVkRWin = 0x5C;
constexpr std::uint32_t kVkNumpad0 = 0x60;
constexpr std::uint32_t kVkMultiply = 0x6A;
constexpr std::uint32_t kVkAdd = 0x6B;
constexpr std::uint32_t kVkSubtract = 0x6D;
constexpr std::uint32_t kVkDecimal = 0x6E;
constexpr std::uint32_t kVkDivide = 0x6F;
constexpr std::uint32_t kVkF1 = 0x70;
constexpr std::uint32_t kVkF4 = 0x73;
constexpr std::uint32_t kVkF5 = 0x74;
constexpr std::uint32_t kVkF10 = 0x79;
constexpr std::uint32_t kVkF12 = 0x7B;
constexpr std::uint32_t kVkOem1 = 0xBA;       // ;:
constexpr std::uint32_t kVkOemPlus = 0xBB;    // =+
constexpr std::uint32_t kVkOemComma = 0xBC;   // ,<
constexpr std::uint32_t kVkOemMinus = 0xBD;   // -_
constexpr std::uint32_t kVkOemPeriod = 0xBE;  // .>
constexpr std::uint32_t kVkOem2 = 0xBF;       // /?
constexpr std::uint32_t kVkOem3 = 0xC0;       // `~
constexpr std::uint32_t kVkOem4 = 0xDB;       // [{
constexpr std::uint32_t kVkOem5 = 0xDC;       // \|
constexpr std::uint32_t kVkOem6 = 0xDD;       // ]}
constexpr std::uint32_t kVkOem7 = 0xDE;       // '"

// Packs two signed 16-bit coordinates as mouse messages carry them.
constexpr std::intptr_t MakeLParam(int low, int high) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(low) & 0xFFFFu) |
                                      ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16));
}
constexpr int LParamX(std::intptr_t lParam) {
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(lParam) & 0xFFFFu);
}
constexpr int LParamY(std::intptr_t lParam) {
    return static_cast<std::int16_t>((static_cast<std::uint32_t>(lParam) >> 16) & 0xFFFFu);
}

}  // namespace platform
