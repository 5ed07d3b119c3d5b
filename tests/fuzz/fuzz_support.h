// Shared by the fuzz targets: every run of the core over any input either succeeds without a
// message or fails with exactly one, and leaves nothing allocated once the stream's leftovers are
// released.
#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>

#include "host_seam.h"

inline void ReleaseLeftovers() {
    FreeMemory(extraction.window);
    FreeHuffmanTable(extraction.litTable);
    FreeHuffmanTable(extraction.distTable);
    extraction.window = nullptr;
    extraction.litTable = extraction.distTable = nullptr;
}

inline void CheckOneMessage(unsigned failed) {
    if (hostSeam.reports.size() != (failed ? 1u : 0u))
        abort();
    ReleaseLeftovers();
    if (hostSeam.liveAllocations != 0)
        abort();
}

inline void StartRun() {
    HostResetAll();
    hostSeam.touchFileSystem = false;
    hostSeam.printReports = false;
}
