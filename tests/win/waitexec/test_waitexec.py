"""waitexec.exe under Wine: help text, exit codes, the child's command line and output."""
import unittest

import winetest
from winetest import WIN_BIN, WIN_TESTS, windows_path

WAITEXEC = windows_path(WIN_BIN / "waitexec.exe")
PROBE = windows_path(WIN_TESTS / "probe.exe")
HELP = (b"WAITEXEC: Spawn for Orvendel\n\nUsage: waitexec [-|/<switch>] <executable> [exe params]\n"
        b"\nAvailable switches:\n  ?,h,H - this help screen\n"
        b"  c<num> - sets base of WAITEXEC error level to <num>\n\n")


class WaitExec(unittest.TestCase):
    def relay(self, *args):
        return winetest.run_exit_code([WAITEXEC, *args])

    def test_no_arguments_prints_help_bytes(self):
        r = winetest.wine(WIN_BIN / "waitexec.exe")
        self.assertEqual(r.stdout, HELP)
        code, out = self.relay()
        self.assertEqual((code, out), (10001, HELP))

    def test_help_and_base_cases(self):
        cases = [
            (["-c5"], 6, HELP),
            (["-h", PROBE], 10001, HELP),
            (["-c12x", PROBE], 13, HELP),
            (["-x", PROBE], 10000, b""),
            (["-C5", PROBE], 10000, b""),
            (["-h", "-x", PROBE], 10000, b""),
        ]
        for args, want_code, want_out in cases:
            with self.subTest(args=args):
                self.assertEqual(self.relay(*args), (want_code, want_out))

    def test_child_exit_code_relayed(self):
        for code in (0, 1, 255, 256, 10001, 2**31 + 5, 4294967295):
            with self.subTest(code=code):
                got, out = self.relay(PROBE, "--exit", str(code))
                self.assertEqual(got, code)
                self.assertIn(b"CMDLINE:", out)

    def test_missing_program(self):
        missing = windows_path(winetest.BUILD / "no-such-program.exe")
        self.assertEqual(self.relay(missing)[0], 20002)
        self.assertEqual(self.relay("-c5", missing)[0], 12)

    def test_unknown_switch_runs_nothing(self):
        d = winetest.scratch_dir("waitexec")
        marker = d / "ran"
        code, out = self.relay("-x", PROBE, "--marker", windows_path(marker))
        self.assertEqual((code, out), (10000, b""))
        self.assertFalse(marker.exists())
        code, _ = self.relay(PROBE, "--marker", windows_path(marker))
        self.assertEqual(code, 0)
        self.assertTrue(marker.exists(), "the probe's marker must work for the check above to mean anything")

    def test_switches_after_the_command_go_to_the_child(self):
        code, out = self.relay("-c7", PROBE, "-c5", "-x", "--exit", "3")
        self.assertEqual(code, 3)
        self.assertIn(b"probe.exe -c5 -x --exit 3\n", out)

    def test_command_too_long_is_refused(self):
        code, out = self.relay(PROBE, "x" * 1200)
        self.assertEqual((code, out), (10001, HELP))


if __name__ == "__main__":
    winetest.main()
