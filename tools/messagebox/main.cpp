// marvenlot-messagebox: shows one message box for the client, which starts it with the box's
// caption, text and buttons as arguments, and exits with the position of the button that answered
// (126 when no box could be shown). Running the box in a process of its own lets the client end a
// box that waits for an answer when it is asked to quit.
#include <string>
#include <vector>

#include "platform/sys/MessageBox.h"

int main(int argc, char** argv) {
    return platform::RunMessageBoxProgram(std::vector<std::string>(argv + 1, argv + argc));
}
