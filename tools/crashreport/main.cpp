// The crash reporter, started by the client's crash hook in a process of its own: it shows the
// report and uploads the start-up log and the dump. Usage:
//   marvenlot-crashreport [--folder <folder>] --line "<report line>" --app|--no-app
#include "app/lib/CrashReport.h"

int main(int argc, char** argv) {
    return RunCrashReporter(argc, argv);
}
