// The export directory of the library file: every method under its plain and
// its decorated name, found by reading the file, and loadable by both names.
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "harness.h"

namespace harness {

namespace {

std::set<std::string> exportedNames(const wchar_t* path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (file.size() < sizeof(IMAGE_DOS_HEADER))
        return names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(file.data() + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    auto offsetOf = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].Misc.VirtualSize)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return 0;
    };
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(file.data() + offsetOf(dir.VirtualAddress));
    const auto* nameRvas = reinterpret_cast<const DWORD*>(file.data() + offsetOf(exports->AddressOfNames));
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.insert(file.data() + offsetOf(nameRvas[i]));
    return names;
}

// The decorated names as the installer's method table gives them, written out
// here on their own (not generated from the library's table): class, method,
// bytes of arguments.
const char* const kExpectedDecorated[] = {
    "ACLHandling_addACE@36", "Common_setWindows95@12", "Common_setWindowsNT@12", "FileVersion_compare0@16",
    "FolderInfo_getDriveType0@12", "FolderInfo_getPathFromRegistry0@12", "FolderInfo_getShortPathName0@12",
    "FolderInfo_getSpecialFolder0@16", "FolderInfo_getSystemDirectory0@8", "FolderInfo_getWindowsDirectory0@8",
    "Misc_broadcastSettingChange0@8", "Misc_getEnvVarPairs0@8", "Misc_getFreeDiskSpace0@12", "Misc_getPhysicalMemory0@8",
    "Misc_getRunningModules0@8", "Misc_moveWithDelayUntilReboot0@16", "Misc_reboot0@8",
    "Registry_changeNotifyAssociations0@8", "Registry_createKey0@16", "Registry_deleteKey0@20", "Registry_deleteValue0@20",
    "Registry_enumSubKeys0@16", "Registry_enumValues0@16", "Registry_getValue0@20", "Registry_keyExists0@16",
    "Registry_restoreKey0@20", "Registry_saveKey0@20", "Registry_setValue0@28", "ShellLink_changeNotfiy0@16",
    "ShellLink_create0@32", "ShellLink_createWide0@32", "ShellLink_initialize@8", "ShellLink_uninitialize@8",
    "Win32UserInfo_isMemberOfGroup0@12"};

}  // namespace

void exportTableTests()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(library, path, MAX_PATH);
    const std::set<std::string> names = exportedNames(path);
    int methods = 0;
#define RAV_EXPORTED(cls, method, n, result, params, args)                                                              \
    {                                                                                                                   \
        const std::string plain = "Java_com_ravlin_runtime_installer_platform_win32_" #cls "_" #method;                \
        const std::string decorated = plain + "@" + std::to_string(n);                                                  \
        CHECK(names.count(plain) == 1);                                                                                 \
        CHECK(names.count(decorated) == 1);                                                                             \
        CHECK(GetProcAddress(library, plain.c_str()) != nullptr);                                                       \
        CHECK(GetProcAddress(library, decorated.c_str()) != nullptr);                                                   \
        ++methods;                                                                                                      \
    }
    RAV_METHODS(RAV_EXPORTED)
#undef RAV_EXPORTED
    CHECK(methods == 34);  // the 33 of the export table and reboot0
    CHECK(names.size() == 68);
    for (const char* expected : kExpectedDecorated) {
        const std::string name = std::string("Java_com_ravlin_runtime_installer_platform_win32_") + expected;
        CHECK(names.count(name) == 1);
        CHECK(names.count(name.substr(0, name.find('@'))) == 1);
    }
}

}  // namespace harness
