"""The setup wizard on Xvfb under Wine, driven by the UI driver: the pages and their rules, the
destination checks, every way out, the finish and its launches, the backdrop, and the whole road
from a package built by mkinstall to an installed tree."""
import os
import pathlib
import re
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "ui"))
import screen  # noqa: E402
import uidriver  # noqa: E402
import winetest  # noqa: E402
from winetest import BUILD, MKINSTALL, WIN_BIN, WIN_TESTS, windows_path  # noqa: E402

# The driver's "snap" pauses take their pictures through the composing screenshot.
winetest.screenshot = screen.screenshot

EXAMPLE = WIN_BIN.parent / "examples" / "orvendel"
HARNESS = WIN_TESTS / "setup_harness.exe"
TRACER = WIN_TESTS / "launch_tracer.exe"
DRIVE_C = BUILD / "wineprefix" / "drive_c"
DOSDEVICES = BUILD / "wineprefix" / "dosdevices"
DEST = r"C:\Program Files\Orvendel"
DEST_UNIX = DRIVE_C / "Program Files" / "Orvendel"
UNINSTALL_KEY = r"SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvendel"

ASK_CREATE = ("The directory:\n\n'%s'\n\ndoes not exist. Do you want the directory to be "
              "created?")
NOT_INSTALLED = ("Setup is not complete. The program Orvendel is not installed.\n\nYou may run "
                 "the Setup program at a later time to complete the instalation")


def harness(*args):
    r = winetest.wine(HARNESS, *args)
    out = r.stdout.decode("latin-1").replace("\r\n", "\n")
    return [tuple(line.split(":", 1)) for line in out.splitlines() if ":" in line]


def package(name, script=None, extra=None):
    """The example package folder with Setup.exe, in a fresh scratch directory; SCRIPT replaces
    setup.inf, EXTRA maps further file names to their source files."""
    folder = winetest.scratch_dir("wizard-" + name) / "package"
    shutil.copytree(EXAMPLE, folder)
    shutil.copy(WIN_BIN / "setup.exe", folder / "Setup.exe")
    if script is not None:
        (folder / "setup.inf").write_bytes(script.replace("\n", "\r\n").encode("latin-1"))
    for rel, source in (extra or {}).items():
        shutil.copy(source, folder / rel)
    return folder


def example_script(**changes):
    text = (EXAMPLE / "setup.inf").read_bytes().decode("latin-1").replace("\r\n", "\n")
    for old, new in changes.items():
        text = text.replace(old, new)
    return text


def run_setup(folder, script, env=None, timeout=240):
    code, result = uidriver.run_program_with_driver(folder / "Setup.exe", [], script,
                                                    timeout=timeout, cwd=folder, env=env)
    return code, result


def controls(result, mark):
    """{id: (class, style, text)} from the "controls" listing printed after "echo MARK"."""
    out, on = {}, False
    for line in result.lines:
        if line.startswith("ECHO "):
            on = line == 'ECHO "%s"' % mark
            continue
        m = re.match(r'CONTROL (-?\d+) (\S+) style=0x([0-9A-F]+) (".*")$', line)
        if on and m:
            out.setdefault(int(m.group(1)), (m.group(2), int(m.group(3), 16),
                                              uidriver._unquote(m.group(4))))
    return out


def visible(style):
    return bool(style & 0x10000000)


# Driver script pieces: from the start of setup to a page.
TO_LICENSE = ["wait #32770 Welcome", "click 6", 'wait #32770 "Software License Agreement"']
TO_DESTINATION = TO_LICENSE + ["click 1002", "sleep 100", "click 6",
                               'wait #32770 "Choose Destination Location"']
# Next on a new destination: answer the creation question with Yes.
ACCEPT_NEW = ["click 6", "msgbox Setup yes"]
TO_FOLDER = TO_DESTINATION + ACCEPT_NEW + ['wait #32770 "Select Program Folder"']
TO_CONFIRM = TO_FOLDER + ["click 6", 'wait #32770 "Confirm Your Selections"']


