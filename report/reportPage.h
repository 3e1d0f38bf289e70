#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analysis/bandAnalysis.h"
#include "analysis/spectralTable.h"
#include "report/patientBlock.h"
#include "report/reportLines.h"

namespace report {

// Seconds per graph row by time-scale index 0 to 8.
inline constexpr std::array<int, 9> kGraphSecondsPerRow = {2, 3, 4, 5, 6, 10, 12, 15, 20};
constexpr int kAnalysisLinesPerPair = 44;

// What a page shows: a recording and the instrument's sums that came with it.
struct PageSubject {
    data::Recording* rec = nullptr;
    const analysis::SpectralKind* total = nullptr;
    const analysis::SpectralKind* seizure = nullptr;
};

// The program's primary recording (or the secondary) with its sums.
PageSubject programSubject(bool secondary);

// The Report window's page: which sections and lines it holds. The Qt window
// paints it, the text export, printing and report images read it.
class ReportPage {
public:
    // A page for the primary recording (or the secondary), with the options a
    // new window takes at this moment of the run.
    explicit ReportPage(bool secondary = false);
    // A page for a recording of its own, laid out as the program's primary
    // (or secondary) page would be.
    ReportPage(PageSubject subject, bool secondary);
    // This page's options over a recording of its own (not laid out yet). It
    // keeps the graph channels switched on at this moment and is never live,
    // so that it can be laid out on another thread while the settings change.
    ReportPage withSubject(PageSubject subject) const;

    bool secondary = false;
    bool showPatientInfo = true;
    bool showReport = true;
    bool showBands = false;
    bool showSpectrum = false;
    bool showGraph = false;
    bool showGraphColor = false;
    int timeScaleIndex = 4;
    std::uint32_t graphFrom = 0;
    std::uint32_t graphTo = 0;

    // Lays the page out (command 602); `resetRange` sets the graph range to the
    // whole recording.
    void layout(bool resetRange = false);

    int graphSecondsPerRow() const { return kGraphSecondsPerRow[static_cast<std::size_t>(timeScaleIndex)]; }
    int reportLineCount() const { return reportLines_; }
    int totalLineCount() const { return totalLines_; }
    const PatientBlock& patientBlock() const { return patient_; }
    // Patient lines on the page (0 when the block is off or empty).
    int patientLineCount() const;
    // Line i of the list in a form: report lines, then the
    // analysis lines of the first pair and, with four channels, the second.
    std::string line(int i, ReportRequest mode) const;
    // Whether list line i is shown by the section options (an empty line never is).
    bool isShown(int i) const;
    int shownReportLines() const { return shownReport_; }
    int shownAnalysisLines() const { return shownAnalysis_; }
    // Graph strip: rows, text lines a row, and the channels switched on.
    int graphRows() const { return graphRows_; }
    int graphLinesPerRow() const { return 4 * graphChannels_ + 1; }
    int graphChannels() const { return graphChannels_; }
    std::uint32_t wholeSeconds() const;
    // All lines of the page: patient block, its gap, the list and the strip.
    int lineTotal() const { return lineTotal_; }

    // Option commands; each stores the option in the settings.
    void togglePatientInfo();
    void toggleBands();
    void toggleSpectrum();
    void toggleGraph();
    void toggleGraphColor();
    bool timeScaleDown();
    bool timeScaleUp();
    // The Set Report Graph Seconds dialog's text; true when the range changed.
    bool setGraphRange(const std::string& text);

    // The Copy text: title, patient block, then the shown list lines in
    // Columns form, each followed by CR LF.
    std::string copyText(const std::string& title) const;

    const data::Recording& recording() const;
    // What the page's report lines are built from.
    ReportSource reportSource() const;

private:
    bool analysisShown(int k) const;
    int analysisMode() const;

    // Whether the graph channels switched on and the live session are read
    // from the program at each layout, or fixed for a page of its own.
    int channelsOn() const;
    bool live() const;

    PageSubject subject_;
    int fixedChannelsOn_ = -1;
    int reportLines_ = 0;
    int totalLines_ = 0;
    PatientBlock patient_;
    // The page's own analysis table, computed with its layout from its
    // recording's sums, so that other pages and the monitor never change it.
    analysis::SpectralTables tables_{};
    analysis::BandGroup bands_[2];
    int shownReport_ = 0;
    int shownAnalysis_ = 0;
    int graphRows_ = 0;
    int graphChannels_ = 0;
    int lineTotal_ = 0;
};

}  // namespace report
