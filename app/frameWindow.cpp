#include "app/frameWindow.h"
#include "app/windowArrangement.h"
#include "platform/commandIds.h"

#include <QApplication>
#include <QPrinter>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QStyle>
#include <QVBoxLayout>

#include "app/documentState.h"
#include "app/programIcon.h"
#include "course/courseWindow.h"
#include "data/recordingHooks.h"
#include "data/recordingStore.h"
#include "state/portTable.h"
#include "state/settings.h"
#include "app/manualLink.h"
#include "app/startup.h"
#include "state/startupState.h"
#include "monitor/displayThread.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorHooks.h"
#include "monitor/monitorState.h"
#include "platform/dialogs.h"
#include "platform/drawingObjects.h"
#include "platform/qtText.h"
#include "monitor/channelSettingsWindow.h"
#include "monitor/playControlWindow.h"
#include "report/patientDialog.h"
#include "report/reportWindow.h"
#include "report/textExport.h"
#include "views/graphPainter.h"
#include "views/graphWindow.h"
#include "views/fftWindow.h"
#include "views/tableWindow.h"
#include "serial/serialPort.h"
#include "serial/transfers.h"

namespace platform {
DrawingObjects* drawingObjects = nullptr;
}

namespace app {

using state::settings;
using state::startup;
using state::kNoPort;
using state::portNumber;

namespace {

constexpr std::int32_t kDefault = kDefaultPosition;
constexpr int kWindowListFirst = 1000;  // ids of the Window popup's list of document windows

// The menu a document window installs while it is active.
platform::WindowKind kindOf(const QMdiSubWindow* sub)
{
    return platform::windowKindOf(sub ? sub->widget() : nullptr);
}

MenuKind menuKindOf(const QMdiSubWindow* sub)
{
    switch (kindOf(sub)) {
    case platform::WindowKind::report: return MenuKind::CORVANE;
    case platform::WindowKind::graph: return MenuKind::GraphMenu;
    case platform::WindowKind::fft: return MenuKind::FFTMenu;
    case platform::WindowKind::bands: return MenuKind::BandsMenu;
    case platform::WindowKind::spectrum: return MenuKind::Spectrum;
    case platform::WindowKind::none: break;
    }
    return MenuKind::Init1;
}

// The command that opens a document window of this kind (its window record's id).
int commandOf(const QMdiSubWindow* sub)
{
    switch (kindOf(sub)) {
    case platform::WindowKind::report: return 40002;
    case platform::WindowKind::graph: return 25;
    case platform::WindowKind::fft: return 28;
    case platform::WindowKind::bands: return 26;
    case platform::WindowKind::spectrum: return 27;
    case platform::WindowKind::none: break;
    }
    return 0;
}

WindowRecord recordOf(const QWidget* w, std::int32_t id, bool inMdi)
{
    WindowRecord r;
    r.commandId = id;
    r.flags = 1;
    if (w->isMaximized() || w->isMinimized()) {
        r.flags |= w->isMaximized() ? 2u : 4u;
        r.x = r.y = r.width = r.height = kDefault;
        return r;
    }
    const QRect g = inMdi ? w->geometry() : w->frameGeometry();
    r.x = g.x();
    r.y = g.y();
    r.width = g.width();
    r.height = g.height();
    return r;
}

}  // namespace

FrameWindow::FrameWindow()
    : menus_([this](int id) { onCommand(id, 0, 0); }, [this] { return menuContext(); })
{
    drawing_ = std::make_unique<platform::DrawingObjects>();
    platform::drawingObjects = drawing_.get();
    platform::dialogs.aroundFileDialog = [this](bool enabled) { enableToolWindows(enabled); };
    setObjectName("Ozmar");
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) { installMenu(menuKindOf(sub)); });
    // The Graph and FFT pages are laid out in units of the label font, measured once here.
    monitor::graphPage.setGeometry(views::measureGraphGeometry(*this));
    for (const Accelerator& a : acceleratorTable()) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(a.keys)), this);
        shortcut->setContext(Qt::ApplicationShortcut);
        const int id = a.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { onCommand(id, 0, 0); });
    }
    setMenuBar(menus_.build(MenuKind::Init1, this));
    listWindows();
    retitle();
    // From the first file opened on, a read into the recording restarts the monitor's epoch clock.
    data::recordingHooks.primaryRead = [](data::Recording& rec) { monitor::selectEpochsAfterRead(rec); };
}

