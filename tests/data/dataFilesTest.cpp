#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "state/startupState.h"
#include "data/autoFiling.h"
#include "data/autoNames.h"
#include "data/dataFiles.h"
#include "data/leftoverFiling.h"
#include "data/safeFile.h"
#include "data/recordingStore.h"
#include "data/streamReader.h"
#include "platform/dialogs.h"
#include "platform/fileOps.h"
#include "support/byteBuilder.h"
#include "support/sampleRecording.h"

using namespace data;
using namespace testing_support;
namespace fs = std::filesystem;

namespace {

class DataFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetCore();
        state::startup.reset();
        platform::dialogs.responder = &responder;
    }
    void TearDown() override
    {
        platform::dialogs.reset();
        state::startup.reset();
        resetCore();
    }

    std::vector<std::string> filesInFolder() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir;
    platform::ScriptedResponder responder;
};

// Makes the Nth counted file-system call fail (once, or from then on), with an
// error number or as a short write.
struct FaultInjector {
    static inline int calls = 0;
    static inline int failAt = 0;
    static inline bool persistent = false;
    static inline int error = EIO;  // 0: short writes instead

    static bool hit()
    {
        const int n = ++calls;
        return persistent ? n >= failAt : n == failAt;
    }
    static void install(int at, bool always, int err)
    {
        calls = 0;
        failAt = at;
        persistent = always;
        error = err;
        auto& ops = platform::fileOps;
        ops.open = [](const char* p, int f, mode_t m) { return hit() ? (errno = error ? error : EIO, -1) : ::open(p, f, m); };
        ops.write = [](int fd, const void* b, std::size_t n) -> ssize_t {
            if (!hit())
                return ::write(fd, b, n);
            if (error == 0)
                return ::write(fd, b, n > 1 ? n / 2 : n);
            errno = error;
            return -1;
        };
        ops.read = [](int fd, void* b, std::size_t n) -> ssize_t {
            if (!hit())
                return ::read(fd, b, n);
            errno = error ? error : EIO;
            return -1;
        };
        ops.fsync = [](int fd) { return hit() ? (errno = error ? error : EIO, -1) : ::fsync(fd); };
        ops.close = [](int fd) {
            const bool fail = hit();
            ::close(fd);
            return fail && error ? (errno = error, -1) : 0;
        };
        ops.rename = [](const char* a, const char* b) { return hit() ? (errno = error ? error : EIO, -1) : ::rename(a, b); };
    }
};

}  // namespace

TEST_F(DataFiles, OpenEmptyTruncatedAndMissingFiles)
{
    writeBytes(dir.file("empty.dat"), {});
    fillPrimary({});
    ASSERT_TRUE(openDataFile(nullptr, dir.file("empty.dat"), true));
    EXPECT_EQ(recordings.primary.rawChannels[0].count, 0u);
    EXPECT_TRUE(responder.shown.empty());

    fillPrimary({});
    writePrimary(dir.file("full.dat"));
    auto bytes = fileBytes(dir.file("full.dat"));
    bytes.resize(bytes.size() - 3);
    writeBytes(dir.file("cut.dat"), bytes);
    const auto header = recordings.primary.header;
    EXPECT_FALSE(openDataFile(nullptr, dir.file("cut.dat"), true));
    EXPECT_EQ(recordings.primary.header, header);
    EXPECT_FALSE(openDataFile(nullptr, dir.file("none.dat"), true));
    EXPECT_FALSE(openDataFile(nullptr, dir.file("none.dat"), false));
    EXPECT_EQ(responder.texts(), (std::vector<std::string>{"File " + dir.file("cut.dat") + " is not a patient data file",
                                                           "Could not open file \"" + dir.file("none.dat") + "\""}));
    EXPECT_EQ(responder.shown[0].caption, "Ozmar");
    EXPECT_EQ(responder.shown[0].icon, platform::Icon::exclamation);
}

TEST_F(DataFiles, HiddenModeQuitsWithTheExitCode)
{
    state::startup.hidden = true;
    EXPECT_FALSE(openDataFile(nullptr, dir.file("none.dat"), false));
    EXPECT_EQ(state::startup.exitCode, 2);
    EXPECT_TRUE(state::startup.quitRequested.load());
    writeBytes(dir.file("foreign.dat"), {'%', 'P', 'D', 'F'});
    EXPECT_FALSE(openDataFile(nullptr, dir.file("foreign.dat"), false));
    EXPECT_EQ(state::startup.exitCode, 3);
}

