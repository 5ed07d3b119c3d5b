#include <gtest/gtest.h>

#include <string>

#include "command_line.h"

namespace {

struct Case {
    const char* line;
    uint32_t base;
    bool help;
    bool exitNow;
    uint32_t exitCode;
    const char* command;
};

// One row per behaviour of the scan; "prog" stands for waitexec's own name.
const Case kCases[] = {
    {"prog", 10000, true, true, 10001, ""},
    {"  \"C:\\Program Files\\waitexec.exe\"", 10000, true, true, 10001, ""},
    {"\"C:\\a b\\waitexec.exe\" child.exe 1", 10000, false, false, 0, "child.exe 1"},
    {"\"unterminated name", 10000, true, true, 10001, ""},
    {"prog child.exe -c5 \"q\"  ", 10000, false, false, 0, "child.exe -c5 \"q\"  "},
    {"prog\t\tchild.exe", 10000, false, false, 0, "child.exe"},
    {"prog -h child.exe", 10000, true, true, 10001, "child.exe"},
    {"prog /? child.exe", 10000, true, true, 10001, "child.exe"},
    {"prog -H", 10000, true, true, 10001, ""},
    {"prog -hfoo", 10000, true, true, 10001, "foo"},
    {"prog -c5", 5, true, true, 6, ""},
    {"prog /c5 child.exe", 5, false, false, 0, "child.exe"},
    {"prog -c5\tchild.exe", 5, false, false, 0, "child.exe"},
    {"prog -c child.exe", 10000, true, true, 10001, "child.exe"},
    {"prog -cx child.exe", 10000, true, true, 10001, "x child.exe"},
    {"prog -c12x child.exe", 12, true, true, 13, "x child.exe"},
    {"prog -c5 -c7 child.exe", 7, false, false, 0, "child.exe"},
    {"prog -c4294967295 child.exe", 4294967295u, false, false, 0, "child.exe"},
    {"prog -c4294967296 child.exe", 0, false, false, 0, "child.exe"},
    {"prog -c4294967295", 4294967295u, true, true, 0, ""},
    {"prog -x child.exe", 10000, false, true, 10000, ""},
    {"prog -C5 child.exe", 10000, false, true, 10000, ""},
    {"prog -h -x child.exe", 10000, false, true, 10000, ""},
    {"prog -c9 -x child.exe", 9, false, true, 9, ""},
    {"prog -", 10000, false, true, 10000, ""},
    {"prog /", 10000, false, true, 10000, ""},
};

TEST(WaitExecCommandLine, Table) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.line);
        RelayRequest r;
        ScanCommandLine(c.line, &r);
        EXPECT_EQ(r.base, c.base);
        EXPECT_EQ(r.help, c.help);
        EXPECT_EQ(r.exitNow, c.exitNow);
        if (c.exitNow)
            EXPECT_EQ(r.exitCode, c.exitCode);
        if (!c.exitNow || c.help)
            EXPECT_STREQ(r.command, c.command);
    }
}

// The buffer holds 1000 characters; a longer command is refused as a help request, never cut.
TEST(WaitExecCommandLine, CommandLengthLimit) {
    RelayRequest r;
    std::string fits = "prog " + std::string(1000, 'a');
    ScanCommandLine(fits.c_str(), &r);
    EXPECT_FALSE(r.help);
    EXPECT_EQ(std::string(r.command), std::string(1000, 'a'));

    std::string tooLong = "prog -c7 " + std::string(1001, 'a');
    ScanCommandLine(tooLong.c_str(), &r);
    EXPECT_TRUE(r.help);
    EXPECT_TRUE(r.exitNow);
    EXPECT_EQ(r.exitCode, 8u);
    EXPECT_STREQ(r.command, "");
}

TEST(WaitExecCommandLine, HelpTextBytes) {
    std::string text(kHelpText, kHelpTextLength);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.substr(0, 29), "WAITEXEC: Spawn for Orvendel\n");
    EXPECT_EQ(text.substr(text.size() - 3), ">\n\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8);
}

} // namespace
