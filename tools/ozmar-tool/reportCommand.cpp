#include <cstdio>
#include <memory>
#include <string>

#include "data/loadedRecording.h"
#include "platform/textEncoding.h"
#include "report/markedText.h"
#include "report/reportLines.h"
#include "toolCommon.h"

namespace tool {

int reportCommand(const Args& args)
{
    std::string path, form = "screen";
    bool secondary = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--form" && i + 1 < args.size())
            form = args[++i];
        else if (args[i] == "--secondary")
            secondary = true;
        else if (path.empty() && args[i].rfind("--", 0) != 0)
            path = args[i];
        else
            return fail(kUsage, "usage: ozmar-tool report FILE [--form screen|csv|columns] [--secondary]");
    }
    report::ReportRequest mode = form == "csv" ? report::ReportMode::Csv
                                 : form == "columns" ? report::ReportMode::Columns
                                                     : report::ReportMode::Screen;
    if (path.empty() || (form != "csv" && form != "columns" && form != "screen"))
        return fail(kUsage, "usage: ozmar-tool report FILE [--form screen|csv|columns] [--secondary]");
    // --secondary reads the file as one opened beside the program's recording.
    auto own = std::make_unique<data::LoadedRecording>();
    if (const int status = loadOwnFile(path, *own, secondary); status != kSuccess)
        return status;
    data::Recording& rec = own->rec;
    const report::ReportSource source{rec, own->seizure};
    const int count = report::reportLineCount(rec);
    for (int i = 0; i < count; ++i) {
        const std::string line = report::reportLine(source, i, mode);
        if (line.empty())
            continue;
        // The CSV form keeps the program's bytes; the others are for reading in a terminal.
        if (mode == report::ReportMode::Csv)
            std::printf("%s\n", line.c_str());
        else
            std::printf("%s\n", platform::windows1252ToUtf8(mode == report::ReportMode::Screen
                                                                ? report::markedTextInColumns(line)
                                                                : line).c_str());
    }
    return kSuccess;
}

}  // namespace tool
