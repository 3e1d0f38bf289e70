#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bids/stagedFiles.h"
#include "bids/subjectLabels.h"
#include "course/courseTable.h"

namespace bids {

struct BidsOptions {
    std::string dataset;                 // the dataset folder, made when missing
    bool anonymise = false;
    std::string task = "ect";            // letters and digits
    int lineFrequency = 50;
    std::string reference;               // the EEG reference; empty: "n/a"
    std::vector<std::string> authors;    // the dataset's authors (Windows-1252), when it is made
    bool includeMonitoring = false;
    std::vector<std::string> patients;   // the IDs to export; empty: every patient
    std::vector<MappingEntry> mapping;   // an earlier anonymised export's mapping
    course::FlagLimits limits;
};

// A run that cannot start as asked (a subject label two patients would
// share, an anonymised dataset extended without its mapping); nothing written.
struct ExportRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct BidsReport {
    std::vector<std::string> messages;   // each recording left out, with why
    std::vector<std::string> added;      // the sessions added: "sub-01/ses-03 <- PATH"
    std::vector<std::string> files;      // every file written, relative to the dataset
    std::vector<MappingEntry> mapping;   // anonymised: every subject of the run
    bool cancelled = false;              // then nothing was written
};

// Called on the calling thread as recordings are converted; false cancels.
using BidsProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Exports the recordings (as a course scan found them) into the dataset:
// one subject per patient ID, one session per recording, each an EDF+ file
// with its sidecars; the subjects' sessions files and participants.tsv list
// old and new. Recordings already in the dataset (same subject, date and
// time) are left out. The files are read again whole, on every core. Either
// every file is written or, on a WriteError or cancel, none.
BidsReport exportBids(const std::vector<course::CourseRecording>& recordings, const BidsOptions& options,
                      const BidsProgress& progress = {}, const StepFault& fault = {});

// Whether a task name is one BIDS allows: letters and digits.
bool validTaskName(const std::string& task);

// Whether the dataset lists subjects already (its participants.tsv has rows):
// an anonymised export into it then needs the mapping of the earlier one.
bool datasetHasSubjects(const std::string& dataset);

// Whether `path` lies inside the folder `dataset` (neither need exist yet). A
// mapping kept there would put the patients' IDs into the dataset.
bool insideDataset(const std::string& path, const std::string& dataset);

}  // namespace bids
