#include "report/reportPage.h"

#include "analysis/spectralSums.h"
#include "analysis/spectralTable.h"
#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "monitor/spectralModes.h"
#include "report/secondsRange.h"
#include "state/settings.h"
#include "state/startupState.h"

namespace report {

namespace {

constexpr ReportRequest kScreen = ReportMode::Screen;

}  // namespace

PageSubject programSubject(bool secondary)
{
    const int first = secondary ? 4 : 0;
    return PageSubject{secondary ? &data::recordings.secondary : &data::recordings.primary,
                       &analysis::spectralSums.kind(first), &analysis::spectralSums.kind(first + 1)};
}

ReportPage::ReportPage(bool isSecondary) : ReportPage(programSubject(isSecondary), isSecondary)
{
}

ReportPage::ReportPage(PageSubject subject, bool isSecondary)
    : secondary(isSecondary), subject_(subject), bands_{analysis::bandSets[0], analysis::bandSets[1]}
{
    const state::AppSettings& s = state::settings;
    const state::StartupState& start = state::startup;
    showPatientInfo = s.reportPatientInfo;
    showBands = s.reportBands;
    showSpectrum = s.reportSpectrum;
    showGraph = s.reportGraph;
    showGraphColor = s.reportGraphColor;
    if (start.startingUp) {
        showPatientInfo = !start.reportNoInfo && s.reportPatientInfo;
        showBands = start.reportBandsOpt || s.reportBands;
        showSpectrum = start.reportSpectrumOpt || s.reportSpectrum;
        showGraph = start.reportGraphOpt || s.reportGraph;
        showGraphColor = start.reportGraphColorOpt || s.reportGraphColor;
    }
    if (secondary) {
        showPatientInfo = showBands = true;
        showSpectrum = showGraph = false;
    }
    if (start.reportImages) {
        showPatientInfo = showReport = showBands = showSpectrum = false;
        showGraph = showGraphColor = true;
    }
    timeScaleIndex = s.reportTimeScale >= 0 && s.reportTimeScale <= 8 ? s.reportTimeScale : 4;
}

ReportPage ReportPage::withSubject(PageSubject subject) const
{
    ReportPage page = *this;
    page.subject_ = subject;
    page.fixedChannelsOn_ = channelsOn();
    return page;
}

int ReportPage::channelsOn() const
{
    if (fixedChannelsOn_ >= 0)
        return fixedChannelsOn_;
    int on = 0;
    for (const auto& channel : state::settings.channelSettings)
        on += channel.on;
    return on;
}

bool ReportPage::live() const
{
    return fixedChannelsOn_ < 0 && monitor::monitorState.liveSession;
}

const data::Recording& ReportPage::recording() const
{
    return *subject_.rec;
}

ReportSource ReportPage::reportSource() const
{
    return ReportSource{*subject_.rec, *subject_.seizure};
}

int ReportPage::analysisMode() const
{
    return secondary ? analysis::SecondaryRecorded : analysis::Recorded;
}

std::uint32_t ReportPage::wholeSeconds() const
{
    return recording().rawChannels[0].count / data::kSamplesPerSecond + 1;
}

int ReportPage::patientLineCount() const
{
    return showPatientInfo ? static_cast<int>(patient_.lines().size()) : 0;
}

void ReportPage::layout(bool resetRange)
{
    const data::Recording& rec = recording();
    if (resetRange)
        graphTo = (rec.rawChannels[0].count + 199) / data::kSamplesPerSecond;
    reportLines_ = report::reportLineCount(rec);
    patient_ = makePatientBlock(rec.patient);
    const int mode = analysisMode();
    const std::uint32_t divisor =
        analysis::computeSpectralTable(tables_, mode, monitor::recordedSourceOf(rec, *subject_.total, *subject_.seizure));
    const int pairs = rec.header[data::hw::channelMode] == 1 ? 2 : 1;
    for (int p = 0; p < 2; ++p)
        for (auto& band : bands_[p])
            analysis::computeBand(band, tables_, mode, divisor, rec.calibrationFactors.data());
    totalLines_ = reportLines_ + (divisor != 0 ? pairs * kAnalysisLinesPerPair : 0);
    shownReport_ = shownAnalysis_ = 0;
    for (int i = 0; i < totalLines_; ++i)
        if (isShown(i))
            ++(i < reportLines_ ? shownReport_ : shownAnalysis_);
    const int patientLines = patientLineCount();
    lineTotal_ = shownReport_ + shownAnalysis_ + (patientLines > 0 ? patientLines + 1 : 0);
    graphChannels_ = channelsOn();
    graphRows_ = 0;
    const bool strip = rec.rawChannels[0].count > 0 && showGraph && !live() && graphChannels_ > 0;
    if (strip && graphTo > graphFrom) {
        const int s = graphSecondsPerRow();
        graphRows_ = static_cast<int>((graphTo - graphFrom + static_cast<std::uint32_t>(s) - 1) / static_cast<std::uint32_t>(s));
        lineTotal_ += 1 + graphRows_ * graphLinesPerRow();
    }
}

std::string ReportPage::line(int i, ReportRequest mode) const
{
    if (i < 0)
        return std::string();
    if (i < reportLines_)
        return reportLine(reportSource(), i, modeOf(mode));
    const int k = i - reportLines_;
    const bool four = recording().header[data::hw::channelMode] == 1;
    const int pair = k < kAnalysisLinesPerPair ? 0 : 1;
    if (pair == 1 && !four)
        return std::string();
    const analysis::BandArray array = analysis::bandArrayOf(bands_[pair]);
    return analysis::formatSpectralLine(tables_, monitor::tableSubjectOf(recording()),
                                        k - pair * kAnalysisLinesPerPair, &array, analysisMode(),
                                        static_cast<unsigned>(pair), static_cast<std::uint16_t>(mode & 0xFF));
}

bool ReportPage::analysisShown(int k) const
{
    if (showBands && showSpectrum)
        return true;
    if (showBands)
        return k < 11 || (k >= 43 && k < 55) || k == 87;
    if (showSpectrum)  // the second pair's bin rows start at k = 55, its 0.78 Hz row included
        return k < 4 || (k >= 11 && k < 48) || k >= 55;
    return false;
}

bool ReportPage::isShown(int i) const
{
    if (i < 0 || i >= totalLines_)
        return false;
    const bool selected = i < reportLines_ ? showReport : analysisShown(i - reportLines_);
    return selected && !line(i, kScreen).empty();
}

void ReportPage::togglePatientInfo()
{
    state::settings.reportPatientInfo = showPatientInfo = !showPatientInfo;
    layout();
}

void ReportPage::toggleBands()
{
    state::settings.reportBands = showBands = !showBands;
    layout();
}

void ReportPage::toggleSpectrum()
{
    state::settings.reportSpectrum = showSpectrum = !showSpectrum;
    layout();
}

void ReportPage::toggleGraph()
{
    state::settings.reportGraph = showGraph = !showGraph;
    layout();
}

void ReportPage::toggleGraphColor()
{
    state::settings.reportGraphColor = showGraphColor = !showGraphColor;
    if (showGraph)
        layout();
}

bool ReportPage::timeScaleDown()
{
    if (timeScaleIndex <= 0)
        return false;
    state::settings.reportTimeScale = --timeScaleIndex;
    if (showGraph)
        layout();
    return true;
}

bool ReportPage::timeScaleUp()
{
    if (timeScaleIndex >= 8)
        return false;
    state::settings.reportTimeScale = ++timeScaleIndex;
    if (showGraph)
        layout();
    return true;
}

bool ReportPage::setGraphRange(const std::string& text)
{
    const std::uint32_t from = graphFrom, to = graphTo;
    parseSecondsRange(text, recording().lengthSeconds, graphFrom, graphTo);
    const bool changed = from != graphFrom || to != graphTo;
    if (changed && showGraph)
        layout();
    return changed;
}

std::string ReportPage::copyText(const std::string& title) const
{
    std::string text = title.substr(0, 79) + "\r\n";
    if (showPatientInfo && patient_.present()) {
        for (const std::string& l : patient_.lines())
            text += l + "\r\n";
        text += "\r\n";
    }
    if (recording().contentFlags() != 0 && showReport)
        for (int i = 0; i < totalLines_; ++i)
            if (isShown(i))
                text += line(i, ReportMode::Columns) + "\r\n";
    return text;
}

}  // namespace report
