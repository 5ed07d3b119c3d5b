// The main window's procedure as start-up needs it: it starts the plan when it exists and ends
// setup on request. The wizard's own main window procedure replaces this file.
#include "setup_win32.h"

#include "plan.h"
#include "resource.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        PostMessageA(window, WM_COMMAND, CMD_START_WIZARD, 0);
        return 0;
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
            BuildCopyPlan();
            return 0;
        case CMD_CLOSE_WIZARD:
            PostMessageA(window, WM_DESTROY, 0, 0);
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
