#pragma once
// Encoding and decoding of the record body of every resource type (docs/resources.md). Decode
// returns false for a body that is short, inconsistent or out of bounds, never trusting a count.

#include <cstdint>
#include <vector>

#include "engine/resource/ByteCodec.h"
#include "engine/resource/Resource.h"

// Sanity bounds on decoded records.
namespace record_limits {
constexpr uint32_t kMaxTextureSize = 8192;
constexpr uint32_t kMaxTextureLevels = 14;
constexpr uint32_t kMaxMeshVertices = 65536;  // parts index with 16 bits
}  // namespace record_limits

void EncodeRecord(ByteWriter& w, const TextureData& v);
void EncodeRecord(ByteWriter& w, const BoneData& v);
void EncodeRecord(ByteWriter& w, const MaterialData& v);
void EncodeRecord(ByteWriter& w, const MeshData& v);
void EncodeRecord(ByteWriter& w, const SoundData& v);
void EncodeRecord(ByteWriter& w, const ModelData& v);
void EncodeRecord(ByteWriter& w, const SpriteData& v);
void EncodeRecord(ByteWriter& w, const SpriteAnimationData& v);
void EncodeRecord(ByteWriter& w, const BoneAnimationData& v);
void EncodeRecord(ByteWriter& w, const VertexAnimationData& v);
void EncodeRecord(ByteWriter& w, const ModelAnimationData& v);
void EncodeRecord(ByteWriter& w, const SceneInfoData& v);
void EncodeRecord(ByteWriter& w, const StringTableData& v);
void EncodeRecord(ByteWriter& w, const BinaryData& v);

bool DecodeRecord(ByteReader& r, TextureData& v);
bool DecodeRecord(ByteReader& r, BoneData& v);
bool DecodeRecord(ByteReader& r, MaterialData& v);
bool DecodeRecord(ByteReader& r, MeshData& v);
bool DecodeRecord(ByteReader& r, SoundData& v);
bool DecodeRecord(ByteReader& r, ModelData& v);
bool DecodeRecord(ByteReader& r, SpriteData& v);
bool DecodeRecord(ByteReader& r, SpriteAnimationData& v);
bool DecodeRecord(ByteReader& r, BoneAnimationData& v);
bool DecodeRecord(ByteReader& r, VertexAnimationData& v);
bool DecodeRecord(ByteReader& r, ModelAnimationData& v);
bool DecodeRecord(ByteReader& r, SceneInfoData& v);
bool DecodeRecord(ByteReader& r, StringTableData& v);
bool DecodeRecord(ByteReader& r, BinaryData& v);

template <class T>
std::vector<uint8_t> EncodeRecordBytes(const T& value) {
    ByteWriter w;
    EncodeRecord(w, value);
    return w.Take();
}

// Decodes a whole body; trailing bytes make it fail, so a body cut or padded by damage is refused.
template <class T>
bool DecodeRecordBytes(std::span<const uint8_t> bytes, T& value) {
    ByteReader r(bytes);
    return DecodeRecord(r, value) && r.Ok() && r.AtEnd();
}
