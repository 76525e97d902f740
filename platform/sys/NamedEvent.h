#pragma once
// Named events shared between processes, kept as marker files "<name>.event" in the runtime
// folder: setting the event creates the marker (holding the setter's process id), so a launcher
// can watch the folder or test for the file; resetting removes it.

#include <string>

namespace platform {

class NamedEvent {
public:
    // Opens the event of this name; nothing is created until Set. An empty name or one that would
    // leave the runtime folder makes an invalid event whose operations fail.
    static NamedEvent Open(const std::string& name);

    bool Valid() const { return !path_.empty(); }
    // Creates the marker atomically (never seen half written); false on failure.
    bool Set() const;
    // Removes the marker; true when it is gone afterwards.
    bool Reset() const;
    bool IsSet() const;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace platform
