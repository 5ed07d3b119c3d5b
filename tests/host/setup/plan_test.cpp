// Field splitting, the copy plan and registry root names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plan.h"
#include "setup_test_support.h"

namespace {

using Lines = std::vector<std::string>;

TEST(CopyPlan, ExampleScript) {
    ResetSetupState();
    SetScript(kExampleScript);
    BuildCopyPlan();
    EXPECT_EQ(g_setup.CopyCount, 5);
    EXPECT_EQ(g_setup.SpaceRequired, 661414u);
    EXPECT_EQ(ListLines(g_setup.CopySources),
              (Lines{"%0\\setup.inf", "%0\\readme.txt", "%0\\quillard.exe",
                     "%0\\packers\\waitexec.exe", "%0\\remove\\remove.exe"}));
    EXPECT_EQ(ListLines(g_setup.CopyTargets),
              (Lines{"%1\\setup.inf", "%1\\readme.txt", "%1\\quillard.exe",
                     "%1\\packers\\waitexec.exe", "%1\\remove\\remove.exe"}));
}

TEST(CopyPlan, Cases) {
    const struct {
        const char* what;
        const char* script;
        int32_t count;
        uint32_t space;
        Lines sources, targets;
    } cases[] = {
        {"no section", "[Other]\na\n", 0, 10000, {}, {}},
        {"empty section", "[CopyFiles]\n[Other]\n", 0, 10000, {}, {}},
        {"size missing, empty or no number",
         "[CopyFiles]\na,b\nc,d,\ne,f,x12\ng,h, 5\n",
         4,
         10000 + 4 * 4096,
         {"a", "c", "e", "g"},
         {"b", "d", "f", "h"}},
        {"digits before text count",
         "[CopyFiles]\na,b,12abc\n",
         1,
         10000 + 4096 + 12,
         {"a"},
         {"b"}},
        {"a negative size subtracts",
         "[CopyFiles]\na,b,-5000\n",
         1,
         10000 + 4096 - 5000,
         {"a"},
         {"b"}},
        {"a blank after a comma belongs to the field",
         "[CopyFiles]\na, b,1\n",
         1,
         10000 + 4096 + 1,
         {"a"},
         {" b"}},
        // An empty target ends its StringList when read as a list; the run walks it by CopyCount.
        {"line with one field", "[CopyFiles]\nonly\n", 1, 10000 + 4096, {"only"}, {}},
        {"text after the size is ignored",
         "[CopyFiles]\na,b,7,more,x\n",
         1,
         10000 + 4096 + 7,
         {"a"},
         {"b"}},
        {"32-bit wrap",
         "[CopyFiles]\na,b,4294967295\nc,d,4294967295\n",
         2,
         10000u + 2 * 4096u - 2u,
         {"a", "c"},
         {"b", "d"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetSetupState();
        g_setup.CopyCount = 99;
        SetScript(c.script);
        BuildCopyPlan();
        EXPECT_EQ(g_setup.CopyCount, c.count);
        EXPECT_EQ(g_setup.SpaceRequired, c.space);
        EXPECT_EQ(ListLines(g_setup.CopySources), c.sources);
        EXPECT_EQ(ListLines(g_setup.CopyTargets), c.targets);
    }
}

TEST(CopyPlan, FullScriptKeepsEveryLine) {
    ResetSetupState();
    std::string script = "[CopyFiles]\n";
    int lines = 0;
    while (script.size() + 6 <= kTextFileCapacity) {
        script += "a,b,1\n";
        ++lines;
    }
    SetScript(script);
    BuildCopyPlan();
    EXPECT_EQ(g_setup.CopyCount, lines);
    EXPECT_EQ(ListLines(g_setup.CopyTargets).size(), size_t(lines));
}

TEST(SizeField, StrToIntRule) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"6218", 6218},    {"", 0},           {"x", 0},    {"-", 0},   {"-12", -12},
        {"+12", 0},        {" 12", 0},        {"12 ", 12}, {"007", 7}, {"2147483648", INT32_MIN},
        {"4294967296", 0}, {"4294967297", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeFieldValue(c.text), c.value) << c.text;
}

TEST(Fields, SplittingAndBounds) {
    const char* line = "HKLM,Key\\Sub,,1,data with blank ,ignored";
    const char* cursor = line;
    char field[32];
    const char* expected[] = {"HKLM", "Key\\Sub", "", "1", "data with blank ", "ignored", "", ""};
    for (const char* want : expected) {
        EXPECT_EQ(NextField(&cursor, field, sizeof field), 1);
        EXPECT_STREQ(field, want);
    }
    char small[16];
    cursor = "0123456789abcdef,x";
    EXPECT_EQ(NextField(&cursor, small, sizeof small), 0) << "16 characters do not fit 16 bytes";
    EXPECT_STREQ(small, "");
    EXPECT_EQ(NextField(&cursor, small, sizeof small), 1);
    EXPECT_STREQ(small, "x");
}

TEST(RootNames, Table) {
    const struct {
        const char* name;
        RegistryRoot root;
    } cases[] = {
        {"HKLM", kRootLocalMachine}, {"hklm", kRootLocalMachine},
        {"HkCu", kRootCurrentUser},  {"HKCC", kRootCurrentConfig},
        {"hkcr", kRootClassesRoot},  {"HKEY_LOCAL_MACHINE", kRootNone},
        {"HKLM ", kRootNone},        {"", kRootNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RootFromName(c.name), c.root) << c.name;
}

} // namespace