FrameWindow::~FrameWindow()
{
    // The Course window has no parent to take it along; its rows open files through the frame.
    delete course_.data();
    // The document windows go with the frame: no menu changes on the way out.
    disconnect(mdi_, nullptr, this, nullptr);
    // Nothing may reach the frame after it: the threads end, the hooks go.
    monitor::stopAll();
    monitor::monitorHooks.reset();
    data::recordingHooks.reset();
    serial::transferHooks = serial::TransferHooks{};
    serial::serialPort.onPortLost = nullptr;
    platform::drawingObjects = nullptr;
    platform::dialogs.aroundFileDialog = nullptr;
}

void FrameWindow::installMenu(MenuKind kind)
{
    if (kind == activeMenu_ && menuWidget())
        return;
    activeMenu_ = kind;
    if (auto* bar = qobject_cast<QMenuBar*>(menuWidget()))
        menus_.fill(bar, kind);  // the same bar, so a maximised window keeps its controls in it
    else
        setMenuBar(menus_.build(kind, this));
    listWindows();
}

// The Window popup lists the document windows (items from 1000 upward); choosing
// one activates it.
void FrameWindow::listWindows()
{
    QMenu* popup = MenuBuilder::windowPopup(qobject_cast<QMenuBar*>(menuWidget()));
    if (!popup)
        return;
    connect(popup, &QMenu::aboutToShow, this, [this, popup] {
        // Only the list of windows is rebuilt; "&Report" (40002) and the other
        // items of the table stay.
        for (QAction* a : popup->actions())
            if (a->data().toInt() >= kWindowListFirst && a->data().toInt() < kWindowListFirst + 1000) {
                popup->removeAction(a);
                a->deleteLater();
            }
        const auto windows = mdi_->subWindowList();
        if (!windows.isEmpty() && !popup->actions().isEmpty() && !popup->actions().back()->isSeparator())
            popup->addSeparator();
        int n = 0;
        for (QMdiSubWindow* w : windows) {
            // A title's "&" is a character ("Bands EEG 1&2"), not a mnemonic.
            QString title = w->windowTitle();
            title.replace('&', "&&");
            QAction* a = popup->addAction(QString("&%1 %2").arg(n + 1).arg(title));
            a->setData(kWindowListFirst + n++);
            a->setCheckable(w == mdi_->activeSubWindow());  // one mark: the active window
            a->setChecked(w == mdi_->activeSubWindow());
            connect(a, &QAction::triggered, this, [this, w] { mdi_->setActiveSubWindow(w); });
        }
    });
}

report::ReportWindow* FrameWindow::reportWindow() const
{
    return reportSub_ ? static_cast<report::ReportWindow*>(reportSub_->widget()) : nullptr;
}

void FrameWindow::retitle()
{
    setWindowTitle(platform::fromWindows1252(frameTitle()));
}

