// The Bands, Spectrum and FFT windows in the frame, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QProgressDialog>
#include <QTimer>
#include <cmath>
#include <filesystem>

#include "app/configFile.h"
#include "app/documentState.h"
#include "app/frameWindow.h"
#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/epochEngine.h"
#include "monitor/monitorState.h"
#include "platform/dialogs.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"
#include "views/fftPainter.h"
#include "views/graphPainter.h"
#include "views/tableWindow.h"

using namespace app;

namespace {

class AnalysisWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        state::startup.reset();
        state::startup.startingUp = false;
        state::startup.noSerial = true;
        state::settings.reset();
        monitor::monitorState.reset();
        document.reset();
        windowLayout.reset();
        platform::dialogs.responder = &responder;
        testing_support::fillPrimary({1, 256 * 12, 12, true, 21});
        testing_support::writePrimary(dir.file("four.dat"));
        testing_support::resetCore();
    }
    void TearDown() override
    {
        platform::dialogs.reset();
        monitor::monitorState.reset();
        testing_support::resetCore();
        document.reset();
        state::startup.reset();
    }
    // Opens the file and plays it through the epoch engine, as a whole playback would.
    void openAndAccumulate(FrameWindow& frame)
    {
        responder.fileAnswers.push_back(dir.file("four.dat"));
        frame.onCommand(2, 0, 0);
        data::Recording& rec = data::recordings.primary;
        auto work = monitor::programEpochWork();
        monitor::startAccumulation(work, 0);
        for (std::uint32_t e = 0; e < rec.rawChannels[0].count / 256; ++e)
            monitor::processEpoch(work, static_cast<int>(data::epochIndex(rec, e)), false);
        frame.onCommand(602, 0, 0);
    }
    views::TableWindow* active(FrameWindow& frame)
    {
        return dynamic_cast<views::TableWindow*>(frame.mdiArea()->activeSubWindow()->widget());
    }
    static std::vector<std::string> lines(const std::string& text)
    {
        std::vector<std::string> out;
        std::size_t begin = 0;
        for (std::size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
            std::string line = text.substr(begin, end - begin);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                out.push_back(line);
        }
        return out;
    }
    testing_support::TempDir dir;
    platform::ScriptedResponder responder;
};

}  // namespace

TEST_F(AnalysisWindows, CopiedLinesAreTheToolsLinesByteForByte)
{
    FrameWindow frame;
    frame.show();
    openAndAccumulate(frame);
    for (int command : {26, 27}) {
        frame.onCommand(command, 0, 0);
        views::TableWindow* window = active(frame);
        ASSERT_NE(window, nullptr);
        for (int pair : {0, 3, 5}) {
            frame.onCommand(40 + pair, 0, 0);  // through the frame, as the menu does
            ASSERT_EQ(window->table().pair, static_cast<unsigned>(pair));
            frame.onCommand(40014, 0, 0);
            const std::string copied = QApplication::clipboard()->text().toStdString();
            const auto tool = testing_support::runCommand(std::string(OZMAR_TOOL_PATH) + " analyse " + dir.file("four.dat") +
                                                          " --mode accumulated --pair " + std::to_string(pair + 1) +
                                                          " --form columns");
            ASSERT_EQ(tool.status, 0);
            const auto toolLines = lines(tool.out);
            auto windowLines = lines(copied);
            ASSERT_GT(windowLines.size(), 3u);
            EXPECT_EQ(windowLines.front(), window->windowTitle().toStdString().substr(0, 79));
            windowLines.erase(windowLines.begin());  // the title
            windowLines.pop_back();                  // the epoch count line, which only the windows have
            // Every line of the window stands in the tool's table, in the same order.
            std::size_t at = 0;
            for (const std::string& line : windowLines) {
                while (at < toolLines.size() && toolLines[at] != line)
                    ++at;
                ASSERT_LT(at, toolLines.size()) << command << " pair " << pair << ": [" << line << "]";
            }
        }
    }
}

