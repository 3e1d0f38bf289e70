#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace data {
struct Recording;
}
namespace state {
struct AppSettings;
}

namespace app {

constexpr char kConfigFileName[] = "Ozmar681.cfg";
constexpr std::int32_t kDefaultPosition = static_cast<std::int32_t>(0x80000000u);
constexpr std::size_t kBandsStateSize = 504;
constexpr std::size_t kSpectrumStateSize = 196;

// A window's saved place: 24 bytes in the configuration file.
struct WindowRecord {
    std::int32_t commandId = 0;  // 0 frame, 23/24 tool windows, else the command that opens the window
    std::int32_t x = kDefaultPosition;
    std::int32_t y = kDefaultPosition;
    std::int32_t width = kDefaultPosition;
    std::int32_t height = kDefaultPosition;
    std::uint32_t flags = 0;  // bit 0 existed, bit 1 maximised, bit 2 minimised

    bool operator==(const WindowRecord&) const = default;
};

// One saved window with the state block that follows Bands (504 bytes) and
// Spectrum (196 bytes) records.
struct SavedWindow {
    WindowRecord record;
    std::vector<std::uint8_t> state;

    bool operator==(const SavedWindow&) const = default;
};

// What start-up takes from the configuration file beside the settings. One instance.
struct WindowLayout {
    std::optional<WindowRecord> frame;      // absent: the default place
    std::vector<SavedWindow> windows;       // the records after the frame's, in file order
    WindowRecord current;                   // the record of the window being created
    std::vector<std::uint8_t> currentState; // and the state block that followed it (Bands, Spectrum)
    WindowRecord channelSettingsRecord;     // from a record with command 23
    WindowRecord playControlRecord;         // from a record with command 24

    void reset() { *this = WindowLayout{}; }
};

extern WindowLayout windowLayout;

// The configuration's defaults: the settings' (`portBase` left alone), and the
// recording's channel configuration (two channels) and calibration factors (1.0).
void applyDefaultConfiguration(state::AppSettings& settings, data::Recording& recording);

// Reads the configuration file into the settings and the window layout. A
// missing or foreign file, or one whose settings block is cut short, leaves the
// defaults and no records; nothing is applied from a file read in part.
// Returns true when the settings came from the file.
bool readConfiguration(const std::string& path);

// The settings as the file stores them, with the records that follow: the
// frame first. `portBase` 0xFFFF is stored as 0x3F8.
std::vector<std::uint8_t> configurationBytes(const std::vector<SavedWindow>& windows);

// Writes the file; a failed write keeps the previous file. False on failure.
bool writeConfiguration(const std::string& path, const std::vector<SavedWindow>& windows);

}  // namespace app
