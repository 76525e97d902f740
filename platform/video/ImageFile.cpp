#include "platform/video/ImageFile.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include "platform/sys/RegularFile.h"

namespace platform {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenFile(const std::string& path, const char* mode) {
    int error = 0;
    return File(OpenRegularFileStream(path, mode, error));
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(error->jump, 1);
}

}  // namespace

bool SaveJpeg(const std::string& path, const Image& image, int quality) {
    if (image.width == 0 || image.height == 0 ||
        image.rgba.size() < std::size_t{image.width} * image.height * 4)
        return false;
    File file = OpenFile(path, "wb");
    if (!file) return false;
    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    std::vector<std::uint8_t> row(std::size_t{image.width} * 3);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.get());
    info.image_width = image.width;
    info.image_height = image.height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        const std::uint8_t* source = image.rgba.data() + std::size_t{info.next_scanline} * image.width * 4;
        for (std::uint32_t x = 0; x < image.width; ++x)
            for (int c = 0; c < 3; ++c) row[x * 3 + c] = source[x * 4 + c];
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fflush(file.get()) == 0;
}

bool LoadJpeg(const std::string& path, Image& image) {
    File file = OpenFile(path, "rb");
    if (!file) return false;
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    std::vector<std::uint8_t> row;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file.get());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width > 16384 || info.output_height > 16384) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    image.width = info.output_width;
    image.height = info.output_height;
    image.rgba.assign(std::size_t{image.width} * image.height * 4, 255);
    row.resize(std::size_t{image.width} * 3);
    while (info.output_scanline < info.output_height) {
        std::uint8_t* target = image.rgba.data() + std::size_t{info.output_scanline} * image.width * 4;
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (std::uint32_t x = 0; x < image.width; ++x)
            for (int c = 0; c < 3; ++c) target[x * 4 + c] = row[x * 3 + c];
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool SavePng(const std::string& path, const Image& image) {
    if (image.width == 0 || image.height == 0 ||
        image.rgba.size() < std::size_t{image.width} * image.height * 4)
        return false;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = image.width;
    png.height = image.height;
    png.format = PNG_FORMAT_RGBA;
    File file = OpenFile(path, "wb");
    if (!file) return false;
    bool ok = png_image_write_to_stdio(&png, file.get(), 0, image.rgba.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok && std::fflush(file.get()) == 0;
}

bool LoadPng(const std::string& path, Image& image) {
    File file = OpenFile(path, "rb");
    if (!file) return false;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_stdio(&png, file.get())) return false;
    if (png.width > 16384 || png.height > 16384) {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    image.width = png.width;
    image.height = png.height;
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    bool ok = png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

}  // namespace platform
