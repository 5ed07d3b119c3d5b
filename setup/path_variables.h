// Path variables %0 to %9 in script texts, and the shortcut kind of a script line.
#pragma once

#include <stdint.h>

enum ShortcutKind : int32_t {
    kShortcutNone = 0,
    kShortcutDesktop = 1,   // %5
    kShortcutStartMenu = 2, // %6
    kShortcutGroup = 3,     // %7
};

// Replaces every variable in the 260-byte text in place. Returns 1, or 0 when the expansion does
// not fit 259 characters: the text is then emptied, so that no caller acts on a cut path.
int ExpandPathVariables(char* text);
ShortcutKind GetShortcutKind(const char* line);
// Whether the InstallOptions flag that governs a kind is set (kind none is always processed).
int ShortcutKindWanted(ShortcutKind kind);
