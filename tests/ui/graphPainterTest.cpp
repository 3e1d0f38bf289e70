// Pixel tests of the Graph page painter on an image of the page's own size
// (one logical unit a pixel), offscreen.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "data/recordingStore.h"
#include "data/sampleRing.h"
#include "monitor/monitorState.h"
#include "state/settings.h"
#include "support/sampleRecording.h"
#include "views/graphPainter.h"

using namespace views;
using namespace monitor;

namespace {

const QRgb kCyan = qRgb(0, 255, 255), kGreen = qRgb(0, 255, 0), kDarkGreen = qRgb(0, 128, 64), kBlack = qRgb(0, 0, 0),
           kGrey = qRgb(128, 128, 128), kLightGrey = qRgb(192, 192, 192), kTeal = qRgb(0, 128, 128),
           kWhite = qRgb(255, 255, 255), kBlue = qRgb(0, 0, 255);

class GraphPainterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        state::settings.reset();
        monitor::monitorState.reset();
        data::recordings.primary.calibrationFactors.fill(1.0f);
        geometry.avgChar = 6;
        geometry.capsChar = 9;
        geometry.lineHeight = 13;
        rec().header[data::hw::channelMode] = rec().header[data::hw::channelModeCopy] = 1;
        rec().epochMarks.fill(true);
        rec().epochSelected.fill(true);
        for (auto& channel : state::settings.channelSettings)
            channel.scale = 200;
    }
    void TearDown() override
    {
        state::settings.reset();
        testing_support::resetCore();
    }
    static data::Recording& rec() { return data::recordings.primary; }
    // Appends samples to channel `ch` from a function of the sample number.
    template <class F>
    void samples(int ch, int count, F value)
    {
        for (int i = 0; i < count; ++i)
            data::channelAppend(rec(), ch, static_cast<std::int16_t>(value(i)));
    }
    GraphSnapshot page(std::uint32_t first = 0) { return renderPage(rec(), first, geometry); }
    // The page drawn as a window of the page's size shows it on a screen of
    // this device pixel ratio: into a bitmap of that many pixels a unit.
    QImage draw(const GraphSnapshot& snapshot, bool colour = true, int ratio = 1)
    {
        QImage image(geometry.graphWidth() * ratio, geometry.graphHeight() * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        const PageSetup setup = setupGraphPage(painter, geometry, geometry.graphWidth(), geometry.graphHeight());
        drawGraphPage(painter, snapshot, setup.lineHeight, colour);
        return image;
    }
    int left() const { return geometry.graphLeft(); }
    int top() const { return geometry.graphTop(); }
    static int count(const QImage& image, QRgb colour, int x0, int y0, int x1, int y1)
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += image.pixel(x, y) == colour;
        return n;
    }
    PageGeometry geometry;
};

}  // namespace

TEST_F(GraphPainterTest, ConstantChannelsDrawOnTheRowsTheFormulaGives)
{
    const int values[4] = {0, 800, -800, 1600};
    for (int ch = 0; ch < 4; ++ch)
        samples(ch, 512, [&](int) { return values[ch]; });
    const GraphSnapshot snapshot = page();
    const QImage image = draw(snapshot);
    // Four strips of 100, scale unit 25, scale 200: 800 raw = 100 uV = 12.5 units, 12 drawn.
    const int baselines[4] = {top() + 50, top() + 150, top() + 250, top() + 350};
    const int offsets[4] = {0, -12, 12, -25};
    for (int ch = 0; ch < 4; ++ch) {
        const int y = baselines[ch] + offsets[ch];
        ASSERT_EQ(snapshot.sampleY(ch, static_cast<std::int16_t>(values[ch])), y);
        for (int x = 1; x < 512; ++x)
            ASSERT_EQ(image.pixel(left() + x, y), kCyan) << ch << " " << x;
        EXPECT_EQ(count(image, kCyan, left(), baselines[ch] - 49, left() + 512, baselines[ch] + 50), 512) << ch;
    }
}

TEST_F(GraphPainterTest, AtTwiceTheDevicePixelsTracesStayOneDevicePixelWide)
{
    // A flat trace and a slope: drawn at ratio 2 they are as long again in
    // device pixels but no wider, where a bitmap scaled up would be twice as wide.
    samples(0, 512, [](int) { return 0; });
    samples(1, 512, [](int i) { return (i % 128) * 6 - 384; });
    const GraphSnapshot snapshot = page();
    const QImage one = draw(snapshot, true, 1), two = draw(snapshot, true, 2);
    ASSERT_EQ(two.width(), 2 * one.width());
    const int y = top() + 50;  // the flat trace of the first strip
    EXPECT_EQ(count(one, kCyan, left() + 100, y - 3, left() + 101, y + 4), 1);
    EXPECT_EQ(count(two, kCyan, 2 * (left() + 100), 2 * y - 6, 2 * (left() + 100) + 1, 2 * y + 8), 1);
    const int strip[2] = {top() + 100, top() + 200};  // the slopes of the second
    const double ratio = static_cast<double>(count(two, kCyan, 0, 2 * strip[0], two.width(), 2 * strip[1])) /
                         count(one, kCyan, 0, strip[0], one.width(), strip[1]);
    EXPECT_GT(ratio, 1.6);
    EXPECT_LT(ratio, 2.6);
}

