"""Runs a program under test together with the UI driver (uidriver.exe) and collects what it saw.

A suite imports this module beside winetest; the driver's commands are documented at the top of
uidriver.cpp. "snap NAME" lines in a script make the driver pause while a screenshot of the display
is saved as build/screenshots/NAME.png."""
import os
import pathlib
import subprocess
import threading

import winetest

DRIVER = winetest.WIN_TESTS / "uidriver.exe"


def draw_frames():
    """Makes Wine draw window frames and captions itself. Xvfb runs no window manager, so screenshots
    would otherwise show dialogs without their title bars. Idempotent; call it once per suite."""
    winetest.wine("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Decorated", "/t",
                  "REG_SZ", "/d", "N", "/f", timeout=60)


class Result:
    def __init__(self, code, lines):
        self.code = code
        self.lines = lines

    def messages(self):
        """(caption, text) of every message box the driver answered, in order."""
        return [_unquote_pair(l[len("MSGBOX "):]) for l in self.lines if l.startswith("MSGBOX ")]

    def texts(self):
        """{control: text} of every TEXT line (the last one wins)."""
        out = {}
        for l in self.lines:
            if l.startswith("TEXT "):
                name, _, rest = l[5:].partition(" ")
                out[name] = _unquote(rest)
        return out

    def __str__(self):
        return "driver exit %d:\n%s" % (self.code, "\n".join(self.lines))


def _unquote(text):
    text = text.strip()
    assert text.startswith('"') and text.endswith('"'), text
    out, i = [], 1
    while i < len(text) - 1:
        c = text[i]
        if c == "\\":
            i += 1
            c = {"n": "\n", "r": "\r", "t": "\t"}.get(text[i], text[i])
        out.append(c)
        i += 1
    return "".join(out)


def _unquote_pair(text):
    # Two quoted texts separated by a space: find the closing quote of the first.
    i = 1
    while text[i] != '"':
        i += 2 if text[i] == "\\" else 1
    return _unquote(text[: i + 1]), _unquote(text[i + 2:])


def run_driver(script, timeout=120):
    """Runs the driver over SCRIPT (a list of command lines); returns a Result."""
    d = winetest.scratch_dir("ui")
    path = d / "script.txt"
    path.write_text("\n".join(script) + "\n", encoding="latin-1")
    env = dict(os.environ, WINE_TIMEOUT=str(timeout))
    proc = subprocess.Popen([str(winetest.WINE_RUN), str(DRIVER), "-f", winetest.windows_path(path)],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            env=env)
    lines = []
    for raw in proc.stdout:
        line = raw.decode("latin-1").rstrip("\r\n")
        lines.append(line)
        if line.startswith("SNAP "):
            winetest.screenshot(line[5:].strip())
            try:
                proc.stdin.write(b"\n")
                proc.stdin.flush()
            except BrokenPipeError:
                pass
    proc.wait(timeout=timeout + 30)
    return Result(proc.returncode, lines)


class Program:
    """A program under test started under Wine in the background."""

    def __init__(self, program, *args, timeout=120, cwd=None, env=None):
        full_env = dict(os.environ, WINE_TIMEOUT=str(timeout))
        if env:
            full_env.update(env)
        self.proc = subprocess.Popen([str(winetest.WINE_RUN), str(program), *map(str, args)],
                                     cwd=cwd, env=full_env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.timeout = timeout

    def wait(self):
        """The program's exit code (wine-run's status: the low 8 bits, 124 on timeout)."""
        return self.proc.wait(timeout=self.timeout + 30)


def run_program_with_driver(program, args, script, timeout=120, cwd=None, env=None):
    """Starts PROGRAM, drives it with SCRIPT; returns (program's exit code, driver Result)."""
    prog = Program(program, *args, timeout=timeout, cwd=cwd, env=env)
    try:
        result = run_driver(script, timeout=timeout)
    finally:
        code = prog.wait()
    return code, result
