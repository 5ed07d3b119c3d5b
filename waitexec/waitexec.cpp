// waitexec: runs a command line as a child process, waits for it and exits with its exit code.
// Its own failures are exit codes built from the error base, so callers can tell them apart.
#include <windows.h>

#include "command_line.h"

// GCC may emit calls to these for plain initialisers and record copies; there is no C runtime.
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

static RelayRequest g_request;

static void WriteHelpText() {
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), kHelpText, kHelpTextLength, &written, nullptr);
}

// Starts the command and waits for it; the result is the child's exit code or a failure code.
static DWORD RunChild(char* command, DWORD base) {
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
                        nullptr, nullptr, &startup, &child))
        return GetLastError() + 2 * base;

    DWORD exitCode;
    if (WaitForSingleObject(child.hProcess, INFINITE) == WAIT_FAILED)
        exitCode = GetLastError() + 3 * base;
    else if (!GetExitCodeProcess(child.hProcess, &exitCode))
        exitCode = GetLastError() + 4 * base;
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return exitCode;
}

extern "C" void WaitExecMain() {
    ScanCommandLine(GetCommandLineA(), &g_request);
    if (g_request.help)
        WriteHelpText();
    if (g_request.exitNow)
        ExitProcess(g_request.exitCode);
    ExitProcess(RunChild(g_request.command, g_request.base));
}
