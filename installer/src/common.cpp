// Common: the two platform flags, and the privilege helper the others share.
#include <windows.h>

#include "nativeMethods.h"
#include "state.h"

namespace rav {

LibraryState state;

bool enablePrivilege(const wchar_t* name)
{
    if (state.windows95)
        return true;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid);
    if (ok) {
        SetLastError(0);
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        ok = GetLastError() == 0;
    }
    CloseHandle(token);
    return ok;
}

}  // namespace rav

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(Common, setWindows95)(JNIEnv*, jclass, jboolean value)
{
    rav::state.windows95 = value != 0;
    return rav::state.windows95;
}

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(Common, setWindowsNT)(JNIEnv*, jclass, jboolean value)
{
    rav::state.windowsNT = value != 0;
    return rav::state.windowsNT;
}
