#include "app/commandLine.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "state/portTable.h"
#include "state/startupState.h"
#include "platform/textEncoding.h"

namespace app {

using state::startup;
using state::portBaseOf;
using state::StartupState;

namespace fs = std::filesystem;

std::vector<std::string> splitCommandLine(const std::string& line)
{
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
            if (inArgument)
                args.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current.push_back(c);
            inArgument = true;
        }
    }
    if (inArgument)
        args.push_back(current);
    return args;
}

bool looksLikePath(const std::string& argument)
{
    std::error_code error;
    return argument.find('/', 1) != std::string::npos || fs::exists(argument, error);
}

namespace {

// The modes that exclude one another: each clears the others.
void unattended(StartupState& s, bool& chosen)
{
    s.noSerial = s.hidden = true;
    s.summary = s.printPdf = s.autoUpload = s.autoClose = s.graphImages = s.fftImages = s.reportImages = s.portGiven = false;
    chosen = true;
}

// The window a /printpdf option names.
std::optional<StartupState::PrintedWindow> printedWindowOf(const std::string& option)
{
    using W = StartupState::PrintedWindow;
    if (option == "/pgraph")
        return W::graph;
    if (option == "/pfft")
        return W::fft;
    if (option == "/pbands")
        return W::bands;
    if (option == "/pspectrum")
        return W::spectrum;
    return std::nullopt;
}

// Applies one option; false when the text is no option.
bool applyOption(StartupState& s, const std::string& option)
{
    const std::string o = platform::lowerAscii(option);
    if (o == "/noserial" || o == "/ns") {
        s.noSerial = true;
        s.autoUpload = s.autoClose = s.portGiven = false;
    } else if (o == "/rall" || o == "/ra") {
        s.reportBandsOpt = s.reportSpectrumOpt = s.reportGraphOpt = true;
    } else if (o == "/rnoinfo" || o == "/rni") {
        s.reportNoInfo = true;
    } else if (o == "/rgraph" || o == "/rg") {
        s.reportGraphOpt = true;
    } else if (o == "/rgc") {
        s.reportGraphOpt = s.reportGraphColorOpt = true;
    } else if (o == "/rbands" || o == "/rb") {
        s.reportBandsOpt = true;
    } else if (o == "/rspectrum" || o == "/rs") {
        s.reportSpectrumOpt = true;
    } else if (o == "/autoupload" || o == "/au") {
        s.autoUpload = s.autoUpload || !s.noSerial;
    } else if (o == "/autoclose" || o == "/ac") {
        s.autoClose = s.autoClose || !s.noSerial;
    } else if (o == "/summary" || o == "/sm") {
        s.noSerial = s.summary = s.hidden = true;
        s.printPdf = s.autoUpload = s.autoClose = s.portGiven = false;
    } else if (o == "/printpdf" || o == "/pp") {
        unattended(s, s.printPdf);
    } else if (const auto window = printedWindowOf(o)) {
        unattended(s, s.printPdf);
        s.printedWindow = *window;
    } else if (o >= "/com1" && o <= "/com8") {
        s.portGiven = true;
        s.portGivenBase = portBaseOf(o[4] - '0');
    } else if (o == "/graphimages" || o == "/gi") {
        unattended(s, s.graphImages);
    } else if (o == "/fftimages" || o == "/fi") {
        unattended(s, s.fftImages);
    } else if (o == "/reportimages" || o == "/ri") {
        unattended(s, s.reportImages);
    } else {
        return false;
    }
    return true;
}

// The full path of a folder the program can change into, or empty.
std::string enterableFolder(const std::string& path)
{
    std::error_code error;
    if (path.empty() || !fs::is_directory(path, error) || ::access(path.c_str(), X_OK) != 0)
        return std::string();
    const fs::path full = fs::canonical(path, error);
    return error ? std::string() : full.string();
}

// The upload or output folder; a folder that cannot be entered ends the run with 4.
void takeFolder(StartupState& s, const std::string& path)
{
    s.uploadDir = enterableFolder(path);
    if (s.uploadDir.empty()) {
        s.hidden = true;
        s.autoUpload = s.autoClose = false;
        s.requestQuit(4);
    }
}

void takeDataFile(StartupState& s, const std::string& path)
{
    const fs::path p(path);
    s.dataFilePath = path;
    s.dataFileDir = p.parent_path().string();
    s.dataFileStem = p.stem().string();
    s.dataFileExt = p.extension().string();
    s.dataFileName = p.filename().string();
}

void takePath(StartupState& s, std::string path)
{
    const auto first = std::find_if(path.begin(), path.end(), [](char c) {
        return static_cast<unsigned char>(c) < 1 || static_cast<unsigned char>(c) > 32;
    });
    path.erase(path.begin(), first);
    if (s.autoUpload && !s.summary) {
        takeFolder(s, path);
    } else if (!s.dataFilePath.empty()) {
        if (s.summary || s.printPdf) {
            const fs::path p(path);
            s.summaryDir = p.parent_path().string();
            s.summaryName = p.filename().string();
        } else if (s.imageMode()) {
            takeFolder(s, path);
        }
    } else {
        takeDataFile(s, path);
    }
}

void applyPostParseRules(StartupState& s)
{
    if (s.noSerial)
        s.autoUpload = s.autoClose = false;
    if (s.dataFilePath.empty() && (s.summary || s.printPdf || s.imageMode())) {
        s.requestQuit(2);
        return;
    }
    if ((s.autoUpload || s.imageMode()) && s.uploadDir.empty()) {
        s.hidden = true;
        s.requestQuit(4);
    }
}

}  // namespace

void parseCommandLine(const std::vector<std::string>& arguments)
{
    StartupState& s = startup;
    for (const std::string& argument : arguments) {
        if (!argument.empty() && argument[0] == '/' && applyOption(s, argument))
            continue;
        if (!argument.empty() && argument[0] == '/' && !looksLikePath(argument))
            continue;  // an unknown option
        takePath(s, argument);
    }
    applyPostParseRules(s);
}

}  // namespace app
