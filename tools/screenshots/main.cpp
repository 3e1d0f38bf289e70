// Writes screenshots of the desktop program for a data file: the frame with
// the report open, the File menu and the Report window's Format menu.
// Runs on any Qt platform (offscreen too).
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "state/startupState.h"
#include "data/recordingReset.h"
#include "platform/dialogs.h"
#include "platform/qtResponder.h"
#include "report/reportWindow.h"

namespace {

bool save(QWidget* widget, const QString& path)
{
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", path.toLocal8Bit().constData());
    return ok;
}

// A popup as it shows when opened: its states applied, then drawn.
bool savePopup(QMenu* menu, const QString& path)
{
    Q_EMIT menu->aboutToShow();
    menu->popup(QPoint(0, 0));
    const bool ok = save(menu, path);
    menu->hide();
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: ozmar-screenshots DATA-FILE OUT-FOLDER\n", stderr);
        return 1;
    }
    QApplication application(argc, argv);
    platform::QtResponder responder;
    platform::dialogs.responder = &responder;
    state::startup.startingUp = false;
    data::resetPrimary();
    app::FrameWindow frame;
    frame.resize(1100, 760);
    frame.show();
    app::FrameEffects effects{[&] { frame.retitle(); }, [](bool) {}, [] {}, [] {}, [] {}};
    if (!app::openPath(&frame, argv[1], effects))
        return 2;
    frame.onCommand(40002, 0, 0);
    frame.reportSubWindow()->showMaximized();
    frame.reportWindow()->page().showBands = true;
    frame.onCommand(602, 0, 1);
    application.processEvents();
    const QString out = QString::fromLocal8Bit(argv[2]);
    bool ok = save(&frame, out + "/frame-report.png");
    ok = savePopup(frame.menuBar()->actions()[0]->menu(), out + "/file-menu.png") && ok;
    for (QAction* a : frame.menuBar()->actions())
        if (a->menu() && a->text() == "For&mat")
            ok = savePopup(a->menu(), out + "/format-menu.png") && ok;
    return ok ? 0 : 3;
}
