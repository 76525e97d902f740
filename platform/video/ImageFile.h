#pragma once
// Image files: JPEG (screenshots) and PNG (generated resources, reference images).

#include <string>

#include "platform/video/RenderTypes.h"

namespace platform {

bool SaveJpeg(const std::string& path, const Image& image, int quality);
bool LoadJpeg(const std::string& path, Image& image);
bool SavePng(const std::string& path, const Image& image);
bool LoadPng(const std::string& path, Image& image);

}  // namespace platform
