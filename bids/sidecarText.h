#pragma once

#include <string>
#include <vector>

#include "report/edfExport.h"

namespace data {
struct Recording;
}

namespace bids {

// What the EEG sidecar says of a recording beyond its samples.
struct EegFacts {
    std::string task;
    int lineFrequency = 50;
    std::string reference;  // empty: "n/a"
};

// The dataset's description; `authors` (Windows-1252) are written when there are any.
std::string datasetDescriptionJson(const std::vector<std::string>& authors);
std::string readmeText();
std::string participantsJson();

// The sessions file's columns after session_id and acq_time: the course
// columns without the patient ID, date and time (the subject and acq_time
// carry them), and without the source file when anonymised.
std::vector<std::string> sessionColumns(bool anonymise);
// Every sessions column with its description and units.
std::string sessionsJson(const std::vector<std::string>& columns);

std::string eegJson(const data::Recording& rec, const EegFacts& facts);
std::string channelsTsv(const data::Recording& rec);
std::string eventsTsv(const std::vector<report::EdfAnnotation>& annotations);

}  // namespace bids
