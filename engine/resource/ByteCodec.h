#pragma once
// Little-endian byte writer and bounds-checked reader for package records. The reader never reads past
// its span: a short read sets the failed flag and yields zeros, so decoders check Ok() once at the end
// of a record and counts are checked against the bytes left before anything is allocated.

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "engine/core/Text.h"
#include "engine/resource/ResourceTypes.h"

class ByteWriter {
public:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v) { Raw(&v, 2); }
    void U32(uint32_t v) { Raw(&v, 4); }
    void I16(int16_t v) { Raw(&v, 2); }
    void I32(int32_t v) { Raw(&v, 4); }
    void F32(float v) { Raw(&v, 4); }
    void Vec2(const Float2& v) { F32(v.x), F32(v.y); }
    void Vec3(const Float3& v) { F32(v.x), F32(v.y), F32(v.z); }
    void Vec4(const Float4& v) { F32(v.x), F32(v.y), F32(v.z), F32(v.w); }
    void Matrix(const Float4x4& m) {
        for (float f : m.m) F32(f);
    }
    void Sphere(const BoundingSphere& s) { Vec3(s.center), F32(s.radius); }
    // u16 byte length, then UTF-16LE without terminator; longer texts are cut at 32767 units.
    void String(WStringView text);
    // u32 byte count, then the bytes.
    void Blob(std::span<const uint8_t> data);
    void Bytes(std::span<const uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

    // Writes a u32 placeholder and returns its offset, for a length patched by EndLength.
    size_t BeginLength();
    void EndLength(size_t at);

    const std::vector<uint8_t>& Data() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }
    size_t Size() const { return bytes_.size(); }

private:
    // x86-64 is little-endian, the format's byte order.
    void Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    std::vector<uint8_t> bytes_;
};

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

    uint8_t U8() { return Get<uint8_t>(); }
    uint16_t U16() { return Get<uint16_t>(); }
    uint32_t U32() { return Get<uint32_t>(); }
    int16_t I16() { return Get<int16_t>(); }
    int32_t I32() { return Get<int32_t>(); }
    float F32() { return Get<float>(); }
    Float2 Vec2() { return {F32(), F32()}; }
    Float3 Vec3() {
        Float3 v;
        v.x = F32(), v.y = F32(), v.z = F32();
        return v;
    }
    Float4 Vec4() {
        Float4 v;
        v.x = F32(), v.y = F32(), v.z = F32(), v.w = F32();
        return v;
    }
    Float4x4 Matrix() {
        Float4x4 m;
        for (float& f : m.m) f = F32();
        return m;
    }
    BoundingSphere Sphere() {
        BoundingSphere s;
        s.center = Vec3();
        s.radius = F32();
        return s;
    }
    WString String();
    std::vector<uint8_t> Blob();
    // The next n bytes (empty and failed when fewer are left).
    std::span<const uint8_t> Span(uint32_t n);
    // A sub-reader over the next n bytes (empty and failed when fewer are left).
    ByteReader Sub(uint32_t n);
    void Skip(size_t n);

    // A count of items of at least minItemBytes each; fails when the rest cannot hold that many.
    uint32_t Count(size_t minItemBytes);

    bool Ok() const { return ok_; }
    void Fail() { ok_ = false; }
    size_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ == data_.size(); }

private:
    template <class V>
    V Get() {
        V v{};
        if (!ok_ || Remaining() < sizeof(V)) {
            ok_ = false;
            return V{};
        }
        std::memcpy(&v, data_.data() + pos_, sizeof(V));
        pos_ += sizeof(V);
        return v;
    }

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    bool ok_ = true;
};
