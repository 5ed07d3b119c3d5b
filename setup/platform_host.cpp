#include "platform.h"

static unsigned char FoldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int CompareTextNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = FoldCase(static_cast<unsigned char>(*a));
        unsigned char y = FoldCase(static_cast<unsigned char>(*b));
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
    }
}