class WizardBase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Setup's windows get frames drawn by Wine itself (there is no window manager on Xvfb).
        winetest.wine("reg", "add", r"HKCU\Software\Wine\AppDefaults\Setup.exe\X11 Driver",
                      "/v", "Managed", "/d", "N", "/f")
        # A fresh prefix links the desktop folder to the home directory; keep shortcuts inside.
        for desktop in (DRIVE_C / "users").glob("*/Desktop"):
            if desktop.is_symlink():
                desktop.unlink()
                desktop.mkdir()

    def setUp(self):
        self.clean()

    def tearDown(self):
        self.end_leftover_setups()
        self.clean()

    @staticmethod
    def end_leftover_setups():
        """Ends setup processes of this prefix that a failed script left on screen (a package's
        Setup.exe outlives its install.exe when that is stopped by the time limit)."""
        prefix = str(BUILD / "wineprefix")
        for proc in pathlib.Path("/proc").iterdir():
            if not proc.name.isdigit():
                continue
            try:
                cmdline = (proc / "cmdline").read_bytes()
                environ = (proc / "environ").read_bytes().split(b"\0")
            except OSError:
                continue
            if b"setup.exe" in cmdline.lower() and ("WINEPREFIX=" + prefix).encode() in environ:
                try:
                    os.kill(int(proc.name), 9)
                except OSError:
                    pass

    def clean(self):
        shutil.rmtree(DEST_UNIX, ignore_errors=True)
        harness("regdel", "HKLM", UNINSTALL_KEY)
        harness("regdel", "HKCU", r"Software\Tervo")
        for lnk in DRIVE_C.glob("users/*/**/Orvendel*"):
            if lnk.is_dir():
                shutil.rmtree(lnk, ignore_errors=True)
            else:
                lnk.unlink()
        program = DRIVE_C / "Program.exe"
        if program.exists():
            program.unlink()

    def assertDriver(self, result, code=0):
        self.assertEqual(result.code, code, result)


