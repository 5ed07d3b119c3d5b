// Packages for tests: a small PE image with a payload behind it, tar archives written field by
// field, and a run of the whole core (locator, header, stream, tar reader, trailer) over them.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "support.h"

// A PE32 image of headers (0x200 bytes) and two sections (0x200 and 0x400 bytes): its payload
// starts at 0x800.
inline Bytes MakeImage(unsigned sections = 2, uint32_t directories = 16) {
    Bytes image(0x800, 0);
    image[0] = 'M';
    image[1] = 'Z';
    const uint32_t pe = 0x80;
    auto put16 = [&](size_t at, uint32_t v) { image[at] = v & 0xFF, image[at + 1] = v >> 8; };
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            image[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(60, pe);
    put32(pe, 0x00004550);
    put16(pe + 4, 0x14C);
    put16(pe + 6, sections);
    put16(pe + 24, 0x10B);
    put32(pe + 24 + 60, 0x200);
    put32(pe + 24 + 92, directories);
    size_t table = pe + 120 + 8 * directories;
    const uint32_t sizes[2] = {0x200, 0x400};
    for (unsigned i = 0; i < sections && i < 2; ++i)
        put32(table + 40 * i + 16, sizes[i]);
    return image;
}

struct TarEntry {
    std::string name;
    char type = '0';
    Bytes data;
    uint32_t mode = 0644;
    uint32_t mtime = 1700000000;
    int checksumKind = 0;            // 0 unsigned sum, 1 signed sum, 2 eight spaces, 3 wrong
    uint32_t sizeField = UINT32_MAX; // overrides the size written in the header
};

inline void PutOctal(char* field, unsigned width, uint64_t value) {
    snprintf(field, width, "%0*llo", width - 1, static_cast<unsigned long long>(value));
}

inline Bytes TarHeader(const TarEntry& entry) {
    Bytes header(512, 0);
    char* h = reinterpret_cast<char*>(header.data());
    memcpy(h, entry.name.data(), std::min<size_t>(entry.name.size(), 100));
    PutOctal(h + 100, 8, entry.mode);
    PutOctal(h + 108, 8, 0);
    PutOctal(h + 116, 8, 0);
    PutOctal(h + 124, 12, entry.sizeField != UINT32_MAX ? entry.sizeField : entry.data.size());
    PutOctal(h + 136, 12, entry.mtime);
    h[156] = entry.type;
    memcpy(h + 257, "ustar  ", 8);
    memset(h + 148, ' ', 8);
    unsigned unsignedSum = 0;
    int signedSum = 0;
    for (int i = 0; i < 512; ++i) {
        unsignedSum += static_cast<uint8_t>(h[i]);
        signedSum += static_cast<signed char>(h[i]);
    }
    if (entry.checksumKind == 0)
        PutOctal(h + 148, 7, unsignedSum);
    else if (entry.checksumKind == 1)
        PutOctal(h + 148, 7, static_cast<unsigned>(signedSum));
    else if (entry.checksumKind == 3)
        PutOctal(h + 148, 7, unsignedSum + 1);
    return header;
}

inline Bytes MakeTar(const std::vector<TarEntry>& entries, bool endRecords = true) {
    Bytes tar;
    for (const TarEntry& entry : entries) {
        Bytes header = TarHeader(entry);
        tar.insert(tar.end(), header.begin(), header.end());
        tar.insert(tar.end(), entry.data.begin(), entry.data.end());
        tar.resize((tar.size() + 511) / 512 * 512, 0);
    }
    if (endRecords)
        tar.resize(tar.size() + 1024, 0);
    return tar;
}

inline TarEntry LongName(const std::string& name) {
    TarEntry entry;
    entry.name = "././@LongLink";
    entry.type = 'L';
    entry.data.assign(name.begin(), name.end());
    entry.data.push_back(0);
    return entry;
}

struct PackageRun {
    unsigned result = 1;
    std::vector<HostReport> reports;
    unsigned Message() const { return reports.size() == 1 ? reports[0].textId : 0; }
};

// Runs the core over a package (or a bare gzip member) in the current directory.
inline PackageRun RunPackage(const Bytes& package) {
    HostResetAll();
    std::unique_ptr<uint8_t[]> copy(new uint8_t[package.size() ? package.size() : 1]);
    std::copy(package.begin(), package.end(), copy.get());
    unsigned failed = HostOpenPackage(copy.get(), package.size());
    if (!failed)
        failed = ExtractTar();
    if (!failed)
        failed = FinishStream();
    HostFinishDirectories();
    // What a failed run leaves held (window, the current block's tables) goes with the process in
    // install.exe; here it goes now.
    FreeMemory(extraction.window);
    FreeHuffmanTable(extraction.litTable);
    FreeHuffmanTable(extraction.distTable);
    extraction.window = nullptr;
    extraction.litTable = extraction.distTable = nullptr;
    PackageRun run;
    run.result = failed;
    run.reports = hostSeam.reports;
    return run;
}

// A fresh directory under the system's temporary directory, made current for the test's life.
struct ScratchDirectory {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path path;
    ScratchDirectory() {
        char pattern[] = "/tmp/install-core-XXXXXX";
        path = mkdtemp(pattern);
        std::filesystem::current_path(path);
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(previous);
        std::error_code error;
        // Read-only entries are removable by their owner once the parent is writable.
        for (auto& entry : std::filesystem::recursive_directory_iterator(path, error))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path, error);
    }
};
