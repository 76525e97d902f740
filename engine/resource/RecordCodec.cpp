#include "engine/resource/RecordCodec.h"

#include <cmath>

namespace {

bool Finite(float f) {
    return std::isfinite(f);
}

void WriteTrack(ByteWriter& w, const TransformTrack& t) {
    w.String(t.target);
    w.U32(static_cast<uint32_t>(t.keys.size()));
    for (const auto& k : t.keys) {
        w.U32(k.timeMs);
        w.Vec3(k.position);
        w.Vec4(k.rotation);
        w.Vec3(k.scale);
    }
}

bool ReadTrack(ByteReader& r, TransformTrack& t) {
    t.target = r.String();
    const uint32_t count = r.Count(44);
    t.keys.resize(count);
    for (auto& k : t.keys) {
        k.timeMs = r.U32();
        k.position = r.Vec3();
        k.rotation = r.Vec4();
        k.scale = r.Vec3();
    }
    return r.Ok();
}

void WriteRect(ByteWriter& w, const TexelRect& rect) {
    w.I32(rect.x), w.I32(rect.y), w.I32(rect.width), w.I32(rect.height);
}

TexelRect ReadRect(ByteReader& r) {
    TexelRect rect;
    rect.x = r.I32(), rect.y = r.I32(), rect.width = r.I32(), rect.height = r.I32();
    return rect;
}

}  // namespace

// ---- TEXTURE: u16 format, u32 width, u32 height, u32 levels, per level (u32 w, u32 h, blob pixels)

void EncodeRecord(ByteWriter& w, const TextureData& v) {
    w.U16(static_cast<uint16_t>(v.format));
    w.U32(v.width), w.U32(v.height);
    w.U32(static_cast<uint32_t>(v.levels.size()));
    for (const auto& level : v.levels) {
        w.U32(level.width), w.U32(level.height);
        w.Blob(level.pixels);
    }
}

bool DecodeRecord(ByteReader& r, TextureData& v) {
    v.format = static_cast<TextureFormat>(r.U16());
    v.width = r.U32(), v.height = r.U32();
    if (v.format != TextureFormat::Rgba8 && v.format != TextureFormat::Dxt1) return false;
    if (v.width == 0 || v.height == 0 || v.width > record_limits::kMaxTextureSize ||
        v.height > record_limits::kMaxTextureSize) {
        return false;
    }
    const uint32_t count = r.Count(12);
    if (count == 0 || count > record_limits::kMaxTextureLevels) return false;
    v.levels.resize(count);
    uint32_t expectW = v.width, expectH = v.height;
    for (auto& level : v.levels) {
        level.width = r.U32(), level.height = r.U32();
        if (level.width != expectW || level.height != expectH) return false;
        level.pixels = r.Blob();
        if (!r.Ok() ||
            level.pixels.size() != TextureData::LevelByteSize(v.format, level.width, level.height)) {
            return false;
        }
        expectW = expectW > 1 ? expectW / 2 : 1;
        expectH = expectH > 1 ? expectH / 2 : 1;
    }
    return r.Ok();
}

// ---- BONE

void EncodeRecord(ByteWriter& w, const BoneData& v) {
    w.U32(static_cast<uint32_t>(v.bones.size()));
    for (const auto& b : v.bones) {
        w.String(b.name);
        w.I32(b.parent);
        w.Matrix(b.bindPose);
    }
}

bool DecodeRecord(ByteReader& r, BoneData& v) {
    const uint32_t count = r.Count(70);
    v.bones.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto& b = v.bones[i];
        b.name = r.String();
        b.parent = r.I32();
        b.bindPose = r.Matrix();
        if (b.parent < -1 || b.parent >= static_cast<int32_t>(i)) return false;
    }
    return r.Ok();
}

// ---- MATERIAL

