#include <gtest/gtest.h>

#include "course/courseScan.h"
#include "course/courseTable.h"
#include "course/courseText.h"
#include "support/courseFiles.h"
#include "support/sampleRecording.h"

namespace {

using testing_support::Treatment;
using testing_support::on;

// The expected rows, written by hand from the header values of the test course.
std::string expectedCsv(const testing_support::CourseFolder& f)
{
    const std::string common = "LOWEST CHARGE RATE,50,";
    auto row = [&](const char* treatment, const char* date, const char* time, const char* file, const std::string& rest) {
        return std::string("P-100,") + treatment + "," + date + "," + time + "," + f.dir.file(file) + "," + common + rest +
               "\r\n";
    };
    return std::string(
               "patient_id,treatment,date,time,file,program,energy_set_percent,charge_mC,current_A,pulse_width_ms,"
               "frequency_Hz,stimulus_duration_s,static_impedance_ohm,dynamic_impedance_ohm,eeg_endpoint_s,"
               "emg_endpoint_s,ecg_endpoint_s,base_hr_bpm,peak_hr_bpm,seizure_energy_index,"
               "postictal_suppression_percent,seizure_generalization_percent,max_sustained_power_uV2,"
               "max_sustained_coherence_percent,days_since_previous,charge_change_percent,flags\r\n") +
           row("1", "2026-01-05", "09:00:00", "t1.dat", "100.0,0.90,0.50,60,4.0,1500,250,38,32,,70,120,0.000,,91,0.0,0.0,,,") +
           row("2", "2026-01-08", "09:00:00", "t2.dat", "100.0,0.90,0.50,60,4.0,1500,250,38,32,,70,120,0.000,,91,0.0,0.0,3,+0.0,") +
           row("3a", "2026-01-12", "09:00:00", "t3a.dat", "100.0,0.90,0.50,60,4.0,1500,250,,32,,70,120,,,,0.0,0.0,4,+0.0,MISSED") +
           row("3b", "2026-01-12", "09:20:00", "t3b.dat",
               "150.0,0.90,0.50,60,4.0,1500,250,20,32,,70,120,0.000,,78,0.0,0.0,0,+50.0,RESTIM DOSE-UP") +
           row("4", "2026-03-14", "09:00:00", "t4.dat",
               "150.0,0.90,0.50,60,4.0,1500,250,19,32,,70,120,0.000,,75,0.0,0.0,61,+0.0,SHORT-EEG GAP") +
           row("5", "2026-05-13", "09:00:00", "t5.dat",
               "170.0,0.90,0.50,60,4.0,1500,250,19,13,,70,120,0.000,,80,0.0,0.0,60,+13.3,"
               "SHORT-EEG SHORT-EMG DOSE-UP AFTER-DOSE-UP") +
           row("6", "2026-05-15", "09:00:00", "t6.edt", "170.0,0.90,0.50,60,4.0,1500,250,51,,,,,0.000,,,0.0,0.0,2,+0.0,") +
           row("7", "2026-05-18", "09:00:00", "t7.dat",
               "160.0,0.90,0.50,60,4.0,1500,250,45,30,,72,118,,80.5,,,90.0,3,-5.9,DOSE-DOWN") +
           row("8", "2026-05-20", "09:00:00", "t8.dat",
               "160.0,0.90,0.50,60,4.0,1500,250,128,32,,70,120,0.000,,40,0.0,0.0,2,+0.0,PROLONGED") +
           row("9", "2026-05-22", "09:00:00", "t9.dat",
               "160.0,0.90,0.50,60,4.0,1500,250,38,32,,70,120,0.000,,91,0.0,0.0,2,+0.0,INTERRUPTED");
}

course::ScanResult scanFolder(const testing_support::CourseFolder& f)
{
    std::vector<std::string> unopened;
    const auto files = course::filesUnder({f.dir.path().string()}, false, unopened);
    EXPECT_TRUE(unopened.empty());
    return course::scanFiles(files);
}

TEST(Course, TheTestCourseGivesTheRowsWrittenFromItsHeaders)
{
    const testing_support::CourseFolder f;
    const course::ScanResult scan = scanFolder(f);
    const course::Course c = course::buildCourse(course::recordingsOfPatient(scan.recordings, " p-100 "), {});
    EXPECT_EQ(course::courseCsv(c), expectedCsv(f));
    ASSERT_EQ(c.excluded.size(), 1u);
    EXPECT_EQ(c.excluded[0], f.dir.file("m1.mon"));
    ASSERT_EQ(scan.skipped.size(), 2u);
    EXPECT_EQ(scan.skipped[0].path, f.dir.file("broken.dat"));
    EXPECT_EQ(scan.skipped[1].path, f.dir.file("notes.txt"));
}

TEST(Course, PatientsAreFoundByIdAndNeverMerged)
{
    const testing_support::CourseFolder f;
    const course::ScanResult scan = scanFolder(f);
    const auto patients = course::patientsAmong(scan.recordings);
    ASSERT_EQ(patients.size(), 2u);
    EXPECT_EQ(patients[0].id, "P-100");
    EXPECT_EQ(patients[0].recordings, 10);
    EXPECT_EQ(patients[0].first.isoDate(), "2026-01-05");
    EXPECT_EQ(patients[0].last.isoDate(), "2026-05-22");
    EXPECT_EQ(patients[1].id, "Q-200");
    EXPECT_EQ(patients[1].recordings, 2);
    EXPECT_TRUE(course::recordingsOfPatient(scan.recordings, "").empty());
    EXPECT_TRUE(course::recordingsOfPatient(scan.recordings, "P-10").empty());
}

TEST(Course, ANameTakesFilesWithoutIdWithAWarningButNeverTwoIds)
{
    testing_support::TempDir dir;
    Treatment a = on(1, 5, 1000, 30);
    testing_support::writeTreatment(dir.file("a.dat"), a);
    Treatment noId = on(1, 9, 1000, 30);
    noId.id = "";
    noId.name = "  ann EXAMPLE ";
    testing_support::writeTreatment(dir.file("b.dat"), noId);
    std::vector<std::string> unopened;
    const auto scan = course::scanFiles(course::filesUnder({dir.path().string()}, false, unopened));
    EXPECT_EQ(course::recordingsOfPatient(scan.recordings, "P-100").size(), 1u);
    std::vector<std::string> warnings;
    std::string problem;
    const auto named = course::recordingsNamed(scan.recordings, "Ann Example", warnings, problem);
    EXPECT_EQ(named.size(), 2u);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find(dir.file("b.dat")), std::string::npos);
    EXPECT_TRUE(problem.empty());

