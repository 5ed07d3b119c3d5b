#include "command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* line;
    const char* ownPath;
    LauncherAction action;
    const char* tempPath; // null: none given
};

const Case kCases[] = {
    {"install.exe", "install.exe", kActionExtract, nullptr},
    {"  \t\"C:\\Program Files\\pkg.exe\"", "C:\\Program Files\\pkg.exe", kActionExtract, nullptr},
    {"\"C:\\a b\\pkg.exe\"D:\\T", "C:\\a b\\pkg.exe", kActionExtract, "D:\\T"},
    {"pkg.exe D:\\T extra words", "pkg.exe", kActionExtract, "D:\\T"},
    {"pkg.exe D:\\T -h", "pkg.exe", kActionExtract, "D:\\T"},
    {"pkg.exe \t \"D:\\with space\\t\" more", "pkg.exe", kActionExtract, "D:\\with space\\t"},
    {"pkg.exe \"D:\\unterminated", "pkg.exe", kActionExtract, "D:\\unterminated"},
    {"pkg.exe \"-x\"", "pkg.exe", kActionExtract, "-x"},
    {"pkg.exe \"/tmp\"", "pkg.exe", kActionExtract, "/tmp"},
    {"pkg.exe \"\"", "pkg.exe", kActionExtract, ""},
    {"pkg.exe -?", "pkg.exe", kActionUsage, nullptr},
    {"pkg.exe /H", "pkg.exe", kActionUsage, nullptr},
    {"pkg.exe -help", "pkg.exe", kActionUsage, nullptr},
    {"pkg.exe -h D:\\T", "pkg.exe", kActionUsage, nullptr},
    {"pkg.exe -x", "pkg.exe", kActionBadSwitch, nullptr},
    {"pkg.exe /", "pkg.exe", kActionBadSwitch, nullptr},
    {"pkg.exe - h", "pkg.exe", kActionBadSwitch, nullptr},
    {"\"pkg.exe\"-h", "pkg.exe", kActionUsage, nullptr},
    {"", "", kActionExtract, nullptr},
    {"\"", "", kActionExtract, nullptr},
};

TEST(LauncherCommandLine, Cases) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.line);
        LauncherCommandLine r;
        ParseLauncherCommandLine(c.line, &r);
        EXPECT_STREQ(r.ownPath, c.ownPath);
        EXPECT_FALSE(r.ownPathTooLong);
        EXPECT_EQ(r.action, c.action);
        EXPECT_EQ(r.tempPathGiven, c.tempPath != nullptr);
        EXPECT_FALSE(r.tempPathTooLong);
        if (c.tempPath) {
            EXPECT_STREQ(r.tempPath, c.tempPath);
        }
    }
}

// 259 characters fit the 260-byte buffers; 260 do not, and the token is passed over whole.
TEST(LauncherCommandLine, LengthLimits) {
    for (bool quoted : {false, true}) {
        for (size_t length : {259u, 260u, 400u}) {
            SCOPED_TRACE(testing::Message() << "quoted " << quoted << " length " << length);
            std::string path(length, 'p');
            std::string token = quoted ? "\"" + path + "\"" : path;
            LauncherCommandLine r;
            ParseLauncherCommandLine((token + " " + token + " -h").c_str(), &r);
            bool fits = length < 260;
            EXPECT_EQ(r.ownPathTooLong, !fits);
            EXPECT_EQ(r.tempPathTooLong, !fits);
            EXPECT_EQ(r.action, kActionExtract);
            EXPECT_TRUE(r.tempPathGiven);
            EXPECT_EQ(std::string(r.ownPath), path.substr(0, 259));
            EXPECT_EQ(std::string(r.tempPath), path.substr(0, 259));
        }
    }
}

} // namespace
