// Misc: environment, running modules, memory, disk space, delayed moves,
// setting-change broadcast and reboot.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "jniText.h"
#include "nativeMethods.h"

namespace {

typedef HANDLE(WINAPI* SnapshotFunction)(DWORD, DWORD);
typedef BOOL(WINAPI* ProcessFunction)(HANDLE, LPPROCESSENTRY32);
typedef BOOL(WINAPI* ModuleFunction)(HANDLE, LPMODULEENTRY32W);
typedef BOOL(WINAPI* MoveFunction)(LPCWSTR, LPCWSTR, DWORD);
typedef BOOL(WINAPI* MemoryFunction)(LPMEMORYSTATUSEX);

// Looked up once and kept.
struct MoveLookup {
    bool done = false;
    MoveFunction function = nullptr;
};
MoveLookup moveLookup;

bool isNtFour(OSVERSIONINFOW& version)
{
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion == 4;
}

// The executable of a process: on NT the full path of its first module.
std::wstring processImage(const PROCESSENTRY32& process, bool nt, ModuleFunction firstModule, SnapshotFunction snapshot)
{
    if (nt && firstModule) {
        HANDLE modules = snapshot(TH32CS_SNAPMODULE, process.th32ProcessID);
        std::wstring path;
        if (modules != INVALID_HANDLE_VALUE) {
            MODULEENTRY32W module{};
            module.dwSize = sizeof module;
            if (firstModule(modules, &module))
                path = module.szExePath;
            CloseHandle(modules);
        }
        return path;
    }
    wchar_t name[MAX_PATH];
    swprintf(name, MAX_PATH, L"%S", process.szExeFile);
    return name;
}

}  // namespace

extern "C" JNIEXPORT jobjectArray JNICALL RAV_NAME(Misc, getRunningModules0)(JNIEnv* env, jclass)
{
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version) || isNtFour(version))
        return nullptr;
    HMODULE kernel = LoadLibraryW(L"Kernel32.DLL");
    if (!kernel)
        return nullptr;
    auto snapshot = reinterpret_cast<SnapshotFunction>(GetProcAddress(kernel, "CreateToolhelp32Snapshot"));
    auto first = reinterpret_cast<ProcessFunction>(GetProcAddress(kernel, "Process32First"));
    auto next = reinterpret_cast<ProcessFunction>(GetProcAddress(kernel, "Process32Next"));
    auto firstModule = reinterpret_cast<ModuleFunction>(GetProcAddress(kernel, "Module32FirstW"));
    std::vector<std::wstring> images;
    if (!snapshot || !first || !next) {
        std::printf("could not load functions %p %p %p %p %p %d\n", reinterpret_cast<void*>(snapshot),
                    reinterpret_cast<void*>(first), reinterpret_cast<void*>(next), reinterpret_cast<void*>(firstModule),
                    static_cast<void*>(kernel), static_cast<int>(GetLastError()));
        return rav::newStringArray(env, images);
    }
    HANDLE processes = snapshot(TH32CS_SNAPPROCESS, 0);
    if (processes == INVALID_HANDLE_VALUE)
        return rav::newStringArray(env, images);
    const bool nt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    PROCESSENTRY32 process{};
    process.dwSize = sizeof process;
    for (BOOL more = first(processes, &process); more; more = next(processes, &process))
        images.push_back(processImage(process, nt, firstModule, snapshot));
    CloseHandle(processes);
    return rav::newStringArray(env, images);
}

extern "C" JNIEXPORT jobjectArray JNICALL RAV_NAME(Misc, getEnvVarPairs0)(JNIEnv* env, jclass)
{
    wchar_t* block = GetEnvironmentStringsW();
    if (!block)
        return nullptr;
    std::vector<std::wstring> pairs;
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1)
        pairs.emplace_back(entry);
    FreeEnvironmentStringsW(block);
    return rav::newStringArray(env, pairs);
}

extern "C" JNIEXPORT void JNICALL RAV_NAME(Misc, broadcastSettingChange0)(JNIEnv*, jclass)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"), SMTO_ABORTIFHUNG, 5000,
                        &result);
}

extern "C" JNIEXPORT jlong JNICALL RAV_NAME(Misc, getPhysicalMemory0)(JNIEnv*, jclass)
{
    HMODULE kernel = LoadLibraryW(L"Kernel32.DLL");
    auto extended = kernel ? reinterpret_cast<MemoryFunction>(GetProcAddress(kernel, "GlobalMemoryStatusEx")) : nullptr;
    if (extended) {
        MEMORYSTATUSEX status{};
        status.dwLength = 64;
        if (extended(&status))
            return static_cast<jlong>(status.ullTotalPhys);
        std::printf("error %d\n", static_cast<int>(GetLastError()));
        std::fflush(stdout);
    }
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return static_cast<jlong>(static_cast<DWORD>(status.dwTotalPhys));
}

extern "C" JNIEXPORT jlong JNICALL RAV_NAME(Misc, getFreeDiskSpace0)(JNIEnv* env, jclass, jstring path)
{
    rav::JavaString folder(env, path);
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(folder.get(), &available, &total, &free))
        return -1;
    return static_cast<jlong>(available.QuadPart);
}

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(Misc, moveWithDelayUntilReboot0)(JNIEnv* env, jclass, jstring from, jstring to)
{
    if (!moveLookup.done) {
        HMODULE kernel = LoadLibraryW(L"Kernel32.DLL");
        moveLookup.function = kernel ? reinterpret_cast<MoveFunction>(GetProcAddress(kernel, "MoveFileExW")) : nullptr;
        moveLookup.done = true;
    }
    if (!moveLookup.function)
        return JNI_FALSE;
    rav::JavaString source(env, from), target(env, to);
    return moveLookup.function(source.get(), target.get(), MOVEFILE_DELAY_UNTIL_REBOOT) ? JNI_TRUE : JNI_FALSE;
}

extern "C" JNIEXPORT jint JNICALL RAV_NAME(Misc, reboot0)(JNIEnv*, jclass)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return 0;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    const DWORD error = GetLastError();
    CloseHandle(token);
    if (error != 0)
        return static_cast<jint>(error);
    return ExitWindowsEx(EWX_REBOOT, 0);
}