class Resources(WizardBase):
    def test_page_and_finish_templates(self):
        page_header = "40C00444|00000000|%d|0,0,260,159|||%s|8|MS Sans Serif"
        want = {
            102: (page_header % (4, "Welcome"), [
                "300|50020003|00000000|8,5,20,20|STATIC|#300",
                "1000|50020000|00000000|45,5,193,25|STATIC|Welcome to the Setup program. This "
                "program will install %s on Your computer.",
                "1001|50020000|00000000|45,38,197,26|STATIC|To exit Setup without installing the "
                "%s, click Exit Setup at any time.",
                "-1|50020000|00000000|45,70,175,19|STATIC|To continue with Setup program, click "
                "Next."]),
            103: (page_header % (6, "Choose Destination Location"), [
                "1010|50020000|00000000|5,5,248,8|STATIC|Setup will install %s int the folowing "
                "directory.",
                "-1|50020000|00000000|5,21,116,8|STATIC|To install to this directory, click Next.",
                "-1|50020000|00000000|5,38,223,8|STATIC|To install to diferent directory, type "
                "new destination directory or click ....",
                "-1|50000007|00000000|5,120,249,34|BUTTON| &Destination Directory ",
                "1012|50810080|00000000|12,133,220,13|EDIT|",
                "1003|50010000|00000000|234,133,14,13|BUTTON|..."]),
            104: (page_header % (5, "Software License Agreement"), [
                "1007|50A10844|00000000|5,26,250,104|EDIT|",
                "1012|50020000|00000000|5,147,233,13|STATIC|To continue with Setup program, You "
                "must accept this agreement.",
                "1013|50020000|00000000|5,5,199,9|STATIC|Please read the following license "
                "agreement.",
                "1014|50020000|00000000|5,15,208,10|STATIC|Press the PAGE DOWN key to see the "
                "rest of the agreement.",
                "1002|50010003|00000000|5,136,198,10|BUTTON|&Accept all of th terms of the "
                "preceding License Agreement"]),
            105: (page_header % (6, "Select Program Folder"), [
                "-1|50020000|00000000|5,5,172,8|STATIC|Setup will add program icons to the "
                "folder listed bellow.",
                "1017|50010003|00000000|5,42,244,10|BUTTON|Insert program shortcut on &Desktop",
                "1019|50010003|00000000|5,54,241,10|BUTTON|Insert program shortcut in &Start menu",
                "1018|50010003|00000000|5,66,244,10|BUTTON|Insert program &group in Start menu",
                "1021|50030009|00000000|5,92,192,8|BUTTON|Use &Personal folders",
                "1022|50010009|00000000|5,103,203,10|BUTTON|Use &Common folders"]),
            106: (page_header % (4, "Confirm Your Selections"), [
                "-1|50020000|00000000|5,5,145,8|STATIC|To review or change any settings, click "
                "Back.",
                "-1|50020000|00000000|5,16,99,8|STATIC|To start instalation, click Finish.",
                "-1|50020000|00000000|5,43,52,8|STATIC|Current settings:",
                "1004|508108C4|00000000|5,53,250,101|EDIT|"]),
            109: ("80C000C0|00000000|6|0,0,249,117|||Setup|8|MS Sans Serif", [
                "1023|50020000|00000000|10,10,231,8|STATIC|Setup has finished installing %s on "
                "your computer.",
                "1019|50010003|00000000|10,44,119,10|BUTTON|Yes, I want to &view the Read Me",
                "1020|50010003|00000000|10,56,199,10|BUTTON|Yes, I want to &run %s now.",
                "1|50010001|00000000|99,98,50,14|BUTTON|Fi&nish",
                "1026|50020000|00000000|10,19,232,19|STATIC|Setup can launch the Read Me file and "
                "%s. Choose the options you want bellow.",
                "-1|50020000|00000000|10,76,98,8|STATIC|Click Finish to complete Setup."]),
        }
        for template, (header, items) in want.items():
            with self.subTest(template=template):
                pairs = harness("template", str(template))
                self.assertEqual(pairs[0], ("HEADER", header))
                self.assertEqual([v for k, v in pairs[1:]], items)


