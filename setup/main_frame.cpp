// The full-screen main window: the backdrop, and setup's conductor. It starts the wizard, ends
// setup when the user leaves, runs the installation when the wizard hands over, shows the finish
// dialog and starts the read-me and the program. Every way out of setup ends here.
#include "wizard_win32.h"

#include "path_variables.h"
#include "plan.h"
#include "resource.h"
#include "text.h"
#include "wizard_rules.h"

enum {
    kFinishText = 1023,
    kFinishLaunchText = 1026,
    kReadmeBox = 1019,
    kRunBox = 1020,
};

// Ends setup: WM_DESTROY posts the quit message that ends the message loop. The window itself
// goes with the process.
static void EndSetup() {
    PostMessageA(AsWindow(g_setup.MainWindow), WM_DESTROY, 0, 0);
}

static void PaintBands(HDC dc, const RECT& client) {
    int height = client.bottom - client.top;
    int bands = BackdropBandCount(height);
    for (int k = 0; k < bands; ++k) {
        RECT band = {client.left, 8 * k, client.right, 8 * k + 8};
        LOGBRUSH solid = {BS_SOLID, RGB(0, 0, BackdropBandBlue(k, height)), 0};
        HBRUSH brush = CreateBrushIndirect(&solid);
        FillRect(dc, &band, brush);
        DeleteObject(brush);
    }
}

static void PaintTitle(HDC dc) {
    LOGFONTA logFont;
    FillBytes(&logFont, 0, sizeof logFont);
    logFont.lfHeight = -34;
    logFont.lfWeight = FW_BOLD;
    logFont.lfItalic = 1;
    logFont.lfCharSet = ANSI_CHARSET;
    logFont.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    CopyTextFits(logFont.lfFaceName, "Times New Roman", sizeof logFont.lfFaceName);
    HFONT font = CreateFontIndirectA(&logFont);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    // Holds "Installing " with the longest name the script can give (259 characters).
    char title[300];
    wsprintfA(title, LoadText(IDS_INSTALLING), g_setup.ApplicationNameVer);
    int length = static_cast<int>(TextLength(title));
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 20, 20, title, length);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 16, 16, title, length);
    SelectObject(dc, previous);
    DeleteObject(font);
}

static void PaintBackdrop(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    PaintBands(dc, client);
    PaintTitle(dc);
}

