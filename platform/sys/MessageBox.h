#pragma once
// Message boxes with the system's style flags and answer codes. Headless (MARVENLOT_HEADLESS) or
// without a reachable display a box never blocks: "<caption>: <text>" goes to stderr and the
// default button answers at once. Every box is journaled as "BOX <caption>|<line>|<line>...".
//
// A box on the display is shown by the box program (marvenlot-messagebox, beside the program) in
// a process group of its own, so that a quit request (SIGTERM, SIGINT) ends a box that waits for
// an answer: the box closes and answers as its close button does. Without the box program the box
// is shown in this process, where only an answer ends it. While the box program's box waits, the
// blocking wait hook runs (Quit.h): the script plays on, and a close of the main window ends the box.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Buttons (the low four bits of the style).
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
// Icons.
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
// Default button: the first unless one of these says otherwise.
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
// Modality; accepted and ignored (every box is modal to the whole client).
constexpr unsigned MB_TASKMODAL = 0x2000;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxButton {
    int id;
    const char* label;
};

enum class MessageBoxIcon { None, Error, Question, Warning, Information };

// What a style shows: buttons in order, the default answer, the answer when the box is closed
// without a button (Escape or the window's close), and the icon. Unknown button codes show OK.
struct MessageBoxLayout {
    std::vector<MessageBoxButton> buttons;
    int defaultId;
    int closeId;
    MessageBoxIcon icon;
};
MessageBoxLayout DescribeMessageBox(unsigned style);

// Shows a box (UTF-8 texts) and returns the id of the button that answered it.
int MessageBox(std::string_view caption, std::string_view text, unsigned style = MB_OK);
// The same with buttons of the caller's own (labels and ids), for the client's fixed dialogs.
int MessageBox(std::string_view caption, std::string_view text, const MessageBoxLayout& layout);

// The box program: its file name, the exit code for "no box could be shown", and its arguments
// for a box: icon, default button, close button, caption, text, then the labels. Buttons go by
// position (1 the first), and the program's exit code is the position of the answer.
inline constexpr const char* kMessageBoxProgram = "marvenlot-messagebox";
constexpr int kMessageBoxNotShown = 126;
std::vector<std::string> MessageBoxProgramArguments(std::string_view caption, std::string_view text,
                                                    const MessageBoxLayout& layout);
// Reads the arguments back into a layout whose button ids are the positions; the caption, text
// and labels point into `args`. False for arguments that describe no box.
bool ParseMessageBoxProgramArguments(const std::vector<std::string>& args, std::string_view& caption,
                                     std::string_view& text, MessageBoxLayout& layout);
// The box program's main: shows the box its arguments describe in this process and returns the
// position of the answer, or kMessageBoxNotShown.
int RunMessageBoxProgram(const std::vector<std::string>& args);

}  // namespace platform
