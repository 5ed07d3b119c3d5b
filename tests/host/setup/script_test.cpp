// ReadSection and the lists read when the script is loaded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script.h"
#include "setup_test_support.h"

namespace {

struct SectionCase {
    const char* what;
    std::string script;
    const char* section;
    int found;
    std::vector<std::string> lines;
};

TEST(ReadSection, Rules) {
    const std::string longLine(2000, 'x');
    const SectionCase cases[] = {
        {"plain section", "[CopyFiles]\r\na,b,1\r\nc,d,2\r\n", "CopyFiles", 1, {"a,b,1", "c,d,2"}},
        {"name without case", "[copyfiles]\na\n", "CopyFiles", 1, {"a"}},
        {"blanks inside the brackets", "[ CopyFiles]\na\n", "CopyFiles", 0, {}},
        {"missing section", "[Other]\na\n", "CopyFiles", 0, {}},
        {"empty script", "", "CopyFiles", 0, {}},
        {"unclosed bracket", "[CopyFiles\na\n", "CopyFiles", 0, {}},
        {"indented header is a line of the section",
         "[S]\na\n  [T]\nb\n[U]\nc\n",
         "S",
         1,
         {"a", "[T]", "b"}},
        {"indented header is still found as a header", "[S]\na\n  [T]\nb\n[U]\nc\n", "T", 1, {"b"}},
        {"a bracket in a line hides a header across lines", "[A]\nx[y\n[S]\nq\n", "S", 0, {}},
        {"text after the header is the first line", "[S] a\nb\n", "S", 1, {"a", "b"}},
        {"a comment after the header is dropped", "[S];c\nb\n", "S", 1, {"b"}},
        {"indented comment", "[S]\n   ;c\nb\n", "S", 1, {"b"}},
        {"tab then semicolon is a line", "[S]\n\t;c\n", "S", 1, {"\t;c"}},
        {"tabs are not dropped", "[S]\n \ta\n", "S", 1, {"\ta"}},
        {"CR, LF, CR LF and blank lines",
         "[S]\r\na\rb\nc\r\n\r\n\n\rd",
         "S",
         1,
         {"a", "b", "c", "d"}},
        {"trailing spaces stay", "[S]\na,b,c \n", "S", 1, {"a,b,c "}},
        {"a later section of the same name is ignored", "[S]\na\n[S]\nb\n", "S", 1, {"a"}},
        {"last line without a break", "[S]\na", "S", 1, {"a"}},
        {"header followed by a header", "[S][T]\na\n", "S", 1, {}},
        {"header at the end of the text", "x\n[S]", "S", 1, {}},
        {"a header at the start of a line ends the section", "[S]\na\n[T]\nb\n", "S", 1, {"a"}},
        {"an empty section does not take the next one", "[S]\r\n\r\n[T]\r\nb\r\n", "S", 1, {}},
        {"commas, quotes and brackets are plain text", "[S]\n\"a\",b]c\n", "S", 1, {"\"a\",b]c"}},
        {"a header span of 1024 characters or more is no match",
         "[" + std::string(1500, 'S') + "]\na\n[S]\nb\n",
         "S",
         1,
         {"b"}},
        {"lines of any length are kept whole",
         "[S]\n" + longLine + "\nb\n",
         "S",
         1,
         {longLine, "b"}},
    };
    for (const SectionCase& c : cases) {
        SCOPED_TRACE(c.what);
        ResetSetupState();
        SetScript(c.script);
        std::vector<char> list(kListCapacity, '\x5a');
        EXPECT_EQ(ReadSection(c.section, list.data(), kListCapacity), c.found);
        EXPECT_EQ(ListLines(list.data()), c.lines);
    }
}

TEST(ReadSection, FullScriptKeepsEveryLine) {
    ResetSetupState();
    // The densest list a full script can give: one-character lines.
    std::string script = "[S]\n";
    size_t count = 0;
    while (script.size() + 3 <= kTextFileCapacity) {
        script += "a\n";
        ++count;
    }
    script += "b"; // the last line needs no break
    ++count;
    script.resize(kTextFileCapacity, '\n');
    SetScript(script);
    ReadSection("S", g_setup.CopyFilesList, sizeof g_setup.CopyFilesList);
    std::vector<std::string> lines = ListLines(g_setup.CopyFilesList);
    EXPECT_EQ(lines.size(), count);
    EXPECT_EQ(lines.back(), "b");
}

TEST(ReadSection, SmallCapacityIsBounded) {
    ResetSetupState();
    SetScript("[S]\nabc\ndef\nghi\n");
    // Room for "abc", "def" and the final NUL only; the buffer's guard bytes must stay untouched.
    std::vector<char> buffer(9 + 4, '\x5a');
    EXPECT_EQ(ReadSection("S", buffer.data(), 9), 1);
    EXPECT_EQ(ListLines(buffer.data()), (std::vector<std::string>{"abc", "def"}));
    for (size_t i = 9; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], '\x5a');
}

TEST(LoadLists, DirectoriesAndShortcutKinds) {
    ResetSetupState();
    SetScript(kExampleScript);
    ReadDirsList();
    ScanShortcutKinds();
    EXPECT_EQ(ListLines(g_setup.DirsList),
              (std::vector<std::string>{"%1", "%1\\packers", "%1\\remove", "%7\\Orvendel"}));
    EXPECT_EQ(ListLines(g_setup.ShortcutsList).size(), 4u);
    EXPECT_EQ(g_setup.HasDesktopShortcuts, 1);
    EXPECT_EQ(g_setup.HasStartMenuShortcuts, 1);
    EXPECT_EQ(g_setup.HasGroupShortcuts, 1);
}

TEST(LoadLists, ShortcutKindFlags) {
    struct Case {
        const char* shortcuts;
        int desktop, startMenu, group;
    } cases[] = {
        {"%1\\a.exe,%5\\a.lnk,A\n%1\\b.exe,%5\\b.lnk,B\n", 1, 0, 0},
        {"%1\\a.exe,%1\\a.lnk,A\n%2\\b.exe,c:\\b.lnk,B\n", 0, 0, 0},
        {"%1\\a.exe,%7\\G\\a.lnk,A\n", 0, 0, 1},
        {"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shortcuts);
        ResetSetupState();
        g_setup.HasDesktopShortcuts = g_setup.HasStartMenuShortcuts = g_setup.HasGroupShortcuts = 1;
        SetScript(std::string("[CreateShortcuts]\n") + c.shortcuts);
        ScanShortcutKinds();
        EXPECT_EQ(g_setup.HasDesktopShortcuts, c.desktop);
        EXPECT_EQ(g_setup.HasStartMenuShortcuts, c.startMenu);
        EXPECT_EQ(g_setup.HasGroupShortcuts, c.group);
    }
}

} // namespace
