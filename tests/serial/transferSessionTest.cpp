// The transfer sessions on their threads, over an in-memory line. Every wait is
// on a condition with a generous deadline.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>

#include "app/portSearch.h"
#include "state/portTable.h"
#include "state/settings.h"
#include "state/startupState.h"
#include "data/byteLayer.h"
#include "data/crc.h"
#include "data/recordingStore.h"
#include "data/streamWriter.h"
#include "data/wireEnvelope.h"
#include "platform/dialogs.h"
#include "platform/fileOps.h"
#include "platform/memorySerialDevice.h"
#include "serial/serialPort.h"
#include "serial/transferRun.h"
#include "support/sampleRecording.h"

using namespace serial;
using namespace std::chrono_literals;

namespace {

// A memory line that several threads may touch: the transfer thread reads and
// writes, the test feeds and inspects under the same mutex.
class SharedLine : public platform::MemorySerialDevice {
public:
    std::mutex mutex;
    long readSome(std::uint8_t* buf, std::size_t max) override
    {
        std::lock_guard lock(mutex);
        return MemorySerialDevice::readSome(buf, max);
    }
    long writeSome(const std::uint8_t* buf, std::size_t count) override
    {
        std::lock_guard lock(mutex);
        return MemorySerialDevice::writeSome(buf, count);
    }
    platform::LineStatus lineStatus() override
    {
        std::lock_guard lock(mutex);
        return MemorySerialDevice::lineStatus();
    }
    bool transmitImmediate(std::uint8_t byte) override
    {
        std::lock_guard lock(mutex);
        return MemorySerialDevice::transmitImmediate(byte);
    }
    std::size_t remaining()
    {
        std::lock_guard lock(mutex);
        return available();
    }
    std::vector<std::uint8_t> written()
    {
        std::lock_guard lock(mutex);
        return output;
    }
};

// Collects message boxes from any thread.
class LockedResponder : public platform::DialogResponder {
public:
    int messageBox(const platform::MessageRequest& r) override
    {
        std::lock_guard lock(mutex_);
        texts_.push_back(r.caption + ": " + r.text);
        return platform::IDOK;
    }
    std::vector<std::string> texts()
    {
        std::lock_guard lock(mutex_);
        return texts_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        texts_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<std::string> texts_;
};

class TransferSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        line.input.clear();
        line.output.clear();
        line.readPos = 0;
        testing_support::resetCore();
        serialPort.reset();
        transferState.reset();
        data::linkState.device = &line;
        responder.clear();
        platform::dialogs.responder = &responder;
    }
    void TearDown() override
    {
        platform::dialogs.reset();
        serialPort.reset();
        transferState.reset();
        testing_support::resetCore();
    }

    // Runs a transfer to its end and returns the dialog's result.
    bool runToEnd(TransferKind kind)
    {
        TransferRun run(kind, nullptr);
        run.start();
        EXPECT_TRUE(run.waitClosed(30s));
        run.join();
        return run.result();
    }

    SharedLine line;
    LockedResponder responder;
};

std::vector<std::uint8_t> sampleStream()
{
    testing_support::resetCore();
    testing_support::fillPrimary({0, 1000, 4, true, 8});
    testing_support::TempDir dir;
    testing_support::writePrimary(dir.file("s.dat"));
    testing_support::resetCore();
    return testing_support::fileBytes(dir.file("s.dat"));
}

}  // namespace

TEST_F(TransferSession, ReceiveFillsThePrimaryRecording)
{
    line.input = data::wrapInEnvelope(sampleStream());
    data::linkState.device = &line;
    EXPECT_TRUE(runToEnd(TransferKind::receive));
    EXPECT_EQ(data::recordings.primary.patient.text[data::patientName], "Jane Doe");
    EXPECT_EQ(data::recordings.primary.rawChannels[2].count, 1000u);
    EXPECT_TRUE(responder.texts().empty());
    EXPECT_FALSE(transferState.transferBusy);
}

