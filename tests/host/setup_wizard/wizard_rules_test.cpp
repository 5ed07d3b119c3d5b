// Destination roots and trimming, the free-space message's numbers, the finish launches' quoting
// and the backdrop's band colours.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "wizard_rules.h"

namespace {

std::string Root(const std::string& dir, size_t capacity = kPathBytes) {
    std::vector<char> out(capacity + 8, '#');
    VolumeRootOf(out.data(), capacity, dir.c_str());
    return out.data();
}

TEST(VolumeRootOf, Table) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Orvendel", "C:\\"},
        {"d:\\", "d:\\"},
        {"E:", "E:\\"},
        {"relative\\dir", "r:\\"}, // measured at the drive named by its first letter
        {"", ""},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\server\\share\\", "\\\\server\\share\\"},
        {"\\\\server\\share\\apps\\Orvendel", "\\\\server\\share\\"},
        {"\\\\server", "\\\\server\\"}, // no share: a root the platform cannot measure
        {"\\\\", "\\\\\\"},
        {"\\single", "\\:\\"},
    };
    for (const auto& [dir, want] : cases)
        EXPECT_EQ(Root(dir), want) << dir;
}

TEST(VolumeRootOf, NeverOverrunsItsBuffer) {
    std::string server = "\\\\" + std::string(258, 's'); // 260 characters, no share
    EXPECT_EQ(Root(server), "");
    std::string fits = "\\\\" + std::string(256, 's'); // root of 259 characters
    EXPECT_EQ(Root(fits), fits + "\\");
    EXPECT_EQ(Root("C:\\x", 3), "");
}

TEST(TrimDestination, Table) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Orvendel\\", "C:\\Orvendel"},
        {"C:\\Orvendel\\\\", "C:\\Orvendel"},
        {"C:\\Orvendel", "C:\\Orvendel"},
        {"C:\\", "C:\\"},
        {"C:\\\\", "C:\\"},
        {"C:", "C:"},
        {"\\\\server\\share\\", "\\\\server\\share"},
        {"\\\\", "\\\\"},
        {"\\", "\\"},
        {"", ""},
        {"dir\\", "dir"},
    };
    for (const auto& [in, want] : cases) {
        char buf[kPathBytes];
        std::snprintf(buf, sizeof buf, "%s", in);
        TrimDestination(buf);
        EXPECT_STREQ(buf, want) << in;
    }
}

TEST(UnsignedNumberFormat, Message1029ShowsTrueNumbers) {
    const char* text = "There is not enought space on disk %s\n\nspace required: %ld bytes\n"
                       "space available:%ld bytes\n\nPlease free up some disk space.";
    char format[1024];
    UnsignedNumberFormat(format, sizeof format, text);
    char out[1024];
    std::snprintf(out, sizeof out, format, "Q:\\", 3000000000UL, 2500000000UL);
    EXPECT_STREQ(out, "There is not enought space on disk Q:\\\n\nspace required: 3000000000 "
                      "bytes\nspace available:2500000000 bytes\n\nPlease free up some disk "
                      "space.");
}

TEST(UnsignedNumberFormat, OtherDirectivesAndBounds) {
    char out[64];
    UnsignedNumberFormat(out, sizeof out, "%s %%ld %ld %d %l");
    EXPECT_STREQ(out, "%s %%ld %lu %d %l");
    char tiny[5];
    UnsignedNumberFormat(tiny, sizeof tiny, "ab%ld");
    EXPECT_STREQ(tiny, "ab%l"); // cut, never overrun, never a half-changed directive
}

TEST(QuoteProgramPath, Table) {
    struct Case {
        const char* command;
        bool exists;
        const char* want;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Orvendel\\quillard.exe", true,
         "\"C:\\Program Files\\Orvendel\\quillard.exe\""},
        {"C:\\Program Files\\Orvendel\\quillard.exe", false,
         "C:\\Program Files\\Orvendel\\quillard.exe"}, // a command line with arguments
        {"C:\\Orvendel\\quillard.exe", true, "C:\\Orvendel\\quillard.exe"},
        {"\"C:\\Program Files\\q.exe\" -x", false, "\"C:\\Program Files\\q.exe\" -x"},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        char out[kPathBytes + 2];
        ASSERT_TRUE(QuoteProgramPath(out, sizeof out, c.command, c.exists)) << c.command;
        EXPECT_STREQ(out, c.want);
    }
}

TEST(QuoteProgramPath, LongestPathStillFits) {
    std::string path = "C:\\" + std::string(250, 'a') + " b.exe"; // 259 characters
    ASSERT_EQ(path.size(), 259u);
    char out[kPathBytes + 2];
    ASSERT_TRUE(QuoteProgramPath(out, sizeof out, path.c_str(), true));
    EXPECT_EQ(std::string(out), "\"" + path + "\"");
    EXPECT_FALSE(QuoteProgramPath(out, kPathBytes, path.c_str(), true));
}

TEST(FormatNotepadCommand, QuotedAndBounded) {
    char out[kPathBytes + 16];
    ASSERT_TRUE(FormatNotepadCommand(out, sizeof out, "C:\\Program Files\\Orvendel\\readme.txt"));
    EXPECT_STREQ(out, "notepad.exe \"C:\\Program Files\\Orvendel\\readme.txt\"");
    std::string longest(259, 'r');
    ASSERT_TRUE(FormatNotepadCommand(out, sizeof out, longest.c_str()));
    EXPECT_EQ(std::string(out).size(), 12u + 2 + 259);
    char small[20];
    EXPECT_FALSE(FormatNotepadCommand(small, sizeof small, "C:\\readme.txt"));
}

TEST(Backdrop, BandsAndColours) {
    EXPECT_EQ(BackdropBandCount(0), 0);
    EXPECT_EQ(BackdropBandCount(7), 0);
    EXPECT_EQ(BackdropBandCount(8), 1);
    EXPECT_EQ(BackdropBandCount(20), 3);
    EXPECT_EQ(BackdropBandCount(768), 96);
    EXPECT_EQ(BackdropBandCount(1024), 128);

    const int twenty[] = {255, 128, 0};
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(BackdropBandBlue(k, 20), twenty[k]) << k;

    const int head[] = {255, 253, 250}, tail[] = {8, 6, 3};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(BackdropBandBlue(k, 768), head[k]);
        EXPECT_EQ(BackdropBandBlue(93 + k, 768), tail[k]);
    }
}

} // namespace