    Treatment twin = on(1, 12, 1000, 30);
    twin.id = "P-999";
    testing_support::writeTreatment(dir.file("c.dat"), twin);
    const auto again = course::scanFiles(course::filesUnder({dir.path().string()}, false, unopened));
    warnings.clear();
    EXPECT_TRUE(course::recordingsNamed(again.recordings, "ann example", warnings, problem).empty());
    EXPECT_NE(problem.find("P-999"), std::string::npos);
}

TEST(Course, YearsBelow96AreThisCenturyAndLimitsAreTheirOptions)
{
    testing_support::TempDir dir;
    Treatment old = on(12, 30, 1000, 30);
    old.year = 99;
    testing_support::writeTreatment(dir.file("old.dat"), old);
    Treatment next = on(1, 2, 1060, 15);
    next.year = 0;
    testing_support::writeTreatment(dir.file("next.dat"), next);
    std::vector<std::string> unopened;
    const auto scan = course::scanFiles(course::filesUnder({dir.path().string()}, false, unopened));
    course::FlagLimits limits;
    limits.shortEeg = 18;
    limits.doseStep = 7;
    limits.gapDays = 2;
    const course::Course c = course::buildCourse(scan.recordings, limits);
    ASSERT_EQ(c.rows.size(), 2u);
    EXPECT_EQ(c.rows[0].rec.when.isoDate(), "1999-12-30");
    EXPECT_EQ(c.rows[1].rec.when.isoDate(), "2000-01-02");
    EXPECT_EQ(*c.rows[1].daysSincePrevious, 3);
    // 19 s is not below 18 s, +6 % is under a step of 7 %, 3 days are more than 2.
    EXPECT_EQ(course::flagWords(c.rows[1].flags), "GAP");
}

TEST(Course, CsvCellsAreQuotedOnlyWhenTheyMustBe)
{
    testing_support::TempDir dir;
    Treatment t = on(1, 5, 1000, 30);
    t.id = "P,\"7\"";
    testing_support::writeTreatment(dir.file("a,b.dat"), t);
    std::vector<std::string> unopened;
    const auto scan = course::scanFiles(course::filesUnder({dir.path().string()}, false, unopened));
    const std::string csv = course::courseCsv(course::buildCourse(scan.recordings, {}));
    EXPECT_NE(csv.find("\r\n\"P,\"\"7\"\"\",1,2026-01-05,09:00:00,\"" + dir.file("a,b.dat") + "\",LOWEST CHARGE RATE,"),
              std::string::npos)
        << csv;
}

}  // namespace
