// Payload locator arithmetic and gzip header checks, over exactly-sized buffers.
#include <gtest/gtest.h>

#include <fstream>

#include "package.h"

namespace {

struct HeaderRun {
    unsigned result;
    unsigned message;
    size_t consumed;
    u32 remaining;
};

HeaderRun ParseHeader(const Bytes& bytes) {
    HostResetAll();
    std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size() ? bytes.size() : 1]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    const u8* cursor = copy.get();
    u32 remaining = static_cast<u32>(bytes.size());
    HeaderRun run{};
    run.result = ParseGzipHeader(&cursor, &remaining);
    run.message = hostSeam.reports.empty() ? 0 : hostSeam.reports[0].textId;
    run.consumed = static_cast<size_t>(cursor - copy.get());
    run.remaining = remaining;
    EXPECT_LE(hostSeam.reports.size(), 1u);
    if (!hostSeam.reports.empty()) {
        EXPECT_EQ(hostSeam.reports[0].captionId, IDS_CAPTION_EXTRACT);
    }
    return run;
}

Bytes Fixed(uint8_t magic2, uint8_t method, uint8_t flags) {
    return Bytes{0x1F, magic2, method, flags, 0, 0, 0, 0, 0, 3};
}

TEST(GzipHeader, MagicMethodAndFlags) {
    struct Case {
        const char* name;
        Bytes header;
        unsigned message;
    } cases[] = {
        {"1F 8B", Fixed(0x8B, 8, 0), 0},
        {"1F 9E", Fixed(0x9E, 8, 0), 0},
        {"text flag", Fixed(0x8B, 8, 0x01), 0},
        {"bad magic", Fixed(0x8C, 8, 0), IDS_NOT_GZIP},
        {"method 7", Fixed(0x8B, 7, 0), IDS_BAD_METHOD},
        {"encrypted and multipart", Fixed(0x8B, 8, 0x22), IDS_ENCRYPTED},
        {"multipart and reserved", Fixed(0x8B, 8, 0x42), IDS_MULTIPART},
        {"reserved 0x40", Fixed(0x8B, 8, 0x41), IDS_UNKNOWN_FLAGS},
        {"reserved 0x80", Fixed(0x8B, 8, 0x80), IDS_UNKNOWN_FLAGS},
        {"nine bytes", Bytes{0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0}, IDS_NOT_GZIP},
        {"nothing", Bytes{}, IDS_NOT_GZIP},
    };
    for (const Case& c : cases) {
        Bytes bytes = c.header;
        if (c.message == 0)
            bytes.push_back(0xAB);
        HeaderRun run = ParseHeader(bytes);
        EXPECT_EQ(run.message, c.message) << c.name;
        EXPECT_EQ(run.result, c.message ? 1u : 0u) << c.name;
        if (c.message == 0) {
            EXPECT_EQ(run.consumed, 10u) << c.name;
            EXPECT_EQ(run.remaining, 1u) << c.name;
        }
    }
}

TEST(GzipHeader, OptionalFieldsAndCutsAtEveryLength) {
    Bytes header = Fixed(0x8B, 8, 0x04 | 0x08 | 0x10);
    header.insert(header.end(), {5, 0, 'e', 'x', 't', 'r', 'a'});
    const char name[] = "payload.tar";
    header.insert(header.end(), name, name + sizeof name);
    const char comment[] = "a comment";
    header.insert(header.end(), comment, comment + sizeof comment);
    Bytes whole = header;
    whole.insert(whole.end(), {0x01, 0x02, 0x03});
    HeaderRun run = ParseHeader(whole);
    EXPECT_EQ(run.result, 0u);
    EXPECT_EQ(run.consumed, header.size());
    EXPECT_EQ(run.remaining, 3u);
    // Cut anywhere inside the header: 2058, and nothing read beyond the buffer (ASan).
    for (size_t n = 0; n < header.size(); ++n) {
        HeaderRun cut = ParseHeader(Bytes(header.begin(), header.begin() + n));
        EXPECT_EQ(cut.message, IDS_NOT_GZIP) << n;
    }
    // An extra field longer than what follows.
    Bytes longExtra = Fixed(0x8B, 8, 0x04);
    longExtra.insert(longExtra.end(), {0xFF, 0xFF, 1, 2, 3});
    EXPECT_EQ(ParseHeader(longExtra).message, IDS_NOT_GZIP);
}

