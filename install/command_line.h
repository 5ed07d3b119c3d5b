// install's command line: the own path (first token) and one optional argument, the directory for
// temporary files or a switch. Portable so that the host tests can run every case.
#pragma once

constexpr unsigned kPathSize = 260; // MAX_PATH, terminator included

enum LauncherAction : unsigned {
    kActionExtract,   // extract into tempPath (or the system's directory when none was given)
    kActionUsage,     // -h, -H, -? and /h, /H, /?: the usage box
    kActionBadSwitch, // any other switch: 2064
};

struct LauncherCommandLine {
    char ownPath[kPathSize];
    bool ownPathTooLong; // the first token does not fit: it cannot be opened (2020)
    LauncherAction action;
    bool tempPathGiven;
    bool tempPathTooLong; // the argument does not fit: refused rather than cut to another directory
    char tempPath[kPathSize];
};

void ParseLauncherCommandLine(const char* line, LauncherCommandLine* result);
