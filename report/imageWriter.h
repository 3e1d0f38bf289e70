#pragma once

#include <cstdint>
#include <string>

namespace report {

enum class ImageType { png, jpg, bmp };

// The image type a file name asks for: ".jpg" and ".bmp" (in any case), else PNG.
ImageType imageTypeOf(const std::string& path);

// Encodes and writes an image through DevIL: `pixels` are width x height
// 32-bit pixels in blue, green, red, alpha order, bottom row first. The file
// is written under a temporary name in its folder and renamed when complete,
// so a failure never leaves a truncated image under the name. False on failure.
bool writeImage(const std::string& path, ImageType type, int width, int height, const std::uint8_t* pixels);

}  // namespace report
