// Common, FolderInfo, FileVersion and Misc.
#include <shlobj.h>

#include <algorithm>

#include "harness.h"

namespace harness {

namespace {

jstring s(const std::wstring& t)
{
    return fake::string(t);
}

std::wstring besideHarness(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

void folders()
{
    for (jint code = 1; code <= 11; ++code) {
        CHECK(CALL(FolderInfo, getSpecialFolder0, code, JNI_FALSE) != nullptr);
        CHECK(CALL(FolderInfo, getSpecialFolder0, code, JNI_TRUE) != nullptr);
    }
    wchar_t desktop[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_DESKTOP, nullptr, 0, desktop);
    jstring twelve = CALL(FolderInfo, getSpecialFolder0, 12, JNI_FALSE);
    CHECK(twelve && fake::text(twelve) == desktop);
    wchar_t windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    CHECK(fake::text(CALL(FolderInfo, getWindowsDirectory0)) == windows);
    CHECK(fake::text(CALL(FolderInfo, getSystemDirectory0)) == system);
    CHECK(CALL(FolderInfo, getDriveType0, s(L"C:\\")) == DRIVE_FIXED);
    jstring missing = s(L"C:\\no such folder\\no such file.txt");
    CHECK(CALL(FolderInfo, getShortPathName0, missing) == missing);  // the very same object
    jstring existing = s(windows);
    CHECK(CALL(FolderInfo, getShortPathName0, existing) != nullptr);
    CALL(FolderInfo, getPathFromRegistry0, s(L"ProgramFilesDir"));  // may be absent; must not fail badly
    CHECK(CALL(FolderInfo, getPathFromRegistry0, s(L"NoSuchValueAnywhere")) == nullptr);
}

void versions()
{
    const std::wstring older = besideHarness(L"versionOld.dll"), newer = besideHarness(L"versionNew.dll");
    const std::wstring plain = besideHarness(L"ravnativeTests.exe");
    CHECK(CALL(FileVersion, compare0, s(older), s(newer)) == 2);
    CHECK(CALL(FileVersion, compare0, s(newer), s(older)) == 1);
    CHECK(CALL(FileVersion, compare0, s(newer), s(newer)) == 0);
    CHECK(CALL(FileVersion, compare0, s(plain), s(plain)) == 3);
    CHECK(CALL(FileVersion, compare0, s(L"C:\\missing.dll"), s(newer)) == 3);
}

void misc()
{
    CHECK(CALL(Misc, getPhysicalMemory0) > 0);
    CHECK(CALL(Misc, getFreeDiskSpace0, s(L"C:\\")) > 0);
    CHECK(CALL(Misc, getFreeDiskSpace0, s(L"Q:\\nowhere\\")) == -1);
    SetEnvironmentVariableW(L"RAVNATIVE_TEST", L"forty-two");
    const auto pairs = fake::texts(CALL(Misc, getEnvVarPairs0));
    CHECK(std::find(pairs.begin(), pairs.end(), L"RAVNATIVE_TEST=forty-two") != pairs.end());
    const auto modules = fake::texts(CALL(Misc, getRunningModules0));
    CHECK(std::any_of(modules.begin(), modules.end(),
                      [](const std::wstring& m) { return m.find(L"ravnativeTests.exe") != std::wstring::npos; }));
    const std::wstring doomed = scratch(L"doomed.txt");
    CloseHandle(CreateFileW(doomed.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    CALL(Misc, moveWithDelayUntilReboot0, s(doomed), nullptr);  // Wine may refuse it; it must not fail badly
    CALL(Misc, broadcastSettingChange0);
}

void flagsAndGroups()
{
    CHECK(CALL(Common, setWindows95, JNI_TRUE) == JNI_TRUE);
    CHECK(CALL(Win32UserInfo, isMemberOfGroup0, 544) == JNI_TRUE);
    CHECK(CALL(Win32UserInfo, isMemberOfGroup0, 12345) == JNI_TRUE);
    CHECK(CALL(Common, setWindows95, JNI_FALSE) == JNI_FALSE);
    CHECK(CALL(Common, setWindowsNT, JNI_TRUE) == JNI_TRUE);
    const jboolean administrators = CALL(Win32UserInfo, isMemberOfGroup0, 544);
    CHECK(administrators == JNI_TRUE || administrators == JNI_FALSE);  // a definite answer
    CHECK(CALL(Common, setWindowsNT, JNI_FALSE) == JNI_FALSE);
}

}  // namespace

void systemTests()
{
    folders();
    versions();
    misc();
    flagsAndGroups();
}

}  // namespace harness
