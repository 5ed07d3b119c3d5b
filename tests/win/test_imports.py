"""Every shipped program imports system DLLs only: no C or C++ runtime, no helper DLL."""
import re
import subprocess
import unittest

import winetest

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "shell32.dll",
               "ole32.dll", "advapi32.dll", "shlwapi.dll", "comdlg32.dll"}


def imported_dlls(exe):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(exe)], check=True,
                          stdout=subprocess.PIPE, text=True).stdout
    return {m.lower() for m in re.findall(r"DLL Name: (\S+)", dump)}


class ShippedImports(unittest.TestCase):
    def test_only_system_dlls(self):
        found = [p for p in (winetest.WIN_BIN / n for n in winetest.SHIPPED) if p.exists()]
        self.assertTrue(found, "no shipped program was built")
        for exe in found:
            with self.subTest(exe=exe.name):
                dlls = imported_dlls(exe)
                self.assertTrue(dlls, "no import table")
                self.assertLessEqual(dlls, SYSTEM_DLLS)
                self.assertFalse({d for d in dlls if "msvcr" in d or "libgcc" in d or "libstdc" in d})

    def test_waitexec_imports_kernel32_only(self):
        self.assertEqual(imported_dlls(winetest.WIN_BIN / "waitexec.exe"), {"kernel32.dll"})

    def test_checker_sees_a_runtime(self):
        # The probe is an ordinary MinGW program: it must be caught, or the check proves nothing.
        self.assertIn("msvcrt.dll", imported_dlls(winetest.WIN_TESTS / "probe.exe"))


if __name__ == "__main__":
    winetest.main()
