#include <gtest/gtest.h>

#include <filesystem>

#include "state/startupState.h"
#include "data/dataFiles.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "platform/dialogs.h"
#include "report/reportPage.h"
#include "report/textExport.h"
#include "report/textOutput.h"
#include "support/sampleRecording.h"
#include "views/tableLines.h"

using namespace report;
using data::recordings;
namespace fs = std::filesystem;

namespace {

class TextExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        state::startup.reset();
        state::startup.startingUp = false;
        exportSettings.reset();
        platform::dialogs.responder = &responder;
    }
    void TearDown() override
    {
        platform::dialogs.reset();
        exportSettings.reset();
        state::startup.reset();
        testing_support::resetCore();
    }
    std::string text(const std::string& path)
    {
        const auto b = testing_support::fileBytes(path);
        return std::string(b.begin(), b.end());
    }
    testing_support::TempDir dir;
    platform::ScriptedResponder responder;
};

}  // namespace

TEST_F(TextExport, RangeFromTheEndWritesOnlyTheHeadings)
{
    testing_support::fillPrimary({0, 2000, 7, false, 3});
    recordings.primary.header[data::hw::eegSeizureDetected] = 0;
    exportSettings.exportAllData = false;
    exportSettings.exportFrom = 10;
    exportSettings.exportTo = 10;
    ReportPage page;
    page.showPatientInfo = page.showReport = false;
    page.showGraph = true;
    page.layout(true);
    ASSERT_EQ(saveAsText(nullptr, dir.file("r.txt"), {DocumentText::Kind::report, &page, nullptr}, nullptr), SaveResult::done);
    EXPECT_EQ(text(dir.file("r.txt")), "\r\nRaw Data \xB5V 10-10 Sec\r\n       EEG1       EEG2        EMG        ECG\r\n");
}

TEST_F(TextExport, SaveAllSplitsIntoInfoAndRaw)
{
    testing_support::fillPrimary({0, 400, 2, true, 4});
    ReportPage page;
    page.layout(true);
    exportSettings.saveAllMode = true;
    const DocumentText doc{DocumentText::Kind::report, &page, nullptr};
    ASSERT_EQ(saveAsText(nullptr, dir.file("all.csv"), doc, &page), SaveResult::done);
    const std::string info = text(dir.file("all-info.csv")), raw = text(dir.file("all-raw.csv"));
    EXPECT_NE(info.find("\"ID: ID-0042\""), std::string::npos);
    EXPECT_EQ(info.find("Raw Data"), std::string::npos);
    EXPECT_EQ(raw.substr(0, 17), "\r\n\"Raw Data \xB5V\"\r\n");
    EXPECT_FALSE(page.showGraph);  // the page's own options come back

    recordings.primary.header[data::hw::contentFlags] &= static_cast<std::uint16_t>(~data::content::rawEeg);
    ASSERT_EQ(saveAsText(nullptr, dir.file("noraw.txt"), doc, &page), SaveResult::done);
    EXPECT_TRUE(fs::exists(dir.file("noraw-info.txt")));
    EXPECT_FALSE(fs::exists(dir.file("noraw-raw.txt")));
}

TEST_F(TextExport, OverwriteQuestionsAndYesToAllInABatch)
{
    testing_support::fillPrimary({0, 200, 1, false, 5});
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        testing_support::writePrimary(dir.file(name));
    fs::create_directory(dir.file("out"));
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        testing_support::writeBytes(dir.file(std::string("out/") + name), {'o', 'l', 'd'});
    exportSettings.exportSplit = false;
    const std::string selection = dir.path().string() + '\0' + "a.dat" + '\0' + "b.dat" + '\0' + "c.dat" + '\0' + '\0';
    responder.answers = {platform::IDNO, platform::IDYESTOALL};
    ASSERT_TRUE(batchConvert(nullptr, selection, dir.file("out")));
    EXPECT_EQ(responder.shown.size(), 2u);  // a: No; b: Yes to All; c: no question
    EXPECT_EQ(responder.shown[0].text, "This folder already contains file 'a.txt'\nWould you like to replace it?");
    EXPECT_EQ(responder.shown[0].buttons, platform::Buttons::yesAllNoCancel);
    EXPECT_EQ(text(dir.file("out/a.txt")), "old");
    EXPECT_NE(text(dir.file("out/b.txt")), "old");
    EXPECT_NE(text(dir.file("out/c.txt")).find("Jane Doe"), std::string::npos);
    EXPECT_FALSE(exportSettings.batchMode || exportSettings.saveAllMode);

    responder.shown.clear();
    responder.answers = {platform::IDCANCEL};
    EXPECT_FALSE(batchConvert(nullptr, selection, dir.file("out")));
    EXPECT_EQ(responder.shown.size(), 1u);
}

TEST_F(TextExport, TableWindowsWriteTheirTitleAndLines)
{
    views::SpectrumTable spectrum;
    const DocumentText doc{DocumentText::Kind::table, nullptr, &spectrum};
    ASSERT_EQ(saveAsText(nullptr, dir.file("s.csv"), doc, nullptr), SaveResult::done);
    const std::string csv = text(dir.file("s.csv"));
    EXPECT_EQ(csv.substr(0, 38), "\"Spectrum EEG 1&2 (accumulated) \"\r\n\"Fr");
    EXPECT_NE(csv.find("\"Segments:\",\"Collected-\",0,\"Computed-\",0\r\n"), std::string::npos);
    views::BandsTable bands;
    bands.refresh();
    const std::string copy = views::copyTableText(bands);
    EXPECT_EQ(copy.substr(0, 31), "Bands EEG 1&2 (accumulated) \r\nF");
    EXPECT_EQ(copy.substr(copy.size() - 4), "\r\n\r\n");  // the empty line 11 ends the copy
}