TEST_F(DataFiles, SaveIntoMissingFolderLeavesNoFile)
{
    fillPrimary({});
    const std::string path = dir.file("missing/sub.dat");
    EXPECT_FALSE(saveDataFile(nullptr, path));
    EXPECT_EQ(responder.texts(), std::vector<std::string>{"Could not open file \"" + path + "\" to write"});
    EXPECT_TRUE(filesInFolder().empty());
}

TEST_F(DataFiles, SaveKeepsTheTargetsPermissions)
{
    fillPrimary({});
    writeBytes(dir.file("p.dat"), {28});
    ::chmod(dir.file("p.dat").c_str(), 0640);
    ASSERT_TRUE(saveDataFile(nullptr, dir.file("p.dat")));
    struct stat st {};
    ::stat(dir.file("p.dat").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"p.dat"});
}

TEST_F(DataFiles, SaveFailureAtEveryFileCallKeepsThePreviousFile)
{
    fillPrimary({0, 600, 3, true, 21});
    writePrimary(dir.file("old.dat"));
    const auto old = fileBytes(dir.file("old.dat"));
    fillPrimary({1, 900, 4, false, 22});
    ASSERT_TRUE(saveDataFile(nullptr, dir.file("new.dat")));
    const auto expected = fileBytes(dir.file("new.dat"));
    fs::remove(dir.file("new.dat"));
    const std::string target = dir.file("old.dat");
    int points = 0;
    for (int error : {EIO, ENOSPC, 0})
        for (bool always : {false, true})
            for (int at = 1;; ++at) {
                writeBytes(target, old);
                responder.shown.clear();
                FaultInjector::install(at, always, error);
                const bool saved = saveDataFile(nullptr, target);
                platform::fileOps.reset();
                ASSERT_EQ(filesInFolder(), std::vector<std::string>{"old.dat"}) << at;
                if (saved) {
                    ASSERT_EQ(fileBytes(target), expected) << at;
                    ASSERT_TRUE(responder.shown.empty());
                } else {
                    ASSERT_EQ(fileBytes(target), old) << at;
                    ASSERT_EQ(responder.shown.size(), 1u);
                    ASSERT_TRUE(responder.shown[0].text == "Cannot write file " + target ||
                                responder.shown[0].text == "Could not open file \"" + target + "\" to write");
                }
                if (FaultInjector::calls < at)
                    break;  // the call never came: every point of this kind was covered
                ++points;
            }
    EXPECT_GT(points, 20);
    RecordProperty("failurePoints", points);
}

TEST_F(DataFiles, PatientRewriteReplacesTrailingFieldsAndAppendsOtherwise)
{
    fillPrimary({0, 300, 2, false, 31});
    writePrimary(dir.file("a.dat"));
    const auto sizeBefore = fileBytes(dir.file("a.dat")).size();
    recordings.importPatients.text[patientName] = "Anonymous";
    recordings.useImportField[patientName] = true;
    streamState.patientOnly = true;
    ASSERT_TRUE(rewritePatientFields(nullptr, dir.file("a.dat")));
    ASSERT_TRUE(rewritePatientFields(nullptr, dir.file("a.dat")));
    streamState.patientOnly = false;
    const auto after = fileBytes(dir.file("a.dat"));
    EXPECT_EQ(after.size(), sizeBefore - std::string("Jane Doe").size() + std::string("Anonymous").size());
    ASSERT_TRUE(openDataFile(nullptr, dir.file("a.dat"), true));
    EXPECT_EQ(recordings.primary.patient.text[patientName], "Anonymous");
    EXPECT_EQ(recordings.primary.patient.text[patientId], "ID-0042");  // kept from the file
    EXPECT_EQ(recordings.primary.patient.patientAge, 57);

    ByteBuilder noFields;
    noFields.u8(28).textSection(48, "T").u8(28);
    writeBytes(dir.file("b.dat"), noFields.bytes);
    recordings.importPatients.text[patientName] = "Anonymous";  // opening a file cleared the import set
    streamState.patientOnly = true;
    ASSERT_TRUE(rewritePatientFields(nullptr, dir.file("b.dat")));
    streamState.patientOnly = false;
    const auto appended = fileBytes(dir.file("b.dat"));
    EXPECT_TRUE(std::equal(noFields.bytes.begin(), noFields.bytes.end(), appended.begin()));
    ASSERT_TRUE(openDataFile(nullptr, dir.file("b.dat"), true));
    EXPECT_EQ(recordings.primary.patient.text[patientName], "Anonymous");
    EXPECT_TRUE(responder.shown.empty());
}

