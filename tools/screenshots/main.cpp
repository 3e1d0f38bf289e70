// Writes screenshots of the desktop program for a data file: the frame with
// the report open, the File menu and the Report window's Format menu, the
// report's trace strip and the Graph window; with a second, four-channel file
// also its Graph window with a rejected epoch and a crossed artifact limit;
// then playback and live monitoring (from the instrument simulator) with the
// two tool windows.
// Runs on any Qt platform (offscreen too).
#include <QApplication>
#include "platform/commandIds.h"
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/fileCommands.h"
#include "app/frameWindow.h"
#include "data/recordingReset.h"
#include "platform/dialogs.h"
#include "platform/qtResponder.h"
#include "report/patientDialog.h"
#include "report/reportWindow.h"
#include "state/startupState.h"
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include "data/recordingStore.h"
#include "monitor/epochEngine.h"
#include "monitor/monitorState.h"
#include "state/settings.h"
#include "views/fftPage.h"
#include <QMdiArea>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QElapsedTimer>
#include <QPainter>
#include <cstring>
#include <stdlib.h>
#include "app/documentState.h"
#include "monitor/channelSettingsWindow.h"
#include "monitor/playControlWindow.h"
#include "serial/serialPort.h"

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

// The Graph window of the open recording, maximised, at a page.
bool saveGraph(app::FrameWindow& frame, const QString& path, int pageKeys)
{
    frame.onCommand(cmd::openGraph, 0, 0);
    frame.graphSubWindow()->showMaximized();
    for (int i = 0; i < pageKeys; ++i) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(frame.graphSubWindow()->widget(), &key);
    }
    QApplication::processEvents();
    return save(&frame, path);
}

// The analysis windows after a playback of the whole recording (every epoch
// through the epoch engine): the FFT window alone, then a Bands and a
// Spectrum window tiled beside it.
bool saveAnalysis(app::FrameWindow& frame, const QString& out, const QString& suffix)
{
    data::Recording& rec = data::recordings.primary;
    auto work = monitor::programEpochWork();
    monitor::startAccumulation(work, 0);
    for (std::uint32_t e = 0; e < views::fftPageCount(rec); ++e)
        monitor::processEpoch(work, static_cast<int>(data::epochIndex(rec, e)), false);
    monitor::monitorState.processedEpoch = static_cast<int>(views::fftPageCount(rec) % data::kMaxEpochs);
    for (QMdiSubWindow* sub : frame.mdiArea()->subWindowList())
        if (sub != frame.reportSubWindow())
            sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frame.onCommand(cmd::openFft, 0, 0);
    frame.fftSubWindow()->showMaximized();
    QApplication::processEvents();
    bool ok = save(&frame, out + "/fft-" + suffix + ".png");
    frame.fftSubWindow()->showNormal();
    frame.onCommand(cmd::openBands, 0, 0);
    frame.onCommand(cmd::openSpectrum, 0, 0);
    frame.onCommand(cmd::tileHorizontally, 0, 0);
    QApplication::processEvents();
    ok = save(&frame, out + "/analysis-" + suffix + ".png") && ok;
    return ok;
}

// A modal dialog the command opens, grabbed once it shows, then closed.
bool saveModal(app::FrameWindow& frame, int command, const QString& path)
{
    bool ok = false;
    QTimer::singleShot(300, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ok = save(modal, path);
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        }
    });
    frame.onCommand(command, 0, 0);
    return ok;
}

// The Patient Info dialog with a long comment, and its Export file dialog
// with the field panel and the tip of a data file.
bool savePatientDialogs(app::FrameWindow& frame, const QString& out, const char* dataFile)
{
    frame.onCommand(cmd::patientInfo, 0, 0);
    auto* dialog = static_cast<report::PatientDialog*>(frame.patientDialog());
    auto* comments = dialog->findChild<QPlainTextEdit*>("control106");
    comments->setPlainText(
        "Right unilateral ECT, session 3 of 12. Premedication as before; no complaints of headache or muscle pain after "
        "session 2. Seizure adequate by EEG and motor criteria.\nFamily asks to be called after the treatment.\n"
        "Next session planned in two days; review the stimulus dose if the seizure shortens.");
    QApplication::processEvents();
    bool ok = save(dialog, out + "/patient-info.png");
    const QString file = QFileInfo(QString::fromLocal8Bit(dataFile)).absoluteFilePath();
    QTimer::singleShot(300, [&] {
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!files)
            return;
        files->setDirectory(QFileInfo(file).absolutePath());
        files->selectFile(file);
        Q_EMIT files->currentChanged(file);
        QApplication::processEvents();
        ok = save(files, out + "/export-dialog.png") && ok;
        if (auto* tip = files->findChild<QLabel*>("fileTip"))
            ok = save(tip, out + "/export-tip.png") && ok;
        files->reject();
    });
    dialog->exportFiles();
    dialog->close();
    return ok;
}