TEST_F(TextExport, FailedWritesLeaveNoFileAndSayWhy)
{
    testing_support::fillPrimary({0, 200, 1, false, 6});
    ReportPage page;
    page.layout(true);
    const DocumentText doc{DocumentText::Kind::report, &page, nullptr};
    EXPECT_EQ(saveAsText(nullptr, dir.file("missing/x.txt"), doc, nullptr), SaveResult::cancelled);
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"Could not open file \"" + dir.file("missing/x.txt") + "\" to write?"});
    EXPECT_EQ(responder.shown[0].caption, "Save As Text");
    state::startup.hidden = true;
    EXPECT_EQ(saveAsText(nullptr, dir.file("missing/x.txt"), doc, nullptr), SaveResult::cancelled);
    EXPECT_EQ(state::startup.exitCode, 4);
}

// Every raw value is written as printf's "%.1f" and "%11.1f" write it,
// including the halfway cases, the negative ones and a factor that makes
// long numbers.
TEST_F(TextExport, RawValuesAreWrittenAsPrintfWritesThem)
{
    data::Recording& rec = recordings.primary;
    rec.header[data::hw::contentFlags] = data::content::rawEeg;
    rec.header[data::hw::channelMode] = rec.header[data::hw::channelModeCopy] = 1;
    const float factors[] = {1.0f, 0.37f, 1.0e6f, 1.3f};
    for (int ch = 0; ch < data::kChannels; ++ch) {
        rec.calibrationFactors[ch] = factors[ch];
        for (int s = -300; s < 300; ++s)
            data::channelAppend(rec, ch, static_cast<std::int16_t>(s * 109 + ch));
    }
    for (ReportRequest mode : {ReportMode::Csv, ReportMode::Columns}) {
        std::string written;
        TextOutput out(written);
        writeRawDataTable(nullptr, out, mode);
        std::string expected;
        for (std::uint32_t s = 0; s < rec.rawChannels[0].count; ++s) {
            std::string row;
            for (int ch = 0; ch < data::kChannels; ++ch) {
                const float v = static_cast<float>(data::channelSampleAt(rec, ch, s)) * rec.calibrationFactors[ch] *
                                250.0f * 0.0005f;
                char value[400];
                std::snprintf(value, sizeof value, mode == ReportMode::Csv ? "%.1f," : "%11.1f", static_cast<double>(v));
                row += value;
            }
            if (row.size() > 199)
                row.resize(199);
            expected += row + "\r\n";
        }
        const std::size_t heading = written.find("EEG4");
        ASSERT_NE(heading, std::string::npos);
        EXPECT_EQ(written.substr(written.find('\n', heading) + 1), expected) << mode;
    }
}

// A batch, which reads and lays out its files on several threads, writes the
// bytes that reading each file into the program's secondary recording and
// saving its Report page writes, for both forms and both channel modes.
TEST_F(TextExport, ABatchWritesWhatEachFileSavedAloneWrites)
{
    std::string selection = dir.path().string() + '\0';
    std::vector<std::string> names;
    for (int i = 0; i < 5; ++i) {
        testing_support::resetCore();
        testing_support::fillPrimary({i % 2, 2000u + 400u * static_cast<std::uint32_t>(i), 8, i < 3, 40u + static_cast<std::uint32_t>(i)});
        names.push_back("b" + std::to_string(i));
        testing_support::writePrimary(dir.file(names.back() + ".dat"));
        selection += names.back() + ".dat" + '\0';
    }
    testing_support::resetCore();
    for (int filter : {2, 3}) {
        const std::string extension = filter == 3 ? ".csv" : ".txt";
        exportSettings.textFilterIndex = filter;
        exportSettings.exportSplit = filter == 3;
        const std::string batchOut = dir.file("batch" + extension), aloneOut = dir.file("alone" + extension);
        fs::create_directory(batchOut);
        fs::create_directory(aloneOut);
        ASSERT_TRUE(batchConvert(nullptr, selection, batchOut));
        for (const std::string& name : names) {
            ASSERT_TRUE(data::readSecondaryQuietly(dir.file(name + ".dat")));
            ReportPage page(true);
            page.layout(true);
            exportSettings.saveAllMode = true;
            ASSERT_EQ(saveAsText(nullptr, aloneOut + "/" + name + extension, {DocumentText::Kind::report, &page, nullptr}, &page),
                      SaveResult::done);
            exportSettings.saveAllMode = false;
        }
        std::vector<std::string> written;
        for (const auto& e : fs::directory_iterator(aloneOut))
            written.push_back(e.path().filename().string());
        ASSERT_EQ(written.size(), filter == 3 ? 10u : 5u);
        for (const std::string& file : written)
            EXPECT_EQ(text(batchOut + "/" + file), text(aloneOut + "/" + file)) << file;
    }
}
