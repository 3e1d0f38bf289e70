// The patient form without its dialog, and the file tip.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "data/recordingStore.h"
#include "report/patientForm.h"
#include "support/sampleRecording.h"

using namespace report;

TEST(PatientTip, ADataFileAndAFileThatIsNotOne)
{
    testing_support::TempDir dir;
    testing_support::resetCore();
    testing_support::fillPrimary({0, 512, 2, true, 12});
    data::PatientSet& p = data::recordings.primary.patient;
    p.text[data::patientId] = "ID-7";
    p.text[data::patientName] = "Ann Example";
    p.patientAge = 61;
    p.patientSex = data::kSexFemale;
    p.text[data::patientComments] = "Second session";
    testing_support::writePrimary(dir.file("ann.dat"));
    testing_support::writeBytes(dir.file("notes.dat"), {'h', 'i'});
    testing_support::resetCore();
    const std::string tip = patientTip(dir.file("ann.dat"));
    EXPECT_EQ(tip.substr(0, tip.find("\r\n")),
              "ann.dat\nID: ID-7\nName: Ann Example\nAge: 61  Sex: F\nComments:\nSecond session");
    EXPECT_NE(tip.find("\r\nTreatment at "), std::string::npos) << tip;
    EXPECT_EQ(patientTip(dir.file("notes.dat")), "File notes.dat is not a patient data file");
    EXPECT_EQ(patientTip(dir.file("missing.dat")), "File missing.dat is not a patient data file");
    // The tip reads quietly: the primary recording is untouched.
    EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 0u);
}

TEST(PatientForm, FillingTakesEveryFieldAndImportOnlyTheTickedOnes)
{
    testing_support::resetCore();
    data::PatientSet& stored = data::recordings.primary.patient;
    stored.text[data::patientId] = "A1";
    stored.text[data::patientName] = "Stored";
    data::recordings.importPatients.text[data::patientComments] = "left from an earlier import";
    PatientForm form;
    form.fill();
    EXPECT_EQ(form.text(data::patientComments), "");
    EXPECT_FALSE(form.anyChanged());
    data::recordings.secondary.patient.text[data::patientName] = "From File";
    data::recordings.secondary.patient.text[data::patientId] = "B2";
    form.importFromSecondary({false, true, false, false, false});
    EXPECT_EQ(form.text(data::patientName), "From File");
    EXPECT_EQ(form.text(data::patientId), "A1");
    EXPECT_TRUE(form.changed(data::patientName));
    EXPECT_FALSE(form.changed(data::patientId));
    form.type(data::patientAgeField, "4a2");  // digits only
    EXPECT_EQ(form.text(data::patientAgeField), "42");
    form.type(data::patientName, std::string(90, 'n'));  // held to 80
    EXPECT_EQ(form.text(data::patientName).size(), 80u);
    EXPECT_TRUE(form.store());
    EXPECT_EQ(stored.patientAge, 42);
    EXPECT_FALSE(form.anyChanged());
    EXPECT_FALSE(form.store());  // nothing left to store
}
