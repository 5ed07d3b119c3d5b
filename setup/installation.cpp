// The installation run: directories, file copies under the progress dialog, shortcuts, registry
// keys and values, and the remove log.
#include "setup_win32.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "path_variables.h"
#include "plan.h"
#include "remove_log.h"
#include "resource.h"
#include "script.h"
#include "text.h"

// The shell's link object and the two interfaces used on it, spelt out here so that no GUID
// library is linked.
static const GUID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const GUID kIidShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const GUID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr UINT kCopyFlags = FOF_MULTIDESTFILES | FOF_SILENT | FOF_NOCONFIRMATION |
                            FOF_NOCONFIRMMKDIR; // 0x0215; the shell reports failures itself
static_assert(kCopyFlags == 0x0215, "copy flags");

// Copies a list entry into a path buffer and expands it. 0 when the text, before or after
// expansion, does not fit 259 characters: such a path is never acted on.
static int ExpandedPath(const char* entry, char* path) {
    return CopyTextFits(path, entry, kPathCapacity) && ExpandPathVariables(path);
}

HKEY RootKeyFromName(const char* name) {
    switch (RootFromName(name)) {
    case kRootLocalMachine:
        return HKEY_LOCAL_MACHINE;
    case kRootCurrentUser:
        return HKEY_CURRENT_USER;
    case kRootCurrentConfig:
        return HKEY_CURRENT_CONFIG;
    case kRootClassesRoot:
        return HKEY_CLASSES_ROOT;
    default:
        return nullptr;
    }
}

int MakeDirectories() {
    for (const char* line = g_setup.DirsList; *line; line = NextListLine(line)) {
        if (!ShortcutKindWanted(GetShortcutKind(line)))
            continue;
        char path[kPathCapacity];
        if (!ExpandedPath(line, path))
            continue;
        CreateDirectoryA(path, nullptr);
        LogPrepend(kDelDirs, path);
    }
    return 1;
}

HRESULT MakeShortcut(const char* target, const char* link, const char* description) {
    IShellLinkA* shellLink = nullptr;
    HRESULT result = CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      kIidShellLinkA, reinterpret_cast<void**>(&shellLink));
    if (FAILED(result))
        return result;
    IPersistFile* persistFile = nullptr;
    result = shellLink->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&persistFile));
    if (FAILED(result)) {
        shellLink->Release();
        return result;
    }
    shellLink->SetPath(target);
    shellLink->SetDescription(description);
    WCHAR widePath[kPathCapacity];
    widePath[0] = 0;
    MultiByteToWideChar(CP_ACP, 0, link, -1, widePath, kPathCapacity);
    result = persistFile->Save(widePath, TRUE);
    if (SUCCEEDED(result))
        LogAppend(kDelFiles, link);
    persistFile->Release();
    shellLink->Release();
    return result;
}

int MakeShortcuts() {
    if (!g_setup.HasDesktopShortcuts && !g_setup.HasStartMenuShortcuts &&
        !g_setup.HasGroupShortcuts)
        return 1;
    OleInitialize(nullptr);
    for (const char* line = g_setup.ShortcutsList; *line; line = NextListLine(line)) {
        if (!ShortcutKindWanted(GetShortcutKind(line)))
            continue;
        char target[kPathCapacity], link[kPathCapacity], description[kPathCapacity];
        const char* cursor = line;
        int fits = NextField(&cursor, target, sizeof target);
        fits &= NextField(&cursor, link, sizeof link);
        fits &= NextField(&cursor, description, sizeof description);
        if (!fits || !ExpandPathVariables(target) || !ExpandPathVariables(link))
            continue;
        MakeShortcut(target, link, description);
    }
    OleUninitialize();
    return 1;
}

int LogRegistryKeys() {
    ReadSection("AddRegistryKeys", g_setup.RegistryList, sizeof g_setup.RegistryList);
    for (const char* line = g_setup.RegistryList; *line; line = NextListLine(line))
        LogPrepend(kDelRegKeys, line);
    return 1;
}

int SetRegistryValues() {
    ReadSection("AddRegistryValues", g_setup.RegistryList, sizeof g_setup.RegistryList);
    for (const char* line = g_setup.RegistryList; *line; line = NextListLine(line)) {
        char root[kPathCapacity], key[kPathCapacity], name[kPathCapacity], type[12];
        char data[kPathCapacity];
        const char* cursor = line;
        int fits = NextField(&cursor, root, sizeof root);
        fits &= NextField(&cursor, key, sizeof key);
        fits &= NextField(&cursor, name, sizeof name);
        NextField(&cursor, type, sizeof type); // read and not used
        fits &= NextField(&cursor, data, sizeof data);
        // A line that does not fit its buffers is a value that cannot be set: cut, it would
        // write another key, name or text than the script says.
        if (!fits)
            return 0;
        HKEY handle = nullptr;
        if (RegCreateKeyA(RootKeyFromName(root), key, &handle) != ERROR_SUCCESS)
            return 0;
        if (!ExpandPathVariables(data) ||
            RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                           TextLength(data) + 1) != ERROR_SUCCESS) {
            RegCloseKey(handle);
            return 0;
        }
        char entry[1024];
        wsprintfA(entry, "%s,%s,%s", root, key, name);
        LogAppend(kDelRegValues, entry);
        RegCloseKey(handle);
    }
    return 1;
}

