# Installs the Debian packages the build needs, when any is missing.
# Usage: ensure_packages PACKAGE...
ensure_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What every build needs; ccache keeps compiled objects so a rebuild in a
# fresh clone, or of a second configuration, compiles only what changed.
CORE_PACKAGES=(cmake ninja-build ccache g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libdevil-dev strace imagemagick)
# The fuzz target's compiler and runtime.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The desktop program and its tests and screenshots (poppler reads the PDFs it prints).
UI_PACKAGES=(qt6-base-dev qt6-svg-dev libgl-dev xvfb xauth fonts-liberation poppler-utils weston qt6-wayland)
# Printing through the system's service in the tests: CUPS with its PDF printer.
PRINT_PACKAGES=(cups printer-driver-cups-pdf)
# The EDF+ export's reader in the tests, and the Debian package's tools.
EDF_PACKAGES=(python3-mne)
PACKAGE_PACKAGES=(dpkg-dev desktop-file-utils lintian appstream python3-markdown)
# The installer library: cross compiler, Wine to run its tests, and jni.h.
INSTALLER_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 openjdk-17-jdk-headless)

# Builds go through ccache unless the caller chose a launcher; CMake reads
# these when it first configures a build folder.
use_compiler_cache() {
    command -v ccache >/dev/null || return 0
    export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER-ccache}
    export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER-ccache}
}
