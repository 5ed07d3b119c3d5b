// Stands in for Setup.exe inside test packages. It writes what it sees to the file named by
// SETUP_PROBE_REPORT: its current directory, its command line, and every entry below the current
// directory with type, size, attributes, the three times and a hash of the bytes. Then it exits
// with the code in SETUP_PROBE_EXIT (0 when unset). With SETUP_PROBE_LITTER set it first leaves
// protected entries in its directory, as a real setup might.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

FILE* report;

unsigned long long Fnv1a(const std::string& path) {
    unsigned long long h = 1469598103934665603ull;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    static unsigned char buffer[65536];
    DWORD got;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got) {
        for (DWORD i = 0; i < got; ++i)
            h = (h ^ buffer[i]) * 1099511628211ull;
    }
    CloseHandle(f);
    return h;
}

unsigned long long Ticks(const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

void Walk(const std::string& relative) {
    WIN32_FIND_DATAA entry;
    std::string pattern = (relative.empty() ? std::string() : relative + "\\") + "*";
    HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = relative.empty() ? name : relative + "\\" + name;
        bool directory = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        fprintf(report, "%c %s|%lu|%04lx|%llu|%llu|%llu|%016llx\n", directory ? 'D' : 'F',
                path.c_str(), entry.nFileSizeLow, entry.dwFileAttributes,
                Ticks(entry.ftCreationTime), Ticks(entry.ftLastAccessTime),
                Ticks(entry.ftLastWriteTime), directory ? 0ull : Fnv1a(path));
        if (directory)
            Walk(path);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

} // namespace

// Leaves entries behind that cannot be deleted as they are: read-only, hidden and system files, and
// a read-only directory holding one of them.
void Litter() {
    CreateDirectoryA("litter", nullptr);
    CreateDirectoryA("litter\\deep", nullptr);
    const char* files[] = {"litter\\deep\\locked.txt", "hidden.txt", "system.txt"};
    const DWORD attributes[] = {
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_SYSTEM};
    for (int i = 0; i < 3; ++i) {
        FILE* f = fopen(files[i], "w");
        if (f) {
            fputs("litter", f);
            fclose(f);
        }
        SetFileAttributesA(files[i], attributes[i]);
    }
    SetFileAttributesA("litter\\deep", FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA("litter", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
}

int main() {
    if (getenv("SETUP_PROBE_LITTER"))
        Litter();
    const char* out = getenv("SETUP_PROBE_REPORT");
    if (out && (report = fopen(out, "w")) != nullptr) {
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        fprintf(report, "CWD %s\nCMDLINE %s\n", cwd, GetCommandLineA());
        Walk("");
        fclose(report);
    }
    const char* code = getenv("SETUP_PROBE_EXIT");
    ExitProcess(code ? strtoul(code, nullptr, 10) : 0);
}
