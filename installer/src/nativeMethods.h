// The native methods of the installer's Windows platform classes, one table:
// class, method, argument bytes of the standard-call decoration, result,
// parameters and the call's arguments. It declares the functions and makes
// the second, decorated export of each.
#pragma once

#include <jni.h>

#define RAV_METHODS(X)                                                                                                  \
    X(ACLHandling, addACE, 36, jboolean,                                                                                \
      (JNIEnv * e, jclass c, jstring p, jboolean k, jboolean r, jboolean w, jboolean x, jboolean a, jint t),           \
      (e, c, p, k, r, w, x, a, t))                                                                                      \
    X(Common, setWindows95, 12, jboolean, (JNIEnv * e, jclass c, jboolean v), (e, c, v))                               \
    X(Common, setWindowsNT, 12, jboolean, (JNIEnv * e, jclass c, jboolean v), (e, c, v))                               \
    X(FileVersion, compare0, 16, jint, (JNIEnv * e, jclass c, jstring a, jstring b), (e, c, a, b))                     \
    X(FolderInfo, getDriveType0, 12, jint, (JNIEnv * e, jclass c, jstring p), (e, c, p))                               \
    X(FolderInfo, getPathFromRegistry0, 12, jstring, (JNIEnv * e, jclass c, jstring n), (e, c, n))                     \
    X(FolderInfo, getShortPathName0, 12, jstring, (JNIEnv * e, jclass c, jstring p), (e, c, p))                        \
    X(FolderInfo, getSpecialFolder0, 16, jstring, (JNIEnv * e, jclass c, jint f, jboolean all), (e, c, f, all))        \
    X(FolderInfo, getSystemDirectory0, 8, jstring, (JNIEnv * e, jclass c), (e, c))                                     \
    X(FolderInfo, getWindowsDirectory0, 8, jstring, (JNIEnv * e, jclass c), (e, c))                                    \
    X(Misc, broadcastSettingChange0, 8, void, (JNIEnv * e, jclass c), (e, c))                                          \
    X(Misc, getEnvVarPairs0, 8, jobjectArray, (JNIEnv * e, jclass c), (e, c))                                          \
    X(Misc, getFreeDiskSpace0, 12, jlong, (JNIEnv * e, jclass c, jstring p), (e, c, p))                                \
    X(Misc, getPhysicalMemory0, 8, jlong, (JNIEnv * e, jclass c), (e, c))                                              \
    X(Misc, getRunningModules0, 8, jobjectArray, (JNIEnv * e, jclass c), (e, c))                                       \
    X(Misc, moveWithDelayUntilReboot0, 16, jboolean, (JNIEnv * e, jclass c, jstring f, jstring t), (e, c, f, t))       \
    X(Misc, reboot0, 8, jint, (JNIEnv * e, jclass c), (e, c))                                                          \
    X(Registry, changeNotifyAssociations0, 8, void, (JNIEnv * e, jclass c), (e, c))                                    \
    X(Registry, createKey0, 16, jboolean, (JNIEnv * e, jclass c, jint r, jstring p), (e, c, r, p))                     \
    X(Registry, deleteKey0, 20, void, (JNIEnv * e, jclass c, jint r, jstring p, jboolean o), (e, c, r, p, o))          \
    X(Registry, deleteValue0, 20, void, (JNIEnv * e, jclass c, jint r, jstring p, jstring n), (e, c, r, p, n))         \
    X(Registry, enumSubKeys0, 16, jobjectArray, (JNIEnv * e, jclass c, jint r, jstring p), (e, c, r, p))               \
    X(Registry, enumValues0, 16, jobjectArray, (JNIEnv * e, jclass c, jint r, jstring p), (e, c, r, p))                \
    X(Registry, getValue0, 20, jobject, (JNIEnv * e, jclass c, jint r, jstring p, jstring n), (e, c, r, p, n))         \
    X(Registry, keyExists0, 16, jboolean, (JNIEnv * e, jclass c, jint r, jstring p), (e, c, r, p))                     \
    X(Registry, restoreKey0, 20, jboolean, (JNIEnv * e, jclass c, jint r, jstring p, jstring f), (e, c, r, p, f))      \
    X(Registry, saveKey0, 20, jboolean, (JNIEnv * e, jclass c, jint r, jstring p, jstring f), (e, c, r, p, f))         \
    X(Registry, setValue0, 28, jboolean, (JNIEnv * e, jclass c, jint r, jstring p, jstring n, jobject v, jint t),      \
      (e, c, r, p, n, v, t))                                                                                            \
    X(ShellLink, changeNotfiy0, 16, void, (JNIEnv * e, jclass c, jbyteArray i, jbyteArray f), (e, c, i, f))            \
    X(ShellLink, create0, 32, jboolean,                                                                                 \
      (JNIEnv * e, jclass c, jstring l, jbyteArray t, jbyteArray w, jbyteArray i, jbyteArray a, jbyteArray d),          \
      (e, c, l, t, w, i, a, d))                                                                                         \
    X(ShellLink, createWide0, 32, jboolean,                                                                             \
      (JNIEnv * e, jclass c, jstring l, jstring t, jstring w, jstring i, jstring a, jstring d), (e, c, l, t, w, i, a, d)) \
    X(ShellLink, initialize, 8, void, (JNIEnv * e, jclass c), (e, c))                                                  \
    X(ShellLink, uninitialize, 8, void, (JNIEnv * e, jclass c), (e, c))                                                \
    X(Win32UserInfo, isMemberOfGroup0, 12, jboolean, (JNIEnv * e, jclass c, jint g), (e, c, g))

#define RAV_NAME(cls, method) Java_com_ravlin_runtime_installer_platform_win32_##cls##_##method

#define RAV_DECLARE(cls, method, n, result, params, args) extern "C" JNIEXPORT result JNICALL RAV_NAME(cls, method) params;
RAV_METHODS(RAV_DECLARE)
#undef RAV_DECLARE
