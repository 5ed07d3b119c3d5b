// The wizard's pages other than the destination: Welcome, License, Program Folder and Confirm,
// and BuildWizard, which puts all five into the page table and creates the wizard.
#include "wizard_win32.h"

#include "resource.h"
#include "text.h"
#include "wizard_template.h"

enum {
    kWelcomeText = 1000,
    kWelcomeExitText = 1001,
    kLicenseEdit = 1007,
    kLicenseAccept = 1002,
    kDesktopBox = 1017,
    kGroupBox = 1018,
    kStartMenuBox = 1019,
    kPersonalRadio = 1021,
    kCommonRadio = 1022,
    kSummaryEdit = 1004,
};

static void AddPage(uint32_t templateId, DLGPROC pageProc) {
    SetPage(g_setup.PageCount, templateId, pageProc);
    ++g_setup.PageCount;
}

int BuildWizard() {
    g_setup.PageCount = 1;
    SetPage(0, IDD_WELCOME, WelcomePageProc);
    AddPage(IDD_LICENSE, LicensePageProc);
    AddPage(IDD_DESTINATION, DestinationPageProc);
    if (g_setup.HasDesktopShortcuts || g_setup.HasStartMenuShortcuts || g_setup.HasGroupShortcuts)
        AddPage(IDD_PROGRAM_FOLDER, ProgramFolderPageProc);
    AddPage(IDD_CONFIRM, ConfirmPageProc);
    if (!CreateWizardWindow())
        return 0;
    ShowWindow(AsWindow(g_setup.WizardWindow), SW_SHOW);
    return 1;
}

static void FocusNext() {
    SetFocus(WizardItem(kWizardNextId));
}

static void EnableNext(BOOL enable) {
    EnableWindow(WizardItem(kWizardNextId), enable);
}

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // Next becomes the wizard's command for Enter on every page.
        SendMessageA(AsWindow(g_setup.WizardWindow), DM_SETDEFID, kWizardNextId, 0);
        FillAppName(page, kWelcomeText);
        FillAppName(page, kWelcomeExitText);
    } else if (PageNotification(message, lParam) == kPageSetActive) {
        StyleNextAsDefault();
        FocusNext();
    }
    return FALSE;
}

INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowTextA(GetDlgItem(page, kLicenseEdit), g_setup.LicenseText);
        if (g_setup.LicenseAccepted)
            CheckDlgButton(page, kLicenseAccept, BST_CHECKED);
        return FALSE;
    }
    if (message == WM_COMMAND && wParam == kLicenseAccept) {
        g_setup.LicenseAccepted = IsDlgButtonChecked(page, kLicenseAccept) == BST_CHECKED ? 1 : 0;
        EnableNext(g_setup.LicenseAccepted);
        return FALSE;
    }
    switch (PageNotification(message, lParam)) {
    case kPageSetActive:
        EnableNext(g_setup.LicenseAccepted);
        StyleNextAsDefault();
        SetFocus(GetDlgItem(page, kLicenseEdit));
        break;
    case kPageKillActive:
        // The Welcome page must not inherit a Next disabled here.
        if (wParam == kLeaveBack)
            EnableNext(TRUE);
        break;
    default:
        break;
    }
    return FALSE;
}

void UpdateFolderRadios(HWND page) {
    const InstallOptions& o = g_setup.Options;
    BOOL any = o.DesktopShortcut || o.StartMenuShortcut || o.ProgramGroup;
    EnableWindow(GetDlgItem(page, kPersonalRadio), any);
    EnableWindow(GetDlgItem(page, kCommonRadio), any);
}

static void InitProgramFolderPage(HWND page) {
    // The flags are 0 or 1, which are SW_HIDE and SW_SHOWNORMAL.
    ShowWindow(GetDlgItem(page, kDesktopBox), g_setup.HasDesktopShortcuts);
    ShowWindow(GetDlgItem(page, kStartMenuBox), g_setup.HasStartMenuShortcuts);
    ShowWindow(GetDlgItem(page, kGroupBox), g_setup.HasGroupShortcuts);
    OSVERSIONINFOA version;
    FillBytes(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    // The all-users folders exist on the NT family only.
    int nt = version.dwPlatformId == VER_PLATFORM_WIN32_NT ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(page, kCommonRadio), nt);
    ShowWindow(GetDlgItem(page, kPersonalRadio), nt);
}

