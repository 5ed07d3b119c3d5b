// Tar extractor: entries, checks, names and failures, through the whole core and the host seam's
// real file operations in a scratch directory.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <fstream>

#include "package.h"

namespace fs = std::filesystem;

namespace {

Bytes Gzip(const Bytes& tar) {
    return ZlibCompress(tar, 6, 15, Z_DEFAULT_STRATEGY, true);
}

Bytes Package(const Bytes& tar) {
    Bytes package = MakeImage();
    Bytes member = Gzip(tar);
    package.insert(package.end(), member.begin(), member.end());
    return package;
}

TarEntry File(const std::string& name, const std::string& text, uint32_t mode = 0644) {
    TarEntry entry;
    entry.name = name;
    entry.data.assign(text.begin(), text.end());
    entry.mode = mode;
    return entry;
}

TarEntry Directory(const std::string& name, uint32_t mode = 0755) {
    TarEntry entry;
    entry.name = name;
    entry.type = '5';
    entry.mode = mode;
    return entry;
}

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Writable(const fs::path& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR);
}

time_t ModificationTime(const fs::path& path) {
    struct stat info;
    stat(path.c_str(), &info);
    return info.st_mtime;
}

TEST(Tar, FilesDirectoriesTimesAndReadOnly) {
    ScratchDirectory scratch;
    TarEntry empty = File("dir/empty", "", 0444);
    empty.mtime = 0;
    TarEntry big = File("dir/big.bin", "");
    big.data = MakeRandom(51201, 1);
    std::vector<TarEntry> entries = {Directory("dir/"),
                                     File("dir/a.txt", "hello\n"),
                                     File("/rooted.txt", "slashes passed over", 0444),
                                     empty,
                                     big,
                                     File("dir/sub/", ""), // regular-file entry ending in '/'
                                     Directory("ro///", 0555),
                                     File("ro/inside", "x")};
    PackageRun run = RunPackage(Package(MakeTar(entries)));
    ASSERT_EQ(run.result, 0u) << run.Message();
    EXPECT_EQ(Contents("dir/a.txt"), "hello\n");
    EXPECT_EQ(Contents("rooted.txt"), "slashes passed over");
    EXPECT_EQ(Contents("dir/empty"), "");
    EXPECT_EQ(Contents("dir/big.bin"), std::string(big.data.begin(), big.data.end()));
    EXPECT_TRUE(fs::is_directory("dir/sub"));
    EXPECT_TRUE(fs::is_directory("ro"));
    EXPECT_EQ(ModificationTime("dir/a.txt"), 1700000000);
    EXPECT_EQ(ModificationTime("dir/empty"), 0);
    EXPECT_TRUE(Writable("dir/a.txt"));
    EXPECT_FALSE(Writable("rooted.txt"));
    EXPECT_FALSE(Writable("dir/empty"));
    EXPECT_FALSE(Writable("ro"));
    EXPECT_TRUE(Writable("dir"));
    EXPECT_EQ(hostSeam.filePosts, 0u); // no dialog
    EXPECT_STREQ(extraction.currentFileName, "ro/inside");
    EXPECT_EQ(hostSeam.liveAllocations, 0);
}

TEST(Tar, EndsOfArchive) {
    struct Case {
        const char* name;
        Bytes tar;
    } cases[] = {
        {"first record zero", Bytes(1024, 0)},
        {"no end record, ends at a header", MakeTar({File("f", "data")}, false)},
        {"ends inside a header",
         [] {
             Bytes t = MakeTar({File("f", "data")}, false);
             t.resize(t.size() + 100, 'x');
             return t;
         }()},
        {"anything after the end record",
         [] {
             Bytes t = MakeTar({File("f", "data")});
             Bytes junk = MakeRandom(70000, 3);
             t.insert(t.end(), junk.begin(), junk.end());
             return t;
         }()},
        {"nothing at all", Bytes()},
    };
    for (const auto& c : cases) {
        ScratchDirectory scratch;
        PackageRun run = RunPackage(Package(c.tar));
        EXPECT_EQ(run.result, 0u) << c.name << " " << run.Message();
        EXPECT_TRUE(run.reports.empty()) << c.name;
    }
}

