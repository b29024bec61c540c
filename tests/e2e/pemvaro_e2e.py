#!/usr/bin/env python3
"""Drives the built program in an X server of its own, as a person would.

Each case starts Xvfb and the program, types and clicks with xdotool, and reads the results the way
other programs do: the clipboard through xclip, the window's properties through xprop and xwininfo,
the sample through a screenshot taken with ImageMagick's import; the copied markup is typeset by
headless Chromium and Firefox, and read through AT-SPI as a screen reader reads it in Chromium.
The case without_display needs no X server: it starts the program where no display can be opened
and reads what it says. With --wayland (and in wayland_window) the program is instead a native
Wayland client of a headless sway, driven with a virtual pointer and keyboard (WaylandSession).

    pemvaro_e2e.py --program build/pemvaro CASE...     run the named cases
    pemvaro_e2e.py --desktop gtk3 --program ... CASE   run them as on that desktop
    pemvaro_e2e.py --wayland --program ... CASE        run them as a native Wayland client
    pemvaro_e2e.py --list                              name the cases and the desktops

Each case has a session bus of its own, as a desktop has. Without --desktop the program runs with
the caller's platform theme; a named desktop sets the variables by which Qt picks its theme there.

Exit status 77 means the machine has no Xvfb (or, for the Wayland cases, no sway), so nothing was
run, or that a case needs a tool that is not installed (a browser, WordPress, KaTeX): it says which.
"""

import argparse
import base64
import ctypes
import html
import json
import os
import random
import re
import select
import shutil
import signal
import subprocess
import struct
import sys
import tempfile
import time
import zlib

import browserlayout
import wlseat

SKIPPED = 77
CAPTION = "Pemvaro for HTML"
CLIENT_SIZE = (544, 399)
TIMEOUT = 20  # seconds for anything to appear
# Seconds for the program to end on SIGTERM; built with sanitizers it checks for leaks meanwhile.
QUIT_TIME = 60

# Group boxes, relative to the client area; their children are placed relative to the box.
LIST_P = (8, 28)
TAG_P = (244, 28)
SAMPLE_P = (244, 252)