void EncodeRecord(ByteWriter& w, const MaterialData& v) {
    w.U32(v.flags);
    w.U8(v.lit), w.U8(v.lightingOff), w.U8(v.specular);
    for (uint16_t slot : v.slots) w.U16(slot);
    w.Vec4(v.diffuse), w.Vec4(v.ambient), w.Vec4(v.specularColor), w.Vec4(v.emissive);
    w.F32(v.power);
    w.U32(static_cast<uint32_t>(v.stages.size()));
    for (const auto& s : v.stages) {
        w.U32(s.textureId);
        w.String(s.textureName);
        w.U32(s.word);
        w.U8(s.animation ? 1 : 0);
        if (s.animation) w.F32(s.animation->a), w.F32(s.animation->b), w.F32(s.animation->c);
        w.U8(s.bump ? 1 : 0);
        if (s.bump) w.F32(s.bump->scale), w.U8(s.bump->rotate), w.F32(s.bump->period);
    }
}

bool DecodeRecord(ByteReader& r, MaterialData& v) {
    v.flags = r.U32();
    v.lit = r.U8(), v.lightingOff = r.U8(), v.specular = r.U8();
    for (uint16_t& slot : v.slots) slot = r.U16();
    v.diffuse = r.Vec4(), v.ambient = r.Vec4(), v.specularColor = r.Vec4(), v.emissive = r.Vec4();
    v.power = r.F32();
    const uint32_t count = r.Count(12);
    if (count > 0xFFFE) return false;
    v.stages.resize(count);
    for (auto& s : v.stages) {
        s.textureId = r.U32();
        s.textureName = r.String();
        s.word = r.U32();
        if (r.U8() != 0) s.animation = TextureAnimationData{r.F32(), r.F32(), r.F32()};
        if (r.U8() != 0) {
            BumpParamsData bump;
            bump.scale = r.F32();
            bump.rotate = r.U8();
            bump.period = r.F32();
            s.bump = bump;
        }
    }
    for (uint16_t slot : v.slots) {
        if (slot != kUnusedStageSlot && slot >= v.stages.size()) return false;
    }
    return r.Ok();
}

// ---- MESH

void EncodeRecord(ByteWriter& w, const MeshData& v) {
    w.U32(v.vertexFormat);
    w.U32(v.vertexCount);
    w.U8(v.dynamic);
    w.Sphere(v.bounds);
    w.Blob(v.vertices);
    w.U32(static_cast<uint32_t>(v.parts.size()));
    for (const auto& p : v.parts) {
        w.U32(p.materialId);
        w.Sphere(p.bounds);
        w.U32(static_cast<uint32_t>(p.indices.size()));
        for (uint16_t i : p.indices) w.U16(i);
    }
}

bool DecodeRecord(ByteReader& r, MeshData& v) {
    v.vertexFormat = r.U32();
    v.vertexCount = r.U32();
    v.dynamic = r.U8();
    v.bounds = r.Sphere();
    const uint32_t stride = vertex_format::Stride(v.vertexFormat);
    if (stride == 0 || v.vertexCount > record_limits::kMaxMeshVertices) return false;
    v.vertices = r.Blob();
    if (!r.Ok() || v.vertices.size() != size_t(v.vertexCount) * stride) return false;
    const uint32_t partCount = r.Count(24);
    v.parts.resize(partCount);
    for (auto& p : v.parts) {
        p.materialId = r.U32();
        p.bounds = r.Sphere();
        const uint32_t indexCount = r.Count(2);
        if (indexCount % 3 != 0) return false;
        p.indices.resize(indexCount);
        for (uint16_t& i : p.indices) {
            i = r.U16();
            if (i >= v.vertexCount) return false;
        }
    }
    return r.Ok() && Finite(v.bounds.radius);
}

// ---- SOUND: u8 format, u8 streamed, blob

void EncodeRecord(ByteWriter& w, const SoundData& v) {
    w.U8(static_cast<uint8_t>(v.format));
    w.U8(v.streamed);
    w.Blob(v.bytes);
}

