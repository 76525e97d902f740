// Program entry of the client.
#include <string>
#include <vector>

#include "app/lib/ProgramEntry.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    return RunClient(args);
}
