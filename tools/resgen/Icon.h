#pragma once
// The program's icon: a black eight ball on a transparent square, drawn from shapes on a 64-unit
// square so that one drawing gives every raster size and the scalable (SVG) icon.

#include <filesystem>
#include <string>

#include "platform/video/ImageFile.h"
#include "tools/resgen/Images.h"

// The icon at size x size pixels, anti-aliased (4 x 4 samples a pixel).
platform::Image RenderIcon(int size);

// The icon as an SVG document.
std::string IconSvg();

// Writes <folder>/<n>x<n>/marvenlot.png for n = 48, 64, 128 and 256 and
// <folder>/scalable/marvenlot.svg, the layout of an icon theme's size folders. False (with a line
// on stderr) when a file cannot be written.
bool WriteIcons(const std::filesystem::path& folder);
