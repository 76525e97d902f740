#pragma once
// A private X server (Xvfb) on a free display number for the life of the object, for tests that
// need a real display: windows, OpenGL through llvmpipe, message boxes.

#include <string>

#include "tests/common/ChildProcess.h"

namespace testsupport {

class XvfbDisplay {
public:
    // False when Xvfb is not installed or did not come up within 5 s (the test then skips).
    bool Start();
    // ":<n>", for DISPLAY.
    const std::string& Name() const { return name_; }

private:
    ChildProcess server_;
    std::string name_;
};

}  // namespace testsupport
