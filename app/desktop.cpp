#include "app/desktop.h"

#include <QApplication>
#include <QTimer>

#include "app/configFile.h"
#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "app/portSearch.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "data/recordingReset.h"
#include "platform/dialogs.h"
#include "platform/qtResponder.h"

namespace app {

using state::settings;
using state::startup;
using state::kNoPort;

int runDesktop(int argc, char** argv)
{
    QApplication application(argc, argv);
    application.setApplicationName("Ozmar");
    platform::QtResponder responder;
    platform::dialogs.responder = &responder;
    data::resetPrimary();
    data::clearPatientSets(15);
    FrameWindow frame;
    const auto& frameRecord = windowLayout.frame;
    if (frameRecord && !(frameRecord->flags & 6u) && frameRecord->width != kDefaultPosition)
        frame.setGeometry(frameRecord->x, frameRecord->y, frameRecord->width, frameRecord->height);
    else
        frame.resize(1024, 720);
    const bool maximised = frameRecord ? (frameRecord->flags & 2u) != 0 : !startup.noSerial;
    maximised ? frame.showMaximized() : frame.show();
    frame.replayLayout();
    if (!startup.dataFilePath.empty()) {
        FrameEffects none{[&] { frame.retitle(); }, [](bool) {}, [] {}, [] {}, [] {}};
        if (openPath(&frame, startup.dataFilePath, none))
            frame.onCommand(40002, 0, 0);
        if (frame.reportWindow())
            frame.onCommand(602, 0, 1);
    }
    if (startup.noSerial)
        settings.portBase = kNoPort;
    else
        searchPort(&frame);
    if (startup.quitRequested)
        return startup.exitCode;
    startup.startingUp = false;
    const int code = application.exec();
    platform::dialogs.responder = nullptr;
    return startup.exitCode != 0 ? startup.exitCode : code;
}

}  // namespace app
