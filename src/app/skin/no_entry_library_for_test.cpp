// A valid library that lacks the skin entry.
#if defined(_WIN32)
extern "C" __declspec(dllexport) int SomethingElse() { return 0; }
#else
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 0; }
#endif
