#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/courseFiles.h"
#include "support/processRunner.h"

using namespace testing_support;

namespace {



// The fields of one CSV line (RFC 4180).
std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (quoted && line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"')
            out.back() += line[++i];
        else if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ',' && !quoted)
            out.emplace_back();
        else
            out.back() += line[i];
    }
    return out;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        out.push_back(text.substr(at, end - at - (end > at && text[end - 1] == '\r')));
    return out;
}

// How many pixels of `colour` lie in a rectangle of an image, counted by ImageMagick.
long pixelsOf(const std::string& image, const std::string& crop, const std::string& colour)
{
    const ProcessResult r = runCommand("convert " + image + " -crop " + crop + " +repage -fuzz 10% -fill white +opaque '" +
                                       colour + "' -fill black -opaque '" + colour + "' -format '%[fx:(1-mean)*w*h]' info:");
    return r.status == 0 ? std::lround(std::stod(r.out)) : -1;
}

class CourseTool : public ::testing::Test {
protected:
    CourseFolder course;
    std::string folder() const { return course.dir.path().string(); }
};

}  // namespace

TEST_F(CourseTool, ListsPatientsAndWritesTheCourseCsvAndColumns)
{
    ProcessResult r = runTool("course " + folder());
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "P-100\tAnn Example\t10\t2026-01-05\t2026-05-22\nQ-200\tBo Other\t2\t2026-02-01\t2026-02-04\n");

    const std::string err = course.dir.file("err.txt"), csv = course.dir.file("out/p.csv");
    std::filesystem::create_directory(course.dir.file("out"));
    r = runTool("course " + folder() + " --patient p-100 --csv " + csv, err);
    ASSERT_EQ(r.status, 0);
    const std::string messages = fileText(err);
    EXPECT_NE(messages.find("broken.dat: skipped"), std::string::npos) << messages;
    EXPECT_NE(messages.find("notes.txt: skipped"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("q1.dat"), std::string::npos) << messages;
    EXPECT_NE(r.out.find("  3b  2026-01-12  09:20:00"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("SHORT-EEG SHORT-EMG DOSE-UP AFTER-DOSE-UP"), std::string::npos);
    EXPECT_NE(r.out.find("excluded (monitoring): " + course.dir.file("m1.mon")), std::string::npos);
    const auto rows = lines(fileText(csv));
    ASSERT_EQ(rows.size(), 11u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(fields(rows[i])[0], "P-100");
}

TEST_F(CourseTool, EveryValueIsTheNumberOfTheFilesReport)
{
    const std::string csv = course.dir.file("p.csv");
    ASSERT_EQ(runTool("course " + folder() + " --patient P-100 --csv " + csv).status, 0);
    const auto rows = lines(fileText(csv));
    const std::vector<std::string> head = fields(rows[0]);
    const std::map<std::string, std::string> labels = {
        {"energy_set_percent", "% Energy Set"}, {"charge_mC", "Charge Delivered"}, {"current_A", "Current"},
        {"pulse_width_ms", "Pulse Width"}, {"frequency_Hz", "Frequency"}, {"stimulus_duration_s", "Stimulus Duration"},
        {"static_impedance_ohm", "Static Impedance"}, {"dynamic_impedance_ohm", "Dynamic Impedance"},
        {"eeg_endpoint_s", "EEG Endpoint"}, {"emg_endpoint_s", "EMG Endpoint"}, {"ecg_endpoint_s", "ECG Endpoint"},
        {"base_hr_bpm", "Base Heart Rate"}, {"peak_hr_bpm", "Peak Heart Rate"},
        {"seizure_energy_index", "Seizure Energy Index"}, {"postictal_suppression_percent", "Postictal Suppression Index"},
        {"seizure_generalization_percent", "Seizure Generalization Index"},
        {"max_sustained_power_uV2", "Maximum Sustained Power"},
        {"max_sustained_coherence_percent", "Maximum Sustained Coherence"}};
    int compared = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string> row = fields(rows[i]);
        const std::string file = row[4];
        std::map<std::string, std::string> report;
        for (const std::string& line : lines(runTool("report " + file + " --form csv").out)) {
            std::vector<std::string> f = fields(line);
            if (f[0] == "Average Seizure Energy Index")
                f[0] = "Seizure Energy Index";
            if (f.size() >= 2)
                report[f[0]] = f[1].rfind("N/A", 0) == 0 ? "" : f[1];
        }
        for (std::size_t c = 0; c < head.size(); ++c) {
            const auto label = labels.find(head[c]);
            if (label == labels.end())
                continue;
            const auto shown = report.find(label->second);
            EXPECT_EQ(row[c], shown == report.end() ? "" : shown->second) << file << " " << head[c];
            compared += !row[c].empty();
        }
    }
    EXPECT_GT(compared, 120);
}

TEST_F(CourseTool, ExitCodesAndMessages)
{
    const std::string err = course.dir.file("err.txt");
    EXPECT_EQ(runTool("course").status, 1);
    EXPECT_EQ(runTool("course " + folder() + " --patient A --name B").status, 1);
    EXPECT_EQ(runTool("course " + folder() + " --gap many").status, 1);
    EXPECT_EQ(runTool("course " + folder() + " --csv " + course.dir.file("all.csv")).status, 1);
    EXPECT_EQ(runTool("course " + course.dir.file("nowhere") + " --patient P-100", err).status, 2);
    EXPECT_EQ(runTool("course " + folder() + " --patient X-1", err).status, 6);
    EXPECT_NE(fileText(err).find("No recording of patient X-1"), std::string::npos);
    EXPECT_EQ(runTool("course " + folder() + " --patient P-100 --plot " + course.dir.file("p.svg")).status, 1);
    // A file given by name is read as well as a folder's.
    const ProcessResult one = runTool("course " + course.dir.file("t1.dat") + " " + course.dir.file("q1.dat"));
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, "P-100\tAnn Example\t1\t2026-01-05\t2026-01-05\nQ-200\tBo Other\t1\t2026-02-01\t2026-02-01\n");
}

