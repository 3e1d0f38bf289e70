/* The machine-dependent part of jni.h for Windows targets: calling
   convention, export attribute and the integer types of the Java runtime
   on Windows. */
#ifndef RAVNATIVE_JNI_MD_H
#define RAVNATIVE_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