MenuContext FrameWindow::menuContext() const
{
    MenuContext c;
    c.menu = activeMenu_;
    c.portOpen = serial::serialPort.portHandle != nullptr;
    c.reportOpen = reportSub_ != nullptr;
    c.graphOpen = graphSub_ != nullptr;
    c.fftOpen = fftSub_ != nullptr;
    c.playControlExists = playControl_ != nullptr;
    c.channelSettingsExists = channelSettings_ != nullptr;
    if (views::TableWindow* table = activeTable()) {
        c.tablePair = static_cast<int>(table->table().pair);
        c.tableCurrentSegment = table->table().currentSegment ? 1 : 0;
        if (table->isBands())
            for (int i = 1; i <= 6; ++i)
                c.bandItemTexts.push_back(
                    views::bandMenuText(static_cast<views::BandsWindow*>(table)->bands().bands[static_cast<std::size_t>(i)]));
    }
    if (report::ReportWindow* w = reportWindow()) {
        const report::ReportPage& p = w->page();
        c.reportShowsPatientBandsOrSpectrum = p.showPatientInfo || p.showBands || p.showSpectrum;
        c.reportHasPrintable = p.lineTotal() > 0;
        c.reportPatientInfo = p.showPatientInfo;
        c.reportBands = p.showBands;
        c.reportSpectrum = p.showSpectrum;
        c.reportGraph = p.showGraph;
        c.reportColor = p.showGraphColor;
        c.reportTimeScale = p.timeScaleIndex;
        c.reportGraphFrom = static_cast<int>(p.graphFrom);
        c.reportGraphTo = static_cast<int>(p.graphTo);
        c.reportSecondsPerRow = p.graphSecondsPerRow();
    }
    return c;
}

FrameEffects FrameWindow::effects()
{
    FrameEffects e;
    e.retitle = [this] { retitle(); };
    e.refreshReport = [this](bool reset) { refreshViews(reset); };
    e.refreshPatientWindow = [this] {
        if (auto* dialog = static_cast<report::PatientDialog*>(patient_.data()))
            dialog->restore();
    };
    e.refreshToolWindows = [this] { refreshToolWindows(); };
    e.stopLiveWork = [] { monitor::stopAll(); };
    return e;
}

void FrameWindow::openReport(bool startingUp)
{
    if (reportSub_) {
        mdi_->setActiveSubWindow(reportSub_);
        return;
    }
    auto* window = new report::ReportWindow(false);
    window->applyFormatRules = [this](QMenu* m) { menus_.applyRules(m, MenuKind::CORVANE); };
    window->addFormatItems = [](QMenu* m) { addPopupItems(m, MenuKind::CORVANE, "For&mat"); };
    window->sendToFrame = [this](int id) { onCommand(id, 0, 0); };
    reportSub_ = mdi_->addSubWindow(window);
    reportSub_->setAttribute(Qt::WA_DeleteOnClose);
    reportSub_->setWindowTitle("Report");
    const WindowRecord& r = windowLayout.current;
    const bool recorded = startingUp && !(r.flags & 6u) && r.width != kDefault;
    if (recorded)
        reportSub_->setGeometry(r.x, r.y, r.width, r.height);
    else
        reportSub_->resize(outerSize(reportSub_, QSize(initialReportWidth(*window), defaultHeight())));
    if ((startingUp && (r.flags & 2u)) || (startingUp && startup.noSerial))
        reportSub_->showMaximized();
    else if (startingUp && (r.flags & 4u))
        reportSub_->showMinimized();
    else
        reportSub_->show();
    if (!recorded && !reportSub_->isMaximized() && !reportSub_->isMinimized())
        placeInsideArea(reportSub_);
    platform::sendCommand(window, cmd::relayout, 0, 1);
    mdi_->setActiveSubWindow(reportSub_);
    installMenu(MenuKind::CORVANE);
}

void FrameWindow::placeSubWindow(QMdiSubWindow* sub, bool startingUp, QSize defaultSize, bool recordInAnyCase)
{
    sub->setAttribute(Qt::WA_DeleteOnClose);
    const WindowRecord& r = windowLayout.current;
    const bool recorded = startingUp && r.width != kDefault && (recordInAnyCase || !(r.flags & 6u));
    if (recorded)
        sub->setGeometry(r.x, r.y, r.width, r.height);
    else
        sub->resize(defaultSize);
    if (startingUp && (r.flags & 2u))
        sub->showMaximized();
    else if (startingUp && (r.flags & 4u))
        sub->showMinimized();
    else
        sub->show();
    if (!recorded && !sub->isMaximized() && !sub->isMinimized())
        placeInsideArea(sub);
    mdi_->setActiveSubWindow(sub);
    installMenu(menuKindOf(sub));
}

