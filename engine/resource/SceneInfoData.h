#pragma once
// Plain SCENE_INFO record: what an engine scene is built from (settings, ambient, fog, cameras,
// directional and point lights, the model objects and the sprites).

#include <cstdint>
#include <vector>

#include "engine/core/Text.h"
#include "engine/resource/ResourceTypes.h"

// Entry kinds of a SCENE_INFO body; each entry is (u16 kind, u32 byte length, fields).
enum class SceneInfoEntry : uint16_t {
    Settings = 1,
    Ambient = 2,
    Fog = 3,
    Camera = 4,
    DirectLight = 5,  // DIRECT_LIGHT_ID
    PointLight = 6,
    Object = 7,
    Sprite = 8,
};

// The first record handed to the device's scene set-up.
struct SceneSettingsData {
    uint32_t flags = 0;
    uint32_t clearColor = 0xFF000000u;  // 0xAARRGGBB
    bool operator==(const SceneSettingsData&) const = default;
};

// Fog record, eight words: flag word (third byte = fog on), colour r, g, b, alpha, start, end, density.
struct FogData {
    uint32_t flags = 0;
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    float start = 0.0f, end = 0.0f, density = 0.0f;
    bool operator==(const FogData&) const = default;
};

// Orbit camera; angles in radians, distances in scene units (cm).
struct CameraData {
    uint32_t id = 0;
    WString name;
    Float3 eye;
    Float3 target;
    Float3 up = {0, 1, 0};
    float fov = 0.7853982f;
    float nearPlane = 1.0f;
    float farPlane = 10000.0f;
    float minDistance = 0.1f;
    float maxDistance = 10000.0f;
    float minPitch = -1.5707964f;
    float maxPitch = 1.5707964f;
    bool operator==(const CameraData&) const = default;
};

// Field order of a DIRECT_LIGHT entry after the key: on, r, g, b, intensity, diffuse flag, specular flag,
// direction x, y, z. Diffuse and specular colours of the device light are colour x intensity, with the
// intensity as their alpha; a light whose on flag is 0 is never switched on.
struct DirectionalLightData {
    uint32_t key = 0;
    uint8_t on = 1;
    float r = 1.0f, g = 1.0f, b = 1.0f;
    float intensity = 1.0f;
    uint8_t diffuse = 1;
    uint8_t specular = 1;
    Float3 direction = {0, 0, 0};
    void SetDefaults() { *this = DirectionalLightData{key}; }
    bool operator==(const DirectionalLightData&) const = default;
};

struct PointLightData {
    uint32_t key = 0;
    uint8_t on = 1;
    float r = 1.0f, g = 1.0f, b = 1.0f;
    float intensity = 1.0f;
    uint8_t diffuse = 1;
    uint8_t specular = 1;
    Float3 position;
    float range = 1000.0f;
    float attenuation0 = 1.0f, attenuation1 = 0.0f, attenuation2 = 0.0f;
    bool operator==(const PointLightData&) const = default;
};

// A model object of the scene: a MODEL resource of the same group placed with a world matrix.
struct SceneObjectData {
    uint32_t key = 0;
    WString name;
    uint32_t modelId = kEmptyResourceId;
    Float4x4 world;
    uint8_t listFlag = 1;
    bool operator==(const SceneObjectData&) const = default;
};

// A sprite of the scene's sprite map: a SPRITE resource of the same group at a position.
struct SceneSpriteData {
    uint32_t key = 0;
    uint32_t spriteId = kEmptyResourceId;
    Float3 position;
    float scale = 1.0f;
    bool operator==(const SceneSpriteData&) const = default;
};

struct SceneInfoData {
    SceneSettingsData settings;
    Float4 ambient = {0.3f, 0.3f, 0.3f, 1.0f};  // r, g, b, a
    FogData fog;
    std::vector<CameraData> cameras;
    std::vector<DirectionalLightData> directionalLights;  // in key order
    std::vector<PointLightData> pointLights;              // in key order
    std::vector<SceneObjectData> objects;                 // in list order
    std::vector<SceneSpriteData> sprites;                 // in key order
    bool operator==(const SceneInfoData&) const = default;
};