TEST(Tar, HeaderChecks) {
    TarEntry signedName = File("caf\xe9\xe9.txt", "signed");
    signedName.checksumKind = 1;
    TarEntry spaces = File("f", "x");
    spaces.checksumKind = 2;
    TarEntry wrong = File("f", "x");
    wrong.checksumKind = 3;
    struct Case {
        const char* name;
        std::vector<TarEntry> entries;
        unsigned message; // 0: extracts
    } cases[] = {
        {"signed checksum", {signedName}, 0},
        {"checksum of eight spaces", {spaces}, IDS_TAR_BAD_DATA},
        {"checksum matches neither sum", {wrong}, IDS_TAR_CHECKSUM},
        {"symbolic link",
         {[] {
             TarEntry e = File("link", "");
             e.type = '2';
             return e;
         }()},
         IDS_TAR_BAD_DATA},
        {"hard link",
         {[] {
             TarEntry e = File("link", "");
             e.type = '1';
             return e;
         }()},
         IDS_TAR_BAD_DATA},
        {"pax header",
         {[] {
             TarEntry e = File("pax", "12 a=b\n");
             e.type = 'x';
             return e;
         }()},
         IDS_TAR_BAD_DATA},
        {"existing directory", {Directory("d"), Directory("d")}, IDS_CREATE_DIR},
        {"file in a missing directory", {File("missing/f", "x")}, IDS_OPEN_FILE},
        {"data cut short",
         {[] {
             TarEntry e = File("f", "abc");
             e.sizeField = 5000;
             return e;
         }()},
         IDS_PREMATURE_END},
    };
    for (const auto& c : cases) {
        ScratchDirectory scratch;
        Bytes tar = MakeTar(c.entries, c.message != IDS_PREMATURE_END);
        PackageRun run = RunPackage(Package(tar));
        EXPECT_EQ(run.result, c.message ? 1u : 0u) << c.name;
        EXPECT_EQ(run.reports.size(), c.message ? 1u : 0u) << c.name;
        EXPECT_EQ(run.Message(), c.message) << c.name;
        if (c.message == IDS_CREATE_DIR || c.message == IDS_OPEN_FILE) {
            EXPECT_NE(run.reports[0].error, 0u) << c.name;
        }
        EXPECT_EQ(hostSeam.liveAllocations, 0) << c.name;
    }
    ScratchDirectory scratch;
    ASSERT_EQ(RunPackage(Package(MakeTar({signedName}))).result, 0u);
    EXPECT_EQ(Contents("caf\xe9\xe9.txt"), "signed");
}

TEST(Tar, OctalFields) {
    struct Case {
        const char* field;
        unsigned width;
        u32 value;
    } cases[] = {
        {"0000644\0", 8, 0644},
        {"    644 ", 8, 0644},
        {"     17\0", 8, 017},
        {"77777777", 8, 077777777},
        {"        ", 8, kOctalInvalid},
        {"\0       ", 8, 0},
        {"0000649\0", 8, kOctalInvalid},
        {"12345670123 ", 12, 012345670123u},
        {"37777777777\0", 12, kOctalInvalid}, // all 32 bits set counts as invalid
        {"-1\0     ", 8, kOctalInvalid},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseOctalField(c.width, c.field), c.value) << c.field;
}

TEST(Tar, FileTimeConversion) {
    u32 low, high;
    UnixTimeToFileTime(0, &low, &high);
    EXPECT_EQ(high, 0x019DB1DEu);
    EXPECT_EQ(low, 0xD53E8000u);
    for (u32 t : {1u, 1700000000u, 0x7FFFFFFFu, 0xFFFFFFFEu}) {
        UnixTimeToFileTime(t, &low, &high);
        unsigned long long expected = t * 10000000ull + 116444736000000000ull;
        EXPECT_EQ((static_cast<unsigned long long>(high) << 32) | low, expected) << t;
    }
}

TEST(Tar, LongNames) {
    ScratchDirectory scratch;
    std::string longDir(150, 'd');
    std::string longFile = longDir + "/" + std::string(120, 'f') + ".txt";
    std::vector<TarEntry> entries = {LongName("ignored-first"),
                                     LongName(longDir),
                                     Directory("x"),
                                     LongName(longFile),
                                     File("short", "long content"),
                                     File("after", "the long name is gone")};
    PackageRun run = RunPackage(Package(MakeTar(entries)));
    ASSERT_EQ(run.result, 0u) << run.Message();
    EXPECT_TRUE(fs::is_directory(longDir));
    EXPECT_FALSE(fs::exists("x"));
    EXPECT_EQ(Contents(longFile), "long content");
    EXPECT_EQ(Contents("after"), "the long name is gone");
    EXPECT_EQ(hostSeam.liveAllocations, 0);
}