TEST_F(AnalysisWindows, SetBandsFormsDefaultAndARestart)
{
    std::vector<SavedWindow> records;
    {
        FrameWindow frame;
        frame.show();
        openAndAccumulate(frame);
        frame.onCommand(26, 0, 0);
        auto* bands = dynamic_cast<views::BandsWindow*>(active(frame));
        ASSERT_NE(bands, nullptr);
        const analysis::BandRecord& theta = bands->bands().bands[2];
        for (const char* text : {"3.5-8", "3.5 8", "3.5,8", "3.5 , 8"}) {
            bands->bands().bands[2].low = 4.0f;  // away from 3.5 to 8 each time
            ASSERT_TRUE(bands->applyBandText(2, text)) << text;
            EXPECT_EQ(theta.low, 3.5f) << text;
            EXPECT_EQ(theta.high, 8.0f) << text;
        }
        int changes = 0;
        bands->bandsChanged = [&] { ++changes; };
        for (const char* text : {"8-3.5", "0.5-4", "3.5-8"})
            EXPECT_FALSE(bands->applyBandText(2, text)) << text;
        EXPECT_EQ(changes, 0);
        ASSERT_TRUE(bands->applyBandText(5, "4.5 - 7"));
        EXPECT_EQ(changes, 1);
        // The menu item shows the window's own limits.
        MenuContext c = frame.menuContext();
        EXPECT_EQ(itemState(54, c).text, "&X Band...    4.5  -   7.0");
        EXPECT_TRUE(itemState(40, c).checked);
        EXPECT_FALSE(itemState(41, c).checked);
        bands->applyBandText(2, "5-9");
        bands->defaultBands();
        EXPECT_EQ(theta.low, 3.5f);
        EXPECT_EQ(itemState(51, frame.menuContext()).text, "&Theta...    3.5  -   8.0");
        bands->applyBandText(3, "9-12.5");
        frame.onCommand(43, 0, 0);  // pair EEG1&4
        frame.onCommand(47, 0, 0);  // current segment
        records = frame.windowRecords();
    }
    ASSERT_TRUE(writeConfiguration(dir.file("Ozmar681.cfg"), records));
    windowLayout.reset();
    ASSERT_TRUE(readConfiguration(dir.file("Ozmar681.cfg")));
    state::startup.startingUp = true;
    FrameWindow again;
    again.show();
    again.replayLayout();
    auto* bands = dynamic_cast<views::BandsWindow*>(active(again));
    ASSERT_NE(bands, nullptr);
    EXPECT_EQ(bands->bands().bands[3].low, 9.0f);
    EXPECT_EQ(bands->bands().bands[3].high, 12.5f);
    EXPECT_EQ(bands->table().pair, 3u);
    EXPECT_TRUE(bands->table().currentSegment);
    EXPECT_EQ(bands->windowTitle().toStdString().rfind("Bands EEG 1&4 (current)", 0), 0u);
}

TEST_F(AnalysisWindows, PairItemsAreGreyForATwoChannelRecording)
{
    testing_support::resetCore();
    testing_support::fillPrimary({0, 256 * 4, 4, true, 3});
    testing_support::writePrimary(dir.file("two.dat"));
    testing_support::resetCore();
    FrameWindow frame;
    frame.show();
    responder.fileAnswers.push_back(dir.file("two.dat"));
    frame.onCommand(2, 0, 0);
    frame.onCommand(27, 0, 0);
    QMenu menu;
    views::TableWindow* window = active(frame);
    ASSERT_TRUE(window->fillContextMenu);
    window->fillContextMenu(&menu);
    int greyPairs = 0, enabledPairs = 0;
    for (QAction* a : menu.actions()) {
        const int id = a->data().toInt();
        if (id >= 41 && id <= 45)
            greyPairs += !a->isEnabled();
        if (id == 40)
            enabledPairs += a->isEnabled() && a->isChecked();
    }
    EXPECT_EQ(greyPairs, 5);
    EXPECT_EQ(enabledPairs, 1);
}

