// Strings across the JNI boundary: Java strings as zero-terminated UTF-16,
// byte arrays as zero-terminated 8-bit strings, and string arrays.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

namespace rav {

// The characters of a Java string, zero-terminated; released when this ends.
class JavaString {
public:
    JavaString(JNIEnv* env, jstring s);
    ~JavaString();
    JavaString(const JavaString&) = delete;
    JavaString& operator=(const JavaString&) = delete;
    // nullptr for a null string.
    const wchar_t* get() const { return null_ ? nullptr : text_.c_str(); }
    bool null() const { return null_; }

private:
    JNIEnv* env_;
    jstring string_;
    const jchar* chars_ = nullptr;
    std::wstring text_;
    bool null_;
};

// The bytes of a Java byte array holding an 8-bit string; released without
// copying back when this ends.
class JavaBytes {
public:
    JavaBytes(JNIEnv* env, jbyteArray a);
    ~JavaBytes();
    JavaBytes(const JavaBytes&) = delete;
    JavaBytes& operator=(const JavaBytes&) = delete;
    const char* get() const { return null_ ? nullptr : text_.c_str(); }

private:
    JNIEnv* env_;
    jbyteArray array_;
    jbyte* bytes_ = nullptr;
    std::string text_;
    bool null_;
};

// A Java string from wide characters, up to the first zero (or `length`).
jstring newString(JNIEnv* env, const wchar_t* text, std::size_t length = std::wstring::npos);
// A String[] of the texts, in order; null when it cannot be made.
jobjectArray newStringArray(JNIEnv* env, const std::vector<std::wstring>& texts);

}  // namespace rav
