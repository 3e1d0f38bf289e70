#include "state/startupState.h"

namespace state {

StartupState startup;

void StartupState::reset()
{
    startingUp = true;
    exitCode = 0;
    quitRequested = false;
    noSerial = reportNoInfo = reportGraphOpt = reportBandsOpt = reportSpectrumOpt = reportGraphColorOpt = false;
    autoUpload = autoClose = hidden = summary = printPdf = portGiven = graphImages = fftImages = reportImages = false;
    portGivenBase = 0;
    printedWindow = PrintedWindow::report;
    dataFilePath.clear();
    dataFileName.clear();
    dataFileDir.clear();
    dataFileStem.clear();
    dataFileExt.clear();
    summaryDir.clear();
    summaryName.clear();
    uploadDir.clear();
    startDir.clear();
    lastDir.clear();
    startTime = 0;
}

}  // namespace state
