// ExpandPathVariables and GetShortcutKind.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "path_variables.h"
#include "setup_test_support.h"

namespace {

void SetVariable(char* member, const std::string& value) {
    ASSERT_LT(value.size(), size_t{kPathCapacity});
    std::strcpy(member, value.c_str());
}

std::string Expand(const std::string& text, int* result = nullptr) {
    char buffer[kPathCapacity + 8];
    std::memset(buffer, 0x5a, sizeof buffer);
    std::strcpy(buffer, text.c_str());
    int r = ExpandPathVariables(buffer);
    if (result)
        *result = r;
    for (size_t i = kPathCapacity; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], '\x5a') << "written past the 260-byte buffer";
    return buffer;
}

class Expansion : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSetupState();
        SetVariable(g_setup.SetupDir, "C:\\TEMP\\INST1");
        SetVariable(g_setup.DestDir, "D:\\Apps\\Orvendel");
        SetVariable(g_setup.WindowsDir, "C:\\WINDOWS");
        SetVariable(g_setup.SystemDir, "C:\\WINDOWS\\SYSTEM");
        SetVariable(g_setup.DesktopDir, "C:\\WINDOWS\\Desktop");
        SetVariable(g_setup.StartMenuDir, "C:\\WINDOWS\\Start Menu");
        SetVariable(g_setup.ProgramsDir, "C:\\WINDOWS\\Start Menu\\Programs");
    }
};

TEST_F(Expansion, Cases) {
    const struct {
        const char* text;
        const char* expanded;
    } cases[] = {
        {"%4\\Orvendel", "\\Orvendel"}, // no ProgramFilesDir
        {"a%8b", "ab"},
        {"a%9b", "ab"},
        {"50%", "50%"},
        {"%x%", "%x%"},
        {"pre%1post", "preD:\\Apps\\Orvendelpost"},
        {"%%1", "%D:\\Apps\\Orvendel"},
        {"%0|%2|%3|%5|%6|%7",
         "C:\\TEMP\\INST1|C:\\WINDOWS|C:\\WINDOWS\\SYSTEM|C:\\WINDOWS\\Desktop|C:\\WINDOWS\\Start "
         "Menu|C:\\WINDOWS\\Start Menu\\Programs"},
        {"", ""},
        {"no variables", "no variables"},
    };
    for (const auto& c : cases) {
        int result = 0;
        EXPECT_EQ(Expand(c.text, &result), c.expanded) << c.text;
        EXPECT_EQ(result, 1) << c.text;
    }
}

TEST_F(Expansion, ValuesAreNotExpandedAgain) {
    SetVariable(g_setup.DestDir, "%2");
    EXPECT_EQ(Expand("%1\\x"), "%2\\x");
}

TEST_F(Expansion, TooLongIsRefusedNotCut) {
    SetVariable(g_setup.DestDir, std::string(200, 'd'));
    int result = 1;
    EXPECT_EQ(Expand("%1\\%1", &result), "");
    EXPECT_EQ(result, 0);
    // Exactly 259 characters still fit.
    EXPECT_EQ(Expand("%1\\" + std::string(58, 'f'), &result),
              std::string(200, 'd') + "\\" + std::string(58, 'f'));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Expand("%1\\" + std::string(59, 'f'), &result), "");
    EXPECT_EQ(result, 0);
}

TEST(ShortcutKind, Cases) {
    const struct {
        const char* line;
        ShortcutKind kind;
    } cases[] = {
        {"%1\\quillard.exe,%5\\Orvendel.lnk,Orvendel", kShortcutDesktop},
        {"%1\\quillard.exe,%6\\Orvendel.lnk,Orvendel", kShortcutStartMenu},
        {"%7\\Orvendel", kShortcutGroup},
        {"%1\\remove\\remove.exe,%7\\Orvendel\\Uninstall Orvendel.lnk,%5", kShortcutGroup},
        {"%%5", kShortcutDesktop},
        {"%1\\a,%2\\b,description %6", kShortcutStartMenu},
        {"%1\\a.exe,c:\\a.lnk,A", kShortcutNone},
        {"5%", kShortcutNone},
        {"", kShortcutNone},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetShortcutKind(c.line), c.kind) << c.line;
}

} // namespace
