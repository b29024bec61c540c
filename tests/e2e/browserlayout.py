"""Typesets copied markup in headless browsers and measures the layout from a script in the page.

Each markup is pasted into one page per layout mode, beside a 1 x 1 black GIF as the line image;
the pages load side by side in frames of one index page, so each browser starts once. The pages
are served on the loopback interface, and the index page sends the measurements back there:
nothing reaches the network. A markup is either a table of the program's or MathML.
"""

import html
import http.server
import json
import os
import re
import shutil
import subprocess
import threading

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

# Runs in each page once it has loaded, images included. A table: the k-th image belongs to the
# k-th numerator cell (rowspan 1) of the first row and to the k-th cell of the third. MathML: each
# mfrac's two children, and the other children of the formula as plain entries; the fraction line
# lies in the gap between a numerator and its denominator.
MEASURE = """<script>
addEventListener("load", () => {
  const edges = (r) => ({left: r.left, right: r.right, top: r.top, bottom: r.bottom});
  const box = (element) => edges(element.getBoundingClientRect());
  const textBox = (node) => {
    const range = document.createRange();
    range.selectNodeContents(node);
    return edges(range.getBoundingClientRect());
  };
  const centre = (b) => (b.top + b.bottom) / 2;
  const math = document.querySelector("math");
  if (math) {
    const items = [...math.children];
    const fractions = items.filter((item) => item.localName == "mfrac").map((frac) => {
      const [numerator, denominator] = [...frac.children].map(box);
      return {numerator, denominator};
    });
    const plains = items.filter((item) => item.localName != "mfrac")
                   .map((item) => centre(box(item)));
    window.layout = {kind: "math", compatMode: document.compatMode, fractions, plains,
                     order: items.map(box)};
    return;
  }
  const rows = document.querySelector("table").rows;
  const numerators = [...rows[0].cells].filter((cell) => cell.rowSpan == 1);
  const bars = [...rows[1].querySelectorAll("img")].map((img, k) => {
    const bar = img.getBoundingClientRect(), column = numerators[k].getBoundingClientRect();
    return {loaded: img.complete && img.naturalWidth == 1, left: bar.left, width: bar.width,
            top: bar.top, bottom: bar.bottom, columnLeft: column.left, columnWidth: column.width,
            numeratorBottom: textBox(numerators[k]).bottom,
            denominatorTop: textBox(rows[2].cells[k]).top};
  });
  const plains = [...rows[0].cells].filter((cell) => cell.rowSpan == 3)
                 .map((cell) => centre(textBox(cell)));
  const row = rows[1].getBoundingClientRect();
  window.layout = {kind: "table", compatMode: document.compatMode, rowTop: row.top,
                   rowHeight: row.height, bars, plains};
});
</script>
"""

INDEX = """<!DOCTYPE html>
<html><head><meta charset="utf-8"></head><body>
{frames}
<script>
addEventListener("load", () => {{
  fetch("/layouts", {{method: "POST", body: JSON.stringify(
    [...document.querySelectorAll("iframe")].map((frame) => frame.contentWindow.layout || null))}});
}});
</script>
</body></html>
"""

# Start-ups that work in a container as root, without a desktop session or a network.
CHROMIUM_FLAGS = ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update",
                  "--disable-sync"]
FIREFOX_PREFS = {
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.aboutwelcome.enabled": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "app.normandy.enabled": False,
    "extensions.update.enabled": False,
    "browser.safebrowsing.update.enabled": False,
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
}

# Each browser: its Debian package, its command, and its command line for one page.
BROWSERS = {"Chromium": ("chromium", "chromium"), "Firefox": ("firefox-esr", "firefox-esr")}


def browser_command(name, path, workdir, url):
    profile = os.path.join(workdir, name.lower() + "-profile")
    os.makedirs(profile, exist_ok=True)
    if name == "Chromium":
        return [path, "--headless", *CHROMIUM_FLAGS, "--user-data-dir=" + profile, url]
    with open(os.path.join(profile, "user.js"), "w") as f:
        for pref, value in FIREFOX_PREFS.items():
            f.write(f"user_pref({json.dumps(pref)}, {json.dumps(value)});\n")
    return [path, "--headless", "--no-remote", "--profile", profile, url]


def page(doctype, markup):
    return (doctype + '<html><head><meta charset="utf-8"></head><body>\r\n' + markup + MEASURE
            + "</body></html>\r\n")