struct LocateRun {
    unsigned result;
    unsigned message;
    size_t offset;
    u32 remaining;
};

LocateRun Locate(const Bytes& file) {
    HostResetAll();
    std::unique_ptr<uint8_t[]> copy(new uint8_t[file.size() ? file.size() : 1]);
    std::copy(file.begin(), file.end(), copy.get());
    const u8* cursor = nullptr;
    u32 remaining = 0;
    LocateRun run{};
    run.result = LocateImageEnd(copy.get(), static_cast<u32>(file.size()), &cursor, &remaining);
    run.message = hostSeam.reports.empty() ? 0 : hostSeam.reports[0].textId;
    if (!hostSeam.reports.empty()) {
        EXPECT_EQ(hostSeam.reports[0].captionId, IDS_CAPTION);
    }
    run.offset = cursor ? static_cast<size_t>(cursor - copy.get()) : 0;
    run.remaining = remaining;
    return run;
}

TEST(PayloadLocator, ImageArithmetic) {
    Bytes image = MakeImage();
    Bytes package = image;
    package.insert(package.end(), 100, 0x1F);
    LocateRun run = Locate(package);
    EXPECT_EQ(run.result, 0u);
    EXPECT_EQ(run.offset, 0x800u);
    EXPECT_EQ(run.remaining, 100u);

    // Fewer data directories move the section table: the count decides, not SizeOfOptionalHeader.
    Bytes few = MakeImage(2, 2);
    EXPECT_EQ(Locate(few).offset, 0x800u);

    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
        unsigned message;
    } cases[] = {
        {"empty file", [](Bytes& b) { b.clear(); }, IDS_NO_MZ},
        {"one byte", [](Bytes& b) { b.resize(1); }, IDS_NO_MZ},
        {"no MZ", [](Bytes& b) { b[0] = 'Z'; }, IDS_NO_MZ},
        {"MZ alone", [](Bytes& b) { b.resize(2); }, IDS_NO_PE},
        {"e_lfanew beyond the file", [](Bytes& b) { b[63] = 0x7F; }, IDS_NO_PE},
        {"e_lfanew at the last bytes", [](Bytes& b) { b[60] = 0xFE, b[61] = 0x07; }, IDS_NO_PE},
        {"no PE signature", [](Bytes& b) { b[0x81] = 'X'; }, IDS_NO_PE},
        {"file ends in the optional header", [](Bytes& b) { b.resize(0x80 + 100); }, IDS_NO_PE},
        {"section table beyond the file", [](Bytes& b) { b[0x86] = 0xFF, b[0x87] = 0xFF; },
         IDS_NO_PE},
        {"huge directory count", [](Bytes& b) { b[0x80 + 24 + 92 + 3] = 0xFF; }, IDS_NO_PE},
    };
    for (const Case& c : cases) {
        Bytes damaged = package;
        c.damage(damaged);
        LocateRun bad = Locate(damaged);
        EXPECT_EQ(bad.result, 1u) << c.name;
        EXPECT_EQ(bad.message, c.message) << c.name;
    }

    // Section sizes reaching past the file: no payload (the header check then reports 2058).
    Bytes huge = package;
    huge[0x80 + 120 + 128 + 16 + 3] = 0x7F;
    LocateRun none = Locate(huge);
    EXPECT_EQ(none.result, 0u);
    EXPECT_EQ(none.remaining, 0u);
    EXPECT_EQ(ParseHeader(Bytes()).message, IDS_NOT_GZIP);
}

TEST(PayloadLocator, RealMinGWImage) {
    // A program the build made: its image ends where the file ends, so a payload appended to it
    // is found at the old file size.
    const char* root = getenv("KIT_BUILD_ROOT");
    std::string path = std::string(root ? root : "build") + "/win/bin/waitexec.exe";
    std::ifstream in(path, std::ios::binary);
    if (!in)
        GTEST_SKIP() << "no " << path;
    Bytes exe((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Bytes package = exe;
    package.insert(package.end(), 40, 0x1F);
    LocateRun run = Locate(package);
    EXPECT_EQ(run.result, 0u);
    EXPECT_EQ(run.offset, exe.size());
    EXPECT_EQ(run.remaining, 40u);
}

} // namespace