TEST(Tar, UnsafeNamesAreRefusedBeforeAnythingIsCreated) {
    const char* names[] = {"../escape",
                           "a/../../escape",
                           "a\\..\\escape",
                           "..",
                           "a/..",
                           "\\rooted",
                           "///\\rooted",
                           "C:evil",
                           "c:/evil",
                           "file:stream",
                           "\\\\server\\share\\f",
                           "\\\\?\\C:\\f",
                           "CON",
                           "aux.txt",
                           "dir/nul",
                           "COM1",
                           "lpt9.log",
                           "Prn .txt",
                           "/",
                           "///",
                           ""};
    for (const char* name : names) {
        for (char type : {'0', '5'}) {
            ScratchDirectory scratch;
            TarEntry entry = File(name, "x");
            entry.type = type;
            PackageRun run = RunPackage(Package(MakeTar({entry})));
            EXPECT_EQ(run.Message(), IDS_TAR_BAD_DATA) << name << " " << type;
            EXPECT_TRUE(fs::is_empty(scratch.path)) << name;
        }
    }
    // Names that only look alike are fine.
    ScratchDirectory scratch;
    PackageRun run = RunPackage(Package(
        MakeTar({File("..hidden", "1"), File("a..b", "2"), File("console", "3"), File("COM10", "4"),
                 File("LPT0", "5"), File("nul_device", "6"), File("./dot", "7")})));
    EXPECT_EQ(run.result, 0u) << run.Message();
    EXPECT_EQ(Contents("a..b"), "2");
}

TEST(Tar, OversizedOrUnterminatedLongNames) {
    TarEntry zero = LongName("");
    zero.data.clear();
    TarEntry huge = LongName("x");
    huge.sizeField = 0x40000000; // a gigabyte announced by a tiny payload
    TarEntry limit = LongName(std::string(65537, 'n'));
    TarEntry unterminated = LongName("abc");
    unterminated.data.pop_back();
    for (const TarEntry& entry : {zero, huge, limit, unterminated}) {
        ScratchDirectory scratch;
        PackageRun run = RunPackage(Package(MakeTar({entry, File("f", "x")})));
        EXPECT_EQ(run.Message(), IDS_TAR_BAD_DATA) << entry.data.size();
        EXPECT_EQ(hostSeam.liveAllocations, 0);
        EXPECT_FALSE(fs::exists("f"));
    }
}

TEST(Tar, AllocationFailures) {
    for (long failAt : {2L, 3L}) { // window, then long name, then copy buffer
        ScratchDirectory scratch;
        Bytes package = Package(MakeTar({LongName("named"), File("f", "x")}));
        HostResetAll();
        PackageRun run;
        {
            // RunPackage resets the seam: set the countdown inside it through a fresh run.
            std::unique_ptr<uint8_t[]> copy(new uint8_t[package.size()]);
            std::copy(package.begin(), package.end(), copy.get());
            const u8* cursor = copy.get();
            u32 remaining = static_cast<u32>(package.size());
            ASSERT_EQ(LocateImageEnd(copy.get(), remaining, &cursor, &remaining), 0u);
            ASSERT_EQ(ParseGzipHeader(&cursor, &remaining), 0u);
            ASSERT_EQ(OpenStream(cursor, remaining), 0u);
            hostSeam.allocationsUntilFailure = failAt == 2 ? 0 : 1;
            EXPECT_EQ(ExtractTar(), 1u);
            hostSeam.allocationsUntilFailure = -1;
            FreeMemory(extraction.window);
            FreeHuffmanTable(extraction.litTable);
            FreeHuffmanTable(extraction.distTable);
            extraction.window = nullptr;
            extraction.litTable = extraction.distTable = nullptr;
        }
        ASSERT_EQ(hostSeam.reports.size(), 1u) << failAt;
        EXPECT_EQ(hostSeam.reports[0].textId, IDS_NO_MEMORY);
        EXPECT_EQ(hostSeam.liveAllocations, 0);
    }
}

TEST(Tar, FullDisk) {
    // A real full disk: a 64 KiB tmpfs. Needs the right to mount (root in CI).
    ScratchDirectory scratch;
    fs::create_directory("small");
    if (mount("tmpfs", "small", "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    fs::current_path("small");
    TarEntry big = File("big", "");
    big.data = MakeRandom(300000, 9);
    PackageRun run = RunPackage(Package(MakeTar({big})));
    fs::current_path(scratch.path);
    umount("small");
    ASSERT_EQ(run.reports.size(), 1u);
    EXPECT_EQ(run.Message(), IDS_DISK_FULL);
    EXPECT_EQ(run.reports[0].error, 0u);
}

} // namespace
