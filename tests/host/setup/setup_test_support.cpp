#include "setup_test_support.h"

#include <cstring>

void ResetSetupState() {
    std::memset(&g_setup, 0, sizeof g_setup);
    SetInitialState();
}

void SetScript(const std::string& text) {
    std::memset(g_setup.ScriptText, 0, sizeof g_setup.ScriptText);
    std::memcpy(g_setup.ScriptText, text.data(), std::min(text.size(), size_t{kTextFileCapacity}));
}

std::vector<std::string> ListLines(const char* list) {
    std::vector<std::string> lines;
    for (const char* p = list; *p; p += std::strlen(p) + 1)
        lines.emplace_back(p);
    return lines;
}

const char kExampleScript[] =
    "[CopyFiles]\r\n"
    "%0\\setup.inf,%1\\setup.inf,6218\r\n"
    "%0\\readme.txt,%1\\readme.txt,1100\r\n"
    "%0\\quillard.exe,%1\\quillard.exe,614400\r\n"
    "%0\\packers\\waitexec.exe,%1\\packers\\waitexec.exe,2560\r\n"
    "%0\\remove\\remove.exe,%1\\remove\\remove.exe,6656\r\n"
    "\r\n"
    "[CreateDirs]\r\n"
    "%1\r\n"
    "%1\\packers\r\n"
    "%1\\remove\r\n"
    "%7\\Orvendel\r\n"
    "\r\n"
    "[CreateShortcuts]\r\n"
    "%1\\quillard.exe,%5\\Orvendel.lnk,Orvendel\r\n"
    "%1\\quillard.exe,%6\\Orvendel.lnk,Orvendel\r\n"
    "%1\\quillard.exe,%7\\Orvendel\\Orvendel.lnk,Orvendel\r\n"
    "%1\\remove\\remove.exe,%7\\Orvendel\\Uninstall Orvendel.lnk,Uninstall Orvendel\r\n"
    "\r\n"
    "[AddRegistryKeys]\r\n"
    "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel\r\n"
    "HKCU,Software\\Tervo\\Orvendel\r\n"
    "\r\n"
    "[AddRegistryValues]\r\n"
    "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel,DisplayName,1,"
    "Orvendel\r\n"
    "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel,UninstallString,1,"
    "%1\\remove\\remove.exe\r\n"
    "\r\n"
    "[Private]\r\n"
    "ApplicationName=\"Orvendel\"\r\n"
    "ApplicationNameVer=\"Orvendel 1.6 beta 1\"\r\n"
    "DefaultDirectory=%4\\Orvendel\r\n"
    "ViewReadme=%1\\readme.txt\r\n"
    "RunProgram=%1\\quillard.exe\r\n"
    "SaveRemoveLog=%1\\remove\\remove.log\r\n";
