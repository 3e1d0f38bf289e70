#pragma once

namespace rav {

// The library's process-wide state: set by the Java side through Common.
struct LibraryState {
    bool windows95 = false;  // no security model: privileges and groups succeed at once
    bool windowsNT = false;  // how group membership is tested
};

extern LibraryState state;

// Enables a privilege of the process token; true at once on Windows 95.
bool enablePrivilege(const wchar_t* name);

}  // namespace rav
