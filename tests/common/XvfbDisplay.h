#pragma once
// An X server of its own for a test (Xvfb on a free display number), optionally with a window
// manager, for the life of the object: windows, OpenGL through llvmpipe, message boxes. The server
// ends with SIGTERM, so that it takes its lock file and socket out of /tmp with it.

#include <memory>
#include <string>

#include "tests/common/ChildProcess.h"

namespace testsupport {

class XvfbDisplay {
public:
    // size as Xvfb takes it, e.g. "1280x960x24"; windowManager: a program path, or empty for none.
    // False when Xvfb (or the asked-for window manager) is not installed or did not come up within 5 s
    // (the test then skips).
    bool Start(const std::string& size = "1280x1024x24", const std::string& windowManager = {});
    ~XvfbDisplay();
    // ":<n>", for DISPLAY.
    const std::string& Name() const { return name_; }

private:
    std::unique_ptr<ChildProcess> server_;
    ChildProcess manager_;
    std::string name_;
    int display_ = 0;
};

}  // namespace testsupport
