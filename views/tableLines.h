#pragma once

#include <cstdint>
#include <string>

#include "analysis/bandAnalysis.h"

namespace views {

// A table window's text: a title and lines 0 to lastLine in the three forms of
// the analysis lines (tabbed, comma-separated, fixed-width).
class TableLines {
public:
    virtual ~TableLines() = default;
    virtual std::string title() const = 0;
    virtual int lastLine() const = 0;
    virtual std::string line(int i, std::uint16_t form) const = 0;
    // Recomputes what the lines read (command 602); nothing by default.
    virtual void refresh() {}

    unsigned pair = 0;            // channel pair 0 to 5
    bool currentSegment = false;  // the current epoch instead of the accumulated spectrum
};

// " - monitoring"/"-playback" and "(Auto Upload)" parts shared by the titles.
std::string monitorSuffix();
std::string autoUploadSuffix();

// "Segments: Collected- n Computed- m" in the requested form.
std::string epochCountLine(std::uint16_t form, bool currentSegment);

// The Bands window's table: seven bands of one pair.
class BandsTable : public TableLines {
public:
    BandsTable();
    analysis::BandGroup bands;

    // Computes the seven bands for the window's mode (command 602).
    void refresh() override;
    std::string title() const override;
    int lastLine() const override { return 11; }
    std::string line(int i, std::uint16_t form) const override;
};

// The Spectrum window's table: the bin rows of one pair.
class SpectrumTable : public TableLines {
public:
    std::string title() const override;
    int lastLine() const override { return 36; }
    std::string line(int i, std::uint16_t form) const override;
};

// The Copy text of a table window: its title, then lines 0 to lastLine in
// fixed-width form, each followed by CR LF.
std::string copyTableText(const TableLines& table);

}  // namespace views
