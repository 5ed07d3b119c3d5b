// install's driver: command line, a fresh temporary directory, extraction under the progress
// dialog, Setup.exe run from the extracted files and waited for, and the directory removed again.
// Every failure is shown once where it is found; the exit code is 0, or 1 after a failure.
#include "launcher.h"

#include <commctrl.h>

#include "command_line.h"
#include "payload.h"

namespace {

constexpr DWORD kResetAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

LauncherCommandLine commandLine;

unsigned Fail(unsigned textId, SystemError error) {
    return ReportError(IDS_CAPTION, textId, error);
}

bool EndsWithSeparator(const char* path) {
    unsigned length = StrLength(path);
    return length > 0 && path[length - 1] == '\\';
}

// Appends text if the result fits a path buffer; false, leaving path as it was, when it does not.
bool AppendPath(char* path, const char* text) {
    if (StrLength(path) + StrLength(text) >= kPathSize)
        return false;
    StrAppend(path, text);
    return true;
}

// Read-only, hidden and system entries cannot be deleted until their attributes are reset.
void MakeDeletable(const char* path, DWORD attributes) {
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kResetAttributes))
        SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE);
}

unsigned ShowUsage() {
    char caption[500];
    char text[500];
    HINSTANCE instance = GetModuleHandleA(nullptr);
    LoadStringA(instance, IDS_CAPTION, caption, sizeof caption);
    LoadStringA(instance, IDS_USAGE, text, sizeof text);
    MessageBoxA(nullptr, text, caption, MB_ICONINFORMATION);
    return 0;
}

// Deletes everything below path and then path itself; what cannot be deleted stays, silently.
void RemoveTree(const char* path) {
    char full[kPathSize];
    StrCopy(full, path);
    if (!EndsWithSeparator(full) && !AppendPath(full, "\\"))
        return;
    unsigned nameStart = StrLength(full);
    if (!AppendPath(full, "*.*"))
        return;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(full, &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (StrCompare(entry.cFileName, "..") == 0 || StrCompare(entry.cFileName, ".") == 0)
                continue;
            full[nameStart] = 0;
            // A name that would not fit the path buffer cannot be reached by it either.
            if (!AppendPath(full, entry.cFileName))
                continue;
            MakeDeletable(full, entry.dwFileAttributes);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    // Without its trailing separator (a root such as "C:\" keeps it).
    full[nameStart > 1 && full[nameStart - 2] != ':' ? nameStart - 1 : nameStart] = 0;
    RemoveDirectoryA(full);
}

// The directory is the process's current directory, which cannot be removed: step out of it first.
void RemoveTempDir(const char* path) {
    RemoveTree(path);
    char systemDir[kPathSize];
    GetSystemDirectoryA(systemDir, kPathSize);
    SetCurrentDirectoryA(systemDir);
    MakeDeletable(path, GetFileAttributesA(path));
    RemoveDirectoryA(path);
}

// The directory for temporary files, absolute: after the change of current directory a relative
// path would name another place than the one the extraction directory was made in.
unsigned ChooseTempPath(char* tempPath) {
    if (!commandLine.tempPathGiven) {
        DWORD length = GetTempPathA(kPathSize, tempPath);
        if (length == 0)
            return Fail(IDS_TEMP_PATH, GetLastError());
        if (length >= kPathSize)
            return Fail(IDS_TEMP_PATH, ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    if (commandLine.tempPathTooLong)
        return Fail(IDS_TEMP_NAME, ERROR_FILENAME_EXCED_RANGE);
    char* filePart;
    DWORD length = GetFullPathNameA(commandLine.tempPath, kPathSize, tempPath, &filePart);
    if (length == 0)
        return Fail(IDS_TEMP_NAME, GetLastError());
    if (length >= kPathSize)
        return Fail(IDS_TEMP_NAME, ERROR_FILENAME_EXCED_RANGE);
    return 0;
}

// Makes the extraction directory and runs the worker under the progress dialog; the result is
// the worker's (0 extracted and verified, 1 reported) or 1 after a failure of the driver's own.
unsigned ExtractIntoTempDir(const char* tempPath) {
    if (!GetTempFileNameA(tempPath, "INST", 0, extraction.tempDir))
        return Fail(IDS_TEMP_NAME, GetLastError());
    if (!DeleteFileA(extraction.tempDir))
        return Fail(IDS_DELETE_TEMP, GetLastError());
    if (!CreateDirectoryA(extraction.tempDir, nullptr) || !SetCurrentDirectoryA(extraction.tempDir))
        return Fail(IDS_CREATE_TEMP_DIR, GetLastError());

    extraction.currentFileName[0] = 0;
    extraction.currentFileName[100] = 0;
    extraction.cancelRequested = 0;
    extraction.dialogWindow = nullptr;
    extraction.lastPercent = 0;
    // The handle is kept until the process ends.
    HANDLE worker = CreateThread(nullptr, 0, ExtractionWorker, nullptr, 0, nullptr);
    if (!worker)
        return Fail(IDS_CREATE_THREAD, GetLastError());
    if (DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgressDialog), nullptr,
                        ProgressDialogProc, 0) == -1)
        return Fail(IDS_CREATE_DIALOG, GetLastError());
    if (WaitForSingleObject(worker, INFINITE) == WAIT_FAILED)
        return Fail(IDS_WAIT, GetLastError());
    DWORD workerResult;
    if (!GetExitCodeThread(worker, &workerResult))
        return Fail(IDS_EXIT_CODE, GetLastError());
    if (workerResult != 0)
        RemoveTempDir(extraction.tempDir);
    return workerResult;
}

// Starts Setup.exe in the extraction directory and waits for it; its exit code is not ours.
unsigned RunSetup(char* childPath) {
    StrCopy(childPath, extraction.tempDir);
    if ((!EndsWithSeparator(childPath) && !AppendPath(childPath, "\\")) ||
        !AppendPath(childPath, "Setup.exe"))
        return Fail(IDS_SPAWN, ERROR_FILENAME_EXCED_RANGE);
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child;
    if (!CreateProcessA(childPath, nullptr, nullptr, nullptr, FALSE, CREATE_NEW_PROCESS_GROUP,
                        nullptr, extraction.tempDir, &startup, &child))
        return Fail(IDS_SPAWN, GetLastError());
    CloseHandle(child.hThread);
    if (WaitForSingleObject(child.hProcess, INFINITE) == WAIT_FAILED)
        return Fail(IDS_WAIT, GetLastError());
    CloseHandle(child.hProcess);
    return 0;
}

} // namespace

static_assert(sizeof(STARTUPINFOA) == 68, "the child's start-up record");

unsigned LauncherMain() {
    ParseLauncherCommandLine(GetCommandLineA(), &commandLine);
    if (commandLine.action == kActionUsage)
        return ShowUsage();
    if (commandLine.action == kActionBadSwitch)
        return Fail(IDS_BAD_COMMAND_LINE, 0);
    // Reused for Setup.exe's path once the extraction directory exists.
    char tempPath[kPathSize];
    if (ChooseTempPath(tempPath))
        return 1;

    InitCommonControls();
    if (commandLine.ownPathTooLong)
        return Fail(IDS_OPEN_ARCHIVE, ERROR_FILENAME_EXCED_RANGE);
    if (LocatePayload(commandLine.ownPath))
        return 1;
    unsigned result = ExtractIntoTempDir(tempPath);
    if (result != 0)
        return result;
    result = RunSetup(tempPath);
    RemoveTempDir(extraction.tempDir);
    return result;
}

extern "C" void LauncherEntry() {
    ExitProcess(LauncherMain());
}
