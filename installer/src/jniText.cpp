#include "jniText.h"

#include <cwchar>

namespace rav {

JavaString::JavaString(JNIEnv* env, jstring s) : env_(env), string_(s), null_(s == nullptr)
{
    if (null_)
        return;
    chars_ = env->GetStringChars(s, nullptr);
    if (!chars_) {
        null_ = true;
        return;
    }
    text_.assign(reinterpret_cast<const wchar_t*>(chars_), static_cast<std::size_t>(env->GetStringLength(s)));
}

JavaString::~JavaString()
{
    if (chars_)
        env_->ReleaseStringChars(string_, chars_);
}

JavaBytes::JavaBytes(JNIEnv* env, jbyteArray a) : env_(env), array_(a), null_(a == nullptr)
{
    if (null_)
        return;
    bytes_ = env->GetByteArrayElements(a, nullptr);
    if (!bytes_) {
        null_ = true;
        return;
    }
    const jsize n = env->GetArrayLength(a);
    std::size_t length = 0;
    while (length < static_cast<std::size_t>(n) && bytes_[length] != 0)
        ++length;
    text_.assign(reinterpret_cast<const char*>(bytes_), length);
}

JavaBytes::~JavaBytes()
{
    if (bytes_)
        env_->ReleaseByteArrayElements(array_, bytes_, JNI_ABORT);
}

jstring newString(JNIEnv* env, const wchar_t* text, std::size_t length)
{
    std::size_t n = 0;
    while (n < length && text[n] != 0)
        ++n;
    return env->NewString(reinterpret_cast<const jchar*>(text), static_cast<jsize>(n));
}

jobjectArray newStringArray(JNIEnv* env, const std::vector<std::wstring>& texts)
{
    jclass stringClass = env->FindClass("java/lang/String");
    if (!stringClass)
        return nullptr;
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(texts.size()), stringClass, nullptr);
    if (!array)
        return nullptr;
    for (std::size_t i = 0; i < texts.size(); ++i)
        env->SetObjectArrayElement(array, static_cast<jsize>(i), newString(env, texts[i].c_str(), texts[i].size()));
    return array;
}

}  // namespace rav
