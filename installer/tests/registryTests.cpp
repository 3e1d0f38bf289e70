// The Registry natives against the Wine prefix's registry.
#include "harness.h"

namespace harness {

namespace {

constexpr jint kUser = 2;
const std::wstring kBase = L"Software\\RavnativeTest";

jstring s(const std::wstring& t)
{
    return fake::string(t);
}

void valueTypes()
{
    const std::wstring key = kBase + L"\\Values";
    CHECK(CALL(Registry, createKey0, kUser, s(key)));
    CHECK(CALL(Registry, keyExists0, kUser, s(key)));
    CHECK(!CALL(Registry, keyExists0, kUser, s(kBase + L"\\Missing")));

    CHECK(CALL(Registry, setValue0, kUser, s(key), s(L"text"), s(L"hello"), 1));
    jobject v = CALL(Registry, getValue0, kUser, s(key), s(L"text"));
    CHECK(v && std::string(fake::className(v)) == "java/lang/String" && fake::text(v) == L"hello");

    CHECK(CALL(Registry, setValue0, kUser, s(key), s(L"expand"), s(L"%TEMP%\\x"), 5));
    v = CALL(Registry, getValue0, kUser, s(key), s(L"expand"));
    CHECK(v && std::string(fake::className(v)) == "com/ravlin/api/windows/WinRegistry$ExpandString" && fake::text(v) == L"%TEMP%\\x");

    CHECK(CALL(Registry, setValue0, kUser, s(key), s(L"number"), fake::integer(-42), 2));
    v = CALL(Registry, getValue0, kUser, s(key), s(L"number"));
    CHECK(v && std::string(fake::className(v)) == "java/lang/Integer" && fake::object(v)->number == -42);

    CHECK(CALL(Registry, setValue0, kUser, s(key), s(L"binary"), fake::bytes("ab"), 4));
    v = CALL(Registry, getValue0, kUser, s(key), s(L"binary"));
    CHECK(v && fake::object(v)->data == (std::vector<jbyte>{'a', 'b', 0}));

    CHECK(CALL(Registry, setValue0, kUser, s(key), s(L"multi"), fake::strings({L"a", L"b"}), 3));
    v = CALL(Registry, getValue0, kUser, s(key), s(L"multi"));
    CHECK(v && fake::texts(v) == (std::vector<std::wstring>{L"a", L"b"}));
    CHECK(CALL(Registry, setValue0, kUser, s(key), s(L"none"), fake::strings({}), 3));
    v = CALL(Registry, getValue0, kUser, s(key), s(L"none"));
    CHECK(v && fake::texts(v).empty());
    CHECK(!CALL(Registry, setValue0, kUser, s(key), s(L"holed"), fake::strings({L"a", L""}), 3));
    CHECK(CALL(Registry, getValue0, kUser, s(key), s(L"holed")) == nullptr);
    CHECK(!CALL(Registry, setValue0, kUser, s(key), s(L"odd"), s(L"x"), 9));

    HKEY raw = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &raw);
    const unsigned long long big = 1ull << 40;
    RegSetValueExW(raw, L"qword", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&big), sizeof big);
    RegCloseKey(raw);
    CHECK(CALL(Registry, getValue0, kUser, s(key), s(L"qword")) == nullptr);

    CHECK(CALL(Registry, setValue0, kUser, s(key), s(L"long"), s(std::wstring(60000, L'x')), 1));
    v = CALL(Registry, getValue0, kUser, s(key), s(L"long"));
    CHECK(v && fake::text(v).size() == 49999);

    const auto names = fake::texts(CALL(Registry, enumValues0, kUser, s(key)));
    CHECK(names.size() == 8);
    CALL(Registry, deleteValue0, kUser, s(key), s(L"text"));
    CHECK(CALL(Registry, getValue0, kUser, s(key), s(L"text")) == nullptr);
}

void keys()
{
    const std::wstring tree = kBase + L"\\Tree";
    CHECK(CALL(Registry, createKey0, kUser, s(tree + L"\\A\\B")));
    CHECK(CALL(Registry, createKey0, kUser, s(tree + L"\\C")));
    CHECK(fake::texts(CALL(Registry, enumSubKeys0, kUser, s(tree))) == (std::vector<std::wstring>{L"A", L"C"}));
    CHECK(CALL(Registry, enumSubKeys0, kUser, s(tree + L"\\Missing")) == nullptr);

    CHECK(CALL(Registry, setValue0, kUser, s(tree + L"\\C"), s(L"v"), s(L"1"), 1));
    CALL(Registry, deleteKey0, kUser, s(tree + L"\\C"), JNI_TRUE);  // has a value: stays
    CHECK(CALL(Registry, keyExists0, kUser, s(tree + L"\\C")));
    CALL(Registry, deleteKey0, kUser, s(tree), JNI_TRUE);  // has subkeys: stays
    CHECK(CALL(Registry, keyExists0, kUser, s(tree + L"\\A\\B")));

    const std::wstring file = scratch(L"saved.hiv");
    DeleteFileW(file.c_str());
    CHECK(CALL(Registry, saveKey0, kUser, s(tree), s(file)));
    CALL(Registry, deleteKey0, kUser, s(tree), JNI_FALSE);  // nested keys go too
    CHECK(!CALL(Registry, keyExists0, kUser, s(tree)));
    WIN32_FILE_ATTRIBUTE_DATA saved{};
    CHECK(GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &saved) && saved.nFileSizeLow > 0);
    // Restoring is answered with success; Wine's restore itself is a stub that
    // brings nothing back, so the keys are not looked for afterwards.
    CHECK(CALL(Registry, restoreKey0, kUser, s(tree), s(file)));
    CHECK(CALL(Registry, keyExists0, kUser, s(tree)));
    CALL(Registry, deleteKey0, kUser, s(tree), JNI_FALSE);
    CHECK(!CALL(Registry, keyExists0, kUser, s(tree)));
}

void unknownRoot()
{
    constexpr jint root = 6;
    CHECK(!CALL(Registry, createKey0, root, s(kBase)));
    CHECK(!CALL(Registry, keyExists0, root, s(kBase)));
    CHECK(CALL(Registry, getValue0, root, s(kBase), s(L"x")) == nullptr);
    CHECK(!CALL(Registry, setValue0, root, s(kBase), s(L"x"), s(L"y"), 1));
    CHECK(CALL(Registry, enumSubKeys0, root, s(kBase)) == nullptr);
    CHECK(CALL(Registry, enumValues0, root, s(kBase)) == nullptr);
    CHECK(!CALL(Registry, saveKey0, root, s(kBase), s(scratch(L"x.hiv"))));
    CHECK(!CALL(Registry, restoreKey0, root, s(kBase), s(scratch(L"x.hiv"))));
    CALL(Registry, deleteKey0, root, s(kBase), JNI_FALSE);
    CALL(Registry, deleteValue0, root, s(kBase), s(L"x"));
    CALL(Registry, changeNotifyAssociations0);
}

}  // namespace

void registryTests()
{
    valueTypes();
    keys();
    unknownRoot();
    CALL(Registry, deleteKey0, kUser, s(kBase), JNI_FALSE);
    CHECK(!CALL(Registry, keyExists0, kUser, s(kBase)));
}

}  // namespace harness
