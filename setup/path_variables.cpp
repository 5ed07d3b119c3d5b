#include "path_variables.h"

#include "setup_state.h"

static const char* VariableValue(char digit) {
    switch (digit) {
    case '0':
        return g_setup.SetupDir;
    case '1':
        return g_setup.DestDir;
    case '2':
        return g_setup.WindowsDir;
    case '3':
        return g_setup.SystemDir;
    case '4':
        return g_setup.ProgramFilesDir;
    case '5':
        return g_setup.DesktopDir;
    case '6':
        return g_setup.StartMenuDir;
    case '7':
        return g_setup.ProgramsDir;
    default:
        return ""; // %8 and %9 stand for nothing
    }
}

int ExpandPathVariables(char* text) {
    char work[kPathCapacity];
    uint32_t out = 0;
    bool fits = true;
    auto put = [&](char c) {
        if (out < kPathCapacity - 1)
            work[out++] = c;
        else
            fits = false;
    };
    for (const char* p = text; *p; ++p) {
        if (p[0] == '%' && p[1] >= '0' && p[1] <= '9') {
            for (const char* v = VariableValue(p[1]); *v; ++v)
                put(*v);
            ++p;
        } else {
            put(*p);
        }
    }
    if (!fits) {
        text[0] = 0;
        return 0;
    }
    work[out] = 0;
    for (uint32_t i = 0; i <= out; ++i)
        text[i] = work[i];
    return 1;
}

ShortcutKind GetShortcutKind(const char* line) {
    for (const char* p = line; *p; ++p) {
        if (*p != '%')
            continue;
        switch (p[1]) {
        case '5':
            return kShortcutDesktop;
        case '6':
            return kShortcutStartMenu;
        case '7':
            return kShortcutGroup;
        default:
            break; // the next character is examined on its own
        }
    }
    return kShortcutNone;
}

int ShortcutKindWanted(ShortcutKind kind) {
    switch (kind) {
    case kShortcutDesktop:
        return g_setup.Options.DesktopShortcut;
    case kShortcutStartMenu:
        return g_setup.Options.StartMenuShortcut;
    case kShortcutGroup:
        return g_setup.Options.ProgramGroup;
    default:
        return 1;
    }
}
