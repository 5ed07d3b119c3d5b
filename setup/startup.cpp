// Start-up of setup: the fixed directories, the script and the licence, the main window and the
// message loop; and LoadText, the string-table loader all of setup uses.
#include "setup_win32.h"

#include "resource.h"
#include "script.h"
#include "path_variables.h"
#include "text.h"

const char kSetupCaption[] = "Setup";
static const char kMainWindowClass[] = "TervoInstallMW";

void FillFixedDirectories() {
    // A module path that fills the buffer was cut by the system; it names no directory of ours.
    DWORD length = GetModuleFileNameA(nullptr, g_setup.SetupDir, kPathCapacity);
    if (length == 0 || length >= kPathCapacity)
        g_setup.SetupDir[0] = 0;
    char* lastSlash = nullptr;
    for (char* p = g_setup.SetupDir; *p; ++p)
        if (*p == '\\')
            lastSlash = p;
    // Without a directory in the module path, the package's files are looked for in the current
    // directory.
    if (lastSlash)
        *lastSlash = 0;
    else
        CopyTextFits(g_setup.SetupDir, ".", kPathCapacity);

    GetWindowsDirectoryA(g_setup.WindowsDir, kPathCapacity);
    GetSystemDirectoryA(g_setup.SystemDir, kPathCapacity);

    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0,
                  KEY_QUERY_VALUE, &key);
    DWORD type = REG_SZ;
    DWORD size = kPathCapacity - 1;
    LONG result = RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type,
                                   reinterpret_cast<BYTE*>(g_setup.ProgramFilesDir), &size);
    // A value that does not fit (or is missing) leaves %4 empty rather than holding a cut path.
    if (result == ERROR_SUCCESS && size < kPathCapacity)
        g_setup.ProgramFilesDir[size] = 0;
    else
        g_setup.ProgramFilesDir[0] = 0;
    if (key)
        RegCloseKey(key);
}

const char* LoadText(int id) {
    uint32_t remaining = kTextScratchSize - g_setup.TextCursor;
    if (remaining < 200) {
        g_setup.TextCursor = 0;
        remaining = kTextScratchSize;
    }
    char* text = g_setup.TextScratch + g_setup.TextCursor;
    SetLastError(0);
    int length = LoadStringA(AsInstance(g_setup.Instance), id, text, static_cast<int>(remaining));
    if (length == 0 && GetLastError() != 0)
        return "ERROR LOADING STRING";
    g_setup.TextCursor += static_cast<uint32_t>(length) + 1;
    return text;
}

int LoadSetupScript() {
    if (!CopyTextFits(g_setup.ScriptPath, g_setup.SetupDir, kPathCapacity) ||
        !AppendTextFits(g_setup.ScriptPath, "\\setup.inf", kPathCapacity))
        return 0;
    HANDLE file = CreateFileA(g_setup.ScriptPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD read = 0;
    BOOL ok = ReadFile(file, g_setup.ScriptText, kTextFileCapacity, &read, nullptr);
    CloseHandle(file);
    if (!ok)
        return 0;

    const char* script = g_setup.ScriptPath;
    GetPrivateProfileStringA("Private", "ApplicationName", "", g_setup.ApplicationName,
                             kPathCapacity, script);
    GetPrivateProfileStringA("Private", "ApplicationNameVer", g_setup.ApplicationName,
                             g_setup.ApplicationNameVer, kPathCapacity, script);
    GetPrivateProfileStringA("Private", "DefaultDirectory", "", g_setup.DestDir, kPathCapacity,
                             script);
    GetPrivateProfileStringA("Private", "SaveRemoveLog", "", g_setup.RemoveLogPath, kPathCapacity,
                             script);
    // A destination that does not fit after expansion is proposed empty, never cut.
    ExpandPathVariables(g_setup.DestDir);
    ReadDirsList();
    ScanShortcutKinds();
    return 1;
}

int ReadLicenseText() {
    char path[kPathCapacity];
    if (!CopyTextFits(path, g_setup.SetupDir, sizeof path) ||
        !AppendTextFits(path, "\\license.txt", sizeof path))
        return 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD read = 0;
    BOOL ok = ReadFile(file, g_setup.LicenseText, kTextFileCapacity, &read, nullptr);
    CloseHandle(file);
    return ok ? 1 : 0;
}

ATOM RegisterMainWindowClass() {
    WNDCLASSA windowClass;
    FillBytes(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = AsInstance(g_setup.Instance);
    windowClass.hIcon = LoadIconA(AsInstance(g_setup.Instance), MAKEINTRESOURCEA(IDI_SETUP));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass);
}

int CreateMainWindow() {
    HWND window = CreateWindowExA(0, kMainWindowClass, kSetupCaption, 0x80CF0000, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, AsInstance(g_setup.Instance), nullptr);
    if (!window)
        return 0;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    g_setup.MainWindow = window;
    return 1;
}

// Message 1024 names the script's full path. It is formatted into a buffer that holds the text
// with the longest path the system can give, and the path is built here so that it is shown
// whole even where it does not fit ScriptPath.
static void ShowScriptError() {
    char path[2 * kPathCapacity];
    CopyTextFits(path, g_setup.SetupDir, sizeof path);
    AppendTextFits(path, "\\setup.inf", sizeof path);
    char message[1024]; // wsprintfA never writes more than 1024 bytes
    wsprintfA(message, LoadText(IDS_ERROR_ACCESSING_FILE), path);
    MessageBoxA(nullptr, message, kSetupCaption, MB_ICONWARNING);
}

int WINAPI SetupMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_setup.Instance = instance;
    SetInitialState();
    FillFixedDirectories();
    if (!RegisterMainWindowClass())
        return 0;
    if (!LoadSetupScript()) {
        ShowScriptError();
        return 0;
    }
    if (!ReadLicenseText()) {
        MessageBoxA(AsWindow(g_setup.MainWindow), LoadText(IDS_ERROR_ACCESSING_LICENSE),
                    kSetupCaption, MB_ICONWARNING);
        return 0;
    }
    if (!CreateMainWindow())
        return 0;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (g_setup.WizardWindow && IsDialogMessageA(AsWindow(g_setup.WizardWindow), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
