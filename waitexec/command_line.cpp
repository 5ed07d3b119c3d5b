#include "command_line.h"

const char kHelpText[] = "WAITEXEC: Spawn for Orvendel\n"
                         "\n"
                         "Usage: waitexec [-|/<switch>] <executable> [exe params]\n"
                         "\n"
                         "Available switches:\n"
                         "  ?,h,H - this help screen\n"
                         "  c<num> - sets base of WAITEXEC error level to <num>\n"
                         "\n";
const uint32_t kHelpTextLength = sizeof kHelpText - 1;

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

static const char* SkipBlanks(const char* p) {
    while (IsBlank(*p))
        ++p;
    return p;
}

// The program's own name is the first token; a quoted name may contain blanks.
static const char* SkipProgramName(const char* p) {
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        return *p ? p + 1 : p;
    }
    while (*p && !IsBlank(*p))
        ++p;
    return p;
}

// "c<digits>": digits wrap in 32 bits; anything glued to the digits makes it a help request.
static const char* ScanBaseSwitch(const char* p, RelayRequest* request) {
    if (!IsDigit(*p)) {
        request->help = true;
        return p;
    }
    uint32_t value = 0;
    while (IsDigit(*p))
        value = value * 10u + uint32_t(*p++ - '0');
    request->base = value;
    if (*p && !IsBlank(*p))
        request->help = true;
    return p;
}

// A command that does not fit the buffer is refused as a help request rather than cut: running a
// shortened command line could start something other than what the caller asked for.
static void TakeCommand(const char* p, RelayRequest* request) {
    uint32_t n = 0;
    while (p[n] && n < kCommandCapacity) {
        request->command[n] = p[n];
        ++n;
    }
    request->command[n] = 0;
    if (p[n]) {
        request->command[0] = 0;
        request->help = true;
    }
}

void ScanCommandLine(const char* line, RelayRequest* request) {
    request->base = 10000;
    request->help = false;
    request->exitNow = false;
    request->exitCode = 0;
    request->command[0] = 0;

    const char* p = SkipProgramName(SkipBlanks(line));
    for (;;) {
        p = SkipBlanks(p);
        if (!*p)
            break;
        if (*p != '-' && *p != '/') {
            TakeCommand(p, request);
            break;
        }
        char letter = p[1];
        p += letter ? 2 : 1;
        if (letter == '?' || letter == 'h' || letter == 'H') {
            request->help = true;
        } else if (letter == 'c') {
            p = ScanBaseSwitch(p, request);
        } else {
            request->help = false;
            request->exitNow = true;
            request->exitCode = request->base;
            return;
        }
    }
    if (!request->command[0])
        request->help = true;
    if (request->help) {
        request->exitNow = true;
        request->exitCode = request->base + 1;
    }
}