// A new document window lies wholly inside the area, one cascade step further
// than the windows already open.
void FrameWindow::placeInsideArea(QMdiSubWindow* sub)
{
    int others = 0;
    for (QMdiSubWindow* w : mdi_->subWindowList())
        others += w != sub && !w->isMinimized() && !w->isHidden() ? 1 : 0;
    const QSize area = mdi_->viewport()->size();
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
    const TileRect place = newWindowRect(others, sub->width(), sub->height(), area.width(), area.height(), step);
    sub->setGeometry(place.x, place.y, place.width, place.height);
}

void FrameWindow::openGraph(bool startingUp)
{
    if (graphSub_) {
        mdi_->setActiveSubWindow(graphSub_);
        return;
    }
    auto* window = new views::GraphWindow;
    window->openChannelSettings = [this] { ensureToolWindows(true); };
    graphSub_ = mdi_->addSubWindow(window);
    graphSub_->setWindowTitle(views::GraphWindow::title());
    placeSubWindow(graphSub_, startingUp, QSize(std::max(480, mdi_->viewport()->width() * 3 / 4), defaultHeight()));
    if (window->openChannelSettings)
        window->openChannelSettings();
}

void FrameWindow::openFft(bool startingUp)
{
    if (fftSub_) {
        mdi_->setActiveSubWindow(fftSub_);
        return;
    }
    auto* window = new views::FftWindow;
    window->fillContextMenu = [this](QMenu* menu) { fillSpectrumPopup(menu, MenuKind::FFTMenu); };
    window->modeChanged = [this] { refreshViews(false); };
    fftSub_ = mdi_->addSubWindow(window);
    placeSubWindow(fftSub_, startingUp, QSize(std::max(480, mdi_->viewport()->width() * 3 / 4), defaultHeight()));
}

// A Bands (26) or Spectrum (27) window; several of each may be open. At
// start-up it takes its pair, mode and band limits from its saved state.
void FrameWindow::openTable(int command, bool startingUp)
{
    views::TableWindow* window = command == cmd::openBands ? static_cast<views::TableWindow*>(new views::BandsWindow)
                                               : static_cast<views::TableWindow*>(new views::SpectrumWindow);
    if (startingUp && !windowLayout.currentState.empty())
        window->applySettings(views::decodeTableState(windowLayout.currentState, command == cmd::openBands));
    const MenuKind kind = command == cmd::openBands ? MenuKind::BandsMenu : MenuKind::Spectrum;
    window->fillContextMenu = [this, kind](QMenu* menu) { fillSpectrumPopup(menu, kind); };
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    const views::TableScroll& s = window->scroll();
    const int lines = command == cmd::openBands ? 11 : 36;
    const QSize inner(s.textWidth, std::min(lines * s.lineHeight, defaultHeight()));
    placeSubWindow(sub, startingUp, outerSize(sub, inner), true);
}

// The right-button menu of an analysis window: its menu's "&Spectrum" popup
// with the states the rules give for the window.
void FrameWindow::fillSpectrumPopup(QMenu* menu, MenuKind kind)
{
    for (const MenuItem& item : app::menuBar(kind))
        if (item.text == "&Spectrum")
            for (const MenuItem& child : item.popup) {
                if (child.isSeparator()) {
                    menu->addSeparator();
                } else if (child.isPopup()) {
                    QMenu* sub = menu->addMenu(menuText(child.text));
                    for (const MenuItem& leaf : child.popup) {
                        if (leaf.isSeparator())
                            sub->addSeparator();
                        else
                            sub->addAction(menuText(leaf.text))->setData(leaf.id);
                    }
                    menus_.applyRules(sub, kind);
                } else {
                    menu->addAction(menuText(child.text))->setData(child.id);
                }
            }
    menus_.applyRules(menu, kind);
}

