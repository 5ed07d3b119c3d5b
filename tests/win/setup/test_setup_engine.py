"""setup's engine under Wine: installation runs on a prepared state (no wizard), driven by
setup_harness.exe, checked on disk, in shell links, in the registry and in the remove log."""
import pathlib
import shutil
import unittest

import winetest
from winetest import BUILD, WIN_TESTS, windows_path

HARNESS = WIN_TESTS / "setup_harness.exe"
DRIVE_C = BUILD / "wineprefix" / "drive_c"
UNINSTALL_KEY = r"SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvendel"
TEST_KEY = r"Software\TervoKitTest\Engine"

EXAMPLE_SCRIPT = (
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
    "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel,DisplayName,1,Orvendel\r\n"
    "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvendel,UninstallString,1,"
    "%1\\remove\\remove.exe\r\n"
    "\r\n"
    "[Private]\r\n"
    "ApplicationName=\"Orvendel\"\r\n"
    "ApplicationNameVer=\"Orvendel 1.6 beta 1\"\r\n"
    "DefaultDirectory=%4\\Orvendel\r\n"
    "ViewReadme=%1\\readme.txt\r\n"
    "RunProgram=%1\\quillard.exe\r\n"
    "SaveRemoveLog=%1\\remove\\remove.log\r\n")

PAYLOAD = {
    "readme.txt": b"Orvendel read-me\r\n" * 60,
    "quillard.exe": bytes(range(256)) * 2400,
    "packers/waitexec.exe": b"W" * 2560,
    "remove/remove.exe": b"R" * 6656,
}


def unix_path(path):
    """Where a Windows path of the test prefix lies on this machine."""
    drive, rest = path[0].upper(), path[2:].replace("\\", "/").lstrip("/")
    if drive == "Z":
        return pathlib.Path("/") / rest
    if drive == "C":
        return DRIVE_C / rest
    raise ValueError(path)


def harness(*args, timeout=120):
    """Runs one harness command; returns its output as a list of (key, value) pairs."""
    r = winetest.wine(HARNESS, *args, timeout=timeout)
    out = r.stdout.decode("latin-1").replace("\r\n", "\n")
    pairs = []
    for line in out.splitlines():
        key, sep, value = line.partition(":")
        if sep:
            pairs.append((key, value))
    if r.returncode not in (0, 1):
        raise AssertionError("harness %r failed: %r %r" % (args, out, r.stderr[-2000:]))
    return pairs


def first(pairs, key):
    return next(v for k, v in pairs if k == key)


def make_package(name, script, payload=PAYLOAD):
    base = winetest.scratch_dir("setup-" + name)
    package = base / "package"
    package.mkdir()
    (package / "setup.inf").write_bytes(script.encode("latin-1"))
    (package / "license.txt").write_bytes(b"Licence.\r\n")
    for rel, data in payload.items():
        target = package / rel
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
    return base, package


def install(package, dest, *options, pairs=None):
    got = harness("install", windows_path(package), windows_path(dest), *options)
    if pairs is not None:
        pairs.extend(got)
    return {k: v for k, v in got}


def bar_and_paths(pairs):
    """What the run sent to the copy dialog: bar messages and path texts, in order."""
    return [(k, v) for k, v in pairs if k in ("BAR", "PATH")]


