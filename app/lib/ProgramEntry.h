#pragma once
// The program entry: command line, start-up log, start mode, launcher hand-off, crash hook,
// single-instance lock, and the application object's run from start-up to shutdown.

#include <string>
#include <vector>

// Runs the client with the process arguments (element 0 the program path) and returns the exit code
// (exit_code in CommandLine.h).
int RunClient(const std::vector<std::string>& argv);
