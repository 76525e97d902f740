#include "engine/resource/ByteCodec.h"

#include <algorithm>

void ByteWriter::String(WStringView text) {
    const size_t units = std::min<size_t>(text.size(), 0x7FFF);
    U16(static_cast<uint16_t>(units * 2));
    for (size_t i = 0; i < units; ++i) {
        U16(static_cast<uint16_t>(text[i]));
    }
}

void ByteWriter::Blob(std::span<const uint8_t> data) {
    U32(static_cast<uint32_t>(data.size()));
    Bytes(data);
}

size_t ByteWriter::BeginLength() {
    const size_t at = bytes_.size();
    U32(0);
    return at;
}

void ByteWriter::EndLength(size_t at) {
    const auto length = static_cast<uint32_t>(bytes_.size() - at - 4);
    std::memcpy(bytes_.data() + at, &length, 4);
}

WString ByteReader::String() {
    const uint16_t byteLength = U16();
    if (!ok_ || (byteLength & 1) != 0 || Remaining() < byteLength) {
        ok_ = false;
        return {};
    }
    WString text(byteLength / 2, u'\0');
    for (auto& c : text) {
        c = static_cast<char16_t>(U16());
    }
    return text;
}

std::vector<uint8_t> ByteReader::Blob() {
    const uint32_t size = U32();
    if (!ok_ || Remaining() < size) {
        ok_ = false;
        return {};
    }
    std::vector<uint8_t> out(data_.begin() + pos_, data_.begin() + pos_ + size);
    pos_ += size;
    return out;
}

std::span<const uint8_t> ByteReader::Span(uint32_t n) {
    if (!ok_ || Remaining() < n) {
        ok_ = false;
        return {};
    }
    const auto out = data_.subspan(pos_, n);
    pos_ += n;
    return out;
}

ByteReader ByteReader::Sub(uint32_t n) {
    if (!ok_ || Remaining() < n) {
        ok_ = false;
        ByteReader empty({});
        empty.Fail();
        return empty;
    }
    ByteReader sub(data_.subspan(pos_, n));
    pos_ += n;
    return sub;
}

void ByteReader::Skip(size_t n) {
    if (!ok_ || Remaining() < n) {
        ok_ = false;
        return;
    }
    pos_ += n;
}

uint32_t ByteReader::Count(size_t minItemBytes) {
    const uint32_t count = U32();
    if (!ok_ || (minItemBytes > 0 && count > Remaining() / minItemBytes)) {
        ok_ = false;
        return 0;
    }
    return count;
}
