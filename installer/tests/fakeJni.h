// A small Java runtime for the tests: strings, byte arrays, object arrays,
// java.lang.Integer and the installer's ExpandString class, reached through a
// hand-made JNI function table.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

namespace fake {

struct Object {
    enum Kind { string, bytes, array, integer, expandString, klass } kind;
    std::u16string text;        // string, expandString
    std::vector<jbyte> data;    // bytes
    std::vector<Object*> items; // array
    jint number = 0;            // integer
    std::string className;      // klass
};

JNIEnv* env();
jclass someClass();  // the class argument of a native method

jstring string(const std::u16string& text);
jstring string(const std::wstring& text);
jbyteArray bytes(const std::string& text);  // with its terminating zero
jobject integer(jint value);
jobjectArray strings(const std::vector<std::wstring>& texts);

Object* object(jobject o);
std::wstring text(jobject o);  // of a string or expand string
std::vector<std::wstring> texts(jobject array);
const char* className(jobject o);

// Characters and byte arrays handed out and not yet released, and exceptions thrown.
int outstanding();
int exceptions();

}  // namespace fake
