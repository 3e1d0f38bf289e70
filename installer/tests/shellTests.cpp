// ShellLink and ACLHandling.
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>

#include "harness.h"

namespace harness {

namespace {

jstring s(const std::wstring& t)
{
    return fake::string(t);
}

struct LinkParts {
    std::wstring target, folder, arguments, description, icon;
};

// Reads a .lnk file back through the system's shell-link object.
bool readLink(const std::wstring& file, LinkParts& parts)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* persist = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
              SUCCEEDED(persist->Load(file.c_str(), STGM_READ));
    if (ok) {
        wchar_t text[MAX_PATH];
        int index = 0;
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH), parts.target = text;
        link->GetWorkingDirectory(text, MAX_PATH), parts.folder = text;
        link->GetArguments(text, MAX_PATH), parts.arguments = text;
        link->GetDescription(text, MAX_PATH), parts.description = text;
        link->GetIconLocation(text, MAX_PATH, &index), parts.icon = text;
    }
    if (persist)
        persist->Release();
    link->Release();
    return ok;
}

void links()
{
    CALL(ShellLink, initialize);
    const std::wstring full = scratch(L"full.lnk"), bare = scratch(L"bare.lnk"), wide = scratch(L"wide.lnk");
    CHECK(CALL(ShellLink, create0, s(full), fake::bytes("C:\\windows\\notepad.exe"), fake::bytes("C:\\windows"),
               fake::bytes("C:\\windows\\notepad.exe"), fake::bytes("/a b"), fake::bytes("Editor")));
    LinkParts parts;
    CHECK(readLink(full, parts));
    CHECK(parts.target == L"C:\\windows\\notepad.exe");
    CHECK(parts.folder == L"C:\\windows");
    CHECK(parts.arguments == L"/a b");
    CHECK(parts.description == L"Editor");
    CHECK(parts.icon == L"C:\\windows\\notepad.exe");

    CHECK(CALL(ShellLink, create0, s(bare), fake::bytes("C:\\windows\\regedit.exe"), fake::bytes("C:\\"), nullptr, nullptr, nullptr));
    LinkParts bareParts;
    CHECK(readLink(bare, bareParts));
    CHECK(bareParts.target == L"C:\\windows\\regedit.exe" && bareParts.folder == L"C:\\");
    CHECK(bareParts.arguments.empty() && bareParts.description.empty());

    CHECK(CALL(ShellLink, createWide0, s(wide), s(L"C:\\windows\\notepad.exe"), s(L"C:\\users"), s(L"C:\\windows\\notepad.exe"),
               s(L"\u00e9t\u00e9"), s(L"Wide \u00e9dition")));
    LinkParts wideParts;
    CHECK(readLink(wide, wideParts));
    CHECK(wideParts.arguments == L"\u00e9t\u00e9" && wideParts.description == L"Wide \u00e9dition");
    CHECK(wideParts.folder == L"C:\\users");
    CALL(ShellLink, changeNotfiy0, fake::bytes("C:\\x.lnk"), fake::bytes("C:\\"));
    CALL(ShellLink, uninitialize);
}

void accessControl()
{
    const std::wstring file = scratch(L"acl.txt");
    CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    CHECK(CALL(ACLHandling, addACE, s(file), JNI_FALSE, JNI_TRUE, JNI_FALSE, JNI_TRUE, JNI_FALSE, 1));
    CHECK(CALL(ACLHandling, addACE, s(file), JNI_FALSE, JNI_FALSE, JNI_FALSE, JNI_FALSE, JNI_FALSE, 0));
    CALL(Registry, createKey0, 2, s(L"Software\\RavnativeAcl"));
    CHECK(CALL(ACLHandling, addACE, s(L"CURRENT_USER\\Software\\RavnativeAcl"), JNI_TRUE, JNI_TRUE, JNI_TRUE, JNI_FALSE, JNI_FALSE, 3));
    CALL(Registry, deleteKey0, 2, s(L"Software\\RavnativeAcl"), JNI_FALSE);
    jboolean result = JNI_TRUE;
    std::string printed = capturedOutput([&] {
        result = CALL(ACLHandling, addACE, s(L"C:\\windows\\no such file.txt"), JNI_FALSE, JNI_TRUE, JNI_FALSE, JNI_FALSE, JNI_FALSE, 1);
    });
    printed.erase(std::remove(printed.begin(), printed.end(), '\r'), printed.end());  // the text-mode line end
    CHECK(result == JNI_FALSE);
    CHECK(printed == "GetNamedSecurityInfo Error 2\n");  // the file-not-found code
}

}  // namespace

void shellTests()
{
    links();
    accessControl();
}

}  // namespace harness