static void WriteToFile(void* context, const char* bytes, uint32_t count) {
    DWORD written;
    WriteFile(static_cast<HANDLE>(context), bytes, count, &written, nullptr);
}

int WriteRemoveLog() {
    // A path that does not fit after expansion names no file we could write whole.
    if (!ExpandPathVariables(g_setup.RemoveLogPath))
        return 0;
    if (!g_setup.RemoveLogPath[0])
        return 1;
    HANDLE file = CreateFileA(g_setup.RemoveLogPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    EmitRemoveLog(g_setup.RemoveLogPath, WriteToFile, file);
    CloseHandle(file);
    return 1;
}

INT_PTR CALLBACK CopyProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            return TRUE;
        if (LOWORD(wParam) == IDCANCEL) {
            if (ConfirmExit())
                PostMessageA(AsWindow(g_setup.MainWindow), WM_COMMAND, CMD_CLOSE_WIZARD, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

static void CloseProgressDialog() {
    DestroyWindow(AsWindow(g_setup.ProgressDialog));
    g_setup.ProgressDialog = nullptr;
    UpdateWindow(AsWindow(g_setup.MainWindow));
}

// One file of the plan: its paths shown, copied by the shell, recorded.
static int CopyOneFile(SHFILEOPSTRUCTA* operation, HWND dialog, int32_t index, const char* source,
                       const char* target) {
    // One more byte than a path for the second NUL that ends the shell's list of one name.
    char from[kPathCapacity + 1], to[kPathCapacity + 1];
    if (!ExpandedPath(source, from) || !ExpandedPath(target, to))
        return 0;
    from[TextLength(from) + 1] = 0;
    to[TextLength(to) + 1] = 0;
    SendDlgItemMessageA(dialog, IDC_COPY_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(index), 0);
    SetDlgItemTextA(dialog, IDC_COPY_SOURCE, from);
    SetDlgItemTextA(dialog, IDC_COPY_TARGET, to);
    UpdateWindow(dialog);
    operation->pFrom = from;
    operation->pTo = to;
    operation->fAnyOperationsAborted = FALSE;
    if (SHFileOperationA(operation) != 0 || operation->fAnyOperationsAborted)
        return 0;
    LogAppend(kDelFiles, to);
    return 1;
}

int RunInstallation() {
    ResetRemoveLog();
    MakeDirectories();

    InitCommonControls(); // the progress bar's class
    HWND dialog =
        CreateDialogParamA(AsInstance(g_setup.Instance), MAKEINTRESOURCEA(IDD_COPY_PROGRESS),
                           AsWindow(g_setup.MainWindow), CopyProgressDialogProc, 0);
    g_setup.ProgressDialog = dialog;
    SendDlgItemMessageA(dialog, IDC_COPY_PROGRESS, PBM_SETRANGE, 0,
                        MAKELPARAM(0, static_cast<WORD>(g_setup.CopyCount - 1)));
    SendDlgItemMessageA(dialog, IDC_COPY_PROGRESS, PBM_SETPOS, 0, 0);
    SetDlgItemTextA(dialog, IDC_COPY_SOURCE, "");
    SetDlgItemTextA(dialog, IDC_COPY_TARGET, "");
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);

    SHFILEOPSTRUCTA operation;
    FillBytes(&operation, 0, sizeof operation);
    operation.hwnd = AsWindow(g_setup.MainWindow);
    operation.wFunc = FO_COPY;
    operation.fFlags = kCopyFlags;
    const char* source = g_setup.CopySources;
    const char* target = g_setup.CopyTargets;
    for (int32_t i = 0; i < g_setup.CopyCount; ++i) {
        if (!CopyOneFile(&operation, dialog, i, source, target)) {
            CloseProgressDialog();
            return 0;
        }
        source = NextListLine(source);
        target = NextListLine(target);
        Sleep(40);
    }
    CloseProgressDialog();

    MakeShortcuts();
    LogRegistryKeys();
    SetRegistryValues();
    WriteRemoveLog();
    return 1;
}
