"""Shared support for the Wine suites: paths, running programs under the kit's prefix, screenshots."""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(os.environ.get("KIT_ROOT", pathlib.Path(__file__).resolve().parents[2]))
BUILD = pathlib.Path(os.environ.get("KIT_BUILD_ROOT", ROOT / "build"))
WIN_BIN = pathlib.Path(os.environ.get("KIT_WIN_BIN", BUILD / "win" / "bin"))
WIN_TESTS = pathlib.Path(os.environ.get("KIT_WIN_TESTS", BUILD / "win" / "tests"))
MKINSTALL = pathlib.Path(os.environ.get("KIT_MKINSTALL", BUILD / "host" / "bin" / "mkinstall"))
WINE_RUN = ROOT / "scripts" / "wine-run"
SCREENSHOTS = BUILD / "screenshots"
SHIPPED = ("install.exe", "setup.exe", "waitexec.exe")


def windows_path(path):
    """The path as a Windows program under Wine sees it (Wine maps / to drive Z:)."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


def wine(program, *args, timeout=120, cwd=None, env=None, stdin=None):
    """Runs a Windows program to its end; returns CompletedProcess with bytes stdout/stderr.

    The exit code is Windows' full 32-bit code (wine-run passes it through as the low 8 bits only
    on Unix, so the suites read codes above 255 with exit_code())."""
    full_env = dict(os.environ)
    if env:
        full_env.update(env)
    full_env["WINE_TIMEOUT"] = str(timeout)
    return subprocess.run([str(WINE_RUN), str(program), *map(str, args)], cwd=cwd, env=full_env,
                          stdin=subprocess.DEVNULL if stdin is None else stdin,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout + 30)


def run_exit_code(command_line, timeout=120, cwd=None):
    """Runs a Windows command line through spawn.exe; returns (full exit code, child's stdout)."""
    r = wine(WIN_TESTS / "spawn.exe", *command_line, timeout=timeout, cwd=cwd)
    out = r.stdout.replace(b"\r\n", b"\n")
    head, sep, tail = out.rpartition(b"\nEXIT:")
    if not sep:
        raise AssertionError("spawn.exe failed: %r %r" % (out, r.stderr[-2000:]))
    return int(tail.strip()), head


def scratch_dir(name):
    """A fresh directory under build/ for one test's files."""
    base = BUILD / "test-tmp"
    base.mkdir(parents=True, exist_ok=True)
    return pathlib.Path(tempfile.mkdtemp(prefix=name + "-", dir=base))


def screenshot(name):
    """Saves the whole X display as build/screenshots/NAME.png (returns the path, or None)."""
    SCREENSHOTS.mkdir(parents=True, exist_ok=True)
    out = SCREENSHOTS / (name + ".png")
    display = os.environ.get("DISPLAY") or _session_display()
    if not display or not shutil.which("xwd") or not shutil.which("convert"):
        return None
    xwd = subprocess.run(["xwd", "-root", "-silent", "-display", display], stdout=subprocess.PIPE)
    if xwd.returncode != 0:
        return None
    subprocess.run(["convert", "xwd:-", str(out)], input=xwd.stdout)
    return out


def _session_display():
    f = BUILD / "wine-state" / "display"
    return f.read_text().strip() if f.exists() else None


def main():
    unittest.main(verbosity=2)
