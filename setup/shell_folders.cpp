// The shell folders behind %5, %6 and %7.
#include "setup_win32.h"

#include <shlobj.h>

int ResolveSpecialFolder(int csidl, char* folder) {
    // A folder the shell cannot supply leaves the variable empty.
    folder[0] = 0;
    LPITEMIDLIST list = nullptr;
    SHGetSpecialFolderLocation(AsWindow(g_setup.MainWindow), csidl, &list);
    if (list)
        SHGetPathFromIDListA(list, folder);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(CoGetMalloc(MEMCTX_TASK, &allocator)) && allocator) {
        if (list && allocator->DidAlloc(list) == 1)
            allocator->Free(list);
        allocator->Release();
    }
    return 1;
}
