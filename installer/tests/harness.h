// The test harness: the library loaded like the Java runtime loads it, its
// methods found by name, and a tiny check counter.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "fakeJni.h"
#include "nativeMethods.h"

namespace harness {

// Every native method of the library, looked up by its plain name.
struct Natives {
#define RAV_POINTER(cls, method, n, result, params, args) decltype(&RAV_NAME(cls, method)) cls##_##method = nullptr;
    RAV_METHODS(RAV_POINTER)
#undef RAV_POINTER
};

extern Natives natives;
extern HMODULE library;

void check(bool condition, const char* what, const char* file, int line);
#define CHECK(condition) harness::check((condition), #condition, __FILE__, __LINE__)

// What the library printed on standard output while `action` ran.
std::string capturedOutput(const std::function<void()>& action);

// A folder of the test run (inside the Wine prefix's drive).
std::wstring scratch(const std::wstring& name);

void exportTableTests();
void registryTests();
void systemTests();
void shellTests();

}  // namespace harness

#define CALL(cls, method, ...) harness::natives.cls##_##method(fake::env(), fake::someClass() __VA_OPT__(, ) __VA_ARGS__)
