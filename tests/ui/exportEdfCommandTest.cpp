// File > Export EDF+ offscreen with the scripted responder: the save dialog,
// its Anonymise box, and the file written through the crash-safe path.
#include <gtest/gtest.h>

#include "app/documentState.h"
#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "app/menuTables.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/processRunner.h"
#include "support/sampleRecording.h"
#include "ui/desktopReset.h"

using namespace app;

TEST(ExportEdfCommand, WritesTheFileAndAnonymisesOnRequest)
{
    platform::ScriptedResponder responder;
    testing_support::resetDesktop(responder);
    testing_support::TempDir dir;
    ASSERT_EQ(testing_support::runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("rec.dat") + " --seconds 12").status, 0);
    {
        FrameWindow frame;
        frame.show();
        FrameEffects none{[] {}, [](bool) {}, [] {}, [] {}, [] {}};
        ASSERT_TRUE(openPath(&frame, dir.file("rec.dat"), none));
        frame.onCommand(40002, 0, 0);
        const std::string name = data::recordings.primary.patient.text[data::patientName];
        ASSERT_FALSE(name.empty());
        responder.fileAnswers = {dir.file("plain.edf"), dir.file("anon.edf")};
        responder.panelAnswers = {{false}, {true}};
        frame.onCommand(kExportEdf, 0, 0);
        frame.onCommand(kExportEdf, 0, 0);
        ASSERT_EQ(responder.fileRequests.size(), 2u);
        EXPECT_EQ(responder.fileRequests[0].title, "Export EDF+");
        EXPECT_EQ(responder.fileRequests[0].filters[0].first, "EDF+ Files (*.edf)");
        const auto plain = testing_support::fileBytes(dir.file("plain.edf"));
        const auto anon = testing_support::fileBytes(dir.file("anon.edf"));
        ASSERT_GT(plain.size(), 256u);
        ASSERT_EQ(plain.size(), anon.size());
        const std::string first = name.substr(0, name.find(' '));
        EXPECT_NE(std::string(plain.begin(), plain.end()).find(first), std::string::npos);
        EXPECT_EQ(std::string(anon.begin(), anon.end()).find(first), std::string::npos);
    }
    platform::dialogs.reset();
    testing_support::resetCore();
}