class Pages(WizardBase):
    def test_page_rules_summary_and_exit(self):
        folder = package("pages")
        code, r = run_setup(folder, [
            "wait #32770 Welcome",
            "snap wizard-1-welcome",
            "echo welcome", "controls",
            "command 2",  # Esc does nothing in the wizard
            "sleep 200",
            "caption Welcome",
            "click 6",
            'wait #32770 "Software License Agreement"',
            "echo license", "controls",
            "expect-enabled 6 0",
            "click 1002", "sleep 150", "expect-enabled 6 1",
            "snap wizard-2-license",
            "click 1002", "sleep 150", "expect-enabled 6 0",
            "click 5",
            "wait #32770 Welcome",
            "expect-enabled 6 1",
            "echo welcome-again", "controls",
            "click 6",
            'wait #32770 "Software License Agreement"',
            "expect-checked 1002 0",
            "click 1002", "sleep 150",
            "click 6",
            'wait #32770 "Choose Destination Location"',
            "text 1010", "text 1012",
            "snap wizard-3-destination",
            "click 6",
            "msgbox Setup no \"%s\"" % (ASK_CREATE % DEST).replace("\\", "\\\\").replace(
                "\n", "\\n"),
            "sleep 200",
            "caption \"Choose Destination Location\"",
            "click 6",
            "msgbox Setup yes",
            'wait #32770 "Select Program Folder"',
            "echo folder", "controls",
            "expect-enabled 1021 1", "expect-checked 1021 1",
            "click 1017", "click 1019", "click 1018", "sleep 200",
            "expect-enabled 1021 0", "expect-enabled 1022 0",
            "click 1017", "click 1018", "click 1022", "sleep 200",
            "expect-enabled 1021 1", "expect-checked 1022 1",
            "snap wizard-4-folder",
            "click 6",
            'wait #32770 "Confirm Your Selections"',
            "text 1004",
            'expect 6 "Fi&nish"',
            "snap wizard-5-confirm",
            "click 5",
            'wait #32770 "Select Program Folder"',
            'expect 6 "&Next >"',
            "expect-checked 1019 0", "expect-checked 1022 1",
            "click 6",
            'wait #32770 "Confirm Your Selections"',
            'expect 6 "Fi&nish"',
            # Exit Setup, then Resume: nothing changes.
            "click 7",
            'wait #32770 "Exit Setup"',
            "snap wizard-exit",
            "click 2",
            "gone 5000",
            'wait #32770 "Confirm Your Selections"',
            'expect 6 "Fi&nish"',
            # The main window's close box asks too; Resume again.
            "wait TervoInstallMW Setup",
            "close",
            'wait #32770 "Exit Setup"',
            "click 2",
            "gone 5000",
            # The wizard's close box, then Exit Setup: setup ends.
            'wait #32770 "Confirm Your Selections"',
            "close",
            'wait #32770 "Exit Setup"',
            "click 1",
            "wait TervoInstallMW Setup",
            "gone 15000",
        ])
        self.assertDriver(r)
        self.assertEqual(code, 0)

        welcome = controls(r, "welcome")
        self.assertFalse(visible(welcome[5][1]), "Back is hidden on the first page")
        self.assertTrue(welcome[6][1] & 1, "Next looks like the default button")
        self.assertEqual(welcome[1000][2], "Welcome to the Setup program. This program will "
                         "install Orvendel on Your computer.")
        self.assertEqual(welcome[1001][2], "To exit Setup without installing the Orvendel, "
                         "click Exit Setup at any time.")
        self.assertTrue(visible(controls(r, "license")[5][1]), "Back shows on the second page")
        self.assertFalse(visible(controls(r, "welcome-again")[5][1]))
        folder_page = controls(r, "folder")
        for box in (1017, 1018, 1019, 1021, 1022):
            self.assertTrue(visible(folder_page[box][1]), box)

        texts = r.texts()
        self.assertEqual(texts["1010"], "Setup will install Orvendel int the folowing directory.")
        self.assertEqual(texts["1012"], DEST)
        self.assertEqual(texts["1004"], "Target Directory\r\n        %s\r\n\r\nUse Common folders\r\n"
                         "        Insert program shortcut to Desktop\r\n"
                         "        Insert program group in Start menu\r\n\r\n" % DEST)
        self.assertEqual([c for c, _ in r.messages()], ["Setup", "Setup"])
        self.assertFalse(DEST_UNIX.exists(), "leaving setup installs nothing")

    def test_only_program_group_shortcuts(self):
        script = example_script(**{"%1\\quillard.exe,%5\\Orvendel.lnk,Orvendel\n": "",
                                   "%1\\quillard.exe,%6\\Orvendel.lnk,Orvendel\n": ""})
        self.assertNotIn("%5", script)
        folder = package("group-only", script)
        code, r = run_setup(folder, TO_FOLDER + [
            "echo folder", "controls",
            "click 6",
            'wait #32770 "Confirm Your Selections"',
            "text 1004",
            "click 7", 'wait #32770 "Exit Setup"', "click 1",
            "wait TervoInstallMW Setup", "gone 15000",
        ])
        self.assertDriver(r)
        page = controls(r, "folder")
        self.assertEqual([visible(page[i][1]) for i in (1017, 1019, 1018)], [False, False, True])
        # The hidden boxes keep their ticks, yet their options read back as 0.
        self.assertEqual(r.texts()["1004"], "Target Directory\r\n        %s\r\n\r\n"
                         "Use Personal folders\r\n"
                         "        Insert program group in Start menu\r\n\r\n" % DEST)

    def test_four_pages_without_shortcuts_and_bare_finish(self):
        script = re.sub(r"\[CreateShortcuts\].*?\n\n", "", example_script(), flags=re.S)
        script = script.replace("ViewReadme=%1\\readme.txt\n", "").replace(
            "RunProgram=%1\\quillard.exe\n", "").replace("%7\\Orvendel\n", "")
        folder = package("four", script)
        trace = folder.parent / "trace.txt"
        code, r = run_setup(folder, TO_DESTINATION + ACCEPT_NEW + [
            'wait #32770 "Confirm Your Selections"',
            "text 1004",
            "click 6",
            "wait #32770 Setup",
            "echo finish", "controls",
            "text 1023", "text 1026",
            "snap finish-bare",
            "click 1",
            "wait TervoInstallMW Setup",
            "gone 15000",
        ], env={"ORVENDEL_TRACE": windows_path(trace)})
        self.assertDriver(r)
        self.assertEqual(r.texts()["1004"], "Target Directory\r\n        %s\r\n\r\n" % DEST)
        finish = controls(r, "finish")
        self.assertFalse(visible(finish[1019][1]))
        self.assertFalse(visible(finish[1020][1]))
        self.assertEqual(r.texts()["1023"], "Setup has finished installing Orvendel on your "
                         "computer.")
        self.assertTrue((DEST_UNIX / "quillard.exe").exists())
        self.assertFalse(trace.exists(), "nothing is started")