TEST_F(AnalysisWindows, TheFftWindowDrawsATallestBarAtTheSinesBin)
{
    testing_support::resetCore();
    data::Recording& rec = data::recordings.primary;
    rec.calibrationFactors.fill(1.0f);
    rec.header[data::hw::channelMode] = rec.header[data::hw::channelModeCopy] = 1;
    rec.header[data::hw::contentFlags] = data::content::rawEeg;
    rec.epochSelected.fill(true);
    rec.epochMarks.fill(true);
    const int bin = 12;
    for (int ch = 0; ch < 4; ++ch)
        for (int i = 0; i < 4 * 256; ++i)
            data::channelAppend(rec, ch, static_cast<std::int16_t>(2000 * std::sin(2 * M_PI * bin * (i / 2) / 128.0)));
    for (auto& c : state::settings.channelSettings)
        c.scale = 100;
    monitor::PageGeometry geometry;
    geometry.avgChar = 6;
    geometry.capsChar = 9;
    geometry.lineHeight = 13;
    const views::FftSnapshot page = views::renderFftPage(rec, 3, geometry);
    QImage image(geometry.graphWidth(), geometry.graphHeight(), QImage::Format_RGB32);
    QPainter painter(&image);
    const views::PageSetup setup = views::setupGraphPage(painter, geometry, image.width(), image.height());
    views::drawFftPage(painter, page, setup.lineHeight, true);
    painter.end();
    const QRgb cyan = qRgb(0, 255, 255);
    for (int ch = 0; ch < 4; ++ch) {
        const views::FftStrip& s = page.strips[static_cast<std::size_t>(ch)];
        // The height of the cyan bar in the middle of each bin's column.
        auto height = [&](int k) {
            int n = 0;
            const int x = geometry.graphLeft() + 16 * (k - 1) + 8;
            for (int y = s.bottom - s.height + 1; y <= s.bottom; ++y)
                n += image.pixel(x, y) == cyan;
            return n;
        };
        int best = 1;
        for (int k = 2; k <= 32; ++k)
            if (height(k) > height(best))
                best = k;
        EXPECT_EQ(best, bin) << ch;
        EXPECT_GT(height(bin), 10) << ch;
        EXPECT_EQ(image.pixel(geometry.graphLeft() + 16 * (bin - 1) + 1, s.bottom - 3), qRgb(0, 0, 0)) << "a gap between bars";
    }
}

TEST_F(AnalysisWindows, SaveAsTextFromATableWindowWritesItsTitleAndLines)
{
    FrameWindow frame;
    frame.show();
    openAndAccumulate(frame);
    frame.onCommand(26, 0, 0);
    views::TableWindow* window = active(frame);
    responder.fileRequests.clear();
    responder.fileAnswers = {dir.file("bands.csv")};
    responder.fileAnswersUsed = 0;
    frame.onCommand(40004, 0, 0);
    ASSERT_EQ(responder.fileRequests.size(), 1u);
    EXPECT_EQ(responder.fileRequests[0].title, "Save \"" + window->windowTitle().toStdString() + "\" As Text");
    const auto bytes = testing_support::fileBytes(dir.file("bands.csv"));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("\"" + window->table().title().substr(0, 80) + "\"\r\n", 0), 0u) << text.substr(0, 80);
    EXPECT_NE(text.find(window->table().line(2, analysis::LineFormat::Csv) + "\r\n"), std::string::npos);
    EXPECT_NE(text.find(window->table().line(10, analysis::LineFormat::Csv) + "\r\n"), std::string::npos) << text;
}