bool DecodeRecord(ByteReader& r, SoundData& v) {
    v.format = static_cast<SoundFormat>(r.U8());
    v.streamed = r.U8();
    v.bytes = r.Blob();
    return r.Ok() && (v.format == SoundFormat::Wav || v.format == SoundFormat::OggVorbis);
}

// ---- MODEL

void EncodeRecord(ByteWriter& w, const ModelData& v) {
    w.Sphere(v.bounds);
    w.U32(static_cast<uint32_t>(v.nodes.size()));
    for (const auto& n : v.nodes) {
        w.String(n.name);
        w.I32(n.parent);
        w.Matrix(n.local);
        w.U32(n.meshId);
        w.U16(n.blendMode);
        w.U32(n.cullMode);
        w.I16(n.drawOrder);
        w.U32(n.flags);
    }
}

bool DecodeRecord(ByteReader& r, ModelData& v) {
    v.bounds = r.Sphere();
    const uint32_t count = r.Count(86);
    v.nodes.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        auto& n = v.nodes[i];
        n.name = r.String();
        n.parent = r.I32();
        n.local = r.Matrix();
        n.meshId = r.U32();
        n.blendMode = r.U16();
        n.cullMode = r.U32();
        n.drawOrder = r.I16();
        n.flags = r.U32();
        if (n.parent < kNoParentNode || n.parent >= static_cast<int32_t>(i)) return false;
    }
    return r.Ok();
}

// ---- SPRITE

void EncodeRecord(ByteWriter& w, const SpriteData& v) {
    w.U32(v.textureId), w.U32(v.animationId);
    w.F32(v.width), w.F32(v.height);
    w.Vec2(v.pivot);
    WriteRect(w, v.rect);
    w.U16(v.blendMode);
    w.F32(v.alpha);
}

bool DecodeRecord(ByteReader& r, SpriteData& v) {
    v.textureId = r.U32(), v.animationId = r.U32();
    v.width = r.F32(), v.height = r.F32();
    v.pivot = r.Vec2();
    v.rect = ReadRect(r);
    v.blendMode = r.U16();
    v.alpha = r.F32();
    return r.Ok();
}

// ---- SPRITE_ANIMATION

void EncodeRecord(ByteWriter& w, const SpriteAnimationData& v) {
    w.U32(v.textureId);
    w.U8(v.loop);
    w.U32(static_cast<uint32_t>(v.frames.size()));
    for (const auto& f : v.frames) {
        WriteRect(w, f.rect);
        w.U32(f.durationMs);
    }
}

bool DecodeRecord(ByteReader& r, SpriteAnimationData& v) {
    v.textureId = r.U32();
    v.loop = r.U8();
    const uint32_t count = r.Count(20);
    v.frames.resize(count);
    for (auto& f : v.frames) {
        f.rect = ReadRect(r);
        f.durationMs = r.U32();
    }
    return r.Ok();
}

// ---- BONE_ANIMATION, MODEL_ANIMATION

void EncodeRecord(ByteWriter& w, const BoneAnimationData& v) {
    w.U32(v.lengthMs);
    w.U32(static_cast<uint32_t>(v.tracks.size()));
    for (const auto& t : v.tracks) WriteTrack(w, t);
}

bool DecodeRecord(ByteReader& r, BoneAnimationData& v) {
    v.lengthMs = r.U32();
    v.tracks.resize(r.Count(6));
    for (auto& t : v.tracks) {
        if (!ReadTrack(r, t)) return false;
    }
    return r.Ok();
}

void EncodeRecord(ByteWriter& w, const ModelAnimationData& v) {
    w.U32(v.lengthMs);
    w.U8(v.loop);
    w.U32(static_cast<uint32_t>(v.tracks.size()));
    for (const auto& t : v.tracks) WriteTrack(w, t);
}

bool DecodeRecord(ByteReader& r, ModelAnimationData& v) {
    v.lengthMs = r.U32();
    v.loop = r.U8();
    v.tracks.resize(r.Count(6));
    for (auto& t : v.tracks) {
        if (!ReadTrack(r, t)) return false;
    }
    return r.Ok();
}

