#pragma once

#include <functional>
#include <string>

#include "analysis/spectralSums.h"
#include "data/recording.h"
#include "data/streamReader.h"

namespace data {

// A recording read on its own, with the instrument's sums that came with it.
// Large: keep it on the heap.
struct LoadedRecording {
    Recording rec;
    analysis::SpectralKind total{};
    analysis::SpectralKind seizure{};

    InstrumentSums sums() { return InstrumentSums{&total, &seizure}; }
};

enum class LoadResult { loaded, cannotOpen, cannotRead, notDataFile };

// Opens the data file at `path` and reads it into `into`, touching nothing
// else. cannotOpen leaves errno as the open set it.
LoadResult loadRecording(const std::string& path, LoadedRecording& into, ReadScope scope,
                         const std::function<void(const SectionInfo&)>* sectionSeen = nullptr);

// Writes `from` with its patient fields as the data file `path`, which is
// replaced only once the new one is complete; false when it could not be.
bool saveRecording(const std::string& path, LoadedRecording& from);

}  // namespace data