class Destination(WizardBase):
    def test_unmeasurable_root_and_back(self):
        missing = next(l for l in "xwvuts" if not (DOSDEVICES / (l + ":")).exists())
        dest = missing.upper() + r":\Orvendel"
        folder = package("unmeasurable")
        code, r = run_setup(folder, TO_DESTINATION + [
            # An empty text would measure the current directory's disk: it is refused too. It
            # equals the empty last accepted text, so there is no question first.
            'type 1012 ""',
            "click 6",
            "msgbox Setup ok \"Destination Directory '' is invalid.\"",
            "sleep 500",
            "type 1012 \"%s\"" % dest.replace("\\", "\\\\"),
            "click 6",
            "msgbox Setup yes",
            "sleep 500",  # the answered box takes a moment to go
            "msgbox Setup ok \"Destination Directory '%s' is invalid.\"" % dest.replace(
                "\\", "\\\\"),
            "sleep 200",
            'caption "Choose Destination Location"',
            # Back validates nothing: no question, no message.
            'type 1012 "Q:\\\\elsewhere"',
            "click 5",
            'wait #32770 "Software License Agreement"',
            "nomsgbox Setup 700",
            "click 6",
            'wait #32770 "Choose Destination Location"',
            "text 1012",
            "click 7", 'wait #32770 "Exit Setup"', "click 1",
            "wait TervoInstallMW Setup", "gone 15000",
        ])
        self.assertDriver(r)
        self.assertEqual(r.texts()["1012"], r"Q:\elsewhere")

    def test_folder_browser(self):
        folder = package("browse")
        code, r = run_setup(folder, TO_DESTINATION + [
            'type 1012 "c:\\\\WINDOWS"',
            "click 1003",
            'wait #32770 "Choose Directory"',
            "sleep 300",
            "snap folder-browser",
            "click 2",
            "gone 5000",
            'wait #32770 "Choose Destination Location"',
            "text 1012",
            "click 1003",
            'wait #32770 "Choose Directory"',
            "sleep 300",
            "click 1",
            "gone 5000",
            'wait #32770 "Choose Destination Location"',
            "text 1012",
            "click 7", 'wait #32770 "Exit Setup"', "click 1",
            "wait TervoInstallMW Setup", "gone 15000",
        ])
        self.assertDriver(r)
        # Cancel leaves the text; OK gives the folder the browser opened on, as the shell
        # spells it.
        shown = [uidriver._unquote(l.split(" ", 2)[2]) for l in r.lines
                 if l.startswith("TEXT 1012 ")]
        self.assertEqual(shown, ["c:\\WINDOWS", "C:\\windows"])

    def test_small_disk_names_root_and_both_numbers(self):
        mount = winetest.scratch_dir("tiny") / "mnt"
        mount.mkdir()
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", str(mount)]).returncode:
            self.skipTest("cannot mount a tmpfs here")
        letter = next(l for l in "tsrqpon" if not (DOSDEVICES / (l + ":")).exists())
        link = DOSDEVICES / (letter + ":")
        try:
            link.symlink_to(mount)
            stat = os.statvfs(mount)
            free = stat.f_bavail * stat.f_frsize
            folder = package("small")
            dest = letter.upper() + r":\Orvendel"
            code, r = run_setup(folder, TO_DESTINATION + [
                "type 1012 \"%s\"" % dest.replace("\\", "\\\\"),
                "click 6",
                "msgbox Setup yes",
                "sleep 500",
                "msgbox Setup ok",
                "sleep 200",
                'caption "Choose Destination Location"',
                "click 7", 'wait #32770 "Exit Setup"', "click 1",
                "wait TervoInstallMW Setup", "gone 15000",
            ])
        finally:
            link.unlink()
            subprocess.run(["umount", str(mount)])
        self.assertDriver(r)
        self.assertEqual(r.messages()[-1], ("Setup", (
            "There is not enought space on disk %s:\\\n\nspace required: 661414 bytes\n"
            "space available:%d bytes\n\nPlease free up some disk space.") % (letter.upper(), free)))

    def test_large_disk_never_refused_and_trailing_backslash_dropped(self):
        # A requirement above the free space taken modulo 4 GiB but far below the true free space:
        # a product formed in 32 bits would refuse this disk.
        existing = winetest.scratch_dir("big-dest")
        stat = os.statvfs(existing)
        free = stat.f_bavail * stat.f_frsize
        if free < (5 << 30):
            self.skipTest("needs more than 5 GiB free")
        need = (free % (1 << 32)) + (512 << 20)
        lines, left = [], need - 10000
        while left > 0:
            size = min(left - 4096, 1 << 30)
            lines.append("%%0\\readme.txt,%%1\\big%d.txt,%d" % (len(lines), size))
            left -= size + 4096
        script = re.sub(r"\[CopyFiles\].*?\n\n",
                        lambda m: "[CopyFiles]\n" + "\n".join(lines) + "\n\n", example_script(),
                        flags=re.S)
        folder = package("large", script)
        typed = windows_path(existing) + "\\"
        code, r = run_setup(folder, TO_DESTINATION + [
            "type 1012 \"%s\"" % typed.replace("\\", "\\\\"),
            "click 6",
            'wait #32770 "Select Program Folder" 10000',
            "click 6",
            'wait #32770 "Confirm Your Selections"',
            "text 1004",
            "click 7", 'wait #32770 "Exit Setup"', "click 1",
            "wait TervoInstallMW Setup", "gone 15000",
        ])
        self.assertDriver(r)
        self.assertEqual(r.messages(), [], "an existing directory on a large disk goes through")
        self.assertIn("\r\n        %s\r\n" % typed[:-1], r.texts()["1004"])


