// Auto Upload (40005) and the arriving recording (606): the upload folder is
// chosen in a save dialog that proposes today's next name, and each recording
// the instrument sends in auto-upload mode is filed there under its automatic
// name.
#include <QMdiArea>
#include <QTimer>
#include <ctime>
#include <filesystem>

#include "app/documentState.h"
#include "app/frameWindow.h"
#include "data/autoFiling.h"
#include "data/autoNames.h"
#include "data/dataFiles.h"
#include "data/leftoverFiling.h"
#include "data/linkState.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "monitor/monitorControl.h"
#include "monitor/monitorState.h"
#include "platform/dialogs.h"
#include "platform/localTime.h"
#include "serial/serialPort.h"
#include "serial/transferDialog.h"
#include "serial/transfers.h"
#include "state/startupState.h"
#include "platform/textEncoding.h"

namespace app {

namespace {

namespace fs = std::filesystem;


std::string todayPrefix()
{
    return data::dayPrefixOf(platform::localNow());
}

// The folder-choosing save dialog: today's proposed name "MMDDYYnn_.dat" in a
// read-only box, kept up to date for the folder shown; Upload takes the folder
// only while the box holds exactly that name. Empty when cancelled.
std::string chooseUploadFolder(const void* owner)
{
    const std::string prefix = todayPrefix();
    const auto propose = [prefix](const std::string& folder) {
        return data::proposedName(prefix, data::nextDayNumber(folder, prefix));
    };
    platform::FileRequest r;
    r.owner = owner;
    r.save = true;
    r.title = "Auto Upload";
    r.filters = {{"Today's Data Files (MMDDYYnn_hhmm.dat, .mon)", prefix + "*.dat;" + prefix + "*.mon"},
                 {"Data Files (*.dat,*.mon)", "*.dat;*.mon"},
                 {"All Files (*.*)", "*.*"}};
    r.folder = serial::transferState.uploadDir.empty() ? state::startup.uploadDir : serial::transferState.uploadDir;
    if (r.folder.empty())
        r.folder = fs::current_path().string();
    r.name = propose(r.folder);
    r.defaultExtension = "dat";
    r.acceptLabel = "&Upload";
    r.fileNameLabel = "&Begin with:";
    r.typeLabel = "Files of &type:";
    r.proposeName = propose;
    r.onAccept = [propose](const std::string& chosen) {
        const fs::path path(chosen);
        const std::string folder = path.parent_path().string();
        return platform::lowerAscii(path.filename().string()) == platform::lowerAscii(propose(folder)) ? folder : std::string();
    };
    return platform::fileDialog(r);
}

// Monitoring data that arrived before the recording is filed first, as a
// monitoring file of its own under its automatic name (ending the session
// stamped it with its date, time and epoch count). False when it could not be
// filed: it then stays in memory as an unsaved recording.
bool fileMonitoringData(const void* owner, const std::string& folder)
{
    const data::Recording& rec = data::recordings.primary;
    if (!document.dataUnsaved || rec.rawChannels[0].count == 0)
        return true;
    if (data::fileMonitoredRecording(owner, folder, platform::localNow()).empty())
        return false;
    document.dataUnsaved = document.dataModified = false;
    return true;
}

// Recordings an interrupted filing left in the folder under hidden temporary
// names are filed now; what became of each is told once the event loop runs,
// so that the message never holds up the start of monitoring.
void fileLeftovers(QWidget* owner, const std::string& folder)
{
    std::string text;
    for (const data::Leftover& leftover : data::fileLeftovers(folder))
        text += (text.empty() ? "" : "\n\n") + data::leftoverMessage(leftover);
    if (!text.empty())
        QTimer::singleShot(0, owner, [owner, text] {
            platform::messageBox(owner, text, "Ozmar", platform::Buttons::ok, platform::Icon::exclamation);
        });
}

}  // namespace

void FrameWindow::autoUpload()
{
    monitor::MonitorState& m = monitor::monitorState;
    if (!state::startup.startingUp && !m.autoUploadActive && !m.liveSession) {
        const bool patientCounts = document.sendable && document.patientInfoModified;
        if (askToSave(this, patientCounts, "%s - Auto Upload", effects()) == platform::IDCANCEL)
            return;
    }
    if (m.autoUploadActive) {
        m.autoUploadActive = false;
        if (m.liveSession)
            stopMonitoring();
        refreshToolWindows();
        retitle();
        return;
    }
    std::string folder = serial::transferState.uploadDir.empty() ? state::startup.uploadDir : serial::transferState.uploadDir;
    if (!state::startup.startingUp) {
        folder = chooseUploadFolder(this);
        if (folder.empty()) {
            retitle();
            return;
        }
    }
    serial::transferState.uploadDir = folder;
    fileLeftovers(this, folder);
    m.autoUploadActive = true;
    startLiveSession();
    retitle();
}

void FrameWindow::stopLiveSession()
{
    if (monitor::endMonitoring(platform::localNow()))
        document.markNewMonitoring();
    if (!fileMonitoringData(this, serial::transferState.uploadDir))
        keepUnfiled();
    retitle();
    refreshToolWindows();
    refreshViews(true);
}

// Monitored EEG that could not be filed stays in memory; auto-upload goes off
// so that no session overwrites it, and Exit asks to save it.
void FrameWindow::keepUnfiled()
{
    monitor::monitorState.autoUploadActive = false;
    platform::messageBox(this,
                         "The recording could not be filed in " + serial::transferState.uploadDir +
                             ".\nIt is kept unsaved; Auto Upload is off.",
                         "Ozmar", platform::Buttons::ok, platform::Icon::exclamation);
    retitle();
    refreshToolWindows();
}

bool FrameWindow::fileArrivingRecording()
{
    const std::string folder = serial::transferState.uploadDir;
    if (monitor::endMonitoring(platform::localNow()))
        document.markNewMonitoring();
    if (!fileMonitoringData(this, folder)) {
        // The upload would overwrite the unfiled EEG: the instrument is told no.
        if (serial::serialPort.portHandle)
            serial::serialPort.portHandle->transmitImmediate(0xF8);
        serial::configurePort();
        keepUnfiled();
        refreshViews(true);
        return false;
    }
    data::resetPrimary();
    data::clearPatientSets(1);
    serial::clearForUpload();
    serial::transferState.uploadFile = data::arrivingUploadName(folder, platform::localNow());
    const bool filed = runTransfer(serial::TransferKind::upload);
    if (!filed && data::linkState.transferStatus == 0 && serial::holdsReceivedRecording()) {
        // Received whole but not written: kept in memory, never thrown away.
        document.markNewMonitoring();
        keepUnfiled();
        refreshViews(true);
        return false;
    }
    data::resetPrimary();
    document = DocumentState{};
    refreshViews(true);
    if (!filed) {
        monitor::monitorState.autoUploadActive = false;
        refreshToolWindows();
        retitle();
        return false;
    }
    if (state::startup.autoClose) {
        close();
        return true;
    }
    startLiveSession();
    return true;
}

}  // namespace app
