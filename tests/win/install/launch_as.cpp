// Starts a program under a command line whose first token names another file:
//   launch_as.exe PROGRAM REST...   runs PROGRAM with the command line REST, waits, and exits with
// its exit code. install.exe opens the file its command line names, so a damaged copy can be read
// by an intact, loadable program.
#include <windows.h>

#include <cstdio>

int main() {
    char* line = GetCommandLineA();
    auto skip = [](char*& p) {
        if (*p == '"') {
            for (++p; *p && *p != '"'; ++p) {
            }
            if (*p)
                ++p;
        } else {
            while (*p && *p != ' ' && *p != '\t')
                ++p;
        }
        while (*p == ' ' || *p == '\t')
            ++p;
    };
    skip(line);
    char program[MAX_PATH];
    char* start = line;
    skip(line);
    int n = 0;
    for (char* p = start; p < line && n < MAX_PATH - 1; ++p)
        if (*p != '"')
            program[n++] = *p;
    while (n > 0 && (program[n - 1] == ' ' || program[n - 1] == '\t'))
        --n;
    program[n] = 0;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        printf("LAUNCH-FAILED:%lu\n", GetLastError());
        return 125;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}
