#pragma once
// The program entry: start-up log, command line, start mode, launcher hand-off, crash hook,
// single-instance lock, and the application object's run from start-up to shutdown.

#include <string>
#include <vector>

// Runs the client with the process arguments (element 0 the program path). Returns 0 in every case.
int RunClient(const std::vector<std::string>& argv);
