// The own path is the first token, quoted or not, exactly as the program was started; the first
// argument after it is either a switch or the temporary-files directory, and everything behind that
// argument is ignored.
#include "command_line.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p))
        ++p;
    return p;
}

// Takes one token into out (room for size - 1 characters). A quoted token runs to the next quote,
// an unquoted one to the next blank. A token that does not fit is still passed over whole, so that
// what follows it is not mistaken for the next argument; *tooLong tells the caller.
const char* TakeToken(const char* p, char* out, unsigned size, bool* tooLong) {
    bool quoted = *p == '"';
    if (quoted)
        ++p;
    unsigned n = 0;
    *tooLong = false;
    while (*p && (quoted ? *p != '"' : !IsBlank(*p))) {
        if (n < size - 1)
            out[n++] = *p;
        else
            *tooLong = true;
        ++p;
    }
    out[n] = 0;
    if (quoted && *p == '"')
        ++p;
    return p;
}

} // namespace

void ParseLauncherCommandLine(const char* line, LauncherCommandLine* result) {
    const char* p =
        TakeToken(SkipBlanks(line), result->ownPath, kPathSize, &result->ownPathTooLong);
    p = SkipBlanks(p);
    result->action = kActionExtract;
    result->tempPathGiven = false;
    result->tempPathTooLong = false;
    result->tempPath[0] = 0;
    if (*p == 0)
        return;
    if (*p == '-' || *p == '/') {
        char letter = p[1];
        result->action =
            letter == 'h' || letter == 'H' || letter == '?' ? kActionUsage : kActionBadSwitch;
        return;
    }
    result->tempPathGiven = true;
    TakeToken(p, result->tempPath, kPathSize, &result->tempPathTooLong);
}
