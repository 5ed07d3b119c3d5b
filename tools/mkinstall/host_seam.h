// Host (POSIX) implementation of install's platform seam, shared by mkinstall, the host tests, the
// fuzzers and the benchmark. Besides doing the work it records what the core reported, so that
// tests can check that every failure ends with exactly one message.
#pragma once

#include <string>
#include <vector>

#include "payload.h"

struct HostReport {
    unsigned captionId;
    unsigned textId;
    SystemError error;
};

struct HostSeam {
    bool printReports = false;         // write "caption: text[system text]" to stderr
    bool touchFileSystem = true;       // false: file operations succeed without doing anything
    long allocationsUntilFailure = -1; // counts down; the allocation at 0 fails (-1: never)
    std::vector<HostReport> reports;
    unsigned progressPosts = 0;
    unsigned filePosts = 0;
    long liveAllocations = 0;
    // Directories to make read-only once extraction is over: on Windows the attribute does not stop
    // files from being created inside, on POSIX it would.
    std::vector<std::string> readOnlyDirectories;
};

extern HostSeam hostSeam;

// Resets the extraction record and the seam's counters (keeps the options).
void HostResetAll();
// The text ReportError shows for a report: caption, ": ", text, then the system text.
std::string HostReportText(const HostReport& report);
// Applies the deferred read-only attributes of directories.
void HostFinishDirectories();
// Opens the stream over a package (image with the payload behind it) or a bare .tar.gz, through
// the launcher's own locator and header check. 0 when open; 1 after a reported message.
unsigned HostOpenPackage(const unsigned char* file, size_t size);