TEST_F(GraphPainterTest, ATraceIsCyanInsideItsLimitAndGreenOutside)
{
    state::settings.channelSettings[0].artifact = 200;  // 200 x 25 / 200 = 25 units
    for (int ch = 1; ch < 4; ++ch)
        state::settings.channelSettings[static_cast<std::size_t>(ch)].on = false;
    // One channel: strip 400, scale unit 100, limit 100; a sine of 180 units.
    samples(0, 512, [](int i) { return std::lround(1800 * 8 / 4.0 * std::sin(i * 2 * M_PI / 128)); });
    const GraphSnapshot snapshot = page();
    ASSERT_EQ(snapshot.scales[0].limit, 100);
    const QImage image = draw(snapshot);
    const int b = snapshot.strips[0].baseline;
    int inside = 0, outside = 0;
    for (int x = 1; x < 512; ++x) {
        const int y = snapshot.sampleY(0, snapshot.strips[0].samples[static_cast<std::size_t>(x)]);
        const int d = std::abs(y - b);
        if (d < 99) {
            ASSERT_EQ(image.pixel(left() + x, y), kCyan) << x;
            ++inside;
        } else if (d > 101 && d < snapshot.strips[0].halfHeight) {
            ASSERT_EQ(image.pixel(left() + x, y), kGreen) << x;
            ++outside;
        }
    }
    EXPECT_GT(inside, 100);
    EXPECT_GT(outside, 100);
    // The limits themselves, across the plot.
    EXPECT_EQ(image.pixel(left() + 3, b - 100), kDarkGreen);
    EXPECT_EQ(image.pixel(left() + 3, b + 100), kDarkGreen);
}

TEST_F(GraphPainterTest, AMissingSampleBreaksTheTraceOnBothSides)
{
    for (int ch = 0; ch < 4; ++ch)
        samples(ch, 512, [](int i) { return i == 100 ? -32768 : 400; });
    const GraphSnapshot snapshot = page();
    const QImage image = draw(snapshot);
    for (int ch = 0; ch < 4; ++ch) {
        const int b = snapshot.strips[static_cast<std::size_t>(ch)].baseline;
        EXPECT_EQ(count(image, kCyan, left() + 100, b - 49, left() + 101, b + 50), 0) << ch;
        EXPECT_EQ(count(image, kCyan, left() + 99, b - 49, left() + 100, b + 50), 1) << ch;   // the end of the run before
        EXPECT_EQ(count(image, kCyan, left() + 101, b - 49, left() + 102, b + 50), 1) << ch;  // the start of the run after
    }
}

TEST_F(GraphPainterTest, BlackPlotLightGreyMarginsGreyGridAndRejectedShade)
{
    for (int ch = 0; ch < 4; ++ch)
        samples(ch, 512, [](int) { return 0; });
    rec().epochMarks[data::epochIndex(rec(), 1)] = false;
    const QImage image = draw(page());
    EXPECT_EQ(image.pixel(2, 2), kLightGrey);
    EXPECT_EQ(image.pixel(geometry.graphWidth() - 2, top() + 200), kLightGrey);
    EXPECT_EQ(image.pixel(left() + 200, geometry.graphHeight() - 2), kLightGrey);
    EXPECT_EQ(image.pixel(left() + 50, top() + 10), kBlack);       // epoch 1: selected
    EXPECT_EQ(image.pixel(left() + 350, top() + 10), kTeal);       // epoch 2: rejected
    EXPECT_EQ(image.pixel(left() + 100, top() + 10), kGrey);       // vertical grid
    EXPECT_EQ(image.pixel(left() + 50, top() + 25), kGrey);        // +scale line of the first strip
    EXPECT_EQ(image.pixel(left() + 50, top() + 100), kWhite);      // separator below the first strip
    EXPECT_EQ(count(image, kWhite, left(), top() + 399, left() + 512, top() + 400), 0);  // none below the last
    const QImage mono = draw(page(), false);
    EXPECT_EQ(mono.pixel(left() + 350, top() + 10), kCyan);        // the shade without colour
    EXPECT_EQ(mono.pixel(left() + 60, top() + 50), kBlue);         // the trace without colour
}

TEST_F(GraphPainterTest, WithNoChannelOnOnlyTheFrameOfThePageIsDrawn)
{
    for (auto& channel : state::settings.channelSettings)
        channel.on = false;
    for (int ch = 0; ch < 4; ++ch)
        samples(ch, 512, [](int i) { return i * 10; });
    rec().epochMarks.fill(false);
    const GraphSnapshot snapshot = page();
    EXPECT_EQ(snapshot.stripHeight, 0);
    const QImage image = draw(snapshot);
    for (QRgb colour : {kCyan, kGreen, kDarkGreen, kWhite, kTeal})
        EXPECT_EQ(count(image, colour, left(), top(), left() + 512, top() + 400), 0);
    EXPECT_EQ(image.pixel(left() + 50, top() + 50), kBlack);
    EXPECT_EQ(image.pixel(left() + 100, top() + 50), kGrey);
    EXPECT_EQ(image.pixel(2, 2), kLightGrey);
    // The time labels are there (dark text in the bottom margin).
    EXPECT_GT(count(image, kBlack, left() + 80, top() + 401, left() + 120, geometry.graphHeight()), 0);
}

