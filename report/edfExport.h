#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/recording.h"

namespace report {

struct EdfOptions {
    // No patient name or ID anywhere: the patient field reads "X X X X".
    bool anonymise = false;
    // Whole days added to the start date (an anonymised research export
    // moves each subject's dates by one amount).
    long dayShift = 0;
};

// One annotation of the "EDF Annotations" signal: onset and duration in
// seconds from the start, and its text.
struct EdfAnnotation {
    double onset;
    double duration;
    std::string text;
};

// The channels that hold samples, and the one-second data records they fill.
struct EdfSignals {
    std::vector<int> channels;
    std::uint32_t samples = 0;  // of the longest channel
    std::uint32_t records = 0;
};
EdfSignals edfSignals(const data::Recording& rec);

// The annotations edfBytes writes, in onset order: rejected and marked
// epochs, the treatment start and the runs without a sample.
std::vector<EdfAnnotation> edfAnnotations(const data::Recording& rec);

// The recording's raw EEG as EDF+ (continuous, EDF+C): one signal per channel
// that holds samples, 200 Hz in data records of one second, in µV (raw x
// 0.125 x the channel's calibration factor), the digital range -32768 to
// 32767 with -32768 (no sample, and the padding of the last second) marked by
// a "No sample" annotation; then an "EDF Annotations" signal with the
// rejected and marked epochs and the treatment start. Empty when no channel
// holds samples.
std::vector<std::uint8_t> edfBytes(const data::Recording& rec, const EdfOptions& options);

// Writes the EDF+ of a recording to `path` through a temporary file that
// replaces it only when complete. An empty text on success, else why not.
std::string exportEdf(const data::Recording& rec, const std::string& path, const EdfOptions& options);
// Writes EDF+ bytes made by edfBytes as exportEdf does; empty bytes are a
// recording without raw EEG.
std::string writeEdfFile(const std::vector<std::uint8_t>& bytes, const std::string& path);

// Windows-1252 text as the printable ASCII an EDF header holds: accented
// letters lose their accents (ß becomes ss, Æ AE), anything else becomes '?'.
std::string edfAscii(const std::string& text);

// The channel's signal label: "EEG EEG1" ..., or "EMG" and "ECG" for the
// third and fourth channel of a two-channel recording.
std::string edfLabel(const data::Recording& rec, int channel);

}  // namespace report
