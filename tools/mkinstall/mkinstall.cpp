// mkinstall: packs a folder into an install package, and lists or extracts packages with the
// launcher's own core (locator, decoder, stream, trailer check and tar reader).
#include <archive.h>
#include <archive_entry.h>
#include <libdeflate.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "host_seam.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] = "usage: mkinstall pack DIR -o PACKAGE.exe [--stub FILE] [--setup FILE] "
                      "[--level 0..12]\n"
                      "       mkinstall list PACKAGE\n"
                      "       mkinstall extract PACKAGE DIR\n";

int Usage() {
    fputs(kUsage, stderr);
    return 2;
}

int Fail(const std::string& text) {
    fprintf(stderr, "mkinstall: %s\n", text.c_str());
    return 1;
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>* data) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    data->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// ---- pack --------------------------------------------------------------------------------------

std::string ToolDirectory() {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

// The programs the build made: beside the tool in an installed kit, else in the build's win tree.
std::string DefaultProgram(const char* name) {
    fs::path tool = ToolDirectory();
    fs::path beside = tool / name;
    if (fs::exists(beside))
        return beside.string();
    return (tool / ".." / ".." / "win" / "bin" / name).lexically_normal().string();
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return tolower(static_cast<unsigned char>(x)) ==
                      tolower(static_cast<unsigned char>(y));
           });
}

struct TarWriter {
    archive* handle = nullptr;
    std::vector<unsigned char> bytes;
};

la_ssize_t AppendBytes(archive*, void* context, const void* data, size_t size) {
    auto* writer = static_cast<TarWriter*>(context);
    const auto* p = static_cast<const unsigned char*>(data);
    writer->bytes.insert(writer->bytes.end(), p, p + size);
    return static_cast<la_ssize_t>(size);
}

bool AddEntry(TarWriter& writer, const std::string& name, const fs::path& source, bool directory,
              std::string* error) {
    struct stat info;
    if (stat(source.c_str(), &info) != 0) {
        *error = source.string() + ": " + strerror(errno);
        return false;
    }
    std::vector<unsigned char> data;
    if (!directory && !ReadWholeFile(source.string(), &data)) {
        *error = source.string() + ": cannot read";
        return false;
    }
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, directory ? (name + "/").c_str() : name.c_str());
    archive_entry_set_filetype(entry, directory ? AE_IFDIR : AE_IFREG);
    archive_entry_set_perm(entry, info.st_mode & 07777);
    archive_entry_set_size(entry, directory ? 0 : static_cast<la_int64_t>(data.size()));
    archive_entry_set_mtime(entry, info.st_mtime, 0);
    archive_entry_set_uid(entry, 0);
    archive_entry_set_gid(entry, 0);
    bool ok = archive_write_header(writer.handle, entry) == ARCHIVE_OK;
    if (ok && !data.empty())
        ok = archive_write_data(writer.handle, data.data(), data.size()) ==
             static_cast<la_ssize_t>(data.size());
    if (!ok)
        *error = name + ": " + archive_error_string(writer.handle);
    archive_entry_free(entry);
    return ok;
}