// The modeless Patient Info dialog, or the open one brought to the front.
void FrameWindow::patientInfo()
{
    if (patient_) {
        patient_->raise();
        patient_->activateWindow();
        return;
    }
    auto* dialog = new report::PatientDialog(this);
    dialog->stored = [this] {
        document.patientInfoModified = true;
        if (reportWindow())
            platform::sendCommand(reportWindow(), cmd::relayout, 0, 1);
    };
    patient_ = dialog;
    dialog->show();
}

void FrameWindow::refreshViews(bool reset)
{
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (sub->widget())
            platform::sendCommand(sub->widget(), cmd::relayout, 0, reset ? 1 : 0);
}

views::TableWindow* FrameWindow::activeTable() const
{
    QMdiSubWindow* active = mdi_->activeSubWindow();
    return active ? dynamic_cast<views::TableWindow*>(active->widget()) : nullptr;
}

bool FrameWindow::forwardToActive(int id, long wParam, long lParam)
{
    QMdiSubWindow* active = mdi_->activeSubWindow();
    return active && active->widget() && platform::sendCommand(active->widget(), id, wParam, lParam);
}

void FrameWindow::setPort(int number)
{
    if (portNumber(settings.portBase) == number && settings.portBase != kNoPort)
        return;
    if (!serial::openPort(number))
        platform::messageBox(this, "Can not open port COM" + std::to_string(number) + "!", "Ozmar", platform::Buttons::ok,
                             platform::Icon::stop);
    refreshToolWindows();  // Monitor follows the port
}

// The document windows that are not minimised overlap from the top left, each
// one title bar lower and further right, all the same size, which leaves the
// last one most of the area.
void FrameWindow::cascade()
{
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::StackingOrder))
        if (!w->isMinimized() && !w->isHidden())
            windows.push_back(w);
    if (windows.empty())
        return;
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
    const QSize area = mdi_->viewport()->size();
    const int n = static_cast<int>(windows.size());
    const QSize size(std::max(area.width() - step * (n - 1), area.width() * 2 / 3),
                     std::max(area.height() - step * (n - 1), area.height() * 2 / 3));
    for (int i = 0; i < n; ++i) {
        windows[static_cast<std::size_t>(i)]->showNormal();
        windows[static_cast<std::size_t>(i)]->setGeometry(QRect(QPoint(i * step, i * step), size));
    }
}

// The document windows that are not minimised share the area without
// overlapping, in the order the Window menu lists them.
void FrameWindow::tile(bool horizontally)
{
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : mdi_->subWindowList())
        if (!w->isMinimized() && !w->isHidden())
            windows.push_back(w);
    const QSize area = mdi_->viewport()->size();
    const std::vector<TileRect> rects =
        tileRects(static_cast<int>(windows.size()), area.width(), area.height(), horizontally);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height));
    }
}

// A document window's outer size for a client of `inner` pixels: the scroll
// bars' room and the sub-window's frame and title bar added.
QSize FrameWindow::outerSize(QMdiSubWindow* sub, QSize inner) const
{
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int frame = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    return QSize(inner.width() + scrollBar + 2 * frame + 4, inner.height() + scrollBar + title + 2 * frame);
}

// A new Report window is as wide as the band table's first columns, and as
// the widest line of its report, so that no value or unit is cut off; never
// wider than the area.
int FrameWindow::initialReportWidth(const report::ReportWindow& window) const
{
    const int widest = std::max(window.initialTextWidth(), window.scroll().textWidth);
    return std::min(widest, std::max(200, mdi_->viewport()->width() - 40));
}

// The height a document window opens with when nothing gives one.
int FrameWindow::defaultHeight() const
{
    return std::max(300, mdi_->viewport()->height() * 2 / 3);
}

void FrameWindow::windowCommand(int id)
{
    switch (id) {
    case cmd::cascade: cascade(); break;
    case cmd::tileHorizontally:
    case cmd::tileVertically: tile(id == cmd::tileHorizontally); break;
    case cmd::minimizeAll:
    case cmd::restoreAll:
        for (QMdiSubWindow* w : mdi_->subWindowList()) {
            if (id == cmd::minimizeAll && !w->isMinimized())
                w->showMinimized();
            else if (id == cmd::restoreAll && w->isMinimized())
                w->showNormal();
        }
        break;
    case cmd::arrangeIcons: break;  // minimised windows line up by themselves
    case cmd::closeAll:
        for (QMdiSubWindow* w : mdi_->subWindowList()) {
            w->showNormal();
            w->close();
        }
        break;
    }
}