// ---- VERTEX_ANIMATION

void EncodeRecord(ByteWriter& w, const VertexAnimationData& v) {
    w.U32(v.meshId);
    w.U32(static_cast<uint32_t>(v.frames.size()));
    for (const auto& f : v.frames) {
        w.U32(f.timeMs);
        w.U32(static_cast<uint32_t>(f.positions.size()));
        for (const auto& p : f.positions) w.Vec3(p);
    }
}

bool DecodeRecord(ByteReader& r, VertexAnimationData& v) {
    v.meshId = r.U32();
    v.frames.resize(r.Count(8));
    for (auto& f : v.frames) {
        f.timeMs = r.U32();
        f.positions.resize(r.Count(12));
        for (auto& p : f.positions) p = r.Vec3();
    }
    return r.Ok();
}

// ---- SCENE_INFO: entries (u16 kind, u32 length, fields) until the body ends

namespace {

template <class F>
void WriteEntry(ByteWriter& w, SceneInfoEntry kind, F&& fields) {
    w.U16(static_cast<uint16_t>(kind));
    const size_t at = w.BeginLength();
    fields();
    w.EndLength(at);
}

void WriteLightColour(ByteWriter& w, uint8_t on, float r, float g, float b, float intensity, uint8_t diffuse,
                      uint8_t specular) {
    w.U8(on);
    w.F32(r), w.F32(g), w.F32(b);
    w.F32(intensity);
    w.U8(diffuse), w.U8(specular);
}

}  // namespace

void EncodeRecord(ByteWriter& w, const SceneInfoData& v) {
    WriteEntry(w, SceneInfoEntry::Settings, [&] { w.U32(v.settings.flags), w.U32(v.settings.clearColor); });
    WriteEntry(w, SceneInfoEntry::Ambient, [&] { w.Vec4(v.ambient); });
    WriteEntry(w, SceneInfoEntry::Fog, [&] {
        const FogData& f = v.fog;
        w.U32(f.flags), w.F32(f.r), w.F32(f.g), w.F32(f.b), w.F32(f.a), w.F32(f.start), w.F32(f.end),
            w.F32(f.density);
    });
    for (const auto& c : v.cameras) {
        WriteEntry(w, SceneInfoEntry::Camera, [&] {
            w.U32(c.id), w.String(c.name), w.Vec3(c.eye), w.Vec3(c.target), w.Vec3(c.up);
            w.F32(c.fov), w.F32(c.nearPlane), w.F32(c.farPlane);
            w.F32(c.minDistance), w.F32(c.maxDistance), w.F32(c.minPitch), w.F32(c.maxPitch);
        });
    }
    for (const auto& l : v.directionalLights) {
        WriteEntry(w, SceneInfoEntry::DirectLight, [&] {
            w.U32(l.key);
            WriteLightColour(w, l.on, l.r, l.g, l.b, l.intensity, l.diffuse, l.specular);
            w.Vec3(l.direction);
        });
    }
    for (const auto& l : v.pointLights) {
        WriteEntry(w, SceneInfoEntry::PointLight, [&] {
            w.U32(l.key);
            WriteLightColour(w, l.on, l.r, l.g, l.b, l.intensity, l.diffuse, l.specular);
            w.Vec3(l.position);
            w.F32(l.range), w.F32(l.attenuation0), w.F32(l.attenuation1), w.F32(l.attenuation2);
        });
    }
    for (const auto& o : v.objects) {
        WriteEntry(w, SceneInfoEntry::Object, [&] {
            w.U32(o.key), w.String(o.name), w.U32(o.modelId), w.Matrix(o.world), w.U8(o.listFlag);
        });
    }
    for (const auto& s : v.sprites) {
        WriteEntry(w, SceneInfoEntry::Sprite,
                   [&] { w.U32(s.key), w.U32(s.spriteId), w.Vec3(s.position), w.F32(s.scale); });
    }
}