// The frame with the tool windows drawn where they stand over it.
bool saveWithToolWindows(app::FrameWindow& frame, const QString& path)
{
    QPixmap picture = frame.grab();
    QPainter painter(&picture);
    for (QWidget* tool : {static_cast<QWidget*>(frame.channelSettingsWindow()), static_cast<QWidget*>(frame.playControlWindow())})
        if (tool && tool->isVisible())
            painter.drawPixmap(tool->frameGeometry().topLeft() - frame.geometry().topLeft(), tool->grab());
    painter.end();
    const bool ok = picture.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", path.toLocal8Bit().constData());
    return ok;
}

void runEvents(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Playback at 500 % with both tool windows, then a live session from the
// instrument simulator (`simulator`) on a pseudo-terminal.
bool saveMonitoring(app::FrameWindow& frame, const QString& out, const std::string& simulator)
{
    app::document.reset();
    frame.onCommand(cmd::openGraph, 0, 0);
    frame.graphSubWindow()->showNormal();
    frame.graphSubWindow()->setGeometry(0, 0, 760, 560);
    state::settings.showChannelSettings = state::settings.showPlayControl = false;
    frame.onCommand(cmd::channelSettingsWindow, 0, 0);
    frame.onCommand(cmd::playControlWindow, 0, 0);
    frame.channelSettingsWindow()->move(frame.geometry().right() - frame.channelSettingsWindow()->width() - 10, frame.geometry().top() + 60);
    frame.playControlWindow()->move(frame.geometry().right() - frame.playControlWindow()->width() - 10,
                                    frame.channelSettingsWindow()->frameGeometry().bottom() + 20);
    // Past the stimulus, from second 30.
    data::recordings.primary.playStartSecond = 30;
    frame.onCommand(cmd::speed500, 0, 0);
    frame.onCommand(cmd::resetPlayback, 0, 0);
    frame.onCommand(cmd::playBack, 0, 0);
    runEvents(2500);
    bool ok = saveWithToolWindows(frame, out + "/playback.png");
    frame.onCommand(cmd::playBack, 0, 0);
    app::document.reset();
    FILE* sim = ::popen((simulator + " monitor --seconds 7 --treatment-at 2 --end 2>/dev/null").c_str(), "r");
    char device[256] = {};
    if (!sim || !std::fgets(device, sizeof device, sim))
        return false;
    device[std::strcspn(device, "\n")] = 0;
    ::setenv("OZMAR_COM1", device, 1);
    serial::openPort(1);
    state::settings.portBase = 0x3F8;
    frame.onCommand(cmd::monitorLive, 0, 0);
    runEvents(4500);
    ok = saveWithToolWindows(frame, out + "/monitoring.png") && ok;
    frame.onCommand(cmd::monitorLive, 0, 0);
    ::pclose(sim);
    app::document.reset();
    return ok;
}

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fputs("usage: ozmar-screenshots DATA-FILE OUT-FOLDER [FOUR-CHANNEL-FILE]\n", stderr);
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
    frame.onCommand(cmd::openReport, 0, 0);
    frame.reportSubWindow()->showMaximized();
    frame.reportWindow()->page().showBands = true;
    frame.onCommand(cmd::relayout, 0, 1);
    application.processEvents();
    const QString out = QString::fromLocal8Bit(argv[2]);
    bool ok = save(&frame, out + "/frame-report.png");
    ok = savePopup(frame.menuBar()->actions()[0]->menu(), out + "/file-menu.png") && ok;
    for (QAction* a : frame.menuBar()->actions())
        if (a->menu() && a->text() == "For&mat")
            ok = savePopup(a->menu(), out + "/format-menu.png") && ok;

    // The report with its trace strip in colour, scrolled to the strip.
    report::ReportWindow* report = frame.reportWindow();
    report->page().showBands = false;
    report->page().showGraph = report->page().showGraphColor = true;
    frame.onCommand(cmd::relayout, 0, 1);
    QKeyEvent end(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(report, &end);
    application.processEvents();
    ok = save(&frame, out + "/report-traces.png") && ok;

    // The Graph window of the recording at its seventh page (the seizure).
    ok = saveGraph(frame, out + "/graph-2ch.png", 6) && ok;
    ok = saveModal(frame, 40013, out + "/save-as-image-dialog.png") && ok;
    ok = saveModal(frame, 40004, out + "/save-raw-data-dialog.png") && ok;
    ok = saveAnalysis(frame, out, "2ch") && ok;
    if (argc == 4) {
        for (QMdiSubWindow* sub : frame.mdiArea()->subWindowList())
            if (sub != frame.reportSubWindow())
                sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!app::openPath(&frame, argv[3], effects))
            return 2;
        // One epoch rejected and limits low enough for the seizure to cross them.
        data::recordings.primary.epochMarks[data::epochIndex(data::recordings.primary, 19)] = false;
        for (auto& channel : state::settings.channelSettings)
            channel.artifact = 60;
        ok = saveGraph(frame, out + "/graph-4ch.png", 9) && ok;
        ok = saveAnalysis(frame, out, "4ch") && ok;
    }
    ok = savePatientDialogs(frame, out, argv[1]) && ok;
    const std::string simulator = (QCoreApplication::applicationDirPath() + "/../corvane-sim/corvane-sim").toStdString();
    ok = saveMonitoring(frame, out, simulator) && ok;
    return ok ? 0 : 3;
}
