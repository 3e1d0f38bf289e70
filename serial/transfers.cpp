#include "serial/transfers.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include "data/autoNames.h"
#include "data/byteLayer.h"
#include "data/dataFile.h"
#include "analysis/spectralSums.h"
#include "data/loadedRecording.h"
#include "data/progressSink.h"
#include "data/recordingHooks.h"
#include "data/recordingReset.h"
#include "data/recordingStore.h"
#include "data/safeFile.h"
#include "data/sampleRing.h"
#include "data/streamFormat.h"
#include "data/streamReader.h"
#include "data/streamWriter.h"
#include "platform/dialogs.h"
#include "platform/localTime.h"
#include "serial/serialPort.h"

namespace serial {

TransferState transferState;
TransferHooks transferHooks;

void TransferState::reset()
{
    transferBusy = false;
    sendNameMode = false;
    nameToSend.clear();
    uploadFile.clear();
    uploadDir.clear();
    filedPath.clear();
}

namespace {

using data::linkState;
namespace bits = data::transfer;
using platform::SectionGuard;

void tell(const std::string& text, const char* caption)
{
    platform::messageBox(nullptr, text, caption, platform::Buttons::ok, platform::Icon::exclamation);
}

void tellPortInvalid(const char* caption)
{
    const std::string digit(1, static_cast<char>('0' + serialPort.portNumber));
    tell(platform::format("Port COM%s is invalid.", digit), caption);
}

// The instrument is told that a reception failed or was cancelled.
void sendCancelByte()
{
    if (linkState.device)
        linkState.device->transmitImmediate(data::kCancelByte);
}

// Steps 2 and 3 of the common start.
void beginTransfer(data::ProgressSink* progress)
{
    linkState.progressTotal = linkState.progressCount = 0;
    linkState.progress = progress;
    transferState.transferBusy = true;
    transferHooks.refreshPlayControl();
}

void endTransfer(const TransferContext& context)
{
    if (context.closeDialog)
        context.closeDialog();
    transferState.transferBusy = false;
    transferHooks.refreshPlayControl();
}

void resetPrimaryLocked()
{
    SectionGuard recordingLock(data::dataLocks.recordingLock);
    data::resetPrimary();
}

// The messages of a failed reception; the instrument gets 0xF8 for any end but success.
void receiveFailed(std::uint32_t status)
{
    if (status & bits::crcError) {
        sendCancelByte();
        tell("Transmission CRC error", "Receive");
    } else if (status & (bits::deviceCancel | bits::lineError | bits::framingError | bits::breakError)) {
        sendCancelByte();
        tell("Transmission error", "Receive");
    } else if (status & bits::userCancel) {
        sendCancelByte();
    }
}

void sendNameStream()
{
    const std::string& name = transferState.nameToSend;
    data::setProgressSection("Sending Name of device...", 0);
    if (linkState.progress)
        linkState.progress->setPercentText(" ");
    const std::size_t n = std::max<std::size_t>(name.size(), 1);
    linkState.progressCount = 0;
    linkState.progressTotal = static_cast<std::uint32_t>(n + 5);
    data::sendByte(data::tag::deviceNameSent, false);
    data::sendByte(static_cast<std::uint8_t>(n), false);
    for (std::size_t i = 0; i < n; ++i)
        data::sendByte(i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0, false);
}

void sendFailed(std::uint32_t status)
{
    if (status & bits::portInvalid)
        tellPortInvalid("Send");
    else if (status & bits::deviceCancel)
        tell("Transmission canceled by Corvane", "Send");
    else if (status & (bits::lineError | bits::framingError | bits::breakError))
        tell("Transmission error", "Send");
    else if (status & bits::crcError)
        tell("Transmission CRC error", "Send");
}

std::string finalUploadName(const std::string& file)
{
    const std::tm local = platform::localNow();
    return data::finalName(file, local.tm_hour, local.tm_min, "dat");
}

// An upload is received into a recording of its own: nothing of a failed or
// cancelled one ever reaches the program's recording, and the windows never
// see one half received. It starts as an emptied primary recording would, with
// the primary's channel words.
void prepareScratch(data::LoadedRecording& scratch)
{
    data::emptyRecording(scratch.rec);
    scratch.total.clear();
    scratch.seizure.clear();
    SectionGuard recordingLock(data::dataLocks.recordingLock);
    for (int word : {data::hw::channelMode, data::hw::channelModeCopy})
        scratch.rec.header[static_cast<std::size_t>(word)] = data::recordings.primary.header[static_cast<std::size_t>(word)];
}

// The received upload becomes the program's recording, for the caller to keep
// when it could not be filed.
void adoptReception(data::LoadedRecording& scratch)
{
    SectionGuard recordingLock(data::dataLocks.recordingLock);
    data::resetPrimary();
    std::swap(data::recordings.primary, scratch.rec);
    analysis::spectralSums.kind(0) = scratch.total;
    analysis::spectralSums.kind(1) = scratch.seizure;
    data::recordingHooks.primaryRead(data::recordings.primary);
}

// Receives into `scratch`; returns the transfer status (0: success).
std::uint32_t uploadReception(data::LoadedRecording& scratch)
{
    SectionGuard transferLock(transferState.transferLock);
    linkState.transferStatus = 0;
    try {
        prepareScratch(scratch);
        data::readReceivedStream(scratch.rec, scratch.sums(), linkState.progress);
        // The epochs take the selection the instrument stored, as after any read.
        data::selectStoredEpochs(scratch.rec, 0);
        setHandshake(Handshake::none);
        return 0;
    } catch (const data::TransferError& e) {
        configurePort();
        if (e.bits & bits::portInvalid)
            tellPortInvalid("Receive");
        else
            receiveFailed(e.bits);
        return e.bits;
    }
}

// Writes the received recording into the upload's temporary file; false after a write error.
bool writeUploadFile(data::DataFile& file, data::LoadedRecording& scratch, const std::string& shownName)
{
    SectionGuard fileLock(data::dataLocks.fileLock);
    try {
        data::writeDataStream(&file, scratch.rec, scratch.sums(), true, nullptr);
        return true;
    } catch (const data::FileError&) {
        tell(platform::format("Cannot write file %s", shownName), "Ozmar");
        return false;
    }
}

// Files a written upload under its final name "MMDDYYnn_hhmm.dat", never over
// an existing file: a taken name gives way to the day's next free number.
// When no final name can be had the recording is kept under the name it was
// received as, or else where it was written, and the message names the file:
// a good reception is never deleted.
void fileUpload(data::SafeFile& out)
{
    namespace fs = std::filesystem;
    const std::string folder = transferState.uploadDir, arriving = transferState.uploadFile;
    std::string name = finalUploadName(arriving);
    transferState.filedPath.clear();
    for (int attempt = 0; attempt < 100; ++attempt) {
        out.retarget((fs::path(folder) / name).string());
        if (out.commitNew()) {
            transferState.filedPath = (fs::path(folder) / name).string();
            return;
        }
        if (out.temporaryPath().empty()) {  // the last of the bytes could not be written
            tell(platform::format("Cannot write file %s", (fs::path(folder) / arriving).string()), "Ozmar");
            return;
        }
        if (errno != EEXIST)
            break;
        const std::string prefix = arriving.substr(0, 6);
        name = finalUploadName(data::arrivingName(prefix, data::nextDayNumber(folder, prefix), "dat"));
    }
    out.retarget((fs::path(folder) / arriving).string());
    const std::string kept = out.commitNew() ? (fs::path(folder) / arriving).string() : out.keepTemporary();
    tell(platform::format("The received recording could not be given its automatic name; it was saved as %s", kept), "Ozmar");
}

}  // namespace

namespace {

// The common start and end around a session's work: the port reopened, the
// busy flag, the transfer lock and the error exit, whose bits go to `failed`
// after the port has been set up again.
template <class Work, class Failed>
void runSession(const TransferContext& context, Work work, Failed failed)
{
    if (serialPort.portHandle && !reopenPort(nullptr)) {
        endTransfer(context);
        return;
    }
    beginTransfer(context.progress);
    {
        SectionGuard transferLock(transferState.transferLock);
        linkState.transferStatus = 0;
        try {
            work();
        } catch (const data::TransferError& e) {
            configurePort();
            failed(e.bits);
        }
    }
    endTransfer(context);
}

}  // namespace

void receiveSession(const TransferContext& context)
{
    auto work = [&] {
        configurePort();
        if (serialPort.portHandle)
            setHandshake(Handshake::receive);
        resetPrimaryLocked();
        {
            SectionGuard recordingLock(data::dataLocks.recordingLock);
            data::readStream(context.progress, nullptr);
        }
        setHandshake(Handshake::none);
        linkState.stopRequested = true;
        configurePort();
    };
    auto failed = [](std::uint32_t status) {
        resetPrimaryLocked();  // nothing of a failed reception is kept
        if (status & bits::portInvalid)
            tellPortInvalid("Receive");
        else
            receiveFailed(status);
    };
    runSession(context, work, failed);
}

void sendSession(const TransferContext& context, bool sendName)
{
    auto work = [&] {
        configurePort();
        if (serialPort.portHandle)
            setHandshake(Handshake::send);
        data::beginSentStream();
        SectionGuard writerLock(data::dataLocks.writerLock);
        if (sendName)
            sendNameStream();
        else
            data::writeStream(context.progress, nullptr, true);
        data::endSentStream();
        // The end byte and the check must leave the port before it is flushed.
        if (linkState.device)
            linkState.device->drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(data::kLineWaitMs));
        data::pollPort();
        configurePort();
        linkState.stopRequested = true;
    };
    runSession(context, work, sendFailed);
}

