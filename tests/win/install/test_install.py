"""install.exe under Wine on Xvfb with real packages made by mkinstall: extraction, Setup.exe's start,
the temporary directory's life, the progress dialog and Cancel, damaged packages, a full disk and
the command line. A probe stands in for Setup.exe and reports what it saw (setup_probe.cpp)."""
import gzip
import io
import os
import pathlib
import random
import re
import shutil
import subprocess
import sys
import tarfile
import unittest

import winetest
from winetest import WIN_BIN, WIN_TESTS, windows_path

sys.path.insert(0, str(winetest.ROOT / "tests" / "ui"))
import uidriver  # noqa: E402

STUB = WIN_BIN / "install.exe"
PROBE = WIN_TESTS / "setup_probe.exe"
LAUNCH_AS = WIN_TESTS / "launch_as.exe"
CAPTION = "Self-extracting archive"
CAPTION_EXTRACT = "Error extracting archive"
BOTH_CAPTIONS = CAPTION + "|" + CAPTION_EXTRACT
USAGE = ("Usage: install [tmp_path]\n\nWhere tmp_path is a path to temporary directory\n"
         "with enough space for holding extracted archive.")
DISK_FULL = ('Target disk is full. Please free aditional space or redirect\nto another drive using '
             'path parameter (use "-h" for help).')
EPOCH_TICKS = 116444736000000000
READONLY, DIRECTORY, ARCHIVE = 0x01, 0x10, 0x20