int Pack(const std::string& directory, const std::string& output, std::string stub,
         std::string setup, int level) {
    if (!fs::is_directory(directory))
        return Fail(directory + " is not a directory");
    for (const char* required : {"setup.inf", "license.txt"}) {
        if (!fs::is_regular_file(fs::path(directory) / required))
            return Fail(directory + " has no " + required);
    }
    if (stub.empty())
        stub = DefaultProgram("install.exe");
    if (setup.empty())
        setup = DefaultProgram("setup.exe");

    // Sorted walk: the same folder always gives the same archive.
    std::vector<fs::path> paths;
    std::error_code walkError;
    for (auto it = fs::recursive_directory_iterator(directory, walkError);
         !walkError && it != fs::recursive_directory_iterator(); it.increment(walkError)) {
        if (it->is_directory() || it->is_regular_file())
            paths.push_back(it->path());
    }
    if (walkError)
        return Fail(directory + ": " + walkError.message());
    std::sort(paths.begin(), paths.end());

    bool hasSetup = false;
    for (const fs::path& path : paths) {
        if (path.parent_path() == fs::path(directory) &&
            EqualsIgnoringCase(path.filename().string(), "Setup.exe"))
            hasSetup = true;
    }

    TarWriter writer;
    writer.handle = archive_write_new();
    archive_write_set_format_gnutar(writer.handle);
    archive_write_set_bytes_in_last_block(writer.handle, 1);
    archive_write_open(writer.handle, &writer, nullptr, AppendBytes, nullptr);
    std::string error;
    bool ok = true;
    if (!hasSetup) {
        if (!fs::is_regular_file(setup))
            ok = false, error = "no Setup.exe in " + directory + " and no " + setup;
        else
            ok = AddEntry(writer, "Setup.exe", setup, false, &error);
    }
    for (const fs::path& path : paths) {
        if (!ok)
            break;
        std::string name = fs::relative(path, directory).generic_string();
        ok = AddEntry(writer, name, path, fs::is_directory(path), &error);
    }
    archive_write_close(writer.handle);
    archive_write_free(writer.handle);
    if (!ok)
        return Fail(error);

    std::vector<unsigned char> package;
    if (!ReadWholeFile(stub, &package))
        return Fail("cannot read the stub " + stub);
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(level);
    if (!compressor)
        return Fail("cannot make a compressor at level " + std::to_string(level));
    size_t bound = libdeflate_gzip_compress_bound(compressor, writer.bytes.size());
    size_t stubSize = package.size();
    package.resize(stubSize + bound);
    size_t size = libdeflate_gzip_compress(compressor, writer.bytes.data(), writer.bytes.size(),
                                           package.data() + stubSize, bound);
    libdeflate_free_compressor(compressor);
    if (size == 0)
        return Fail("compression failed");
    package.resize(stubSize + size);

    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(package.data()),
              static_cast<std::streamsize>(package.size()));
    out.close();
    if (!out)
        return Fail("cannot write " + output);
    chmod(output.c_str(), 0755);
    return 0;
}

// ---- list and extract --------------------------------------------------------------------------

int PrintEntry(const char* name, int directory, u32 size, u32 mode, u32 mtime) {
    printf("%c %u %04o %u %s\n", directory ? 'd' : 'f', size, mode & 07777, mtime, name);
    return 1;
}

int ReadPackage(const std::string& path, const char* directory) {
    hostSeam.printReports = true;
    std::vector<unsigned char> file;
    if (!ReadWholeFile(path, &file)) {
        ReportError(IDS_CAPTION, IDS_OPEN_ARCHIVE, errno ? errno : ENOENT);
        return 1;
    }
    HostResetAll();
    if (directory) {
        std::error_code error;
        fs::create_directories(directory, error);
        if (chdir(directory) != 0) {
            ReportError(IDS_CAPTION, IDS_CREATE_TEMP_DIR, errno);
            return 1;
        }
    } else {
        extraction.tarObserver = PrintEntry;
    }
    unsigned failed = HostOpenPackage(file.data(), file.size());
    if (!failed)
        failed = ExtractTar();
    if (!failed)
        failed = FinishStream();
    if (directory)
        HostFinishDirectories();
    fflush(stdout);
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    const std::string& command = args[0];
    if (command == "list") {
        if (args.size() != 2)
            return Usage();
        return ReadPackage(args[1], nullptr);
    }
    if (command == "extract") {
        if (args.size() != 3)
            return Usage();
        return ReadPackage(args[1], args[2].c_str());
    }
    if (command == "pack") {
        std::string directory, output, stub, setup;
        int level = 12; // every package carries this payload: the smallest is worth the time
        for (size_t i = 1; i < args.size(); ++i) {
            const std::string& arg = args[i];
            bool hasValue = i + 1 < args.size();
            if ((arg == "-o" || arg == "--stub" || arg == "--setup" || arg == "--level") &&
                !hasValue)
                return Usage();
            if (arg == "-o") {
                output = args[++i];
            } else if (arg == "--stub") {
                stub = args[++i];
            } else if (arg == "--setup") {
                setup = args[++i];
            } else if (arg == "--level") {
                const std::string& value = args[++i];
                char* end = nullptr;
                long parsed = strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != 0 || parsed < 0 || parsed > 12)
                    return Usage();
                level = static_cast<int>(parsed);
            } else if (directory.empty() && (arg.empty() || arg[0] != '-')) {
                directory = arg;
            } else {
                return Usage();
            }
        }
        if (directory.empty() || output.empty())
            return Usage();
        return Pack(directory, output, stub, setup, level);
    }
    return Usage();
}
