// The Win32 shell of install: driver, payload file, worker thread and progress dialog.
#pragma once

#include <windows.h>

constexpr int kProgressDialog = 1000;
constexpr int kDirectoryLabel = 1001;
constexpr int kProgressBar = 1002;
constexpr int kFileLabel = 1003;

// Opens and maps the own file, finds the payload and opens the stream over it: 0, or 1 reported.
unsigned LocatePayload(const char* ownPath);
// Unmaps the view and closes the mapping and the file, in that order.
void ReleasePackage();

DWORD WINAPI ExtractionWorker(void* unused);
INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
