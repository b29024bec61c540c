#!/usr/bin/env python3
"""The real program with long pasted texts, under Xvfb, driven as a person would with xdotool.

    bench/longtext.py actions PROGRAM [CHARACTERS] [unbreakable|tags]
                                                     CPU seconds of each action with one text of
                                                     CHARACTERS (default 1,000,000) mixed Japanese
                                                     and Latin characters; with `unbreakable`, of
                                                     "x" alone, one line without a place to break
                                                     it; with `tags`, of "<span>" repeated, the
                                                     same as markup
    bench/longtext.py memory PROGRAM [CHANGES] [CHARACTERS]
                                                     resident memory before and after changing one
                                                     entry CHANGES times (default 60) to different
                                                     texts of CHARACTERS (default 200,000), each
                                                     time clicking it, pasting over its numerator
                                                     and pressing Enter, and deleting it

    bench/longtext.py inputs PROGRAM                 CPU seconds of pasting into the list each input
                                                     that once crashed a reader or took it long
                                                     (as the clipboard's text or HTML), of
                                                     committing such cells in 分子 while the pane
                                                     follows the list with the table for HTML5
                                                     pages, and of Delete at the start of a line of
                                                     a million "x" in the pane; the program must
                                                     still run after each

CPU time is read from /proc/PID/stat once the program has been idle for a second.
"""

import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import pemvaro_e2e as e2e  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
UNIT = "分数のテスト 1/2 + abc "
DELETE_B = e2e.centre(e2e.LIST_P, 140, 312, 75, 25)
DNMNT_E = e2e.centre(e2e.LIST_P, 44, 280, 121, 20)
FONT_B = e2e.centre(e2e.SAMPLE_P, 8, 104, 45, 17)
# The items of the pane's menu that make a markup, by their steps from its top.
PANE_MENU = (("HTML5 で作成", 1, ()), ("MathML で作成", 2, ()),
             *((f"TeX で作成, item {i + 1}", 3, ["Down"] * i + ["Return"]) for i in range(4)),
             ("テキストで作成", 4, ()), ("画像としてコピー", 5, ()))