TEST_F(TransferSession, BadCheckResetsTheRecordingAndTellsTheInstrument)
{
    auto envelope = data::wrapInEnvelope(sampleStream());
    envelope.back() ^= 1;
    line.input = envelope;
    data::linkState.device = &line;
    EXPECT_FALSE(runToEnd(TransferKind::receive));
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"Receive: Transmission CRC error"});
    EXPECT_EQ(line.written(), std::vector<std::uint8_t>{0xF8});
    EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 0u);
    // The reset takes the recording, not the patient fields read before the check failed.
    EXPECT_EQ(data::recordings.primary.patient.text[data::patientName], "Jane Doe");
    EXPECT_TRUE(data::recordings.primary.deviceName.empty());
}

TEST_F(TransferSession, FaultsAtManyPositionsNeverKeepAPartialRecording)
{
    const auto envelope = data::wrapInEnvelope(sampleStream());
    for (std::size_t at = 32; at < envelope.size(); at += envelope.size() / 23) {
        SetUp();
        auto damaged = envelope;
        damaged[at] ^= 0x40;
        line.input = damaged;
        line.goneAtEnd = true;  // a stream cut short ends with the device gone
        data::linkState.device = &line;
        EXPECT_FALSE(runToEnd(TransferKind::receive)) << at;
        EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 0u) << at;
        EXPECT_EQ(line.written(), std::vector<std::uint8_t>{0xF8}) << at;
        const auto texts = responder.texts();
        ASSERT_EQ(texts.size(), 1u) << at;
        EXPECT_TRUE(texts[0] == "Receive: Transmission CRC error" || texts[0] == "Receive: Transmission error" ||
                    texts[0] == "Receive: Port COM0 is invalid.")
            << at << " " << texts[0];
    }
}

TEST_F(TransferSession, CancelEndsAReceptionPromptlyWithTheCancelByte)
{
    // The instrument sends the preamble and part of a stream, then nothing.
    auto envelope = data::wrapInEnvelope(sampleStream());
    envelope.resize(envelope.size() / 2);
    line.input = envelope;
    data::linkState.device = &line;
    TransferRun run(TransferKind::receive, nullptr);
    run.start();
    // Wait until the stream is under way, then cancel as the dialog's Cancel does.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (line.remaining() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    const auto cancelled = std::chrono::steady_clock::now();
    run.cancel();
    EXPECT_FALSE(run.result());
    run.join();
    // The thread sees the request at its next check: well within a second.
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 1s);
    EXPECT_EQ(line.written(), std::vector<std::uint8_t>{0xF8});
    EXPECT_TRUE(responder.texts().empty());
    EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 0u);
}

TEST_F(TransferSession, SendNameWithAnEmptyNameSendsOneZeroByte)
{
    transferState.nameToSend = "";
    EXPECT_TRUE(runToEnd(TransferKind::sendName));
    const auto out = line.written();
    ASSERT_EQ(out.size(), 32u + 3u + 3u);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 32, out.begin() + 35), (std::vector<std::uint8_t>{32, 1, 0}));
    EXPECT_EQ(out[35], 0xFC);
    EXPECT_EQ(data::crcOf(out.data() + 32, out.size() - 32), 0);
}

TEST_F(TransferSession, SendStopsOnTheInstrumentsAnswers)
{
    testing_support::fillPrimary({0, 3000, 4, false, 9});
    line.afterWrite = [](platform::MemorySerialDevice& d) {
        if (d.output.size() > 5000 && d.available() == 0 && d.readPos == 0)
            d.feed({0xF8});
    };
    EXPECT_FALSE(runToEnd(TransferKind::send));
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"Send: Transmission canceled by Corvane"});
}

TEST_F(TransferSession, SendDrainsTheLineBeforeAnyFlush)
{
    for (TransferKind kind : {TransferKind::send, TransferKind::sendName}) {
        SetUp();
        testing_support::fillPrimary({0, 1000, 2, false, 3});
        transferState.nameToSend = "Corvane 7";
        line.calls.clear();
        ASSERT_TRUE(runToEnd(kind));
        const std::string calls = line.calls;
        const auto firstWrite = calls.find('w'), lastWrite = calls.rfind('w'), drain = calls.find('d');
        ASSERT_NE(firstWrite, std::string::npos);
        ASSERT_NE(drain, std::string::npos) << calls;
        EXPECT_GT(drain, lastWrite) << calls;
        EXPECT_EQ(calls.find('p', firstWrite), calls.find('p', drain)) << "a flush between the writes and the drain: " << calls;
    }
}

