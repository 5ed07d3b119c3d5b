// Target of the UI driver's own suite: "Show" opens a message box with the edit's text, "Done" ends
// the program with 7 when the box is checked and 0 otherwise. "Thread" shows a box owned by the
// dialog from a second thread, as install.exe's worker does.
#include <windows.h>

static DWORD WINAPI ThreadBox(void* owner) {
    MessageBoxA(static_cast<HWND>(owner), "from another thread", "Thread box", MB_OK);
    return 0;
}

static INT_PTR CALLBACK TargetProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case 14: {
        char text[256];
        GetDlgItemTextA(dialog, 10, text, sizeof text);
        MessageBoxA(dialog, text, "Target says", MB_OK | MB_ICONINFORMATION);
        SetDlgItemTextA(dialog, 13, "shown");
        return TRUE;
    }
    case 15:
        CloseHandle(CreateThread(nullptr, 0, ThreadBox, dialog, 0, nullptr));
        return TRUE;
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, IsDlgButtonChecked(dialog, 11) == BST_CHECKED ? 7 : 0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(100), nullptr, TargetProc, 0));
}
