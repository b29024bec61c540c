"""Typesets copied markup in headless Chromium and measures the layout from a script in the page.

Each markup is pasted into one page per layout mode, beside a 1 x 1 black GIF as the line image;
the pages load side by side in frames of one index page, so Chromium starts once. Local files
only: nothing reaches the network.
"""

import html
import json
import os
import re
import shutil
import subprocess

# What comes before <html>, for each layout mode a browser knows.
DOCTYPES = {
    "quirks": "",
    "almost standards": '<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN" '
                        '"http://www.w3.org/TR/html4/loose.dtd">\r\n',
    "standards": "<!DOCTYPE html>\r\n",
}
COMPAT_MODE = {"quirks": "BackCompat", "almost standards": "CSS1Compat", "standards": "CSS1Compat"}

# GIF89a, 1 x 1, a two-colour table (black, white), one pixel of colour 0: LZW codes clear, 0, end.
BLACK_GIF = (b"GIF89a" b"\x01\x00\x01\x00" b"\x80\x00\x00" b"\x00\x00\x00" b"\xff\xff\xff"
             b"," b"\x00\x00\x00\x00" b"\x01\x00\x01\x00" b"\x00" b"\x02\x02\x44\x01\x00" b";")

# Runs in each page once it has loaded, image included. The k-th image belongs to the k-th
# numerator cell (rowspan 1) of the first row and to the k-th cell of the third.
MEASURE = """<script>
addEventListener("load", () => {
  const textBox = (cell) => {
    const range = document.createRange();
    range.selectNodeContents(cell);
    return range.getBoundingClientRect();
  };
  const rows = document.querySelector("table").rows;
  const numerators = [...rows[0].cells].filter((cell) => cell.rowSpan == 1);
  const bars = [...rows[1].querySelectorAll("img")].map((img, k) => {
    const bar = img.getBoundingClientRect(), column = numerators[k].getBoundingClientRect();
    return {loaded: img.complete && img.naturalWidth == 1, left: bar.left, width: bar.width,
            top: bar.top, bottom: bar.bottom, columnLeft: column.left, columnWidth: column.width,
            numeratorBottom: textBox(numerators[k]).bottom,
            denominatorTop: textBox(rows[2].cells[k]).top};
  });
  const plains = [...rows[0].cells].filter((cell) => cell.rowSpan == 3).map((cell) => {
    const box = textBox(cell);
    return (box.top + box.bottom) / 2;
  });
  const row = rows[1].getBoundingClientRect();
  window.layout = {compatMode: document.compatMode, rowTop: row.top, rowHeight: row.height,
                   bars, plains};
});
</script>
"""

INDEX = """<!DOCTYPE html>
<html><head><meta charset="utf-8"></head><body>
{frames}
<script>
addEventListener("load", () => {{
  const out = document.createElement("pre");
  out.id = "layouts";
  out.textContent = JSON.stringify([...document.querySelectorAll("iframe")]
                                   .map((frame) => frame.contentWindow.layout || null));
  document.body.append(out);
}});
</script>
</body></html>
"""

# The start-up that works in a container as root, without a desktop session or a network.
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update",
                  "--disable-sync", "--allow-file-access-from-files"]


def page(doctype, markup):
    return (doctype + '<html><head><meta charset="utf-8"></head><body>\r\n' + markup + MEASURE
            + "</body></html>\r\n")


