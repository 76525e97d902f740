#include "engine/core/FileStream.h"

#include "platform/sys/RegularFile.h"

bool FileStream::Open(const WString& path, Mode mode) {
    Close();
    const char* flags = "rb";
    switch (mode) {
        case Mode::Read:
            flags = "rb";
            break;
        case Mode::Write:
            flags = "wb";
            break;
        case Mode::ReadWrite:
            flags = "r+b";
            break;
        case Mode::Append:
            flags = "ab";
            break;
    }
    file_ = platform::OpenRegularFileStream(ToUtf8(path), flags, error_);
    return file_ != nullptr;
}

void FileStream::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

std::size_t FileStream::Read(void* buffer, std::size_t size) {
    if (!file_ || size == 0) return 0;
    return std::fread(buffer, 1, size, file_);
}

std::size_t FileStream::Write(const void* data, std::size_t size) {
    if (!file_ || size == 0) return 0;
    return std::fwrite(data, 1, size, file_);
}

std::int64_t FileStream::Tell() {
    if (!file_) return -1;
    return ftello(file_);
}

bool FileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    if (!file_) return false;
    const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    return fseeko(file_, static_cast<off_t>(offset), whence) == 0;
}

std::int64_t FileStream::Size() {
    if (!file_) return -1;
    const off_t here = ftello(file_);
    if (here < 0 || fseeko(file_, 0, SEEK_END) != 0) return -1;
    const off_t end = ftello(file_);
    fseeko(file_, here, SEEK_SET);
    return end;
}
