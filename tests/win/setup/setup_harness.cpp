// Drives setup's engine without the wizard, for the Wine suites. One command per run:
//   install SETUPDIR DESTDIR [nogroup] [nodesktop] [nostartmenu] [common] [trace]
//       loads SETUPDIR\setup.inf as start-up does, takes DESTDIR as the accepted destination,
//       resolves %5..%7 as the program folder page does, builds the plan and runs the
//       installation; prints the result and the folders. With trace, also every progress-bar
//       message and path text the run sends to the copy dialog, in order.
//   link FILE...              path and description of each shell link
//   regget ROOT KEY NAME      a string value, or MISSING
//   regset ROOT KEY NAME DATA
//   regdel ROOT KEY           deletes a key with its sub-keys
//   dialog ID                 the controls of a dialog template of setup, as created
//   template ID               the fields of a dialog template of setup, as stored
//   texts                     LoadText's placement of texts in its scratch area
//   startup                   the directories start-up fills
//   helpers                   CenterWindow and FillAppName on real windows
//   confirm                   ConfirmExit with each owner, answered by a watcher thread
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <stdio.h>
#include <string.h>

#include <initializer_list>

#include "path_variables.h"
#include "plan.h"
#include "setup_win32.h"

// Sees what the run sends to the copy dialog's controls (SendMessage on the same thread).
static LRESULT CALLBACK TraceCopyDialog(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION) {
        int id = GetDlgCtrlID(call->hwnd);
        if (call->message == PBM_SETRANGE || call->message == PBM_SETPOS)
            printf("BAR:%s|%lu|%08lX\n", call->message == PBM_SETPOS ? "pos" : "range",
                   static_cast<unsigned long>(call->wParam),
                   static_cast<unsigned long>(call->lParam));
        else if (call->message == WM_SETTEXT && (id == 1024 || id == 1025))
            printf("PATH:%d|%s\n", id, reinterpret_cast<const char*>(call->lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static int Install(int argc, char** argv) {
    if (argc < 4)
        return 2;
    g_setup.Instance = GetModuleHandleA(nullptr);
    SetInitialState();
    FillFixedDirectories();
    lstrcpynA(g_setup.SetupDir, argv[2], kPathCapacity);
    if (!LoadSetupScript()) {
        printf("LOAD:0\n");
        return 1;
    }
    printf("NAME:%s\nNAMEVER:%s\nDEFAULTDIR:%s\nREMOVELOG:%s\n", g_setup.ApplicationName,
           g_setup.ApplicationNameVer, g_setup.DestDir, g_setup.RemoveLogPath);
    lstrcpynA(g_setup.DestDir, argv[3], kPathCapacity);
    for (int i = 4; i < argc; ++i) {
        if (!strcmp(argv[i], "nogroup"))
            g_setup.Options.ProgramGroup = 0;
        else if (!strcmp(argv[i], "nodesktop"))
            g_setup.Options.DesktopShortcut = 0;
        else if (!strcmp(argv[i], "nostartmenu"))
            g_setup.Options.StartMenuShortcut = 0;
        else if (!strcmp(argv[i], "common"))
            g_setup.Options.CommonFolders = 1;
        else if (!strcmp(argv[i], "trace"))
            SetWindowsHookExA(WH_CALLWNDPROC, TraceCopyDialog, nullptr, GetCurrentThreadId());
    }
    int common = g_setup.Options.CommonFolders;
    ResolveSpecialFolder(common ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY,
                         g_setup.DesktopDir);
    ResolveSpecialFolder(common ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU, g_setup.StartMenuDir);
    ResolveSpecialFolder(common ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, g_setup.ProgramsDir);
    BuildCopyPlan();
    printf("COPYCOUNT:%ld\nSPACE:%lu\n", static_cast<long>(g_setup.CopyCount),
           static_cast<unsigned long>(g_setup.SpaceRequired));
    printf("DESKTOP:%s\nSTARTMENU:%s\nPROGRAMS:%s\n", g_setup.DesktopDir, g_setup.StartMenuDir,
           g_setup.ProgramsDir);
    fflush(stdout);
    int result = RunInstallation();
    printf("RESULT:%d\nPROGRESS:%p\n", result, g_setup.ProgressDialog);
    return 0;
}

static int Link(const char* file) {
    CoInitialize(nullptr);
    printf("FILE:%s\n", file);
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH);
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) ||
        FAILED(persist->Load(wide, STGM_READ))) {
        printf("LINK:FAILED\n");
        return 1;
    }
    char path[MAX_PATH] = "", description[MAX_PATH] = "", workdir[MAX_PATH] = "",
         arguments[MAX_PATH] = "";
    link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetDescription(description, MAX_PATH);
    link->GetWorkingDirectory(workdir, MAX_PATH);
    link->GetArguments(arguments, MAX_PATH);
    printf("PATH:%s\nDESCRIPTION:%s\nWORKDIR:%s\nARGUMENTS:%s\n", path, description, workdir,
           arguments);
    persist->Release();
    link->Release();
    return 0;
}

