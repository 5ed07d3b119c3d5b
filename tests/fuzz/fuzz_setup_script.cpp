// setup.inf as outside input: every list section read, split into fields, expanded and recorded
// in the remove log, the way the installation run treats it (without touching the system).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "path_variables.h"
#include "plan.h"
#include "remove_log.h"
#include "script.h"
#include "setup_state.h"
#include "text.h"

static void Discard(void*, const char*, uint32_t) {}

static void SetVariable(char* member, char fill, size_t length) {
    std::memset(member, fill, length);
    member[length] = 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool initialised = false;
    if (!initialised) {
        SetInitialState();
        initialised = true;
    }
    // The first byte chooses how long the directories are, so that expansions near and over 259
    // characters are reached.
    size_t length = size ? data[0] % 200 : 10;
    SetVariable(g_setup.SetupDir, 's', length);
    SetVariable(g_setup.DestDir, 'd', length / 2);
    SetVariable(g_setup.ProgramsDir, 'p', 259);
    std::memset(g_setup.ScriptText, 0, sizeof g_setup.ScriptText);
    std::memcpy(g_setup.ScriptText, data, size < kTextFileCapacity ? size : kTextFileCapacity);

    ReadDirsList();
    ScanShortcutKinds();
    BuildCopyPlan();
    ResetRemoveLog();
    char path[kPathCapacity];
    for (const char* line = g_setup.DirsList; *line; line = NextListLine(line))
        if (ShortcutKindWanted(GetShortcutKind(line)) && CopyTextFits(path, line, sizeof path) &&
            ExpandPathVariables(path))
            LogPrepend(kDelDirs, path);
    const char* source = g_setup.CopySources;
    const char* target = g_setup.CopyTargets;
    for (int32_t i = 0; i < g_setup.CopyCount; ++i) {
        if (CopyTextFits(path, source, sizeof path) && ExpandPathVariables(path) &&
            CopyTextFits(path, target, sizeof path) && ExpandPathVariables(path))
            LogAppend(kDelFiles, path);
        source = NextListLine(source);
        target = NextListLine(target);
    }
    for (const char* line = g_setup.ShortcutsList; *line; line = NextListLine(line)) {
        char fields[3][kPathCapacity];
        const char* cursor = line;
        int fits = 1;
        for (auto& field : fields)
            fits &= NextField(&cursor, field, sizeof field);
        if (fits && ExpandPathVariables(fields[0]) && ExpandPathVariables(fields[1]))
            LogAppend(kDelFiles, fields[1]);
    }
    ReadSection("AddRegistryKeys", g_setup.RegistryList, sizeof g_setup.RegistryList);
    for (const char* line = g_setup.RegistryList; *line; line = NextListLine(line))
        LogPrepend(kDelRegKeys, line);
    ReadSection("AddRegistryValues", g_setup.RegistryList, sizeof g_setup.RegistryList);
    for (const char* line = g_setup.RegistryList; *line; line = NextListLine(line)) {
        char root[kPathCapacity], key[kPathCapacity], name[kPathCapacity], type[12];
        char value[kPathCapacity];
        const char* cursor = line;
        int fits = NextField(&cursor, root, sizeof root) & NextField(&cursor, key, sizeof key) &
                   NextField(&cursor, name, sizeof name);
        NextField(&cursor, type, sizeof type);
        fits &= NextField(&cursor, value, sizeof value);
        if (!fits || RootFromName(root) == kRootNone || !ExpandPathVariables(value))
            break;
        LogAppend(kDelRegValues, root);
    }
    CopyTextFits(path, "%1\\remove.log", sizeof path);
    ExpandPathVariables(path);
    EmitRemoveLog(path, Discard, nullptr);
    return 0;
}
