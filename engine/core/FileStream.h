#pragma once
// A stream over a file named by a wide path (converted to UTF-8 for the file system).

#include <cstdio>

#include "engine/core/Stream.h"
#include "engine/core/Text.h"

class FileStream final : public Stream {
public:
    enum class Mode {
        Read,       // existing file, read only
        Write,      // created or truncated, write only
        ReadWrite,  // existing file, read and write
        Append,     // created when missing, writes go to the end
    };

    FileStream() = default;
    FileStream(const WString& path, Mode mode) { Open(path, mode); }
    ~FileStream() override { Close(); }
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Files are always binary. Opening closes a file already open. False when the file cannot be
    // opened in that mode or is not a regular file (a FIFO or device is never opened, so an open
    // never waits); Error() then tells why.
    bool Open(const WString& path, Mode mode);
    // The reason of the last failed Open (see platform/sys/RegularFile.h).
    int Error() const { return error_; }
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    std::size_t Read(void* buffer, std::size_t size) override;
    std::size_t Write(const void* data, std::size_t size) override;
    std::int64_t Tell() override;
    bool Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override;

private:
    std::FILE* file_ = nullptr;
    int error_ = 0;
};
