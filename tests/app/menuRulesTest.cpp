#include <gtest/gtest.h>

#include "app/documentState.h"
#include "app/menuRules.h"
#include "app/menuTables.h"
#include "state/settings.h"
#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "support/sampleRecording.h"

using namespace app;
using namespace state;

namespace {

class MenuRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        settings.reset();
        document.reset();
    }
    void TearDown() override { SetUp(); }
    bool enabled(int id) { return itemState(id, c).enabled; }
    bool checked(int id) { return itemState(id, c).checked; }
    MenuContext c;
};

}  // namespace

TEST(MenuTables, SixMenusWithTheirPopupsAndTheAcceleratorTable)
{
    EXPECT_EQ(menuBar(MenuKind::Init1).size(), 6u);
    EXPECT_EQ(menuBar(MenuKind::CORVANE).size(), 7u);
    EXPECT_EQ(menuBar(MenuKind::BandsMenu).size(), 8u);
    EXPECT_EQ(menuBar(MenuKind::CORVANE)[4].text, "For&mat");
    EXPECT_EQ(menuBar(MenuKind::FFTMenu)[3].text, "&Spectrum");
    EXPECT_EQ(findItem(MenuKind::Init1, 40004), nullptr);  // Save As Text: not in Init1
    EXPECT_NE(findItem(MenuKind::GraphMenu, 40013), nullptr);
    EXPECT_EQ(findItem(MenuKind::CORVANE, 40013), nullptr);
    EXPECT_EQ(findItem(MenuKind::Init1, 700), nullptr);    // no arrangement in Init1
    EXPECT_EQ(findItem(MenuKind::Init1, 480), nullptr);    // no Speed submenu
    EXPECT_EQ(findItem(MenuKind::FFTMenu, 40), nullptr);   // FFT: modes only
    EXPECT_NE(findItem(MenuKind::BandsMenu, 56), nullptr);
    EXPECT_EQ(findItem(MenuKind::Spectrum, 56), nullptr);
    EXPECT_EQ(findItem(MenuKind::CORVANE, 458)->text, "&Monitior\tCntrl+T");
    EXPECT_EQ(findItem(MenuKind::CORVANE, 40034)->text, "Time Scale &Down\tAlt+DOWN");
    EXPECT_EQ(findItem(MenuKind::Spectrum, 41)->text, "&2     EEG 3&&4");
    EXPECT_EQ(acceleratorTable().size(), 17u);
}

TEST_F(MenuRules, FileItems)
{
    EXPECT_TRUE(enabled(1) && enabled(2));
    EXPECT_FALSE(enabled(3) || enabled(4));
    document.patientInfoModified = true;
    EXPECT_TRUE(enabled(4));  // Save As: patient information alone
    document.dataModified = true;
    EXPECT_TRUE(enabled(3));
    document.playbackEdited = true;
    EXPECT_FALSE(enabled(3));  // a playback edit needs Save As
    document.dataUnsaved = true;
    EXPECT_TRUE(enabled(3));
    monitor::monitorState.liveSession = true;
    EXPECT_FALSE(enabled(1) || enabled(2) || enabled(3) || enabled(4) || enabled(40047));
    monitor::monitorState.liveSession = false;
    monitor::monitorState.playThreadRunning = true;
    EXPECT_FALSE(enabled(40047));
    c.menu = MenuKind::GraphMenu;
    EXPECT_FALSE(enabled(40013));  // the display thread runs
    monitor::monitorState.playThreadRunning = false;
    EXPECT_TRUE(enabled(40013));
    for (auto& ch : settings.channelSettings)
        ch.on = false;
    EXPECT_FALSE(enabled(40013) || enabled(7));
    c.menu = MenuKind::Init1;
    EXPECT_FALSE(enabled(7));
    c.menu = MenuKind::FFTMenu;
    EXPECT_FALSE(enabled(40004));
    c.menu = MenuKind::CORVANE;
    EXPECT_FALSE(enabled(40004));
    c.reportShowsPatientBandsOrSpectrum = true;
    EXPECT_TRUE(enabled(40004));
}

TEST_F(MenuRules, ConnectAndToolsItems)
{
    EXPECT_FALSE(enabled(11) || enabled(12) || enabled(13) || enabled(40005));
    c.portOpen = true;
    EXPECT_TRUE(enabled(12) && enabled(13) && enabled(40005));
    EXPECT_FALSE(enabled(11));
    document.sendable = true;
    EXPECT_TRUE(enabled(11));
    monitor::monitorState.autoUploadActive = true;
    EXPECT_TRUE(checked(40005));
    settings.portBase = 0x3E8;
    EXPECT_TRUE(checked(816));
    EXPECT_FALSE(checked(814));
    EXPECT_FALSE(enabled(455) || enabled(456) || enabled(458) || enabled(23));
    c.playControlExists = c.channelSettingsExists = true;
    EXPECT_TRUE(enabled(456));
    EXPECT_FALSE(enabled(458));  // auto-upload is on
    monitor::monitorState.autoUploadActive = false;
    EXPECT_TRUE(enabled(458));
    EXPECT_FALSE(enabled(455));  // no EEG or FFT data
    data::recordings.primary.header[data::hw::contentFlags] = data::content::fftData;
    EXPECT_TRUE(enabled(455) && enabled(457));
    settings.playSpeedIndex = 2;
    EXPECT_TRUE(checked(482));
    monitor::monitorState.liveSession = true;
    EXPECT_FALSE(enabled(482) || enabled(455) || enabled(814) || enabled(12));
    settings.showPlayControl = true;
    EXPECT_TRUE(checked(24));
}

TEST_F(MenuRules, WindowAndSpectrumItems)
{
    EXPECT_TRUE(enabled(40002) && enabled(25) && enabled(28) && enabled(26));
    c.reportOpen = c.graphOpen = c.fftOpen = true;
    EXPECT_FALSE(enabled(40002) || enabled(25) || enabled(28));
    c.bandsCreationFailed = true;
    EXPECT_FALSE(enabled(26));
    EXPECT_TRUE(enabled(27));
    EXPECT_FALSE(enabled(41));
    data::recordings.primary.header[data::hw::channelMode] = 1;
    EXPECT_TRUE(enabled(45));
    EXPECT_TRUE(checked(46));
    settings.spectrumCurrentSegment = true;
    EXPECT_TRUE(checked(47));
}