def centre(box, left, top, width, height):
    return (box[0] + left + width // 2, box[1] + top + height // 2)


# The first row of the list lies right under its header, which is 18 pixels high in the 12-pixel
# window font: this point is inside it whatever the row's text.
FIRST_ROW = (LIST_P[0] + 8 + 40, LIST_P[1] + 20 + 24)
NMNT_E = centre(LIST_P, 44, 256, 121, 20)
DELETE_B = centre(LIST_P, 140, 312, 75, 25)
PATH_E = centre(TAG_P, 88, 20, 165, 20)
MEMO = centre(TAG_P, 8, 44, 277, 129)
MEMO_TEXT_TOP = TAG_P[1] + 44 + 6  # the top of the pane's first row of text
OLD_PAGE_SC = centre(TAG_P, 8, 184, 112, 17)
MAKE_B = centre(TAG_P, 124, 180, 75, 25)
COPY_B = centre(TAG_P, 208, 180, 75, 25)
VIS_SC = (SAMPLE_P[0] + 184 + 8, SAMPLE_P[1] + 104 + 8)  # on the box itself
IMAGE = (SAMPLE_P[0] + 8, SAMPLE_P[1] + 24, 277, 77)  # left, top, width, height
IMAGE_CENTRE = centre(SAMPLE_P, 8, 24, 277, 77)
SAMPLE_LEFT = 4  # left margin of the sample

# What Qt picks its platform theme by, as the desktops set it; a fresh user's settings, so that
# none of the caller's reach the program.
DESKTOP_VARIABLES = ("QT_QPA_PLATFORMTHEME", "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP",
                     "DESKTOP_SESSION", "KDE_FULL_SESSION", "KDE_SESSION_VERSION", "GTK_THEME")
DESKTOPS = {
    "none": {},
    "gtk3": {"QT_QPA_PLATFORMTHEME": "gtk3"},
    "gnome": {"XDG_CURRENT_DESKTOP": "GNOME", "XDG_SESSION_DESKTOP": "gnome"},
    "xfce": {"XDG_CURRENT_DESKTOP": "XFCE", "XDG_SESSION_DESKTOP": "xfce"},
    "kde": {"XDG_CURRENT_DESKTOP": "KDE", "XDG_SESSION_DESKTOP": "KDE",
            "KDE_FULL_SESSION": "true", "KDE_SESSION_VERSION": "5"},
    "qt6ct": {"QT_QPA_PLATFORMTHEME": "qt6ct"},
    "gtk3-dark": {"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": "Adwaita:dark"},
}

# No input method, style or scaling from the caller, and a fixed locale.
PROGRAM_ENVIRONMENT = {"LANG": "C.UTF-8", "LC_ALL": "C.UTF-8", "QT_SCALE_FACTOR": "1",
                       "QT_STYLE_OVERRIDE": "", "QT_IM_MODULE": "", "XMODIFIERS": ""}

DEFAULT_PATH = "./fracline.gif"
SAVE_LINE_IMAGE = "中線画像を保存"  # the save dialog's title
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


class CaseFailed(Exception):
    pass


class CaseSkipped(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CaseFailed(message)


def reads_on_white(pixel):
    """Whether a colour has a contrast of at least 4.5:1 against white (WCAG 2)."""
    linear = [c / 3294.6 if c <= 10 else ((c / 255 + 0.055) / 1.055) ** 2.4 for c in pixel]
    luminance = 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]
    return 1.05 / (luminance + 0.05) >= 4.5


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode("utf-8")


HTML5_CELL = ('<td align="center" style="text-align:center;vertical-align:{};padding:0 0.1em;'
              'border:0">{}</td>')
HTML5_PLAIN = '<td rowspan="3" style="vertical-align:middle;padding:0 0.1em;border:0">{}</td>'


def table_markup(entries, path=DEFAULT_PATH, name=None):
    """The table of (numerator, denominator) entries, each line ending in CR LF: Make's, or with
    the formula's name the one for HTML5 pages."""
    table = '<table border="0" cellspacing="0" cellpadding="0"'
    image = f'<td><img src="{path}" width="100%" height="1"></td>'
    cell, plain = '<td align="center">{1}</td>', '<td rowspan="3">{}</td>'
    if name is not None:
        table += (f' role="math" aria-label="{name}" style="width:auto;min-width:0;margin:0;'
                  'border:0;border-collapse:separate;border-spacing:0.25em 0;line-height:1.2"')
        image = ('<td style="height:0;padding:0;border:0;border-top:1px solid;line-height:0;'
                 'font-size:0"></td>')
        cell, plain = HTML5_CELL, HTML5_PLAIN
    lines = ["<!-- 分数ここから -->", table + ">", "<tr>"]
    for n, d in entries:
        lines.append(cell.format("bottom", n) if d else plain.format(n))
    lines += ["</tr>", "<tr>"]
    lines += [image for _, d in entries if d]
    lines += ["</tr>", "<tr>"]
    lines += [cell.format("top", d) for _, d in entries if d]
    lines += ["</tr>", "</table>", "<!-- 分数ここまで -->"]
    return crlf(lines)


def math_markup(items):
    """MathML of the given lines between the formula's lines, each line ending in CR LF."""
    return crlf(["<!-- 分数ここから -->", '<math display="block">', *items, "</math>",
                 "<!-- 分数ここまで -->"])


def menu_keys(downs):
    """The keys that choose an item of an open menu: `downs` steps from the top (from the bottom
    when negative), or the item's mnemonic, whatever items are disabled."""
    if isinstance(downs, str):
        return [downs]
    return [*(["Down"] * downs or ["Up"] * -downs), "Return"]


def die_with_parent():
    # Runs in the child before exec: a killed test run takes its X server and program with it.
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def end_program(process):
    """Ends the program as a desktop session does, with SIGTERM, and returns its exit status (None
    when it had to be killed)."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=QUIT_TIME)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            return None
    return process.returncode


def stop(process):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class Screenshot:
    def __init__(self, ppm):
        fields, pos = [], 0
        while len(fields) < 4:  # magic, width, height, maximum; comments may come between
            while ppm[pos : pos + 1].isspace():
                pos += 1
            if ppm[pos : pos + 1] == b"#":
                pos = ppm.index(b"\n", pos)
                continue
            end = pos
            while end < len(ppm) and not ppm[end : end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        check(fields[0] == b"P6" and fields[3] == b"255", "screenshot is not an 8-bit PPM")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[pos + 1 :]

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i : i + 3])


def png_picture(png):
    """An 8-bit PNG of RGB or a palette as a Screenshot, and its dots per metre."""
    chunks, pos = {}, 8
    while pos < len(png):
        length, kind = struct.unpack(">I4s", png[pos : pos + 8])
        chunks[kind] = chunks.get(kind, b"") + png[pos + 8 : pos + 8 + length]
        pos += length + 12
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[b"IHDR"])
    check(depth == 8 and colour in (2, 3) and not interlace, "not a PNG of 8-bit RGB or a palette")
    n = 3 if colour == 2 else 1  # bytes a pixel
    raw, stride, rows, above = zlib.decompress(chunks[b"IDAT"]), width * n, [], bytearray(width * n)
    for start in range(0, height * (stride + 1), stride + 1):
        kind, row = raw[start], bytearray(raw[start + 1 : start + 1 + stride])
        for i in range(stride):
            a, b, c = (row[i - n], above[i], above[i - n]) if i >= n else (0, above[i], 0)
            p = a + b - c
            paeth = min((abs(p - a), 0, a), (abs(p - b), 1, b), (abs(p - c), 2, c))[2]
            row[i] = (row[i] + (0, a, b, (a + b) // 2, paeth)[kind]) & 255
        rows.append(row if n == 3 else b"".join(chunks[b"PLTE"][3 * i : 3 * i + 3] for i in row))
        above = row
    shot = Screenshot(b"P6 %d %d 255\n" % (width, height) + b"".join(rows))
    return shot, struct.unpack(">II", chunks[b"pHYs"][:8])


class Sample:
    """The sample surface in a screenshot, in the surface's own coordinates."""

    def __init__(self, shot, box=IMAGE):
        self.shot = shot
        # A screenshot of a scaled output has as many pixels as the output shows.
        scale = shot.width / CLIENT_SIZE[0]
        self.left, self.top, self.width, self.height = (round(n * scale) for n in box)

    def pixel(self, x, y):
        return self.shot.pixel(self.left + x, self.top + y)

    def corners_white(self):
        return self.pixel(0, 0) == WHITE == self.pixel(IMAGE[2] - 1, IMAGE[3] - 1)

    def is_white(self):
        return all(
            self.pixel(x, y) == WHITE for y in range(self.height) for x in range(self.width)
        )

    def black_runs(self, y):
        runs, x = [], 0
        while x < self.width:
            if self.pixel(x, y) == BLACK:
                start = x
                while x < self.width and self.pixel(x, y) == BLACK:
                    x += 1
                runs.append((start, x - start))
            x += 1
        return runs

    def bar_row(self):
        """The row of the fraction bars: black from the left margin on, blank right above."""
        rows = []
        for y in range(1, self.height):
            runs = self.black_runs(y)
            if not runs or runs[0][0] != SAMPLE_LEFT or runs[0][1] < 3:
                continue
            start, length = runs[0]
            if all(self.pixel(x, y - 1) == WHITE for x in range(start, start + length)):
                rows.append(y)
        check(len(rows) == 1, f"expected one row of fraction bars in the sample, found rows {rows}")
        return rows[0]


class Session:
    """One X server and session bus with the program in it; everything is stopped on leaving."""

    def __init__(self, program, workdir, desktop=None):
        self.program = program
        self.workdir = workdir
        self.desktop = desktop
        self.xvfb = self.bus = self.app = self.wm = self.orca = None
        self.window = None
        self.logs = []
        self.user = {}  # whom the tools run as, where not the caller

    def __enter__(self):
        try:
            self._start_servers()
            self._start_program()
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, failure, *exc):
        status = end_program(self.app) if self.app else 0
        self._stop_servers()
        for log in self.logs:
            log.close()
        # The program leaves through its normal exit, where a sanitizer build reports leaks.
        if failure is None and status != 0:
            raise CaseFailed(f"the program did not end cleanly on SIGTERM (exit status {status})")

    def _start_servers(self):
        self.env = self._start_xvfb()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_bus()

    def _stop_servers(self):
        stop(self.orca)
        stop(self.wm)
        stop(self.bus)
        stop(self.xvfb)

    def _start_reporting(self, name, command):
        """Starts a server that writes where to reach it, one line, to a file descriptor that
        replaces "{fd}" in its command; returns the process and that line."""
        read_end, write_end = os.pipe()
        log = self._open_log(name + ".log")
        command = [arg.replace("{fd}", str(write_end)) for arg in command]
        process = subprocess.Popen(command, pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=log, preexec_fn=die_with_parent)
        os.close(write_end)
        line, deadline = b"", time.monotonic() + TIMEOUT
        while not line.endswith(b"\n"):
            ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.monotonic()))
            chunk = os.read(read_end, 256) if ready else b""
            if not chunk:
                os.close(read_end)
                stop(process)
                raise CaseFailed(f"{command[0]} did not start: " + self._log(name + ".log"))
            line += chunk
        os.close(read_end)
        return process, line.decode().strip()

    def _start_xvfb(self):
        self.xvfb, number = self._start_reporting(
            "xvfb", ["Xvfb", "-displayfd", "{fd}", "-screen", "0", "800x600x24", "-nolisten", "tcp",
                     "-noreset"])
        env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "XAUTHORITY")}
        env["DISPLAY"] = ":" + number
        return env

    def _start_bus(self):
        self.bus, address = self._start_reporting(
            "bus", ["dbus-daemon", "--session", "--nofork", "--print-address={fd}"])
        return address

    def _start_program(self):
        runtime = os.path.join(self.workdir, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = dict(self.env)
        # The platform theme is the caller's unless the case runs as on a named desktop.
        # The work the program keeps between runs is the case's own.
        env.update(PROGRAM_ENVIRONMENT, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime,
                   XDG_DATA_HOME=os.path.join(self.workdir, "data"))
        if self.desktop is not None:
            for name in DESKTOP_VARIABLES:
                env.pop(name, None)
            env.update(DESKTOPS[self.desktop], XDG_CONFIG_HOME=os.path.join(self.workdir, "config"))
        log = self._open_log("program.log")
        self.app = subprocess.Popen([self.program], env=env, stdin=subprocess.DEVNULL, stdout=log,
                                    stderr=log, preexec_fn=die_with_parent)
        found = self.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                          f"^{CAPTION}$"], check_exit=False)
        check(self.app.poll() is None, "the program ended: " + self._log("program.log"))
        check(found.returncode == 0 and found.stdout.split(), "no window captioned " + CAPTION)
        self.window = found.stdout.split()[0].decode()
        # No window manager gives the window the focus: a person's first click would.
        self.xdo("windowfocus", "--sync", self.window)

    def restart(self):
        """Closes the program as a desktop session does and starts it again."""
        status = end_program(self.app)
        check(status == 0, f"the program did not end cleanly on SIGTERM (exit status {status})")
        self._start_program()

    def _open_log(self, name):
        self.logs.append(open(os.path.join(self.workdir, name), "wb"))
        return self.logs[-1]

    def _log(self, name):
        with open(os.path.join(self.workdir, name), "rb") as f:
            return f.read().decode("utf-8", "replace").strip()

    def run(self, command, check_exit=True, timeout=TIMEOUT):
        try:
            done = subprocess.run(command, env=self.env, capture_output=True, timeout=timeout,
                                  **self.user)
        except subprocess.TimeoutExpired:
            raise CaseFailed(f"{' '.join(command)} took longer than {timeout} s") from None
        if check_exit and done.returncode != 0:
            raise CaseFailed(f"{' '.join(command)} failed: {done.stderr.decode().strip()}")
        return done

    def xdo(self, *args):
        self.run(["xdotool", *args])

    def input_times(self):
        """For each of the program's windows, the time of the last key or button press it has
        read: Qt stamps the window with it (_NET_WM_USER_TIME) as it reads the press."""
        return {window: self.run(["xprop", "-id", window, "_NET_WM_USER_TIME"],
                                 check_exit=False).stdout for window in self.windows()}

    def settle(self, before):
        """Waits for the program to have read the input sent since the input times were `before`,
        up to the last of it: the stamps changed, then held still for one more look. Input that
        reaches no window of the program (a key the window manager takes) stamps nothing."""
        deadline = time.monotonic() + TIMEOUT / 4
        seen = None
        while time.monotonic() < deadline:
            now = self.input_times()
            if now != before and now == seen:
                return
            seen = now
            time.sleep(0.05)

    def send(self, *args):
        before = self.input_times()
        self.xdo(*args)
        self.settle(before)

    # What a person does.

    def click(self, point):
        self.send("mousemove", "--window", self.window, str(point[0]), str(point[1]), "click", "1")

    def key(self, *keys):
        self.send("key", "--delay", "40", *keys)

    def type(self, text, delay=40):
        self.send("type", "--delay", str(delay), "--", text)

    def type_checked(self, text):
        """Types into the focused edit box and reads the box back through the clipboard, as a
        careful typist checks. A loaded X server may drop a character whose key xdotool has to
        map for the moment, remapping it for the next before the program has read the first;
        the box is then typed over, more slowly."""
        for delay in (40, 200, 600):
            self.key("ctrl+a")
            self.type(text, delay)
            self.key("ctrl+a", "ctrl+c")
            if self.wait_for_clipboard(text.encode(), TIMEOUT / 6) == text.encode():
                return
        raise CaseFailed("the edit box did not take %r" % text)

    def enter_fraction(self, numerator, denominator):
        """From the numerator box: numerator, Tab, denominator, Enter."""
        self.type(numerator)
        self.key("Tab")
        self.type(denominator)
        self.key("Return")

    def paste(self, text, key="ctrl+v"):
        """Puts text on the clipboard, as another program would, and pastes it with Ctrl+V."""
        # xclip stays behind to serve the clipboard: it gets no pipe to hold open.
        subprocess.run(["xclip", "-i", "-selection", "clipboard"], env=self.env, input=text.encode(),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=TIMEOUT,
                       check=True)
        self.wait_for_clipboard(text.encode(), TIMEOUT / 4)
        self.key(key)

    def make_and_copy(self):
        self.click(MAKE_B)
        self.click(COPY_B)

    def choose_from_context_menu(self, point, downs):
        """Right click, and once the menu shows, the item `downs` chooses (menu_keys)."""
        shown = self.windows()
        self.xdo("mousemove", "--window", self.window, str(point[0]), str(point[1]), "click", "3")
        deadline = time.monotonic() + TIMEOUT
        while self.windows() == shown:
            check(time.monotonic() < deadline, "no context menu")
            time.sleep(0.1)
        self.key(*menu_keys(downs))

    def save_line_image(self):
        """Saves the line image from the path box's menu, its last item, through the save
        dialog into a folder of its own, typing the whole path; returns the bytes written."""
        path = os.path.join(self.page_folder(), "fracline.gif")
        self.choose_from_context_menu(PATH_E, -1)
        self.focus_dialog(SAVE_LINE_IMAGE)
        self.key("ctrl+a")
        self.type(path)
        # Return may only close the name box's completion list, which a loaded machine shows
        # late: while the dialog stays open having written nothing, Return is pressed again.
        deadline = time.monotonic() + TIMEOUT
        pressed = 0
        while not os.path.exists(path):
            check(time.monotonic() < deadline, "the save dialog wrote no line image")
            if time.monotonic() > pressed + 2 and self.dialog_open(SAVE_LINE_IMAGE):
                self.key("Return")
                pressed = time.monotonic()
            time.sleep(0.1)
        # Nothing else is written: no temporary file beside it, no history of the dialog's.
        check(os.listdir(self.page_folder()) == ["fracline.gif"], "more than the image written")
        home = getattr(self, "runtime", self.workdir)  # the config folders the cases give
        check(not any(os.path.exists(os.path.join(config, "QtProject.conf")) for config in
                      (os.path.join(self.workdir, "config"), os.path.join(home, ".config"))),
              "the save dialog's history was kept")
        with open(path, "rb") as f:
            return f.read()

    def page_folder(self):
        folder = os.path.join(self.workdir, "page")
        os.makedirs(folder, exist_ok=True)
        return folder

    def dialog_open(self, title):
        return bool(self.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                             check_exit=False).stdout.strip())

    def wait_for_window_back(self, title):
        """Waits for a dialog to have gone and the window to have the keys again, as a person
        waits before typing on."""
        deadline = time.monotonic() + TIMEOUT
        while self.dialog_open(title) or not self.window_focused():
            check(time.monotonic() < deadline, f"{title} stays, or the window gets no keys")
            time.sleep(0.1)

    def window_focused(self):
        # Without a window manager the X server gives the focus back to the window it came from.
        return True

    def focus_dialog(self, title):
        # Without a window manager a new window gets the keys only when given them. xdotool's
        # search fails on a window that goes as it looks (a tooltip, a menu): it looks again.
        deadline = time.monotonic() + TIMEOUT
        while not (found := self.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                                     check_exit=False).stdout.split()):
            check(time.monotonic() < deadline, f"no window {title}")
            time.sleep(0.1)
        self.xdo("windowfocus", "--sync", found[0].decode())

    # What other programs see.

    def clipboard(self, kind=None):
        done = self.run(["xclip", "-o", "-selection", "clipboard", *(["-t", kind] if kind else [])],
                        check_exit=False, timeout=5)
        return done.stdout if done.returncode == 0 else None

    def wait_for_clipboard(self, expected, seconds):
        """What the clipboard holds once it holds these bytes, or when the time is up."""
        deadline = time.monotonic() + seconds
        while (held := self.clipboard()) != expected and time.monotonic() < deadline:
            time.sleep(0.2)
        return held

    def expect_clipboard(self, expected):
        """Waits for the clipboard to hold exactly these bytes."""
        held = self.wait_for_clipboard(expected, TIMEOUT / 2)
        if held != expected:
            raise CaseFailed("clipboard differs\n expected: %r\n held:     %r" % (expected, held))

    def screenshot(self):
        done = self.run(["import", "-silent", "-window", self.window, "-depth", "8", "ppm:-"])
        return Screenshot(done.stdout)

    def wait_for_sample(self, condition, what):
        deadline = time.monotonic() + TIMEOUT / 2
        while True:
            sample = Sample(self.screenshot())
            try:
                return condition(sample)
            except CaseFailed:
                if time.monotonic() > deadline:
                    raise CaseFailed(f"the sample does not show {what}") from None
            time.sleep(0.2)

    def expect_words(self, command):
        """Waits for the short words a command says at its control, a tooltip, to show once the
        menu or dialog it came from has gone."""
        deadline = time.monotonic() + TIMEOUT / 2
        while not any(b"_NET_WM_WINDOW_TYPE_TOOLTIP" in self.run(
                ["xprop", "-id", window, "_NET_WM_WINDOW_TYPE"], check_exit=False).stdout
                for window in self.windows()):
            check(time.monotonic() < deadline, f"{command} said nothing")
            time.sleep(0.1)

    def windows(self):
        done = self.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.app.pid)],
                        check_exit=False)
        return set(done.stdout.split())

    def wait_for_windows(self, expected):
        """Waits for the program's windows to be these, as once a menu has closed."""
        deadline = time.monotonic() + TIMEOUT
        while self.windows() != expected:
            check(time.monotonic() < deadline, "a window stays open")
            time.sleep(0.1)

    def property(self, name):
        return self.run(["xprop", "-id", self.window, name]).stdout.decode().strip()

    def screen_reader_on(self):
        """Tells the desktop's applications that a screen reader listens, as Orca does."""
        self.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                  "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                  "string:IsEnabled", "variant:boolean:true"])

    # pyatspi is a package of the system's Python, whichever Python runs these tests.
    ATSPI_READER = ["/usr/bin/python3", os.path.join(os.path.dirname(__file__), "atspi_tree.py")]

    def accessibles(self):
        """What a screen reader reads of the program through AT-SPI, depth first."""
        return json.loads(self.run([*self.ATSPI_READER, "Pemvaro"]).stdout)

    def told_descriptions(self, actions, last):
        """The changes of description a screen reader is told of while the actions run, up to
        the one it is told last and a second after."""
        listener = subprocess.Popen([*self.ATSPI_READER, "--descriptions"], env=self.env,
                                    stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, bufsize=0,
                                    preexec_fn=die_with_parent)
        told = []
        try:
            check(listener.stdout.readline() == b"listening\n", "the AT-SPI listener did not start")
            actions()
            deadline = time.monotonic() + TIMEOUT
            while (not told or told[-1] != last) and time.monotonic() < deadline:
                if select.select([listener.stdout], [], [], 0.2)[0]:
                    told.append(json.loads(listener.stdout.readline()))
            time.sleep(1)
        finally:
            stop(listener)
        return told + [json.loads(line) for line in listener.stdout.read().decode().splitlines()]

    def start_orca(self):
        """Starts Orca, speaking through speech-dispatcher into a file, with a window manager that
        gives new windows the focus as a desktop's does; returns what Orca says (Speech)."""
        tools = ("orca", "speech-dispatcher", "openbox", "localedef")
        missing = [t for t in tools if not shutil.which(t)]
        generic = "/usr/lib/speech-dispatcher-modules/sd_generic"
        if missing or not os.path.exists(generic) or self.run(
                ["/usr/bin/python3", "-c", "import speechd"], check_exit=False).returncode:
            raise CaseSkipped("Orca, speech-dispatcher or openbox is not installed (apt-get "
                              "install orca speech-dispatcher python3-speechd openbox locales; "
                              "./build.sh test installs them)")
        home = os.path.join(self.workdir, "listener")
        config = os.path.join(home, ".config")
        os.makedirs(os.path.join(config, "speech-dispatcher", "modules"))
        speech = os.path.join(home, "speech.txt")
        open(speech, "w").close()
        # No sound device: libao's null driver, and a module that writes each message to a file.
        with open(os.path.join(home, ".libao"), "w") as f:
            f.write("default_driver=null\n")
        with open(os.path.join(config, "speech-dispatcher", "speechd.conf"), "w") as f:
            f.write('AudioOutputMethod "libao"\nAddModule "file" "sd_generic" "file.conf"\n'
                    'DefaultModule file\nLanguageDefaultModule "ja" "file"\n'
                    'LanguageDefaultModule "en" "file"\n')
        with open(os.path.join(config, "speech-dispatcher", "modules", "file.conf"), "w") as f:
            f.write(f"GenericExecuteSynth \"printf '%s\\\\n' \\'$DATA\\' >> {speech}\"\n"
                    'GenericLanguage "ja" "ja" "utf-8"\nGenericLanguage "en" "en" "utf-8"\n'
                    'AddVoice "ja" "FEMALE1" "ja"\nAddVoice "en" "MALE1" "en"\n')
        env = dict(self.env, HOME=home, XDG_CONFIG_HOME=config, LANG="ja_JP.UTF-8",
                   LC_ALL="ja_JP.UTF-8", XDG_RUNTIME_DIR=home)
        if b"ja_JP.utf8" not in self.run(["locale", "-a"]).stdout:
            # The system's locales stay as they are.
            env["LOCPATH"] = os.path.join(home, "locale")
            os.mkdir(env["LOCPATH"])
            self.run(["localedef", "-i", "ja_JP", "-f", "UTF-8",
                      os.path.join(env["LOCPATH"], "ja_JP.UTF-8")], timeout=120)
        self.wm = subprocess.Popen(["openbox"], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=self._open_log("openbox.log"), stderr=subprocess.STDOUT,
                                   preexec_fn=die_with_parent)
        # Orca's own log tells what it was told, where a case fails. Orca ends any other Orca of
        # the same user (of another root too): two such cases cannot run at once.
        debug = os.path.join(home, "debug.txt")
        self.orca = subprocess.Popen(["orca", "--replace", "--debug-file", debug], env=env,
                                     stdin=subprocess.DEVNULL, stdout=self._open_log("orca.log"),
                                     stderr=subprocess.STDOUT, preexec_fn=die_with_parent)
        deadline = time.monotonic() + TIMEOUT
        while not self._wm_running() or not self._orca_ready(debug):
            check(self.orca.poll() is None, "Orca ended: " + self._log("orca.log")[-2000:])
            check(time.monotonic() < deadline, "Orca or openbox did not start")
            time.sleep(0.1)
        # The program learns what Orca listens for from the bus on its own time, before it answers
        # a later call: once it answers, it tells Orca of the focus too.
        self.screen_reader_on()
        while not self.accessibles():
            check(time.monotonic() < deadline, "the program did not join the accessibility bus")
            time.sleep(0.1)
        return Speech(self, speech, debug)

    def _wm_running(self):
        found = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check_exit=False)
        return b"window id" in found.stdout

    @staticmethod
    def _orca_ready(debug):
        # Orca 48 greets before it registers its listeners; both choose their first script after.
        if os.path.exists(debug):
            with open(debug, "rb") as f:
                log = f.read()
            return b"Screen reader on" in log and b"SCRIPT MANAGER: Setting active script" in log
        return False


