"""Clicks through the example package the way a user would, saving a screenshot of every screen;
used by scripts/demo when there is no display to show the wizard on."""
import pathlib
import sys

import screen
import uidriver
import winetest

STEPS = [
    "wait #32770 Welcome 120000", "sleep 300", "snap 1-welcome",
    "click 6", 'wait #32770 "Software License Agreement"', "click 1002", "sleep 300",
    "snap 2-license",
    "click 6", 'wait #32770 "Choose Destination Location"', "sleep 300", "snap 3-destination",
    "click 6", "wait #32770 Setup", "sleep 300", "snap 3a-create-directory", "msgbox Setup yes",
    'wait #32770 "Select Program Folder"', "sleep 300", "snap 4-program-folder",
    "click 6", 'wait #32770 "Confirm Your Selections"', "sleep 300", "snap 5-confirm",
    "click 6", "wait #32770 Setup 60000", "sleep 300", "snap 6-finish",
    "click 1",
    "wait #32770 Orvendel 30000", "sleep 300", "snap 7-program", "msgbox Orvendel ok",
    "wait Notepad readme* 30000", "sleep 500", "snap 8-readme", "close",
]


def main():
    package, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    winetest.SCREENSHOTS = out
    winetest.screenshot = screen.screenshot
    winetest.wine("reg", "add", r"HKCU\Software\Wine\AppDefaults\Setup.exe\X11 Driver", "/v",
                  "Managed", "/d", "N", "/f")
    code, result = uidriver.run_program_with_driver(package, [], STEPS, timeout=300)
    print("\n".join("  " + line for line in result.lines))
    print("demo: package exit code %d, driver exit code %d" % (code, result.code))
    return 0 if code == 0 and result.code == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
