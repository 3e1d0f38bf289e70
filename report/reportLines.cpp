#include "report/reportLines.h"

#include "data/recording.h"
#include "data/reportText.h"

namespace report {

bool reportTextFlag(const data::Recording& rec)
{
    return (rec.contentFlags() & data::content::reportText) != 0;
}

bool hasReportText(const data::Recording& rec)
{
    return !rec.reportText.empty() && reportTextFlag(rec);
}

int reportLineCount(const data::Recording& rec)
{
    if (!hasReportText(rec))
        return kBuiltInLines;
    return 5 + static_cast<int>(data::reportTextLines(rec.reportText).size());
}

namespace {

void appendLimited(std::string& w, const std::string& part)
{
    if (w.size() < kWorkBufferMax)
        w.append(part, 0, kWorkBufferMax - w.size());
}

// A field right-aligned so that it ends at column 50 of the work buffer.
void appendColumnField(std::string& w, const std::string& field)
{
    const std::size_t width = w.size() < 50 ? 50 - w.size() : 0;
    if (field.size() < width)
        appendLimited(w, std::string(width - field.size(), ' '));
    appendLimited(w, field);
}

void appendField(std::string& w, const std::string& field, bool screen, bool marked)
{
    if (screen)
        appendLimited(w, marked ? field + '\b' : field);
    else if (marked)
        appendColumnField(w, field);
    else
        appendLimited(w, field);
}

}  // namespace

std::string convertCsvLine(const std::string& line, ReportRequest mode)
{
    const bool screen = modeOf(mode) == ReportMode::Screen;
    std::string w;
    bool p = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            appendLimited(w, line.substr(start, i - start));
            start = i + 1;
        } else if (line[i] == ',') {
            p = !p;
            std::string field = line.substr(start, i - start);
            if (!field.empty())
                appendField(w, field, screen, true);
            else if (screen)
                appendLimited(w, "\t\t\t\t\t");
            start = i + 1;
        }
    }
    if (start < line.size())
        appendField(w, line.substr(start), screen, p);
    if (w.size() > kConvertedLineMax)
        w.resize(kConvertedLineMax);
    return w;
}

std::string lineFromText(const std::string& wholeText, int k, ReportRequest request)
{
    const std::string_view text = data::reportTextInEffect(wholeText);
    std::size_t begin = 0;
    for (int n = 0;; ++n) {
        std::size_t cr = text.find('\r', begin);
        if (cr == std::string_view::npos)
            return std::string();
        if (n == k) {
            std::string line(text.substr(begin, cr - begin));
            if (line.empty() || modeOf(request) == ReportMode::Csv)
                return line;
            return convertCsvLine(line, request);
        }
        begin = cr + 1;
    }
}

std::string getReportLine(const ReportSource& source, const std::string& text, int index, ReportRequest request)
{
    const int n = reportLineCount(source.rec);
    if (index == 0)
        return reportLineBuilders[0](source, request);
    if (index == 1)
        return reportLineBuilders[1](source, request);
    if (index == n - 3)
        return reportLineBuilders[26](source, request);
    if (index == n - 2)
        return reportLineBuilders[27](source, request);
    if (index == n - 1)
        return reportLineBuilders[28](source, request);
    return lineFromText(text, index - 2, request);
}

std::string reportLine(const ReportSource& source, int index, ReportRequest request)
{
    const data::Recording& rec = source.rec;
    if (hasReportText(rec))
        return index >= 0 && index < reportLineCount(rec) ? getReportLine(source, rec.reportText, index, request)
                                                           : std::string();
    return index >= 0 && index < kBuiltInLines ? reportLineBuilders[index](source, request) : std::string();
}

}  // namespace report
