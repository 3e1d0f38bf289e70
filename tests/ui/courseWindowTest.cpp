// File > Treatment Course... offscreen: the Course window of the open
// recording's patient, its table and marks, its exports and printing, and a
// row's recording opened in the frame with the save prompt first.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTableWidget>
#include <filesystem>

#include "app/documentState.h"
#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "course/courseText.h"
#include "course/courseWindow.h"
#include "platform/commandIds.h"
#include "support/courseFiles.h"
#include "support/processRunner.h"
#include "ui/desktopReset.h"

namespace {

course::CourseWindow* courseWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* c = dynamic_cast<course::CourseWindow*>(w); c && c->isVisible())
            return c;
    return nullptr;
}


class CourseWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing_support::resetDesktop(responder);
        frame = std::make_unique<app::FrameWindow>();
        frame->show();
        app::FrameEffects none{[] {}, [](bool) {}, [] {}, [] {}, [] {}};
        ASSERT_TRUE(app::openPath(frame.get(), course.dir.file("t5.dat"), none));
    }
    void TearDown() override
    {
        frame.reset();
        platform::dialogs.reset();
        testing_support::resetCore();
    }
    platform::ScriptedResponder responder;
    testing_support::CourseFolder course;
    std::unique_ptr<app::FrameWindow> frame;
};

}  // namespace

TEST_F(CourseWindowTest, ShowsThePatientsCourseWithFlaggedCellsMarked)
{
    frame->onCommand(cmd::treatmentCourse, 0, 0);
    course::CourseWindow* w = courseWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Treatment Course - P-100");
    QTableWidget& table = w->table();
    ASSERT_EQ(table.rowCount(), 10);
    EXPECT_EQ(table.item(3, 0)->text(), "3b");
    EXPECT_EQ(table.item(2, 4)->text(), "missed");
    // Row 5 (treatment 5): a short EEG and EMG seizure after a dose increase.
    const QColor plain = table.item(0, 4)->background().color();
    EXPECT_NE(table.item(5, 4)->background().color(), plain);
    EXPECT_NE(table.item(5, 5)->background().color(), plain);
    EXPECT_NE(table.item(5, 12)->background().color(), plain);
    EXPECT_EQ(table.item(5, 3)->background().color(), plain);
    EXPECT_EQ(table.item(5, 13)->text(), "SHORT-EEG SHORT-EMG DOSE-UP AFTER-DOSE-UP");
    EXPECT_EQ(table.item(4, 11)->toolTip(), "GAP");

    // Subfolders are searched on request.
    std::filesystem::create_directory(course.dir.file("older"));
    testing_support::writeTreatment(course.dir.file("older/t0.dat"), testing_support::on(1, 1, 900, 30));
    w->setRecursive(true);
    EXPECT_EQ(w->table().rowCount(), 11);
    EXPECT_EQ(w->table().item(0, 1)->text(), "2026-01-01");

    // Another folder, chosen by a file in it: its own recordings of the patient.
    responder.fileAnswers = {course.dir.file("older/t0.dat")};
    w->changeFolder();
    EXPECT_EQ(w->query().folder, course.dir.file("older"));
    EXPECT_EQ(w->table().rowCount(), 1);
}

TEST_F(CourseWindowTest, SavesTheCsvAndThePngAndPrintsPanelsAndTable)
{
    frame->onCommand(cmd::treatmentCourse, 0, 0);
    course::CourseWindow* w = courseWindow();
    ASSERT_NE(w, nullptr);
    const std::string csv = course.dir.file("course.csv"), png = course.dir.file("course.png");
    const std::string pdf = course.dir.file("course.pdf");
    responder.fileAnswers = {csv, png};
    w->saveAsText();
    w->saveAsImage();
    EXPECT_EQ(testing_support::fileText(csv), course::courseCsv(w->course()));
    EXPECT_EQ(responder.fileRequests.at(0).name, "course-P_100.csv");
    QImage image(QString::fromStdString(png));
    ASSERT_EQ(image.size(), QSize(1600, 1000));
    int coloured = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            coloured += image.pixelColor(x, y) == QColor(0, 150, 60);
    EXPECT_GT(coloured, 100);

    platform::PrintRequest::Choice toFile;
    toFile.printToFile = true;
    toFile.fileName = pdf;
    responder.printAnswers = {toFile};
    w->print();
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_NE(testing_support::runCommand("pdfinfo " + pdf).out.find("Pages:           2"), std::string::npos);
    const std::string text = testing_support::runCommand("pdftotext -layout " + pdf + " -").out;
    EXPECT_NE(text.find("EEG endpoint"), std::string::npos) << text;
    EXPECT_NE(text.find("SHORT-EEG SHORT-EMG DOSE-UP AFTER-DOSE-UP"), std::string::npos) << text;
}

TEST_F(CourseWindowTest, ARowOpensItsRecordingAfterTheSavePrompt)
{
    frame->onCommand(cmd::treatmentCourse, 0, 0);
    course::CourseWindow* w = courseWindow();
    ASSERT_NE(w, nullptr);
    app::document.patientInfoModified = true;
    responder.answers = {platform::IDCANCEL};
    w->openRow(1);
    EXPECT_EQ(app::document.currentFilePath, course.dir.file("t5.dat"));
    ASSERT_EQ(responder.shown.size(), 1u);
    responder.answers = {platform::IDNO};
    w->openRow(1);
    EXPECT_EQ(app::document.currentFilePath, course.dir.file("t2.dat"));
    EXPECT_FALSE(app::document.patientInfoModified);
}
