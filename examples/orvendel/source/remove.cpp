// remove\remove.exe: a stand-in for Orvendel's uninstaller, which is not part of the installation
// kit. It points at the remove log that setup wrote beside it.
#include "demo_trace.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (TraceStartAndExit("remove"))
        return 0;
    char log[MAX_PATH];
    GetModuleFileNameA(nullptr, log, sizeof log - 12);
    char* slash = strrchr(log, '\\');
    if (slash)
        lstrcpyA(slash + 1, "remove.log");
    char text[MAX_PATH + 300];
    snprintf(text, sizeof text,
             "The uninstaller is not part of the installation kit's example.\n\n"
             "Setup recorded everything it installed in\n%s\n\n"
             "An uninstaller deletes the files, directories, shortcuts and registry values "
             "listed there.",
             log);
    MessageBoxA(nullptr, text, "Uninstall Orvendel", MB_OK | MB_ICONINFORMATION);
    return 0;
}
