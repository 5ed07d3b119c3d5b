// The remove log's lists and the file's layout.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "remove_log.h"
#include "setup_test_support.h"

namespace {

void Collect(void* context, const char* bytes, uint32_t count) {
    static_cast<std::string*>(context)->append(bytes, count);
}

std::string Emit(const char* path) {
    std::string out;
    EmitRemoveLog(path, Collect, &out);
    return out;
}

TEST(RemoveLog, EmptyInstallationGivesSixLines) {
    ResetSetupState();
    std::strcpy(g_setup.ApplicationName, "Orvendel");
    ResetRemoveLog();
    EXPECT_EQ(Emit("D:\\Apps\\Orvendel\\remove\\remove.log"),
              "[Options]\r\nUninstallApplication=Orvendel\r\n\r\n[DelFiles]\r\n"
              "D:\\Apps\\Orvendel\\remove\\remove.log\r\n\r\n");
}

TEST(RemoveLog, EmptyApplicationName) {
    ResetSetupState();
    ResetRemoveLog();
    EXPECT_EQ(Emit("x.log"),
              "[Options]\r\nUninstallApplication=\r\n\r\n[DelFiles]\r\nx.log\r\n\r\n");
}

TEST(RemoveLog, ExampleFileByteForByte) {
    ResetSetupState();
    std::strcpy(g_setup.ApplicationName, "Orvendel");
    ResetRemoveLog();
    // In the order of a run: directories, copies, shortcuts, keys, values.
    for (const char* dir :
         {"D:\\Apps\\Orvendel", "D:\\Apps\\Orvendel\\packers", "D:\\Apps\\Orvendel\\remove",
          "D:\\WINDOWS\\Start Menu\\Programs\\Orvendel"})
        ASSERT_EQ(LogPrepend(kDelDirs, dir), 1);
    for (const char* file :
         {"D:\\Apps\\Orvendel\\setup.inf", "D:\\Apps\\Orvendel\\readme.txt",
          "D:\\Apps\\Orvendel\\quillard.exe", "D:\\Apps\\Orvendel\\packers\\waitexec.exe",
          "D:\\Apps\\Orvendel\\remove\\remove.exe", "D:\\WINDOWS\\Desktop\\Orvendel.lnk",
          "D:\\WINDOWS\\Start Menu\\Orvendel.lnk",
          "D:\\WINDOWS\\Start Menu\\Programs\\Orvendel\\Orvendel.lnk",
          "D:\\WINDOWS\\Start Menu\\Programs\\Orvendel\\Uninstall Orvendel.lnk"})
        ASSERT_EQ(LogAppend(kDelFiles, file), 1);
    for (const char* key :
         {"HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel",
          "HKCU,Software\\Tervo\\Orvendel"})
        ASSERT_EQ(LogPrepend(kDelRegKeys, key), 1);
    for (const char* value :
         {"HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel,DisplayName",
          "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel,UninstallString"})
        ASSERT_EQ(LogAppend(kDelRegValues, value), 1);

    const char expected[] =
        "[Options]\r\n"
        "UninstallApplication=Orvendel\r\n"
        "\r\n"
        "[DelFiles]\r\n"
        "D:\\Apps\\Orvendel\\setup.inf\r\n"
        "D:\\Apps\\Orvendel\\readme.txt\r\n"
        "D:\\Apps\\Orvendel\\quillard.exe\r\n"
        "D:\\Apps\\Orvendel\\packers\\waitexec.exe\r\n"
        "D:\\Apps\\Orvendel\\remove\\remove.exe\r\n"
        "D:\\WINDOWS\\Desktop\\Orvendel.lnk\r\n"
        "D:\\WINDOWS\\Start Menu\\Orvendel.lnk\r\n"
        "D:\\WINDOWS\\Start Menu\\Programs\\Orvendel\\Orvendel.lnk\r\n"
        "D:\\WINDOWS\\Start Menu\\Programs\\Orvendel\\Uninstall Orvendel.lnk\r\n"
        "D:\\Apps\\Orvendel\\remove\\remove.log\r\n"
        "\r\n"
        "[DelDirs]\r\n"
        "D:\\WINDOWS\\Start Menu\\Programs\\Orvendel\r\n"
        "D:\\Apps\\Orvendel\\remove\r\n"
        "D:\\Apps\\Orvendel\\packers\r\n"
        "D:\\Apps\\Orvendel\r\n"
        "\r\n"
        "[DelRegValues]\r\n"
        "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel,DisplayName\r\n"
        "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel,UninstallString\r\n"
        "\r\n"
        "[DelRegKeys]\r\n"
        "HKCU,Software\\Tervo\\Orvendel\r\n"
        "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel\r\n";
    EXPECT_EQ(Emit("D:\\Apps\\Orvendel\\remove\\remove.log"), expected);
}

TEST(RemoveLog, SectionsOnlyWhenNotEmpty) {
    ResetSetupState();
    ResetRemoveLog();
    LogPrepend(kDelRegKeys, "HKCU,K");
    EXPECT_EQ(Emit("l"), "[Options]\r\nUninstallApplication=\r\n\r\n[DelFiles]\r\nl\r\n\r\n"
                         "[DelRegKeys]\r\nHKCU,K\r\n");
}

TEST(RemoveLog, ResetDropsEntries) {
    ResetSetupState();
    LogAppend(kDelFiles, "a");
    LogPrepend(kDelDirs, "b");
    ResetRemoveLog();
    EXPECT_STREQ(LogText(kDelFiles), "");
    EXPECT_STREQ(LogText(kDelDirs), "");
}

// The two lists of a region meet in the middle and never overwrite each other.
TEST(RemoveLog, RegionIsBounded) {
    ResetSetupState();
    ResetRemoveLog();
    const std::string entry(98, 'r'); // 100 bytes with CR LF
    uint32_t appended = 0, prepended = 0;
    for (;;) {
        int a = LogAppend(kDelRegValues, entry.c_str());
        int p = LogPrepend(kDelRegKeys, entry.c_str());
        appended += a;
        prepended += p;
        if (!a && !p)
            break;
    }
    // One byte of the region stays for the forward list's NUL.
    EXPECT_EQ(appended + prepended, (kRemoveRegRegion - 1) / 100);
    std::string forward = LogText(kDelRegValues), backward = LogText(kDelRegKeys);
    EXPECT_EQ(forward.size(), appended * 100);
    EXPECT_EQ(backward.size(), prepended * 100);
    EXPECT_EQ(forward.find_first_not_of("r\r\n"), std::string::npos);
    EXPECT_EQ(backward.find_first_not_of("r\r\n"), std::string::npos);
    // Something small still fits into the gap left, and nothing more.
    uint32_t gap = kRemoveRegRegion - (appended + prepended) * 100 - 1;
    if (gap >= 2) {
        EXPECT_EQ(LogAppend(kDelRegValues, std::string(gap - 2, 's').c_str()), 1);
        EXPECT_EQ(LogPrepend(kDelRegKeys, ""), 0);
    }
}

} // namespace
