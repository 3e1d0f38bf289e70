#include <gtest/gtest.h>

#include <bit>

#include "app/configFile.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "data/recordingStore.h"
#include "support/sampleRecording.h"

using namespace app;
using namespace state;
using data::recordings;

namespace {

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        startup.reset();
        settings.reset();
        windowLayout.reset();
    }
    void TearDown() override { SetUp(); }

    // A full file: every field away from its default, and records with both blocks.
    void writeFullFile()
    {
        settings.portBase = 0x2E8;
        settings.showChannelSettings = true;
        settings.spectrumCurrentSegment = true;
        recordings.primary.header[data::hw::channelMode] = 1;
        settings.playSpeedIndex = 5;
        settings.channelSettings[2] = {1500, 300, false};
        settings.autoUploadAtStart = true;
        recordings.primary.calibrationFactors = {0.7f, 1.3f, 0.9f, 1.1f, 1.0f, 0.95f, 1.05f};
        settings.reportBands = settings.reportGraphColor = true;
        settings.reportPatientInfo = false;
        settings.reportTimeScale = 7;
        windows = {{{0, 10, 20, 800, 600, 1}, {}},
                   {{23, 5, 6, 200, 300, 1}, {}},
                   {{26, 0, 0, 400, 300, 1}, std::vector<std::uint8_t>(kBandsStateSize, 0xAB)},
                   {{27, 1, 2, 3, 4, 5}, std::vector<std::uint8_t>(kSpectrumStateSize, 0xCD)},
                   {{25, kDefaultPosition, kDefaultPosition, kDefaultPosition, kDefaultPosition, 3}, {}}};
        ASSERT_TRUE(writeConfiguration(path(), windows));
    }

    // The settings as a comparable byte image.
    std::vector<std::uint8_t> settingsImage() { return configurationBytes({}); }

    std::string path() const { return dir.file(kConfigFileName); }
    std::vector<std::uint8_t> defaultsImage()
    {
        const std::uint16_t port = settings.portBase;
        applyDefaultConfiguration(settings, recordings.primary);
        auto image = settingsImage();
        settings.portBase = port;
        return image;
    }

    testing_support::TempDir dir;
    std::vector<SavedWindow> windows;
};

std::vector<std::uint8_t> withWord(std::vector<std::uint8_t> bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

}  // namespace

TEST_F(ConfigFile, WrittenFileReadsBackAndWritesAgainByteForByte)
{
    writeFullFile();
    const auto written = testing_support::fileBytes(path());
    const auto image = settingsImage();
    applyDefaultConfiguration(settings, recordings.primary);
    ASSERT_TRUE(readConfiguration(path()));
    EXPECT_EQ(settingsImage(), image);
    ASSERT_TRUE(windowLayout.frame.has_value());
    EXPECT_EQ(*windowLayout.frame, windows[0].record);
    EXPECT_EQ(windowLayout.windows, std::vector<SavedWindow>(windows.begin() + 1, windows.end()));
    EXPECT_EQ(recordings.primary.header[data::hw::channelModeCopy], 1);
    ASSERT_TRUE(writeConfiguration(dir.file("again.cfg"), windows));
    EXPECT_EQ(testing_support::fileBytes(dir.file("again.cfg")), written);
}

TEST_F(ConfigFile, FieldRules)
{
    writeFullFile();
    const auto bytes = testing_support::fileBytes(path());
    // Offsets: version 0, port 8, three flags 12..20, channel mode 24, speed 28,
    // channels 32..79, auto upload 80, factors 84..111, report 112, time scale 116.
    struct Case {
        std::size_t offset;
        std::uint32_t value;
    };
    auto readWith = [&](std::initializer_list<Case> cases) {
        auto b = bytes;
        for (const Case& c : cases)
            b = withWord(b, c.offset, c.value);
        testing_support::writeBytes(dir.file("x.cfg"), b);
        applyDefaultConfiguration(settings, recordings.primary);
        return readConfiguration(dir.file("x.cfg"));
    };
    ASSERT_TRUE(readWith({{28, 9}, {12, 7}}));
    EXPECT_EQ(settings.playSpeedIndex, 3);
    EXPECT_TRUE(settings.showChannelSettings);
    ASSERT_TRUE(readWith({{28, 7}}));
    EXPECT_EQ(settings.playSpeedIndex, 1);  // the remainder of 7 by 6, not the default 3
    ASSERT_TRUE(readWith({{28, static_cast<std::uint32_t>(-1)}}));
    EXPECT_EQ(settings.playSpeedIndex, 3);
    ASSERT_TRUE(readWith({{56, 2005}, {24, 0}, {32, 1999}, {36, 19}, {48, 5}}));
    EXPECT_EQ(settings.channelSettings[2].scale, 100);  // default for channel 3 with two channels
    EXPECT_EQ(settings.channelSettings[0].scale, 1990);
    EXPECT_EQ(settings.channelSettings[0].artifact, 1000);
    EXPECT_EQ(settings.channelSettings[1].scale, 200);
    ASSERT_TRUE(readWith({{84, std::bit_cast<std::uint32_t>(0.69f)}, {88, std::bit_cast<std::uint32_t>(1.31f)},
                          {92, std::bit_cast<std::uint32_t>(0.7f)}, {96, 0x7FC00000u}}));
    EXPECT_EQ(recordings.primary.calibrationFactors[0], 1.0f);
    EXPECT_EQ(recordings.primary.calibrationFactors[1], 1.0f);
    EXPECT_EQ(recordings.primary.calibrationFactors[2], 0.7f);
    EXPECT_EQ(recordings.primary.calibrationFactors[3], 1.0f);
    ASSERT_TRUE(readWith({{116, 9}}));
    EXPECT_EQ(settings.reportTimeScale, 4);
}