TEST_F(AnalysisWindows, SaveAsImageNamesPagesAsksAboutExistingFilesAndWritesEachType)
{
    FrameWindow frame;
    frame.show();
    openAndAccumulate(frame);  // 12 epochs: 6 Graph pages
    frame.onCommand(25, 0, 0);
    frame.graphSubWindow()->resize(700, 500);
    QApplication::processEvents();
    testing_support::TempDir out;
    // run.tif with the PNG type: every page, named after the whole name, without a question.
    responder.fileAnswers = {out.file("run.tif")};
    responder.fileAnswersUsed = 0;
    responder.shown.clear();
    frame.onCommand(40013, 0, 0);
    ASSERT_EQ(responder.fileRequests.back().title, "Save Graph As Image");
    EXPECT_TRUE(responder.shown.empty());
    for (int p = 1; p <= 6; ++p)
        EXPECT_TRUE(std::filesystem::exists(out.file("run.tif-g00" + std::to_string(p) + ".png"))) << p;
    EXPECT_FALSE(std::filesystem::exists(out.file("run.tif-g007.png")));

    // From-To typed 0-3 starts at page 1; the existing files are listed, and No keeps the dialog.
    const std::size_t dialogs = responder.fileRequests.size();
    responder.fileAnswers = {out.file("run.tif"), out.file("other.jpg")};
    responder.fileAnswersUsed = 0;
    responder.panelAnswers = {{false, true, false}, {false, true, false}};
    responder.panelEditAnswers = {"0-3", "0-3"};
    responder.answers = {platform::IDNO};
    frame.onCommand(40013, 0, 0);
    EXPECT_EQ(responder.fileRequests.size(), dialogs + 1);  // one dialog, two tries
    ASSERT_EQ(responder.shown.size(), 1u);
    EXPECT_NE(responder.shown[0].text.find("run.tif-g001.png exists."), std::string::npos) << responder.shown[0].text;
    EXPECT_NE(responder.shown[0].text.find("run.tif-g003.png exists."), std::string::npos);
    EXPECT_EQ(responder.shown[0].text.find("run.tif-g004.png"), std::string::npos);
    for (int p = 1; p <= 3; ++p)
        EXPECT_TRUE(std::filesystem::exists(out.file("other-g00" + std::to_string(p) + ".jpg"))) << p;
    EXPECT_FALSE(std::filesystem::exists(out.file("other-g004.jpg")));

    // The current view as BMP, at the window's size, opens in ImageMagick.
    responder.fileAnswers = {out.file("view.bmp")};
    responder.fileAnswersUsed = 0;
    responder.panelAnswers = {{false, false, true}};
    frame.onCommand(40013, 0, 0);
    ASSERT_TRUE(std::filesystem::exists(out.file("view-g.bmp")));
    const QSize size = frame.graphSubWindow()->widget()->size();
    const auto r = testing_support::runCommand("identify -format '%wx%h' " + out.file("view-g.bmp"));
    if (testing_support::runCommand("command -v identify").status == 0) {
        EXPECT_EQ(r.out, std::to_string(size.width()) + "x" + std::to_string(size.height()));
    }
}

