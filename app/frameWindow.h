#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <atomic>
#include <memory>
#include <optional>

#include "app/configFile.h"
#include "app/fileCommands.h"
#include "app/menuBuilder.h"
#include "platform/commands.h"
#include "platform/guiQueue.h"
#include "serial/transfers.h"

class QPrinter;

namespace report {
class ReportWindow;
}
namespace views {
class TableWindow;
}
namespace platform {
struct DrawingObjects;
}
namespace course {
class CourseWindow;
}
namespace monitor {
class PlayControlWindow;
class ChannelSettingsWindow;
enum class ChannelChange;
}

namespace app {

// The frame: the MDI area with the document windows, the six menus and the
// accelerators, and the commands the frame carries out itself.
class FrameWindow : public QMainWindow, public platform::CommandWindow {
public:
    FrameWindow();
    ~FrameWindow() override;

    bool onCommand(int id, long wParam, long lParam) override;
    MenuContext menuContext() const;
    MenuKind activeMenu() const { return activeMenu_; }
    QMdiArea* mdiArea() const { return mdi_; }
    report::ReportWindow* reportWindow() const;
    QMdiSubWindow* reportSubWindow() const { return reportSub_; }
    QMdiSubWindow* graphSubWindow() const { return graphSub_; }
    QMdiSubWindow* fftSubWindow() const { return fftSub_; }
    QDialog* patientDialog() const { return patient_; }
    monitor::PlayControlWindow* playControlWindow() const;
    monitor::ChannelSettingsWindow* channelSettingsWindow() const;
    // Creates the channel-settings window and, when asked, the play-control
    // window, unless they exist; installs the monitor's hooks.
    void ensureToolWindows(bool playControl);
    // Auto-upload's live session: monitoring without the save prompt (restarted after each upload).
    void startLiveSession();

    // Places the frame so that its outer rectangle (title bar and border
    // included, as the window records store it) is `outer`, on a screen.
    void restoreOuterGeometry(QRect outer);
    // Re-creates the windows of the saved layout (start-up).
    void replayLayout();
    // The window records of the present layout, the frame's first.
    std::vector<SavedWindow> windowRecords() const;
    void retitle();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    FrameEffects effects();
    void installMenu(MenuKind kind);
    void listWindows();
    void openReport(bool startingUp);
    void openGraph(bool startingUp);
    void openFft(bool startingUp);
    void openTable(int command, bool startingUp);
    // Places a new document window by its start-up record or at a default size.
    void placeSubWindow(QMdiSubWindow* sub, bool startingUp, QSize defaultSize, bool recordInAnyCase = false);
    // Sends 602 to every document window (the Report window with `reset`).
    void refreshViews(bool reset);
    views::TableWindow* activeTable() const;
    void fillSpectrumPopup(QMenu* menu, MenuKind kind);
    void setPort(int number);
    void windowCommand(int id);
    void placeInsideArea(QMdiSubWindow* sub);
    void tile(bool horizontally);
    void cascade();
    QSize outerSize(QMdiSubWindow* sub, QSize inner) const;
    int defaultHeight() const;
    int initialReportWidth(const report::ReportWindow& window) const;
    void about();
    void sendName();
    void sendData();
    void receiveData();
    void autoUpload();
    void patientInfo();
    void saveAsImage();
    // Command 606: files the recording the instrument has begun to send in
    // auto-upload mode; false when it was not filed (auto-upload is then off).
    bool fileArrivingRecording();
    // Runs a transfer's progress dialog with the tool windows disabled; its result.
    bool runTransfer(serial::TransferKind kind);
    bool forwardToActive(int id, long wParam, long lParam);
    void saveAsText();
    void exportEdf();
    // File > Treatment Course...: the Course window of the open recording's patient.
    void treatmentCourse();
    void exportBids();
    // Opens a data file chosen outside the Open dialog, with the save prompt first.
    void openChosenFile(const std::string& path);
    void saveAllAsText();
    void batchConvert();
    // The tool windows and the monitor's commands.
    void toolWindowCommand(int id);
    void monitorCommand(int id);
    void startMonitoring();
    void stopMonitoring();
    void resetCommand();
    void stopLiveSession();
    void keepUnfiled();
    void refreshToolWindows();
    void installMonitorHooks();
    void channelsChanged(monitor::ChannelChange change);
    // Enables or disables the tool windows around a modal operation.
    void enableToolWindows(bool enabled);
    // Page Setup (6) and Print (7) of the active document window.
    void pageSetup();
    void printWindow();
    // Where a print to a file goes; empty when the user cancelled.
    std::string choosePrintFile();

    QMdiArea* mdi_ = nullptr;
    MenuBuilder menus_;
    MenuKind activeMenu_ = MenuKind::Init1;
    QPointer<QMdiSubWindow> reportSub_;
    QPointer<QMdiSubWindow> graphSub_;
    QPointer<QMdiSubWindow> fftSub_;
    QPointer<QDialog> patient_;  // the modeless Patient Info dialog while it is open
    QPointer<monitor::PlayControlWindow> playControl_;
    QPointer<monitor::ChannelSettingsWindow> channelSettings_;
    // The Course window: a window of its own beside the frame, not kept above it.
    QPointer<course::CourseWindow> course_;
    // The live page's repaints: one queued at a time (the display thread asks
    // again only after it ran), at most one every 8 ms (`last`: UI thread only).
    struct LiveRepaint {
        std::atomic<bool> queued{false};
        QElapsedTimer last;
    };
    std::shared_ptr<LiveRepaint> liveRepaint_ = std::make_shared<LiveRepaint>();
    platform::GuiQueue gui_;  // what the monitor and transfer threads hand to the frame
    // While an export, image series or print runs, an arriving recording (606) waits.
    int exportsRunning_ = 0;
    struct ExportGuard {
        FrameWindow& frame;
        explicit ExportGuard(FrameWindow& f) : frame(f) { ++frame.exportsRunning_; }
        ~ExportGuard() { --frame.exportsRunning_; }
    };
    std::unique_ptr<platform::DrawingObjects> drawing_;
    // What printing keeps while the program runs: the printer with its page
    // setup, and the folder and name of the last print to a file.
    std::unique_ptr<QPrinter> printer_;
    std::string lastPrintFile_;
    int toolWindowsHeld_ = 0;  // spells that keep the tool windows disabled
    bool printing_ = false;  // commands wait until the print has ended
    std::optional<QRect> pendingOuter_;  // until the window manager's border is known
};

}  // namespace app