TEST_F(DataFiles, PatientRewriteNeverCutsIntoOtherSections)
{
    // An ID field early in the file, then a header, then the last five patient sections.
    ByteBuilder b;
    b.textSection(40, "early").u8(4).u8(1).u16(0x10);
    b.textSection(41, "n").textSection(42, "30").textSection(43, "104").textSection(44, "c").textSection(41, "m");
    writeBytes(dir.file("c.dat"), b.bytes);
    recordings.importPatients.text[patientComments] = "new";
    recordings.useImportField[patientComments] = true;
    streamState.patientOnly = true;
    ASSERT_TRUE(rewritePatientFields(nullptr, dir.file("c.dat")));
    streamState.patientOnly = false;
    const auto bytes = fileBytes(dir.file("c.dat"));
    EXPECT_TRUE(std::equal(b.bytes.begin(), b.bytes.begin() + 12, bytes.begin()));  // ID and header stay
    ASSERT_TRUE(openDataFile(nullptr, dir.file("c.dat"), true));
    EXPECT_EQ(recordings.primary.header[0], 0x10);
    EXPECT_EQ(recordings.primary.patient.text[patientId], "early");
    EXPECT_EQ(recordings.primary.patient.text[patientName], "m");
    EXPECT_EQ(recordings.primary.patient.text[patientComments], "new");
}

TEST_F(DataFiles, PatientRewriteFailureAtEveryFileCallKeepsTheFile)
{
    fillPrimary({0, 300, 2, false, 41});
    writePrimary(dir.file("r.dat"));
    const auto old = fileBytes(dir.file("r.dat"));
    recordings.importPatients.text[patientId] = "X-1";
    recordings.useImportField[patientId] = true;
    streamState.patientOnly = true;
    ASSERT_TRUE(rewritePatientFields(nullptr, dir.file("r.dat")));
    const auto expected = fileBytes(dir.file("r.dat"));
    int points = 0;
    for (int error : {EIO, ENOSPC, 0})
        for (bool always : {false, true})
            for (int at = 1;; ++at) {
                writeBytes(dir.file("r.dat"), old);
                responder.shown.clear();
                FaultInjector::install(at, always, error);
                rewritePatientFields(nullptr, dir.file("r.dat"));
                platform::fileOps.reset();
                ASSERT_EQ(filesInFolder(), std::vector<std::string>{"r.dat"}) << at;
                const auto now = fileBytes(dir.file("r.dat"));
                if (responder.shown.empty())
                    ASSERT_EQ(now, expected) << at;
                else
                    ASSERT_EQ(now, old) << at << " " << responder.shown[0].text;
                if (FaultInjector::calls < at)
                    break;
                ++points;
            }
    streamState.patientOnly = false;
    EXPECT_GT(points, 20);
    RecordProperty("failurePoints", points);
}

TEST_F(DataFiles, AFailedReadIsAnErrorNeverAnEnd)
{
    fillPrimary({0, 200000 / 4, 4, true, 5});  // larger than one read buffer
    writePrimary(dir.file("big.dat"));
    const auto old = fileBytes(dir.file("big.dat"));
    for (int at : {1, 2, 3, 5}) {
        resetCore();
        responder.shown.clear();
        // Open: the recording stays as it was, and the message is the read's.
        FaultInjector::install(at + 1, false, EIO);  // call 1 is the open
        EXPECT_FALSE(openDataFile(nullptr, dir.file("big.dat"), true)) << at;
        platform::fileOps.reset();
        EXPECT_EQ(recordings.primary.rawChannels[0].count, 0u) << at;
        ASSERT_EQ(responder.texts(), std::vector<std::string>{"Could not open file \"" + dir.file("big.dat") + "\""}) << at;

        // Patient rewrite: nothing is written and the file is byte-identical.
        responder.shown.clear();
        recordings.importPatients.text[patientName] = "New Name";
        recordings.useImportField[patientName] = true;
        streamState.patientOnly = true;
        FaultInjector::install(at + 1, false, EIO);
        EXPECT_TRUE(rewritePatientFields(nullptr, dir.file("big.dat")));
        platform::fileOps.reset();
        streamState.patientOnly = false;
        EXPECT_EQ(fileBytes(dir.file("big.dat")), old) << at;
        EXPECT_EQ(filesInFolder(), std::vector<std::string>{"big.dat"});
        ASSERT_EQ(responder.texts(), std::vector<std::string>{"Could not open file \"" + dir.file("big.dat") + "\" for read"}) << at;
    }
    state::startup.hidden = true;
    FaultInjector::install(2, false, EIO);
    EXPECT_FALSE(openDataFile(nullptr, dir.file("big.dat"), false));
    platform::fileOps.reset();
    EXPECT_EQ(state::startup.exitCode, 2);
}

