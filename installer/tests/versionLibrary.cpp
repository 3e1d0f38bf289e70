// A library that holds nothing but its version resource.
extern "C" __declspec(dllexport) int versionLibrary()
{
    return 1;
}
