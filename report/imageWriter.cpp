#include "report/imageWriter.h"
#include "platform/textEncoding.h"

#include <IL/il.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>

namespace report {

namespace {

ILenum devilType(ImageType type)
{
    switch (type) {
    case ImageType::jpg: return IL_JPG;
    case ImageType::bmp: return IL_BMP;
    default: return IL_PNG;
    }
}

// DevIL keeps one bound image per process: one writer at a time.
std::mutex& devilLock()
{
    static std::mutex lock;
    return lock;
}

std::string temporaryBeside(const std::string& path)
{
    static std::mt19937 random(std::random_device{}());
    const std::filesystem::path p(path);
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    return (p.parent_path() / ("." + p.filename().string() + suffix)).string();
}

}  // namespace

ImageType imageTypeOf(const std::string& path)
{
    const std::string extension = platform::lowerAscii(std::filesystem::path(path).extension().string());
    return extension == ".jpg" ? ImageType::jpg : extension == ".bmp" ? ImageType::bmp : ImageType::png;
}

bool writeImage(const std::string& path, ImageType type, int width, int height, const std::uint8_t* pixels)
{
    if (width <= 0 || height <= 0 || !pixels)
        return false;
    std::lock_guard lock(devilLock());
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool ok = ilTexImage(static_cast<ILuint>(width), static_cast<ILuint>(height), 1, 4, IL_BGRA, IL_UNSIGNED_BYTE,
                         const_cast<std::uint8_t*>(pixels)) == IL_TRUE;
    // DevIL's images start at the bottom row, as the pixels do.
    ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT);
    ilEnable(IL_FILE_OVERWRITE);
    const std::string temporary = temporaryBeside(path);
    ok = ok && ilSave(devilType(type), temporary.c_str()) == IL_TRUE;
    ilDeleteImages(1, &image);  // every page's image goes, so a long series runs in flat memory
    std::error_code error;
    if (ok)
        std::filesystem::rename(temporary, path, error);
    if (!ok || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace report
