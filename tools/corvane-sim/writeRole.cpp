#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "data/loadedRecording.h"
#include "data/recording.h"
#include "instrumentModel.h"

namespace sim {

namespace {

const char kWriteUsage[] =
    "usage: corvane-sim write OUT.dat [--channels 2|4] [--monitoring] [--seconds N] [--report-text]\n"
    "                         [--fft-only] [--seed N] [--max] [--date YYYY-MM-DD]\n";

bool number(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
}

// Parses the options; false on a bad one.
bool parse(const std::vector<std::string>& args, RecordingOptions& o, std::string& out)
{
    const double maxSeconds = data::kRingSamples / 200.0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        double v = 0;
        if (a == "--channels" && hasValue && number(args[++i], v) && (v == 2 || v == 4))
            o.session.fourChannels = v == 4;
        else if (a == "--seconds" && hasValue && number(args[++i], v) && v >= 2.56 && v <= maxSeconds)
            o.session.seconds = v;
        else if (a == "--seed" && hasValue && number(args[++i], v) && v >= 0)
            o.session.seed = static_cast<std::uint32_t>(v);
        else if (a == "--date" && hasValue) {
            int y = 0, m = 0, d = 0;
            char end = 0;
            if (std::sscanf(args[++i].c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &end) != 3 || y < 1996 || y > 2095 || m < 1 ||
                m > 12 || d < 1 || d > 31)
                return false;
            o.year = y % 100;
            o.month = m;
            o.day = d;
        } else if (a == "--monitoring")
            o.session.monitoring = true;
        else if (a == "--report-text")
            o.reportText = true;
        else if (a == "--fft-only")
            o.rawEeg = false;
        else if (a == "--max") {
            o.session.fourChannels = true;
            o.session.seconds = maxSeconds;
            o.reportText = true;
            o.rawEeg = true;
        } else if (a.rfind("--", 0) != 0 && out.empty())
            out = a;
        else
            return false;
    }
    return !out.empty();
}

}  // namespace

int writeRole(const std::vector<std::string>& args)
{
    RecordingOptions options;
    std::string out;
    if (!parse(args, options, out)) {
        std::fputs(kWriteUsage, stderr);
        return 1;
    }
    auto recording = std::make_unique<data::LoadedRecording>();
    recordSession(options, *recording);
    if (!data::saveRecording(out, *recording)) {
        std::fprintf(stderr, "corvane-sim: could not write \"%s\"\n", out.c_str());
        return 2;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}

}  // namespace sim
