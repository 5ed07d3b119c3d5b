// Damaged packages: cut at every byte, or with any single bit flipped, a small package never
// crashes, hangs or reads outside its bytes (ASan), and every failure ends with exactly one
// message.
#include <gtest/gtest.h>

#include "package.h"

namespace {

Bytes SmallPackage() {
    std::vector<TarEntry> entries;
    TarEntry dir;
    dir.name = "docs/";
    dir.type = '5';
    entries.push_back(dir);
    TarEntry text;
    text.name = "docs/readme.txt";
    Bytes words = MakeText(700, 4);
    text.data = words;
    entries.push_back(text);
    TarEntry binary;
    binary.name = "Setup.exe";
    binary.data = MakeBinary(600, 5);
    entries.push_back(binary);
    entries.push_back(LongName(std::string(120, 'L')));
    TarEntry last;
    last.name = "x";
    last.data = {'e', 'n', 'd'};
    entries.push_back(last);
    Bytes package = MakeImage();
    Bytes member = ZlibCompress(MakeTar(entries), 9, 15, Z_DEFAULT_STRATEGY, true);
    package.insert(package.end(), member.begin(), member.end());
    return package;
}

struct DryRun {
    DryRun() { hostSeam.touchFileSystem = false; }
    ~DryRun() { hostSeam.touchFileSystem = true; }
};

TEST(Damaged, IntactPackageExtracts) {
    DryRun dry;
    PackageRun run = RunPackage(SmallPackage());
    EXPECT_EQ(run.result, 0u);
    EXPECT_TRUE(run.reports.empty());
}

TEST(Damaged, TruncatedAtEveryByte) {
    DryRun dry;
    Bytes package = SmallPackage();
    for (size_t n = 0; n < package.size(); ++n) {
        PackageRun run = RunPackage(Bytes(package.begin(), package.begin() + n));
        ASSERT_EQ(run.result, 1u) << n;
        ASSERT_EQ(run.reports.size(), 1u) << n;
        ASSERT_EQ(hostSeam.liveAllocations, 0) << n;
    }
}

TEST(Damaged, EverySingleBitFlipped) {
    DryRun dry;
    Bytes package = SmallPackage();
    unsigned failures = 0;
    for (size_t i = 0; i < package.size(); ++i) {
        if (i >= 0x180 && i < 0x800)
            continue; // section bytes: nothing reads them
        for (int bit = 0; bit < 8; ++bit) {
            Bytes damaged = package;
            damaged[i] ^= static_cast<uint8_t>(1u << bit);
            PackageRun run = RunPackage(damaged);
            ASSERT_EQ(run.reports.size(), run.result ? 1u : 0u) << i << " bit " << bit;
            ASSERT_EQ(hostSeam.liveAllocations, 0) << i << " bit " << bit;
            failures += run.result;
        }
    }
    // Nearly every flip in the compressed data is caught, by the decoder or by the CRC.
    EXPECT_GT(failures, (package.size() - 0x800) * 8 * 9 / 10);
}

} // namespace
