// FileVersion: compares the file versions of two files' version resources.
#include <windows.h>

#include <vector>

#include "fileVersion.h"
#include "jniText.h"
#include "nativeMethods.h"

namespace rav {

namespace {

// The 64-bit file version of a file's fixed version record; false when it has none.
bool fileVersion(const wchar_t* path, unsigned long long& version)
{
    DWORD handle = 0;
    const DWORD size = path ? GetFileVersionInfoSizeW(path, &handle) : 0;
    if (size < 1)
        return false;
    std::vector<char> buffer(2 * static_cast<std::size_t>(size));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path, 0, size, buffer.data()) ||
        !VerQueryValueW(buffer.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    VS_FIXEDFILEINFO record;
    memcpy(&record, fixed, sizeof record);
    version = (static_cast<unsigned long long>(record.dwFileVersionMS) << 32) | record.dwFileVersionLS;
    return true;
}

}  // namespace

int compareFileVersions(const wchar_t* first, const wchar_t* second)
{
    unsigned long long a = 0, b = 0;
    if (!fileVersion(first, a) || !fileVersion(second, b))
        return 3;
    return a == b ? 0 : a > b ? 1 : 2;
}

}  // namespace rav

extern "C" JNIEXPORT jint JNICALL RAV_NAME(FileVersion, compare0)(JNIEnv* env, jclass, jstring file1, jstring file2)
{
    rav::JavaString a(env, file1), b(env, file2);
    return rav::compareFileVersions(a.get(), b.get());
}
