// ozmar-tool course: a patient's treatments side by side, from the data files
// of folders, with the flags of the treatment course, as a table, CSV or plot.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "course/courseScan.h"
#include "course/courseTable.h"
#include "course/courseText.h"
#include "data/safeFile.h"
#include "platform/textEncoding.h"
#include "toolCommon.h"
#ifdef OZMAR_TOOL_PLOT
#include "course/coursePlotFile.h"
#endif

namespace tool {

namespace {

const char kCourseUsage[] =
    "usage: ozmar-tool course PATH... [--recursive] [--patient ID | --name TEXT] [--csv OUT.csv]\n"
    "                         [--plot OUT.png|OUT.pdf] [--short-eeg S] [--short-emg S] [--prolonged S]\n"
    "                         [--gap DAYS] [--dose-step PERCENT]";
constexpr int kNoRecording = 6;

struct CourseArgs {
    std::vector<std::string> paths;
    bool recursive = false;
    std::string patient, name, csv, plot;
    course::FlagLimits limits;
};

// A number option's value; false when it is no number of the allowed range.
bool numberArg(const std::string& text, double& out)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0) || value > 1e6)
        return false;
    out = value;
    return true;
}

bool parse(const Args& args, CourseArgs& c)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool valued = i + 1 < args.size();
        double gapDays = 0;
        if (a == "--recursive")
            c.recursive = true;
        else if (a == "--patient" && valued)
            c.patient = args[++i];
        else if (a == "--name" && valued)
            c.name = args[++i];
        else if (a == "--csv" && valued)
            c.csv = args[++i];
        else if (a == "--plot" && valued)
            c.plot = args[++i];
        else if (a == "--short-eeg" && valued) {
            if (!numberArg(args[++i], c.limits.shortEeg))
                return false;
        } else if (a == "--short-emg" && valued) {
            if (!numberArg(args[++i], c.limits.shortEmg))
                return false;
        } else if (a == "--prolonged" && valued) {
            if (!numberArg(args[++i], c.limits.prolonged))
                return false;
        } else if (a == "--gap" && valued) {
            if (!numberArg(args[++i], gapDays))
                return false;
            c.limits.gapDays = static_cast<int>(gapDays);
        } else if (a == "--dose-step" && valued) {
            if (!numberArg(args[++i], c.limits.doseStep))
                return false;
        } else if (a.rfind("--", 0) == 0)
            return false;
        else
            c.paths.push_back(a);
    }
    // The table, its CSV and plot are of one patient: they need --patient or --name (one of them).
    const bool onePatient = !c.patient.empty() || !c.name.empty();
    return !c.paths.empty() && (c.patient.empty() || c.name.empty()) && (onePatient || (c.csv.empty() && c.plot.empty()));
}

int listPatients(const std::vector<course::CourseRecording>& recordings)
{
    const std::vector<course::PatientEntry> patients = course::patientsAmong(recordings);
    for (const course::PatientEntry& p : patients)
        std::printf("%s\t%s\t%d\t%s\t%s\n", platform::windows1252ToUtf8(p.id).c_str(),
                    platform::windows1252ToUtf8(p.name).c_str(), p.recordings, p.first.isoDate().c_str(),
                    p.last.isoDate().c_str());
    int withoutId = 0;
    for (const course::CourseRecording& r : recordings)
        withoutId += r.patientId.empty() && r.kind != course::Kind::monitoring;
    if (withoutId > 0)
        std::fprintf(stderr, "ozmar-tool: %d recording%s without a patient ID (ask for them with --name)\n", withoutId,
                     withoutId == 1 ? "" : "s");
    return patients.empty() ? fail(kNoRecording, "No recording of any patient") : kSuccess;
}

int writeOutputs(const CourseArgs& c, const course::Course& course)
{
    std::fputs(course::courseColumns(course).c_str(), stdout);
    const std::string csv = course::courseCsv(course);
    if (!c.csv.empty() && !data::writeWholeFile(c.csv, csv.data(), csv.size()))
        return fail(kCannotOpen, "could not write \"" + c.csv + "\"");
    if (!c.plot.empty()) {
#ifdef OZMAR_TOOL_PLOT
        if (const std::string problem = course::writeCoursePlot(course, c.plot); !problem.empty())
            return fail(problem == course::kUnknownPlotKind ? kUsage : kCannotOpen, problem);
#else
        return fail(kUsage, "this ozmar-tool was built without plotting");
#endif
    }
    return kSuccess;
}

}  // namespace

int scanPaths(const std::vector<std::string>& paths, bool recursive, course::ScanResult& scan)
{
    std::vector<std::string> unopened;
    const std::vector<std::string> files = course::filesUnder(paths, recursive, unopened);
    if (!unopened.empty())
        return fail(kCannotOpen, "cannot open \"" + unopened.front() + "\"");
    scan = course::scanFiles(files);
    for (const course::Skipped& s : scan.skipped)
        std::fprintf(stderr, "ozmar-tool: %s: skipped: %s\n", s.path.c_str(), s.reason.c_str());
    return kSuccess;
}

int courseCommand(const Args& args)
{
    CourseArgs c;
    if (!parse(args, c))
        return fail(kUsage, kCourseUsage);
    course::ScanResult scan;
    if (const int status = scanPaths(c.paths, c.recursive, scan); status != kSuccess)
        return status;
    if (c.patient.empty() && c.name.empty())
        return listPatients(scan.recordings);

    std::vector<course::CourseRecording> chosen;
    const std::string asked = c.patient.empty() ? c.name : c.patient;
    const ArgumentText stored = argumentText(asked);
    if (!stored.ok)
        return fail(kUsage, stored.problem);
    if (!c.patient.empty()) {
        chosen = course::recordingsOfPatient(scan.recordings, stored.text);
    } else {
        std::vector<std::string> warnings;
        std::string problem;
        chosen = course::recordingsNamed(scan.recordings, stored.text, warnings, problem);
        if (!problem.empty())
            return fail(kUsage, platform::windows1252ToUtf8(problem));
        for (const std::string& w : warnings)
            std::fprintf(stderr, "ozmar-tool: warning: %s\n", platform::windows1252ToUtf8(w).c_str());
    }
    const course::Course course = course::buildCourse(std::move(chosen), c.limits);
    if (course.rows.empty())
        return fail(kNoRecording, "No recording of patient " + asked);
    return writeOutputs(c, course);
}

}  // namespace tool
