"""The UI driver against a small dialog: every command does what it says, and it fails loudly."""
import pathlib
import sys
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import uidriver  # noqa: E402
import winetest  # noqa: E402

TARGET = winetest.WIN_TESTS / "uitarget.exe"


class UiDriver(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        uidriver.draw_frames()

    def test_reads_types_clicks_and_answers(self):
        code, r = uidriver.run_program_with_driver(TARGET, [], [
            'wait #32770 "Driver target"',
            "snap uidriver-target",
            'type 10 "say \\"hello\\" \\\\o/"',
            'expect 10 "say \\"hello\\" \\\\o/"',
            "expect-enabled 12 0",
            "expect-enabled Show 1",
            "expect-checked 11 0",
            'click "Exit with 7"',
            "sleep 200",
            "expect-checked 11 1",
            "state 11",
            "click 14",
            'msgbox "Target says" ok',
            "sleep 200",
            'expect 13 "shown"',
            "click Thread",
            'msgbox "Thread box" ok "from another thread"',
            "controls",
            "click Done",
            "gone 10000",
        ])
        self.assertEqual(r.code, 0, r)
        self.assertEqual(code, 7)
        self.assertEqual(r.messages(), [("Target says", 'say "hello" \\o/'),
                                        ("Thread box", "from another thread")])
        self.assertIn("STATE 11 checked=1 enabled=1 visible=1", r.lines)
        self.assertIn('CONTROL 12 Button style=0x58010000 "Disabled"', r.lines)
        self.assertTrue((winetest.SCREENSHOTS / "uidriver-target.png").exists())

    def test_failures_exit_non_zero(self):
        cases = [
            (['wait #32770 "Driver target"', "expect 13 \"other\"", "click Done"], 1, "reads"),
            (['wait #32770 "Driver target"', "expect-checked 11 1", "click Done"], 1, "checked=0"),
            (['wait #32770 "Driver target"', "click Done", 'wait #32770 "Never" 500'], 2, "no window"),
            (['wait #32770 "Driver target"', "click Done", "gone 10000", "bogus"], 3, "unknown"),
        ]
        for script, want, fragment in cases:
            with self.subTest(script=script[-1]):
                prog = uidriver.Program(TARGET)
                r = uidriver.run_driver(script)
                if r.code == 1:
                    # Leave nothing behind: the failed script did not close the dialog.
                    uidriver.run_driver(['wait #32770 "Driver target"', "click Done"])
                prog.wait()
                self.assertEqual(r.code, want, r)
                self.assertIn(fragment, r.lines[-1])


if __name__ == "__main__":
    winetest.main()
