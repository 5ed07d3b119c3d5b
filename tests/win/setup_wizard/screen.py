"""Screenshots of the Wine display for the wizard's suites.

Under Wine on Xvfb with no window manager, a top-level window that lies wholly inside another
top-level window of the same process (the wizard and its dialogs over setup's full-screen main
window) is drawn into its own X window but never reaches the screen image that "xwd -root" reads:
the screen shows black where it is. Each window's own image ("xwd -id") is right, so a screenshot is
put together from the root image and the viewable top-level windows' images, bottom to top."""
import os
import re
import subprocess

import winetest


def _display():
    return os.environ.get("DISPLAY") or winetest._session_display()


def _xwd_png(display, args, out):
    xwd = subprocess.run(["xwd", "-silent", "-display", display, *args], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL)
    if xwd.returncode != 0 or not xwd.stdout:
        return False
    return subprocess.run(["convert", "xwd:-", str(out)], input=xwd.stdout).returncode == 0


def _top_level_windows(display):
    """(id, x, y, width, height) of viewable top-level windows, bottom first."""
    listing = subprocess.run(["xwininfo", "-display", display, "-root", "-children"],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
    found = []
    for line in listing.splitlines():
        m = re.match(r"\s+(0x[0-9a-f]+) .*\s(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)$",
                     line)
        if not m:
            continue
        wid, w, h = m.group(1), int(m.group(2)), int(m.group(3))
        x, y = int(m.group(6)), int(m.group(7))
        if w <= 1 or h <= 1:
            continue
        info = subprocess.run(["xwininfo", "-display", display, "-id", wid],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
        if "IsViewable" in info:
            found.append((wid, x, y, w, h))
    found.reverse()  # xwininfo lists the top-most child first
    return found


def screenshot(name):
    """Saves build/screenshots/NAME.png as the display shows it; returns the path or None."""
    display = _display()
    winetest.SCREENSHOTS.mkdir(parents=True, exist_ok=True)
    out = winetest.SCREENSHOTS / (name + ".png")
    if not display or not _xwd_png(display, ["-root"], out):
        return None
    parts = []
    for i, (wid, x, y, w, h) in enumerate(_top_level_windows(display)):
        part = winetest.SCREENSHOTS / (".%s-%d.png" % (name, i))
        if _xwd_png(display, ["-id", wid], part):
            parts.append((part, x, y))
    if parts:
        command = ["convert", str(out)]
        for part, x, y in parts:
            command += [str(part), "-geometry", "%+d%+d" % (x, y), "-composite"]
        subprocess.run(command + [str(out)])
        for part, _, _ in parts:
            part.unlink()
    return out
