// Test runner: starts the rest of its own command line as a child, waits, and prints the child's
// full 32-bit exit code as the last line ("EXIT:<n>"); Wine's own exit status keeps only 8 bits.
#include <windows.h>

#include <cstdio>

int main() {
    char* line = GetCommandLineA();
    // Pass over our own name (quoted or not) and the blanks after it.
    if (*line == '"') {
        ++line;
        while (*line && *line != '"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        printf("SPAWN-FAILED:%lu\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    fflush(stdout);
    printf("\nEXIT:%lu\n", code);
    return 0;
}
