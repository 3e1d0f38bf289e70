#pragma once

#include <string>

namespace report {
class ReportWindow;
}

namespace app {

// The unattended /printpdf run: the Report window's pages of a data file, as
// Print lays them out on the default page, written as a PDF with no window
// shown. Exit codes as /summary: 0 done, 2 the data file cannot be opened, 3
// not a data file, 4 the output folder is missing, 5 the PDF could not be
// written.
int runPrintPdf(int argc, char** argv);

// Writes the pages of the Report window `window` shows as a PDF at `path`
// (by way of a temporary file); the pages written in `pages`. False when the
// PDF could not be written.
bool writeReportPdf(const report::ReportWindow& window, const std::string& path, int* pages = nullptr);

}  // namespace app
