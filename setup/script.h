// The setup script reader: list sections of setup.inf, read from the text held in
// g_setup.ScriptText, turned into StringLists (NUL-terminated lines ended by an empty string).
#pragma once

#include <stdint.h>

// Reads the first section whose header names `name` (compared without case) into `list`.
// Returns 1 when the section was found (also when it is empty), 0 when it was not; the list is
// valid in both cases. Lines that no longer fit the capacity are left out.
int ReadSection(const char* name, char* list, uint32_t capacity);
// [CreateDirs] into g_setup.DirsList.
void ReadDirsList();
// [CreateShortcuts] into g_setup.ShortcutsList, and the three shortcut-kind flags from it.
void ScanShortcutKinds();

// The string after `line` in a StringList; the list ends at the first empty one.
const char* NextListLine(const char* line);
