// The course scan reads files on every core: what it finds, and in which
// order, is what reading them one after another finds; a cancel stops it.
#include <gtest/gtest.h>

#include <memory>

#include "course/courseScan.h"
#include "course/courseTable.h"
#include "course/courseText.h"
#include "data/loadedRecording.h"
#include "support/courseFiles.h"

namespace {

std::vector<std::string> clinicFiles(testing_support::TempDir& dir, int count)
{
    std::vector<std::string> files;
    for (int k = 0; k < count; ++k) {
        testing_support::Treatment t = testing_support::on(1 + k % 12, 1 + k % 28, 1000 + 10 * k, 10 + k % 40, k % 30);
        t.id = "P-" + std::to_string(k % 5);
        t.fourChannels = k % 7 == 0;
        t.samples = k % 3 == 0 ? 2000 : 0;
        files.push_back(dir.file("r" + std::to_string(100 + k) + ".dat"));
        testing_support::writeTreatment(files.back(), t);
    }
    return files;
}

}  // namespace

TEST(CourseScan, ReadingOnEveryCoreFindsWhatOneAfterAnotherFinds)
{
    testing_support::TempDir dir;
    const std::vector<std::string> files = clinicFiles(dir, 40);
    const course::ScanResult scan = course::scanFiles(files);
    ASSERT_EQ(scan.recordings.size(), files.size());
    auto own = std::make_unique<data::LoadedRecording>();
    for (std::size_t i = 0; i < files.size(); ++i) {
        ASSERT_EQ(data::loadRecording(files[i], *own, data::ReadScope::whole), data::LoadResult::loaded);
        const course::CourseRecording alone = course::courseRecordingOf(*own, files[i]);
        EXPECT_EQ(scan.recordings[i].path, alone.path);
        EXPECT_EQ(scan.recordings[i].values, alone.values) << files[i];
        EXPECT_EQ(scan.recordings[i].patientId, alone.patientId);
    }
    for (const char* id : {"P-0", "P-3"}) {
        std::vector<course::CourseRecording> one;
        for (const std::string& f : files) {
            data::loadRecording(f, *own, data::ReadScope::summary);
            if (own->rec.patient.text[data::patientId] == id)
                one.push_back(course::courseRecordingOf(*own, f));
        }
        EXPECT_EQ(course::courseCsv(course::buildCourse(course::recordingsOfPatient(scan.recordings, id), {})),
                  course::courseCsv(course::buildCourse(one, {})));
    }
}

TEST(CourseScan, ACancelStopsTheScanWithWhatWasReadSoFar)
{
    testing_support::TempDir dir;
    const std::vector<std::string> files = clinicFiles(dir, 30);
    std::size_t calls = 0;
    const course::ScanResult scan = course::scanFiles(files, [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(done, ++calls);
        EXPECT_EQ(total, files.size());
        return done < 5;
    });
    EXPECT_TRUE(scan.cancelled);
    ASSERT_EQ(scan.recordings.size(), 5u);
    EXPECT_EQ(scan.recordings[4].path, files[4]);
}
