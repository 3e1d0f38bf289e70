// Registry: keys and values of the five roots, values as Java objects whose
// class tells the registry type.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "jniText.h"
#include "nativeMethods.h"
#include "state.h"

namespace {

constexpr DWORD kBufferSize = 100000;
enum class Access { read, readWrite, create };

HKEY rootKey(jint code)
{
    switch (code) {
    case 1: return HKEY_CLASSES_ROOT;
    case 2: return HKEY_CURRENT_USER;
    case 3: return HKEY_LOCAL_MACHINE;
    case 4: return HKEY_USERS;
    case 5: return HKEY_CURRENT_CONFIG;
    default: return nullptr;
    }
}

// An open key, closed when this ends; `key` is null when it could not be opened.
struct OpenKey {
    HKEY key = nullptr;
    OpenKey(JNIEnv* env, jint root, jstring path, Access access)
    {
        HKEY base = rootKey(root);
        if (!base)
            return;
        rav::JavaString subKey(env, path);
        LONG status;
        if (access == Access::create)
            status = RegCreateKeyExW(base, subKey.get(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        else
            status = RegOpenKeyExW(base, subKey.get(), 0, access == Access::read ? KEY_READ : KEY_READ | KEY_SET_VALUE, &key);
        if (status != ERROR_SUCCESS)
            key = nullptr;
    }
    ~OpenKey()
    {
        if (key)
            RegCloseKey(key);
    }
};

jobject newWithString(JNIEnv* env, const char* className, jstring text)
{
    jclass cls = env->FindClass(className);
    jmethodID constructor = cls ? env->GetMethodID(cls, "<init>", "(Ljava/lang/String;)V") : nullptr;
    return constructor ? env->NewObject(cls, constructor, text) : nullptr;
}

jobject multiString(JNIEnv* env, const wchar_t* data, std::size_t chars)
{
    std::vector<std::wstring> items;
    for (std::size_t i = 0; i < chars && data[i] != 0;) {
        std::wstring item(data + i);
        i += item.size() + 1;
        items.push_back(item);
    }
    return rav::newStringArray(env, items);
}

jobject toJava(JNIEnv* env, DWORD type, const BYTE* data, DWORD size)
{
    const auto* text = reinterpret_cast<const wchar_t*>(data);
    switch (type) {
    case REG_SZ: return rav::newString(env, text, size / sizeof(wchar_t));
    case REG_EXPAND_SZ:
        return newWithString(env, "com/ravlin/api/windows/WinRegistry$ExpandString", rav::newString(env, text, size / sizeof(wchar_t)));
    case REG_DWORD: {
        jclass cls = env->FindClass("java/lang/Integer");
        jmethodID constructor = cls ? env->GetMethodID(cls, "<init>", "(I)V") : nullptr;
        return constructor ? env->NewObject(cls, constructor, static_cast<jint>(*reinterpret_cast<const DWORD*>(data))) : nullptr;
    }
    case REG_BINARY: {
        jbyteArray array = env->NewByteArray(static_cast<jsize>(size));
        if (array)
            env->SetByteArrayRegion(array, 0, static_cast<jsize>(size), reinterpret_cast<const jbyte*>(data));
        return array;
    }
    case REG_MULTI_SZ: return multiString(env, text, size / sizeof(wchar_t));
    default: return nullptr;
    }
}

// The registry form of a Java value; false when it cannot be converted.
bool fromJava(JNIEnv* env, jobject value, jint typeCode, std::vector<BYTE>& data, DWORD& type)
{
    auto appendText = [&](const std::wstring& s) {
        const auto* bytes = reinterpret_cast<const BYTE*>(s.c_str());
        data.insert(data.end(), bytes, bytes + (s.size() + 1) * sizeof(wchar_t));
    };
    switch (typeCode) {
    case 1:
    case 5: {
        rav::JavaString text(env, static_cast<jstring>(value));
        if (text.null())
            return false;
        appendText(std::wstring(text.get()).substr(0, kBufferSize / 2 - 1));
        type = typeCode == 1 ? REG_SZ : REG_EXPAND_SZ;
        return true;
    }
    case 2: {
        jclass cls = env->GetObjectClass(value);
        jmethodID intValue = cls ? env->GetMethodID(cls, "intValue", "()I") : nullptr;
        if (!intValue)
            return false;
        const DWORD number = static_cast<DWORD>(env->CallIntMethod(value, intValue));
        data.resize(4);
        memcpy(data.data(), &number, 4);
        type = REG_DWORD;
        return true;
    }
    case 4: {
        auto array = static_cast<jbyteArray>(value);
        const jsize n = std::min<jsize>(env->GetArrayLength(array), static_cast<jsize>(kBufferSize));
        data.resize(static_cast<std::size_t>(n));
        env->GetByteArrayRegion(array, 0, n, reinterpret_cast<jbyte*>(data.data()));
        type = REG_BINARY;
        return true;
    }
    case 3: {
        auto array = static_cast<jobjectArray>(value);
        const jsize n = env->GetArrayLength(array);
        for (jsize i = 0; i < n; ++i) {
            rav::JavaString item(env, static_cast<jstring>(env->GetObjectArrayElement(array, i)));
            if (item.null() || *item.get() == 0)
                return false;
            appendText(item.get());
        }
        data.insert(data.end(), sizeof(wchar_t), 0);
        type = REG_MULTI_SZ;
        return data.size() <= kBufferSize;
    }
    default: return false;
    }
}

// Deletes a key with everything below it.
void deleteTree(HKEY parent, const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        wchar_t child[1024];
        DWORD length = 1024;
        if (RegEnumKeyExW(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(child, length);
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        deleteTree(key, it->c_str());
    RegCloseKey(key);
    RegDeleteKeyW(parent, name);
}

}  // namespace

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(Registry, keyExists0)(JNIEnv* env, jclass, jint root, jstring path)
{
    return OpenKey(env, root, path, Access::read).key ? JNI_TRUE : JNI_FALSE;
}

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(Registry, createKey0)(JNIEnv* env, jclass, jint root, jstring path)
{
    return OpenKey(env, root, path, Access::create).key ? JNI_TRUE : JNI_FALSE;
}

extern "C" JNIEXPORT jobject JNICALL RAV_NAME(Registry, getValue0)(JNIEnv* env, jclass, jint root, jstring path, jstring name)
{
    OpenKey k(env, root, path, Access::read);
    if (!k.key)
        return nullptr;
    rav::JavaString valueName(env, name);
    std::vector<BYTE> data(kBufferSize + sizeof(wchar_t));
    DWORD type = 0, size = kBufferSize;
    if (RegQueryValueExW(k.key, valueName.get(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return nullptr;
    return toJava(env, type, data.data(), size);
}

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(Registry, setValue0)(JNIEnv* env, jclass, jint root, jstring path, jstring name,
                                                                    jobject value, jint typeCode)
{
    OpenKey k(env, root, path, Access::create);
    if (!k.key)
        return JNI_FALSE;
    rav::JavaString valueName(env, name);
    std::vector<BYTE> data;
    DWORD type = 0;
    if (!fromJava(env, value, typeCode, data, type))
        return JNI_FALSE;
    if (RegSetValueExW(k.key, valueName.get(), 0, type, data.data(), static_cast<DWORD>(data.size())) == ERROR_SUCCESS)
        return JNI_TRUE;
    const LONG again = RegSetValueExW(k.key, valueName.get(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    std::printf("no success %d\n", static_cast<int>(again));
    return JNI_FALSE;
}

extern "C" JNIEXPORT void JNICALL RAV_NAME(Registry, deleteValue0)(JNIEnv* env, jclass, jint root, jstring path, jstring name)
{
    OpenKey k(env, root, path, Access::readWrite);
    if (!k.key)
        return;
    rav::JavaString valueName(env, name);
    RegDeleteValueW(k.key, valueName.get());
}

extern "C" JNIEXPORT void JNICALL RAV_NAME(Registry, deleteKey0)(JNIEnv* env, jclass, jint root, jstring path, jboolean onlyIfEmpty)
{
    if (onlyIfEmpty) {
        OpenKey k(env, root, path, Access::readWrite);
        DWORD subKeys = 0, values = 0;
        if (!k.key || RegQueryInfoKeyW(k.key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                                       nullptr, nullptr) != ERROR_SUCCESS ||
            subKeys != 0 || values != 0)
            return;
    }
    HKEY base = rootKey(root);
    if (!base)
        return;
    rav::JavaString subKey(env, path);
    deleteTree(base, subKey.get());
}

namespace {

jobjectArray enumerate(JNIEnv* env, jint root, jstring path, bool subKeys)
{
    OpenKey k(env, root, path, Access::read);
    if (!k.key)
        return nullptr;
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[4096], className[4096];
        DWORD length = 4096, classLength = 4096;
        const LONG status = subKeys ? RegEnumKeyExW(k.key, i, name, &length, nullptr, className, &classLength, nullptr)
                                    : RegEnumValueW(k.key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS)
            names.emplace_back(name, length);
        else if (status != ERROR_MORE_DATA)
            break;
    }
    return rav::newStringArray(env, names);
}

}  // namespace

extern "C" JNIEXPORT jobjectArray JNICALL RAV_NAME(Registry, enumSubKeys0)(JNIEnv* env, jclass, jint root, jstring path)
{
    return enumerate(env, root, path, true);
}

extern "C" JNIEXPORT jobjectArray JNICALL RAV_NAME(Registry, enumValues0)(JNIEnv* env, jclass, jint root, jstring path)
{
    return enumerate(env, root, path, false);
}

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(Registry, saveKey0)(JNIEnv* env, jclass, jint root, jstring path, jstring file)
{
    rav::enablePrivilege(L"SeBackupPrivilege");
    OpenKey k(env, root, path, Access::readWrite);
    if (!k.key)
        return JNI_FALSE;
    rav::JavaString target(env, file);
    return RegSaveKeyW(k.key, target.get(), nullptr) == ERROR_SUCCESS ? JNI_TRUE : JNI_FALSE;
}

extern "C" JNIEXPORT jboolean JNICALL RAV_NAME(Registry, restoreKey0)(JNIEnv* env, jclass, jint root, jstring path, jstring file)
{
    rav::enablePrivilege(L"SeBackupPrivilege");
    rav::enablePrivilege(L"SeRestorePrivilege");
    OpenKey k(env, root, path, Access::create);
    if (!k.key)
        return JNI_FALSE;
    rav::JavaString source(env, file);
    return RegRestoreKeyW(k.key, source.get(), 0) == ERROR_SUCCESS ? JNI_TRUE : JNI_FALSE;
}

extern "C" JNIEXPORT void JNICALL RAV_NAME(Registry, changeNotifyAssociations0)(JNIEnv*, jclass)
{
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