TEST_F(CourseTool, RecursiveFindsSubfoldersAndANameFindsFilesWithoutId)
{
    const std::string sub = course.dir.file("older");
    std::filesystem::create_directory(sub);
    Treatment noId = on(1, 2, 1000, 30);
    noId.id = "";
    writeTreatment(sub + "/t0.dat", noId);
    EXPECT_NE(runTool("course " + folder() + " --patient P-100").out.find(" 1  2026-01-05"), std::string::npos);
    const std::string err = course.dir.file("err.txt");
    const ProcessResult r = runTool("course " + folder() + " --recursive --name 'ann example'", err);
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(" 1  2026-01-02"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" 2  2026-01-05"), std::string::npos) << r.out;
    EXPECT_NE(fileText(err).find("warning: " + sub + "/t0.dat: no patient ID"), std::string::npos) << fileText(err);
}

TEST_F(CourseTool, ThePlotHasOnePanelPerMeasureWithTrendLines)
{
#ifndef OZMAR_HAS_DESKTOP
    GTEST_SKIP() << "this ozmar-tool was built without plotting";
#endif
    if (runCommand("command -v convert").status != 0 || runCommand("command -v pdftoppm").status != 0)
        GTEST_SKIP() << "ImageMagick or poppler-utils is not installed";
    const std::string png = course.dir.file("p.png"), pdf = course.dir.file("p.pdf");
    ASSERT_EQ(runTool("course " + folder() + " --patient P-100 --plot " + png).status, 0);
    ASSERT_EQ(runTool("course " + folder() + " --patient P-100 --plot " + pdf).status, 0);
    EXPECT_EQ(runCommand("identify -format '%m %wx%h' " + png).out, "PNG 1600x1000");
    EXPECT_NE(runCommand("pdfinfo " + pdf).out.find("842 x 595 pts (A4)"), std::string::npos);
    ASSERT_EQ(runCommand("pdftoppm -r 72 -singlefile -png " + pdf + " " + course.dir.file("page")).status, 0);
    EXPECT_EQ(runCommand("identify -format '%wx%h' " + course.dir.file("page.png")).out, "842x595");
    // Six cells of two columns and three rows: each holds its values and the
    // marks of flagged treatments, and a trend line where it has two values or
    // more (the postictal suppression, panel 2, has one: only t7 has it).
    struct Picture {
        std::string file;
        double width, height, top;
    };
    for (const Picture& p : {Picture{png, 1600, 1000, 50}, Picture{course.dir.file("page.png"), 842, 595, 40}}) {
        const double w = p.width / 2, h = (p.height - p.top) / 3;
        for (int k = 0; k < 6; ++k) {
            const std::string crop = std::to_string(static_cast<int>(w) - 4) + "x" + std::to_string(static_cast<int>(h) - 4) + "+" +
                                     std::to_string(static_cast<int>((k % 2) * w + 2)) + "+" +
                                     std::to_string(static_cast<int>(p.top + (k / 2) * h + 2));
            const long trend = pixelsOf(p.file, crop, "#009628");
            if (k == 2)
                EXPECT_EQ(trend, 0) << p.file;
            else
                EXPECT_GT(trend, 20) << p.file << " panel " << k << " trend";
            EXPECT_GE(pixelsOf(p.file, crop, "#005aaa"), 3) << p.file << " panel " << k << " values";
            EXPECT_GT(pixelsOf(p.file, crop, "#d20000"), 10) << p.file << " panel " << k << " flags";
        }
    }
}
