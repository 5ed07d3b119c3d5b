// Progress hooks and the launcher's string routines.
#include "payload.h"

namespace {

// Percentage of the input span [start, end] that current has passed, in 64 bits so that no payload
// size overflows it. A span of zero or less (8 or fewer bytes behind the gzip header) counts as
// done.
u32 InputPercent(const u8* start, const u8* end, const u8* current) {
    if (end <= start)
        return 100;
    u64 done = current > start ? static_cast<u64>(current - start) : 0;
    return static_cast<u32>(done * 100 / static_cast<u64>(end - start));
}

} // namespace

void ProgressHook(const u8* start, const u8* end, const u8* current) {
    u32 percent = InputPercent(start, end, current);
    if (percent == extraction.lastPercent)
        return;
    extraction.lastPercent = percent;
    void* dialog = extraction.dialogWindow;
    if (dialog)
        PostDialogMessage(dialog, WM_EXTRACT_PROGRESS);
}

void FileNameHook(const char* name) {
    // The 101st byte is never written: it ends a name that was cut at 100 characters.
    StrCopyN(extraction.currentFileName, name, 100);
    void* dialog = extraction.dialogWindow;
    if (dialog)
        PostDialogMessage(dialog, WM_EXTRACT_FILE);
}

void StrCopy(char* destination, const char* source) {
    while ((*destination++ = *source++) != 0) {
    }
}

void StrCopyN(char* destination, const char* source, unsigned n) {
    for (unsigned i = 0; i < n; ++i) {
        destination[i] = source[i];
        if (source[i] == 0)
            return;
    }
}

void StrAppend(char* destination, const char* source) {
    StrCopy(destination + StrLength(destination), source);
}

unsigned StrLength(const char* text) {
    unsigned length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

int StrCompare(const char* a, const char* b) {
    const u8* x = reinterpret_cast<const u8*>(a);
    const u8* y = reinterpret_cast<const u8*>(b);
    while (*x != 0 && *x == *y) {
        ++x;
        ++y;
    }
    return *x < *y ? -1 : (*x > *y ? 1 : 0);
}