void FrameWindow::about()
{
    QMessageBox box(QMessageBox::NoIcon, "About Ozmar",
                    "<p><b>Ozmar</b> version 6.81</p>"
                    "<p>The PC companion of the Corvane EEG instrument for electroconvulsive therapy.</p>"
                    "<p>It receives treatment and monitoring recordings from the instrument, keeps them as "
                    "data files, shows the treatment report, the EEG and its spectral analysis, monitors EEG "
                    "live, and prints and exports reports, tables and images.</p>",
                    QMessageBox::Ok, this);
    box.setObjectName("AboutBox");
    box.setTextFormat(Qt::RichText);
    box.setIconPixmap(programIcon().pixmap(64, 64));
    // A width that keeps the sentences whole on a line or two.
    box.setStyleSheet("QLabel#qt_msgbox_label { min-width: 420px; }");
    QPushButton* manual = box.addButton("&Manual", QMessageBox::HelpRole);
    box.exec();
    if (box.clickedButton() == manual)
        openManual(this);
    mdi_->setFocus();
}

bool FrameWindow::onCommand(int id, long wParam, long lParam)
{
    // A shortcut fires without its popup having opened: a command whose menu
    // item the rules grey does nothing, whichever way it came.
    if (!itemState(id, menuContext()).enabled)
        return true;
    // While a print runs between its pages, nothing may change what it prints.
    if (printing_ && id != 606)
        return true;
    switch (id) {
    case cmd::fileNew: newCommand(this, effects()); return true;
    case cmd::fileOpen: openCommand(this, effects()); if (document.dataPresent) openReport(false); return true;
    case cmd::fileSave: saveCommand(this, effects()); return true;
    case cmd::fileSaveAs: saveAsCommand(this, effects()); return true;
    case cmd::exitProgram: close(); return true;
    case cmd::sendData: sendData(); return true;
    case cmd::receiveData: receiveData(); return true;
    case cmd::autoUpload: autoUpload(); return true;
    case cmd::patientInfo: patientInfo(); return true;
    case cmd::saveAsImage: saveAsImage(); return true;
    case cmd::saveAllAsText: saveAllAsText(); return true;
    case cmd::batchConvert: batchConvert(); return true;
    case cmd::uploadBegins:
        // Not under a running export: the recording it reads would change under it.
        if (exportsRunning_ > 0)
            QTimer::singleShot(200, this, [this] { onCommand(cmd::uploadBegins, 0, 0); });
        else
            fileArrivingRecording();
        return true;
    case cmd::sendName: sendName(); return true;
    case cmd::about: about(); return true;
    case cmd::openReport:
    case cmd::openReportToo: openReport(startup.startingUp); return true;
    case cmd::openGraph: openGraph(startup.startingUp); return true;
    case cmd::openBands:
    case cmd::openSpectrum: openTable(id, startup.startingUp); return true;
    case cmd::openFft: openFft(startup.startingUp); return true;
    case cmd::saveAsText: saveAsText(); return true;
    case kExportEdf: exportEdf(); return true;
    case cmd::treatmentCourse: treatmentCourse(); return true;
    case cmd::exportBids: exportBids(); return true;
    case cmd::cascade:
    case cmd::tileHorizontally:
    case cmd::tileVertically:
    case cmd::minimizeAll:
    case cmd::restoreAll:
    case cmd::arrangeIcons:
    case cmd::closeAll: windowCommand(id); return true;
    case cmd::speedStep:
    case cmd::speed25:
    case cmd::speed50:
    case cmd::speed100:
    case cmd::speed250:
    case cmd::speed500:
    case cmd::playBack:
    case cmd::resetPlayback:
    case cmd::rejectEpoch:
    case cmd::monitorLive: monitorCommand(id); return true;
    case cmd::channelSettingsWindow: case cmd::playControlWindow: toolWindowCommand(id); return true;
    case cmd::pageSetup: pageSetup(); return true;
    case cmd::print: printWindow(); return true;
    default: break;
    }
    if (id >= cmd::firstPort && id <= cmd::lastPort) {
        setPort(id - cmd::firstPort + 1);
        return true;
    }
    return forwardToActive(id, wParam, lParam);
}