class Engine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Wine links the desktop folder of a fresh prefix to the user's home directory; give the
        # prefix a desktop of its own so that shortcuts made here stay inside the build tree.
        users = DRIVE_C / "users"
        for desktop in users.glob("*/Desktop"):
            if desktop.is_symlink():
                desktop.unlink()
                desktop.mkdir()
        cls.cleanup_registry()

    @classmethod
    def tearDownClass(cls):
        cls.cleanup_registry()

    @staticmethod
    def cleanup_registry():
        harness("regdel", "HKLM", UNINSTALL_KEY)
        harness("regdel", "HKCU", r"Software\Tervo")
        harness("regdel", "HKCU", r"Software\TervoKitTest")

    def remove_shortcuts(self, folders):
        for key in ("DESKTOP", "STARTMENU"):
            unix_path(folders[key] + "\\Orvendel.lnk").unlink(missing_ok=True)
        shutil.rmtree(unix_path(folders["PROGRAMS"] + "\\Orvendel"), ignore_errors=True)

    def expected_example_log(self, dest, folders, group=True):
        d = windows_path(dest)
        files = [d + "\\setup.inf", d + "\\readme.txt", d + "\\quillard.exe",
                 d + "\\packers\\waitexec.exe", d + "\\remove\\remove.exe",
                 folders["DESKTOP"] + "\\Orvendel.lnk", folders["STARTMENU"] + "\\Orvendel.lnk"]
        dirs = [d + "\\remove", d + "\\packers", d]
        if group:
            files += [folders["PROGRAMS"] + "\\Orvendel\\Orvendel.lnk",
                      folders["PROGRAMS"] + "\\Orvendel\\Uninstall Orvendel.lnk"]
            dirs.insert(0, folders["PROGRAMS"] + "\\Orvendel")
        files.append(d + "\\remove\\remove.log")
        text = "[Options]\r\nUninstallApplication=Orvendel\r\n\r\n"
        text += "[DelFiles]\r\n" + "".join(f + "\r\n" for f in files) + "\r\n"
        text += "[DelDirs]\r\n" + "".join(x + "\r\n" for x in dirs) + "\r\n"
        text += ("[DelRegValues]\r\n"
                 "HKLM," + UNINSTALL_KEY + ",DisplayName\r\n"
                 "HKLM," + UNINSTALL_KEY + ",UninstallString\r\n\r\n")
        text += ("[DelRegKeys]\r\n"
                 "HKCU,Software\\Tervo\\Orvendel\r\n"
                 "HKLM," + UNINSTALL_KEY + "\r\n")
        return text.encode("latin-1")

    def test_example_installation(self):
        base, package = make_package("example", EXAMPLE_SCRIPT)
        dest = base / "Apps" / "Orvendel"
        dest.parent.mkdir()
        trace = []
        folders = install(package, dest, "trace", pairs=trace)
        self.addCleanup(self.remove_shortcuts, folders)
        self.assertEqual(folders["RESULT"], "1")
        # Range 0 to CopyCount - 1 in the high word; the bar stands at each file's index while
        # its paths are shown.
        p, d = windows_path(package), windows_path(dest)
        names = ["setup.inf", "readme.txt", "quillard.exe", "packers\\waitexec.exe",
                 "remove\\remove.exe"]
        want = [("BAR", "range|0|00040000"), ("BAR", "pos|0|00000000"), ("PATH", "1024|"),
                ("PATH", "1025|")]
        for i, name in enumerate(names):
            want += [("BAR", "pos|%d|00000000" % i), ("PATH", "1024|%s\\%s" % (p, name)),
                     ("PATH", "1025|%s\\%s" % (d, name))]
        self.assertEqual(bar_and_paths(trace), want)
        self.assertEqual((folders["COPYCOUNT"], folders["SPACE"]), ("5", "661414"))
        program_files = dict(harness("startup"))["PROGRAMFILESDIR"]
        self.assertEqual((folders["NAME"], folders["NAMEVER"], folders["DEFAULTDIR"],
                          folders["REMOVELOG"]),
                         ("Orvendel", "Orvendel 1.6 beta 1", program_files + "\\Orvendel",
                          "%1\\remove\\remove.log"))
        self.assertEqual(folders["PROGRESS"], "00000000", "the progress dialog is gone at the end")

        for sub in ("", "packers", "remove"):
            self.assertTrue((dest / sub).is_dir(), sub)
        self.assertTrue(unix_path(folders["PROGRAMS"] + "\\Orvendel").is_dir())
        self.assertEqual((dest / "setup.inf").read_bytes(), (package / "setup.inf").read_bytes())
        for rel, data in PAYLOAD.items():
            self.assertEqual((dest / rel).read_bytes(), data, rel)

        d = windows_path(dest)
        links = [
            (folders["DESKTOP"] + "\\Orvendel.lnk", d + "\\quillard.exe", "Orvendel"),
            (folders["STARTMENU"] + "\\Orvendel.lnk", d + "\\quillard.exe", "Orvendel"),
            (folders["PROGRAMS"] + "\\Orvendel\\Orvendel.lnk", d + "\\quillard.exe", "Orvendel"),
            (folders["PROGRAMS"] + "\\Orvendel\\Uninstall Orvendel.lnk",
             d + "\\remove\\remove.exe", "Uninstall Orvendel"),
        ]
        read = harness("link", *[link for link, _, _ in links])
        self.assertEqual([v for k, v in read if k == "PATH"], [t for _, t, _ in links])
        self.assertEqual([v for k, v in read if k == "DESCRIPTION"], [x for _, _, x in links])
        self.assertEqual([v for k, v in read if k == "ARGUMENTS"], [""] * 4)

        value = dict(harness("regget", "HKLM", UNINSTALL_KEY, "DisplayName"))
        self.assertEqual((value["TYPE"], value["VALUE"], value["SIZE"]), ("1", "Orvendel", "9"))
        value = dict(harness("regget", "HKLM", UNINSTALL_KEY, "UninstallString"))
        self.assertEqual(value["VALUE"], d + "\\remove\\remove.exe")
        self.assertEqual(dict(harness("regget", "HKCU", r"Software\Tervo\Orvendel", "")),
                         {}, "keys of [AddRegistryKeys] are only recorded, not created")

        self.assertEqual((dest / "remove" / "remove.log").read_bytes(),
                         self.expected_example_log(dest, folders))

    def test_program_group_off(self):
        base, package = make_package("nogroup", EXAMPLE_SCRIPT)
        dest = base / "dest"
        folders = install(package, dest, "nogroup")
        self.addCleanup(self.remove_shortcuts, folders)
        self.assertEqual(folders["RESULT"], "1")
        self.assertFalse(unix_path(folders["PROGRAMS"] + "\\Orvendel").exists())
        self.assertTrue(unix_path(folders["DESKTOP"] + "\\Orvendel.lnk").exists())
        self.assertEqual((dest / "remove" / "remove.log").read_bytes(),
                         self.expected_example_log(dest, folders, group=False))

    def test_copy_count_zero_and_one(self):
        script = ("[CopyFiles]\r\n\r\n[Private]\r\napplicationname = ' Nil' \r\n"
                  "SaveRemoveLog=%1\\remove.log\r\n")
        base, package = make_package("zero", script, payload={})
        dest = base / "dest"
        dest.mkdir()
        trace = []
        result = install(package, dest, "trace", pairs=trace)
        self.assertEqual(bar_and_paths(trace)[0], ("BAR", "range|0|FFFF0000"),
                         "a maximum of -1 travels as 65535")
        self.assertEqual(len(bar_and_paths(trace)), 4)
        # The profile service's rules: keys without case, blanks and one pair of quotes removed;
        # ApplicationNameVer defaults to ApplicationName.
        self.assertEqual((result["NAME"], result["NAMEVER"], result["DEFAULTDIR"]),
                         (" Nil", " Nil", ""))
        self.assertEqual((result["RESULT"], result["COPYCOUNT"], result["SPACE"]),
                         ("1", "0", "10000"))
        log = windows_path(dest) + "\\remove.log"
        self.assertEqual((dest / "remove.log").read_bytes(),
                         ("[Options]\r\nUninstallApplication= Nil\r\n\r\n[DelFiles]\r\n"
                          + log + "\r\n\r\n").encode())

        script = ("[CopyFiles]\r\n%0\\readme.txt,%1\\sub\\readme.txt,1\r\n[Private]\r\n"
                  "SaveRemoveLog=%1\\remove.log\r\n")
        base, package = make_package("one", script)
        dest = base / "dest"
        dest.mkdir()
        trace = []
        result = install(package, dest, "trace", pairs=trace)
        self.assertEqual(bar_and_paths(trace)[:2], [("BAR", "range|0|00000000"),
                                                    ("BAR", "pos|0|00000000")])
        self.assertEqual((result["RESULT"], result["COPYCOUNT"]), ("1", "1"))
        self.assertEqual((dest / "sub" / "readme.txt").read_bytes(), PAYLOAD["readme.txt"],
                         "a missing target directory is made without a question")
        self.assertIn((windows_path(dest) + "\\sub\\readme.txt\r\n").encode(),
                      (dest / "remove.log").read_bytes())

    def test_common_folders(self):
        base, package = make_package("common", "[Private]\r\n", payload={})
        personal = install(package, base / "dest")
        common = install(package, base / "dest", "common")
        for key in ("DESKTOP", "STARTMENU", "PROGRAMS"):
            self.assertTrue(common[key] and personal[key], key)
            self.assertNotEqual(common[key], personal[key], key)
            self.assertTrue(unix_path(common[key]).is_dir(), common[key])
        self.assertEqual(common["PROGRAMS"], common["STARTMENU"] + "\\Programs")

    def test_failing_second_copy(self):
        payload = dict(PAYLOAD)
        del payload["readme.txt"]
        base, package = make_package("failcopy", EXAMPLE_SCRIPT, payload)
        dest = base / "dest"
        harness("regdel", "HKLM", UNINSTALL_KEY)
        folders = install(package, dest)
        self.addCleanup(self.remove_shortcuts, folders)
        self.assertEqual(folders["RESULT"], "0")
        self.assertEqual(folders["PROGRESS"], "00000000")
        self.assertEqual(sorted(p.name for p in dest.iterdir() if p.is_file()), ["setup.inf"])
        self.assertTrue((dest / "packers").is_dir() and (dest / "remove").is_dir())
        self.assertFalse((dest / "remove" / "remove.log").exists())
        self.assertFalse(unix_path(folders["DESKTOP"] + "\\Orvendel.lnk").exists())
        self.assertEqual(dict(harness("regget", "HKLM", UNINSTALL_KEY, "DisplayName")), {})

    def test_existing_target_and_log_replaced(self):
        script = ("[CopyFiles]\r\n%0\\readme.txt,%1\\readme.txt,1\r\n[Private]\r\n"
                  "ApplicationName=Nil\r\nSaveRemoveLog=%1\\remove.log\r\n")
        base, package = make_package("replace", script)
        dest = base / "dest"
        dest.mkdir()
        (dest / "readme.txt").write_bytes(b"old" * 5000)
        (dest / "remove.log").write_bytes(b"x" * 5000)
        self.assertEqual(install(package, dest)["RESULT"], "1")
        self.assertEqual((dest / "readme.txt").read_bytes(), PAYLOAD["readme.txt"])
        d = windows_path(dest)
        self.assertEqual((dest / "remove.log").read_bytes(),
                         ("[Options]\r\nUninstallApplication=Nil\r\n\r\n[DelFiles]\r\n"
                          + d + "\\readme.txt\r\n" + d + "\\remove.log\r\n\r\n").encode())

    def test_failing_registry_line_in_the_middle(self):
        key = TEST_KEY
        script = (
            "[AddRegistryKeys]\r\nHKCU,Software\\TervoKitTest\r\nHKCU," + key + "\r\n"
            "[AddRegistryValues]\r\n"
            "HKCU," + key + ",,1,%1\\default\r\n"
            "hkcu," + key + ",Comma,1,before,after\r\n"
            "HKXX," + key + ",Bad,1,never\r\n"
            "HKCU," + key + ",Later,1,never\r\n"
            "[Private]\r\nApplicationName=Nil\r\nSaveRemoveLog=%1\\remove.log\r\n")
        base, package = make_package("registry", script, payload={})
        dest = base / "dest"
        dest.mkdir()
        self.assertEqual(install(package, dest)["RESULT"], "1")
        d = windows_path(dest)
        self.assertEqual(dict(harness("regget", "HKCU", key, ""))["VALUE"], d + "\\default")
        self.assertEqual(dict(harness("regget", "HKCU", key, "Comma"))["VALUE"], "before")
        self.assertEqual(dict(harness("regget", "HKCU", key, "Later")), {})
        self.assertEqual((dest / "remove.log").read_bytes(), (
            "[Options]\r\nUninstallApplication=Nil\r\n\r\n"
            "[DelFiles]\r\n" + d + "\\remove.log\r\n\r\n"
            "[DelRegValues]\r\nHKCU," + key + ",\r\nhkcu," + key + ",Comma\r\n\r\n"
            "[DelRegKeys]\r\nHKCU," + key + "\r\nHKCU,Software\\TervoKitTest\r\n").encode())

    def test_full_script_loses_no_line(self):
        # [Private] first, then key lines up to the 100000th byte; a section behind it is unseen.
        head = "[Private]\r\nApplicationName=Big\r\nSaveRemoveLog=%1\\remove.log\r\n"
        head += "[AddRegistryKeys]\r\n"
        keys = []
        body = ""
        while len(head) + len(body) + 40 < 100000:
            keys.append("HKCU,Software\\TervoKitTest\\K%06d" % len(keys))
            body += keys[-1] + "\r\n"
        script = head + body
        script += "x" * (100000 - len(script))
        script += "\r\n[CopyFiles]\r\n%0\\missing.txt,%1\\missing.txt,1\r\n"
        base, package = make_package("fullscript", script, payload={})
        dest = base / "dest"
        dest.mkdir()
        result = install(package, dest)
        self.assertEqual((result["RESULT"], result["COPYCOUNT"]), ("1", "0"))
        log = (dest / "remove.log").read_bytes().decode("latin-1")
        lines = log.split("[DelRegKeys]\r\n", 1)[1].split("\r\n")
        # The filler is the section's last line, cut at the 100000th byte; it comes first here.
        filler = "x" * (100000 - len(head) - len(body))
        self.assertEqual(lines, [filler] + keys[::-1] + [""])
        self.assertGreater(len(log), 19500 * 5, "far more than the log's original region")

    def test_paths_too_long_are_never_cut(self):
        # A destination of about 200 characters: "%1\%1" cannot fit 259 characters.
        base = winetest.scratch_dir("setup-long")
        dest = base / ("d" * (200 - len(windows_path(base)) - 1))
        dest.mkdir()
        d = windows_path(dest)
        self.assertEqual(len(d), 200)
        script = (
            "[CreateDirs]\r\n%1\\made\r\n%1\\%1\r\n"
            # "%7" in the descriptions makes the lines program-group shortcuts, which are made.
            "[CreateShortcuts]\r\n%0\\readme.txt,%1\\made\\ok.lnk,Fits %7\r\n"
            "%0\\readme.txt,%1\\made\\" + "l" * 60 + ".lnk,Too long %7\r\n"
            "[AddRegistryValues]\r\nHKCU," + TEST_KEY + ",Short,1,%1\r\n"
            "HKCU," + TEST_KEY + ",Long,1,%1%1\r\nHKCU," + TEST_KEY + ",After,1,x\r\n"
            "[Private]\r\nSaveRemoveLog=%1\\remove.log\r\n")
        _, package = make_package("long", script)
        self.assertEqual(install(package, dest)["RESULT"], "1")
        self.assertEqual(sorted(p.name for p in (dest / "made").iterdir()), ["ok.lnk"])
        self.assertEqual(dict(harness("regget", "HKCU", TEST_KEY, "Short"))["VALUE"], d)
        self.assertEqual(dict(harness("regget", "HKCU", TEST_KEY, "Long")), {})
        self.assertEqual(dict(harness("regget", "HKCU", TEST_KEY, "After")), {})
        self.assertEqual((dest / "remove.log").read_bytes(), (
            "[Options]\r\nUninstallApplication=\r\n\r\n"
            "[DelFiles]\r\n" + d + "\\made\\ok.lnk\r\n" + d + "\\remove.log\r\n\r\n"
            "[DelDirs]\r\n" + d + "\\made\r\n\r\n"
            "[DelRegValues]\r\nHKCU," + TEST_KEY + ",Short\r\n\r\n").encode())

        # A copy whose target does not fit fails the run, before anything is copied to a cut path.
        script = ("[CopyFiles]\r\n%0\\readme.txt,%1\\a.txt,1\r\n%0\\readme.txt,%1\\%1,1\r\n"
                  "[Private]\r\nSaveRemoveLog=%1\\remove2.log\r\n")
        _, package = make_package("longcopy", script)
        self.assertEqual(install(package, dest)["RESULT"], "0")
        self.assertTrue((dest / "a.txt").exists())
        self.assertFalse((dest / "remove2.log").exists())

    def test_dialog_templates(self):
        pairs = harness("template", "107")
        self.assertEqual(pairs[0], ("HEADER", "80C000C0|00000000|6|0,0,290,66|||Copy|8|MS Sans Serif"))
        self.assertEqual([v for k, v in pairs[1:]], [
            "-1|50020000|00000000|7,9,18,8|#130|From:",
            "1024|50020000|00000000|35,9,248,8|#130|",
            "-1|50020000|00000000|7,23,12,8|#130|To:",
            "1025|50020000|00000000|35,23,248,8|#130|",
            "-1|50020000|00000000|7,47,19,8|#130|Total:",
            "1006|50800000|00000000|35,45,248,11|MSCTLS_PROGRESS32|",
        ])
        pairs = harness("template", "108")
        self.assertEqual(pairs[0],
                         ("HEADER", "80C800C0|00000000|5|0,0,253,119|||Exit Setup|8|MS Sans Serif"))
        self.assertEqual([v for k, v in pairs[1:]], [
            "1008|50020000|00000000|12,11,230,21|STATIC|Setup is not complete. If You quit Setup "
            "program now, the program %s will not be installed.",
            "-1|50020000|00000000|12,38,230,15|STATIC|You may run the Setup program at a later "
            "time to complete the instalation",
            "1009|50020000|00000000|12,59,230,31|STATIC|To continue installing the program %s, "
            "click Resume. To quit the Setup program, click Exit Setup",
            "2|50010000|00000000|138,98,50,14|BUTTON|&Resume",
            "1|50010001|00000000|192,98,50,14|BUTTON|E&xit Setup",
        ])

    def test_center_window_and_app_name(self):
        r = dict(harness("helpers"))
        sx, sy = map(int, r["SCREEN"].split(","))

        def centred(left, top, width, height, cx, cy):
            # halves truncated toward zero, as C division does
            return "%d,%d,%d,%d" % (left + int((width - cx) / 2), top + int((height - cy) / 2),
                                    cx, cy)

        self.assertEqual(r["SMALL_ON_SCREEN"], centred(0, 0, sx, sy, 101, 51))
        self.assertEqual(r["LARGE_ON_SCREEN"], centred(0, 0, sx, sy, 3001, 2001))
        self.assertTrue(r["LARGE_ON_SCREEN"].startswith("-"))
        self.assertEqual(r["SMALL_ON_MAIN"], centred(100, 50, 400, 300, 101, 51))
        self.assertEqual(r["LARGE_ON_MAIN"], "-1200,-800,3001,2001")
        self.assertEqual(r["FILLED"], "Setup is not complete. If You quit Setup program now, the "
                                      "program Orvendel will not be installed.")
        self.assertEqual(r["PERCENT"], "100% of Orvendel")

    def test_confirm_exit_owners_and_answers(self):
        pairs = harness("confirm")
        ids = {k: v.upper() for k, v in pairs if k in ("MAIN", "WIZARD", "PROGRESS")}
        texts = ("DEFID=2 TEXT1=Setup is not complete. If You quit Setup program now, the program "
                 "Orvendel will not be installed. TEXT2=To continue installing the program "
                 "Orvendel, click Resume. To quit the Setup program, click Exit Setup")
        asked = [v.split("|") for k, v in pairs if k == "CONFIRM"]
        expected = [("main-exit", "1", "MAIN"), ("main-escape", "0", "MAIN"),
                    ("main-resume", "0", "MAIN"), ("wizard-exit", "1", "WIZARD"),
                    ("progress-resume", "0", "PROGRESS")]
        self.assertEqual(len(asked), len(expected))
        for (what, result, report, after), (want_what, want_result, owner) in zip(asked, expected):
            self.assertEqual((what, result), (want_what, want_result))
            self.assertEqual(report, "OWNER=%s MAINENABLED=0 %s" % (ids[owner], texts), what)
            self.assertEqual(after, "MAINENABLEDAFTER=1", what)
        # A close request to the copy dialog: Resume posts nothing, Exit Setup CMD_CLOSE_WIZARD.
        cancels = [v.split("|")[:2] for k, v in pairs if k == "CANCEL"]
        self.assertEqual(cancels, [["2", "0"], ["1", "101"]])

    def test_load_text_scratch_rotation(self):
        texts = {
            1039: "Setup is not complete. The program %s is not installed.\n\nYou may run the "
                  "Setup program at a later time to complete the instalation",
            1024: "Error accessing file: %s.",
            1025: "Error accessing license file.",
        }
        got = [v.split("|", 2) for k, v in harness("texts") if k == "TEXT"]
        cursor = 0
        for ident, offset, text in got:
            ident = int(ident)
            if 5000 - cursor < 200:
                cursor = 0
            if ident not in texts:
                self.assertEqual((offset, text), ("-1", "ERROR LOADING STRING"))
                continue
            self.assertEqual((int(offset), text), (cursor, texts[ident].split("\n")[0]))
            cursor += len(texts[ident]) + 1
        self.assertEqual(len(got), 200)

    def test_program_files_dir_that_does_not_fit(self):
        key = r"Software\Microsoft\Windows\CurrentVersion"
        original = dict(harness("regget", "HKLM", key, "ProgramFilesDir"))["VALUE"]
        try:
            for value, expected in (("C:\\" + "p" * 255, "C:\\" + "p" * 255),
                                    ("C:\\" + "p" * 256, ""), ("C:\\" + "p" * 400, "")):
                harness("regset", "HKLM", key, "ProgramFilesDir", value)
                self.assertEqual(dict(harness("startup"))["PROGRAMFILESDIR"], expected,
                                 len(value))
        finally:
            harness("regset", "HKLM", key, "ProgramFilesDir", original)
        self.assertEqual(dict(harness("startup"))["PROGRAMFILESDIR"], original)


if __name__ == "__main__":
    winetest.main()
