#pragma once
// An X server of its own for a test (Xvfb on a free display number), optionally with a window
// manager. Start() is false when Xvfb (or the asked-for window manager) is not installed.

#include <string>

#include "tests/common/ChildProcess.h"

class XvfbDisplay {
public:
    // size as Xvfb takes it, e.g. "1280x960x24"; windowManager: a program path, or empty for none.
    bool Start(const std::string& size = "1280x1024x24", const std::string& windowManager = {});
    const std::string& Name() const { return name_; }

private:
    testsupport::ChildProcess server_;
    testsupport::ChildProcess manager_;
    std::string name_;
};
