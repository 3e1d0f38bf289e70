// The export directory of the library file: every method under its plain and
// its decorated name, found by reading the file, and loadable by both names.
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "harness.h"

namespace harness {

namespace {

std::set<std::string> exportedNames(const wchar_t* path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (file.size() < sizeof(IMAGE_DOS_HEADER))
        return names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(file.data() + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    auto offsetOf = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].Misc.VirtualSize)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return 0;
    };
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(file.data() + offsetOf(dir.VirtualAddress));
    const auto* nameRvas = reinterpret_cast<const DWORD*>(file.data() + offsetOf(exports->AddressOfNames));
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.insert(file.data() + offsetOf(nameRvas[i]));
    return names;
}

}  // namespace

void exportTableTests()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(library, path, MAX_PATH);
    const std::set<std::string> names = exportedNames(path);
    int methods = 0;
#define RAV_EXPORTED(cls, method, n, result, params, args)                                                              \
    {                                                                                                                   \
        const std::string plain = "Java_com_ravlin_runtime_installer_platform_win32_" #cls "_" #method;                \
        const std::string decorated = plain + "@" + std::to_string(n);                                                  \
        CHECK(names.count(plain) == 1);                                                                                 \
        CHECK(names.count(decorated) == 1);                                                                             \
        CHECK(GetProcAddress(library, plain.c_str()) != nullptr);                                                       \
        CHECK(GetProcAddress(library, decorated.c_str()) != nullptr);                                                   \
        ++methods;                                                                                                      \
    }
    RAV_METHODS(RAV_EXPORTED)
#undef RAV_EXPORTED
    CHECK(methods == 34);  // the 33 of the export table and reboot0
    CHECK(names.size() == 68);
}

}  // namespace harness
