// marvenlot-messagebox: shows one message box for the client, which starts it with the box's
// caption, text and buttons as arguments, and exits with the position of the button that answered
// (126 when no box could be shown). Running the box in a process of its own lets the client end a
// box that waits for an answer when it is asked to quit.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sys/MessageBox.h"

int main(int argc, char** argv) {
    // The answer is the exit code: nothing run at exit (a leak check of the X libraries under a
    // sanitizer) may replace it.
    std::_Exit(platform::RunMessageBoxProgram(std::vector<std::string>(argv + 1, argv + argc)));
}
