// Fixed-width types and constants shared by the launcher core and its platform seam. The core is
// built freestanding (no C runtime in install.exe), so nothing here needs a library header.
#pragma once

typedef unsigned char u8;
typedef unsigned short u16;
typedef unsigned int u32;
typedef unsigned long long u64;
typedef signed int i32;

static_assert(sizeof(u16) == 2 && sizeof(u32) == 4 && sizeof(u64) == 8, "fixed widths");

// FILE_ATTRIBUTE_* values the tar reader asks for.
constexpr unsigned kAttributeReadOnly = 0x01;
constexpr unsigned kAttributeArchive = 0x20;

// Window messages posted to the progress dialog (WM_USER + 1000 ...).
enum ExtractMessage : unsigned {
    WM_EXTRACT_DONE = 0x400 + 1000,
    WM_EXTRACT_PROGRESS = 0x400 + 1001,
    WM_EXTRACT_FILE = 0x400 + 1002,
};
