// The remove log: four lists collected during the installation run and the file written from them.
#pragma once

#include <stdint.h>

enum LogList : int32_t {
    kDelFiles,     // forward
    kDelDirs,      // backward
    kDelRegValues, // forward
    kDelRegKeys,   // backward
};

void ResetRemoveLog();
// Adds the text and CR LF at the end of a forward list. Returns 0 (and adds nothing) when the
// entry does not fit the list's region.
int LogAppend(LogList list, const char* text);
// Adds the text and CR LF before the first entry of a backward list; 0 when it does not fit.
int LogPrepend(LogList list, const char* text);
// The list's text: its entries, each ended by CR LF, NUL-terminated.
const char* LogText(LogList list);

using LogWriter = void (*)(void* context, const char* bytes, uint32_t count);
// Writes the log file's contents piece by piece for the (already expanded) log path; the path is
// added to DelFiles first, as the last entry.
void EmitRemoveLog(const char* logPath, LogWriter write, void* context);