TEST_F(AnalysisWindows, SaveAsTextQuestionsRawDataRangeAndBatchConvert)
{
    FrameWindow frame;
    frame.show();
    openAndAccumulate(frame);
    testing_support::TempDir out;
    // report.doc with the TXT type: "Do you mean report.doc.txt?"
    responder.fileAnswers = {out.file("report.doc")};
    responder.fileAnswersUsed = 0;
    responder.shown.clear();
    responder.answers = {platform::IDYES};
    frame.onCommand(40002, 0, 0);
    frame.onCommand(40020, 0, 0);  // the band lines, so the Report window has something to save
    frame.onCommand(40004, 0, 0);
    ASSERT_FALSE(responder.shown.empty());
    EXPECT_EQ(responder.shown[0].text, "Do you mean report.doc.txt?");
    EXPECT_TRUE(std::filesystem::exists(out.file("report.doc.txt")));

    // The Graph window saves its raw data, here seconds 2 to 4.
    frame.onCommand(25, 0, 0);
    responder.fileAnswers = {out.file("raw.csv")};
    responder.fileAnswersUsed = 0;
    responder.panelAnswers = {{false, true}};
    responder.panelEditAnswers = {"2-4"};
    responder.shown.clear();
    frame.onCommand(40004, 0, 0);
    EXPECT_EQ(responder.fileRequests.back().title, "Save Raw Data As Text");
    const auto raw = testing_support::fileBytes(out.file("raw.csv"));
    const std::string rawText(raw.begin(), raw.end());
    std::size_t rows = 0;
    for (char c : rawText)
        rows += c == '\n';
    EXPECT_GE(rows, 400u);  // two seconds of 200 samples and the heading
    EXPECT_LE(rows, 410u);

    // Batch Convert of three files, one no data file: two converted, one question about the third.
    testing_support::writeBytes(dir.file("junk.dat"), {'x'});
    testing_support::writeBytes(dir.file("copy.dat"), testing_support::fileBytes(dir.file("four.dat")));
    responder.fileAnswers = {dir.path().string() + '\0' + "four.dat" + '\0' + "junk.dat" + '\0' + "copy.dat" + '\0',
                             out.file("ignored.txt")};
    responder.fileAnswersUsed = 0;
    responder.panelAnswers.clear();
    responder.panelEditAnswers.clear();
    responder.shown.clear();
    responder.answers = {platform::IDOK};
    frame.onCommand(40047, 0, 0);
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"File " + dir.file("junk.dat") + " is not a patient data file"});
    EXPECT_TRUE(std::filesystem::exists(out.file("four-info.txt")));
    EXPECT_TRUE(std::filesystem::exists(out.file("copy-raw.txt")));
    EXPECT_FALSE(std::filesystem::exists(out.file("junk-info.txt")));
    // Again: every file exists now; Yes to All answers the rest.
    responder.fileAnswers = {dir.path().string() + '\0' + "four.dat" + '\0' + "copy.dat" + '\0', out.file("ignored.txt")};
    responder.fileAnswersUsed = 0;
    responder.shown.clear();
    responder.answers = {platform::IDYESTOALL};
    frame.onCommand(40047, 0, 0);
    ASSERT_EQ(responder.shown.size(), 1u);
    EXPECT_EQ(responder.shown[0].text, "This folder already contains file 'four-info.txt'\nWould you like to replace it?");
    EXPECT_EQ(responder.shown[0].buttons, platform::Buttons::yesAllNoCancel);
}

TEST_F(AnalysisWindows, TableWindowsDrawOnLightGrey)
{
    FrameWindow frame;
    frame.show();
    openAndAccumulate(frame);
    for (int id : {26, 27}) {
        frame.onCommand(id, 0, 0);
        views::TableWindow* table = active(frame);
        ASSERT_NE(table, nullptr);
        const QImage shown = table->viewport()->grab().toImage();
        // Most of the window is the background between the text, and none of it white.
        int grey = 0, white = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QColor c = shown.pixelColor(x, y);
                grey += c == QColor(192, 192, 192) ? 1 : 0;
                white += c == QColor(Qt::white) ? 1 : 0;
            }
        EXPECT_GT(grey, shown.width() * shown.height() / 2) << id;
        EXPECT_EQ(white, 0) << id;
    }
}