class Speech:
    """What Orca says, one utterance a line, read as it comes."""

    def __init__(self, session, path, debug):
        self.session, self.path, self.debug = session, path, debug

    def lines(self):
        with open(self.path, encoding="utf-8", errors="replace") as f:
            return [line.strip() for line in f if line.strip()]

    def after(self, action, expect):
        """Runs the action, then waits until Orca has said each expected text (each in some
        utterance, in the order Orca's version puts them) and returns what it said; fails with
        all it said when one does not come."""
        heard = len(self.lines())
        action()
        deadline = time.monotonic() + TIMEOUT
        while True:
            said = self.lines()[heard:]
            pending = [text for text in expect if not any(text in line for line in said)]
            if not pending:
                return said
            if time.monotonic() > deadline or self.session.orca.poll() is not None:
                raise CaseFailed(f"Orca did not say {pending[0]!r}; it said {said}\n"
                                 + self._what_orca_did())
            time.sleep(0.1)

    def _what_orca_did(self, last=60):
        # The events Orca took or passed over and what it spoke, from its own log.
        marks = ("Dequeued", "Ignoring", "Skipping", "SPEECH OUTPUT", "locusOfFocus")
        with open(self.debug, encoding="utf-8", errors="replace") as f:
            lines = [line.rstrip()[:160] for line in f if any(m in line for m in marks)]
        return "--- Orca's log, last events\n" + "\n".join(lines[-last:])


