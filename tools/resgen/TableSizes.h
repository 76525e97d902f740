#pragma once
// The sizes of table types 0 to 11 that the table meshes are built from (cm): the cushion nose
// rectangle, cushion width and height, rail width and height, and the pocket holes of the pocket
// tables. The same values as the physics table geometry, so balls roll where the cloth is drawn.

#include <array>
#include <cstdint>

struct TableSize {
    float halfLength;  // cushion nose line, x
    float halfWidth;   // cushion nose line, y
    float cushionWidth;
    float cushionHeight;
    float frameWidth;
    float railTop;
    bool pockets;
    float cornerHoleOffset;
    float cornerHoleRadius;
    float sideHoleOffset;
    float sideHoleRadius;
};

constexpr int kTableTypeCount = 12;

constexpr std::array<TableSize, kTableTypeCount> kTableSizes = {{
    {120.0f, 60.0f, 5.03f, 4.2f, 10.87f, 5.25f, false, 0, 0, 0, 0},            // 0
    {127.5f, 63.75f, 4.7f, 4.1f, 11.5f, 4.7f, true, 4.5f, 8.8f, 5.45f, 5.1f},  // 1
    {120.0f, 60.0f, 5.03f, 3.95f, 10.87f, 5.25f, false, 0, 0, 0, 0},           // 2
    {120.0f, 60.0f, 5.03f, 3.7f, 10.87f, 5.25f, false, 0, 0, 0, 0},            // 3
    {120.0f, 60.0f, 5.03f, 3.7f, 10.87f, 5.25f, false, 0, 0, 0, 0},            // 4
    {120.0f, 60.0f, 5.03f, 3.95f, 10.87f, 5.25f, false, 0, 0, 0, 0},           // 5
    {142.24f, 71.12f, 5.03f, 3.7f, 10.87f, 5.25f, false, 0, 0, 0, 0},          // 6
    {142.24f, 71.12f, 5.03f, 3.7f, 10.87f, 5.25f, false, 0, 0, 0, 0},          // 7
    {142.24f, 71.12f, 5.03f, 3.7f, 10.87f, 5.25f, false, 0, 0, 0, 0},          // 8
    {127.5f, 63.75f, 4.7f, 3.5f, 11.5f, 4.7f, true, 4.5f, 8.8f, 5.45f, 5.1f},  // 9
    {127.5f, 63.75f, 4.7f, 3.5f, 11.5f, 4.7f, true, 4.5f, 8.8f, 5.45f, 5.1f},  // 10
    {177.8f, 88.9f, 4.7f, 3.14f, 11.5f, 4.7f, true, 4.5f, 9.4f, 5.45f, 5.4f},  // 11
}};