// The upload is written to a temporary file in the upload folder, which takes
// its final name only once complete: a failed or cancelled upload leaves no
// partial file and never touches an existing one. The folder is tried before
// the reception, so that the user hears at once that it cannot take a file,
// but the temporary file is made only after it: while it exists Ctrl+C and
// SIGTERM are held back, and a reception can last minutes. When no file can
// be made the recording is still received, so that the caller keeps it.
void uploadSession(const TransferContext& context)
{
    namespace fs = std::filesystem;
    const std::string path = (fs::path(transferState.uploadDir) / transferState.uploadFile).string();
    const bool folderTakesFile = data::SafeFile(path).file() != nullptr;
    if (!folderTakesFile)
        tell(platform::format("Could not open file \"%s\" to write", path), "Ozmar");
    auto scratch = std::make_unique<data::LoadedRecording>();
    beginTransfer(context.progress);
    const std::uint32_t status = uploadReception(*scratch);
    std::optional<data::SafeFile> out;
    if (status == 0) {
        out.emplace(path);
        if (!out->file() && folderTakesFile)
            tell(platform::format("Could not open file \"%s\" to write", path), "Ozmar");
    }
    const bool written = out && out->file() && writeUploadFile(*out->file(), *scratch, path);
    if (status == 0 && !written)
        adoptReception(*scratch);  // received whole: never thrown away
    if (written)
        linkState.stopRequested = true;
    endTransfer(context);
    if (written)
        fileUpload(*out);
}

bool holdsReceivedRecording()
{
    const data::Recording& rec = data::recordings.primary;
    return (rec.contentFlags() & 0x00FF) != 0 || rec.rawChannels[0].count > 0;
}

void clearForUpload()
{
    data::Recording& rec = data::recordings.primary;
    const std::uint16_t mode = rec.header[data::hw::channelMode], copy = rec.header[data::hw::channelModeCopy];
    rec.header.fill(0);
    rec.header[data::hw::channelMode] = mode;
    rec.header[data::hw::channelModeCopy] = copy;
    rec.deviceName.clear();
    rec.reportTitle.clear();
    rec.reportText.clear();
    for (auto& series : rec.conditionData)
        std::fill(series.begin(), series.end(), std::int16_t{0});
    for (int ch = 0; ch < data::kChannels; ++ch)
        data::channelClear(rec, ch);
}

}  // namespace serial
