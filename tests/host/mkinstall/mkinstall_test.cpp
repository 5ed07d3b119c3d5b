// mkinstall against the tar programs: archives made by GNU tar (gnu, oldgnu, ustar) and bsdtar
// (gnutar, ustar), gzipped, extracted by mkinstall with the launcher's core, must give the same
// tree, bytes, times and read-only state as GNU tar's own extraction. Also pack, list and the exit
// codes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <utime.h>

#include <fstream>
#include <map>
#include <sstream>

#include "package.h"

namespace fs = std::filesystem;

namespace {

struct Command {
    int status;
    std::string out;
    std::string err;
};

Command Shell(const std::string& command) {
    char errPath[] = "/tmp/mkinstall-err-XXXXXX";
    int fd = mkstemp(errPath);
    close(fd);
    FILE* pipe = popen((command + " 2>" + errPath).c_str(), "r");
    Command result{};
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errPath);
    result.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    unlink(errPath);
    return result;
}

void WriteFile(const fs::path& path, const Bytes& data, time_t mtime, mode_t mode = 0644) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    chmod(path.c_str(), mode);
    struct utimbuf times {
        mtime, mtime
    };
    utime(path.c_str(), &times);
}

// A tree with the cases that matter: sizes around the record and chunk boundaries, empty and
// read-only files, a deep path, names with spaces; longNames adds names beyond 100 characters.
void MakeTree(const fs::path& root, bool longNames) {
    const size_t sizes[] = {0, 1, 511, 512, 513, 51199, 51200, 51201, 102400, 150000};
    unsigned seed = 1;
    for (size_t size : sizes) {
        Bytes data = seed % 2 ? MakeText(size, seed) : MakeRandom(size, seed);
        WriteFile(root / ("size-" + std::to_string(size) + ".bin"), data, 1600000000 + seed);
        ++seed;
    }
    WriteFile(root / "read only.txt", MakeText(100, 7), 1234567890, 0444);
    WriteFile(root / "setup.inf", MakeText(300, 8), 1500000000);
    WriteFile(root / "license.txt", MakeText(300, 9), 1500000001);
    fs::path deep = root;
    for (int i = 0; i < 12; ++i)
        deep /= "d" + std::to_string(i);
    WriteFile(deep / "leaf.txt", MakeText(50, 10), 1000000000);
    fs::create_directories(root / "empty dir");
    WriteFile(root / "locked" / "inside.txt", MakeText(40, 12), 1400000000);
    chmod((root / "locked").c_str(), 0555);
    if (longNames) {
        fs::path longDir = root / std::string(90, 'a') / std::string(80, 'b');
        WriteFile(longDir / (std::string(110, 'c') + ".txt"), MakeText(2000, 11), 1650000000);
    }
}

struct Node {
    char type;
    std::string data;
    time_t mtime;
    bool writable;
    bool operator==(const Node& o) const {
        return type == o.type && data == o.data && mtime == o.mtime && writable == o.writable;
    }
};

std::map<std::string, Node> Snapshot(const fs::path& root) {
    std::map<std::string, Node> nodes;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        struct stat info;
        lstat(it->path().c_str(), &info);
        Node node{};
        node.writable = info.st_mode & S_IWUSR;
        if (S_ISDIR(info.st_mode)) {
            node.type = 'd'; // directory times are not kept by the launcher
        } else {
            node.type = 'f';
            std::ifstream in(it->path(), std::ios::binary);
            node.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            node.mtime = info.st_mtime;
        }
        nodes[fs::relative(it->path(), root).string()] = node;
    }
    return nodes;
}

