#pragma once

// Every command of the program by name. The numbers stay what they have
// always been: the configuration file's window records store them, menus and
// accelerators send them, and the monitor threads post them to the windows.
namespace cmd {

enum Id : int {
    // File
    fileNew = 1,
    fileOpen = 2,
    fileSave = 3,
    fileSaveAs = 4,
    pageSetup = 6,
    print = 7,
    exitProgram = 8,
    // Connect
    sendData = 11,
    receiveData = 12,
    sendName = 13,
    // View: the tool windows and the document windows
    channelSettingsWindow = 23,
    playControlWindow = 24,
    openGraph = 25,
    openBands = 26,
    openSpectrum = 27,
    openFft = 28,
    patientInfo = 31,
    chooseFont = 32,
    // The Bands and Spectrum windows: the channel pair (40 to 45), the kind of
    // spectrum, and the bands (50 to 55, 56 all back to their defaults)
    firstPair = 40,
    lastPair = 45,
    accumulatedSpectrum = 46,
    currentSegment = 47,
    firstBand = 50,
    lastBand = 55,
    defaultBands = 56,
    // The play-control window's texts: the time, the Time Set field, the status
    timeText = 451,
    timeSetText = 452,
    statusText = 453,
    // Monitor
    playBack = 455,
    resetPlayback = 456,
    rejectEpoch = 457,
    monitorLive = 458,
    // Monitor > Speed: Step, 25 %, 50 %, 100 %, 250 %, 500 %
    speedStep = 480,
    speed25 = 481,
    speed50 = 482,
    speed100 = 483,
    speed250 = 484,
    speed500 = 485,
    // Between the windows
    refreshTool = 600,
    startEpochThread = 601,
    relayout = 602,
    playbackEnded = 604,
    playedTime = 605,
    uploadBegins = 606,
    // Connect > Set Port: COM1 to COM8
    firstPort = 814,
    lastPort = 821,
    // Window
    cascade = 700,
    tileHorizontally = 701,
    tileVertically = 702,
    minimizeAll = 703,
    restoreAll = 704,
    arrangeIcons = 705,
    closeAll = 706,
    // Commands of the later menus
    about = 40001,
    openReport = 40002,
    openReportToo = 40003,  // opens the Report window as 40002 does
    saveAsText = 40004,
    autoUpload = 40005,
    saveAsImage = 40013,
    copy = 40014,
    reportPatientInfo = 40019,
    reportBands = 40020,
    reportSpectrum = 40021,
    reportGraph = 40022,
    reportGraphSeconds = 40027,
    timeScaleDown = 40034,
    timeScaleUp = 40035,
    reportGraphColor = 40040,
    saveAllAsText = 40041,
    batchConvert = 40047,
    // File > Treatment Course...: the open recording's patient across the recordings of its folder
    treatmentCourse = 40061,
    // File > Export BIDS...: the open recording's patient as a research dataset
    exportBids = 40062,
};

}  // namespace cmd
