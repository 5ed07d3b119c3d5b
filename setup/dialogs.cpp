// What every dialog of setup shares: centring, the application's name in control texts, and the
// exit confirmation through which every way out of an unfinished setup passes.
#include "setup_win32.h"

#include "resource.h"
#include "text.h"

void CenterWindow(HWND window) {
    RECT reference;
    if (g_setup.MainWindow) {
        GetWindowRect(AsWindow(g_setup.MainWindow), &reference);
    } else {
        reference.left = 0;
        reference.top = 0;
        reference.right = GetSystemMetrics(SM_CXSCREEN);
        reference.bottom = GetSystemMetrics(SM_CYSCREEN);
    }
    RECT own;
    GetWindowRect(window, &own);
    int x = reference.left + ((reference.right - reference.left) - (own.right - own.left)) / 2;
    int y = reference.top + ((reference.bottom - reference.top) - (own.bottom - own.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void FormatAppName(char* text) {
    char formatted[1024]; // wsprintfA writes at most 1024 bytes
    wsprintfA(formatted, text, g_setup.ApplicationName);
    CopyTextFits(text, formatted, sizeof formatted);
}

void FillAppName(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    char text[1024];
    text[0] = 0;
    GetWindowTextA(control, text, sizeof text);
    FormatAppName(text);
    SetWindowTextA(control, text);
}

int ConfirmExit() {
    HWND owner = AsWindow(g_setup.ProgressDialog ? g_setup.ProgressDialog
                          : g_setup.WizardWindow ? g_setup.WizardWindow
                                                 : g_setup.MainWindow);
    EnableWindow(AsWindow(g_setup.MainWindow), FALSE);
    INT_PTR answer = DialogBoxParamA(AsInstance(g_setup.Instance), MAKEINTRESOURCEA(IDD_EXIT_SETUP),
                                     owner, ExitDialogProc, 0);
    EnableWindow(AsWindow(g_setup.MainWindow), TRUE);
    return answer == IDOK ? 1 : 0;
}

INT_PTR CALLBACK ExitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog);
        SendMessageA(dialog, DM_SETDEFID, IDC_EXIT_RESUME, 0);
        SetFocus(GetDlgItem(dialog, IDC_EXIT_RESUME));
        FillAppName(dialog, IDC_EXIT_TEXT);
        FillAppName(dialog, IDC_EXIT_RESUME_TEXT);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, static_cast<INT_PTR>(wParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
