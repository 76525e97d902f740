#pragma once
// The abstract byte stream every engine file is read and written through.

#include <cstddef>
#include <cstdint>

enum class SeekOrigin { Begin, Current, End };

class Stream {
public:
    virtual ~Stream() = default;

    // Reads up to size bytes; returns the number read (short at the end of the data or on error).
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    // Writes size bytes; returns the number written (short on error).
    virtual std::size_t Write(const void* data, std::size_t size) = 0;
    // Current position, or -1 on error.
    virtual std::int64_t Tell() = 0;
    // Moves the position; false (position unchanged) when the target is before the start or the
    // stream cannot seek.
    virtual bool Seek(std::int64_t offset, SeekOrigin origin) = 0;
    // Size in bytes, or -1 on error.
    virtual std::int64_t Size() = 0;

    // Reads exactly size bytes; false on a short read.
    bool ReadAll(void* buffer, std::size_t size) { return Read(buffer, size) == size; }
    bool WriteAll(const void* data, std::size_t size) { return Write(data, size) == size; }
};
