// The wizard frame: one modeless dialog assembled in memory, sized to the largest page, that shows
// one page (a child dialog) at a time above an etched line and the Back, Next and Exit Setup
// buttons. Pages are asked before they are left and may refuse; Next on the last page hands over
// to the main window.
#include "wizard_win32.h"

#include "resource.h"
#include "wizard_template.h"

HWND WizardItem(int id) {
    return g_setup.WizardWindow ? GetDlgItem(AsWindow(g_setup.WizardWindow), id) : nullptr;
}

UINT PageNotification(UINT message, LPARAM lParam) {
    if (message != WM_NOTIFY || !lParam)
        return 0;
    return reinterpret_cast<const NMHDR*>(lParam)->code;
}

void AnswerKillActive(HWND page, LONG refuse) {
    SetWindowLongA(page, DWL_MSGRESULT, refuse);
}

void SetPage(int row, uint32_t templateId, DLGPROC pageProc) {
    if (row < 0 || row >= kMaxWizardPages)
        return;
    WizardPage& page = g_setup.PageTable[row];
    page.TemplateId = templateId;
    page.PageProc = reinterpret_cast<PageProcedure>(pageProc);
}

// Sends a page notification and returns the page's answer from its DWL_MSGRESULT slot.
static LONG NotifyPage(HWND page, UINT code, WPARAM wParam) {
    NMHDR header;
    header.hwndFrom = AsWindow(g_setup.WizardWindow);
    header.idFrom = 0;
    header.code = code;
    SendMessageA(page, WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(&header));
    return GetWindowLongA(page, DWL_MSGRESULT);
}

int CreateWizardWindow() {
    HINSTANCE instance = AsInstance(g_setup.Instance);
    int16_t width = 0;
    int16_t height = 0;
    for (int i = 0; i < g_setup.PageCount; ++i) {
        WizardPage& row = g_setup.PageTable[i];
        HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(row.TemplateId & 0xFFFF), RT_DIALOG);
        if (!found)
            return 0;
        const void* bytes = LockResource(LoadResource(instance, found));
        if (!bytes)
            return 0;
        PageTemplateInfo info;
        ReadPageTemplate(static_cast<const uint8_t*>(bytes), SizeofResource(instance, found),
                         &info);
        NarrowWideText(info.caption, row.Caption, kCaptionCapacity);
        if (info.cx > width)
            width = info.cx;
        if (info.cy > height)
            height = info.cy;
    }

    // Never released: the dialog manager is done with it once the window exists, and setup builds
    // its wizard once.
    void* block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, kWizardTemplateBytes);
    if (!block)
        return 0;
    WizardButtonTexts texts = {LoadText(IDS_BACK), LoadText(IDS_NEXT_BUTTON),
                               LoadText(IDS_EXIT_SETUP)};
    if (!WriteWizardTemplate(static_cast<uint8_t*>(block), kWizardTemplateBytes, width, height,
                             &texts))
        return 0;
    HWND wizard = CreateDialogIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(block),
                                             AsWindow(g_setup.MainWindow), WizardDialogProc, 0);
    g_setup.WizardWindow = wizard;
    return IsWindow(wizard) ? 1 : 0;
}

int ShowWizardPage(int index) {
    if (index < 0 || index >= g_setup.PageCount)
        return 0;
    if (index == g_setup.CurrentPage)
        return 1;
    WizardPage& row = g_setup.PageTable[index];
    if (!row.PageWindow) {
        HWND created = CreateDialogParamA(
            AsInstance(g_setup.Instance), MAKEINTRESOURCEA(row.TemplateId & 0xFFFF),
            AsWindow(g_setup.WizardWindow), reinterpret_cast<DLGPROC>(row.PageProc), 0);
        // A page that cannot be made is not moved to: the wizard stays where it is rather than
        // showing an empty area whose silent "answers" would let the user past it.
        if (!created)
            return 0;
        row.PageWindow = created;
        NotifyPage(created, kPageSetActive, 0);
    }
    HWND previous = AsWindow(g_setup.VisiblePage);
    g_setup.VisiblePage = nullptr;
    HWND page = AsWindow(row.PageWindow);
    g_setup.VisiblePage = page;
    NotifyPage(page, kPageSetActive, 0);
    if (previous)
        SetWindowPos(previous, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_HIDEWINDOW);
    SetWindowTextA(AsWindow(g_setup.WizardWindow), row.Caption);
    const PageRect& place = g_setup.PagePlacement;
    SetWindowPos(page, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_SHOWWINDOW);
    g_setup.CurrentPage = index;
    UpdateBackButton();
    return 1;
}

void UpdateBackButton() {
    HWND back = WizardItem(kWizardBackId);
    if (g_setup.CurrentPage == 0) {
        ShowWindow(back, SW_HIDE);
        SendMessageA(WizardItem(kWizardNextId), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    } else if (g_setup.CurrentPage == 1) {
        ShowWindow(back, SW_SHOWNORMAL);
        SendMessageA(back, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
}

void StyleNextAsDefault() {
    SendMessageA(WizardItem(kWizardBackId), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageA(WizardItem(kWizardNextId), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    SendMessageA(WizardItem(kWizardExitId), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
}

static void OnWizardInit(HWND window) {
    g_setup.WizardWindow = window;
    CenterWindow(window);
    HWND placeholder = GetDlgItem(window, kWizardPlaceholderId);
    RECT area;
    GetWindowRect(placeholder, &area);
    POINT corner = {area.left, area.top};
    ScreenToClient(window, &corner);
    g_setup.PagePlacement.left = corner.x;
    g_setup.PagePlacement.top = corner.y;
    g_setup.PagePlacement.right = corner.x + (area.right - area.left);
    g_setup.PagePlacement.bottom = corner.y + (area.bottom - area.top);
    DestroyWindow(placeholder);
    ShowWizardPage(0);
}

static HWND CurrentPageWindow() {
    if (g_setup.CurrentPage < 0 || g_setup.CurrentPage >= g_setup.PageCount)
        return nullptr;
    return AsWindow(g_setup.PageTable[g_setup.CurrentPage].PageWindow);
}

static void OnBack() {
    if (NotifyPage(CurrentPageWindow(), kPageKillActive, kLeaveBack) == 0)
        ShowWizardPage(g_setup.CurrentPage - 1);
}

static void OnNext() {
    if (NotifyPage(CurrentPageWindow(), kPageKillActive, kLeaveNext) != 0)
        return;
    if (g_setup.PageCount == g_setup.CurrentPage + 1)
        PostMessageA(AsWindow(g_setup.MainWindow), WM_COMMAND, CMD_INSTALL, 0);
    else
        ShowWizardPage(g_setup.CurrentPage + 1);
}

static void OnWizardClose() {
    if (ConfirmExit())
        PostMessageA(AsWindow(g_setup.MainWindow), WM_COMMAND, CMD_CLOSE_WIZARD, 0);
}

INT_PTR CALLBACK WizardDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnWizardInit(window);
        return FALSE; // the page sets the focus
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kWizardBackId:
            OnBack();
            return TRUE;
        case kWizardNextId:
            OnNext();
            return TRUE;
        case kWizardExitId:
            OnWizardClose();
            return TRUE;
        default:
            return FALSE; // Esc (IDCANCEL) among them: it does nothing in the wizard
        }
    case WM_CLOSE:
        OnWizardClose();
        return FALSE;
    default:
        return FALSE;
    }
}