TEST_F(ConfigFile, ForeignVersionsAreIgnoredWhole)
{
    writeFullFile();
    const auto defaults = defaultsImage();
    for (double version : {6.8, 6.810001}) {
        auto b = testing_support::fileBytes(path());
        const auto bits = std::bit_cast<std::uint64_t>(version);
        b = withWord(withWord(b, 0, static_cast<std::uint32_t>(bits)), 4, static_cast<std::uint32_t>(bits >> 32));
        testing_support::writeBytes(dir.file("v.cfg"), b);
        applyDefaultConfiguration(settings, recordings.primary);
        EXPECT_FALSE(readConfiguration(dir.file("v.cfg")));
        EXPECT_EQ(settingsImage(), defaults);
        EXPECT_FALSE(windowLayout.frame.has_value());
    }
}

TEST_F(ConfigFile, AutoUploadFromTheCommandLineTurnsOnTheStoredFlag)
{
    settings.autoUploadAtStart = false;
    ASSERT_TRUE(writeConfiguration(path(), {}));
    startup.autoUpload = true;
    ASSERT_TRUE(readConfiguration(path()));
    EXPECT_TRUE(settings.autoUploadAtStart);
}

TEST_F(ConfigFile, EveryTruncationReadsAllOrNothing)
{
    writeFullFile();
    const auto full = testing_support::fileBytes(path());
    const auto image = settingsImage();
    const auto defaults = defaultsImage();
    const std::size_t settingsEnd = 8 + 4 * 28 + 4 * 14;  // 176: the end of field 13
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        testing_support::writeBytes(dir.file("t.cfg"), std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<long>(cut)));
        applyDefaultConfiguration(settings, recordings.primary);
        const bool read = readConfiguration(dir.file("t.cfg"));
        ASSERT_EQ(read, cut >= settingsEnd) << cut;
        ASSERT_EQ(settingsImage(), read ? image : defaults) << cut;
        if (!read) {
            ASSERT_TRUE(windowLayout.windows.empty());
        }
        // Records come whole or not at all.
        for (const SavedWindow& w : windowLayout.windows)
            ASSERT_TRUE(std::find(windows.begin(), windows.end(), w) != windows.end()) << cut;
    }
}

TEST_F(ConfigFile, EveryBitFlipReadsValidSettingsOrDefaults)
{
    writeFullFile();
    const auto full = testing_support::fileBytes(path());
    const auto defaults = defaultsImage();
    for (std::size_t byte = 0; byte < full.size(); ++byte)
        for (int bit = 0; bit < 8; ++bit) {
            auto b = full;
            b[byte] ^= static_cast<std::uint8_t>(1 << bit);
            testing_support::writeBytes(dir.file("f.cfg"), b);
            applyDefaultConfiguration(settings, recordings.primary);
            if (!readConfiguration(dir.file("f.cfg"))) {
                ASSERT_EQ(settingsImage(), defaults) << byte << ":" << bit;
                continue;
            }
            ASSERT_TRUE(settings.playSpeedIndex >= 0 && settings.playSpeedIndex <= 5);
            ASSERT_TRUE(settings.reportTimeScale >= 0 && settings.reportTimeScale <= 8);
            for (const auto& c : settings.channelSettings) {
                ASSERT_TRUE(c.scale >= 10 && c.scale <= 2000 && c.scale % 10 == 0);
                ASSERT_TRUE(c.artifact >= 20 && c.artifact <= 1000 && c.artifact % 10 == 0);
            }
            for (float f : recordings.primary.calibrationFactors)
                ASSERT_TRUE(f >= 0.7f && f <= 1.3f);
            for (const SavedWindow& w : windowLayout.windows)
                ASSERT_EQ(w.state.size(), w.record.commandId == 26 ? kBandsStateSize
                                          : w.record.commandId == 27 ? kSpectrumStateSize : 0u);
        }
}

TEST_F(ConfigFile, FailedWriteKeepsThePreviousFileAndNoPortStoresCom1)
{
    settings.portBase = kNoPort;
    ASSERT_TRUE(writeConfiguration(path(), {}));
    const auto bytes = testing_support::fileBytes(path());
    EXPECT_EQ(bytes[8] | (bytes[9] << 8), 0x3F8);
    EXPECT_FALSE(writeConfiguration(dir.file("missing/Ozmar681.cfg"), {}));
    EXPECT_EQ(testing_support::fileBytes(path()), bytes);
}
