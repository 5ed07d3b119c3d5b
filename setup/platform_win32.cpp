#include <windows.h>

#include "platform.h"

int CompareTextNoCase(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}
