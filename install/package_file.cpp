// The package is install.exe itself with the gzip member appended: the whole file is mapped
// read-only once, and the core finds the payload behind the image's last section.
#include "launcher.h"
#include "payload.h"

namespace {

unsigned Fail(unsigned textId, SystemError error) {
    return ReportError(IDS_CAPTION, textId, error);
}

} // namespace

void ReleasePackage() {
    UnmapViewOfFile(extraction.packageView);
    CloseHandle(extraction.packageMapping);
    CloseHandle(extraction.packageFile);
}

unsigned LocatePayload(const char* ownPath) {
    HANDLE file = CreateFileA(ownPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return Fail(IDS_OPEN_ARCHIVE, GetLastError());

    DWORD sizeHigh = 0;
    DWORD size = GetFileSize(file, &sizeHigh);
    // All bits set is also a valid low half of a size of 4 GiB or more: only the error code tells.
    DWORD error = size == INVALID_FILE_SIZE ? GetLastError() : NO_ERROR;
    if (error != NO_ERROR || sizeHigh != 0) {
        CloseHandle(file);
        return error != NO_ERROR ? Fail(IDS_FILE_SIZE, error) : Fail(IDS_MAX_SIZE, 0);
    }

    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) {
        error = GetLastError();
        CloseHandle(file);
        return Fail(IDS_MAP_FILE, error);
    }
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (!view) {
        error = GetLastError();
        CloseHandle(mapping);
        CloseHandle(file);
        return Fail(IDS_MAP_VIEW, error);
    }
    extraction.packageFile = file;
    extraction.packageMapping = mapping;
    extraction.packageView = static_cast<const u8*>(view);

    if (LocateImageEnd(extraction.packageView, size, &extraction.payloadCursor,
                       &extraction.payloadRemaining) ||
        ParseGzipHeader(&extraction.payloadCursor, &extraction.payloadRemaining) ||
        OpenStream(extraction.payloadCursor, extraction.payloadRemaining)) {
        ReleasePackage();
        return 1;
    }
    return 0;
}
