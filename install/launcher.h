// The Win32 shell of install: driver, payload file, worker thread and progress dialog.
#pragma once

#include <windows.h>

#include "seam.h"

constexpr int kProgressDialog = 1000;
constexpr int kDirectoryLabel = 1001;
constexpr int kProgressBar = 1002;
constexpr int kFileLabel = 1003;

// A message box of two string-table texts, the system's text for systemError (when not 0) behind
// the second, owned by the progress dialog while it exists; ReportError is this with a warning
// icon. Returns 1.
unsigned ShowTableMessage(unsigned captionId, unsigned textId, SystemError systemError, UINT icon);

// Opens and maps the own file, finds the payload and opens the stream over it: 0, or 1 reported.
unsigned LocatePayload(const char* ownPath);
// Unmaps the view and closes the mapping and the file, in that order.
void ReleasePackage();

DWORD WINAPI ExtractionWorker(void* unused);
INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
