#include "harness.h"

#include <io.h>

#include <cstdio>

namespace harness {

Natives natives;
HMODULE library = nullptr;

namespace {
int passed = 0;
int failed = 0;
}

void check(bool condition, const char* what, const char* file, int line)
{
    if (condition) {
        ++passed;
        return;
    }
    ++failed;
    std::fprintf(stderr, "FAILED %s:%d: %s\n", file, line, what);
}

std::string capturedOutput(const std::function<void()>& action)
{
    const std::wstring path = scratch(L"stdout.txt");
    std::fflush(stdout);
    const int old = _dup(_fileno(stdout));
    if (!_wfreopen(path.c_str(), L"w", stdout))
        return std::string();
    action();
    std::fflush(stdout);
    _dup2(old, _fileno(stdout));
    _close(old);
    std::string text;
    if (FILE* in = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, in))
            text.append(buffer, n);
        std::fclose(in);
    }
    return text;
}

std::wstring scratch(const std::wstring& name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"ravnative-" + name;
}

}  // namespace harness

int main()
{
    using namespace harness;
    library = LoadLibraryW(L"ravnative.dll");
    if (!library) {
        std::printf("ravnative.dll could not be loaded (%lu)\n0 passed, 1 failed\n", GetLastError());
        return 1;
    }
#define RAV_FIND(cls, method, n, result, params, args) \
    natives.cls##_##method = reinterpret_cast<decltype(natives.cls##_##method)>(                                          \
        GetProcAddress(library, "Java_com_ravlin_runtime_installer_platform_win32_" #cls "_" #method));
    RAV_METHODS(RAV_FIND)
#undef RAV_FIND
    exportTableTests();
    registryTests();
    systemTests();
    shellTests();
    CHECK(fake::outstanding() == 0);  // every string and array was released
    CHECK(fake::exceptions() == 0);   // no Java exception, ever
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
