#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct SampleOptions {
    int channelMode = 0;            // 1: four EEG channels
    std::uint32_t samples = 2560;   // per raw channel; 0 for none
    std::uint32_t epochs = 10;      // FFT and condition epochs
    bool reportText = true;
    std::uint32_t seed = 1;
};

// Resets every process-wide structure the core owns.
void resetCore();

// Fills the primary recording with deterministic contents in every member the
// stream carries.
void fillPrimary(const SampleOptions& options);
// A maximum-size recording: four channels of 171520 samples, 670 epochs.
void fillPrimaryMaximum();

// Writes the primary recording (with patient fields) to `path`; throws on failure.
void writePrimary(const std::string& path);
// Reads a data file into the primary recording; throws the file error on failure.
void readPrimary(const std::string& path);

std::vector<std::uint8_t> fileBytes(const std::string& path);
// The file's bytes as a string.
std::string fileText(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A fresh folder below the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace testing_support
