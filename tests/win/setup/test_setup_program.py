"""setup.exe itself under Wine, driven by the UI driver: start-up's messages and the way out."""
import pathlib
import shutil
import sys
import unittest

import winetest
from winetest import WIN_BIN, windows_path

sys.path.insert(0, str(winetest.ROOT / "tests" / "ui"))
import uidriver  # noqa: E402

SETUP = WIN_BIN / "setup.exe"


def package_dir(name, length=None, files=()):
    """A directory holding a copy of setup.exe; with LENGTH, its Windows path has that length."""
    d = winetest.scratch_dir("setup-" + name)
    if length:
        d = d / ("p" * (length - len(windows_path(d)) - 1))
        d.mkdir()
        assert len(windows_path(d)) == length
    shutil.copy(SETUP, d / "setup.exe")
    for rel, data in files:
        (d / rel).write_bytes(data)
    return d


class SetupProgram(unittest.TestCase):
    def test_missing_script_names_the_full_path(self):
        # The longest directory the module path allows: the message is longer than 260 bytes.
        d = package_dir("noscript", length=259 - len("\\setup.exe"))
        path = windows_path(d) + "\\setup.inf"
        self.assertEqual(len(path), 259)
        code, r = uidriver.run_program_with_driver(d / "setup.exe", [], [
            "msgbox Setup ok",
            "absent TervoInstallMW Setup 1500",
        ])
        self.assertEqual(r.code, 0, r)
        self.assertEqual(r.messages(), [("Setup", "Error accessing file: %s." % path)])
        self.assertEqual(code, 0)

    def test_started_from_a_drive_root(self):
        # SetupDir is then the drive letter and its colon only.
        d = package_dir("root")
        drive = winetest.BUILD / "wineprefix" / "dosdevices" / "q:"
        if drive.is_symlink():
            drive.unlink()
        drive.symlink_to(d)
        self.addCleanup(drive.unlink)
        code, r = uidriver.run_program_with_driver("Q:\\setup.exe", [], ["msgbox Setup ok"])
        self.assertEqual(r.code, 0, r)
        self.assertEqual(r.messages(), [("Setup", "Error accessing file: Q:\\setup.inf.")])
        self.assertEqual(code, 0)

    def test_missing_license(self):
        d = package_dir("nolicense", files=[("setup.inf", b"[Private]\r\nApplicationName=X\r\n")])
        code, r = uidriver.run_program_with_driver(d / "setup.exe", [], [
            "msgbox Setup ok",
            "absent TervoInstallMW Setup 1500",
        ])
        self.assertEqual(r.code, 0, r)
        self.assertEqual(r.messages(), [("Setup", "Error accessing license file.")])
        self.assertEqual(code, 0)

    def test_main_window_and_exit_confirmation(self):
        d = package_dir("start", files=[
            ("setup.inf", b"[Private]\r\nApplicationName=Orvendel\r\n"), ("license.txt", b"")])
        code, r = uidriver.run_program_with_driver(d / "setup.exe", [], [
            "wait TervoInstallMW Setup",
            "close",
            'wait #32770 "Exit Setup"',
            'expect 1008 "Setup is not complete. If You quit Setup program now, the program '
            'Orvendel will not be installed."',
            "click 2",
            "gone 5000",
            "wait TervoInstallMW Setup",
            "close",
            'wait #32770 "Exit Setup"',
            'click "E&xit Setup"',
            "wait TervoInstallMW Setup",
            "gone 10000",
        ])
        self.assertEqual(r.code, 0, r)
        self.assertEqual(code, 0)


if __name__ == "__main__":
    winetest.main()
