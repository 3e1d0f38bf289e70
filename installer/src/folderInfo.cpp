// FolderInfo: special folders, Windows and system directories, drive types,
// short path names and a path stored in the registry.
#include <windows.h>

#include "fileVersion.h"
#include "jniText.h"
#include "nativeMethods.h"

namespace {

typedef HRESULT(WINAPI* FolderPathFunction)(HWND, int, HANDLE, DWORD, LPWSTR);

// Looked up once: the folder-path function of the newer folder library.
struct FolderLookup {
    bool done = false;
    FolderPathFunction function = nullptr;
};
FolderLookup folderLookup;

FolderPathFunction folderPathFunction()
{
    if (folderLookup.done)
        return folderLookup.function;
    LoadLibraryW(L"shell32.dll");
    HMODULE library = nullptr;
    const int newer = rav::compareFileVersions(L"_shfoldr.dll", L"shfolder.dll");
    if (newer == 1 || newer == 3)
        library = LoadLibraryW(L"_shfoldr.dll");
    if (!library)
        library = LoadLibraryW(L"shfolder.dll");
    if (library)
        folderLookup.function = reinterpret_cast<FolderPathFunction>(GetProcAddress(library, "SHGetFolderPathW"));
    folderLookup.done = true;
    return folderLookup.function;
}

int folderIdentifier(jint code, bool allUsers)
{
    static const int perUser[] = {0, 16, 11, 2, 7, 9, 20, 26, 5, 21, 6, 28};
    static const int common[] = {0, 25, 22, 23, 24, 9, 20, 35, 46, 45, 31, 28};
    if (code < 1 || code > 11)
        return 0;
    return allUsers ? common[code] : perUser[code];
}

}  // namespace

extern "C" JNIEXPORT jstring JNICALL RAV_NAME(FolderInfo, getSpecialFolder0)(JNIEnv* env, jclass, jint folder, jboolean common)
{
    FolderPathFunction function = folderPathFunction();
    if (!function)
        return nullptr;
    wchar_t path[MAX_PATH] = {};
    if (FAILED(function(nullptr, folderIdentifier(folder, common != 0) | 0x8000, nullptr, 0, path)))
        return nullptr;
    return rav::newString(env, path);
}

extern "C" JNIEXPORT jstring JNICALL RAV_NAME(FolderInfo, getPathFromRegistry0)(JNIEnv* env, jclass, jstring valueName)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return nullptr;
    rav::JavaString name(env, valueName);
    wchar_t data[130] = {};  // a buffer of 260 bytes
    DWORD size = sizeof data;
    const LONG status = RegQueryValueExW(key, name.get(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return nullptr;
    return rav::newString(env, data, size / sizeof(wchar_t));
}

extern "C" JNIEXPORT jstring JNICALL RAV_NAME(FolderInfo, getWindowsDirectory0)(JNIEnv* env, jclass)
{
    wchar_t path[MAX_PATH] = {};
    return GetWindowsDirectoryW(path, MAX_PATH) ? rav::newString(env, path) : nullptr;
}

extern "C" JNIEXPORT jstring JNICALL RAV_NAME(FolderInfo, getSystemDirectory0)(JNIEnv* env, jclass)
{
    wchar_t path[MAX_PATH] = {};
    return GetSystemDirectoryW(path, MAX_PATH) ? rav::newString(env, path) : nullptr;
}

extern "C" JNIEXPORT jint JNICALL RAV_NAME(FolderInfo, getDriveType0)(JNIEnv* env, jclass, jstring rootPath)
{
    rav::JavaString root(env, rootPath);
    const UINT type = GetDriveTypeW(root.get());
    return type <= 6 ? static_cast<jint>(type) : 0;
}

extern "C" JNIEXPORT jstring JNICALL RAV_NAME(FolderInfo, getShortPathName0)(JNIEnv* env, jclass, jstring path)
{
    rav::JavaString longPath(env, path);
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD n = longPath.get() ? GetShortPathNameW(longPath.get(), shortPath, MAX_PATH) : 0;
    if (n == 0 || n >= MAX_PATH)
        return path;  // the argument itself
    return rav::newString(env, shortPath, n);
}
