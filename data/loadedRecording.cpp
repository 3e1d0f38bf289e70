#include "data/loadedRecording.h"

#include "data/dataFile.h"
#include "data/linkState.h"
#include "data/safeFile.h"
#include "data/streamWriter.h"

namespace data {

LoadResult loadRecording(const std::string& path, LoadedRecording& into, ReadScope scope,
                         const std::function<void(const SectionInfo&)>* sectionSeen)
{
    auto file = DataFile::open(path, DataFile::Mode::read);
    if (!file)
        return LoadResult::cannotOpen;
    try {
        readDataFile(*file, into.rec, into.sums(), scope, sectionSeen);
    } catch (const FileError&) {
        // Only bytes that were read can make a file "not a data file".
        return file->readFailed() ? LoadResult::cannotRead : LoadResult::notDataFile;
    }
    return LoadResult::loaded;
}

bool saveRecording(const std::string& path, LoadedRecording& from)
{
    SafeFile out(path);
    if (!out.file())
        return false;
    try {
        writeDataStream(out.file(), from.rec, from.sums(), true, nullptr);
    } catch (const FileError&) {
        return false;
    }
    return out.commit();
}

}  // namespace data
