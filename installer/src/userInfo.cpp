// Win32UserInfo: whether the current user belongs to a built-in group. Every
// failure answers yes, as the installer expects: a check that cannot be made
// must not stop an installation.
#include <windows.h>

#include <vector>

#include "nativeMethods.h"
#include "state.h"

namespace {

typedef BOOL(WINAPI* CheckMembership)(HANDLE, PSID, PBOOL);

// Looked up on first use.
struct SecurityFunctions {
    bool done = false;
    bool anyFound = false;
    CheckMembership checkMembership = nullptr;
};
SecurityFunctions functions;

void lookUp()
{
    if (functions.done)
        return;
    functions.done = true;
    HMODULE advapi = LoadLibraryW(L"advapi32.dll");
    if (!advapi)
        return;
    for (const char* name : {"AllocateAndInitializeSid", "EqualSid", "GetTokenInformation", "OpenProcessToken", "OpenThreadToken"})
        functions.anyFound = functions.anyFound || GetProcAddress(advapi, name) != nullptr;
    if (!rav::state.windowsNT)
        functions.checkMembership = reinterpret_cast<CheckMembership>(GetProcAddress(advapi, "CheckTokenMembership"));
}

// Reads the token's groups; true (member) when anything fails.
bool memberByGroups(PSID group)
{
    HANDLE token = nullptr;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) && !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return true;
    DWORD size = 0;
    if (GetTokenInformation(token, TokenGroups, nullptr, 0, &size) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        CloseHandle(token);
        return true;
    }
    std::vector<BYTE> buffer(size);
    bool member = false;
    if (GetTokenInformation(token, TokenGroups, buffer.data(), size, &size)) {
        const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
        for (DWORD i = 0; i < groups->GroupCount; ++i) {
            const DWORD attributes = groups->Groups[i].Attributes;
            if (EqualSid(groups->Groups[i].Sid, group) && (attributes & SE_GROUP_ENABLED) && !(attributes & SE_GROUP_USE_FOR_DENY_ONLY))
                member = true;
        }
    } else {
        member = true;
    }
    CloseHandle(token);
    return member;
}

}  // namespace

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(Win32UserInfo, isMemberOfGroup0)(JNIEnv*, jclass, jint groupId)
{
    if (rav::state.windows95)
        return JNI_TRUE;
    lookUp();
    if (!functions.anyFound)
        return JNI_TRUE;
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID group = nullptr;
    if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, static_cast<DWORD>(groupId), 0, 0, 0, 0, 0, 0, &group))
        return JNI_TRUE;
    bool member = true;
    if (functions.checkMembership) {
        BOOL answer = FALSE;
        member = functions.checkMembership(nullptr, group, &answer) ? answer != FALSE : true;
    } else {
        member = memberByGroups(group);
    }
    FreeSid(group);
    return member ? JNI_TRUE : JNI_FALSE;
}
