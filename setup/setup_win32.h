// The Win32 shell of setup: start-up, texts, dialogs and the installation run.
#pragma once

#include <windows.h>

#include "setup_state.h"

inline HWND AsWindow(WindowHandle handle) {
    return static_cast<HWND>(handle);
}
inline HINSTANCE AsInstance(InstanceHandle handle) {
    return static_cast<HINSTANCE>(handle);
}

// Caption of every message box of setup.
extern const char kSetupCaption[];

// Start-up (the program's WinMain): always returns 0.
int WINAPI SetupMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
// SetupDir, WindowsDir, SystemDir and ProgramFilesDir.
void FillFixedDirectories();
const char* LoadText(int id);
int LoadSetupScript();
int ReadLicenseText();
ATOM RegisterMainWindowClass();
int CreateMainWindow();
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog helpers and the exit confirmation.
void CenterWindow(HWND window);
void FillAppName(HWND dialog, int id);
void FormatAppName(char* text);
int ConfirmExit();
INT_PTR CALLBACK ExitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shell folders (%5, %6, %7).
int ResolveSpecialFolder(int csidl, char* folder);

// The installation run.
int RunInstallation();
int MakeDirectories();
int MakeShortcuts();
HRESULT MakeShortcut(const char* target, const char* link, const char* description);
int LogRegistryKeys();
int SetRegistryValues();
int WriteRemoveLog();
HKEY RootKeyFromName(const char* name);
INT_PTR CALLBACK CopyProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
