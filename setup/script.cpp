#include "script.h"

#include "path_variables.h"
#include "platform.h"
#include "setup_state.h"

// Header names are short; a bracketed span this long cannot be a wanted name.
constexpr uint32_t kHeaderNameCapacity = 1024;

static const char* FindChar(const char* p, char c) {
    while (*p && *p != c)
        ++p;
    return *p ? p : nullptr;
}

static bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// The character after the "]" of the first header named `name`, or null. A "[" anywhere opens a
// candidate, even inside a line, and its span may run across lines: the reader does not know
// where lines begin when it looks for headers.
static const char* FindSectionBody(const char* text, const char* name) {
    char candidate[kHeaderNameCapacity];
    const char* p = text;
    for (;;) {
        const char* open = FindChar(p, '[');
        if (!open)
            return nullptr;
        const char* close = FindChar(open + 1, ']');
        if (!close)
            return nullptr;
        uint32_t length = static_cast<uint32_t>(close - open - 1);
        if (length < kHeaderNameCapacity) {
            for (uint32_t i = 0; i < length; ++i)
                candidate[i] = open[1 + i];
            candidate[length] = 0;
            if (CompareTextNoCase(candidate, name) == 0)
                return close + 1;
        }
        p = close + 1;
    }
}

int ReadSection(const char* name, char* list, uint32_t capacity) {
    if (capacity == 0)
        return 0;
    list[0] = 0;
    if (capacity > 1)
        list[1] = 0;
    const char* p = FindSectionBody(g_setup.ScriptText, name);
    if (!p)
        return 0;
    uint32_t used = 0; // bytes of kept lines with their NULs; the final NUL goes at list[used]
    bool full = false;
    while (*p != '[') {
        while (IsLineBreak(*p))
            ++p;
        // A header at the start of a line ends the section, also right after the header line
        // of an empty section.
        if (*p == '[' || *p == 0)
            break;
        const char* start = p;
        while (*p && !IsLineBreak(*p))
            ++p;
        const char* end = p;
        while (start < end && *start == ' ')
            ++start;
        uint32_t length = static_cast<uint32_t>(end - start);
        if (length > 0 && *start != ';' && !full) {
            // The line, its NUL and the list's final NUL must fit.
            if (length + 2 <= capacity - used) {
                for (uint32_t i = 0; i < length; ++i)
                    list[used + i] = start[i];
                list[used + length] = 0;
                used += length + 1;
            } else {
                full = true;
            }
        }
        while (IsLineBreak(*p))
            ++p;
        if (*p == 0)
            break;
    }
    list[used] = 0;
    return 1;
}

const char* NextListLine(const char* line) {
    while (*line)
        ++line;
    return line + 1;
}

void ReadDirsList() {
    ReadSection("CreateDirs", g_setup.DirsList, sizeof g_setup.DirsList);
}

void ScanShortcutKinds() {
    g_setup.HasDesktopShortcuts = 0;
    g_setup.HasStartMenuShortcuts = 0;
    g_setup.HasGroupShortcuts = 0;
    ReadSection("CreateShortcuts", g_setup.ShortcutsList, sizeof g_setup.ShortcutsList);
    for (const char* line = g_setup.ShortcutsList; *line; line = NextListLine(line)) {
        switch (GetShortcutKind(line)) {
        case kShortcutDesktop:
            g_setup.HasDesktopShortcuts = 1;
            break;
        case kShortcutStartMenu:
            g_setup.HasStartMenuShortcuts = 1;
            break;
        case kShortcutGroup:
            g_setup.HasGroupShortcuts = 1;
            break;
        default:
            break;
        }
    }
}
