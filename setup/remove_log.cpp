#include "remove_log.h"

#include "setup_state.h"
#include "text.h"

template <uint32_t Size> static void ResetRegion(RemoveLogRegion<Size>& r) {
    r.ForwardEnd = 0;
    r.BackwardStart = Size;
    r.Region[0] = 0;
    r.Region[Size] = 0;
}

void ResetRemoveLog() {
    ResetRegion(g_setup.Log.Files);
    ResetRegion(g_setup.Log.Registry);
}

// Free bytes between the two lists, keeping one byte for the forward list's NUL.
template <uint32_t Size> static uint32_t FreeBytes(const RemoveLogRegion<Size>& r) {
    return r.BackwardStart > r.ForwardEnd ? r.BackwardStart - r.ForwardEnd - 1 : 0;
}

template <uint32_t Size> static int Append(RemoveLogRegion<Size>& r, const char* text) {
    uint32_t length = TextLength(text);
    if (length > FreeBytes(r) || FreeBytes(r) - length < 2)
        return 0;
    char* p = r.Region + r.ForwardEnd;
    for (uint32_t i = 0; i < length; ++i)
        p[i] = text[i];
    p[length] = '\r';
    p[length + 1] = '\n';
    r.ForwardEnd += length + 2;
    r.Region[r.ForwardEnd] = 0;
    return 1;
}

template <uint32_t Size> static int Prepend(RemoveLogRegion<Size>& r, const char* text) {
    uint32_t length = TextLength(text);
    if (length > FreeBytes(r) || FreeBytes(r) - length < 2)
        return 0;
    r.BackwardStart -= length + 2;
    char* p = r.Region + r.BackwardStart;
    for (uint32_t i = 0; i < length; ++i)
        p[i] = text[i];
    p[length] = '\r';
    p[length + 1] = '\n';
    return 1;
}

int LogAppend(LogList list, const char* text) {
    if (list == kDelFiles)
        return Append(g_setup.Log.Files, text);
    if (list == kDelRegValues)
        return Append(g_setup.Log.Registry, text);
    return 0;
}

int LogPrepend(LogList list, const char* text) {
    if (list == kDelDirs)
        return Prepend(g_setup.Log.Files, text);
    if (list == kDelRegKeys)
        return Prepend(g_setup.Log.Registry, text);
    return 0;
}

const char* LogText(LogList list) {
    switch (list) {
    case kDelFiles:
        return g_setup.Log.Files.Region;
    case kDelDirs:
        return g_setup.Log.Files.Region + g_setup.Log.Files.BackwardStart;
    case kDelRegValues:
        return g_setup.Log.Registry.Region;
    default:
        return g_setup.Log.Registry.Region + g_setup.Log.Registry.BackwardStart;
    }
}

static void WriteText(LogWriter write, void* context, const char* text) {
    write(context, text, TextLength(text));
}

void EmitRemoveLog(const char* logPath, LogWriter write, void* context) {
    WriteText(write, context, "[Options]\r\n");
    char line[300];
    CopyTextFits(line, "UninstallApplication=", sizeof line);
    AppendTextFits(line, g_setup.ApplicationName, sizeof line);
    AppendTextFits(line, "\r\n", sizeof line);
    WriteText(write, context, line);
    WriteText(write, context, "\r\n");
    LogAppend(kDelFiles, logPath);
    static const char* const kHeaders[] = {"[DelFiles]\r\n", "[DelDirs]\r\n", "[DelRegValues]\r\n"};
    for (int32_t list = kDelFiles; list <= kDelRegValues; ++list) {
        const char* text = LogText(static_cast<LogList>(list));
        if (!*text)
            continue;
        WriteText(write, context, kHeaders[list]);
        WriteText(write, context, text);
        WriteText(write, context, "\r\n");
    }
    if (*LogText(kDelRegKeys)) {
        WriteText(write, context, "[DelRegKeys]\r\n");
        WriteText(write, context, LogText(kDelRegKeys));
    }
}