static void ReadFolderChoices(HWND page) {
    InstallOptions& o = g_setup.Options;
    o.DesktopShortcut =
        g_setup.HasDesktopShortcuts && IsDlgButtonChecked(page, kDesktopBox) == BST_CHECKED;
    o.StartMenuShortcut =
        g_setup.HasStartMenuShortcuts && IsDlgButtonChecked(page, kStartMenuBox) == BST_CHECKED;
    o.ProgramGroup =
        g_setup.HasGroupShortcuts && IsDlgButtonChecked(page, kGroupBox) == BST_CHECKED;
    o.CommonFolders = IsDlgButtonChecked(page, kCommonRadio) == BST_CHECKED;
    UpdateFolderRadios(page);
}

static void ShowFolderChoices(HWND page) {
    const InstallOptions& o = g_setup.Options;
    CheckDlgButton(page, kDesktopBox, o.DesktopShortcut ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, kStartMenuBox, o.StartMenuShortcut ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, kGroupBox, o.ProgramGroup ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(page, kPersonalRadio, kCommonRadio,
                     o.CommonFolders ? kCommonRadio : kPersonalRadio);
    UpdateFolderRadios(page);
}

static void ResolveShellFolders() {
    bool common = g_setup.Options.CommonFolders == 1;
    ResolveSpecialFolder(common ? 25 : 16, g_setup.DesktopDir);   // CSIDL_(COMMON_)DESKTOPDIRECTORY
    ResolveSpecialFolder(common ? 22 : 11, g_setup.StartMenuDir); // CSIDL_(COMMON_)STARTMENU
    ResolveSpecialFolder(common ? 23 : 2, g_setup.ProgramsDir);   // CSIDL_(COMMON_)PROGRAMS
}

INT_PTR CALLBACK ProgramFolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        InitProgramFolderPage(page);
        return FALSE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == 0) {
        ReadFolderChoices(page);
        return FALSE;
    }
    switch (PageNotification(message, lParam)) {
    case kPageSetActive:
        ShowFolderChoices(page);
        FocusNext();
        StyleNextAsDefault();
        break;
    case kPageKillActive:
        SendMessageA(page, WM_COMMAND, 0, 0);
        ResolveShellFolders();
        break;
    default:
        break;
    }
    return FALSE;
}

LRESULT AppendText(HWND edit, const char* text) {
    return SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
}

static const char kIndent[] = "        ";
static const char kLineEnd[] = "\r\n";

static void FillSummary(HWND edit) {
    const InstallOptions& o = g_setup.Options;
    SetWindowTextA(edit, "");
    AppendText(edit, LoadText(IDS_TARGET_DIRECTORY));
    AppendText(edit, kLineEnd);
    AppendText(edit, kIndent);
    AppendText(edit, g_setup.DestDir);
    AppendText(edit, kLineEnd);
    AppendText(edit, kLineEnd);
    if (!(o.DesktopShortcut || o.StartMenuShortcut || o.ProgramGroup))
        return;
    AppendText(edit, LoadText(o.CommonFolders == 1 ? IDS_COMMON_FOLDERS : IDS_PERSONAL_FOLDERS));
    AppendText(edit, kLineEnd);
    const struct {
        int32_t flag;
        int text;
    } options[] = {{o.DesktopShortcut, IDS_SUMMARY_DESKTOP},
                   {o.StartMenuShortcut, IDS_SUMMARY_START_MENU},
                   {o.ProgramGroup, IDS_SUMMARY_GROUP}};
    for (const auto& option : options) {
        if (!option.flag)
            continue;
        AppendText(edit, kIndent);
        AppendText(edit, LoadText(option.text));
        AppendText(edit, kLineEnd);
    }
    AppendText(edit, kLineEnd);
}

INT_PTR CALLBACK ConfirmPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // Without a Program Folder page the defaults of 1 would stand for kinds the script lacks.
        InstallOptions& o = g_setup.Options;
        o.DesktopShortcut = o.DesktopShortcut && g_setup.HasDesktopShortcuts;
        o.StartMenuShortcut = o.StartMenuShortcut && g_setup.HasStartMenuShortcuts;
        o.ProgramGroup = o.ProgramGroup && g_setup.HasGroupShortcuts;
        return FALSE;
    }
    switch (PageNotification(message, lParam)) {
    case kPageSetActive:
        FillSummary(GetDlgItem(page, kSummaryEdit));
        SetDlgItemTextA(AsWindow(g_setup.WizardWindow), kWizardNextId, LoadText(IDS_FINISH));
        StyleNextAsDefault();
        FocusNext();
        break;
    case kPageKillActive:
        SetDlgItemTextA(AsWindow(g_setup.WizardWindow), kWizardNextId, LoadText(IDS_NEXT));
        break;
    default:
        break;
    }
    return FALSE;
}