struct Scratch {
    fs::path path;
    Scratch() {
        char pattern[] = "/tmp/mkinstall-test-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~Scratch() { Shell("chmod -R u+w '" + path.string() + "' && rm -rf '" + path.string() + "'"); }
};

std::string Quote(const fs::path& path) {
    return "'" + path.string() + "'";
}

unsigned differentialCases = 0;

TEST(MkinstallExtract, SameTreeAsGnuTar) {
    struct Maker {
        const char* name;
        const char* create; // run in the source directory, archive to $OUT
        bool longNames;
    } makers[] = {
        {"gnu tar --format=gnu", "tar --format=gnu -cf \"$OUT\" *", true},
        {"gnu tar --format=oldgnu", "tar --format=oldgnu -cf \"$OUT\" *", true},
        {"gnu tar --format=ustar", "tar --format=ustar -cf \"$OUT\" *", false},
        {"bsdtar --format=gnutar", "bsdtar --format=gnutar -cf \"$OUT\" *", true},
        {"bsdtar --format=ustar", "bsdtar --format=ustar -cf \"$OUT\" *", false},
    };
    const char* compressors[] = {"gzip -9 -n", "gzip -1", "libdeflate-gzip -12 -c"};
    unsigned variant = 0;
    for (const Maker& maker : makers) {
        Scratch scratch;
        fs::path source = scratch.path / "source";
        MakeTree(source, maker.longNames);
        fs::path tar = scratch.path / "a.tar";
        Command made =
            Shell("cd " + Quote(source) + " && export OUT=" + Quote(tar) + " && " + maker.create);
        ASSERT_EQ(made.status, 0) << maker.name << made.err;
        std::string compressor = compressors[variant++ % 3];
        fs::path gz = scratch.path / "a.tar.gz";
        ASSERT_EQ(Shell(compressor + " < " + Quote(tar) + " > " + Quote(gz)).status, 0)
            << compressor;

        fs::path ours = scratch.path / "ours";
        fs::path theirs = scratch.path / "theirs";
        fs::create_directories(theirs);
        Command extracted =
            Shell(std::string(MKINSTALL_PATH) + " extract " + Quote(gz) + " " + Quote(ours));
        ASSERT_EQ(extracted.status, 0) << maker.name << " " << extracted.err;
        ASSERT_EQ(Shell("tar -xzf " + Quote(gz) + " -C " + Quote(theirs)).status, 0);
        auto a = Snapshot(ours);
        auto b = Snapshot(theirs);
        EXPECT_EQ(a.size(), b.size()) << maker.name;
        for (const auto& [name, node] : b) {
            auto found = a.find(name);
            ASSERT_NE(found, a.end()) << maker.name << ": " << name;
            EXPECT_TRUE(found->second == node) << maker.name << ": " << name;
        }
        ++differentialCases;
    }
    printf("tar differential cases: %u\n", differentialCases);
}

std::string StubPath(const fs::path& directory) {
    Bytes image = MakeImage();
    fs::path stub = directory / "stub.exe";
    WriteFile(stub, image, 0);
    return stub.string();
}

TEST(MkinstallPack, PackListExtract) {
    Scratch scratch;
    fs::path source = scratch.path / "app";
    MakeTree(source, true);
    std::string stub = StubPath(scratch.path);
    fs::path setup = scratch.path / "setup-program.exe";
    WriteFile(setup, MakeBinary(3000, 1), 1700000000);
    fs::path package = scratch.path / "out.exe";
    Command packed =
        Shell(std::string(MKINSTALL_PATH) + " pack " + Quote(source) + " -o " + Quote(package) +
              " --stub " + stub + " --setup " + Quote(setup) + " --level 6");
    ASSERT_EQ(packed.status, 0) << packed.err;

    Command listed = Shell(std::string(MKINSTALL_PATH) + " list " + Quote(package));
    ASSERT_EQ(listed.status, 0) << listed.err;
    std::istringstream lines(listed.out);
    std::string line;
    std::map<std::string, std::string> byName;
    while (std::getline(lines, line)) {
        std::string name =
            line.substr(line.find(' ', line.find(' ', line.find(' ', 2) + 1) + 1) + 1);
        byName[name] = line;
    }
    EXPECT_EQ(byName["Setup.exe"], "f 3000 0644 1700000000 Setup.exe");
    EXPECT_EQ(byName["read only.txt"], "f 100 0444 1234567890 read only.txt");
    EXPECT_EQ(byName["size-51201.bin"].substr(0, 20), "f 51201 0644 1600000");
    ASSERT_TRUE(byName.count("empty dir"));
    EXPECT_EQ(byName["empty dir"][0], 'd');
    EXPECT_EQ(byName.size(), 1 + Snapshot(source).size());

    fs::path out = scratch.path / "extracted";
    Command extracted =
        Shell(std::string(MKINSTALL_PATH) + " extract " + Quote(package) + " " + Quote(out));
    ASSERT_EQ(extracted.status, 0) << extracted.err;
    auto a = Snapshot(out);
    auto b = Snapshot(source);
    ASSERT_TRUE(a.count("Setup.exe"));
    a.erase("Setup.exe");
    EXPECT_TRUE(a == b);
}

TEST(MkinstallPack, RefusalsAndExitCodes) {
    Scratch scratch;
    std::string tool = MKINSTALL_PATH;
    std::string stub = StubPath(scratch.path);
    fs::path app = scratch.path / "app";
    WriteFile(app / "license.txt", MakeText(10, 1), 0);
    Command noInf = Shell(tool + " pack " + Quote(app) + " -o " + Quote(scratch.path / "p.exe") +
                          " --stub " + stub);
    EXPECT_EQ(noInf.status, 1);
    EXPECT_NE(noInf.err.find("setup.inf"), std::string::npos) << noInf.err;
    fs::remove(app / "license.txt");
    WriteFile(app / "setup.inf", MakeText(10, 1), 0);
    Command noLicense = Shell(tool + " pack " + Quote(app) + " -o " +
                              Quote(scratch.path / "p.exe") + " --stub " + stub);
    EXPECT_EQ(noLicense.status, 1);
    EXPECT_NE(noLicense.err.find("license.txt"), std::string::npos) << noLicense.err;

    for (const char* usage : {"", "pack", "list", "extract x", "frobnicate", "pack d -o",
                              "pack d -o p --level 13", "list a b"})
        EXPECT_EQ(Shell(tool + " " + usage).status, 2) << usage;

    // A package whose CRC is wrong: the launcher's caption and text on standard error.
    WriteFile(app / "license.txt", MakeText(10, 1), 0);
    fs::path setupExe = app / "Setup.exe";
    WriteFile(setupExe, MakeBinary(100, 2), 0);
    fs::path package = scratch.path / "p.exe";
    ASSERT_EQ(
        Shell(tool + " pack " + Quote(app) + " -o " + Quote(package) + " --stub " + stub).status,
        0);
    std::fstream file(package, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(-8, std::ios::end);
    file.put('\x55');
    file.close();
    Command corrupt = Shell(tool + " list " + Quote(package));
    EXPECT_EQ(corrupt.status, 1);
    EXPECT_EQ(corrupt.err, "Error extracting archive: Archive corrupted, CRC error.\n");
    Command missing = Shell(tool + " extract " + Quote(scratch.path / "nope.exe") + " " +
                            Quote(scratch.path / "x"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("Self-extracting archive: Error opening archive file: ", 0), 0u)
        << missing.err;
}

} // namespace
