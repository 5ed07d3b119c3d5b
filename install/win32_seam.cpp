// The Win32 side of the core's seam: message boxes from the string table, posting to the progress
// dialog, GlobalAlloc memory and the file operations of the tar reader. Also the two routines GCC
// may call on its own, since install.exe links no C runtime.
#include <windows.h>

#include "payload.h"

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

namespace {
constexpr int kTextSize = 500;
}

unsigned ReportError(unsigned captionId, unsigned textId, SystemError systemError) {
    // Per call, so that the worker and the main thread may both report.
    char caption[kTextSize];
    char text[kTextSize];
    HINSTANCE instance = GetModuleHandleA(nullptr);
    LoadStringA(instance, captionId, caption, kTextSize);
    LoadStringA(instance, textId, text, kTextSize);
    if (systemError != 0) {
        unsigned length = StrLength(text);
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, systemError, LANG_USER_DEFAULT,
                       text + length, kTextSize - length, nullptr);
    }
    // The progress dialog owns the box while it exists, so it is disabled until the box is
    // answered.
    MessageBoxA(static_cast<HWND>(extraction.dialogWindow), text, caption, MB_ICONWARNING);
    return 1;
}

void PostDialogMessage(void* dialogWindow, unsigned message) {
    PostMessageA(static_cast<HWND>(dialogWindow), message, 0, 0);
}

void* AllocateMemory(unsigned size) {
    return GlobalAlloc(GMEM_FIXED, size);
}

void FreeMemory(void* block) {
    if (block)
        GlobalFree(block);
}

SystemError LastSystemError() {
    return GetLastError();
}

SystemError CreateDirectoryEntry(const char* name) {
    return CreateDirectoryA(name, nullptr) ? 0 : GetLastError();
}

SystemError CreateFileEntry(const char* name, FileHandle* file) {
    HANDLE handle = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError();
    *file = handle;
    return 0;
}

SystemError WriteFileEntry(FileHandle file, const void* data, unsigned count) {
    DWORD written;
    if (!WriteFile(file, data, count, &written, nullptr))
        return GetLastError();
    // A short write without an error code can only mean the volume ran out of room.
    return written == count ? 0 : ERROR_DISK_FULL;
}

SystemError CloseFileEntry(FileHandle file) {
    return CloseHandle(file) ? 0 : GetLastError();
}

void SetFileEntryTime(FileHandle file, unsigned long timeLow, unsigned long timeHigh) {
    FILETIME time;
    time.dwLowDateTime = timeLow;
    time.dwHighDateTime = timeHigh;
    SetFileTime(file, &time, &time, &time);
}

void SetEntryAttributes(const char* name, unsigned attributes) {
    SetFileAttributesA(name, attributes);
}

int IsDiskFullError(SystemError error) {
    return error == ERROR_DISK_FULL;
}