def cpu_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def resident_kib(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def wait_idle(pid, quiet=1.0):
    """Waits until the program has used less than 30 ms of CPU in `quiet` seconds."""
    last, since = cpu_seconds(pid), time.monotonic()
    while time.monotonic() - since < quiet:
        time.sleep(0.1)
        now = cpu_seconds(pid)
        if now - last > 0.03:
            last, since = now, time.monotonic()


def mixed_text(characters, variant=0):
    text = (UNIT * (characters // len(UNIT) + 1))[:characters]
    return f"{variant}:" + text[len(str(variant)) + 1 :]


def put_on_clipboard(session, text, kind="text/plain"):
    owner = subprocess.Popen(["xclip", "-selection", "clipboard", "-t", kind, "-i"],
                             stdin=subprocess.PIPE, env=session.env)
    owner.communicate(text.encode())


def measure(session, name, action):
    pid = session.app.pid
    wait_idle(pid)
    before = cpu_seconds(pid)
    action()
    wait_idle(pid)
    print(f"{name:28s} {cpu_seconds(pid) - before:6.2f} CPU s", flush=True)


def in_pane_menu(session, downs, then):
    session.choose_from_context_menu(e2e.MEMO, downs)
    if then:
        session.key(*then)


def actions(session, characters, kind=None):
    s = session
    unit = {"unbreakable": "x", "tags": "<span>"}.get(kind)
    text = (unit * characters)[:characters] if unit else mixed_text(characters)
    put_on_clipboard(s, text)
    s.click(e2e.FIRST_ROW)
    s.click(e2e.NMNT_E)
    measure(s, "paste into 分子", lambda: s.key("ctrl+v"))
    measure(s, "select all", lambda: s.key("ctrl+a"))
    measure(s, "Tab to 分母", lambda: s.key("Tab"))
    s.type("2")
    measure(s, "Shift+Tab back to 分子", lambda: s.key("shift+Tab"))
    measure(s, "commit the entry row", lambda: s.key("Return"))
    measure(s, "click the entry", lambda: s.click(e2e.FIRST_ROW))
    measure(s, "Tab into 分子", lambda: s.key("Tab"))
    measure(s, "idle 10 s, 分子 focused", lambda: time.sleep(10))
    measure(s, "commit the entry (変更)", lambda: s.key("Return"))
    measure(s, "Make", lambda: s.click(e2e.MAKE_B))
    measure(s, "Copy", lambda: s.click(e2e.COPY_B))
    whole = s.clipboard() == e2e.table_markup([(text, "2")])
    print(f"clipboard holds the whole markup: {whole}")
    measure(s, "hide the sample", lambda: s.click(e2e.VIS_SC))
    measure(s, "show the sample", lambda: s.click(e2e.VIS_SC))
    measure(s, "choose a font (OK)", lambda: (s.click(FONT_B), s.key("Return")))
    for name, downs, then in PANE_MENU:
        measure(s, name, lambda: in_pane_menu(s, downs, then))
    # The pane's editing items, by their keys, on the text of the last item.
    s.click(e2e.MEMO)
    measure(s, "type in the pane", lambda: s.key("a", "BackSpace"))
    measure(s, "idle 10 s, pane focused", lambda: time.sleep(10))
    for name, keys in (("select all", "ctrl+a"), ("copy", "ctrl+c"), ("cut", "ctrl+x"),
                       ("undo", "ctrl+z"), ("redo", "ctrl+y"), ("paste", "ctrl+v"),
                       ("select all, delete", "ctrl+a Delete"), ("undo the delete", "ctrl+z")):
        measure(s, "pane: " + name, lambda: s.key(*keys.split()))
    s.click(e2e.FIRST_ROW)
    measure(s, "type in the list", lambda: s.key("x", "Down", "Up"))
    s.click(e2e.NMNT_E)
    measure(s, "type in 分子", lambda: s.key("End", "a", "BackSpace"))
    s.click(DNMNT_E)
    measure(s, "paste into 分母", lambda: s.key("ctrl+a", "ctrl+v"))
    measure(s, "type in 分母", lambda: s.key("End", "a", "BackSpace"))
    s.click(e2e.PATH_E)
    measure(s, "paste into the picture path", lambda: s.key("ctrl+a", "ctrl+v"))
    measure(s, "type in the picture path", lambda: s.key("End", "a", "BackSpace"))
    return 0 if whole else 1


# What a paste reads, as the clipboard's text or HTML, and cells typed into 分子.
PASTED = (("\\frac x 500,000", "text/plain", "\\frac" * 500_000),
          ("$^ x 1,000,000 x$", "text/plain", "$" + "^" * 1_000_000 + "x$"),
          ("<optgroup> x 410,000", "text/html", "<optgroup>" * 410_000),
          ("<rp> x 200,000", "text/html", "<rp>" * 200_000),
          ("<div></x> x 222,222", "text/html", "<div></x>" * 222_222),
          ("\\cfrac[ab x 400,000", "text/plain", "\\cfrac[ab" * 400_000),
          ("1 x 500,000, ／ x 500,000", "text/plain", "1" * 500_000 + "／" * 500_000))
TYPED = (("<select><optgroup> x 200,000 1/2", "<select>" + "<optgroup>" * 200_000 + " 1/2"),
         ("<x> x 600 </y> x 500,000", "<x>" * 600 + "</y>" * 500_000))


def inputs(session):
    s = session
    alive = True

    def running(name):
        nonlocal alive
        if s.app.poll() is not None:
            print(f"the program ended after {name}")
            alive = False
        return alive

    s.click(e2e.FIRST_ROW)
    s.key("Tab")
    s.enter_fraction("1", "2")
    for name, kind, text in PASTED:
        put_on_clipboard(s, text, kind)
        s.click(e2e.FIRST_ROW)
        measure(s, f"paste {name}", lambda: s.key("ctrl+v"))
        if not running(name):
            return 1
    in_pane_menu(s, *PANE_MENU[0][1:])
    for name, text in TYPED:
        put_on_clipboard(s, text)
        s.click(e2e.FIRST_ROW)
        s.click(e2e.NMNT_E)
        s.key("ctrl+a", "ctrl+v")
        measure(s, f"commit {name} in 分子", lambda: s.key("Return"))
        if not running(name):
            return 1
    put_on_clipboard(s, "a\n" + "x" * 1_000_000)
    s.click(e2e.MEMO)
    s.key("ctrl+a", "ctrl+v", "ctrl+Home", "Down", "Home")
    measure(s, "pane: Delete at a long line's start", lambda: s.key("Delete"))
    return 0 if running("Delete") else 1


def memory(session, changes, characters):
    s = session
    pid = s.app.pid
    s.click(e2e.FIRST_ROW)
    s.key("Tab")
    s.enter_fraction("1", "2")
    s.click(e2e.FIRST_ROW)
    wait_idle(pid)
    before = resident_kib(pid)
    for i in range(changes):
        put_on_clipboard(s, mixed_text(characters, i))
        s.click(e2e.FIRST_ROW)
        s.click(e2e.NMNT_E)
        s.key("ctrl+a", "ctrl+v", "Return")
        wait_idle(pid, 0.5)
    during = resident_kib(pid)
    s.click(DELETE_B)
    wait_idle(pid)
    after = resident_kib(pid)
    print(f"resident memory: {before} KiB before, {during} KiB after {changes} changes to "
          f"{characters}-character texts, {after} KiB once the entry is deleted "
          f"({(after - before) / 1024:+.1f} MiB)")
    return 0


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("actions", "memory", "inputs"):
        print(__doc__, file=sys.stderr)
        return 2
    mode, program = sys.argv[1], os.path.abspath(sys.argv[2])
    numbers = [int(arg) for arg in sys.argv[3:] if arg.isdigit()]
    kind = next((arg for arg in sys.argv[3:] if not arg.isdigit()), None)
    with tempfile.TemporaryDirectory(prefix="pemvaro-bench-") as workdir:
        with e2e.Session(program, workdir) as session:
            if mode == "actions":
                return actions(session, *(numbers or [1_000_000]), kind)
            if mode == "inputs":
                return inputs(session)
            return memory(session, *(numbers or [60, 200_000]))


if __name__ == "__main__":
    sys.exit(main())