// The export dialogs propose the opened recording's name, their range boxes
// rewrite what was typed in the normal form, and Batch Convert's three parts
// are one choice with Split greyed unless Both is chosen.
TEST_F(AnalysisWindows, ExportDialogsProposeTheRecordingsNameAndTheirNormalRanges)
{
    FrameWindow frame;
    frame.show();
    openAndAccumulate(frame);  // 12 epochs: 6 Graph pages, 15 seconds
    frame.onCommand(25, 0, 0);
    responder.fileAnswersUsed = 0;
    responder.fileAnswers.clear();
    frame.onCommand(40013, 0, 0);  // Save As Image, cancelled
    const platform::FileRequest image = responder.fileRequests.back();
    EXPECT_EQ(image.name, "four.png");
    ASSERT_TRUE(image.panel && image.panel->normalise);
    EXPECT_EQ(image.panel->normalise("3 , 5"), "3-5");
    EXPECT_EQ(image.panel->normalise("0-3"), "1-3");
    EXPECT_EQ(image.panel->normalise("4"), "4-6");
    frame.onCommand(40004, 0, 0);  // Save Raw Data As Text, cancelled
    const platform::FileRequest raw = responder.fileRequests.back();
    EXPECT_EQ(raw.title, "Save Raw Data As Text");
    EXPECT_EQ(raw.name, "four.txt");
    ASSERT_TRUE(raw.panel && raw.panel->normalise);
    EXPECT_EQ(raw.panel->normalise("5 10"), "5-10");
    EXPECT_EQ(raw.panel->normalise("10 , 99"), "10-16");  // to the end of the 16 seconds
    frame.onCommand(40041, 0, 0);  // Save All As Text
    EXPECT_EQ(responder.fileRequests.back().name, "four.txt");

    responder.fileAnswers = {dir.file("four.dat")};
    responder.fileAnswersUsed = 0;
    frame.onCommand(40047, 0, 0);  // Batch Convert: the files, then the cancelled save dialog
    platform::FilePanel& batch = *responder.fileRequests.back().panel;
    EXPECT_EQ(batch.exclusiveFirst, 3);
    batch.checked = {false, true, false, false};
    batch.toggled(batch, 1);
    EXPECT_EQ(batch.enabled, (std::vector<bool>{true, true, true, false}));
    batch.checked = {true, false, false, false};
    batch.toggled(batch, 0);
    EXPECT_TRUE(batch.enabled[3]);
}

// A long image series shows its progress; Cancel stops it between pages, and
// every image written is whole.
TEST_F(AnalysisWindows, SaveAsImageShowsProgressAndCancelStopsBetweenPages)
{
    FrameWindow frame;
    frame.show();
    openAndAccumulate(frame);  // 6 Graph pages
    frame.onCommand(25, 0, 0);
    testing_support::TempDir out;
    responder.fileAnswers = {out.file("run.png")};
    responder.fileAnswersUsed = 0;
    int shownAt = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QProgressDialog*>(w); box && box->isVisible() && box->value() >= 2) {
                shownAt = box->value();
                EXPECT_EQ(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor,
                          Qt::WaitCursor);
                box->cancel();
            }
    });
    timer.start(0);
    frame.onCommand(40013, 0, 0);
    timer.stop();
    EXPECT_EQ(shownAt, 2);
    int written = 0;
    for (const auto& e : std::filesystem::directory_iterator(out.path())) {
        ++written;
        EXPECT_FALSE(QImage(QString::fromStdString(e.path().string())).isNull()) << e.path();
    }
    EXPECT_EQ(written, 2) << "pages 1 and 2 were written before the cancel";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Format > Font in a table window starts from Arial Bold 8 and offers the
// text colour; the lines are then drawn in the colour chosen.
TEST_F(AnalysisWindows, TheTableFontDialogOffersTheTextColour)
{
    FrameWindow frame;
    frame.show();
    openAndAccumulate(frame);
    frame.onCommand(26, 0, 0);
    views::TableWindow* bands = active(frame);
    ASSERT_NE(bands, nullptr);
    platform::FontChoice red{"Arial", 8, true, false, 0xFF0000, true};
    responder.fontAnswers = {red};
    frame.onCommand(32, 0, 0);  // Format > Font
    ASSERT_EQ(responder.fontRequests.size(), 1u);
    EXPECT_EQ(responder.fontRequests[0], (platform::FontChoice{"Arial", 8, true, false, 0x000000, true}));
    const QImage shown = bands->viewport()->grab().toImage();
    int redPixels = 0, blackPixels = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            redPixels += c.red() > 200 && c.green() < 60 && c.blue() < 60 ? 1 : 0;
            blackPixels += c.red() < 40 && c.green() < 40 && c.blue() < 40 ? 1 : 0;
        }
    EXPECT_GT(redPixels, 200);
    EXPECT_EQ(blackPixels, 0);
}
