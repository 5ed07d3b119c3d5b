#include "text.h"

uint32_t TextLength(const char* text) {
    uint32_t n = 0;
    while (text[n])
        ++n;
    return n;
}

int CopyTextFits(char* buffer, const char* text, uint32_t capacity) {
    if (capacity == 0)
        return 0;
    buffer[0] = 0;
    return AppendTextFits(buffer, text, capacity);
}

int AppendTextFits(char* buffer, const char* text, uint32_t capacity) {
    uint32_t used = TextLength(buffer);
    uint32_t length = TextLength(text);
    if (used >= capacity || length >= capacity - used)
        return 0;
    for (uint32_t i = 0; i <= length; ++i)
        buffer[used + i] = text[i];
    return 1;
}

void FillBytes(void* buffer, unsigned char value, uint32_t count) {
    unsigned char* p = static_cast<unsigned char*>(buffer);
    while (count--)
        *p++ = value;
}