class _Site(http.server.SimpleHTTPRequestHandler):
    """Serves the pages and takes the measurements that the index page posts."""

    def do_POST(self):
        body = self.rfile.read(int(self.headers["Content-Length"]))
        self.send_response(204)
        self.end_headers()
        self.server.layouts = body
        self.server.posted.set()

    def log_message(self, *args):
        pass


def typeset(browser, workdir, markups, timeout, line_image=BLACK_GIF):
    """The layouts of each named markup (UTF-8 bytes as copied) in each mode, typeset by the named
    browser (a key of BROWSERS) found at a path, beside the line image: {(name, mode): layout}."""
    site = os.path.join(workdir, "site")
    os.makedirs(site, exist_ok=True)
    with open(os.path.join(site, "fracline.gif"), "wb") as f:
        f.write(line_image)
    keys, frames = [], []
    for markup_name, markup in markups.items():
        for mode, doctype in DOCTYPES.items():
            file = f"{markup_name}-{mode}.html".replace(" ", "-")
            with open(os.path.join(site, file), "w", encoding="utf-8", newline="") as f:
                f.write(page(doctype, markup.decode("utf-8")))
            keys.append((markup_name, mode))
            frames.append(f'<iframe src="{file}" style="width:600px;height:160px"></iframe>')
    with open(os.path.join(site, "index.html"), "w", encoding="utf-8") as f:
        f.write(INDEX.format(frames="\n".join(frames)))

    return dict(zip(keys, load(browser, workdir, site, timeout)))


