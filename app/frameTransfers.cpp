// The frame's transfer commands: Send Data (11), Receive Data (12) and Send
// Name (13), each through the progress dialog of the transfers.
#include "app/documentState.h"
#include "app/frameWindow.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "monitor/channelSettingsWindow.h"
#include "monitor/monitorControl.h"
#include "platform/dialogs.h"
#include "serial/serialPort.h"
#include "serial/transferDialog.h"

namespace app {

bool FrameWindow::runTransfer(serial::TransferKind kind)
{
    // The tool windows are disabled around a transfer (the Patient Info dialog
    // among them), so nothing changes what is being sent or received.
    if (patient_)
        patient_->setEnabled(false);
    enableToolWindows(false);
    serial::TransferDialog dialog(kind, this);
    const bool done = dialog.run();
    enableToolWindows(true);
    if (patient_)
        patient_->setEnabled(true);
    // The thread has ended: the channel settings read the recording it left.
    if (channelSettings_)
        channelSettings_->refresh();
    return done;
}

void FrameWindow::receiveData()
{
    if (askToSave(this, false, "%s - Receive", effects()) == platform::IDCANCEL)
        return;
    monitor::stopDisplay();
    data::resetPrimary();
    // The patient of the recording before is not the patient of the one to come.
    data::clearPatientSets(1);
    document.currentFilePath.clear();
    document.currentFileName.clear();
    retitle();
    refreshViews(true);
    if (!runTransfer(serial::TransferKind::receive)) {
        refreshViews(true);
        return;
    }
    const data::Recording& rec = data::recordings.primary;
    document.dataPresent = document.dataModified = true;
    if (rec.contentFlags() != 0 || rec.rawChannels[0].count > 0)
        document.sendable = document.dataUnsaved = true;
    document.patientInfoModified = document.playbackEdited = false;
    // As after Open: the Report window shows the new recording.
    retitle();
    if (!reportSub_)
        openReport(false);
    refreshViews(true);
}

void FrameWindow::sendData()
{
    serial::transferState.sendNameMode = false;
    runTransfer(serial::TransferKind::send);
}

void FrameWindow::sendName()
{
    document.nameSending = true;
    platform::TextRequest request;
    request.owner = this;
    request.objectName = "NameSend";
    request.title = "Name to Send...";
    request.label = "&Device name (up to 80 characters):";
    request.text = serial::transferState.nameToSend;
    request.acceptText = "Send";
    request.maxLength = static_cast<int>(serial::kNameToSendMax);
    if (platform::textDialog(request)) {
        serial::transferState.nameToSend = request.text.substr(0, serial::kNameToSendMax);
        serial::transferState.sendNameMode = true;
        runTransfer(serial::TransferKind::sendName);
        serial::transferState.sendNameMode = false;
    }
    document.nameSending = false;
}

}  // namespace app