bool FrameWindow::event(QEvent* event)
{
    if (platform::dispatchCommand(*this, event))
        return true;
    const bool handled = QMainWindow::event(event);
    // The border a window manager adds is known only once the frame is shown:
    // then the client area is made smaller so the outer rectangle is the stored one.
    if (pendingOuter_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
        const QRect outer = frameGeometry(), inner = geometry();
        if (outer.size() != inner.size()) {
            const QRect wanted = *pendingOuter_;
            pendingOuter_.reset();
            resize(wanted.size() - (outer.size() - inner.size()));
            move(wanted.topLeft());
        }
    }
    return handled;
}

void FrameWindow::restoreOuterGeometry(QRect outer)
{
    bool visible = false;
    for (const QScreen* screen : QGuiApplication::screens())
        visible = visible || screen->availableGeometry().intersects(QRect(outer.topLeft(), QSize(outer.width(), 40)));
    if (!visible && QGuiApplication::primaryScreen()) {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        outer.setSize(outer.size().boundedTo(area.size()));
        outer.moveTopLeft(area.topLeft());
    }
    move(outer.topLeft());
    resize(outer.size());
    pendingOuter_ = outer;
    QTimer::singleShot(3000, this, [this] { pendingOuter_.reset(); });
}

std::vector<SavedWindow> FrameWindow::windowRecords() const
{
    std::vector<SavedWindow> records = {{recordOf(this, 0, false), {}}};
    if (channelSettings_)
        records.push_back({recordOf(channelSettings_, 23, false), {}});
    if (playControl_)
        records.push_back({recordOf(playControl_, 24, false), {}});
    for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::StackingOrder)) {
        const int command = commandOf(w);
        if (command == 0 || (command == cmd::openReport && w != reportSub_))
            continue;
        SavedWindow saved{recordOf(w, command, true), {}};
        if (auto* table = dynamic_cast<const views::TableWindow*>(w->widget()))
            saved.state = views::encodeTableState(table->settings(), table->isBands());
        records.push_back(saved);
    }
    return records;
}

void FrameWindow::replayLayout()
{
    for (const SavedWindow& w : windowLayout.windows) {
        if (w.record.commandId == 23)
            windowLayout.channelSettingsRecord = w.record;
        else if (w.record.commandId == 24)
            windowLayout.playControlRecord = w.record;
        else {
            windowLayout.current = w.record;
            windowLayout.currentState = w.state;
            onCommand(w.record.commandId, 0, 0);
        }
    }
    windowLayout.current = WindowRecord{};
    windowLayout.currentState.clear();
}

void FrameWindow::closeEvent(QCloseEvent* event)
{
    // Monitoring stops first: what it received becomes an unsaved monitoring
    // recording (filed at once in auto-upload mode) that the prompt asks for.
    if (monitor::monitorState.liveSession) {
        if (monitor::monitorState.autoUploadActive)
            stopLiveSession();
        else
            stopMonitoring();
    }
    if (askToSave(this, true, "%s - Exit", effects()) == platform::IDCANCEL) {
        event->ignore();
        return;
    }
    settings.autoUploadAtStart = monitor::monitorState.autoUploadActive && !startup.autoUpload;
    monitor::stopAll();
    serial::closePort();
    if (!startup.noSerial)
        writeConfiguration(configurationPath(), windowRecords());
    // The tool windows go with the frame (their own close only hides them).
    delete playControl_.data();
    delete channelSettings_.data();
    delete course_.data();
    event->accept();
}

}  // namespace app
