// Entry point of setup.exe, which links no C runtime.
#include "setup_win32.h"

// GCC may emit calls to these for plain initialisers and record copies.
extern "C" void* memset(void* dest, int value, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    while (count--)
        *d++ = static_cast<unsigned char>(value);
    return dest;
}

extern "C" void* memcpy(void* dest, const void* src, size_t count) {
    unsigned char* d = static_cast<unsigned char*>(dest);
    const unsigned char* s = static_cast<const unsigned char*>(src);
    while (count--)
        *d++ = *s++;
    return dest;
}

extern "C" void SetupEntry() {
    ExitProcess(static_cast<UINT>(
        SetupMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWNORMAL)));
}