TEST_F(TransferSession, SecondTransferWaitsForTheFirstOnTheTransferLock)
{
    platform::SectionGuard held(transferState.transferLock);
    TransferRun run(TransferKind::sendName, nullptr);
    run.start();
    // The run is blocked on the lock (not merely not yet started): nothing has
    // gone to the line, and nothing goes while the lock is held.
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (transferState.transferLock.waiting() == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_EQ(transferState.transferLock.waiting(), 1);
    EXPECT_TRUE(transferState.transferBusy);
    EXPECT_TRUE(line.written().empty());
    EXPECT_FALSE(run.closed());
    held.release();
    EXPECT_TRUE(run.waitClosed(30s));
    run.join();
    EXPECT_TRUE(run.result());
    EXPECT_FALSE(line.written().empty());
}

TEST_F(TransferSession, UploadFilesTheRecordingUnderItsFinalName)
{
    testing_support::TempDir dir;
    transferState.uploadDir = dir.path().string();
    transferState.uploadFile = "12062603.dat";
    line.input = data::wrapInEnvelope(sampleStream());
    data::linkState.device = &line;
    const std::time_t before = std::time(nullptr);
    EXPECT_TRUE(runToEnd(TransferKind::upload));
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    ASSERT_EQ(names.size(), 1u);
    std::tm local{};
    ::localtime_r(&before, &local);
    char expected[32];
    std::snprintf(expected, sizeof expected, "12062603_%02d", local.tm_hour);
    EXPECT_EQ(names[0].substr(0, 11), expected);
    EXPECT_EQ(names[0].size(), std::string("12062603_1407.dat").size());

    SetUp();
    transferState.uploadDir = dir.path().string();
    transferState.uploadFile = "12062604.dat";
    auto bad = data::wrapInEnvelope(sampleStream());
    bad.back() ^= 1;
    line.input = bad;
    data::linkState.device = &line;
    EXPECT_FALSE(runToEnd(TransferKind::upload));
    EXPECT_FALSE(std::filesystem::exists(dir.file("12062604.dat")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

// An upload is assembled apart from the program's recording: one filed, or
// one that failed, leaves that recording as it was; only one received whole
// but not filed takes its place, for the caller to keep.
TEST_F(TransferSession, AnUploadTouchesTheProgramsRecordingOnlyWhenItCannotBeFiled)
{
    testing_support::TempDir dir;
    const std::vector<std::uint8_t> stream = sampleStream();
    const auto filled = [] {
        testing_support::fillPrimary({0, 600, 3, false, 9});
        data::recordings.primary.patient.text[data::patientName] = "Before";
    };
    for (bool damaged : {false, true}) {
        SetUp();
        filled();
        transferState.uploadDir = dir.path().string();
        transferState.uploadFile = damaged ? "12062608.dat" : "12062609.dat";
        auto envelope = data::wrapInEnvelope(stream);
        if (damaged)
            envelope.back() ^= 1;
        line.input = envelope;
        data::linkState.device = &line;
        EXPECT_EQ(runToEnd(TransferKind::upload), !damaged);
        EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 600u) << damaged;
        EXPECT_EQ(data::recordings.primary.patient.text[data::patientName], "Before") << damaged;
    }
    SetUp();
    filled();
    transferState.uploadDir = dir.file("missing");
    transferState.uploadFile = "12062610.dat";
    line.input = data::wrapInEnvelope(stream);
    data::linkState.device = &line;
    EXPECT_FALSE(runToEnd(TransferKind::upload));
    EXPECT_EQ(data::recordings.primary.patient.text[data::patientName], "Jane Doe");
    EXPECT_EQ(data::recordings.primary.rawChannels[2].count, 1000u);
}

TEST_F(TransferSession, GarbageAndFillerFloodsWaitUntilCancel)
{
    // Garbage, a flood of XOFF, then an endless preamble: no stream ever starts.
    for (int i = 0; i < 5000; ++i)
        line.input.push_back(static_cast<std::uint8_t>(i * 37));
    line.input.insert(line.input.end(), 100000, std::uint8_t{0x13});
    line.input.insert(line.input.end(), 100000, std::uint8_t{0xF4});
    TransferRun run(TransferKind::receive, nullptr);
    run.start();
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (line.remaining() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_EQ(line.remaining(), 0u);
    EXPECT_FALSE(run.waitClosed(300ms));  // still waiting for a stream
    run.cancel();
    run.join();
    EXPECT_FALSE(run.result());
    EXPECT_EQ(line.written().back(), 0xF8);
}

TEST_F(TransferSession, PortThatVanishesIsGivenUpAfterAsking)
{
    platform::ScriptedResponder scripted;
    scripted.answers = {platform::IDOK, platform::IDCANCEL, platform::IDOK};
    platform::dialogs.responder = &scripted;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ::grantpt(master);
    ::unlockpt(master);
    ::setenv("OZMAR_COM3", ::ptsname(master), 1);
    ASSERT_TRUE(openPort(3));
    EXPECT_EQ(state::settings.portBase, 0x3E8);
    bool lost = false;
    serialPort.onPortLost = [&] { lost = true; };
    ::close(master);  // the pseudo-terminal disappears
    EXPECT_FALSE(reopenPort(nullptr));
    EXPECT_EQ(scripted.texts(), (std::vector<std::string>{"Port COM3 is invalid.\nTry again?", "Port COM3 is invalid.\nTry again?",
                                                          "Ozmar disconnected from Corvane.\nFix this port or set different one."}));
    EXPECT_EQ(state::settings.portBase, state::kNoPort);
    EXPECT_TRUE(lost);
    ::unsetenv("OZMAR_COM3");
}

TEST_F(TransferSession, StartUpPortSearch)
{
    platform::ScriptedResponder scripted;
    platform::dialogs.responder = &scripted;
    for (int n = 1; n <= 8; ++n)
        ::setenv(("OZMAR_COM" + std::to_string(n)).c_str(), "/nonexistent/serial", 1);
    state::startup.reset();
    state::startup.portGiven = true;
    state::startup.portGivenBase = 0x3E8;
    app::searchPort(nullptr);
    EXPECT_EQ(state::startup.exitCode, 6);
    EXPECT_TRUE(scripted.shown.empty());

    state::startup.reset();
    state::settings.savedPortBase = 0x3E8;  // COM3 first
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master);
    ::unlockpt(master);
    ::setenv("OZMAR_COM5", ::ptsname(master), 1);
    scripted.answers = {platform::IDOK, platform::IDYES};
    app::searchPort(nullptr);
    EXPECT_EQ(scripted.texts(), (std::vector<std::string>{"Can not open port COM3.\nChange port setting?", "Open port COM5?"}));
    EXPECT_EQ(state::settings.portBase, state::portBaseOf(5));
    closePort();
    ::close(master);
    for (int n = 1; n <= 8; ++n)
        ::unsetenv(("OZMAR_COM" + std::to_string(n)).c_str());
    state::startup.reset();
}

namespace {

std::vector<std::string> folderNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The final names an upload of "12062603.dat" may get in the present and the next minute.
std::vector<std::string> finalNamesNow(const std::string& stem)
{
    std::vector<std::string> names;
    for (int later : {0, 60}) {
        const std::time_t t = std::time(nullptr) + later;
        std::tm local{};
        ::localtime_r(&t, &local);
        char name[40];
        std::snprintf(name, sizeof name, "%s_%02d%02d.dat", stem.c_str(), local.tm_hour, local.tm_min);
        names.push_back(name);
    }
    return names;
}

}  // namespace

TEST_F(TransferSession, AnUploadNeverReplacesAFileAndNeverLosesAReception)
{
    const auto stream = sampleStream();
    testing_support::TempDir dir;
    // The final name is taken (by an earlier recording of this minute): the next free number is used.
    for (const std::string& name : finalNamesNow("12062603"))
        testing_support::writeBytes(dir.file(name), {1, 2, 3});
    SetUp();
    transferState.uploadDir = dir.path().string();
    transferState.uploadFile = "12062603.dat";
    line.input = data::wrapInEnvelope(stream);
    EXPECT_TRUE(runToEnd(TransferKind::upload));
    for (const std::string& name : finalNamesNow("12062603"))
        EXPECT_EQ(testing_support::fileBytes(dir.file(name)), (std::vector<std::uint8_t>{1, 2, 3}));
    const auto names = folderNames(dir.path());
    ASSERT_EQ(names.size(), 3u);
    const auto fresh = std::find_if(names.begin(), names.end(), [](const std::string& n) { return n.rfind("12062604_", 0) == 0; });
    ASSERT_NE(fresh, names.end());
    EXPECT_EQ(testing_support::fileBytes(dir.file(*fresh)), stream);

    // No final name can be had (every link fails): the recording stays where it was written, and the message says where.
    testing_support::TempDir other;
    SetUp();
    transferState.uploadDir = other.path().string();
    transferState.uploadFile = "12062605.dat";
    line.input = data::wrapInEnvelope(stream);
    platform::fileOps.link = [](const char*, const char*) { return errno = EIO, -1; };
    EXPECT_TRUE(runToEnd(TransferKind::upload));
    platform::fileOps.reset();
    const auto kept = folderNames(other.path());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(testing_support::fileBytes(other.file(kept[0])), stream);
    const auto texts = responder.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(other.file(kept[0])), std::string::npos) << texts[0];

    // A write that fails leaves nothing, and the message names the upload with its folder.
    testing_support::TempDir third;
    SetUp();
    transferState.uploadDir = third.path().string();
    transferState.uploadFile = "12062606.dat";
    line.input = data::wrapInEnvelope(stream);
    platform::fileOps.write = [](int, const void*, std::size_t) -> ssize_t { return errno = ENOSPC, -1; };
    EXPECT_FALSE(runToEnd(TransferKind::upload));
    platform::fileOps.reset();
    EXPECT_TRUE(folderNames(third.path()).empty());
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"Ozmar: Cannot write file " + third.file("12062606.dat")});

    // A folder that cannot take a file: the message names it with its folder,
    // and the recording is still received, for the caller to keep elsewhere.
    SetUp();
    transferState.uploadDir = third.file("missing");
    transferState.uploadFile = "12062607.dat";
    line.input = data::wrapInEnvelope(stream);
    EXPECT_FALSE(runToEnd(TransferKind::upload));
    EXPECT_EQ(responder.texts(),
              std::vector<std::string>{"Ozmar: Could not open file \"" + third.file("missing/12062607.dat") + "\" to write"});
    EXPECT_EQ(data::linkState.transferStatus, 0u);
    EXPECT_GT(data::recordings.primary.rawChannels[0].count, 0u);
}

TEST_F(TransferSession, WithoutAPortATransferFailsAsALineError)
{
    data::linkState.device = nullptr;  // no port at all
    EXPECT_FALSE(runToEnd(TransferKind::receive));
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"Receive: Transmission error"});
    SetUp();
    data::linkState.device = nullptr;
    EXPECT_FALSE(runToEnd(TransferKind::sendName));
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"Send: Transmission error"});
}

TEST_F(TransferSession, ARawSectionLongerThanTheRingIsRefusedBeforeItsData)
{
    // A stream declaring 0xFFFFFFFF samples, then a megabyte of zeros: the
    // reception fails at the count and reads none of them.
    std::vector<std::uint8_t> stream{8, 0xFF, 0xFF, 0xFF, 0xFF};
    stream.resize(stream.size() + 1000000, 0);
    line.input = data::wrapInEnvelope(stream);
    data::linkState.device = &line;
    EXPECT_FALSE(runToEnd(TransferKind::receive));
    EXPECT_GT(line.remaining(), 990000u);
    EXPECT_EQ(data::recordings.primary.rawChannels[0].count, 0u);
    EXPECT_EQ(line.written(), std::vector<std::uint8_t>{0xF8});
}
