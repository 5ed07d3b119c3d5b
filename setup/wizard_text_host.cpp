// The text conversions of the template writer for the native tests: the ANSI code page taken as
// Latin-1, which is all the tests' texts need.
#include "wizard_template.h"

int WidenAnsiText(const char* text, uint16_t* out, int capacity) {
    if (capacity < 1)
        return 0;
    int n = 0;
    while (text[n] && n + 1 < capacity) {
        out[n] = static_cast<unsigned char>(text[n]);
        ++n;
    }
    out[n] = 0;
    return n + 1;
}

int NarrowWideText(const uint16_t* text, char* out, int capacity) {
    if (capacity < 1)
        return 0;
    int n = 0;
    while (text[n] && n + 1 < capacity) {
        out[n] = text[n] < 256 ? static_cast<char>(text[n]) : '?';
        ++n;
    }
    out[n] = 0;
    return n + 1;
}