def load(browser, workdir, site, timeout):
    """What index.html of the site, loaded by the named browser found at a path, posts back to
    /layouts, read as JSON."""
    name, path = browser
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), lambda *args: _Site(*args, directory=site))
    server.posted, server.layouts = threading.Event(), None
    threading.Thread(target=server.serve_forever, daemon=True).start()
    home = os.path.join(workdir, name.lower() + "-home")
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home)
    url = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    with open(os.path.join(workdir, name.lower() + ".log"), "wb") as log:
        process = subprocess.Popen(browser_command(name, path, workdir, url), env=env,
                                   stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        try:
            posted = server.posted.wait(timeout)
        finally:
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
            server.shutdown()
            server.server_close()
    if not posted:
        with open(os.path.join(workdir, name.lower() + ".log"), "rb") as log:
            said = log.read().decode("utf-8", "replace").strip()[-2000:]
        raise RuntimeError(f"{name} gave no layouts within {timeout} s: {said}")
    return json.loads(server.layouts)


def not_measured(layout, mode):
    """Why a layout cannot be judged: no measurement, the wrong mode, an image not loaded."""
    if layout is None:
        return "the page measured nothing"
    if layout["compatMode"] != COMPAT_MODE[mode]:
        return f"the page is in {layout['compatMode']} mode"
    if layout["kind"] == "table" and not all(bar["loaded"] for bar in layout["bars"]):
        return "the line image did not load"
    return None


def faults(layout):
    """What is wrong with a measured layout. A table: the image row one pixel high, each bar as
    wide as its column, numerators above and denominators below the bars, plain entries centred
    on them. MathML: each numerator above its denominator, centred on it, the entries in order
    from left to right, plain entries centred on the fraction lines."""
    found = []
    if layout["kind"] == "math":
        for k, frac in enumerate(layout["fractions"]):
            numerator, denominator = frac["numerator"], frac["denominator"]
            if numerator["bottom"] >= denominator["top"]:
                found.append(f"fraction {k}: the numerator (bottom {numerator['bottom']:g}) is "
                             f"not above the denominator (top {denominator['top']:g})")
            off = (numerator["left"] + numerator["right"] - denominator["left"]
                   - denominator["right"]) / 2
            if abs(off) > 1:
                found.append(f"fraction {k}: the numerator is {off:+g} pixels off the "
                             "denominator's centre")
        for k, (before, after) in enumerate(zip(layout["order"], layout["order"][1:])):
            if after["left"] < before["right"] - 0.5:
                found.append(f"entry {k + 1} starts at {after['left']:g}, left of the end of "
                             f"entry {k} at {before['right']:g}")
    else:
        if layout["rowHeight"] != 1:
            found.append(f"the image row is {layout['rowHeight']:g} pixels high")
        for k, bar in enumerate(layout["bars"]):
            if (bar["left"], bar["width"]) != (bar["columnLeft"], bar["columnWidth"]):
                found.append(f"bar {k} spans {bar['left']:g}+{bar['width']:g}, its column "
                             f"{bar['columnLeft']:g}+{bar['columnWidth']:g}")
            if bar["numeratorBottom"] > bar["top"] or bar["denominatorTop"] < bar["bottom"]:
                found.append(f"bar {k} at {bar['top']:g} is not between its numerator and "
                             "denominator")
    for k, centre in enumerate(layout["plains"]):
        offset = plain_offset(layout, centre)
        if abs(offset) > 1:
            found.append(f"plain entry {k} is centred {offset:+g} pixels off the fraction lines")
    return found


def table(layouts):
    """The measurements that tell the modes apart, one line a page."""
    lines = [f"{'browser':9}{'markup':14}{'mode':18}{'line row':>9}{'line at':>8}  plain offsets"]
    for (browser, name, mode), layout in layouts.items():
        if layout:
            plains = " ".join(f"{plain_offset(layout, c):+g}" for c in layout["plains"])
            row = "" if layout["kind"] == "math" else f"{layout['rowHeight']:g}"
            lines.append(f"{browser:9}{name:14}{mode:18}{row:>9}{line_offset(layout):>8g}  "
                         f"{plains}")
    return "\n".join(lines)


def line_middle(layout):
    """The vertical middle of the first fraction line."""
    if layout["kind"] == "math":
        frac = layout["fractions"][0]
        return (frac["numerator"]["bottom"] + frac["denominator"]["top"]) / 2
    bar = layout["bars"][0]
    return (bar["top"] + bar["bottom"]) / 2


def line_offset(layout):
    """How far below the top of the image row the bars lie; for MathML, below the top of the
    first numerator's text."""
    if layout["kind"] == "math":
        return line_middle(layout) - layout["fractions"][0]["numerator"]["top"]
    return layout["bars"][0]["top"] - layout["rowTop"]


def plain_offset(layout, centre):
    """Vertical centre of a plain entry against the fraction lines; negative is above."""
    return centre - line_middle(layout)


def find_browser(name):
    """The named browser's path; None where it cannot be installed, "" where it can but is not."""
    return find_installable(*BROWSERS[name])


def find_installable(package, path):
    """A file of a Debian package (or a command, by name); None where the package cannot be
    installed, "" where it can but is not."""
    found = path if os.path.isabs(path) and os.path.exists(path) else shutil.which(path)
    if found:
        return found
    if shutil.which("apt-cache") is None:
        return None
    policy = subprocess.run(["apt-cache", "policy", package], capture_output=True, text=True)
    candidate = re.search(r"Candidate: (\S+)", policy.stdout)
    return "" if candidate and candidate.group(1) != "(none)" else None


# WordPress's filter of post content, as it treats what an author without the right to post
# unfiltered HTML pastes into a post.
KSES = "/usr/share/wordpress/wp-includes/kses.php"
KSES_RUNNER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wpkses.php")


def find_kses():
    """The filter's PHP file and PHP itself; None where either cannot be installed, "" where it
    can but is not."""
    kses, php = find_installable("wordpress", KSES), find_installable("php-cli", "php")
    if kses is None or php is None:
        return None
    return (kses, php) if kses and php else ""


def kses(found, markup, timeout):
    """The markup (UTF-8 bytes) as WordPress keeps it in a post."""
    kses_file, php = found
    done = subprocess.run([php, KSES_RUNNER, os.path.dirname(os.path.dirname(kses_file))],
                          input=markup, capture_output=True, timeout=timeout)
    if done.returncode != 0 or done.stderr:
        raise RuntimeError("the WordPress filter failed: "
                           + done.stderr.decode("utf-8", "replace").strip())
    return done.stdout


# A page that typesets one TeX formula with KaTeX, as Markdown sites do, with KaTeX's own
# stylesheet and fonts, and posts back the boxes of each fraction's numerator, line and
# denominator (its stack holds them bottom up, each after a strut), of the binary operators, and
# the fonts loaded.
KATEX_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><link rel="stylesheet" href="katex/katex.min.css">
<script src="katex/katex.min.js"></script></head>
<body style="font-size:20px"><div id="formula"></div>
<script>
addEventListener("load", async () => {{
  const post = (result) => fetch("/layouts", {{method: "POST", body: JSON.stringify(result)}});
  try {{
    katex.render({tex}, document.getElementById("formula"), {{displayMode: true, strict: "error"}});
  }} catch (error) {{
    return post({{error: String(error)}});
  }}
  await document.fonts.ready;
  const box = (e) => e.getBoundingClientRect().toJSON();
  const html = document.querySelector(".katex-html");
  post({{fractions: [...html.querySelectorAll(".mfrac")].map((frac) =>
           [...frac.querySelector(".vlist").children].map((p) => box(p.lastElementChild)).reverse()),
        operators: [...html.querySelectorAll(".mbin")].map(box),
        fonts: [...document.fonts].filter((f) => f.status == "loaded").map((f) => f.family)}});
}});
</script>
</body></html>
"""


def typeset_katex(browser, workdir, katex_dist, tex, timeout):
    """The layout of a TeX formula typeset by KaTeX (its package's dist folder) in the named
    browser found at a path."""
    site = os.path.join(workdir, "katex-site")
    shutil.copytree(katex_dist, os.path.join(site, "katex"))
    with open(os.path.join(site, "index.html"), "w", encoding="utf-8") as f:
        f.write(KATEX_PAGE.format(tex=json.dumps(tex)))
    return load(browser, workdir, site, timeout)


def katex_faults(layout):
    """What is wrong with two fractions around a binary operator as KaTeX typesets them: each
    numerator above its fraction line and the denominator below, the operator between the
    fractions, KaTeX's main font loaded."""
    if "error" in layout:
        return [f"KaTeX: {layout['error']}"]
    fractions, operators = layout["fractions"], layout["operators"]
    if (len(fractions), len(operators)) != (2, 1):
        return [f"{len(fractions)} fractions and {len(operators)} operators typeset"]
    found = [f"fraction {k} is not stacked: {parts}" for k, parts in enumerate(fractions)
             if parts[0]["bottom"] > parts[1]["top"] + 1 or parts[2]["top"] < parts[1]["bottom"] - 1]
    if not fractions[0][1]["right"] <= operators[0]["left"] < operators[0]["right"] <= \
            fractions[1][1]["left"]:
        found.append(f"the operator at {operators[0]} is not between the fraction lines")
    if "KaTeX_Main" not in layout["fonts"]:
        found.append(f"KaTeX's main font did not load (loaded: {layout['fonts']})")
    return found


# Each text parsed as a table cell's content (innerHTML) and read back as Chromium shows it
# (innerText), one after the other in one cell of a page.
# Each cell is read in a page of its own, under html, body, table, tbody, tr and td, where the
# depth that Chromium keeps counts as in a pasted table; a cell that would end that table cell
# itself (with table tags of its own outside a table of its own) is set through innerHTML.
SHOWN = ('<!DOCTYPE html><meta charset="utf-8"><table><tr><td id="cell"></table>%s<pre id="shown">'
         '</pre><script>window.onload = () => { const cell = document.getElementById("cell");\n'
         'const pages = document.querySelectorAll("iframe"); let page = 0;\n'
         'document.getElementById("shown").textContent = JSON.stringify(%s.map((markup) => {\n'
         '  if (markup === null) {\n'
         '    return pages[page++].contentDocument.getElementById("cell").innerText; }\n'
         '  cell.innerHTML = markup; return cell.innerText; })); };</script>')
ENDS_CELL = re.compile(r"</?(?:t[dhrbf]|caption|col|html|body)|</table", re.I)


def shown_texts(path, workdir, cells, timeout):
    """What headless Chromium at a path shows of each cell's markup."""
    page = os.path.join(workdir, "shown.html")
    with open(page, "w", encoding="utf-8") as f:
        own = [not ENDS_CELL.search(cell) for cell in cells]
        frames = "".join('<iframe srcdoc="%s"></iframe>' % html.escape(
            '<!DOCTYPE html><meta charset="utf-8"><table><tr><td id="cell">' + cell, quote=True)
            for cell, alone in zip(cells, own) if alone)
        inline = [None if alone else cell for cell, alone in zip(cells, own)]
        f.write(SHOWN % (frames, json.dumps(inline).replace("<", "\\u003c")))
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    home = os.path.join(workdir, "chromium-home")
    env.update(HOME=home, XDG_CONFIG_HOME=home, XDG_CACHE_HOME=home)
    done = subprocess.run([path, "--headless", *CHROMIUM_FLAGS, "--dump-dom", "--user-data-dir="
                           + os.path.join(workdir, "chromium-profile"), "file://" + page],
                          env=env, capture_output=True, timeout=timeout)
    shown = re.search(r'<pre id="shown">(.*?)</pre>', done.stdout.decode("utf-8", "replace"), re.S)
    if shown is None:
        raise RuntimeError("Chromium read no cells: "
                           + done.stderr.decode("utf-8", "replace")[-2000:])
    return json.loads(html.unescape(shown.group(1)))
