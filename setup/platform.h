// The seam between setup's portable code and the system: implemented by Win32 in the program
// (platform_win32.cpp) and by plain C++ for the native tests (platform_host.cpp).
#pragma once

// Compares two texts without regard to case, as the system compares names; 0 when they are equal.
int CompareTextNoCase(const char* a, const char* b);