class Finish(WizardBase):
    def test_program_first_then_quoted_readme_and_no_shorter_program(self):
        # A program at C:\Program.exe must not run in place of "C:\Program Files\...".
        shutil.copy(TRACER, DRIVE_C / "Program.exe")
        folder = package("finish", extra={"notepad.exe": TRACER})
        trace = folder.parent / "trace.txt"
        code, r = run_setup(folder, TO_CONFIRM + [
            "click 6",
            "wait #32770 Setup 60000",
            "expect-checked 1019 1", "expect-checked 1020 1",
            "text 1020",
            "snap finish",
            "click 1",
            "wait TervoInstallMW Setup",
            "gone 20000",
        ], env={"ORVENDEL_TRACE": windows_path(trace)})
        self.assertDriver(r)
        self.assertEqual(code, 0)
        self.assertEqual(r.texts()["1020"], "Yes, I want to &run Orvendel now.")
        lines = []
        for _ in range(100):  # the launched programs run on by themselves
            lines = trace.read_text().splitlines() if trace.exists() else []
            if len(lines) >= 2:
                break
            subprocess.run(["sleep", "0.1"])
        # Both run on by themselves: their creation times, not the trace's order, say which
        # was started first.
        records = sorted((l.split("|") for l in lines), key=lambda rec: int(rec[1]))
        self.assertEqual([(n, m.lower()) for n, _, m, _, _ in records], [
            ("quillard", (DEST + r"\quillard.exe").lower()),
            ("tracer", windows_path(folder / "notepad.exe").lower())], lines)
        self.assertEqual(records[0][4], '"%s\\quillard.exe"' % DEST)
        # Both run in the destination, not in setup's directory (a package's temporary one).
        self.assertEqual([rec[3] for rec in records], [DEST, DEST])
        self.assertEqual(records[1][4], 'notepad.exe "%s\\readme.txt"' % DEST)

    def test_escape_with_boxes_cleared_starts_nothing(self):
        folder = package("finish-esc", extra={"notepad.exe": TRACER})
        trace = folder.parent / "trace.txt"
        code, r = run_setup(folder, TO_CONFIRM + [
            "click 6",
            "wait #32770 Setup 60000",
            "click 1019", "click 1020", "sleep 200",
            "command 2",
            "wait TervoInstallMW Setup",
            "gone 20000",
        ], env={"ORVENDEL_TRACE": windows_path(trace)})
        self.assertDriver(r)
        subprocess.run(["sleep", "1"])
        self.assertFalse(trace.exists(), trace.read_text() if trace.exists() else "")
        self.assertTrue((DEST_UNIX / "readme.txt").exists())

    def test_failed_copy_shows_1039_and_no_finish(self):
        script = example_script(**{"%0\\readme.txt,": "%0\\no-such-file.txt,"})
        folder = package("failed-copy", script)
        code, r = run_setup(folder, TO_CONFIRM + [
            "click 6",
            "msgbox Setup ok \"%s\"" % NOT_INSTALLED.replace("\n", "\\n"),
            "sleep 700",  # the answered box takes a moment to go
            "absent #32770 Setup 1500",
        ])
        self.assertDriver(r)
        self.assertTrue((DEST_UNIX / "setup.inf").exists(), "the first copy was made")
        self.assertFalse((DEST_UNIX / "remove" / "remove.log").exists())