def fnv1a(data):
    h = 1469598103934665603
    for b in data:
        h = ((h ^ b) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return h


def ticks(mtime):
    return mtime * 10_000_000 + EPOCH_TICKS


def pack(tree, out, level=None):
    args = [str(winetest.MKINSTALL), "pack", str(tree), "-o", str(out), "--stub", str(STUB),
            "--setup", str(PROBE)]
    if level is not None:
        args += ["--level", str(level)]
    subprocess.run(args, check=True, timeout=300)
    return out


def mkinstall_message(package):
    """The core's verdict on a package, as mkinstall extract prints it on the host."""
    d = winetest.scratch_dir("oracle")
    r = subprocess.run([str(winetest.MKINSTALL), "extract", str(package), str(d / "out")],
                       stderr=subprocess.PIPE, timeout=120)
    return r.returncode, r.stderr.decode().strip()


def read_report(path):
    lines = path.read_text(encoding="latin-1").splitlines()
    head = dict(l.split(" ", 1) for l in lines[:2])
    entries = {}
    for line in lines[2:]:
        kind, rest = line.split(" ", 1)
        name, size, attrs, created, accessed, written, digest = rest.split("|")
        entries[name] = dict(kind=kind, size=int(size), attrs=int(attrs, 16), created=int(created),
                             accessed=int(accessed), written=int(written), digest=int(digest, 16))
    return head, entries


def unix_path(windows):
    """A path that Wine showed as Z:\\... or C:\\... as seen from Linux."""
    drive, rest = windows[0].upper(), windows[2:].replace("\\", "/")
    base = "/" if drive == "Z" else str(winetest.BUILD / "wineprefix" / "drive_c") + "/"
    return pathlib.Path(base + rest.lstrip("/"))


def assert_temp_name(test, path, parent):
    """Made by GetTempFileNameA with prefix INST: INS, up to four hex digits, .tmp."""
    test.assertTrue(path.upper().startswith(parent.upper() + "\\"), (path, parent))
    test.assertRegex(path[len(parent) + 1:].upper(), r"^INS[0-9A-F]{1,4}\.TMP$")


class Install(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        uidriver.draw_frames()
        cls.work = winetest.scratch_dir("install")
        cls.tree = cls.work / "tree"
        cls.expected = cls.make_tree(cls.tree)
        cls.package = pack(cls.tree, cls.work / "package.exe")
        cls.gzip_start = STUB.stat().st_size

    @staticmethod
    def make_tree(tree):
        """The fixture tree; returns {windows name: (mtime, read-only, bytes or None for a dir)}."""
        rng = random.Random(4)
        files = {
            "setup.inf": (1000000000, False, b"[Private]\r\n"),
            "license.txt": (1000000000, False, b"Licence text\r\n" * 40),
            "readme.txt": (1700000000, True, b"read only\r\n"),
            "empty.bin": (0, False, b""),
            "chunk+1.bin": (1234567890, False, bytes(rng.getrandbits(8) for _ in range(51201))),
            "sub/deeper/" + "n" * 120 + ".txt": (1500000000, False, b"long name\n"),
            "rodir/inner.txt": (1600000000, True, b"inside a read-only directory\n"),
        }
        expected = {}
        for name, (mtime, ro, data) in files.items():
            path = tree / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
            os.utime(path, (mtime, mtime))
            expected[name.replace("/", "\\")] = (mtime, ro, data)
        for d, mtime in (("sub/deeper", 1400000000), ("sub", 1400000000), ("rodir", 1300000000)):
            expected[d.replace("/", "\\")] = (mtime, False, None)
        for name, (mtime, ro, data) in files.items():
            if ro:
                (tree / name).chmod(0o444)
        (tree / "rodir").chmod(0o555)
        expected["rodir"] = (1300000000, True, None)
        for d, (mtime, _, _) in ((k, v) for k, v in expected.items() if v[2] is None):
            os.utime(tree / d.replace("\\", "/"), (mtime, mtime))
        return expected

    def run_install(self, package, *args, exit_code=0, cwd=None, timeout=90, litter=False):
        """Runs a package that shows no box; returns the probe's (head, entries)."""
        report = winetest.scratch_dir("report") / "report.txt"
        env = {"SETUP_PROBE_REPORT": windows_path(report), "SETUP_PROBE_EXIT": str(exit_code)}
        if litter:
            env["SETUP_PROBE_LITTER"] = "1"
        code = uidriver.Program(package, *args, timeout=timeout, cwd=cwd, env=env).wait()
        self.assertEqual(code, 0, "install must end with 0 whatever Setup.exe returned")
        self.assertTrue(report.exists(), "Setup.exe did not run")
        return read_report(report)

    def run_failing(self, package, args, caption, text=None, cwd=None, env=None):
        """Runs a package that must show one box; returns (exit code, box text)."""
        code, r = uidriver.run_program_with_driver(package, args, [
            "msgbox \"%s\" ok" % BOTH_CAPTIONS,
            "absent #32770 \"%s\" 1500" % BOTH_CAPTIONS,
        ], timeout=90, cwd=cwd, env=env)
        self.assertEqual(r.code, 0, r)
        boxes = r.messages()
        self.assertEqual(len(boxes), 1, r)
        self.assertEqual(boxes[0][0], caption, r)
        if text is not None:
            self.assertEqual(boxes[0][1], text, r)
        return code, boxes[0][1]

    def check_tree(self, entries):
        self.assertEqual(set(entries), set(self.expected) | {"Setup.exe"})
        for name, (mtime, ro, data) in self.expected.items():
            with self.subTest(entry=name):
                e = entries[name]
                if data is None:
                    self.assertEqual(e["kind"], "D")
                    self.assertTrue(e["attrs"] & DIRECTORY)
                    continue
                self.assertEqual(e["kind"], "F")
                self.assertEqual((e["size"], e["digest"]), (len(data), fnv1a(data)))
                self.assertEqual(e["attrs"] & (READONLY | ARCHIVE | DIRECTORY),
                                 ARCHIVE | (READONLY if ro else 0))
                self.assertEqual((e["created"], e["accessed"], e["written"]), (ticks(mtime),) * 3)
        probe = PROBE.read_bytes()
        self.assertEqual((entries["Setup.exe"]["size"], entries["Setup.exe"]["digest"]),
                         (len(probe), fnv1a(probe)))

    def assert_empty(self, directory):
        self.assertEqual(sorted(p.name for p in directory.iterdir()), [])

    # ---- success ---------------------------------------------------------------------------

    def test_extracts_runs_setup_there_and_removes_the_directory(self):
        temp = self.work / "temp dir"  # a blank in it: the path reaches install in quotes
        temp.mkdir()
        for setup_code in (0, 7):
            with self.subTest(setup_exit=setup_code):
                head, entries = self.run_install(self.package, windows_path(temp), "-h", "extra",
                                                 exit_code=setup_code, litter=setup_code != 0)
                assert_temp_name(self, head["CWD"], windows_path(temp))
                # Started with no arguments: the command line is the path alone (Wine quotes it).
                self.assertEqual(head["CMDLINE"].strip('"'), head["CWD"] + "\\Setup.exe")
                if setup_code:
                    # What Setup.exe left protected was really protected, and is gone all the same.
                    self.assertEqual(entries.pop("hidden.txt")["attrs"] & 0x03, 0x03)
                    self.assertEqual(entries.pop("litter\\deep\\locked.txt")["attrs"] & 0x07, 0x07)
                    self.assertEqual(entries.pop("system.txt")["attrs"] & 0x04, 0x04)
                    for d in ("litter", "litter\\deep"):
                        entries.pop(d)
                self.check_tree(entries)
                self.assert_empty(temp)

    def test_system_temp_directory_by_default_and_renamed_package(self):
        renamed = self.work / "another name.exe"
        shutil.copy(self.package, renamed)
        head, entries = self.run_install(renamed)
        self.assertIn("\\TEMP\\INS", head["CWD"].upper())
        self.assertIn("Setup.exe", entries)
        self.assertFalse(unix_path(head["CWD"]).exists())
        self.assertTrue(unix_path(head["CWD"]).parent.is_dir())

    def test_megabytes_of_text_and_binary(self):
        # Several windows' worth of every block kind: long matches, literals, stored blocks.
        rng = random.Random(6)
        words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
                 for _ in range(4000)]
        tree = self.work / "megabytes"
        tree.mkdir()
        files = {"text.txt": b" ".join(rng.choice(words) for _ in range(700000)),
                 "random.bin": rng.randbytes(1 << 20), "zeros.bin": bytes(3 << 20),
                 "setup.inf": b"x", "license.txt": b"x"}
        for name, data in files.items():
            (tree / name).write_bytes(data)
        package = pack(tree, self.work / "megabytes.exe")
        temp = self.work / "megabytes-temp"
        temp.mkdir()
        _, entries = self.run_install(package, windows_path(temp))
        for name, data in files.items():
            self.assertEqual((entries[name]["size"], entries[name]["digest"]), (len(data), fnv1a(data)),
                             name)
        self.assert_empty(temp)

    def test_relative_temp_path_is_made_absolute(self):
        base = winetest.scratch_dir("relative")
        (base / "rel").mkdir()
        head, _ = self.run_install(self.package, "rel", cwd=base)
        assert_temp_name(self, head["CWD"], windows_path(base / "rel"))
        self.assert_empty(base / "rel")

    # ---- the progress dialog and Cancel ----------------------------------------------------

    def test_progress_dialog_and_cancel(self):
        tree = self.work / "many"
        for d in range(30):
            (tree / ("dir%02d" % d)).mkdir(parents=True)
            for f in range(100):
                (tree / ("dir%02d" % d) / ("file%03d.txt" % f)).write_bytes(b"x" * (d * f))
        for name in ("setup.inf", "license.txt"):
            (tree / name).write_bytes(b"x")
        package = pack(tree, self.work / "many.exe")
        temp = self.work / "cancel"
        temp.mkdir()
        report = self.work / "cancel-report.txt"
        code, r = uidriver.run_program_with_driver(package, [windows_path(temp)], [
            'wait #32770 "Extracting files"',
            "sleep 300",
            "text 1001",
            "text 1003",
            'expect 2 "Cancel"',
            "sleep 300",
            "snap install-progress",
            "click 2",
            "click 2",
            'msgbox "%s" - "Extraction terminated on user request."' % CAPTION_EXTRACT,
            "sleep 700",  # let the box paint itself before the shot
            "snap install-cancelled",
            'msgbox "%s" ok' % CAPTION_EXTRACT,
            "gone 20000",
            'absent #32770 "%s" 1500' % BOTH_CAPTIONS,
        ], timeout=120, env={"SETUP_PROBE_REPORT": windows_path(report)})
        self.assertEqual(r.code, 0, r)
        self.assertEqual(code, 1)
        self.assertEqual(len(r.messages()), 2, r)  # the same box, seen before and after the shot
        texts = r.texts()
        assert_temp_name(self, texts["1001"], windows_path(temp))
        self.assertRegex(texts["1003"], r"^(dir\d\d/(file\d\d\d\.txt)?|Setup\.exe|setup\.inf|license\.txt)$")
        self.assertFalse(report.exists(), "Setup.exe must not run after Cancel")
        self.assert_empty(temp)

    # ---- damaged packages ------------------------------------------------------------------

    def damaged(self, name, change):
        data = bytearray(self.package.read_bytes())
        data = change(data) or data
        out = self.work / (name + ".exe")
        out.write_bytes(bytes(data))
        return out

    def test_damaged_packages_report_once_and_leave_nothing(self):
        p = self.gzip_start
        pe = int.from_bytes(STUB.read_bytes()[60:64], "little")

        def flip(offset, mask=0xFF):
            def change(d):
                d[offset] ^= mask
            return change

        def set_byte(offset, value):
            def change(d):
                d[offset] = value
            return change

        gz_len = self.package.stat().st_size - p
        cases = [
            # name, change, caption, text (None: whatever the core says on the host)
            ("crc", flip(-8), CAPTION_EXTRACT, "Archive corrupted, CRC error."),
            ("isize", flip(-4, 0x01), CAPTION_EXTRACT, "Archive corrupted, bad archive length."),
            ("no-payload", lambda d: d[:p], CAPTION_EXTRACT, "Archive type not recognised."),
            ("method", set_byte(p + 2, 7), CAPTION_EXTRACT, "Unsupported compression method."),
            ("encrypted", set_byte(p + 3, 0x22), CAPTION_EXTRACT, "Encrypted archives not supported."),
            ("multipart", set_byte(p + 3, 0x42), CAPTION_EXTRACT, "Multipart archives not supported."),
            ("reserved", set_byte(p + 3, 0x41), CAPTION_EXTRACT, "Unknown compression flags."),
            ("no-pe", flip(pe + 1, 0x20), CAPTION, "No PE executable signature found."),
            ("no-mz", flip(0, 0x20), CAPTION, "No EXE signature found."),
            ("flipped", flip(p + gz_len // 2), CAPTION_EXTRACT, None),
            ("cut", lambda d: d[:p + gz_len // 2], CAPTION_EXTRACT, None),
        ]
        temp = self.work / "damaged"
        temp.mkdir()
        for name, change, caption, text in cases:
            with self.subTest(case=name):
                package = self.damaged(name, change)
                status, oracle = mkinstall_message(package)
                self.assertEqual(status, 1, oracle)
                program, args = package, [windows_path(temp)]
                if caption == CAPTION:
                    # Not loadable any more: an intact stub is started under the damaged file's name.
                    program, args = LAUNCH_AS, [windows_path(STUB), windows_path(package)] + args
                code, shown = self.run_failing(program, args, caption, text)
                self.assertEqual(code, 1)
                if name != "no-mz":  # mkinstall takes a file without "MZ" for a bare .tar.gz
                    self.assertEqual("%s: %s" % (caption, shown), oracle)
                self.assert_empty(temp)
        screenshot_case = self.damaged("crc-shot", flip(-8))
        code, r = uidriver.run_program_with_driver(screenshot_case, [windows_path(temp)], [
            'msgbox "%s" -' % CAPTION_EXTRACT, "sleep 700", "snap install-crc-error",
            'msgbox "%s" ok' % CAPTION_EXTRACT])
        self.assertEqual((code, r.code), (1, 0), r)

    def test_setup_missing_from_the_archive(self):
        buffer = io.BytesIO()
        with tarfile.open(fileobj=buffer, mode="w", format=tarfile.GNU_FORMAT) as tar:
            for name in ("setup.inf", "license.txt"):
                info = tarfile.TarInfo(name)
                info.size = 3
                tar.addfile(info, io.BytesIO(b"abc"))
        package = self.work / "no-setup.exe"
        package.write_bytes(STUB.read_bytes() + gzip.compress(buffer.getvalue()))
        temp = self.work / "no-setup"
        temp.mkdir()
        code, text = self.run_failing(package, [windows_path(temp)], CAPTION)
        self.assertEqual(code, 1)
        prefix = "Unable to spawn external program: "
        self.assertTrue(text.startswith(prefix), text)
        self.assertGreater(len(text.strip()), len(prefix), "the system's text must follow")
        self.assert_empty(temp)

    def test_full_disk(self):
        if os.geteuid() != 0:
            self.skipTest("mounting a tmpfs needs root")
        mount = self.work / "full"
        mount.mkdir()
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", str(mount)],
                                 stderr=subprocess.PIPE)
        if mounted.returncode != 0:
            self.skipTest("cannot mount a tmpfs here: %s" % mounted.stderr.decode().strip())
        self.addCleanup(subprocess.run, ["umount", "-l", str(mount)])
        tree = self.work / "large"
        tree.mkdir()
        (tree / "setup.inf").write_bytes(b"x")
        (tree / "license.txt").write_bytes(b"x")
        (tree / "data.bin").write_bytes(random.Random(5).randbytes(1 << 20))
        package = pack(tree, self.work / "large.exe")
        code, _ = self.run_failing(package, [windows_path(mount)], CAPTION_EXTRACT, DISK_FULL)
        self.assertEqual(code, 1)
        self.assert_empty(mount)

    # ---- command line ----------------------------------------------------------------------

    def test_command_line_switches(self):
        cases = [(["-?"], 0, "usage"), (["/H"], 0, "usage"), (["-help"], 0, "usage"),
                 (["-x"], 1, "bad"), (["/"], 1, "bad"), (["-x", "-h"], 1, "bad")]
        for args, want, kind in cases:
            with self.subTest(args=args):
                if kind == "usage":
                    code, text = self.run_failing(self.package, args, CAPTION, USAGE)
                else:
                    code, text = self.run_failing(
                        self.package, args, CAPTION,
                        'Bad command-line parameters, use switch "-h" for help.')
                self.assertEqual(code, want)
        code, r = uidriver.run_program_with_driver(self.package, ["-h"], [
            'msgbox "%s" -' % CAPTION, "sleep 700", "snap install-usage", 'msgbox "%s" ok' % CAPTION])
        self.assertEqual((code, r.code), (0, 0), r)

    def test_own_file_cannot_be_opened(self):
        # The own file is the one the command line names, whatever image is running.
        for name, first_token in (("missing", windows_path(self.work / "no-such.exe")),
                                  ("too long", "C:\\" + "a" * 300 + ".exe")):
            with self.subTest(case=name):
                code, text = self.run_failing(LAUNCH_AS, [windows_path(STUB), first_token], CAPTION)
                self.assertEqual(code, 1)
                prefix = "Error opening archive file: "
                self.assertTrue(text.startswith(prefix) and len(text.strip()) > len(prefix), text)

    def test_missing_temp_directory(self):
        missing = self.work / "does-not-exist"
        code, text = self.run_failing(self.package, [windows_path(missing)], CAPTION)
        self.assertEqual(code, 1)
        prefix = "Unable to get temporary file name: "
        self.assertTrue(text.startswith(prefix) and len(text.strip()) > len(prefix), text)
        self.assertFalse(missing.exists())


if __name__ == "__main__":
    winetest.main()
