// ACLHandling: grants generic rights on a file, folder or registry key to a
// well-known group.
#include <windows.h>
#include <aclapi.h>

#include <cstdio>

#include "jniText.h"
#include "nativeMethods.h"

namespace {

// The trustee's identifier: authenticated users, authority 2 / 547, or everyone.
bool allocateTrustee(jint trustee, PSID* sid)
{
    SID_IDENTIFIER_AUTHORITY authority{};
    DWORD sub = 0;
    if (trustee == 1) {
        authority = SECURITY_NT_AUTHORITY;
        sub = SECURITY_AUTHENTICATED_USER_RID;
    } else if (trustee == 3) {
        authority.Value[5] = 2;
        sub = 547;
    } else {
        authority = SECURITY_WORLD_SID_AUTHORITY;
        sub = SECURITY_WORLD_RID;
    }
    return AllocateAndInitializeSid(&authority, 1, sub, 0, 0, 0, 0, 0, 0, 0, sid) != 0;
}

}  // namespace

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(ACLHandling, addACE)(JNIEnv* env, jclass, jstring path, jboolean registryKey,
                                                                    jboolean read, jboolean write, jboolean execute, jboolean all,
                                                                    jint trustee)
{
    const SE_OBJECT_TYPE type = registryKey ? SE_REGISTRY_KEY : SE_FILE_OBJECT;
    DWORD mask = (read ? GENERIC_READ : 0) | (write ? GENERIC_WRITE : 0) | (execute ? GENERIC_EXECUTE : 0) | (all ? GENERIC_ALL : 0);
    PSID sid = nullptr;
    if (!allocateTrustee(trustee, &sid))
        return JNI_FALSE;
    rav::JavaString objectName(env, path);
    PACL oldList = nullptr, newList = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD status = objectName.null() ? ERROR_INVALID_PARAMETER
                                     : GetNamedSecurityInfoW(const_cast<wchar_t*>(objectName.get()), type, DACL_SECURITY_INFORMATION,
                                                             nullptr, nullptr, &oldList, nullptr, &descriptor);
    if (status != ERROR_SUCCESS) {
        std::printf("GetNamedSecurityInfo Error %u\n", static_cast<unsigned>(status));
    } else {
        EXPLICIT_ACCESSW access{};
        access.grfAccessPermissions = mask;
        access.grfAccessMode = GRANT_ACCESS;
        access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
        access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
        access.Trustee.ptstrName = static_cast<LPWSTR>(sid);
        status = SetEntriesInAclW(1, &access, oldList, &newList);
        if (status != ERROR_SUCCESS) {
            std::printf("SetEntriesInAcl Error %u\n", static_cast<unsigned>(status));
        } else {
            status = SetNamedSecurityInfoW(const_cast<wchar_t*>(objectName.get()), type, DACL_SECURITY_INFORMATION, nullptr,
                                           nullptr, newList, nullptr);
            if (status != ERROR_SUCCESS)
                std::printf("SetNamedSecurityInfo Error %u\n", static_cast<unsigned>(status));
        }
    }
    std::fflush(stdout);
    if (descriptor)
        LocalFree(descriptor);
    if (newList)
        LocalFree(newList);
    FreeSid(sid);
    return status == ERROR_SUCCESS ? JNI_TRUE : JNI_FALSE;
}
