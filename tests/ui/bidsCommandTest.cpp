// File > Export BIDS... offscreen with the scripted responder: the open
// recording's patient exported from its folder, the Anonymise choice, the
// mapping saved outside the dataset and asked for again to extend it.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "bids/tsvTable.h"
#include "platform/commandIds.h"
#include "support/courseFiles.h"
#include "ui/desktopReset.h"

namespace fs = std::filesystem;

namespace {


class BidsCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetDesktop(responder);
        frame = std::make_unique<app::FrameWindow>();
        frame->show();
        app::FrameEffects none{[] {}, [](bool) {}, [] {}, [] {}, [] {}};
        ASSERT_TRUE(app::openPath(frame.get(), course.dir.file("a2.dat"), none));
    }
    void TearDown() override
    {
        frame.reset();
        platform::dialogs.reset();
        testing_support::resetCore();
    }
    platform::ScriptedResponder responder;
    testing_support::BidsCourse course;
    testing_support::TempDir out;
    std::unique_ptr<app::FrameWindow> frame;
};

}  // namespace

TEST_F(BidsCommandTest, ExportsThePatientAnonymisedAndSavesTheMappingApart)
{
    const std::string dataset = out.file("ds");
    // The mapping cannot be saved inside the dataset: the dialog stays open for another name.
    responder.fileAnswers = {dataset, dataset + "/mapping.tsv", out.file("mapping.tsv")};
    responder.panelAnswers = {{true}};
    frame->onCommand(cmd::exportBids, 0, 0);
    ASSERT_EQ(responder.fileRequests.size(), 2u);
    EXPECT_EQ(responder.fileRequests[0].title, "Export BIDS");
    EXPECT_TRUE(responder.fileRequests[0].panel->checked[0]);
    EXPECT_EQ(bids::parseTsv(testing_support::fileText(dataset + "/sub-01/sub-01_sessions.tsv")).rows.size(), 6u);
    EXPECT_FALSE(fs::exists(dataset + "/sub-02"));  // only the open recording's patient
    EXPECT_FALSE(fs::exists(dataset + "/mapping.tsv"));
    EXPECT_NE(testing_support::fileText(out.file("mapping.tsv")).find("sub-01\tZQ-7731\t"), std::string::npos);
    const std::vector<std::string> shown = responder.texts();
    ASSERT_FALSE(shown.empty());
    EXPECT_NE(shown.back().find("6 recordings of patient ZQ-7731 added"), std::string::npos) << shown.back();

    // Again into the same dataset: the mapping of the first export is asked for, and nothing is new.
    responder.fileAnswers.insert(responder.fileAnswers.end(), {dataset, out.file("mapping.tsv")});
    responder.panelAnswers.push_back({true});
    frame->onCommand(cmd::exportBids, 0, 0);
    ASSERT_EQ(responder.fileRequests.size(), 4u);
    EXPECT_EQ(responder.fileRequests[3].title, "Mapping of the Earlier Export");
    EXPECT_NE(responder.texts().back().find("No recording of patient ZQ-7731 was added"), std::string::npos)
        << responder.texts().back();
}

TEST_F(BidsCommandTest, NotAnonymisedKeepsTheIdAndAsksForNoMapping)
{
    responder.fileAnswers = {out.file("plain")};
    responder.panelAnswers = {{false}};
    frame->onCommand(cmd::exportBids, 0, 0);
    EXPECT_EQ(responder.fileRequests.size(), 1u);
    EXPECT_TRUE(fs::exists(out.file("plain/sub-ZQ7731/ses-06/eeg/sub-ZQ7731_ses-06_task-ect_eeg.edf")));
    // Cancelled at the dataset folder: nothing written, nothing said.
    const std::size_t said = responder.shown.size();
    frame->onCommand(cmd::exportBids, 0, 0);
    EXPECT_EQ(responder.shown.size(), said);
}
