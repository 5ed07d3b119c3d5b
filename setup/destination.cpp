// The Destination page: proposes the destination, lets the user type or browse for another, and
// on Next checks that it exists (or may be created), that its disk can be measured and that the
// disk has room for the plan. It is the only page that ever refuses to be left.
#include "wizard_win32.h"

#include <shlobj.h>

#include "resource.h"
#include "text.h"
#include "wizard_rules.h"

enum {
    kDestinationText = 1010,
    kDestinationEdit = 1012,
    kBrowseButton = 1003,
};

static int PageMessage(HWND page, const char* text, UINT type) {
    return MessageBoxA(page, text, kSetupCaption, type);
}

// Whether the text names an existing directory: it can be made the current directory. The
// process's own current directory is put back at once.
static bool DirectoryExists(const char* dir) {
    char saved[kPathCapacity];
    saved[0] = 0;
    GetCurrentDirectoryA(sizeof saved, saved);
    BOOL exists = SetCurrentDirectoryA(dir);
    SetCurrentDirectoryA(saved);
    return exists != FALSE;
}

// Next: question, storage, measurement. Returns the page's answer (1 refuses).
static LONG CheckDestination(HWND page) {
    char dir[kPathCapacity];
    dir[0] = 0;
    SendDlgItemMessageA(page, kDestinationEdit, WM_GETTEXT, kPathCapacity,
                        reinterpret_cast<LPARAM>(dir));
    TrimDestination(dir);
    char message[1024]; // wsprintfA never writes more than 1024 bytes

    if (lstrcmpA(dir, g_setup.CheckedDestination) != 0 && !DirectoryExists(dir)) {
        // Nothing is created now: the installation run makes the directory.
        wsprintfA(message, LoadText(IDS_CREATE_DIRECTORY), dir);
        if (PageMessage(page, message, MB_YESNO | MB_ICONQUESTION) == IDNO)
            return 1;
    }
    CopyTextFits(g_setup.DestDir, dir, kPathCapacity);
    CopyTextFits(g_setup.CheckedDestination, dir, kPathCapacity);

    char root[kPathCapacity];
    VolumeRootOf(root, sizeof root, dir);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    // An empty root would measure the current directory's disk, not the destination's.
    if (!root[0] || !GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                       &totalClusters)) {
        wsprintfA(message, LoadText(IDS_INVALID_DESTINATION), dir);
        PageMessage(page, message, MB_ICONWARNING);
        return 1;
    }
    // Carried in 64 bits: a volume with 4 GiB or more free must not wrap round to "too small".
    uint64_t freeBytes = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector * freeClusters;
    if (freeBytes < g_setup.SpaceRequired) {
        // Both numbers are below 4 GiB here; printed unsigned, they are the true ones.
        char format[1024];
        UnsignedNumberFormat(format, sizeof format, LoadText(IDS_NOT_ENOUGH_SPACE));
        wsprintfA(message, format, root, g_setup.SpaceRequired, static_cast<DWORD>(freeBytes));
        PageMessage(page, message, MB_ICONINFORMATION);
        return 1;
    }
    return 0;
}

static void OnBrowse(HWND page) {
    char dir[kPathCapacity];
    dir[0] = 0;
    SendDlgItemMessageA(page, kDestinationEdit, WM_GETTEXT, kPathCapacity,
                        reinterpret_cast<LPARAM>(dir));
    const char* title = LoadText(IDS_CHOOSE_DIRECTORY);
    char initial[kPathCapacity];
    CopyTextFits(initial, dir, sizeof initial);
    if (BrowseForFolder(page, title, title, dir, 0, initial) == 1)
        SendDlgItemMessageA(page, kDestinationEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dir));
}

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        FillAppName(page, kDestinationText);
        SetDlgItemTextA(page, kDestinationEdit, g_setup.DestDir);
        return FALSE;
    }
    if (message == WM_COMMAND && wParam == kBrowseButton) {
        OnBrowse(page);
        return FALSE;
    }
    switch (PageNotification(message, lParam)) {
    case kPageSetActive:
        SendDlgItemMessageA(page, kDestinationEdit, EM_SETSEL, 0, -1);
        StyleNextAsDefault();
        SetFocus(GetDlgItem(page, kDestinationEdit));
        return FALSE;
    case kPageKillActive:
        // Back validates and stores nothing; an edited text waits in the box for the next visit.
        AnswerKillActive(page, wParam == kLeaveNext ? CheckDestination(page) : 0);
        return TRUE;
    default:
        return FALSE;
    }
}

struct BrowsePair {
    const char* caption;
    const char* initial;
};

int CALLBACK BrowseCallback(HWND window, UINT event, LPARAM value, LPARAM data) {
    const BrowsePair* pair = reinterpret_cast<const BrowsePair*>(data);
    if (event == BFFM_INITIALIZED) {
        CenterWindow(window);
        SetWindowTextA(window, pair->caption);
        if (pair->initial) {
            char selection[kPathCapacity];
            CopyTextFits(selection, pair->initial, sizeof selection);
            SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(selection));
        }
    } else if (event == BFFM_SELCHANGED && value) {
        // OK only for a selection that is a directory on a disk.
        char path[kPathCapacity];
        BOOL isPath = SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(value), path);
        SendMessageA(window, BFFM_ENABLEOK, 0, isPath);
    }
    return 0;
}

int BrowseForFolder(HWND owner, const char* caption, const char* prompt, char* result,
                    int networkRoot, const char* initial) {
    LPITEMIDLIST root = nullptr;
    if (networkRoot)
        SHGetSpecialFolderLocation(owner, CSIDL_NETWORK, &root);
    char displayName[kPathCapacity];
    BrowsePair pair = {caption, initial};
    BROWSEINFOA info;
    FillBytes(&info, 0, sizeof info);
    info.hwndOwner = owner;
    info.pidlRoot = root;
    info.pszDisplayName = displayName;
    info.lpszTitle = prompt;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&pair);
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    int picked = 0;
    if (chosen) {
        // The result buffer is only written when the shell gives a whole path.
        char path[kPathCapacity];
        if (SHGetPathFromIDListA(chosen, path)) {
            CopyTextFits(result, path, kPathCapacity);
            picked = 1;
        }
    }
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(CoGetMalloc(MEMCTX_TASK, &allocator)) && allocator) {
        if (root && allocator->DidAlloc(root) == 1)
            allocator->Free(root);
        if (chosen && allocator->DidAlloc(chosen) == 1)
            allocator->Free(chosen);
        allocator->Release();
    }
    return picked;
}
