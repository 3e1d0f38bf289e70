// ozmar /printpdf: the Report window's pages as a PDF, read back with
// poppler's pdftotext and pdfinfo against /summary of the same options.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>

#include "support/processRunner.h"
#include "support/sampleRecording.h"

using namespace testing_support;

namespace {

std::string squeezed(const std::string& text)
{
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

// The summary's text from Windows-1252 to UTF-8 (µ and ² are the only marks it uses).
std::string utf8(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace

TEST(PrintPdf, HoldsEveryReportAndAnalysisLineOfTheSummaryInOrder)
{
#ifndef OZMAR_HAS_DESKTOP
    GTEST_SKIP() << "this build has no desktop program";
#endif
    if (runCommand("command -v pdftotext").status != 0)
        GTEST_SKIP() << "poppler-utils (pdftotext) is not installed";
    TempDir dir;
    const std::string ozmar = OZMAR_PATH;
    ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("rec.dat") + " --seconds 90 --report-text").status, 0);
    for (const std::string options : {"/rbands", "/rall", "/rnoinfo /rspectrum"}) {
        ASSERT_EQ(runCommand("cd " + dir.path().string() + " && " + ozmar + " /printpdf " + options + " rec.dat out.pdf").status, 0);
        ASSERT_EQ(runCommand(ozmar + " /summary " + options + " " + dir.file("rec.dat") + " " + dir.file("out.txt")).status, 0);
        const std::string pdf = squeezed(runCommand("pdftotext -layout " + dir.file("out.pdf") + " -").out);
        const auto bytes = fileBytes(dir.file("out.txt"));
        std::istringstream summary(utf8(std::string(bytes.begin(), bytes.end())));
        std::size_t at = 0;
        int checked = 0;
        for (std::string line; std::getline(summary, line);) {
            if (line.rfind("Raw Data", 0) == 0)
                break;  // the raw samples are the trace rows on paper
            line = squeezed(line);
            if (line.find_first_not_of(' ') == std::string::npos)
                continue;
            line = line.substr(line.find_first_not_of(' '));
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            const std::size_t found = pdf.find(line, at);
            ASSERT_NE(found, std::string::npos) << options << ": " << line;
            at = found + line.size();
            ++checked;
        }
        EXPECT_GT(checked, 20) << options;
    }
    // The trace rows are on the pages: more than one page with /rall.
    ASSERT_EQ(runCommand("cd " + dir.path().string() + " && " + ozmar + " /printpdf /rall rec.dat all.pdf").status, 0);
    EXPECT_GT(std::stoi(runCommand("pdfinfo " + dir.file("all.pdf") + " | sed -n 's/^Pages: *//p'").out), 1);
}

TEST(PrintPdf, ExitCodesAsTheSummary)
{
#ifndef OZMAR_HAS_DESKTOP
    GTEST_SKIP() << "this build has no desktop program";
#endif
    TempDir dir;
    const std::string ozmar = OZMAR_PATH;
    ASSERT_EQ(runCommand(std::string(CORVANE_SIM_PATH) + " write " + dir.file("rec.dat") + " --seconds 20").status, 0);
    EXPECT_EQ(runCommand(ozmar + " /printpdf " + dir.file("missing.dat") + " " + dir.file("x.pdf")).status, 2);
    writeBytes(dir.file("junk.dat"), {1, 2, 3, 4, 5});
    EXPECT_EQ(runCommand(ozmar + " /printpdf " + dir.file("junk.dat") + " " + dir.file("x.pdf")).status, 3);
    EXPECT_EQ(runCommand(ozmar + " /printpdf " + dir.file("rec.dat") + " " + dir.file("no/such/x.pdf")).status, 4);
    // Without an output: the data file's name with .pdf in the current folder.
    ASSERT_EQ(runCommand("cd " + dir.path().string() + " && " + ozmar + " /printpdf rec.dat").status, 0);
    EXPECT_FALSE(fileBytes(dir.file("rec.pdf")).empty());
}
