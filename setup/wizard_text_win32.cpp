// The template writer's text conversions, in the ANSI code page as the dialog manager reads it.
#include <windows.h>

#include "wizard_template.h"

int WidenAnsiText(const char* text, uint16_t* out, int capacity) {
    if (capacity < 1)
        return 0;
    // Converted whole, then cut: the system refuses a text that does not fit instead of cutting it.
    WCHAR wide[1024];
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 1024);
    if (units < 1)
        units = 1;
    if (units > capacity)
        units = capacity;
    wide[units - 1] = 0;
    for (int i = 0; i < units; ++i)
        out[i] = wide[i];
    return units;
}

int NarrowWideText(const uint16_t* text, char* out, int capacity) {
    if (capacity < 1)
        return 0;
    char narrow[1024];
    int bytes = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(text), -1, narrow,
                                    sizeof narrow, nullptr, nullptr);
    if (bytes < 1)
        bytes = 1;
    if (bytes > capacity)
        bytes = capacity;
    narrow[bytes - 1] = 0;
    for (int i = 0; i < bytes; ++i)
        out[i] = narrow[i];
    return bytes;
}
