#include "app/desktop.h"
#include "platform/commandIds.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QMdiSubWindow>
#include <QWindow>

#include "app/configFile.h"
#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "app/portSearch.h"
#include "app/programIcon.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "data/recordingReset.h"
#include "platform/dialogs.h"
#include "platform/qtResponder.h"

namespace app {

using state::settings;
using state::startup;
using state::kNoPort;

namespace {

// Lets the window system show the frame at its size before anything is laid
// out in it or a message box is centred on it (a maximised frame gets its
// size only when it is mapped). Bounded: a display that never shows it
// does not hold the start.
void waitUntilShown(QWidget& frame)
{
    QElapsedTimer clock;
    clock.start();
    while (frame.windowHandle() && !frame.windowHandle()->isExposed() && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
}

}  // namespace

int runDesktop(int argc, char** argv)
{
    QApplication application(argc, argv);
    application.setApplicationName("Ozmar");
    application.setWindowIcon(programIcon());  // the frame, the document windows and the dialogs
    platform::QtResponder responder;
    platform::dialogs.responder = &responder;
    data::resetPrimary();
    data::clearPatientSets(15);
    FrameWindow frame;
    const auto& frameRecord = windowLayout.frame;
    if (frameRecord && !(frameRecord->flags & 6u) && frameRecord->width != kDefaultPosition)
        frame.restoreOuterGeometry(QRect(frameRecord->x, frameRecord->y, frameRecord->width, frameRecord->height));
    else
        frame.resize(1024, 720);
    const bool maximised = frameRecord ? (frameRecord->flags & 2u) != 0 : !startup.noSerial;
    maximised ? frame.showMaximized() : frame.show();
    waitUntilShown(frame);
    frame.replayLayout();
    if (!startup.dataFilePath.empty()) {
        FrameEffects none{[&] { frame.retitle(); }, [](bool) {}, [] {}, [] {}, [] {}};
        if (openPath(&frame, startup.dataFilePath, none))
            frame.onCommand(cmd::openReport, 0, 0);
        if (frame.reportWindow())
            frame.onCommand(cmd::relayout, 0, 1);
    }
    if (startup.noSerial)
        settings.portBase = kNoPort;
    else
        searchPort(&frame);
    if (startup.quitRequested)
        return startup.exitCode;
    frame.ensureToolWindows(true);
    if (startup.autoUpload) {
        // At the bedside: the Graph window fills the frame.
        frame.onCommand(cmd::openGraph, 0, 0);
        if (frame.graphSubWindow())
            frame.graphSubWindow()->showMaximized();
    }
    // /autoupload starts it whether or not a configuration file was read.
    if (settings.autoUploadAtStart || startup.autoUpload)
        frame.onCommand(cmd::autoUpload, 0, 0);
    startup.startingUp = false;
    const int code = application.exec();
    platform::dialogs.responder = nullptr;
    return startup.exitCode != 0 ? startup.exitCode : code;
}

}  // namespace app