TEST_F(DataFiles, OnlyRegularFilesAreReadOrReplaced)
{
    fillPrimary({0, 300, 2, false, 7});

    // A folder or a FIFO is no data file: refused at once (a FIFO never blocks the open).
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    fs::create_directory(dir.file("folder.dat"));
    for (const char* name : {"pipe", "folder.dat"}) {
        responder.shown.clear();
        EXPECT_FALSE(openDataFile(nullptr, dir.file(name), true)) << name;
        EXPECT_EQ(responder.texts(), std::vector<std::string>{"Could not open file \"" + dir.file(name) + "\""});
        // and none is replaced by a save
        responder.shown.clear();
        EXPECT_FALSE(saveDataFile(nullptr, dir.file(name))) << name;
        EXPECT_EQ(responder.texts(), std::vector<std::string>{"Could not open file \"" + dir.file(name) + "\" to write"});
    }
    EXPECT_TRUE(fs::is_fifo(dir.file("pipe")));
    EXPECT_TRUE(fs::is_directory(dir.file("folder.dat")));

    // A character device (made here, never the system's own) keeps its place.
    if (::geteuid() == 0 && ::mknod(dir.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_FALSE(saveDataFile(nullptr, dir.file("null")));
        EXPECT_TRUE(fs::is_character_file(dir.file("null")));
    }

    // A symbolic link is followed: the file it names is replaced, the link stays.
    fs::create_directory(dir.file("real"));
    fs::create_symlink("real/target.dat", dir.file("link.dat"));
    writeBytes(dir.file("real/target.dat"), {1, 2, 3});
    ::chmod(dir.file("real/target.dat").c_str(), 0640);
    fillPrimary({0, 300, 2, false, 7});
    ASSERT_TRUE(saveDataFile(nullptr, dir.file("link.dat")));
    ASSERT_TRUE(saveDataFile(nullptr, dir.file("direct.dat")));
    EXPECT_TRUE(fs::is_symlink(dir.file("link.dat")));
    EXPECT_EQ(fileBytes(dir.file("real/target.dat")), fileBytes(dir.file("direct.dat")));
    struct stat st {};
    ::stat(dir.file("real/target.dat").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    std::vector<std::string> inReal;
    for (const auto& e : fs::directory_iterator(dir.file("real")))
        inReal.push_back(e.path().filename().string());
    EXPECT_EQ(inReal, std::vector<std::string>{"target.dat"});
}

TEST_F(DataFiles, AReplacedFileKeepsItsOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can give a file to another user";
    fillPrimary({0, 300, 2, false, 8});
    writePrimary(dir.file("o.dat"));
    ASSERT_EQ(::chown(dir.file("o.dat").c_str(), 4321, 4322), 0);
    recordings.importPatients.text[patientId] = "OWNED";
    recordings.useImportField[patientId] = true;
    streamState.patientOnly = true;
    EXPECT_TRUE(rewritePatientFields(nullptr, dir.file("o.dat")));
    streamState.patientOnly = false;
    EXPECT_TRUE(responder.shown.empty());
    struct stat st {};
    ::stat(dir.file("o.dat").c_str(), &st);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    readPrimary(dir.file("o.dat"));
    EXPECT_EQ(recordings.primary.patient.text[patientId], "OWNED");
}

TEST_F(DataFiles, BatchReadStopsOnCancel)
{
    fillPrimary({});
    writePrimary(dir.file("1.dat"));
    writeBytes(dir.file("2.dat"), {99});
    writePrimary(dir.file("3.dat"));
    std::string selection = dir.path().string() + '\0' + "1.dat" + '\0' + "2.dat" + '\0' + "3.dat" + '\0' + '\0';
    std::vector<std::string> exported;
    auto exportFile = [&](const std::string& p) {
        exported.push_back(fs::path(p).filename().string());
        EXPECT_EQ(recordings.secondary.patient.text[patientName], "Jane Doe");
        return true;
    };
    EXPECT_TRUE(readIntoSecondary(nullptr, selection, exportFile));
    EXPECT_EQ(exported, (std::vector<std::string>{"1.dat", "3.dat"}));
    responder.shown.clear();
    responder.answers = {platform::IDCANCEL};
    exported.clear();
    EXPECT_FALSE(readIntoSecondary(nullptr, selection, exportFile));
    EXPECT_EQ(exported, std::vector<std::string>{"1.dat"});
    EXPECT_EQ(responder.shown.back().text, "File " + dir.file("2.dat") + " is not a patient data file");
    EXPECT_EQ(responder.shown.back().buttons, platform::Buttons::okCancel);
}

TEST_F(DataFiles, AutomaticDayNames)
{
    writeBytes(dir.file("12062600_0915.dat"), {});
    writeBytes(dir.file("12062601_1130.mon"), {});
    writeBytes(dir.file("12062699x.dat"), {});
    writeBytes(dir.file("12062507_0800.dat"), {});
    EXPECT_EQ(dayPrefix(6, 26, 2012), "062612");
    EXPECT_EQ(nextDayNumber(dir.path().string(), "120626"), 2u);
    EXPECT_EQ(nextDayNumber(dir.path().string(), "120627"), 0u);
    EXPECT_EQ(arrivingName("120626", 2, "dat"), "12062602.dat");
    EXPECT_EQ(finalName("12062603.dat", 14, 7, "dat"), "12062603_1407.dat");
    EXPECT_EQ(proposedName("120626", 2), "12062602_.dat");
}

TEST_F(DataFiles, AutomaticNumbersOutOfRangeAreNoNumbers)
{
    // 2^32 - 1, 10^22 and a nine-digit number would wrap the next number round.
    for (const char* name : {"1206264294967295_0800.dat", "12062610000000000000000000.mon", "120626123456789.dat"})
        writeBytes(dir.file(name), {});
    EXPECT_EQ(nextDayNumber(dir.path().string(), "120626"), 0u);
    writeBytes(dir.file("1206269_1000.dat"), {});
    EXPECT_EQ(nextDayNumber(dir.path().string(), "120626"), 10u);
}

namespace {

// Another program takes the name the filer is about to give its file, just
// before the filer does: the first link to a .mon name finds it taken.
std::string takenName;
int linkAfterAnotherFiler(const char* from, const char* to)
{
    if (takenName.empty() && fs::path(to).extension() == ".mon") {
        takenName = to;
        writeBytes(takenName, {'o', 't', 'h', 'e', 'r'});
    }
    return ::link(from, to);
}

}  // namespace

TEST_F(DataFiles, TwoFilersRacingForOneMonitoredNameBothKeepTheirFiles)
{
    fillPrimary({0, 3000, 2, false, 5});
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 8, t.tm_hour = 9, t.tm_min = 41;
    takenName.clear();
    platform::fileOps.link = linkAfterAnotherFiler;
    const std::string path = fileMonitoredRecording(nullptr, dir.path().string(), t);
    platform::fileOps.reset();
    ASSERT_FALSE(path.empty()) << responder.texts()[0];
    EXPECT_EQ(takenName, dir.file("12082600_0941.mon"));
    EXPECT_EQ(fileBytes(takenName), (std::vector<std::uint8_t>{'o', 't', 'h', 'e', 'r'}));
    // The filer's own file took the next number, whole.
    EXPECT_EQ(path, dir.file("12082601_0941.mon"));
    resetCore();
    readPrimary(path);
    EXPECT_EQ(recordings.primary.rawChannels[0].count, 3000u);
    EXPECT_EQ(filesInFolder(), (std::vector<std::string>{"12082600_0941.mon", "12082601_0941.mon"}));
    EXPECT_TRUE(responder.shown.empty());
}

TEST_F(DataFiles, RecoveriesInTheSameSecondNeverReplaceEachOther)
{
    const std::string path = dir.file("out-recovered-20261208-094100.dat");
    fillPrimary({0, 1000, 2, false, 5});
    ASSERT_EQ(saveDataFileAsNew(path), path);
    const std::vector<std::uint8_t> first = fileBytes(path);
    fillPrimary({0, 2000, 2, false, 6});
    EXPECT_EQ(saveDataFileAsNew(path), dir.file("out-recovered-20261208-094100-2.dat"));
    EXPECT_EQ(saveDataFileAsNew(path), dir.file("out-recovered-20261208-094100-3.dat"));
    EXPECT_EQ(fileBytes(path), first);
    EXPECT_EQ(filesInFolder().size(), 3u);
    // Nowhere to write: no file and no name.
    EXPECT_EQ(saveDataFileAsNew(dir.file("missing/out.dat")), "");
}

TEST_F(DataFiles, LeftoversOfAnInterruptedFilingAreFiledOrReportedButNeverTouchedWhileBeingWritten)
{
    fillPrimary({0, 3000, 2, false, 5});
    writePrimary(dir.file("whole.dat"));
    const std::vector<std::uint8_t> whole = fileBytes(dir.file("whole.dat"));
    fs::remove(dir.file("whole.dat"));
    // Written on 7 December 2026 at 10:15, when that day already had number 03.
    std::tm t{};
    t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 7, t.tm_hour = 10, t.tm_min = 15, t.tm_isdst = -1;
    const std::time_t written = std::mktime(&t);
    writeBytes(dir.file("12072603_0900.dat"), {'x'});
    writeBytes(dir.file(".12072604.dat.0123abcd.tmp"), whole);
    const timespec times[2] = {{written, 0}, {written, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.file(".12072604.dat.0123abcd.tmp").c_str(), times, 0), 0);
    // Cut short: no whole recording.
    writeBytes(dir.file(".12072605_1016.mon.deadbeef.tmp"), std::vector<std::uint8_t>(whole.begin(), whole.begin() + 900));
    // Not a recording's temporary name.
    writeBytes(dir.file(".notes.txt.0123abcd.tmp"), {'n'});
    // Another program is writing this one right now.
    std::optional<SafeFile> beingWritten(std::in_place, dir.file("12072609.dat"));
    ASSERT_NE(beingWritten->file(), nullptr);
    for (std::uint8_t b : whole)
        beingWritten->file()->putByte(b);
    beingWritten->file()->flushBuffer();

    const std::vector<Leftover> found = fileLeftovers(dir.path().string());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].temporary, dir.file(".12072604.dat.0123abcd.tmp"));
    EXPECT_EQ(found[0].filed, dir.file("12072604_1015.dat"));
    EXPECT_EQ(fileBytes(found[0].filed), whole);
    EXPECT_EQ(found[1].temporary, dir.file(".12072605_1016.mon.deadbeef.tmp"));
    EXPECT_EQ(found[1].filed, "");
    EXPECT_EQ(leftoverMessage(found[1]), "The temporary file " + found[1].temporary +
                                             " that an earlier session left was kept as it is: it does not hold a whole recording");
    EXPECT_EQ(leftoverMessage(found[0]), "A recording an earlier session left unfiled (" + found[0].temporary +
                                             ") was filed as " + found[0].filed);
    const std::vector<std::string> after = filesInFolder();
    EXPECT_EQ(std::count(after.begin(), after.end(), ".12072605_1016.mon.deadbeef.tmp"), 1);
    EXPECT_EQ(std::count(after.begin(), after.end(), ".notes.txt.0123abcd.tmp"), 1);
    EXPECT_EQ(std::count(after.begin(), after.end(), fs::path(beingWritten->temporaryPath()).filename().string()), 1);
    EXPECT_EQ(std::count(after.begin(), after.end(), ".12072604.dat.0123abcd.tmp"), 0);
    // Once its writer is gone, the same file is a leftover.
    const std::string abandoned = beingWritten->keepTemporary();
    beingWritten.reset();
    const std::vector<Leftover> later = fileLeftovers(dir.path().string());
    ASSERT_EQ(later.size(), 2u);  // the cut one is reported again
    EXPECT_EQ(later[1].temporary, abandoned);
    EXPECT_EQ(fileBytes(later[1].filed), whole);
}
