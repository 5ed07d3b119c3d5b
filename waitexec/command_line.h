// Command-line scan of the exit-code relay: plain text in, decision out. No platform calls, so
// the same code runs in waitexec.exe and in the native tests.
#pragma once

#include <stdint.h>

enum { kCommandCapacity = 1000 };

struct RelayRequest {
    uint32_t base;         // error base; failure codes are multiples of it plus an error
    bool help;             // show the help text and exit with base + 1
    bool exitNow;          // an unknown switch: exit at once with exitCode, show nothing
    uint32_t exitCode;     // valid when exitNow is set
    char command[kCommandCapacity + 1]; // the child's command line, NUL-terminated
};

// Reads GetCommandLineA's text: the program's own name, switches, then the command.
void ScanCommandLine(const char* line, RelayRequest* request);

extern const char kHelpText[];
extern const uint32_t kHelpTextLength;
