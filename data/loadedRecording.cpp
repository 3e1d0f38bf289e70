#include "data/loadedRecording.h"

#include "data/dataFile.h"
#include "data/linkState.h"

namespace data {

LoadResult loadRecording(const std::string& path, LoadedRecording& into, ReadScope scope)
{
    auto file = DataFile::open(path, DataFile::Mode::read);
    if (!file)
        return LoadResult::cannotOpen;
    try {
        readDataFile(*file, into.rec, into.sums(), scope);
    } catch (const FileError&) {
        // Only bytes that were read can make a file "not a data file".
        return file->readFailed() ? LoadResult::cannotRead : LoadResult::notDataFile;
    }
    return LoadResult::loaded;
}

}  // namespace data
