#include "report/imageFile.h"

#include <vector>

#include "report/imageWriter.h"

namespace report {

bool writeImageFile(const QImage& image, const std::string& path)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rgb.constScanLine(h - 1 - y));
        std::uint8_t* out = &pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * 4];
        for (int x = 0; x < w; ++x, out += 4) {
            out[0] = static_cast<std::uint8_t>(row[x]);
            out[1] = static_cast<std::uint8_t>(row[x] >> 8);
            out[2] = static_cast<std::uint8_t>(row[x] >> 16);
            out[3] = 255;
        }
    }
    return writeImage(path, imageTypeOf(path), w, h, pixels.data());
}

}  // namespace report
