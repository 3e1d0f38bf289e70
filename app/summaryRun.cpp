#include "app/summaryRun.h"

#include <unistd.h>

#include <filesystem>

#include "state/startupState.h"
#include "data/dataFiles.h"
#include "report/reportPage.h"
#include "report/textExport.h"

namespace app {

using state::startup;
using state::StartupState;

namespace fs = std::filesystem;

std::string summaryOutputPath(const char* extension)
{
    const StartupState& s = startup;
    const std::string name = s.summaryName.empty() ? fs::path(s.dataFilePath).stem().string() + extension : s.summaryName;
    const std::string folder = s.summaryDir.empty() ? std::string(".") : s.summaryDir;
    return (fs::path(folder) / name).string();
}

bool summaryFolderWritable()
{
    std::error_code error;
    const std::string folder = startup.summaryDir.empty() ? std::string(".") : startup.summaryDir;
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

int runSummary()
{
    StartupState& s = startup;
    if (!data::openDataFile(nullptr, s.dataFilePath, false))
        return s.exitCode;
    if (!summaryFolderWritable())
        return 4;
    report::ReportPage page(false);
    page.layout(true);
    const report::DocumentText document{report::DocumentText::Kind::report, &page, nullptr};
    report::saveAsText(nullptr, summaryOutputPath(), document, &page);
    return s.exitCode;
}

}  // namespace app
