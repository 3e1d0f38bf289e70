#include "views/fftWindow.h"
#include "platform/commandIds.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include "data/recordingStore.h"
#include "monitor/monitorState.h"
#include "state/settings.h"
#include "views/accessibleText.h"
#include "views/fftPainter.h"
#include "views/graphPainter.h"
#include "views/tableLines.h"

namespace views {

FftWindow::FftWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName("FFTChild");
    setWindowTitle(title());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 120);
}

QString FftWindow::title()
{
    return QString::asprintf("FFT (%s)%s %s", state::settings.spectrumCurrentSegment ? "current" : "accumulated",
                             monitorSuffix().c_str(), autoUploadSuffix().c_str());
}

FftSnapshot FftWindow::shownPage()
{
    data::Recording& rec = data::recordings.primary;
    const monitor::MonitorState& m = monitor::monitorState;
    if (m.playThreadRunning || m.processedEpochCount != 0 || fftPageCount(rec) == 0) {
        idle_.reset();
        return fftPage(rec, monitor::graphPage.geometry());
    }
    if (!idle_)
        idle_ = renderFftPage(rec, fftPageCount(rec) - 1, monitor::graphPage.geometry());
    return *idle_;
}

void FftWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const FftSnapshot page = shownPage();
    // Drawn bars: a screen reader hears the mode and the epoch they show.
    describe(*this, "FFT",
             primaryRecordingDescription() + ", " + title().trimmed() +
                 (page.hasData ? ", " + QString::fromStdString(page.segmentLabel).trimmed() : QString(", no spectrum yet")));
    const PageSetup setup = setupGraphPage(painter, page.geometry, width(), height());
    drawFftPage(painter, page, setup.lineHeight, true);
}

void FftWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    if (fillContextMenu)
        fillContextMenu(&menu);
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen && chosen->data().toInt() != 0)
        onCommand(chosen->data().toInt(), 0, 0);
}

bool FftWindow::onCommand(int id, long, long)
{
    switch (id) {
    case cmd::accumulatedSpectrum:
    case cmd::currentSegment:
        if (state::settings.spectrumCurrentSegment != (id == cmd::currentSegment)) {
            state::settings.spectrumCurrentSegment = id == cmd::currentSegment;
            idle_.reset();
            setWindowTitle(title());
            update();
            if (modeChanged)
                modeChanged();
        }
        return true;
    case cmd::relayout:
        idle_.reset();
        setWindowTitle(title());
        update();
        return true;
    default: return false;
    }
}

bool FftWindow::event(QEvent* event)
{
    if (platform::dispatchCommand(*this, event))
        return true;
    return QWidget::event(event);
}

}  // namespace views
