#include "plan.h"

#include "platform.h"
#include "script.h"
#include "setup_state.h"

int NextField(const char** cursor, char* field, uint32_t capacity) {
    const char* p = *cursor;
    uint32_t length = 0;
    while (p[length] && p[length] != ',')
        ++length;
    *cursor = p[length] == ',' ? p + length + 1 : p + length;
    if (length >= capacity) {
        if (capacity)
            field[0] = 0;
        return 0;
    }
    for (uint32_t i = 0; i < length; ++i)
        field[i] = p[i];
    field[length] = 0;
    return 1;
}

int32_t SizeFieldValue(const char* field) {
    const char* p = field;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    uint32_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    if (negative)
        value = 0u - value;
    return static_cast<int32_t>(value);
}

// Appends one field of a line (the whole field, never cut) to a StringList being built;
// `used` counts the bytes before the list's final NUL.
static int AppendListField(char* list, uint32_t capacity, uint32_t* used, const char* start,
                           uint32_t length) {
    if (length + 2 > capacity - *used)
        return 0;
    for (uint32_t i = 0; i < length; ++i)
        list[*used + i] = start[i];
    list[*used + length] = 0;
    *used += length + 1;
    list[*used] = 0;
    return 1;
}

// Length of the field that starts at p.
static uint32_t FieldLength(const char* p) {
    uint32_t n = 0;
    while (p[n] && p[n] != ',')
        ++n;
    return n;
}

void BuildCopyPlan() {
    g_setup.CopySources[0] = 0;
    g_setup.CopyTargets[0] = 0;
    g_setup.CopyCount = 0;
    g_setup.SpaceRequired = 0;
    ReadSection("CopyFiles", g_setup.CopyFilesList, sizeof g_setup.CopyFilesList);
    uint32_t sourcesUsed = 0, targetsUsed = 0;
    for (const char* line = g_setup.CopyFilesList; *line; line = NextListLine(line)) {
        const char* source = line;
        uint32_t sourceLength = FieldLength(source);
        const char* target = source + sourceLength + (source[sourceLength] ? 1 : 0);
        uint32_t targetLength = FieldLength(target);
        const char* size = target + targetLength + (target[targetLength] ? 1 : 0);
        // The lists hold every line of a full script, so these appends cannot fail; the check
        // keeps the lists and CopyCount consistent if they ever did.
        uint32_t sourcesBefore = sourcesUsed;
        if (!AppendListField(g_setup.CopySources, sizeof g_setup.CopySources, &sourcesUsed, source,
                             sourceLength))
            break;
        if (!AppendListField(g_setup.CopyTargets, sizeof g_setup.CopyTargets, &targetsUsed, target,
                             targetLength)) {
            sourcesUsed = sourcesBefore;
            g_setup.CopySources[sourcesUsed] = 0;
            break;
        }
        // Digits stop at the comma that ends the field, so the size is read in place.
        int32_t value = SizeFieldValue(size);
        g_setup.SpaceRequired += static_cast<uint32_t>(value) + 4096u;
        ++g_setup.CopyCount;
    }
    g_setup.SpaceRequired += 10000u;
}

RegistryRoot RootFromName(const char* name) {
    if (CompareTextNoCase(name, "HKLM") == 0)
        return kRootLocalMachine;
    if (CompareTextNoCase(name, "HKCU") == 0)
        return kRootCurrentUser;
    if (CompareTextNoCase(name, "HKCC") == 0)
        return kRootCurrentConfig;
    if (CompareTextNoCase(name, "HKCR") == 0)
        return kRootClassesRoot;
    return kRootNone;
}

const char* ListEntry(const char* list, int32_t index) {
    const char* p = list;
    for (int32_t i = 0; i < index; ++i) {
        if (!*p)
            return nullptr;
        p = NextListLine(p);
    }
    return *p ? p : nullptr;
}
