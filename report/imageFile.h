#pragma once

#include <QImage>
#include <string>

namespace report {

// Writes a drawn page through the image writer (the type by the file's
// extension): the pixels bottom row first, blue, green, red and an opaque
// alpha byte, as the writer takes them. False on failure.
bool writeImageFile(const QImage& image, const std::string& path);

}  // namespace report
