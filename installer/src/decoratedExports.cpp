// The second export of every native method: its name with the standard-call
// decoration "@N", which 32-bit Java runtimes look up first.
#include "nativeMethods.h"

#define RAV_STRINGIFY2(x) #x
#define RAV_STRINGIFY(x) RAV_STRINGIFY2(x)

#define RAV_ALIAS(cls, method, n, result, params, args)                                                                   \
    extern "C" JNIEXPORT result JNICALL rav_decorated_##cls##_##method params __asm__(                                    \
        "Java_com_ravlin_runtime_installer_platform_win32_" #cls "_" #method "@" RAV_STRINGIFY(n));                       \
    result JNICALL rav_decorated_##cls##_##method params { return RAV_NAME(cls, method) args; }

RAV_METHODS(RAV_ALIAS)
