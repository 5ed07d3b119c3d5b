// The launcher core's only way to the platform. The Win32 shell implements these with the system's
// own calls; the host implementation (tools/mkinstall) uses POSIX so that the same core runs in
// mkinstall, the host tests and the fuzzers.
//
// The Cancel flag and the progress dialog's handle are not calls: they are the shared fields
// extraction.cancelRequested and extraction.dialogWindow (extraction_state.h).
//
// Errors are the platform's own codes (GetLastError values on Windows, errno values on the host),
// 0 meaning "no error". The core never interprets them beyond IsDiskFullError.
#pragma once

#include "payload_types.h"

typedef unsigned long SystemError;
typedef void* FileHandle;

// Shows one failure: the caption text, the message text and, when systemError is not 0, the
// system's description of systemError appended directly behind the message text (texts ending in ":
// " expect it). Either thread may call it; a box raised while the progress dialog exists is owned
// by it. Returns 1, the "failed and reported" result.
unsigned ReportError(unsigned captionId, unsigned textId, SystemError systemError);

// Posts one of the WM_EXTRACT_* notifications (ExtractMessage) to the progress dialog. The hooks
// call it only when dialogWindow is not null.
void PostDialogMessage(void* dialogWindow, unsigned message);

// Fixed memory (GlobalAlloc GMEM_FIXED): null on failure, with LastSystemError() telling why.
void* AllocateMemory(unsigned size);
void FreeMemory(void* block); // null is accepted and ignored
SystemError LastSystemError();

// File system for the tar reader. Names are relative to the current directory, which is the
// extraction directory. Each returns 0 on success or the system error.
SystemError CreateDirectoryEntry(const char* name);
SystemError CreateFileEntry(const char* name, FileHandle* file); // create or truncate, for writing
SystemError WriteFileEntry(FileHandle file, const void* data, unsigned count); // all or an error
SystemError CloseFileEntry(FileHandle file);
// Creation, last-access and last-write time as a FILETIME (100 ns units since 1601). Result
// ignored.
void SetFileEntryTime(FileHandle file, unsigned long timeLow, unsigned long timeHigh);
// FILE_ATTRIBUTE_* bits (kAttributeReadOnly, kAttributeArchive, or 0). Result ignored.
void SetEntryAttributes(const char* name, unsigned attributes);
// ERROR_DISK_FULL on Windows, ENOSPC on the host: reported as 2067 instead of the call's own text.
int IsDiskFullError(SystemError error);
