// Extraction runs on a worker thread at the lowest priority while the main thread runs the modal
// progress dialog. They share four fields of the extraction record without locks; the worker
// talks to the dialog only by posting WM_EXTRACT_* messages, and Cancel only raises a flag that the
// decoder polls.
#include "launcher.h"

#include <commctrl.h>

#include "payload.h"

DWORD WINAPI ExtractionWorker(void*) {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    unsigned result = ExtractTar();
    if (result == 0)
        result = FinishStream();
    ReleasePackage();
    // A tiny archive can be done before the dialog exists.
    while (!extraction.dialogWindow)
        Sleep(50);
    PostMessageA(static_cast<HWND>(extraction.dialogWindow), WM_EXTRACT_DONE, 0, 0);
    return result;
}

namespace {

void CenterOnScreen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    int x = (GetSystemMetrics(SM_CXSCREEN) + r.left - r.right) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) + r.top - r.bottom) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnInitDialog(HWND window) {
    extraction.dialogWindow = window;
    SetDlgItemTextA(window, kDirectoryLabel, extraction.tempDir);
    SendDlgItemMessageA(window, kProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    CenterOnScreen(window);
}

} // namespace

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDCANCEL)
            return FALSE;
        // The dialog stays up: the decoder notices the flag, reports and the worker ends the
        // dialog.
        extraction.cancelRequested = 1;
        return TRUE;
    case WM_EXTRACT_DONE:
        EndDialog(window, 1);
        extraction.dialogWindow = nullptr;
        return TRUE;
    case WM_EXTRACT_PROGRESS:
        SendDlgItemMessageA(window, kProgressBar, PBM_SETPOS, extraction.lastPercent, 0);
        return TRUE;
    case WM_EXTRACT_FILE:
        SetDlgItemTextA(window, kFileLabel, extraction.currentFileName);
        return TRUE;
    }
    return FALSE;
}
