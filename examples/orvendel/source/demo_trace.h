// Lets the kit's tests see that a demo program was started, when, and with which command line:
// when ORVENDEL_TRACE names a file, the program appends one line to it and ends at once instead
// of showing its window. The line is name|creation time|module path|current directory|command
// line; the process creation time orders launches that happen back to back.
#pragma once

#include <windows.h>

#include <stdio.h>
#include <string.h>

static bool TraceStartAndExit(const char* name) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ORVENDEL_TRACE", path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return false;
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    unsigned long long stamp =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    char cwd[MAX_PATH], self[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    GetModuleFileNameA(nullptr, self, sizeof self);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char line[3 * MAX_PATH + 1200];
        int len = snprintf(line, sizeof line, "%s|%llu|%s|%s|%s\r\n", name, stamp, self, cwd,
                           GetCommandLineA());
        DWORD written;
        if (len > 0)
            WriteFile(file, line,
                      static_cast<DWORD>(len < (int)sizeof line ? len : sizeof line - 1), &written,
                      nullptr);
        CloseHandle(file);
    }
    return true;
}
