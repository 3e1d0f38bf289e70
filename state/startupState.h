#pragma once

#include <atomic>
#include <cstdint>
#include <ctime>
#include <string>

namespace state {

// The start-up state that is not persisted: the command-line flags, the paths
// and the exit code. One instance.
struct StartupState {
    bool startingUp = true;
    int exitCode = 0;
    std::atomic<bool> quitRequested{false};

    // Command-line flags.
    bool noSerial = false;
    bool reportNoInfo = false;
    bool reportGraphOpt = false;
    bool reportBandsOpt = false;
    bool reportSpectrumOpt = false;
    bool reportGraphColorOpt = false;
    bool autoUpload = false;
    bool autoClose = false;
    bool hidden = false;  // unattended: no window, no message box; the exit code tells
    bool summary = false;
    bool printPdf = false;  // a window's pages as a PDF, with no window shown
    // Which window /printpdf prints.
    enum class PrintedWindow { report, graph, fft, bands, spectrum };
    PrintedWindow printedWindow = PrintedWindow::report;
    bool portGiven = false;
    bool graphImages = false;
    bool fftImages = false;
    bool reportImages = false;
    std::uint16_t portGivenBase = 0;

    // Paths. A folder here is a full directory path.
    std::string dataFilePath;  // the data file to open
    std::string dataFileName;  // its name and extension
    std::string dataFileDir, dataFileStem, dataFileExt;
    std::string summaryDir;   // where the /summary text (or the /printpdf PDF) goes
    std::string summaryName;  // its name and extension
    std::string uploadDir;    // auto-upload files and batch images
    std::string startDir;     // the working directory at start; the configuration file lives there
    std::string lastDir;      // the folder of the last file dialog
    std::time_t startTime = 0;

    bool imageMode() const { return graphImages || fftImages || reportImages; }

    // Sets the exit code and asks the program to end (the quit message).
    void requestQuit(int code)
    {
        exitCode = code;
        quitRequested = true;
    }
    void reset();
};

extern StartupState startup;

}  // namespace state
