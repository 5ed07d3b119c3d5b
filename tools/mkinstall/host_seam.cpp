#include "host_seam.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

HostSeam hostSeam;

namespace {

SystemError lastError;

int FileDescriptor(FileHandle file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1;
}

// Takes the owner/group/other write bits away or gives the owner's back.
void SetWritable(const char* name, bool writable) {
    struct stat info;
    if (stat(name, &info) != 0)
        return;
    mode_t mode = info.st_mode & 07777;
    mode = writable ? (mode | S_IWUSR) : (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
    chmod(name, mode);
}

} // namespace

void HostResetAll() {
    ResetExtractionState();
    hostSeam.reports.clear();
    hostSeam.progressPosts = 0;
    hostSeam.filePosts = 0;
    hostSeam.readOnlyDirectories.clear();
}

std::string HostReportText(const HostReport& report) {
    const char* caption = MessageText(report.captionId);
    const char* text = MessageText(report.textId);
    std::string result = caption ? caption : "?";
    result += ": ";
    result += text ? text : "?";
    if (report.error)
        result += strerror(static_cast<int>(report.error));
    return result;
}

void HostFinishDirectories() {
    // Deepest first, so that a parent's attribute never stops a child's change.
    for (auto it = hostSeam.readOnlyDirectories.rbegin(); it != hostSeam.readOnlyDirectories.rend();
         ++it)
        SetWritable(it->c_str(), false);
    hostSeam.readOnlyDirectories.clear();
}

unsigned ReportError(unsigned captionId, unsigned textId, SystemError systemError) {
    HostReport report{captionId, textId, systemError};
    hostSeam.reports.push_back(report);
    if (hostSeam.printReports)
        fprintf(stderr, "%s\n", HostReportText(report).c_str());
    return 1;
}

void PostDialogMessage(void*, unsigned message) {
    if (message == WM_EXTRACT_PROGRESS)
        ++hostSeam.progressPosts;
    else if (message == WM_EXTRACT_FILE)
        ++hostSeam.filePosts;
}

void* AllocateMemory(unsigned size) {
    if (hostSeam.allocationsUntilFailure == 0) {
        lastError = ENOMEM;
        return nullptr;
    }
    if (hostSeam.allocationsUntilFailure > 0)
        --hostSeam.allocationsUntilFailure;
    void* block = malloc(size ? size : 1);
    if (!block) {
        lastError = ENOMEM;
        return nullptr;
    }
    // Fresh memory is never zero, as GlobalAlloc's is not cleared: nothing may depend on zeros.
    memset(block, 0xA5, size);
    ++hostSeam.liveAllocations;
    return block;
}

void FreeMemory(void* block) {
    if (!block)
        return;
    --hostSeam.liveAllocations;
    free(block);
}

SystemError LastSystemError() {
    return lastError;
}

SystemError CreateDirectoryEntry(const char* name) {
    if (!hostSeam.touchFileSystem)
        return 0;
    return mkdir(name, 0777) == 0 ? 0 : errno;
}

SystemError CreateFileEntry(const char* name, FileHandle* file) {
    if (!hostSeam.touchFileSystem) {
        *file = reinterpret_cast<FileHandle>(static_cast<intptr_t>(-1) + 1 + 1000000);
        return 0;
    }
    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    *file = reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd) + 1);
    return 0;
}

SystemError WriteFileEntry(FileHandle file, const void* data, unsigned count) {
    if (!hostSeam.touchFileSystem)
        return 0;
    const char* p = static_cast<const char*>(data);
    while (count > 0) {
        ssize_t written = write(FileDescriptor(file), p, count);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return ENOSPC;
        p += written;
        count -= static_cast<unsigned>(written);
    }
    return 0;
}

SystemError CloseFileEntry(FileHandle file) {
    if (!hostSeam.touchFileSystem)
        return 0;
    return close(FileDescriptor(file)) == 0 ? 0 : errno;
}

void SetFileEntryTime(FileHandle file, unsigned long timeLow, unsigned long timeHigh) {
    if (!hostSeam.touchFileSystem)
        return;
    unsigned long long ticks = (static_cast<unsigned long long>(timeHigh) << 32) | timeLow;
    unsigned long long unixTicks = ticks - 116444736000000000ull;
    struct timespec times[2];
    times[0].tv_sec = static_cast<time_t>(unixTicks / 10000000);
    times[0].tv_nsec = static_cast<long>(unixTicks % 10000000 * 100);
    times[1] = times[0];
    futimens(FileDescriptor(file), times);
}

void SetEntryAttributes(const char* name, unsigned attributes) {
    if (!hostSeam.touchFileSystem)
        return;
    struct stat info;
    if (stat(name, &info) != 0)
        return;
    bool readOnly = attributes & kAttributeReadOnly;
    if (S_ISDIR(info.st_mode)) {
        if (readOnly)
            hostSeam.readOnlyDirectories.push_back(name);
        return;
    }
    SetWritable(name, !readOnly);
}

int IsDiskFullError(SystemError error) {
    return error == ENOSPC;
}

unsigned HostOpenPackage(const unsigned char* file, size_t size) {
    if (size > 0xFFFFFFFFull)
        return ReportError(IDS_CAPTION, IDS_MAX_SIZE, 0);
    const u8* cursor = file;
    u32 remaining = static_cast<u32>(size);
    if (remaining >= 2 && file[0] == 'M' && file[1] == 'Z') {
        if (LocateImageEnd(file, remaining, &cursor, &remaining))
            return 1;
    }
    if (ParseGzipHeader(&cursor, &remaining))
        return 1;
    return OpenStream(cursor, remaining);
}
