// Fixed-width types and constants shared by the launcher core and its platform seam. The core is
// built freestanding (no C runtime in install.exe), so nothing here needs a library header.
#pragma once

typedef unsigned char u8;
typedef unsigned short u16;
typedef unsigned int u32;
typedef unsigned long long u64;
typedef signed int i32;

static_assert(sizeof(u16) == 2 && sizeof(u32) == 4 && sizeof(u64) == 8, "fixed widths");

// n / d for a divisor no wider than an address. On i686 the compiler would bring in a general
// 64-by-64-bit division routine from libgcc; a 32-bit divisor needs only two hardware divisions
// (high half, then remainder and low half), which give the same quotient.
inline u64 DivideWide(u64 n, __UINTPTR_TYPE__ d) {
#if defined(__i386__) && defined(__GNUC__)
    u32 high = static_cast<u32>(n >> 32);
    u32 quotientHigh = high / d;
    u32 remainder = high % d;
    u32 quotientLow;
    __asm__("divl %4"
            : "=a"(quotientLow), "=d"(remainder)
            : "a"(static_cast<u32>(n)), "d"(remainder), "rm"(d));
    return static_cast<u64>(quotientHigh) << 32 | quotientLow;
#else
    return n / d;
#endif
}

// FILE_ATTRIBUTE_* values the tar reader asks for.
constexpr unsigned kAttributeReadOnly = 0x01;
constexpr unsigned kAttributeArchive = 0x20;

// Window messages posted to the progress dialog (WM_USER + 1000 ...).
enum ExtractMessage : unsigned {
    WM_EXTRACT_DONE = 0x400 + 1000,
    WM_EXTRACT_PROGRESS = 0x400 + 1001,
    WM_EXTRACT_FILE = 0x400 + 1002,
};
