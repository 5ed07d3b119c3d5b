// The wizard's Win32 side: the frame and its page table, the pages, the destination page with the
// folder browser, and the main window's finish.
#pragma once

#include "setup_win32.h"
#include "wizard_template.h"

// Page notifications, sent to a page as WM_NOTIFY with an NMHDR from the wizard window.
constexpr UINT kPageSetActive = static_cast<UINT>(-200);  // PSN_SETACTIVE
constexpr UINT kPageKillActive = static_cast<UINT>(-201); // PSN_KILLACTIVE
constexpr WPARAM kLeaveBack = 0;
constexpr WPARAM kLeaveNext = 1;

// The frame.
void SetPage(int row, uint32_t templateId, DLGPROC pageProc);
int CreateWizardWindow();
int ShowWizardPage(int index);
void UpdateBackButton();
void StyleNextAsDefault();
INT_PTR CALLBACK WizardDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The wizard's control, or null when there is no wizard.
HWND WizardItem(int id);
// The notification code of a WM_NOTIFY, or 0 for any other message.
UINT PageNotification(UINT message, LPARAM lParam);
// A page's answer to PSN_KILLACTIVE: 0 lets the wizard go on, 1 keeps it on the page.
void AnswerKillActive(HWND page, LONG refuse);

// The pages.
int BuildWizard();
INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgramFolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ConfirmPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void UpdateFolderRadios(HWND page);
LRESULT AppendText(HWND edit, const char* text);

// The destination page and the folder browser.
INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
int BrowseForFolder(HWND owner, const char* caption, const char* prompt, char* result,
                    int networkRoot, const char* initial);
int CALLBACK BrowseCallback(HWND window, UINT event, LPARAM value, LPARAM pair);

// The finish.
void ShowFinishDialog();
INT_PTR CALLBACK FinishDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