static HKEY Root(const char* name) {
    return RootKeyFromName(name);
}

static int RegGet(char** argv) {
    char data[1024];
    DWORD size = sizeof data, type = 0;
    HKEY key;
    if (RegOpenKeyExA(Root(argv[2]), argv[3], 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        printf("MISSING\n");
        return 0;
    }
    if (RegQueryValueExA(key, argv[4], nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS)
        printf("MISSING\n");
    else
        printf("TYPE:%lu\nSIZE:%lu\nVALUE:%s\n", type, size, data);
    RegCloseKey(key);
    return 0;
}

static int RegSet(char** argv) {
    HKEY key;
    if (RegCreateKeyA(Root(argv[2]), argv[3], &key) != ERROR_SUCCESS)
        return 1;
    LONG r = RegSetValueExA(key, argv[4], 0, REG_SZ, reinterpret_cast<const BYTE*>(argv[5]),
                            lstrlenA(argv[5]) + 1);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? 0 : 1;
}

static int RegDel(char** argv) {
    SHDeleteKeyA(Root(argv[2]), argv[3]);
    return 0;
}

static BOOL CALLBACK PrintControl(HWND control, LPARAM parent) {
    char className[64], text[512];
    GetClassNameA(control, className, sizeof className);
    GetWindowTextA(control, text, sizeof text);
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(parent), reinterpret_cast<POINT*>(&r), 2);
    printf("CONTROL:%d|%s|%08lX|%ld,%ld,%ld,%ld|%s\n", GetDlgCtrlID(control), className,
           static_cast<unsigned long>(GetWindowLongA(control, GWL_STYLE)), r.left, r.top,
           r.right - r.left, r.bottom - r.top, text);
    return TRUE;
}

static INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

static int Dialog(int id) {
    g_setup.Instance = GetModuleHandleA(nullptr);
    InitCommonControls();
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                     QuietDialog, 0);
    if (!dialog) {
        printf("DIALOG:FAILED %lu\n", GetLastError());
        return 1;
    }
    char caption[256];
    GetWindowTextA(dialog, caption, sizeof caption);
    RECT client;
    GetClientRect(dialog, &client);
    // Dialog units of the template, for comparing sizes: 4 horizontal and 8 vertical units per
    // average character of the dialog's font.
    RECT units = {0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    printf("DIALOG:%s|%08lX|%ld,%ld|%ld,%ld\n", caption,
           static_cast<unsigned long>(GetWindowLongA(dialog, GWL_STYLE)), client.right,
           client.bottom, units.right, units.bottom);
    EnumChildWindows(dialog, PrintControl, reinterpret_cast<LPARAM>(dialog));
    DestroyWindow(dialog);
    return 0;
}

// Reads a UTF-16 string or ordinal of a template, printing it as ANSI; returns the next word.
static const WORD* PrintTemplateString(const WORD* p) {
    if (*p == 0xFFFF) {
        printf("#%u", p[1]);
        return p + 2;
    }
    char text[512];
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(p), -1, text, sizeof text,
                        nullptr, nullptr);
    printf("%s", text);
    while (*p)
        ++p;
    return p + 1;
}