class WaylandSession(Session):
    """The program as a native Wayland client, as GNOME and KDE sessions start it on Debian 13,
    here of a headless sway (a wlroots compositor): keys and clicks come from a virtual keyboard
    and pointer, the clipboard is read with wl-paste, screenshots taken with grim and the window's
    state read from sway's tree. sway refuses to run as root, so as root the compositor, the
    program and the tools run as the user nobody."""

    TOOLS = ("sway", "swaymsg", "wl-paste", "grim")
    OUTPUT = (1200, 900)  # device pixels; the window fits in it at a scale of 2

    def __init__(self, program, workdir):
        super().__init__(program, workdir)
        self.sway = self.seat = None
        self.runtime = tempfile.mkdtemp(prefix="pemvaro-wayland-")
        if os.geteuid() == 0:
            self.user = {"user": "nobody", "group": "nogroup", "extra_groups": []}
            shutil.chown(self.runtime, "nobody", "nogroup")

    def _start_servers(self):
        self._start_sway()
        # The seat has a pointer and a keyboard before the program starts, as a desktop's has.
        self.seat = wlseat.VirtualSeat(self.runtime, self.env["WAYLAND_DISPLAY"], self.OUTPUT)

    def _stop_servers(self):
        if self.seat:
            self.seat.close()
        stop(self.sway)
        shutil.rmtree(self.runtime, ignore_errors=True)

    def _start_sway(self):
        config = os.path.join(self.runtime, "sway.conf")
        with open(config, "w") as f:
            f.write("xwayland disable\noutput HEADLESS-1 resolution %dx%d\n" % self.OUTPUT)
        os.chmod(config, 0o644)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "SWAYSOCK",
                                 "DBUS_SESSION_BUS_ADDRESS", *DESKTOP_VARIABLES)}
        self.env.update(HOME=self.runtime, XDG_RUNTIME_DIR=self.runtime, WLR_BACKENDS="headless",
                        WLR_RENDERER="pixman", WLR_LIBINPUT_NO_DEVICES="1")
        log = self._open_log("sway.log")
        self.sway = subprocess.Popen(["sway", "-c", config], env=self.env, stdin=subprocess.DEVNULL,
                                     stdout=log, stderr=log, preexec_fn=die_with_parent,
                                     **self.user)
        deadline = time.monotonic() + TIMEOUT
        while True:
            names = os.listdir(self.runtime)
            display = [n for n in names if n.startswith("wayland-") and not n.endswith(".lock")]
            ipc = [n for n in names if n.startswith("sway-ipc.")]
            if display and ipc:
                break
            check(self.sway.poll() is None and time.monotonic() < deadline,
                  "sway did not start: " + self._log("sway.log"))
            time.sleep(0.1)
        self.env.update(WAYLAND_DISPLAY=display[0], SWAYSOCK=os.path.join(self.runtime, ipc[0]))

    def _start_program(self):
        env = dict(self.env, **PROGRAM_ENVIRONMENT, QT_QPA_PLATFORM="wayland")
        if "ASAN_OPTIONS" in env:
            # Qt's Wayland client leaves objects of libwayland-client and Mesa's EGL, built without
            # frame pointers; the full unwinder walks through them, so that the leak check's
            # suppressions can name those libraries.
            env["ASAN_OPTIONS"] += ":fast_unwind_on_malloc=0"
        log = self._open_log("program.log")
        self.app = subprocess.Popen([self.program], env=env, stdin=subprocess.DEVNULL, stdout=log,
                                    stderr=log, preexec_fn=die_with_parent, **self.user)
        deadline = time.monotonic() + TIMEOUT
        while self.tree_node() is None:
            check(self.app.poll() is None, "the program ended: " + self._log("program.log"))
            check(time.monotonic() < deadline, "no window captioned " + CAPTION)
            time.sleep(0.1)
        # A window that is mapped may not be placed and drawn yet (a sanitizer build starts
        # slowly): wait for its sample, white at its corners whatever entries it shows, then bring
        # the pointer in, as a person's comes before a click.
        while not Sample(self.screenshot()).corners_white():
            check(time.monotonic() < deadline, "the window is not drawn")
            time.sleep(0.1)
        origin = self.origin()
        self.seat.move(origin[0] + CLIENT_SIZE[0] // 2, origin[1] + 8)
        self.settle()

    def scale_output(self, scale):
        """As when the display's scale is changed, or the window moved to a monitor of that scale;
        sway keeps the window where it was, partly beyond the smaller layout."""
        self.run(["swaymsg", "output", "HEADLESS-1", "scale", str(scale)])
        self.seat.extent = tuple(round(n / scale) for n in self.OUTPUT)
        self.run(["swaymsg", f"[pid={self.app.pid}]", "move", "position", "center"])

    def origin(self):
        """Where the client area lies in the output layout now, below the frame sway draws: a
        floating window is placed once it has its size."""
        node = self.tree_node()
        check(node is not None, "the window is gone")
        return (node["rect"]["x"] + node["window_rect"]["x"],
                node["rect"]["y"] + node["window_rect"]["y"])

    def page_folder(self):
        folder = os.path.join(self.runtime, "page")
        os.makedirs(folder, exist_ok=True)
        if self.user:
            shutil.chown(folder, "nobody", "nogroup")
        return folder

    def focus_dialog(self, title):
        # sway gives a new window the focus.
        deadline = time.monotonic() + TIMEOUT
        while self.tree_node(title) is None:
            check(time.monotonic() < deadline, f"no window {title} has the focus")
            time.sleep(0.1)

    def dialog_open(self, title):
        return self.tree_node(title) is not None

    def window_focused(self):
        return self.tree_node() is not None

    def expect_words(self, command):
        pass  # a tooltip is a popup surface, which sway's tree does not list

    def tree_node(self, name=CAPTION):
        """The program's window in sway's tree, once it is mapped, focused and captioned."""
        tree = json.loads(self.run(["swaymsg", "-r", "-t", "get_tree"]).stdout or b"{}")
        stack = [tree]
        while stack:
            node = stack.pop()
            if node.get("name") == name and node.get("pid") == self.app.pid and node["focused"]:
                return node
            stack += node.get("nodes", []) + node.get("floating_nodes", [])
        return None

    def settle(self, before=None):
        # Nothing outside a Wayland client tells when it has read its input: a short pause.
        time.sleep(0.15)

    def input_times(self):
        return None

    def click(self, point):
        origin = self.origin()
        self.seat.click(origin[0] + point[0], origin[1] + point[1])
        self.settle()

    def key(self, *keys):
        self.seat.key(*keys)
        self.settle()

    def type(self, text, delay=40):
        self.seat.key(*text, delay=delay / 1000)
        self.settle()

    def choose_from_context_menu(self, point, downs):
        # A menu is no window in sway's tree: it shows in the picture, its top left corner at the
        # pointer, or its bottom left where there is no room below. The first change of the
        # picture may be the control's own (its focus, a selected row), which a loaded machine
        # shows well before the menu: the menu is looked for beside the pointer, where that
        # change does not reach (a few of its pixels against hundreds of the menu's).
        x, y = point
        bands = [(x + 10, y + 10, 80, 16), (x + 10, y - 26, 80, 16)]
        shown = self.screenshot()
        origin = self.origin()
        self.seat.click(origin[0] + x, origin[1] + y, wlseat.BTN_RIGHT)
        deadline = time.monotonic() + TIMEOUT
        while max(differing_pixels(Sample(now, band), Sample(shown, band))
                  for now in [self.screenshot()] for band in bands) < 60:
            check(time.monotonic() < deadline, "no context menu")
            time.sleep(0.1)
        self.key(*menu_keys(downs))

    def paste(self, text, key="ctrl+v"):
        # wl-copy stays behind to serve the clipboard.
        subprocess.run(["wl-copy"], env=self.env, input=text.encode(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=TIMEOUT, check=True, **self.user)
        self.wait_for_clipboard(text.encode(), TIMEOUT / 4)
        self.key(key)

    def clipboard(self, kind=None):
        done = self.run(["wl-paste", "-n", *(["-t", kind] if kind else [])], check_exit=False,
                        timeout=5)
        return done.stdout if done.returncode == 0 else None

    def screenshot(self):
        x, y = self.origin()
        area = "%d,%d %dx%d" % (x, y, *CLIENT_SIZE)
        return Screenshot(self.run(["grim", "-t", "ppm", "-g", area, "-"]).stdout)


# The cases. Each starts with the program as it is right after start-up.

CASES = {}


def case(function):
    CASES[function.__name__] = function
    return function


def case_without_x_server(function):
    """A case that starts the program itself, with the path of the program and a scratch folder."""
    function.without_x_server = True
    return case(function)


def one_bar(sample):
    y = sample.bar_row()
    runs = sample.black_runs(y)
    check(len(runs) == 1, f"expected one bar on row {y}, found {runs}")
    return y, runs


def hidden(sample):
    corners = [(x, y) for x in (0, sample.width - 1) for y in (0, sample.height - 1)]
    check(all(sample.pixel(x, y) != WHITE for x, y in corners), "the surface is still shown")


@case
def startup_window(s):
    check(s.property("WM_NAME") == f'WM_NAME(STRING) = "{CAPTION}"', s.property("WM_NAME"))
    check(s.property("_NET_WM_NAME") == f'_NET_WM_NAME(UTF8_STRING) = "{CAPTION}"',
          s.property("_NET_WM_NAME"))
    check(s.property("WM_CLASS") == 'WM_CLASS(STRING) = "pemvaro", "Pemvaro"',
          s.property("WM_CLASS"))
    hints = s.property("WM_NORMAL_HINTS")
    size = "%d by %d" % CLIENT_SIZE
    check(f"minimum size: {size}" in hints and f"maximum size: {size}" in hints,
          "the window can be resized: " + hints)
    # Motif hints: functions, then decorations; neither may offer resizing or maximising.
    motif = s.property("_MOTIF_WM_HINTS").split("=")[1].split(",")
    flags, functions, decorations = (int(v, 16) for v in motif[:3])
    check(flags & 1 and not functions & 0x12, f"the window offers resizing or maximising: {motif}")
    check(flags & 2 and not decorations & 0x44, "the frame has resize handles or a maximise button")
    icon = s.property("_NET_WM_ICON")
    check("Icon (16 x 16)" in icon and "Icon (32 x 32)" in icon,
          "no icons of 16 and 32 pixels: " + icon[:80])
    info = s.run(["xwininfo", "-id", s.window]).stdout.decode()
    check(f"Width: {CLIENT_SIZE[0]}\n" in info and f"Height: {CLIENT_SIZE[1]}\n" in info,
          "client area is not 544 x 399:\n" + info)

    s.wait_for_sample(lambda sample: check(sample.is_white(), "not white"), "a white surface")
    # The group boxes' frame image is read before the window without Qt's image format plugins
    # (SVG and JPEG with their libraries); a Qt that names or caches that image otherwise would
    # load them all again at start-up.
    with open(f"/proc/{s.app.pid}/maps") as maps:
        check("/imageformats/" not in maps.read(), "start-up loaded the image format plugins")
    # Change is disabled after start-up, so Enter commits nothing; for pages without a doctype,
    # Make writes the table of three empty rows.
    s.key("Return")
    s.click(OLD_PAGE_SC)
    s.make_and_copy()
    s.expect_clipboard(crlf(["<!-- 分数ここから -->",
                             '<table border="0" cellspacing="0" cellpadding="0">',
                             "<tr>", "</tr>", "<tr>", "</tr>", "<tr>", "</tr>",
                             "</table>", "<!-- 分数ここまで -->"]))


@case
def typical_use(s):
    # Typed at once, no row clicked first: 3/4, then "+".
    s.click(NMNT_E)
    s.enter_fraction("3", "4")
    s.type("+")
    s.key("Return")
    s.click(MAKE_B)
    # 3/4 changed to 1/2 after Make: Copy copies what the sample shows.
    s.click(FIRST_ROW)
    s.key("Tab")
    s.enter_fraction("1", "2")
    s.click(COPY_B)
    s.expect_clipboard(table_markup([("1", "2"), ("+", "")], name="1/2 +"))
    # A slip taken back with Ctrl+Z right after 削除; then "+" deleted with the Delete key.
    s.click(FIRST_ROW)
    s.click(DELETE_B)
    s.key("ctrl+z")
    s.click(FIRST_ROW)
    s.key("Down", "Delete")
    s.click(COPY_B)
    s.expect_clipboard(table_markup([("1", "2")], name="1/2"))
    # The image the markup points at, saved beside the page through the desktop's dialog.
    image = s.save_line_image()
    check(image[:6] in (b"GIF87a", b"GIF89a") and struct.unpack("<HH", image[6:10]) == (1, 1),
          f"the line image is no 1 x 1 GIF: {image[:16]!r}")
    s.expect_words("the save")

    # The row back from Make's markup (for today's pages, from a first start on): the list
    # emptied, the markup pasted with the list's menu,
    # and Make writes the same markup. Then a row of TeX as a person writes it and one of plain
    # text, each pasted before the selected entry.
    s.click(FIRST_ROW)
    s.choose_from_context_menu(FIRST_ROW, -1)
    s.wait_for_sample(lambda sample: check(sample.is_white(), "not white"), "an empty row")
    # Not where the last right click was, which would make this one a double click.
    s.choose_from_context_menu((FIRST_ROW[0] + 30, FIRST_ROW[1]), "p")
    s.make_and_copy()
    s.expect_clipboard(table_markup([("1", "2")], name="1/2"))
    s.click(FIRST_ROW)
    s.paste(r"\frac{3}{4}")
    s.paste("+ 5/6", "shift+Insert")
    s.make_and_copy()
    s.expect_clipboard(table_markup([("3", "4"), ("+", ""), ("5", "6"), ("1", "2")],
                                    name="3/4 + 5/6 1/2"))
    for _ in range(3):
        s.click(FIRST_ROW)
        s.key("ctrl+x")
    s.expect_clipboard("⅚".encode())

    y, _ = s.wait_for_sample(one_bar, "the bar of 1/2")
    sample = Sample(s.screenshot())
    # Whatever the desktop's colours, the texts read on the sample's white.
    check(any(reads_on_white(sample.pixel(x, yy)) for yy in range(y) for x in range(20)),
          "no numerator that reads on white above the bar")
    check(any(reads_on_white(sample.pixel(x, yy)) for yy in range(y + 1, 76) for x in range(20)),
          "no denominator that reads on white below the bar")

    # Its picture: the row at twice the pixels, the bar and the texts where the sample has them,
    # and the same in HTML and as text.
    s.choose_from_context_menu(IMAGE_CENTRE, 1)
    s.expect_words("画像としてコピー from the sample's menu")
    s.expect_clipboard(b"1/2")
    png = s.clipboard("image/png")
    html_image = re.fullmatch(r'<meta charset="utf-8"><img src="data:image/png;base64,([^"]+)" '
                              r'width="(\d+)" height="(\d+)" alt="1/2">',
                              s.clipboard("text/html").decode())
    check(html_image and base64.b64decode(html_image[1]) == png, "no HTML of the picture")
    picture, density = png_picture(png)
    check((picture.width, picture.height, *density) ==
          (2 * int(html_image[2]), 2 * int(html_image[3]), 7559, 7559),
          f"picture of {picture.width} by {picture.height} at {density} for {html_image[0][-40:]}")
    (bar_x, bar_length), = one_bar(sample)[1]
    bar = [(x, yy) for x in range(2 * bar_x, 2 * (bar_x + bar_length)) for yy in (2 * y, 2 * y + 1)]
    check(all(picture.pixel(x, yy) == BLACK for x, yy in bar),
          "the picture's bar is not the sample's")
    check(any(reads_on_white(picture.pixel(x, yy)) for yy in range(2 * y) for x in range(40)) and
          any(reads_on_white(picture.pixel(x, yy)) for yy in range(2 * y + 2, picture.height)
              for x in range(40)), "no texts above and below the picture's bar")


@case
def mixed_row(s):
    s.click(FIRST_ROW)
    s.key("Tab")
    s.enter_fraction("1", "2")
    s.type("+")  # a plain entry: the denominator box stays empty
    s.key("Return")
    s.enter_fraction("3", "4")
    s.click(OLD_PAGE_SC)
    s.make_and_copy()
    s.expect_clipboard(crlf(["<!-- 分数ここから -->",
                             '<table border="0" cellspacing="0" cellpadding="0">',
                             "<tr>",
                             '<td align="center">1</td>',
                             '<td rowspan="3">+</td>',
                             '<td align="center">3</td>',
                             "</tr>",
                             "<tr>",
                             '<td><img src="./fracline.gif" width="100%" height="1"></td>',
                             '<td><img src="./fracline.gif" width="100%" height="1"></td>',
                             "</tr>",
                             "<tr>",
                             '<td align="center">2</td>',
                             '<td align="center">4</td>',
                             "</tr>",
                             "</table>",
                             "<!-- 分数ここまで -->"]))

    def two_bars_around_plus(sample):
        y = sample.bar_row()
        runs = sample.black_runs(y)
        check(len(runs) == 2, f"expected two bars on row {y}, found {runs}")
        (first, width), (second, _) = runs
        plus = [x for x in range(first + width + 1, second)
                if any(sample.pixel(x, yy) != WHITE for yy in range(sample.height))]
        check(plus and plus[0] > first + width and plus[-1] < second - 1,
              f"no plus sign with a pixel of space between the bars {runs}")
        return runs

    bars = s.wait_for_sample(two_bars_around_plus, "two bars with a plus sign between them")

    s.click(VIS_SC)  # hides the sample
    s.wait_for_sample(hidden, "the window background in its place")
    s.click(VIS_SC)
    check(s.wait_for_sample(two_bars_around_plus, "the bars again") == bars,
          "the sample changed while it was hidden")


@case
def enter_default_button(s):
    # For pages without a doctype, the table with the image's path; the choice is kept.
    s.click(OLD_PAGE_SC)
    s.click(FIRST_ROW)
    s.key("Tab")
    s.enter_fraction("1", "2")

    # From the path box.
    s.type("3")
    s.key("Tab")
    s.type("4")
    s.click(PATH_E)
    s.key("End")
    s.type("x")
    s.key("Return")

    # From the check box, clicked off and on again.
    s.type("5")
    s.key("Tab")
    s.type("6")
    s.click(VIS_SC)
    s.click(VIS_SC)
    s.key("Return")

    # From the list: load the first entry, change its numerator, go back to the list.
    s.click(FIRST_ROW)
    s.key("Tab")
    s.type("7")
    s.key("shift+Tab")
    s.key("Return")

    s.make_and_copy()
    s.expect_clipboard(table_markup([("7", "2"), ("3", "4"), ("5", "6")], DEFAULT_PATH + "x"))

    # Five entries, the window closed and the program started again: the list is back.
    s.click(FIRST_ROW)
    s.key("End", "Tab")
    s.enter_fraction("8", "9")
    s.type("+")
    s.key("Return")
    s.restart()
    five = [("7", "2"), ("3", "4"), ("5", "6"), ("8", "9"), ("+", "")]
    s.make_and_copy()
    s.expect_clipboard(table_markup(five, DEFAULT_PATH + "x"))

    # Typed into a box, then a click on another row: the box's own Ctrl+Z gives the text back.
    s.click(FIRST_ROW)
    s.key("Down", "Tab")
    s.type("typed")
    s.click(FIRST_ROW)
    s.click(NMNT_E)
    s.key("ctrl+z", "ctrl+a", "ctrl+c")
    s.expect_clipboard(b"typed")

    # Every key a tooltip or a menu shows, each doing what it says from the list, the edit boxes
    # and the pane.
    s.click(FIRST_ROW)
    s.key("ctrl+c")
    s.expect_clipboard("7/2".encode())
    for at, keys, made in (
            (FIRST_ROW, "ctrl+shift+h", b'<table border="0" cellspacing="0" cellpadding="0" role'),
            (NMNT_E, "ctrl+shift+m", b"<math"), (MEMO, "ctrl+shift+n", b"$$"),
            (PATH_E, "ctrl+shift+q", b"```math"), (FIRST_ROW, "ctrl+shift+b", b"<div>[tex:"),
            (NMNT_E, "ctrl+shift+k", b"$$"), (MEMO, "ctrl+shift+p", b"7/2 "),
            (PATH_E, "ctrl+shift+t", table_markup(five, DEFAULT_PATH + "x"))):
        s.click(at)
        s.key(keys, "ctrl+shift+c")
        deadline = time.monotonic() + TIMEOUT
        while made not in (s.clipboard() or b"") and time.monotonic() < deadline:
            time.sleep(0.1)
        # Each form's words are not in the form before it.
        check(made in (s.clipboard() or b""), f"{keys}, then Ctrl+Shift+C: {s.clipboard()!r}")
    s.key("ctrl+shift+i")
    deadline = time.monotonic() + TIMEOUT
    while s.clipboard("image/png") is None:
        check(time.monotonic() < deadline, "Ctrl+Shift+I copied no picture")
        time.sleep(0.1)
    # Two entries deleted, both taken back, then deleted again by the two keys of redo.
    s.click(FIRST_ROW)
    s.key("Delete", "Delete", "ctrl+z", "ctrl+z", "ctrl+shift+z", "ctrl+y")
    s.make_and_copy()
    s.expect_clipboard(table_markup(five[2:], DEFAULT_PATH + "x"))
    # Last, as the window takes keys again only a while after a dialog has gone.
    s.key("ctrl+shift+s")
    s.focus_dialog(SAVE_LINE_IMAGE)
    s.key("Escape")
    s.wait_for_window_back(SAVE_LINE_IMAGE)


@case
def tab_order(s):
    # Whatever the tab order, each keystroke lands in a control whose effect shows on the clipboard.
    s.click(FIRST_ROW)
    s.key("Tab")  # numerator box
    s.type("1")
    s.key("Tab")  # denominator box
    s.type("2")
    s.key("Tab", "space")  # Change; the focus goes back to the numerator box
    # Denominator box, Change, (Delete is disabled), 古いページ用, Make.
    s.key("Tab", "Tab", "Tab", "Tab", "space")
    s.key("Tab", "space")  # Copy
    s.expect_clipboard(table_markup([("1", "2")], name="1/2"))
    s.key("Tab")  # the pane, its text still selected by Copy
    s.type("m")
    s.key("Tab")  # the path box, all of it selected
    s.type("p")
    s.key("Tab", "Tab", "Tab", "Tab")  # check box, font button, list, numerator box
    s.type("3")
    s.key("Tab")
    s.type("4")
    s.key("Tab", "space")
    s.key("Tab", "Tab", "Tab", "Tab", "Tab", "space")  # Copy: what was typed into the pane
    s.expect_clipboard(b"m")
    s.key("shift+Tab", "shift+Tab", "space")  # 古いページ用: for pages without a doctype
    s.key("Tab", "space")  # Make
    s.key("Tab", "space")  # Copy
    s.expect_clipboard(table_markup([("1", "2"), ("3", "4")], "p"))


@case
def unicode_text(s):
    # Japanese, characters that Shift-JIS lacks (inside and outside the BMP), markup and format
    # characters: all of them as typed.
    numerator = "分子€é😀𠮷<b>&amp;%1%s"
    denominator = "😀ｶﾅ"
    plain = "＋%n%%"
    path = "画像/線 €😀.gif"
    s.click(FIRST_ROW)
    s.key("Tab")
    s.type_checked(numerator)
    s.key("Tab")
    s.type_checked(denominator)
    s.key("Return")
    s.type_checked(plain)
    s.key("Return")
    s.click(PATH_E)
    s.type_checked(path)
    s.click(OLD_PAGE_SC)
    s.make_and_copy()
    s.expect_clipboard(table_markup([(numerator, denominator), (plain, "")], path))


@case
def markup_pane_edits(s):
    s.click(FIRST_ROW)
    s.key("Tab")
    s.enter_fraction("1", "2")
    s.click(MAKE_B)
    # Typed lines end in CR LF on the clipboard too; Enter in the pane commits nothing.
    s.click(MEMO)
    s.key("ctrl+End")
    s.type("z")
    s.key("Return")
    s.type("y")
    s.click(COPY_B)
    s.expect_clipboard(table_markup([("1", "2")], name="1/2") + b"z\r\ny")
    s.make_and_copy()
    s.expect_clipboard(table_markup([("1", "2")], name="1/2"))


@case
def markup_pane_lines(s):
    # U+FDD0 is a noncharacter that Qt's text document takes for a mark of its own.
    numerator = "1\ufdd02"
    s.click(FIRST_ROW)
    s.key("Tab")
    s.paste(numerator)
    s.key("Tab")
    s.type("3")
    s.key("Return")
    s.click(OLD_PAGE_SC)
    s.make_and_copy()
    s.expect_clipboard(table_markup([(numerator, "3")]))
    # A triple click selects one line of the pane: the numerator's cell, on the fifth row (the
    # table line takes two). Ctrl+C copies it with its line break.
    row_top, row_pitch = MEMO_TEXT_TOP, 13
    s.xdo("mousemove", "--window", s.window, str(MEMO[0] - 100), str(row_top + 4 * row_pitch + 6),
          "click", "--repeat", "3", "--delay", "80", "1")
    s.key("ctrl+c")
    s.expect_clipboard(f'<td align="center">{numerator}</td>\n'.encode())


def enter_entries(s, entries):
    """From the first row on, each entry as typed and checked, Enter after each."""
    s.click(FIRST_ROW)
    s.key("Tab")
    for numerator, denominator in entries:
        s.type_checked(numerator)
        s.key("Tab")
        if denominator:
            s.type_checked(denominator)
        s.key("Return")


def copy_each_markup(s, expected):
    """Makes and copies each markup: Make's for today's pages, the pane menu's in the menu's order,
    then Make's for pages without a doctype ("Old page"); checks the copied bytes against the
    expected ones and returns them by name."""
    copied = {}
    for downs, (name, markup) in enumerate(expected.items()):
        if downs == 0:
            s.click(MAKE_B)
        elif name == "Old page":
            s.click(OLD_PAGE_SC)
            s.click(MAKE_B)
        else:
            s.choose_from_context_menu(MEMO, downs)
        s.click(COPY_B)
        s.expect_clipboard(markup)
        copied[name] = markup
    return copied


def not_there(found, name, packages):
    """Why a tool that browserlayout looked for cannot be used here; None where it can."""
    if found:
        return None
    if found is None:
        return f"{name} cannot be installed here"
    return f"{name} is not installed (apt-get install {packages}; ./build.sh test installs it)"


def installed_or_skip(found, name, packages):
    reason = not_there(found, name, packages)
    if reason:
        raise CaseSkipped(reason)
    return found


def kses_or_skip():
    """WordPress's filter, or a skip where it is not installed."""
    return installed_or_skip(browserlayout.find_kses(), "WordPress or PHP", "wordpress php-cli")


@case
def markup_in_browser(s):
    # Each command's markup as copied from a first start (Make's for today's pages, then for
    # pages without a doctype), and Make's as WordPress keeps it in a post, typeset by each
    # browser in each of its layout modes and inside WordPress's themes and the rules by which
    # blog themes style tables; two fractions side by side too, and an operator between two
    # entries, as MathML spaces it.
    entries = [("1", "2"), ("+", ""), ("<i>x</i>", "分母"), ("3", "4"), ("=", ""), ("5", "")]
    enter_entries(s, entries)
    # Make from a first start gives the table for HTML5 pages, as the menu's item does.
    html5 = table_markup(entries, name="1/2 + x/分母 3/4 = 5")
    copied = copy_each_markup(s, {
        "Make": html5,
        "HTML5": html5,
        "MathML": math_markup(["<mfrac><mn>1</mn><mn>2</mn></mfrac>", "<mo>+</mo>",
                               "<mfrac><mtext>x</mtext><mtext>分母</mtext></mfrac>",
                               "<mfrac><mn>3</mn><mn>4</mn></mfrac>", "<mo>=</mo>",
                               "<mn>5</mn>"]),
        "Old page": table_markup(entries),
    })
    del copied["HTML5"]  # the same bytes as Make's
    # The pages use the line image the program saves.
    line_image = s.save_line_image()
    themes, missing_themes = browserlayout.theme_pages()
    try:
        copied["Make in WP"] = browserlayout.kses(kses_or_skip(), copied["Make"], TIMEOUT)
        layouts, missing = {}, {}
        for browser, (package, _) in browserlayout.BROWSERS.items():
            path = browserlayout.find_browser(browser)
            if not path:
                missing[browser] = not_there(path, browser, package)
                continue
            typeset = browserlayout.typeset((browser, path), s.workdir, copied, TIMEOUT * 3,
                                            line_image, themes)
            layouts.update({(browser, *key): layout for key, layout in typeset.items()})
    except (RuntimeError, subprocess.TimeoutExpired) as error:
        raise CaseFailed(str(error)) from None
    print(browserlayout.table(layouts))
    check(copied["Make in WP"] == copied["Make"],
          f"WordPress changes the markup for HTML5 pages to {copied['Make in WP']!r}")
    for (browser, name, mode), layout in layouts.items():
        unjudged = browserlayout.not_measured(layout, mode)
        check(unjudged is None, f"{name}'s markup in {mode} mode in {browser}: {unjudged}")
        # The table pages without a doctype have always had: its cells touch.
        faults = browserlayout.faults(layout, spaced=name != "Old page")
        if name == "Old page" and mode not in ("quirks", "almost standards"):
            # Where that markup falls apart: the checks must see it.
            check(faults, f"The old pages' markup passes in {mode} in {browser}: the layout "
                  "checks see nothing")
        else:
            check(not faults, f"{name}'s markup in {mode} in {browser}: " + "; ".join(faults))
    if "Chromium" not in missing:
        read_as_chromium(s, browserlayout.find_browser("Chromium"))
    if missing_themes:
        # Debian 13 ships only the newest of them; the others' rules are also pages of their own.
        print("Not typeset in the themes of " + ", ".join(missing_themes) + ": not installed")
    if missing:
        raise CaseSkipped("; ".join(missing.values()) + ": not typeset there")


# Cells whose plain reading (the name of the table for HTML5 pages, the MathML tokens) must be
# what Chromium shows of them: references of every kind, tags, comments, text that browsers hide,
# blocks and tables, and elements nested deeper than Chromium keeps.
READ_CELLS = [
    "&frac13;", "&NotEqualTilde;", "&copy 2026", "&notit; &notin", "&AMP;&LT;&amp",
    "&foo; &#; &#x; AT&T", "&lt;b&gt;", "&#0;&#x0;", "&#65;&#x42;&#X43", "&#x1F600;&#x10FFFF;",
    "&#128;&#150;&#159;&#x81;&#x9D;", "&#xD800;&#xDFFF;", "&#x110000;&#99999999999;",
    "&#1;&#x7F;", "&nbsp;x&#160;", "&#13;a&#10;b&#9;&#12;", "<b>1</b><i>2</i>",
    "a<!-- c -->b<!--x", '<span title="a>b">c</span>x<b', "1 < 2 <3", "<?x?>a<!x>b",
    "a<![CDATA[b]]>c", "a<style>b</style>c", "a<script>b</script>c<script>d",
    "a<textarea>b&amp;</textarea>c", "a<title>b</title>c", "a<noscript>b</noscript>c",
    "a<template>b</template>c", "a<span hidden>b</span>c",
    "a<dialog>b</dialog>c<search>d</search>e", "a<details>b<summary>s</summary>c</details>d",
    "a<isindex prompt=x>b",
    "a<iframe>b</iframe>c<video>d</video>e<object>f</object>g", "a<xmp><b>c</b></xmp>d",
    "a<plaintext>b</plaintext>c", "p<div>q</div>r", "a<p>b</p>c<br>d<hr>e",
    "a<ul><li>b<li>c</ul>d", "a<table><tr><td>b<td>c</table>d", "a<table>b<tr><td>c</table>",
    "a</td><td>b</tr>c", "a<ruby>b<rp>(</rp><rt>c</rt><rp>)</rp></ruby>d", "<br>", "  a   b  ",
    "<b>" * 512 + "a<i>b</i>c<br>d<div>e</div>f", "<span>" * 506 + "a<span>b</span>c",
    "<span>" * 507 + "a<span>b</span>c", "<p><b>x" * 256 + "<p><i>1<u>2</u>3</i>",
    "<b><i>x</b></i>" * 512 + "<div hidden><span>secret</span></div>",
    "FOO<script><!--<script>-></script>--></script>QUX", "<svg><rect></svg><xmp><!--a--></xmp>",
    "a<svg>b<text>c</text><desc>d</desc><![CDATA[e]]>f</svg>g<svg><b>h</b></svg>",
    "a<select><option>b</option>c<optgroup label=x><option>d</select>e",
    "a<math>b<mi>c</mi><annotation-xml>d</annotation-xml><mi>xy</mi><![CDATA[f]]></math>g",
    "<p>a<dialog>b</dialog>c", "&#x80000041;&#4294967361;", "<math hidden></><b>x",
]


def generated_cells(seed=34, count=300):
    """Cells of a small grammar: tags that the tokenizer and the tree builder treat specially,
    foreign content, misnesting, references and controls (as references, which paste as typed)."""
    names = ["a", "b", "i", "u", "nobr", "font", "p", "div", "span", "pre", "h1", "li", "ul", "dd",
             "dt", "table", "tr", "td", "caption", "form", "button", "template", "script",
             "style", "xmp", "plaintext", "textarea", "title", "iframe", "noembed", "object",
             "details", "summary", "dialog", "ruby", "rt", "rp", "br", "hr", "img", "svg",
             "math", "mi", "mn", "mtext", "foreignObject", "desc", "text", "x"]
    pieces = ["x", " y ", "&amp;", "&lt;b&gt;", "&notin", "&#65;", "&#x80000041;", "&#0;",
              "&#150;", "&#x1F600;", "&#1;", "<!--c-->", "<!-->", "<!--", "-->", "<![CDATA[c]]>",
              "<?p>", "</>", "<", "\u00a0", "<!--<script>", "</script>"]
    rng = random.Random(seed)
    cells = []
    for _ in range(count):
        cell = ""
        for _ in range(rng.randint(1, 12)):
            kind = rng.randrange(6)
            if kind < 2:
                cell += "<%s%s>" % (rng.choice(names), " hidden" if rng.randrange(5) == 0 else "")
            else:
                cell += "</%s>" % rng.choice(names) if kind == 2 else rng.choice(pieces)
        cells.append(cell)
    return cells


def read_as_chromium(s, chromium):
    """Pastes READ_CELLS and cells of a small grammar as plain entries after markup_in_browser's,
    in one table pasted into the list, which takes each cell back as written; the name of the
    table for HTML5 pages and the MathML tokens must read each as Chromium shows it, white space
    collapsed."""
    cells = READ_CELLS + generated_cells()
    s.click(NMNT_E)
    s.key("shift+Tab")  # the list, its entry row selected: the row goes at the end
    s.paste(table_markup([(cell, "") for cell in cells]).decode())
    try:
        shown = browserlayout.shown_texts(chromium, s.workdir, cells, TIMEOUT * 2)
    except (RuntimeError, subprocess.TimeoutExpired) as error:
        raise CaseFailed(str(error)) from None
    shown = [re.sub(r"[ \t\n\f\r]+", " ", text).strip(" ") for text in shown]
    copied = []
    for downs in (1, 2):  # the markup for HTML5 pages, then the MathML
        before = s.clipboard()
        s.choose_from_context_menu(MEMO, downs)
        s.click(COPY_B)
        deadline = time.monotonic() + TIMEOUT / 2
        while (held := s.clipboard()) == before and time.monotonic() < deadline:
            time.sleep(0.2)
        copied.append(held.decode())
    html5, math = copied
    label = html.unescape(re.search(r'aria-label="([^"]*)"', html5).group(1))
    tokens = [html.unescape(t) for t in re.findall(r"<m(?:n|o|text)>([^<]*)</m", math)]
    for cell, text, token in zip(cells, shown, tokens[-len(cells):]):
        print(f"{cell[:40]!r:40} {text!r:20} {'=' if token == text else repr(token)}")
    check(tokens[-len(cells):] == shown, "MathML tokens differ from what Chromium shows")
    check(label == " ".join(["1/2 + x/分母 3/4 = 5"] + [text for text in shown if text]),
          f"the name for HTML5 pages reads {label!r}")
    check(all(HTML5_PLAIN.format(cell) + "\r\n" in html5 for cell in cells),
          "the table for HTML5 pages does not hold the cells as typed")


def katex_dist(s):
    """KaTeX's package as the build fetches it for the TeX engines' test."""
    dist = os.path.join(os.path.dirname(s.program), "tests", "tex", "node_modules", "katex", "dist")
    if not os.path.isdir(dist):
        raise CaseSkipped("KaTeX is not installed (a build configured with "
                          "-DPEMVARO_FETCH_TEX_ENGINES=ON fetches it, as ./build.sh test does)")
    return dist


@case
def tex_in_browser(s):
    # The TeX as copied, typeset by KaTeX with its own stylesheet and fonts in Chromium, as
    # Markdown sites show it: each numerator above its fraction line, the plus sign between.
    enter_entries(s, [("1", "2"), ("+", ""), ("3", "4")])
    s.choose_from_context_menu(MEMO, 3)  # TeX で作成, which opens on its first item
    s.key("Down", "Down", "Down", "Return")  # Obsidian・VS Code など
    s.click(COPY_B)
    formula = r"\frac{1}{2} + \frac{3}{4}"
    s.expect_clipboard(crlf(["$$", formula, "$$"]))
    dist = katex_dist(s)
    chromium = installed_or_skip(browserlayout.find_browser("Chromium"), "Chromium", "chromium")
    try:
        layout = browserlayout.typeset_katex(("Chromium", chromium), s.workdir, dist, formula,
                                             TIMEOUT * 2)
    except (RuntimeError, subprocess.TimeoutExpired) as error:
        raise CaseFailed(str(error)) from None
    print(json.dumps(layout))
    faults = browserlayout.katex_faults(layout)
    check(not faults, "KaTeX in Chromium: " + "; ".join(faults))


def formulas(nodes):
    """The formulas among accessibles read depth first: each one's name, and the roles of its
    children and the names of its leaves, in the order read."""
    found = []
    for i, node in enumerate(nodes):
        if node["role"] != "math":
            continue
        end = i + 1
        while end < len(nodes) and nodes[end]["depth"] > node["depth"]:
            end += 1
        inside = nodes[i + 1:end]
        leaves = [n["name"] for k, n in enumerate(inside)
                  if n["name"] and (k + 1 == len(inside) or inside[k + 1]["depth"] <= n["depth"])]
        found.append({"name": node["name"], "leaves": leaves,
                      "children": [n["role"] for n in inside if n["depth"] == node["depth"] + 1],
                      "roles": {n["role"] for n in inside}})
    return found


@case
def markup_for_screen_readers(s):
    # What a screen reader reads of the markup for today's pages in a browser: the table for
    # HTML5 pages, as made and as WordPress keeps it, is one formula named by the row, its line
    # images left out; the MathML is a formula of two fractions around the operator.
    enter_entries(s, [("1", "2"), ("+", ""), ("3", "4")])
    html5 = table_markup([("1", "2"), ("+", ""), ("3", "4")], name="1/2 + 3/4")
    copied = copy_each_markup(s, {
        "Make": html5,
        "HTML5": html5,
        "MathML": math_markup(["<mfrac><mn>1</mn><mn>2</mn></mfrac>", "<mo>+</mo>",
                               "<mfrac><mn>3</mn><mn>4</mn></mfrac>"]),
    })
    kept = browserlayout.kses(kses_or_skip(), copied["HTML5"], TIMEOUT)
    chromium = installed_or_skip(browserlayout.find_browser("Chromium"), "Chromium", "chromium")

    site = os.path.join(s.workdir, "site")
    os.makedirs(site)
    with open(os.path.join(site, "fracline.gif"), "wb") as f:
        f.write(browserlayout.BLACK_GIF)
    with open(os.path.join(site, "page.html"), "wb") as f:
        f.write(b'<!DOCTYPE html>\r\n<html lang="ja"><head><meta charset="utf-8">'
                b"<title>fractions</title></head><body>\r\n" + copied["HTML5"] + kept
                + copied["MathML"] + b"</body></html>\r\n")
    s.screen_reader_on()
    home = os.path.join(s.workdir, "chromium-home")
    env = dict(s.env, ACCESSIBILITY_ENABLED="1", HOME=home, XDG_CONFIG_HOME=home,
               XDG_CACHE_HOME=home)
    with open(os.path.join(s.workdir, "chromium.log"), "wb") as log:
        browser = subprocess.Popen(
            [chromium, *browserlayout.CHROMIUM_FLAGS, "--force-renderer-accessibility",
             "--user-data-dir=" + os.path.join(s.workdir, "chromium-profile"),
             "file://" + os.path.join(site, "page.html")],
            env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log, preexec_fn=die_with_parent)
    try:
        deadline = time.monotonic() + TIMEOUT * 2
        while True:
            read = s.run([*Session.ATSPI_READER, "Chromium", "40"], check_exit=False)
            found = formulas(json.loads(read.stdout)) if read.returncode == 0 else []
            if len(found) == 3 or time.monotonic() > deadline:
                break
            time.sleep(0.5)
    finally:
        stop(browser)
    check(len(found) == 3, f"Chromium shows {len(found)} formulas, not 3: {found}")
    for made, formula in zip(("as made", "as WordPress keeps it"), found):
        check(formula["name"] == "1/2 + 3/4" and "image" not in formula["roles"],
              f"the table for HTML5 pages {made} reads {formula}")
    mathml = found[2]
    check(mathml["children"] == ["math fraction", "static", "math fraction"]
          and mathml["leaves"] == ["1", "2", "+", "3", "4"], f"the MathML reads {mathml}")


def dead_display():
    """An X display with no server behind it."""
    for number in range(99, 1000):
        taken = ("/tmp/.X11-unix/X%d", "/tmp/.X%d-lock")
        if not any(os.path.exists(path % number) for path in taken):
            return f":{number}"
    raise CaseFailed("every X display from :99 to :999 is taken")


@case_without_x_server
def without_display(program, workdir):
    dead = dead_display()
    # Environment, command line, and what the program must name as tried, in English and Japanese.
    starts = [
        ({}, [], "X display (DISPLAY is not set)", "X ディスプレイ（DISPLAY が設定されていません）"),
        ({"DISPLAY": dead}, [], f'X display "{dead}"', f'X ディスプレイ "{dead}"'),
        ({"DISPLAY": dead, "QT_QPA_PLATFORM": "nonsense"}, [], 'Qt platform "nonsense"',
         'Qt プラットフォーム "nonsense"'),
        ({"DISPLAY": dead, "WAYLAND_DISPLAY": "pemvaro-none"}, ["-platform", "wayland;xcb:x=1"],
         f'Qt platform "wayland;xcb:x=1", Wayland display "pemvaro-none", X display "{dead}"',
         f'Wayland ディスプレイ "pemvaro-none"、X ディスプレイ "{dead}"'),
    ]
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "QT_QPA_PLATFORM")}
    env.update(LANG="C.UTF-8", LC_ALL="C.UTF-8", XDG_RUNTIME_DIR=workdir)
    advice = f"xvfb-run {program}"
    for extra, arguments, english, japanese in starts:
        command = [program, *arguments]
        try:
            done = subprocess.run(command, env={**env, **extra}, stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise CaseFailed(f"{extra} {arguments}: the program kept running") from None
        said = done.stderr.decode("utf-8", "replace")
        start = f"{extra} {arguments}: exit status {done.returncode}, said:\n{said}"
        check(done.returncode == 1, start)
        lines = said.splitlines()
        check(len(lines) == 2 and "Aborted" not in said and "plugin" not in said, start)
        check(lines[0].startswith("Pemvaro needs a graphical display") and
              f"Tried: {english}. " in lines[0] and lines[0].endswith(advice), start)
        check(lines[1].startswith("Pemvaro にはグラフィカルなディスプレイが必要") and
              japanese in lines[1] and lines[1].endswith(advice), start)


@case
def screen_reader(s):
    s.screen_reader_on()

    def read():
        nodes = s.accessibles()
        roles = {}
        for node in nodes:
            roles.setdefault(node["role"], []).append(node)
        return roles

    deadline = time.monotonic() + TIMEOUT
    while not read().get("image") and time.monotonic() < deadline:
        time.sleep(0.5)  # the program connects to the accessibility bus on its own time

    def add_entries():
        s.click(FIRST_ROW)
        s.key("Tab")
        s.enter_fraction("1", "2")
        s.type("+")
        s.key("Return")

    # Each action that changes the sample is told once, of the picture and of the check box that
    # reads it.
    told = s.told_descriptions(add_entries, "サンプル: 1/2 +")
    check(told == ["1/2", "サンプル: 1/2", "1/2 +", "サンプル: 1/2 +"],
          f"a screen reader was told {told}")
    roles = read()
    check([n["name"] for n in roles.get("frame", [])] == [CAPTION],
          f"no frame named {CAPTION}: {roles.get('frame')}")
    image = roles.get("image", [{}])[0]
    check((image.get("name"), image.get("description")) == ("サンプル", "1/2 +"),
          f"the sample reads {image}")
    tree = roles["tree"][0]
    check((tree["name"], tree["rows"]) == ("分数リスト", 3), f"the list reads {tree}")
    headers = [(n["name"], n["extents"][2]) for n in roles["table column header"]]
    check(headers == [("分子", 102), ("分母", 102)], f"the list's columns are {headers}")
    # A paste that reads no row is told in a line at the list, which screen readers read too.
    s.click(FIRST_ROW)
    s.paste("  ")
    deadline = time.monotonic() + TIMEOUT
    while not (tips := [n["name"] for n in read().get("tool tip", [])]) and \
            time.monotonic() < deadline:
        time.sleep(0.2)
    check(tips == ["クリップボードに分数の列がありません"], f"the paste's line reads {tips}")


@case
def screen_reader_speech(s):
    # The typical use from the keyboard alone, as Orca speaks it: each step and what it must say
    # (controls by their names; the words for their roles are Orca's and change with its version).
    orca = s.start_orca()
    # The window manager may have activated the window while Orca was starting: the case starts
    # from a window put away, as one comes back to it from another.
    s.xdo("windowminimize", "--sync", s.window)
    # The current row; Orca 43 says the list's name before it, later ones the row alone.
    said = orca.after(lambda: s.xdo("windowactivate", "--sync", s.window),
                      expect=["新規作成", "1 / 1"])
    said += orca.after(lambda: s.key("Return"), expect=["行が選ばれていません"])
    said += orca.after(lambda: s.key("Down", "Tab"), expect=["分子"])
    said += orca.after(lambda: s.enter_fraction("1", "2"), expect=["1/2 を追加"])
    said += orca.after(lambda: s.enter_fraction("3", "4"), expect=["3/4 を追加"])
    # The rows by their columns and positions, the focus mark on the selected row.
    said += orca.after(lambda: s.key("shift+Tab"), expect=["新規作成", "3 / 3"])
    said += orca.after(lambda: s.key("Up"), expect=["分子 3", "分母 4", "2 / 3"])
    said += orca.after(lambda: s.key("Up"), expect=["分子 1", "分母 2", "1 / 3"])
    # Change tells the entry and leaves the focus in the numerator's box.
    said += orca.after(lambda: s.key("Tab", "Tab", "Tab", "space"), expect=["1/2 に変更", "分子"])
    said += orca.after(lambda: s.key("Tab", "Tab", "Tab"), expect=["削除"])
    # Delete keeps the focus, and Orca must not hear otherwise.
    deleted = orca.after(lambda: s.key("space"), expect=["1/2 を削除"])
    check(not any("分数リスト" in line for line in deleted),
          f"Orca heard the list take the focus: {deleted}")
    said += deleted
    said += orca.after(lambda: s.key("shift+Tab"), expect=["変更"])
    said += orca.after(lambda: s.key(*["shift+Tab"] * 3), expect=["分子 3"])
    said += orca.after(lambda: s.key("ctrl+z"), expect=["元に戻す: 1/2 を削除"])
    windows = s.windows()
    # The same menu a second time reads as the first.
    for _ in range(2):
        said += orca.after(lambda: s.key("shift+F10"), expect=["元に戻す(U)"])
        s.key("Escape")
        s.wait_for_windows(windows)
    said += orca.after(lambda: s.key(*["Tab"] * 5), expect=["古いページ用"])
    said += orca.after(lambda: s.key("Tab"), expect=["作成"])
    said += orca.after(lambda: s.key("space"), expect=["HTML5 ページ用の表 を作成"])
    said += orca.after(lambda: s.key("Tab", "space"), expect=["コピーしました"])
    s.expect_clipboard(table_markup([("1", "2"), ("3", "4")], name="1/2 3/4"))
    said += orca.after(lambda: s.key("Tab", "shift+F10"), expect=["HTML5 ページ用に作成"])
    # An item that opens a submenu reads as collapsed (Orca's word), until its submenu opens.
    said += orca.after(lambda: s.key("Down", "Down"), expect=["TeX で作成 畳んだ状態"])
    said += orca.after(lambda: s.key("Right"), expect=["Zenn・note 用"])
    said += orca.after(lambda: s.key("Return"), expect=["Zenn・note 用の TeX を作成"])
    # A box's name before its whole text.
    path = orca.after(lambda: s.key("Tab"), expect=["中線画像パス", "./fracline.gif"])
    named = next(i for i, line in enumerate(path) if "中線画像パス" in line)
    check(not any("./fracline" in line for line in path[:named]),
          f"Orca read the path box's text before its name: {path}")
    said += path
    # The sample, which takes no focus, read at the check box beside it.
    said += orca.after(lambda: s.key("Tab"), expect=["サンプル: 1/2 3/4"])
    # The font chooser's lists by their names, with the current item: the button, then the dialog,
    # each key waited for as the others are. As the dialog opens, Orca 48 may take the first list
    # for the focus before its item and leave out the list's name, and on a loaded machine either
    # release may pass over the dialog's title, which is found on the screen instead.
    said += orca.after(lambda: s.key("Tab"), expect=["フォント"])
    said += orca.after(lambda: s.key("space"), expect=["MS Pゴシック"])
    check(s.dialog_open("フォント"), "the font chooser's dialog is not open")
    said += orca.after(lambda: s.key("Tab"), expect=["スタイル", "標準"])
    said += orca.after(lambda: s.key("shift+Tab"), expect=["フォント名", "MS Pゴシック"])
    said += orca.after(lambda: s.key("Escape"), expect=["フォント"])
    print("Orca said:", *said, sep="\n  ")


@case
def interrupt_ends_cleanly(s):
    # Ctrl+C in the terminal that started it closes the window as SIGTERM does (every other case
    # ends that way), with the clipboard still held by the program.
    s.click(OLD_PAGE_SC)
    s.click(FIRST_ROW)
    s.key("Tab")
    s.enter_fraction("1", "2")
    s.make_and_copy()
    s.expect_clipboard(table_markup([("1", "2")]))
    s.app.send_signal(signal.SIGINT)
    try:
        status = s.app.wait(timeout=QUIT_TIME)
    except subprocess.TimeoutExpired:
        raise CaseFailed("the program did not end on SIGINT") from None
    check(status == 0, f"the program ended on SIGINT with exit status {status}")
    gone = s.run(["xdotool", "search", "--name", f"^{CAPTION}$"], check_exit=False)
    check(not gone.stdout.split(), "the window is still there")


def in_wayland(function):
    """A case run in a headless Wayland compositor instead of an X server."""
    function.in_wayland = True
    return case(function)


@in_wayland
def wayland_window(s):
    window = s.tree_node()
    # A fixed-size window floats in a tiling compositor, at its own size, under the app id by which
    # the desktop finds its menu entry and icon.
    check(window["app_id"] == "pemvaro", f"app id {window['app_id']!r}, not 'pemvaro'")
    desktop_entry = os.path.join(os.path.dirname(__file__), "../../packaging/pemvaro.desktop")
    with open(desktop_entry) as f:
        check("Icon=pemvaro\n" in f.read(), "the menu entry pemvaro.desktop names no icon pemvaro")
    check(window["type"] == "floating_con", "the window is tiled like a resizable one")
    size = (window["geometry"]["width"], window["geometry"]["height"])
    check(size == CLIENT_SIZE, f"the window is {size}, not {CLIENT_SIZE}")
    s.wait_for_sample(lambda sample: check(sample.is_white(), "not white"), "a white surface")

    # The display's scale goes from 1 to 2 while the program runs: the sample is drawn anew in as
    # many pixels as the display shows, as by a program started at 2, not enlarged.
    s.key("Down", "Tab")
    s.enter_fraction("1", "2")
    s.scale_output(2)
    rescaled = settled_sample(s)
    s.restart()  # the program keeps the entry 1/2 for its next start
    started = settled_sample(s)
    title = (4, 8, 164, 12)  # TitleL, drawn by Qt
    if differing_pixels(Sample(rescaled.shot, title), Sample(started.shot, title)):
        print("Qt enlarges the window, not drawing it anew at the output's new scale (Qt 6.4)")
        return
    differing = differing_pixels(rescaled, started)
    print(f"after the scale change {differing} of {started.width * started.height} sample pixels "
          "differ from those of a program started at that scale")
    check(differing <= 5, f"{differing} pixels of the sample differ")


def settled_sample(s):
    shown = None
    for _ in range(int(TIMEOUT / 0.5)):
        time.sleep(0.5)
        sample = Sample(s.screenshot())
        if shown and shown.width == sample.width and not differing_pixels(sample, shown):
            return sample
        shown = sample
    raise CaseFailed("the sample does not settle")


def differing_pixels(a, b):
    return sum(a.pixel(x, y) != b.pixel(x, y) for y in range(a.height) for x in range(a.width))


def print_sanitizer_report(log):
    """What a sanitizer build said when the program ended, such as the leaks it let pass."""
    if not os.path.exists(log):  # cases without an X server keep their own logs
        return
    with open(log, errors="replace") as f:
        lines = [line.rstrip() for line in f if "Sanitizer" in line or "Suppressions" in line]
    if lines:
        print("--- the sanitizers at exit\n" + "\n".join(lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", help="the built program")
    parser.add_argument("--desktop", choices=DESKTOPS, help="run as on this desktop")
    parser.add_argument("--wayland", action="store_true",
                        help="run as a native Wayland client of a headless compositor")
    parser.add_argument("--list", action="store_true", help="name the cases and the desktops")
    parser.add_argument("cases", nargs="*", metavar="CASE")
    args = parser.parse_args()
    if args.list:
        print("cases:", *CASES)
        print("desktops:", *DESKTOPS)
        return 0
    unknown = [name for name in args.cases if name not in CASES]
    if not args.program or not args.cases or unknown:
        parser.error(f"give --program and cases out of: {', '.join(CASES)}")
    program = os.path.abspath(args.program)
    in_wayland = [name for name in args.cases if hasattr(CASES[name], "in_wayland") or
                  args.wayland and not hasattr(CASES[name], "without_x_server")]
    in_x_server = [name for name in args.cases
                   if not hasattr(CASES[name], "without_x_server") and name not in in_wayland]
    missing = [t for t in WaylandSession.TOOLS if not shutil.which(t)]
    if in_wayland and missing:
        print("SKIPPED: no headless Wayland compositor (Debian: apt-get install sway "
              "wl-clipboard grim qt6-wayland)")
        return SKIPPED
    if in_x_server and shutil.which("Xvfb") is None:
        print("SKIPPED: Xvfb is not installed (Debian: apt-get install xvfb)")
        return SKIPPED
    tools = ("xdotool", "xclip", "xprop", "xwininfo", "import", "dbus-daemon")
    missing = [t for t in tools if not shutil.which(t)]
    if in_x_server and missing:
        print("FAILED: missing tools: " + " ".join(missing) + " (see build.sh)")
        return 1

    # Stopped by CTest: leave through the finally blocks, which stop the X server and the program.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    failed, skipped = [], []
    for name in args.cases:
        with tempfile.TemporaryDirectory(prefix="pemvaro-e2e-") as workdir:
            try:
                if name in in_wayland:
                    with WaylandSession(program, workdir) as session:
                        CASES[name](session)
                elif name in in_x_server:
                    with Session(program, workdir, args.desktop) as session:
                        CASES[name](session)
                else:
                    CASES[name](program, workdir)
                print(f"PASS   {name}")
                print_sanitizer_report(os.path.join(workdir, "program.log"))
            except CaseSkipped as reason:
                skipped.append(name)
                print(f"SKIP   {name}: {reason}")
            except CaseFailed as failure:
                failed.append(name)
                print(f"FAIL   {name}: {failure}")
                log = os.path.join(workdir, "program.log")
                if os.path.exists(log) and os.path.getsize(log):
                    print("--- the program's output\n" + open(log, errors="replace").read())
    return 1 if failed else SKIPPED if skipped else 0


if __name__ == "__main__":
    sys.exit(main())
