#include "wizard_rules.h"

static size_t TextLength(const char* s) {
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

void VolumeRootOf(char* result, size_t capacity, const char* dir) {
    result[0] = 0;
    if (capacity < 4)
        return;
    if (!(dir[0] == '\\' && dir[1] == '\\')) {
        if (dir[0] == 0)
            return;
        result[0] = dir[0];
        result[1] = ':';
        result[2] = '\\';
        result[3] = 0;
        return;
    }
    // A path into a share is measured at the share: \\server\share\ whatever follows it.
    size_t end = 2;
    while (dir[end] && dir[end] != '\\')
        ++end;
    if (dir[end] == '\\') {
        ++end;
        while (dir[end] && dir[end] != '\\')
            ++end;
    }
    if (end + 2 > capacity)
        return;
    for (size_t i = 0; i < end; ++i)
        result[i] = dir[i];
    result[end] = '\\';
    result[end + 1] = 0;
}

void TrimDestination(char* dir) {
    size_t n = TextLength(dir);
    while (n > 1 && dir[n - 1] == '\\') {
        if (n == 3 && dir[1] == ':') // "C:\" is the drive's root, not a directory name
            break;
        if (n == 2 && dir[0] == '\\') // "\\", the start of a network path
            break;
        dir[--n] = 0;
    }
}

void UnsignedNumberFormat(char* out, size_t capacity, const char* format) {
    if (capacity == 0)
        return;
    size_t o = 0;
    for (size_t i = 0; format[i] && o + 1 < capacity; ++i) {
        out[o++] = format[i];
        if (format[i] == '%' && format[i + 1] == '%' && o + 1 < capacity) {
            out[o++] = '%'; // a literal percent sign is no directive
            ++i;
        } else if (format[i] == '%' && format[i + 1] == 'l' && format[i + 2] == 'd' &&
                   o + 2 < capacity) {
            out[o++] = 'l';
            out[o++] = 'u';
            i += 2;
        }
    }
    out[o] = 0;
}

static bool HasSpace(const char* s) {
    for (; *s; ++s)
        if (*s == ' ')
            return true;
    return false;
}

static bool CopyQuoted(char* out, size_t capacity, const char* prefix, const char* text) {
    size_t p = TextLength(prefix);
    size_t n = TextLength(text);
    if (p + n + 3 > capacity)
        return false;
    size_t o = 0;
    for (size_t i = 0; i < p; ++i)
        out[o++] = prefix[i];
    out[o++] = '"';
    for (size_t i = 0; i < n; ++i)
        out[o++] = text[i];
    out[o++] = '"';
    out[o] = 0;
    return true;
}

bool QuoteProgramPath(char* out, size_t capacity, const char* command, bool isExistingFile) {
    if (isExistingFile && command[0] != '"' && HasSpace(command))
        return CopyQuoted(out, capacity, "", command);
    size_t n = TextLength(command);
    if (n + 1 > capacity)
        return false;
    for (size_t i = 0; i <= n; ++i)
        out[i] = command[i];
    return true;
}

bool FormatNotepadCommand(char* out, size_t capacity, const char* path) {
    return CopyQuoted(out, capacity, "notepad.exe ", path);
}

int BackdropBandCount(int clientHeight) {
    if (clientHeight / 8 <= 0)
        return 0;
    return (clientHeight + 7) / 8;
}

uint8_t BackdropBandBlue(int band, int clientHeight) {
    int n = clientHeight / 8;
    if (n <= 0)
        return 0;
    int blue = 255 - (255 * band) / n;
    return static_cast<uint8_t>(blue < 0 ? 0 : blue);
}