def pixel_column(png, x):
    """(r, g, b) of every row of column X of a PNG."""
    out = subprocess.run(["convert", str(png), "-crop", "1x100000+%d+0" % x, "+repage", "txt:-"],
                         stdout=subprocess.PIPE, text=True).stdout
    rows = {}
    for line in out.splitlines():
        m = re.match(r"0,(\d+): \((\d+),(\d+),(\d+)", line)
        if m:
            rows[int(m.group(1))] = tuple(int(v) for v in m.group(2, 3, 4))
    return [rows[i] for i in sorted(rows)]


class Backdrop(WizardBase):
    def test_band_colours_and_title(self):
        folder = package("backdrop")
        code, r = run_setup(folder, [
            "wait #32770 Welcome",
            "snap backdrop",
            "click 7", 'wait #32770 "Exit Setup"', "click 1",
            "wait TervoInstallMW Setup", "gone 15000",
        ])
        self.assertDriver(r)
        shot = winetest.SCREENSHOTS / "backdrop.png"
        column = pixel_column(shot, 1200)
        top = next(i for i, (red, green, blue) in enumerate(column) if (red, green, blue) == (0, 0, 255))
        # The client area runs from the first pure blue row to the bottom border; find the height
        # whose bands match what is on the screen.
        def expected(h, row):
            n = h // 8
            return 255 - (255 * (row // 8)) // n

        heights = [h for h in range(len(column) - top - 12, len(column) - top + 1)
                   if all(column[top + y][2] == expected(h, y) and column[top + y][:2] == (0, 0)
                          for y in range(0, h, 7))]
        self.assertTrue(heights, "no client height explains the bands")
        h = heights[0]
        self.assertEqual(column[top + 8][2], 255 - 255 // (h // 8))
        # The title: white text with a black shadow 4 pixels right and below, over the bands.
        text = subprocess.run(["convert", str(shot), "-crop", "700x50+0+%d" % top, "+repage",
                               "-format", "%[fx:maxima.r]", "info:"], stdout=subprocess.PIPE,
                              text=True).stdout
        self.assertEqual(float(text), 1.0, "white title pixels")


class FullRoad(WizardBase):
    def temp_dirs(self):
        # GetTempFileNameA keeps three letters of the "INST" prefix.
        return {p for p in DRIVE_C.glob("users/*/**/Temp/INS*.tmp")}

    def test_package_to_installed_tree(self):
        out = winetest.scratch_dir("road")
        pkg = out / "orvendel-setup.exe"
        subprocess.run([str(MKINSTALL), "pack", str(EXAMPLE), "-o", str(pkg)], check=True)
        before = self.temp_dirs()
        trace = out / "trace.txt"
        code, r = uidriver.run_program_with_driver(pkg, [], [
            "wait #32770 Welcome 60000",
            "snap road-1-welcome",
        ] + TO_CONFIRM[1:] + [
            "snap road-5-confirm",
            "click 6",
            "wait #32770 Setup 60000",
            "snap road-7-finish",
            "click 1",
            "wait Notepad readme* 30000",
            "snap road-8-readme",
            "close",
        ], timeout=300, env={"ORVENDEL_TRACE": windows_path(trace)})
        self.assertDriver(r)
        self.assertEqual(code, 0)
        self.assertEqual(self.temp_dirs(), before, "the package's temp directory is gone")

        files = sorted(str(p.relative_to(DEST_UNIX)) for p in DEST_UNIX.rglob("*"))
        self.assertEqual(files, ["packers", "packers/waitexec.exe", "quillard.exe", "readme.txt",
                                 "remove", "remove/remove.exe", "remove/remove.log", "setup.inf"])
        for rel in ("quillard.exe", "readme.txt", "setup.inf", "packers/waitexec.exe",
                    "remove/remove.exe"):
            self.assertEqual((DEST_UNIX / rel).read_bytes(), (EXAMPLE / rel).read_bytes(), rel)
        log = (DEST_UNIX / "remove" / "remove.log").read_bytes().decode("latin-1")
        self.assertTrue(log.startswith("[Options]\r\nUninstallApplication=Orvendel\r\n"), log)
        self.assertIn(DEST + "\\quillard.exe\r\n", log)
        self.assertIn("HKLM,%s,DisplayName\r\n" % UNINSTALL_KEY, log)
        self.assertIn("HKCU,Software\\Tervo\\Orvendel\r\n", log)
        self.assertTrue(log.endswith(DEST + "\\remove\\remove.log\r\n\r\n")
                        or "[DelDirs]" in log, log)
        links = [l for l in log.split("\r\n") if l.lower().endswith(".lnk")]
        self.assertEqual(len(links), 4, log)
        read = harness("link", *links)
        self.assertEqual(sorted(v for k, v in read if k == "PATH"),
                         sorted([DEST + "\\quillard.exe"] * 3 + [DEST + "\\remove\\remove.exe"]),
                         read)
        self.assertEqual(dict(harness("regget", "HKLM", UNINSTALL_KEY, "DisplayName"))["VALUE"],
                         "Orvendel")
        self.assertEqual(dict(harness("regget", "HKLM", UNINSTALL_KEY, "UninstallString"))["VALUE"],
                         DEST + "\\remove\\remove.exe")
        lines = trace.read_text().splitlines() if trace.exists() else []
        self.assertEqual([l.split("|")[0] for l in lines], ["quillard"], lines)


if __name__ == "__main__":
    winetest.main()
