// The Patient Info dialog in the frame, offscreen with the scripted responder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <sys/stat.h>

#include "app/documentState.h"
#include "app/frameWindow.h"
#include "data/recordingStore.h"
#include "platform/dialogs.h"
#include "report/patientDialog.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "support/sampleRecording.h"

using namespace app;

namespace {

class PatientDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetCore();
        state::startup.reset();
        state::startup.startingUp = false;
        state::startup.noSerial = true;
        document.reset();
        platform::dialogs.responder = &responder;
        testing_support::fillPrimary({0, 512, 2, true, 31});
        testing_support::writePrimary(dir.file("a.dat"));
        testing_support::resetCore();
        frame = std::make_unique<FrameWindow>();
        frame->show();
        responder.fileAnswers = {dir.file("a.dat")};
        frame->onCommand(2, 0, 0);
        responder.fileAnswers.clear();
        responder.fileAnswersUsed = 0;
        responder.fileRequests.clear();
        frame->onCommand(31, 0, 0);
        dialog = static_cast<report::PatientDialog*>(frame->patientDialog());
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override
    {
        frame.reset();
        platform::dialogs.reset();
        testing_support::resetCore();
        document.reset();
    }
    template <class W>
    W* control(int id)
    {
        return dialog->findChild<W*>(QString("control%1").arg(id));
    }
    void typeInto(int id, const QString& text)
    {
        auto* edit = control<QLineEdit>(id);
        edit->setText(text);
        Q_EMIT edit->textEdited(text);
    }
    bool applyEnabled() { return control<QPushButton>(1074)->isEnabled(); }
    const data::PatientSet& stored() { return data::recordings.primary.patient; }

    testing_support::TempDir dir;
    platform::ScriptedResponder responder;
    std::unique_ptr<FrameWindow> frame;
    report::PatientDialog* dialog = nullptr;
};

}  // namespace

TEST_F(PatientDialogTest, ApplyFollowsWhatDiffersAndCancelKeepsTheStoredInformation)
{
    EXPECT_EQ(control<QLineEdit>(102)->text().toStdString(), stored().text[data::patientName]);
    EXPECT_FALSE(applyEnabled());
    const std::string name = stored().text[data::patientName];
    typeInto(102, QString::fromStdString(name + "x"));
    EXPECT_TRUE(applyEnabled());
    typeInto(102, QString::fromStdString(name));  // typed and deleted again
    EXPECT_FALSE(applyEnabled());
    typeInto(101, "ab-12");
    EXPECT_EQ(control<QLineEdit>(101)->text(), "AB-12");  // upper case
    control<QPushButton>(2)->click();                   // Cancel
    EXPECT_NE(stored().text[data::patientId], "AB-12");
    EXPECT_FALSE(document.patientInfoModified);
}

TEST_F(PatientDialogTest, AgesOutsideTheRangeAreNoAgeAndOkMakesExitAsk)
{
    for (const char* age : {"0", "250"}) {
        frame->onCommand(31, 0, 0);
        dialog = static_cast<report::PatientDialog*>(frame->patientDialog());
        typeInto(103, age);
        dialog->ok();
        EXPECT_EQ(stored().patientAge, -1) << age;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        frame->onCommand(31, 0, 0);
        dialog = static_cast<report::PatientDialog*>(frame->patientDialog());
        EXPECT_EQ(control<QLineEdit>(103)->text(), "") << age;
        dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(document.patientInfoModified);
    responder.answers = {platform::IDCANCEL};
    EXPECT_FALSE(frame->close());
    ASSERT_FALSE(responder.shown.empty());
    EXPECT_EQ(responder.shown.back().text, "Patient Info not saved\nSave file a.dat?");
}

TEST_F(PatientDialogTest, ImportWithOnlyNameTickedChangesOnlyTheName)
{
    testing_support::resetCore();  // another patient in another file
    testing_support::fillPrimary({0, 512, 2, true, 77});
    data::recordings.primary.patient.text[data::patientName] = "Imported Person";
    data::recordings.primary.patient.text[data::patientId] = "OTHER-ID";
    testing_support::writePrimary(dir.file("other.dat"));
    testing_support::resetCore();
    responder.fileAnswers = {dir.file("a.dat")};
    frame->onCommand(2, 0, 0);  // the first file again (the dialog reloads)
    const std::string id = stored().text[data::patientId];
    responder.fileAnswers = {dir.file("other.dat")};
    responder.fileAnswersUsed = 0;
    responder.panelAnswers = {{false, false, true, false, false, false}};
    dialog->importFile();
    ASSERT_EQ(responder.fileRequests.back().title, "Import Patient Info");
    EXPECT_EQ(control<QLineEdit>(102)->text(), "Imported Person");
    EXPECT_EQ(control<QLineEdit>(101)->text().toStdString(), id);
    EXPECT_TRUE(applyEnabled());
    dialog->ok();
    EXPECT_EQ(stored().text[data::patientName], "Imported Person");
    EXPECT_EQ(stored().text[data::patientId], id);
}

TEST_F(PatientDialogTest, ExportNeedsAFieldAndLeavesAReadOnlyFileAlone)
{
    // Every box cleared: the message, and the dialog stays for another choice (here: cancelled).
    responder.fileAnswers = {dir.file("a.dat")};
    responder.panelAnswers = {{false, false, false, false, false, false}};
    dialog->exportFiles();
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"Nothing To Export"});
    EXPECT_EQ(responder.shown[0].caption, "Patient Export");

    // Three files, one read-only: the two are rewritten, the third is named.
    for (const char* name : {"x.dat", "y.dat", "z.dat"}) {
        testing_support::resetCore();
        testing_support::fillPrimary({0, 512, 2, true, 50});
        testing_support::writePrimary(dir.file(name));
    }
    ::chmod(dir.file("y.dat").c_str(), 0444);
    const auto y = testing_support::fileBytes(dir.file("y.dat"));
    responder.shown.clear();
    responder.fileRequests.clear();
    responder.fileAnswers = {dir.path().string() + std::string(1, '\0') + "x.dat" + '\0' + "y.dat" + '\0' + "z.dat" + '\0'};
    responder.fileAnswersUsed = 0;
    responder.panelAnswers = {{false, false, true, false, false, false}};
    responder.answers = {platform::IDOK, platform::IDOK};
    typeInto(102, "Exported Name");
    dialog->exportFiles();
    ASSERT_EQ(responder.fileRequests.size(), 1u);
    EXPECT_TRUE(responder.fileRequests[0].multiple);
    ASSERT_EQ(responder.shown.size(), 2u);
    EXPECT_EQ(responder.shown[0].text, "This operation will overwrite Patient Info in selected Files!");
    EXPECT_NE(responder.shown[1].text.find(dir.file("y.dat")), std::string::npos) << responder.shown[1].text;
    EXPECT_EQ(testing_support::fileBytes(dir.file("y.dat")), y);
    for (const char* name : {"x.dat", "z.dat"}) {
        testing_support::resetCore();
        testing_support::readPrimary(dir.file(name));
        EXPECT_EQ(data::recordings.primary.patient.text[data::patientName], "Exported Name") << name;
        EXPECT_EQ(data::recordings.primary.patient.text[data::patientId], "ID-0042") << name;  // not ticked: the file's own
    }
}
