#include "toolCommon.h"

#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "data/byteLayer.h"
#include "data/dataFile.h"
#include "data/loadedRecording.h"
#include "data/recordingStore.h"
#include "data/safeFile.h"
#include "data/streamReader.h"
#include "platform/orderedWork.h"
#include "platform/textEncoding.h"

namespace tool {

int fail(int code, const std::string& message)
{
    std::fprintf(stderr, "ozmar-tool: %s\n", message.c_str());
    return code;
}

namespace {

int loadOwn(const std::string& path, data::LoadedRecording& into, data::ReadScope scope, std::string& message,
            const std::function<void(const data::SectionInfo&)>* sectionSeen = nullptr)
{
    switch (data::loadRecording(path, into, scope, sectionSeen)) {
    case data::LoadResult::loaded: return kSuccess;
    case data::LoadResult::cannotOpen:
        message = "could not open file \"" + path + "\": " + (errno == ENOTSUP ? "not a regular file" : std::strerror(errno));
        return kCannotOpen;
    case data::LoadResult::cannotRead: message = "could not read file \"" + path + "\""; return kCannotOpen;
    case data::LoadResult::notDataFile: break;
    }
    message = "file " + path + " is not a patient data file";
    return kNotDataFile;
}

}  // namespace

int loadOwnFile(const std::string& path, data::LoadedRecording& into, std::string& message)
{
    return loadOwn(path, into, data::ReadScope::whole, message);
}

int loadOwnFile(const std::string& path, data::LoadedRecording& into, bool beside,
                const std::function<void(const data::SectionInfo&)>* sectionSeen)
{
    std::string message;
    const int status = loadOwn(path, into, beside ? data::ReadScope::beside : data::ReadScope::whole, message, sectionSeen);
    return status == kSuccess ? status : fail(status, message);
}

int loadDataFile(const std::string& path)
{
    auto file = data::DataFile::open(path, data::DataFile::Mode::read);
    if (!file)
        return fail(kCannotOpen, "could not open file \"" + path + "\": " +
                                    (errno == ENOTSUP ? "not a regular file" : std::strerror(errno)));
    try {
        platform::SectionGuard fileLock(data::dataLocks.fileLock);
        platform::SectionGuard recordingLock(data::dataLocks.recordingLock);
        data::readStream(nullptr, file.get());
    } catch (const data::FileError&) {
        if (file->readFailed())
            return fail(kCannotOpen, "could not read file \"" + path + "\"");
        return fail(kNotDataFile, "file " + path + " is not a patient data file");
    }
    return kSuccess;
}

int eachFileInOrder(const std::vector<std::string>& files, unsigned threads,
                    const std::function<FileOutcome(const std::string&)>& work)
{
    int worst = kSuccess;
    const std::function<FileOutcome(std::size_t)> run = [&](std::size_t i) { return work(files[i]); };
    const std::function<bool(std::size_t, FileOutcome&)> print = [&](std::size_t, FileOutcome& outcome) {
        if (outcome.status != kSuccess)
            worst = std::max(worst, fail(outcome.status, outcome.text));
        else
            std::fwrite(outcome.text.data(), 1, outcome.text.size(), stdout);
        return true;
    };
    platform::runInOrder(files.size(), threads, 2 * threads, run, print);
    return worst;
}

ArgumentText argumentText(const std::string& argument)
{
    ArgumentText result;
    const char* codeset = ::nl_langinfo(CODESET);
    if (!codeset || std::strcmp(codeset, "UTF-8") != 0) {
        result.ok = true;
        result.text = argument;
        return result;
    }
    const platform::Utf8Conversion converted = platform::utf8ToWindows1252(argument);
    result.ok = converted.ok;
    result.text = converted.text;
    result.problem = converted.problem;
    return result;
}

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::string text;
    if (!data::readWholeFile(path, text))
        return false;
    bytes.assign(text.begin(), text.end());
    return true;
}

}  // namespace tool