// CreateProcessA with setup's own environment. The programs run in the destination directory, not
// in setup's current directory: that is the package's temporary directory, which the package
// removes as soon as setup ends and could not while a program still stood in it. The command
// buffer must be writable; the process runs on by itself.
static void StartProgram(char* command) {
    STARTUPINFOA startup;
    FillBytes(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (CreateProcessA(nullptr, command, nullptr, nullptr, TRUE,
                       CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr,
                       g_setup.DestDir[0] ? g_setup.DestDir : nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

static void StartFinishPrograms() {
    // Room for a whole path in quotes: a launch is either whole or not made.
    char command[kPathCapacity + 16];
    if (g_setup.Options.RunAfterSetup == 1) {
        // An existing program path with spaces goes in quotes, so that the system never tries
        // the shorter names before the first space ("C:\Program.exe").
        DWORD attributes = GetFileAttributesA(g_setup.RunProgramCommand);
        bool isFile =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (QuoteProgramPath(command, sizeof command, g_setup.RunProgramCommand, isFile))
            StartProgram(command);
    }
    if (g_setup.Options.ViewReadmeAfterSetup == 1 &&
        FormatNotepadCommand(command, sizeof command, g_setup.ViewReadmePath))
        StartProgram(command);
}

static void OnInstall() {
    DestroyWindow(AsWindow(g_setup.WizardWindow));
    g_setup.WizardWindow = nullptr;
    UpdateWindow(AsWindow(g_setup.MainWindow));
    if (!RunInstallation()) {
        char message[1024];
        wsprintfA(message, LoadText(IDS_NOT_INSTALLED), g_setup.ApplicationName);
        MessageBoxA(AsWindow(g_setup.MainWindow), message, kSetupCaption, MB_ICONWARNING);
        EndSetup();
        return;
    }
    ShowFinishDialog();
    StartFinishPrograms();
    EndSetup();
}

static void OnStartWizard() {
    BuildCopyPlan();
    if (BuildWizard())
        return;
    MessageBoxA(AsWindow(g_setup.MainWindow), LoadText(IDS_WIZARD_FAILED), kSetupCaption,
                MB_ICONWARNING);
    EndSetup();
}

static void OnCloseWizard() {
    // Once the wizard is gone (during or after the installation run) there is nothing to leave.
    if (!g_setup.WizardWindow)
        return;
    DestroyWindow(AsWindow(g_setup.WizardWindow));
    g_setup.WizardWindow = nullptr;
    EndSetup();
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        PostMessageA(window, WM_COMMAND, CMD_START_WIZARD, 0);
        return 0;
    case WM_ERASEBKGND:
        PaintBackdrop(window, reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_CLOSE:
        if (ConfirmExit())
            PostMessageA(AsWindow(g_setup.MainWindow), WM_COMMAND, CMD_CLOSE_WIZARD, 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case CMD_START_WIZARD:
            OnStartWizard();
            return 0;
        case CMD_CLOSE_WIZARD:
            OnCloseWizard();
            return 0;
        case CMD_INSTALL:
            OnInstall();
            return 0;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ShowFinishDialog() {
    HWND main = AsWindow(g_setup.MainWindow);
    EnableWindow(main, FALSE);
    DialogBoxParamA(AsInstance(g_setup.Instance), MAKEINTRESOURCEA(IDD_FINISH), main,
                    FinishDialogProc, 0);
    EnableWindow(main, TRUE);
}

static void ReadFinishValue(const char* key, char* value) {
    GetPrivateProfileStringA("Private", key, "", value, kPathCapacity, g_setup.ScriptPath);
    // Expanded now, so that %1 is the destination the user accepted. A text that does not fit
    // comes back empty and its choice is not offered.
    ExpandPathVariables(value);
}

static void InitFinishDialog(HWND dialog) {
    CenterWindow(dialog);
    ReadFinishValue("ViewReadme", g_setup.ViewReadmePath);
    ReadFinishValue("RunProgram", g_setup.RunProgramCommand);
    bool readme = g_setup.ViewReadmePath[0] != 0;
    bool run = g_setup.RunProgramCommand[0] != 0;
    ShowWindow(GetDlgItem(dialog, kReadmeBox), readme ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dialog, kRunBox), run ? SW_SHOW : SW_HIDE);
    FillAppName(dialog, kFinishText);
    FillAppName(dialog, kFinishLaunchText);
    if (readme) {
        if (g_setup.Options.ViewReadmeAfterSetup == 1)
            CheckDlgButton(dialog, kReadmeBox, BST_CHECKED);
    } else {
        g_setup.Options.ViewReadmeAfterSetup = 0;
    }
    if (run) {
        FillAppName(dialog, kRunBox);
        if (g_setup.Options.RunAfterSetup == 1)
            CheckDlgButton(dialog, kRunBox, BST_CHECKED);
    } else {
        g_setup.Options.RunAfterSetup = 0;
    }
    SetFocus(GetDlgItem(dialog, IDOK));
}

INT_PTR CALLBACK FinishDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        InitFinishDialog(dialog);
        return FALSE;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0) {
            g_setup.Options.ViewReadmeAfterSetup =
                IsDlgButtonChecked(dialog, kReadmeBox) == BST_CHECKED;
            g_setup.Options.RunAfterSetup = IsDlgButtonChecked(dialog, kRunBox) == BST_CHECKED;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, static_cast<INT_PTR>(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