static int Template(int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!resource) {
        printf("TEMPLATE:MISSING\n");
        return 1;
    }
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    const DLGTEMPLATE* header = reinterpret_cast<const DLGTEMPLATE*>(base);
    printf("HEADER:%08lX|%08lX|%u|%d,%d,%d,%d|", static_cast<unsigned long>(header->style),
           static_cast<unsigned long>(header->dwExtendedStyle), header->cdit, header->x, header->y,
           header->cx, header->cy);
    const WORD* p = reinterpret_cast<const WORD*>(base + 18);
    p = PrintTemplateString(p); // menu
    printf("|");
    p = PrintTemplateString(p); // class
    printf("|");
    p = PrintTemplateString(p); // caption
    if (header->style & DS_SETFONT) {
        printf("|%u|", *p++);
        p = PrintTemplateString(p);
    }
    printf("\n");
    for (int i = 0; i < header->cdit; ++i) {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR(3));
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        printf("ITEM:%d|%08lX|%08lX|%d,%d,%d,%d|", static_cast<short>(item->id),
               static_cast<unsigned long>(item->style),
               static_cast<unsigned long>(item->dwExtendedStyle), item->x, item->y, item->cx,
               item->cy);
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + 18);
        p = PrintTemplateString(p); // class
        printf("|");
        p = PrintTemplateString(p); // title
        printf("\n");
        p += 1 + (*p ? *p / 2 : 0); // creation data
    }
    return 0;
}

static int Texts() {
    g_setup.Instance = GetModuleHandleA(nullptr);
    SetInitialState();
    // Offsets of texts in the scratch area; a missing id gives the constant text.
    const int ids[] = {1039, 1039, 1024, 9999, 1025};
    for (int round = 0; round < 40; ++round) {
        for (int id : ids) {
            const char* text = LoadText(id);
            long offset = (text >= g_setup.TextScratch &&
                           text < g_setup.TextScratch + sizeof g_setup.TextScratch)
                              ? static_cast<long>(text - g_setup.TextScratch)
                              : -1;
            printf("TEXT:%d|%ld|%s\n", id, offset, text);
        }
    }
    return 0;
}

static int Startup() {
    g_setup.Instance = GetModuleHandleA(nullptr);
    SetInitialState();
    FillFixedDirectories();
    printf("SETUPDIR:%s\nWINDOWSDIR:%s\nSYSTEMDIR:%s\nPROGRAMFILESDIR:%s\n", g_setup.SetupDir,
           g_setup.WindowsDir, g_setup.SystemDir, g_setup.ProgramFilesDir);
    return 0;
}

static LRESULT CALLBACK PlainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

static HWND MakeWindow(int x, int y, int cx, int cy) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "SetupHarnessWindow";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "SetupHarnessWindow", "Harness", WS_POPUP, x, y, cx, cy, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