def typeset(chromium, workdir, markups, timeout):
    """The layouts of each named markup (UTF-8 bytes as copied) in each mode:
    {(name, mode): layout}. The frames' documents are read through --allow-file-access-from-files,
    which lets pages from files reach one another."""
    site = os.path.join(workdir, "site")
    os.makedirs(site, exist_ok=True)
    with open(os.path.join(site, "fracline.gif"), "wb") as f:
        f.write(BLACK_GIF)
    keys, frames = [], []
    for name, markup in markups.items():
        for mode, doctype in DOCTYPES.items():
            file = f"{name}-{mode.replace(' ', '-')}.html"
            with open(os.path.join(site, file), "w", encoding="utf-8", newline="") as f:
                f.write(page(doctype, markup.decode("utf-8")))
            keys.append((name, mode))
            frames.append(f'<iframe src="{file}" style="width:600px;height:160px"></iframe>')
    with open(os.path.join(site, "index.html"), "w", encoding="utf-8") as f:
        f.write(INDEX.format(frames="\n".join(frames)))

    home = os.path.join(workdir, "chromium-home")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home)
    done = subprocess.run(
        [chromium, *CHROMIUM_FLAGS, "--user-data-dir=" + os.path.join(workdir, "chromium-profile"),
         "--dump-dom", "file://" + os.path.join(site, "index.html")],
        env=env, stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
    found = re.search(rb'<pre id="layouts">(.*?)</pre>', done.stdout, re.S)
    if not found:
        raise RuntimeError("Chromium gave no layouts: "
                           + done.stderr.decode("utf-8", "replace").strip()[-2000:])
    return dict(zip(keys, json.loads(html.unescape(found.group(1).decode("utf-8")))))


def not_measured(layout, mode):
    """Why a layout cannot be judged: no measurement, the wrong mode, an image not loaded."""
    if layout is None:
        return "the page measured nothing"
    if layout["compatMode"] != COMPAT_MODE[mode]:
        return f"the page is in {layout['compatMode']} mode"
    if not all(bar["loaded"] for bar in layout["bars"]):
        return "the line image did not load"
    return None


def faults(layout):
    """What is wrong with a measured layout: the image row one pixel high, each bar as wide as its
    column, numerators above and denominators below the bars, plain entries centred on them."""
    found = []
    if layout["rowHeight"] != 1:
        found.append(f"the image row is {layout['rowHeight']:g} pixels high")
    for k, bar in enumerate(layout["bars"]):
        if (bar["left"], bar["width"]) != (bar["columnLeft"], bar["columnWidth"]):
            found.append(f"bar {k} spans {bar['left']:g}+{bar['width']:g}, its column "
                         f"{bar['columnLeft']:g}+{bar['columnWidth']:g}")
        if bar["numeratorBottom"] > bar["top"] or bar["denominatorTop"] < bar["bottom"]:
            found.append(f"bar {k} at {bar['top']:g} is not between its numerator and denominator")
    for k, centre in enumerate(layout["plains"]):
        offset = plain_offset(layout, centre)
        if abs(offset) > 1:
            found.append(f"plain entry {k} is centred {offset:+g} pixels off the bars")
    return found


def table(layouts):
    """The measurements that tell the modes apart, one line a page."""
    lines = [f"{'markup':8}{'mode':18}{'image row':>10}{'bar offset':>11}  plain offsets"]
    for (name, mode), layout in layouts.items():
        if layout:
            plains = " ".join(f"{plain_offset(layout, c):+g}" for c in layout["plains"])
            lines.append(f"{name:8}{mode:18}{layout['rowHeight']:>10g}"
                         f"{bar_offset(layout):>11g}  {plains}")
    return "\n".join(lines)


def bar_offset(layout):
    """How far below the top of the image row the bars lie."""
    return layout["bars"][0]["top"] - layout["rowTop"]


def plain_offset(layout, centre):
    """Vertical centre of a plain entry against the bars' centre line; negative is above."""
    bar = layout["bars"][0]
    return centre - (bar["top"] + bar["bottom"]) / 2


def find_chromium():
    """Chromium's path; None where it cannot be installed, "" where it can but is not."""
    path = shutil.which("chromium")
    if path:
        return path
    if shutil.which("apt-cache") is None:
        return None
    policy = subprocess.run(["apt-cache", "policy", "chromium"], capture_output=True, text=True)
    candidate = re.search(r"Candidate: (\S+)", policy.stdout)
    return "" if candidate and candidate.group(1) != "(none)" else None
