#include "fakeJni.h"

#include <cstdarg>
#include <cstring>
#include <memory>

namespace fake {

namespace {

std::vector<std::unique_ptr<Object>> arena;
int handedOut = 0;
int thrown = 0;

Object* make(Object::Kind kind)
{
    arena.push_back(std::make_unique<Object>());
    arena.back()->kind = kind;
    return arena.back().get();
}

Object* classObject(const std::string& name)
{
    for (const auto& o : arena)
        if (o->kind == Object::klass && o->className == name)
            return o.get();
    Object* c = make(Object::klass);
    c->className = name;
    return c;
}

struct Method {
    std::string className, name, signature;
};
std::vector<std::unique_ptr<Method>> methods;

jclass JNICALL findClass(JNIEnv*, const char* name)
{
    return reinterpret_cast<jclass>(classObject(name));
}

jmethodID JNICALL getMethodId(JNIEnv*, jclass cls, const char* name, const char* signature)
{
    const std::string owner = object(cls)->className;
    const bool known = (owner == "java/lang/Integer" && std::strcmp(name, "<init>") == 0 && std::strcmp(signature, "(I)V") == 0) ||
                       (owner == "java/lang/Integer" && std::strcmp(name, "intValue") == 0 && std::strcmp(signature, "()I") == 0) ||
                       (owner == "com/ravlin/api/windows/WinRegistry$ExpandString" && std::strcmp(name, "<init>") == 0 &&
                        std::strcmp(signature, "(Ljava/lang/String;)V") == 0);
    if (!known)
        return nullptr;
    methods.push_back(std::make_unique<Method>(Method{owner, name, signature}));
    return reinterpret_cast<jmethodID>(methods.back().get());
}

jobject JNICALL newObjectV(JNIEnv*, jclass cls, jmethodID id, va_list args)
{
    const auto* m = reinterpret_cast<Method*>(id);
    if (m->className == "java/lang/Integer")
        return integer(va_arg(args, jint));
    Object* o = make(Object::expandString);
    o->text = object(va_arg(args, jobject))->text;
    return reinterpret_cast<jobject>(o);
}

jint JNICALL callIntMethodV(JNIEnv*, jobject o, jmethodID, va_list)
{
    return object(o)->number;
}

jclass JNICALL getObjectClass(JNIEnv*, jobject o)
{
    return reinterpret_cast<jclass>(classObject(className(o)));
}

const jchar* JNICALL getStringChars(JNIEnv*, jstring s, jboolean* copy)
{
    if (copy)
        *copy = JNI_FALSE;
    ++handedOut;
    return reinterpret_cast<const jchar*>(object(s)->text.c_str());
}

void JNICALL releaseStringChars(JNIEnv*, jstring, const jchar*)
{
    --handedOut;
}

jsize JNICALL getStringLength(JNIEnv*, jstring s)
{
    return static_cast<jsize>(object(s)->text.size());
}

jstring JNICALL newString(JNIEnv*, const jchar* chars, jsize length)
{
    return string(std::u16string(reinterpret_cast<const char16_t*>(chars), static_cast<std::size_t>(length)));
}

jsize JNICALL getArrayLength(JNIEnv*, jarray a)
{
    Object* o = object(a);
    return static_cast<jsize>(o->kind == Object::bytes ? o->data.size() : o->items.size());
}

jbyte* JNICALL getByteArrayElements(JNIEnv*, jbyteArray a, jboolean* copy)
{
    if (copy)
        *copy = JNI_TRUE;
    ++handedOut;
    const auto& data = object(a)->data;
    auto* copyOf = new jbyte[data.size() + 1];
    std::memcpy(copyOf, data.data(), data.size());
    return copyOf;
}

void JNICALL releaseByteArrayElements(JNIEnv*, jbyteArray, jbyte* elements, jint)
{
    --handedOut;
    delete[] elements;
}

jbyteArray JNICALL newByteArray(JNIEnv*, jsize length)
{
    Object* o = make(Object::bytes);
    o->data.resize(static_cast<std::size_t>(length));
    return reinterpret_cast<jbyteArray>(o);
}

void JNICALL setByteArrayRegion(JNIEnv*, jbyteArray a, jsize start, jsize length, const jbyte* from)
{
    std::memcpy(object(a)->data.data() + start, from, static_cast<std::size_t>(length));
}

void JNICALL getByteArrayRegion(JNIEnv*, jbyteArray a, jsize start, jsize length, jbyte* to)
{
    std::memcpy(to, object(a)->data.data() + start, static_cast<std::size_t>(length));
}

jobjectArray JNICALL newObjectArray(JNIEnv*, jsize length, jclass, jobject)
{
    Object* o = make(Object::array);
    o->items.resize(static_cast<std::size_t>(length));
    return reinterpret_cast<jobjectArray>(o);
}

void JNICALL setObjectArrayElement(JNIEnv*, jobjectArray a, jsize i, jobject value)
{
    object(a)->items.at(static_cast<std::size_t>(i)) = object(value);
}

jobject JNICALL getObjectArrayElement(JNIEnv*, jobjectArray a, jsize i)
{
    return reinterpret_cast<jobject>(object(a)->items.at(static_cast<std::size_t>(i)));
}

jint JNICALL throwNew(JNIEnv*, jclass, const char*)
{
    ++thrown;
    return 0;
}

jint JNICALL throwObject(JNIEnv*, jthrowable)
{
    ++thrown;
    return 0;
}

jboolean JNICALL exceptionCheck(JNIEnv*)
{
    return JNI_FALSE;
}

void JNICALL deleteLocalRef(JNIEnv*, jobject) {}

JNINativeInterface_ makeTable()
{
    JNINativeInterface_ t;
    std::memset(&t, 0, sizeof t);
    t.FindClass = findClass;
    t.GetMethodID = getMethodId;
    t.NewObjectV = newObjectV;
    t.CallIntMethodV = callIntMethodV;
    t.GetObjectClass = getObjectClass;
    t.GetStringChars = getStringChars;
    t.ReleaseStringChars = releaseStringChars;
    t.GetStringLength = getStringLength;
    t.NewString = newString;
    t.GetArrayLength = getArrayLength;
    t.GetByteArrayElements = getByteArrayElements;
    t.ReleaseByteArrayElements = releaseByteArrayElements;
    t.NewByteArray = newByteArray;
    t.SetByteArrayRegion = setByteArrayRegion;
    t.GetByteArrayRegion = getByteArrayRegion;
    t.NewObjectArray = newObjectArray;
    t.SetObjectArrayElement = setObjectArrayElement;
    t.GetObjectArrayElement = getObjectArrayElement;
    t.ThrowNew = throwNew;
    t.Throw = throwObject;
    t.ExceptionCheck = exceptionCheck;
    t.DeleteLocalRef = deleteLocalRef;
    return t;
}

}  // namespace

JNIEnv* env()
{
    static JNINativeInterface_ table = makeTable();
    static JNIEnv environment{&table};
    return &environment;
}

jclass someClass()
{
    return reinterpret_cast<jclass>(classObject("com/ravlin/runtime/installer/platform/win32/Test"));
}

jstring string(const std::u16string& text)
{
    Object* o = make(Object::string);
    o->text = text;
    return reinterpret_cast<jstring>(o);
}

jstring string(const std::wstring& text)
{
    return string(std::u16string(text.begin(), text.end()));
}

jbyteArray bytes(const std::string& text)
{
    Object* o = make(Object::bytes);
    o->data.assign(text.begin(), text.end());
    o->data.push_back(0);
    return reinterpret_cast<jbyteArray>(o);
}

jobject integer(jint value)
{
    Object* o = make(Object::integer);
    o->number = value;
    return reinterpret_cast<jobject>(o);
}

jobjectArray strings(const std::vector<std::wstring>& texts)
{
    Object* o = make(Object::array);
    for (const auto& t : texts)
        o->items.push_back(object(string(t)));
    return reinterpret_cast<jobjectArray>(o);
}

Object* object(jobject o)
{
    return reinterpret_cast<Object*>(o);
}

std::wstring text(jobject o)
{
    const auto& t = object(o)->text;
    return std::wstring(t.begin(), t.end());
}

std::vector<std::wstring> texts(jobject array)
{
    std::vector<std::wstring> out;
    for (Object* item : object(array)->items)
        out.push_back(text(reinterpret_cast<jobject>(item)));
    return out;
}

const char* className(jobject o)
{
    switch (object(o)->kind) {
    case Object::string: return "java/lang/String";
    case Object::integer: return "java/lang/Integer";
    case Object::expandString: return "com/ravlin/api/windows/WinRegistry$ExpandString";
    case Object::bytes: return "[B";
    case Object::array: return "[Ljava/lang/String;";
    default: return "java/lang/Class";
    }
}

int outstanding()
{
    return handedOut;
}

int exceptions()
{
    return thrown;
}

}  // namespace fake