static void PrintPlace(const char* what, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    printf("%s:%ld,%ld,%ld,%ld\n", what, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

static int Helpers() {
    g_setup.Instance = GetModuleHandleA(nullptr);
    SetInitialState();
    lstrcpyA(g_setup.ApplicationName, "Orvendel");
    printf("SCREEN:%d,%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    HWND small = MakeWindow(5, 5, 101, 51);
    HWND large = MakeWindow(0, 0, 3001, 2001);
    CenterWindow(small);
    PrintPlace("SMALL_ON_SCREEN", small);
    CenterWindow(large);
    PrintPlace("LARGE_ON_SCREEN", large);
    HWND main = MakeWindow(100, 50, 400, 300);
    g_setup.MainWindow = main;
    CenterWindow(small);
    PrintPlace("SMALL_ON_MAIN", small);
    CenterWindow(large);
    PrintPlace("LARGE_ON_MAIN", large);

    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(108), nullptr,
                                     QuietDialog, 0);
    char text[1024];
    FillAppName(dialog, 1008);
    GetDlgItemTextA(dialog, 1008, text, sizeof text);
    printf("FILLED:%s\n", text);
    SetDlgItemTextA(dialog, 1009, "100%% of %s");
    FillAppName(dialog, 1009);
    GetDlgItemTextA(dialog, 1009, text, sizeof text);
    printf("PERCENT:%s\n", text);
    DestroyWindow(dialog);
    return 0;
}

// Answers the exit confirmation from a second thread: records what it finds, then presses the
// given control (or sends the given command).
struct Answer {
    DWORD uiThread;
    WPARAM command;
    char report[2048];
};

static BOOL CALLBACK FindExitDialog(HWND window, LPARAM found) {
    char caption[64];
    GetWindowTextA(window, caption, sizeof caption);
    if (IsWindowVisible(window) && !lstrcmpA(caption, "Exit Setup")) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

static DWORD WINAPI AnswerExitDialog(void* parameter) {
    Answer* answer = static_cast<Answer*>(parameter);
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !dialog; ++i) {
        Sleep(10);
        EnumThreadWindows(answer->uiThread, FindExitDialog, reinterpret_cast<LPARAM>(&dialog));
    }
    if (!dialog) {
        lstrcpyA(answer->report, "NODIALOG");
        return 0;
    }
    char first[512], second[512];
    GetDlgItemTextA(dialog, 1008, first, sizeof first);
    GetDlgItemTextA(dialog, 1009, second, sizeof second);
    LRESULT defId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    wsprintfA(answer->report, "OWNER=%p MAINENABLED=%d DEFID=%d TEXT1=%s TEXT2=%s",
              GetWindow(dialog, GW_OWNER), IsWindowEnabled(AsWindow(g_setup.MainWindow)) ? 1 : 0,
              HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : -1, first, second);
    PostMessageA(dialog, WM_COMMAND, answer->command, 0);
    return 0;
}

static int AskExit(WPARAM command, const char* what) {
    Answer answer = {GetCurrentThreadId(), command, ""};
    HANDLE thread = CreateThread(nullptr, 0, AnswerExitDialog, &answer, 0, nullptr);
    int result = ConfirmExit();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    printf("CONFIRM:%s|%d|%s|MAINENABLEDAFTER=%d\n", what, result, answer.report,
           IsWindowEnabled(AsWindow(g_setup.MainWindow)) ? 1 : 0);
    return result;
}

static int Confirm() {
    g_setup.Instance = GetModuleHandleA(nullptr);
    SetInitialState();
    lstrcpyA(g_setup.ApplicationName, "Orvendel");
    HWND main = MakeWindow(0, 0, 640, 480);
    ShowWindow(main, SW_SHOW);
    g_setup.MainWindow = main;
    printf("MAIN:%p\n", main);
    AskExit(IDOK, "main-exit");
    AskExit(IDCANCEL, "main-escape");
    AskExit(2, "main-resume");

    HWND wizard =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(108), main, QuietDialog, 0);
    SetWindowTextA(wizard, "Wizard stand-in");
    g_setup.WizardWindow = wizard;
    printf("WIZARD:%p\n", wizard);
    AskExit(1, "wizard-exit");

    InitCommonControls();
    HWND progress = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(107), main,
                                       CopyProgressDialogProc, 0);
    ShowWindow(progress, SW_SHOW);
    g_setup.ProgressDialog = progress;
    printf("PROGRESS:%p\n", progress);
    AskExit(2, "progress-resume");

    // A close request to the copy dialog asks, and posts CMD_CLOSE_WIZARD only on Exit Setup.
    MSG message;
    while (PeekMessageA(&message, main, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        ;
    for (WPARAM command : {WPARAM(2), WPARAM(1)}) {
        Answer answer = {GetCurrentThreadId(), command, ""};
        HANDLE thread = CreateThread(nullptr, 0, AnswerExitDialog, &answer, 0, nullptr);
        SendMessageA(progress, WM_COMMAND, IDCANCEL, 0);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        int posted = 0;
        while (PeekMessageA(&message, main, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            posted = static_cast<int>(message.wParam);
        printf("CANCEL:%d|%d|%s\n", static_cast<int>(command), posted, answer.report);
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const char* command = argv[1];
    int result = 2;
    if (!strcmp(command, "install"))
        result = Install(argc, argv);
    else if (!strcmp(command, "link")) {
        result = 0;
        for (int i = 2; i < argc; ++i)
            result |= Link(argv[i]);
    } else if (!strcmp(command, "regget") && argc == 5)
        result = RegGet(argv);
    else if (!strcmp(command, "regset") && argc == 6)
        result = RegSet(argv);
    else if (!strcmp(command, "regdel") && argc == 4)
        result = RegDel(argv);
    else if (!strcmp(command, "dialog") && argc == 3)
        result = Dialog(atoi(argv[2]));
    else if (!strcmp(command, "template") && argc == 3)
        result = Template(atoi(argv[2]));
    else if (!strcmp(command, "texts"))
        result = Texts();
    else if (!strcmp(command, "helpers"))
        result = Helpers();
    else if (!strcmp(command, "confirm"))
        result = Confirm();
    else if (!strcmp(command, "startup"))
        result = Startup();
    fflush(stdout);
    return result;
}
