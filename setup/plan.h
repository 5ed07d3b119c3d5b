// The install plan: comma fields of list lines, the copy plan with its space requirement, and the
// registry root names.
#pragma once

#include <stdint.h>

// Copies the field that starts at *cursor (up to the next comma or the end of the line) into
// `field` and moves *cursor past that comma. A missing field is empty. Returns 0 when the field
// does not fit the buffer; the buffer is then empty, and the caller must not act on the line.
int NextField(const char** cursor, char* field, uint32_t capacity);
// A size field as the shell's StrToIntA reads it: an optional minus sign and decimal digits at
// the start, else 0; wraps modulo 2^32.
int32_t SizeFieldValue(const char* field);
// [CopyFiles] into CopyFilesList, CopySources, CopyTargets, CopyCount and SpaceRequired.
void BuildCopyPlan();

enum RegistryRoot : int32_t {
    kRootNone = 0,
    kRootLocalMachine,
    kRootCurrentUser,
    kRootCurrentConfig,
    kRootClassesRoot,
};
RegistryRoot RootFromName(const char* name);

// The i-th string of a StringList (i from 0), or null past its end.
const char* ListEntry(const char* list, int32_t index);
