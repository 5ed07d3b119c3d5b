// Text and number rules of the wizard, the destination page and the main window that need no
// platform: which root a destination is measured at, how a typed destination is stored, how the
// free-space message prints its numbers, how the finish launches are quoted, and the backdrop's
// colours. Shared by setup.exe and the native tests.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum : uint32_t { kPathBytes = 260 };

// The root whose free space is measured for the destination text `dir`: "X:\" for a path on a
// drive (or a relative text, by its first letter), "\\server\share\" for a network path. A root
// that would not fit `capacity` bytes is left empty, which the platform cannot measure.
void VolumeRootOf(char* result, size_t capacity, const char* dir);

// Drops trailing backslashes typed after a directory, so that "%1\file" never doubles the
// separator; a drive root keeps its backslash ("C:\"), as do the bare "\" and "\\".
void TrimDestination(char* dir);

// Message 1029 prints the requirement and the free space, both below 4 GiB when it is shown, with
// "%ld" directives; as signed numbers anything above 2 GiB would show negative. Copies `format`
// into `out` (capacity bytes) with every "%ld" made "%lu".
void UnsignedNumberFormat(char* out, size_t capacity, const char* format);

// The RunProgram command as it is started: quoted when it is the path of an existing file with a
// space in it, so that "C:\Program Files\x.exe" can never start "C:\Program.exe". A command with
// arguments, or already quoted, is kept as written. Returns false when the quoted text would not
// fit (the caller then starts nothing rather than a cut command).
bool QuoteProgramPath(char* out, size_t capacity, const char* command, bool isExistingFile);

// "notepad.exe" followed by the read-me path in quotes. Returns false when it does not fit.
bool FormatNotepadCommand(char* out, size_t capacity, const char* path);

// The backdrop: bands of 8 rows, blue falling from 255 at the top to 0, then the title.
int BackdropBandCount(int clientHeight); // bands painted (0 when fewer than 8 rows)
uint8_t BackdropBandBlue(int band, int clientHeight);