TEST_F(GraphPainterTest, ArtifactLinesOneUnitOutForAZeroLimitAndNoneAtHalfHeight)
{
    for (int ch = 0; ch < 4; ++ch)
        samples(ch, 512, [](int) { return 0; });
    auto& c = state::settings.channelSettings;
    c[0].artifact = 20;
    c[0].scale = 2000;  // 20 x 25 / 2000 = 0: drawn at 1
    c[1].artifact = 1000;
    c[1].scale = 500;   // 1000 x 25 / 500 = 50, above the half height of 49
    c[2].artifact = 320;
    c[2].scale = 200;   // 40
    const GraphSnapshot snapshot = page();
    ASSERT_EQ(snapshot.scales[0].limit, 0);
    const QImage image = draw(snapshot);
    const int b0 = snapshot.strips[0].baseline, b1 = snapshot.strips[1].baseline, b2 = snapshot.strips[2].baseline;
    EXPECT_EQ(image.pixel(left() + 50, b0 - 1), kDarkGreen);
    EXPECT_EQ(image.pixel(left() + 50, b0 + 1), kDarkGreen);
    EXPECT_EQ(count(image, kDarkGreen, left(), b1 - 49, left() + 512, b1 + 50), 0);
    EXPECT_EQ(image.pixel(left() + 50, b2 - 40), kDarkGreen);
}

TEST_F(GraphPainterTest, ReportTracesSitInTheirBands)
{
    for (int ch = 0; ch < 4; ++ch)
        samples(ch, 2000, [&](int) { return ch == 1 ? 1600 : 0; });  // channel 2: 200 uV = one grid step of 25 at scale 200
    state::settings.channelSettings[3].on = false;
    QImage image(600, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawReportTraces(painter, QRect(0, 0, 600, 300), rec(), 0, 3, true);  // 600 samples into 600 x 300: 1:1
    painter.end();
    EXPECT_EQ(image.pixel(300, 50), kBlue);        // channel 1 on its centre line
    EXPECT_EQ(image.pixel(300, 150 - 25), kBlue);  // channel 2 one grid step up
    EXPECT_EQ(image.pixel(300, 250), kBlue);       // channel 3
    EXPECT_EQ(image.pixel(300, 75), kGrey);        // grid at +25 of the first band
    EXPECT_EQ(image.pixel(300, 0), kBlack);        // the frame
}

// A repaint of some columns draws, inside them, exactly what a whole repaint
// draws: the live window repaints only the columns the display drew, and
// inside the plot it may leave the margins and labels out.
TEST_F(GraphPainterTest, AColumnSpanRepaintMatchesTheWholePageInsideIt)
{
    for (int ch = 0; ch < 4; ++ch)
        samples(ch, 512, [ch](int i) { return 1800 * std::sin(i * 0.21 + ch) + (i % 37 == 0 ? 9000 : 0); });
    const GraphSnapshot shown = page();
    const QImage whole = draw(shown);
    for (const auto [first, last] : {std::pair{0, 15}, std::pair{140, 171}, std::pair{490, 511}}) {
        QImage part(whole.size(), QImage::Format_RGB32);
        part.fill(Qt::magenta);
        const QRect clip(left() + first, 0, last - first + 1, whole.height());
        {
            QPainter painter(&part);
            const PageSetup setup = setupGraphPage(painter, geometry, part.width(), part.height());
            painter.setClipRect(clip);
            drawGraphPage(painter, shown, setup.lineHeight, true, ColumnSpan{first, last});
        }
        QImage plotOnly(whole.size(), QImage::Format_RGB32);
        plotOnly.fill(Qt::magenta);
        {
            QPainter painter(&plotOnly);
            const PageSetup setup = setupGraphPage(painter, geometry, plotOnly.width(), plotOnly.height());
            drawGraphPage(painter, shown, setup.lineHeight, true, ColumnSpan{first, last, true});
        }
        for (int y = top(); y < top() + kPlotHeight; ++y)
            for (int x = clip.left(); x <= clip.right(); ++x)
                ASSERT_EQ(plotOnly.pixel(x, y), whole.pixel(x, y)) << "plot only " << first << " at " << x << "," << y;
        EXPECT_EQ(plotOnly.pixel(2, 2), qRgb(255, 0, 255)) << "the margins are left as they were";
        for (int y = 0; y < whole.height(); ++y)
            for (int x = clip.left(); x <= clip.right(); ++x)
                ASSERT_EQ(part.pixel(x, y), whole.pixel(x, y)) << first << "-" << last << " at " << x << "," << y;
    }
}
