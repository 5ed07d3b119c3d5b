// SetupState: the one record of setup, static for the life of the process and never freed.
// Every phase (start-up, wizard, installation run, finish) fills the members the next one reads.
// Plain data only, no <windows.h>: the portable code (script reader, path variables, plan, remove
// log) works on it natively too. Handles are kept as opaque pointers; the Win32 shell casts them.
#pragma once

#include <stdint.h>

// Every path lives in a buffer of this size (at most 259 characters and the NUL).
constexpr uint32_t kPathCapacity = 260;
// The script and the licence are used up to this many bytes; one more byte keeps a full buffer
// terminated.
constexpr uint32_t kTextFileCapacity = 100000;
// A list read from the script never holds more than the script itself: every kept line is followed
// in the script by at least one separator byte, which becomes its NUL in the list, and the list
// adds one final NUL. So this capacity keeps every line of a full script.
constexpr uint32_t kListCapacity = kTextFileCapacity + 2;
constexpr uint32_t kTextScratchSize = 5000;
constexpr uint32_t kCaptionCapacity = 100;
constexpr int32_t kMaxWizardPages = 5;

// Remove-log regions. Worst case for the region of DelFiles and DelDirs: a script line of four
// characters ("x,%1") costs five script bytes and, read by [CopyFiles], [CreateShortcuts] and
// [CreateDirs] at once (an indented header inside another section is found as a header), can add
// three entries of a full path and CR LF each; the log's own path comes last.
constexpr uint32_t kRemoveEntryMax = kPathCapacity - 1 + 2;
constexpr uint32_t kRemoveFilesRegion =
    (kTextFileCapacity / 5 + 1) * 3 * kRemoveEntryMax + kRemoveEntryMax;
// For DelRegValues and DelRegKeys: a line "HKCU" (five script bytes) read as a key line gives
// "HKCU" CR LF and read as a value line "HKCU,," CR LF: 14 bytes.
constexpr uint32_t kRemoveRegRegion = (kTextFileCapacity / 5 + 1) * 14;

// The six flags set by the pages and the finish dialog; each 0 or 1.
struct InstallOptions {
    int32_t DesktopShortcut;
    int32_t StartMenuShortcut;
    int32_t ProgramGroup;
    int32_t CommonFolders;
    int32_t RunAfterSetup;
    int32_t ViewReadmeAfterSetup;
};

using WindowHandle = void*;
using InstanceHandle = void*;

#if defined(_WIN32)
#define SETUP_CALLBACK __stdcall
#else
#define SETUP_CALLBACK
#endif
// Same shape as a Win32 dialog procedure (DLGPROC).
using PageProcedure = intptr_t(SETUP_CALLBACK*)(WindowHandle, uint32_t, uintptr_t, intptr_t);

struct WizardPage {
    uint32_t TemplateId; // only the low 16 bits are used
    PageProcedure PageProc;
    char Caption[kCaptionCapacity];
    WindowHandle PageWindow;
};

struct PageRect {
    int32_t left, top, right, bottom;
};

// A region shared by a list that grows forward from its start and a list that grows backward from
// its end. The forward text is Region[0 .. ForwardEnd) with a NUL at ForwardEnd; the backward text
// is Region[BackwardStart .. Size) with its NUL on the byte just past the region.
template <uint32_t Size> struct RemoveLogRegion {
    char Region[Size + 1];
    uint32_t ForwardEnd;
    uint32_t BackwardStart;
    static constexpr uint32_t kSize = Size;
};

// The four lists of the remove log: DelFiles forward and DelDirs backward in the first region,
// DelRegValues forward and DelRegKeys backward in the second.
struct RemoveLog {
    RemoveLogRegion<kRemoveFilesRegion> Files;
    RemoveLogRegion<kRemoveRegRegion> Registry;
};

struct SetupState {
    // Handles.
    InstanceHandle Instance;
    WindowHandle MainWindow;
    WindowHandle WizardWindow;
    WindowHandle ProgressDialog;

    // The path variables %0 to %7.
    char SetupDir[kPathCapacity];
    char DestDir[kPathCapacity];
    char WindowsDir[kPathCapacity];
    char SystemDir[kPathCapacity];
    char ProgramFilesDir[kPathCapacity];
    char DesktopDir[kPathCapacity];
    char StartMenuDir[kPathCapacity];
    char ProgramsDir[kPathCapacity];

    // Script and texts.
    char ScriptPath[kPathCapacity];
    char ScriptText[kTextFileCapacity + 1];
    char LicenseText[kTextFileCapacity + 1];
    char ApplicationName[kPathCapacity];
    char ApplicationNameVer[kPathCapacity];
    char RemoveLogPath[kPathCapacity];
    char ViewReadmePath[kPathCapacity];
    char RunProgramCommand[kPathCapacity];
    char TextScratch[kTextScratchSize];
    uint32_t TextCursor; // offset into TextScratch

    // Lists read from the script and the plan built from them (each a StringList).
    char CopyFilesList[kListCapacity];
    char CopySources[kListCapacity];
    char CopyTargets[kListCapacity];
    int32_t CopyCount;
    uint32_t SpaceRequired;
    char ShortcutsList[kListCapacity];
    int32_t HasDesktopShortcuts;
    int32_t HasStartMenuShortcuts;
    int32_t HasGroupShortcuts;
    char DirsList[kListCapacity];
    char RegistryList[kListCapacity];

    RemoveLog Log;

    InstallOptions Options;

    // The wizard's members. CurrentPage starts at -1 (set at start-up, so that the record stays
    // all zero in the image and costs no file space).
    WizardPage PageTable[kMaxWizardPages];
    int32_t PageCount;
    int32_t CurrentPage;
    WindowHandle VisiblePage;
    PageRect PagePlacement;
    int32_t LicenseAccepted;
    char CheckedDestination[kPathCapacity];
};

extern SetupState g_setup;

// Start-up values that are not zero: the InstallOptions defaults and the wizard's CurrentPage.
void SetInitialState();
