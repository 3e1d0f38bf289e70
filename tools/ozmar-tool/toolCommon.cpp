#include "toolCommon.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "data/byteLayer.h"
#include "data/dataFile.h"
#include "data/recordingStore.h"
#include "data/streamReader.h"

namespace tool {

int fail(int code, const std::string& message)
{
    std::fprintf(stderr, "ozmar-tool: %s\n", message.c_str());
    return code;
}

int loadDataFile(const std::string& path)
{
    auto file = data::DataFile::open(path, data::DataFile::Mode::read);
    if (!file)
        return fail(kCannotOpen, "could not open file \"" + path + "\"");
    data::linkState.fileStatus = 0;
    try {
        platform::SectionGuard fileLock(data::dataLocks.fileLock);
        platform::SectionGuard recordingLock(data::dataLocks.recordingLock);
        data::readStream(nullptr, file.get());
    } catch (const data::FileError&) {
        return fail(kNotDataFile, "file " + path + " is not a patient data file");
    }
    return kSuccess;
}

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace tool