bool DecodeRecord(ByteReader& r, SceneInfoData& v) {
    v = SceneInfoData{};
    while (r.Ok() && !r.AtEnd()) {
        const auto kind = static_cast<SceneInfoEntry>(r.U16());
        const uint32_t length = r.U32();
        ByteReader e = r.Sub(length);
        if (!r.Ok()) return false;
        switch (kind) {
            case SceneInfoEntry::Settings:
                v.settings.flags = e.U32();
                v.settings.clearColor = e.U32();
                break;
            case SceneInfoEntry::Ambient:
                v.ambient = e.Vec4();
                break;
            case SceneInfoEntry::Fog: {
                FogData& f = v.fog;
                f.flags = e.U32();
                f.r = e.F32(), f.g = e.F32(), f.b = e.F32(), f.a = e.F32();
                f.start = e.F32(), f.end = e.F32(), f.density = e.F32();
                break;
            }
            case SceneInfoEntry::Camera: {
                CameraData c;
                c.id = e.U32(), c.name = e.String();
                c.eye = e.Vec3(), c.target = e.Vec3(), c.up = e.Vec3();
                c.fov = e.F32(), c.nearPlane = e.F32(), c.farPlane = e.F32();
                c.minDistance = e.F32(), c.maxDistance = e.F32(), c.minPitch = e.F32(), c.maxPitch = e.F32();
                v.cameras.push_back(std::move(c));
                break;
            }
            case SceneInfoEntry::DirectLight: {
                DirectionalLightData l;
                l.key = e.U32();
                l.SetDefaults();
                // Field by field, in this order, over the defaults.
                l.on = e.U8();
                l.r = e.F32(), l.g = e.F32(), l.b = e.F32();
                l.intensity = e.F32();
                l.diffuse = e.U8();
                l.specular = e.U8();
                l.direction.x = e.F32(), l.direction.y = e.F32(), l.direction.z = e.F32();
                v.directionalLights.push_back(l);
                break;
            }
            case SceneInfoEntry::PointLight: {
                PointLightData l;
                l.key = e.U32();
                l.on = e.U8();
                l.r = e.F32(), l.g = e.F32(), l.b = e.F32();
                l.intensity = e.F32();
                l.diffuse = e.U8(), l.specular = e.U8();
                l.position = e.Vec3();
                l.range = e.F32(), l.attenuation0 = e.F32(), l.attenuation1 = e.F32(),
                l.attenuation2 = e.F32();
                v.pointLights.push_back(l);
                break;
            }
            case SceneInfoEntry::Object: {
                SceneObjectData o;
                o.key = e.U32(), o.name = e.String(), o.modelId = e.U32(), o.world = e.Matrix();
                o.listFlag = e.U8();
                v.objects.push_back(std::move(o));
                break;
            }
            case SceneInfoEntry::Sprite: {
                SceneSpriteData s;
                s.key = e.U32(), s.spriteId = e.U32(), s.position = e.Vec3(), s.scale = e.F32();
                v.sprites.push_back(s);
                break;
            }
            default:
                // Entries of a later writer are skipped by their length.
                continue;
        }
        // A short entry ends the record as a failure; extra bytes in a known entry are refused too.
        if (!e.Ok() || !e.AtEnd()) return false;
    }
    return r.Ok();
}

// ---- STRING_TABLE, BINARY

void EncodeRecord(ByteWriter& w, const StringTableData& v) {
    w.U32(static_cast<uint32_t>(v.entries.size()));
    for (const auto& e : v.entries) {
        w.U32(e.id);
        w.String(e.text);
    }
}

bool DecodeRecord(ByteReader& r, StringTableData& v) {
    v.entries.resize(r.Count(6));
    for (auto& e : v.entries) {
        e.id = r.U32();
        e.text = r.String();
    }
    return r.Ok();
}

void EncodeRecord(ByteWriter& w, const BinaryData& v) {
    w.Blob(v.bytes);
}

bool DecodeRecord(ByteReader& r, BinaryData& v) {
    v.bytes = r.Blob();
    return r.Ok();
}
