// quillard.exe: the demonstration program of the example package. It only says that Orvendel has
// been installed and where it runs from.
#include "demo_trace.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (TraceStartAndExit("quillard"))
        return 0;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    char text[MAX_PATH + 200];
    snprintf(text, sizeof text,
             "Orvendel 1.6 beta 1 is installed and running.\n\n%s\n\n"
             "This is the example package's demonstration program.",
             self);
    MessageBoxA(nullptr, text, "Orvendel", MB_OK | MB_ICONINFORMATION);
    return 0;
}
