// ShellLink: shortcuts through the shell-link object, and shell notifications.
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "jniText.h"
#include "nativeMethods.h"

namespace {

const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkW = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Saves the link through its persist-file interface; the last status.
HRESULT saveLink(IUnknown* link, const wchar_t* file)
{
    IPersistFile* persist = nullptr;
    HRESULT status = link->QueryInterface(kPersistFile, reinterpret_cast<void**>(&persist));
    if (SUCCEEDED(status)) {
        status = persist->Save(file, TRUE);
        persist->Release();
    }
    return status;
}

// Sets the parts of a link of either interface; optional parts only when given.
template <class Link, class Text>
void setParts(Link* link, Text target, Text folder, Text icon, Text arguments, Text description)
{
    link->SetPath(target);
    link->SetWorkingDirectory(folder);
    if (icon)
        link->SetIconLocation(icon, 0);
    if (arguments)
        link->SetArguments(arguments);
    if (description)
        link->SetDescription(description);
}

}  // namespace

extern "C" JNIEXPORT void JNICALL RAV_NAME(ShellLink, initialize)(JNIEnv*, jclass)
{
    CoInitialize(nullptr);
}

extern "C" JNIEXPORT void JNICALL RAV_NAME(ShellLink, uninitialize)(JNIEnv*, jclass)
{
    CoUninitialize();
}

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(ShellLink, create0)(JNIEnv* env, jclass, jstring linkFile, jbyteArray target,
                                                                   jbyteArray workingDir, jbyteArray icon, jbyteArray arguments,
                                                                   jbyteArray description)
{
    IShellLinkA* link = nullptr;
    HRESULT status = CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA, reinterpret_cast<void**>(&link));
    if (FAILED(status))
        return JNI_FALSE;
    {
        rav::JavaBytes t(env, target), w(env, workingDir), i(env, icon), a(env, arguments), d(env, description);
        setParts<IShellLinkA, const char*>(link, t.get(), w.get(), i.get(), a.get(), d.get());
    }
    rav::JavaString file(env, linkFile);
    status = saveLink(link, file.get());
    link->Release();
    return SUCCEEDED(status) ? JNI_TRUE : JNI_FALSE;
}

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(ShellLink, createWide0)(JNIEnv* env, jclass, jstring linkFile, jstring target,
                                                                       jstring workingDir, jstring icon, jstring arguments,
                                                                       jstring description)
{
    IShellLinkW* link = nullptr;
    HRESULT status = CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kShellLinkW, reinterpret_cast<void**>(&link));
    if (FAILED(status))
        return JNI_FALSE;
    {
        rav::JavaString t(env, target), w(env, workingDir), i(env, icon), a(env, arguments), d(env, description);
        setParts<IShellLinkW, const wchar_t*>(link, t.get(), w.get(), i.get(), a.get(), d.get());
    }
    rav::JavaString file(env, linkFile);
    status = saveLink(link, file.get());
    link->Release();
    return SUCCEEDED(status) ? JNI_TRUE : JNI_FALSE;
}

extern "C" JNIEXPORT void JNICALL RAV_NAME(ShellLink, changeNotfiy0)(JNIEnv* env, jclass, jbyteArray createdItem, jbyteArray folder)
{
    rav::JavaBytes item(env, createdItem), directory(env, folder);
    SHChangeNotify(SHCNE_CREATE, SHCNF_PATHA, item.get(), nullptr);
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA | SHCNF_FLUSH, directory.get(), nullptr);
}
