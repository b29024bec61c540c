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

# WordPress's themes, as Debian installs them (package wordpress-theme-NAME): a classic theme's
# stylesheet, or a block theme's with the page styles its theme.json sets.
THEMES = "/usr/share/wordpress/wp-content/themes"
# The rules by which blog themes style every image and table, at the line heights, sizes and
# colours of their pages.
THEME_RULES = ("img { height: auto; max-width: 100%; } "
               "table { width: 100%; min-width: 240px; border-collapse: collapse; } "
               "table td { padding: 8px; border: 1px solid; }")
DARK = "color: #eeeeee; background: #1e1e1e;"
# Pages in standards mode inside a theme: the theme's folder (or None) and the page's own style.
THEME_PAGES = {
    "Twenty Twenty-One": ("twentytwentyone", ""),
    "Twenty Twenty-One dark": ("twentytwentyone", f"body {{ {DARK} line-height: 2; }}"),
    "Twenty Twenty-Two": ("twentytwentytwo", ""),
    "Twenty Twenty-Three": ("twentytwentythree", ""),
    "theme rules": (None, THEME_RULES + " body { font-size: 16px; line-height: 1.8; }"),
    "theme rules large dark": (None, THEME_RULES + f" body {{ font-size: 20px; line-height: 1.5; "
                                                   f"{DARK} }}"),
    "theme rules small": (None, THEME_RULES + " body { font-size: 14px; line-height: 2; }"),
}


def theme_json_css(theme):
    """The page styles that a block theme's theme.json gives: its presets and custom values as
    WordPress names them, and the body's font, size, line height and colours."""
    with open(os.path.join(THEMES, theme, "theme.json"), encoding="utf-8") as f:
        spec = json.load(f)
    settings, styles = spec["settings"], spec["styles"]
    names = [f"--wp--preset--color--{c['slug']}: {c['color']};"
             for c in settings["color"]["palette"]]
    names += [f"--wp--preset--font-size--{c['slug']}: {c['size']};"
              for c in settings["typography"]["fontSizes"]]

    def custom(prefix, values):
        for key, value in values.items():
            name = prefix + "--" + re.sub(r"([a-z])([A-Z])", r"\1-\2", key).lower()
            custom(name, value) if isinstance(value, dict) else names.append(f"{name}: {value};")
    custom("--wp--custom", settings.get("custom", {}))
    font, colour = styles["typography"], styles["color"]
    return (f":root {{ {' '.join(names)} }} body {{ font-size: {font['fontSize']}; line-height: "
            f"{font['lineHeight']}; color: {colour['text']}; background: {colour['background']} }}")


def theme_pages():
    """The theme pages that can be made here, and the packages of the themes that are missing."""
    pages, missing = {}, set()
    for name, (theme, style) in THEME_PAGES.items():
        folder = os.path.join(THEMES, theme or "")
        if theme and not os.path.exists(os.path.join(folder, "style.css")):
            missing.add("wordpress-theme-" + theme)
        elif theme:
            block = os.path.exists(os.path.join(folder, "theme.json"))
            pages[name] = (f'<link rel="stylesheet" href="themes/{theme}/style.css"><style>'
                           f'{theme_json_css(theme) if block else ""} {style}</style>')
        else:
            pages[name] = f"<style>{style}</style>"
    return pages, sorted(missing)


# GIF89a, 1 x 1, a two-colour table (black, white), one pixel of colour 0: LZW codes clear, 0, end.
BLACK_GIF = (b"GIF89a" b"\x01\x00\x01\x00" b"\x80\x00\x00" b"\x00\x00\x00" b"\xff\xff\xff"
             b"," b"\x00\x00\x00\x00" b"\x01\x00\x01\x00" b"\x00" b"\x02\x02\x44\x01\x00" b";")

# Runs in each page once it has loaded, images included. MathML: each mfrac's two children, and
# the other children of the formula as plain entries; the fraction line lies in the gap between a
# numerator and its denominator.
MEASURE = """<script>
addEventListener("load", () => {
  const edges = (r) => ({left: r.left, right: r.right, top: r.top, bottom: r.bottom});
  const box = (element) => edges(element.getBoundingClientRect());
  const textBox = (node) => {
    const range = document.createRange();
    range.selectNodeContents(node);
    return edges(range.getBoundingClientRect());
  };
  const math = document.querySelector("math");
  if (math) {
    const items = [...math.children];
    const fractions = items.filter((item) => item.localName == "mfrac").map((frac) => {
      const [numerator, denominator] = [...frac.children].map(box);
      return {numerator, denominator};
    });
    // An entry's ink: its text, without the spacing MathML gives an operator within its box; a
    // fraction's, its numerator and denominator (its padding holds no ink).
    const ink = (item) => {
      if (item.localName != "mfrac") return textBox(item);
      const [n, d] = [...item.children].map(textBox);
      return {left: Math.min(n.left, d.left), right: Math.max(n.right, d.right)};
    };
    const plains = items.filter((item) => item.localName != "mfrac").map(box);
    window.layout = {kind: "math", compatMode: document.compatMode, fractions, plains,
                     order: items.map(ink), em: parseFloat(getComputedStyle(math).fontSize)};
    return;
  }
  // A table: every line on it, images and the cells' and the table's borders alike, each
  // fraction's numerator and denominator texts (the k-th cell of the first row with rowspan 1 and
  // the k-th of the last), and the plain entries' texts.
  const table = document.querySelector("table"), rows = table.rows;
  const lines = [], cells = [table, ...table.querySelectorAll("td, th")];
  for (const cell of cells) {
    const style = getComputedStyle(cell), r = cell.getBoundingClientRect();
    const width = (side) => ["none", "hidden"].includes(style[`border${side}Style`]) ? 0
                            : parseFloat(style[`border${side}Width`]);
    const [top, bottom, left, right] = ["Top", "Bottom", "Left", "Right"].map(width);
    if (top) lines.push({left: r.left, right: r.right, top: r.top, bottom: r.top + top});
    if (bottom) lines.push({left: r.left, right: r.right, top: r.bottom - bottom,
                            bottom: r.bottom});
    if (left) lines.push({left: r.left, right: r.left + left, top: r.top, bottom: r.bottom});
    if (right) lines.push({left: r.right - right, right: r.right, top: r.top, bottom: r.bottom});
  }
  const images = [...table.querySelectorAll("img")].map((img) => {
    lines.push(box(img));
    return {loaded: img.complete && img.naturalWidth == 1};
  });
  const numerators = [...rows[0].cells].filter((cell) => cell.rowSpan == 1).map(textBox);
  const denominators = [...rows[rows.length - 1].cells].map(textBox);
  const fractions = numerators.map((numerator, k) => ({numerator, denominator: denominators[k]}));
  const plains = [...rows[0].cells].filter((cell) => cell.rowSpan > 1).map(textBox);
  window.layout = {kind: "table", compatMode: document.compatMode, fractions, lines, images,
                   plains, em: parseFloat(getComputedStyle(table).fontSize)};
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


def page(doctype, markup, head=""):
    return (doctype + '<html><head><meta charset="utf-8">' + head + '</head><body>\r\n' + markup
            + MEASURE + "</body></html>\r\n")


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


def write_pages(site, markups, themes, line_image=BLACK_GIF):
    """Writes each named markup (UTF-8 bytes as copied) into one page per layout mode and one per
    theme page, beside the line image, in a site folder; the pages' keys and files."""
    os.makedirs(site, exist_ok=True)
    with open(os.path.join(site, "fracline.gif"), "wb") as f:
        f.write(line_image)
    if not os.path.exists(os.path.join(site, "themes")) and os.path.isdir(THEMES):
        os.symlink(THEMES, os.path.join(site, "themes"))
    pages = {mode: (doctype, "") for mode, doctype in DOCTYPES.items()}
    pages.update({name: (DOCTYPES["standards"], head) for name, head in themes.items()})
    written = {}
    for markup_name, markup in markups.items():
        for mode, (doctype, head) in pages.items():
            file = f"{markup_name}-{mode}.html".replace(" ", "-")
            with open(os.path.join(site, file), "w", encoding="utf-8", newline="") as f:
                f.write(page(doctype, markup.decode("utf-8"), head))
            written[(markup_name, mode)] = file
    return written


def typeset(browser, workdir, markups, timeout, line_image=BLACK_GIF, themes=None):
    """The layouts of each named markup (UTF-8 bytes as copied) in each mode and each theme page
    (name: what the page's head holds), typeset by the named browser (a key of BROWSERS) found at
    a path, beside the line image: {(name, mode): layout}."""
    site = os.path.join(workdir, "site")
    written = write_pages(site, markups, themes or {}, line_image)
    frames = [f'<iframe src="{file}" style="width:600px;height:160px"></iframe>'
              for file in written.values()]
    with open(os.path.join(site, "index.html"), "w", encoding="utf-8") as f:
        f.write(INDEX.format(frames="\n".join(frames)))

    return dict(zip(written, load(browser, workdir, site, timeout)))


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
    if layout["compatMode"] != COMPAT_MODE.get(mode, "CSS1Compat"):
        return f"the page is in {layout['compatMode']} mode"
    if layout["kind"] == "table" and not all(image["loaded"] for image in layout["images"]):
        return "the line image did not load"
    return None


# How close a fraction line stands to its numerator and its denominator, how much wider than the
# wider of them it may be, and how far operators stand at least from their neighbours (a thin
# space is a sixth of an em), in ems; neighbouring fractions stand apart at least by a pixel, as
# in MathML, so that their lines do not join.
LINE_GAP = 0.35
LINE_OVERHANG = 0.3
APART = 0.15


def fraction_lines(layout):
    """The lines of each fraction of a table: those across its texts, between their tops and
    bottoms; and the lines that belong to none."""
    lines, found = list(layout["lines"]), []
    for frac in layout["fractions"]:
        n, d = frac["numerator"], frac["denominator"]
        mine = [line for line in lines
                if line["right"] > min(n["left"], d["left"]) and line["left"] < max(n["right"],
                                                                                     d["right"])
                and line["top"] >= n["top"] and line["bottom"] <= d["bottom"]]
        lines = [line for line in lines if line not in mine]
        found.append(mine)
    return found, lines


def faults(layout, spaced=True):
    """What is wrong with a measured layout. Each fraction: its numerator above its denominator,
    centred on it (MathML), or one line between them, close to both, at most 2 pixels high and as
    wide as the wider of them, and no line elsewhere on the table (a table). Plain entries centred
    on the fraction lines, entries in order from left to right; in a table, where `spaced`,
    operators a thin space apart from their neighbours and fractions apart (MathML's spacing is
    the browser's own, which these follow)."""
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
        order = layout["order"]
    else:
        em, (per_fraction, stray) = layout["em"], fraction_lines(layout)
        order = [{**plain, "plain": True} for plain in layout["plains"]]
        for k, (frac, lines) in enumerate(zip(layout["fractions"], per_fraction)):
            n, d = frac["numerator"], frac["denominator"]
            if len(lines) != 1:
                found.append(f"fraction {k} has {len(lines)} lines")
                continue
            line, widest = lines[0], max(n["right"] - n["left"], d["right"] - d["left"])
            order.append({"left": min(n["left"], d["left"], line["left"]),
                          "right": max(n["right"], d["right"], line["right"])})
            width, height = line["right"] - line["left"], line["bottom"] - line["top"]
            gaps = (line["top"] - n["bottom"], d["top"] - line["bottom"])
            if height > 2 or not all(-0.5 <= gap <= LINE_GAP * em for gap in gaps) or \
                    not widest - 1 <= width <= widest + LINE_OVERHANG * em + 1:
                found.append(f"fraction {k}: its line is {width:g} x {height:g} pixels, "
                             f"{gaps[0]:g} below its numerator, {gaps[1]:g} above its "
                             f"denominator, its texts {widest:g} wide")
        found += [f"a line where none should be: {line}" for line in stray[:4]]
        order.sort(key=lambda item: item["left"])
    for k, (before, after) in enumerate(zip(order, order[1:])):
        plain = before.get("plain") or after.get("plain")
        gap = (APART * layout["em"] if plain else 1) if spaced and layout["kind"] == "table" \
            else -0.5
        if after["left"] - before["right"] < gap:
            found.append(f"entry {k + 1} starts at {after['left']:g}, "
                         f"{after['left'] - before['right']:+g} pixels from the end of entry {k}")
    for k, plain in enumerate(layout["plains"]):
        offset = plain_offset(layout, plain)
        if offset is not None and abs(offset) > 1:
            found.append(f"plain entry {k} is centred {offset:+g} pixels off the fraction lines")
    return found


def table(layouts):
    """The measurements that tell the pages apart, one line a page."""
    lines = [f"{'browser':9}{'markup':14}{'page':24}{'line at':>8}  plain offsets"]
    for (browser, name, mode), layout in layouts.items():
        if layout:
            plains = " ".join(f"{plain_offset(layout, p) or 0:+g}" for p in layout["plains"])
            at = line_offset(layout)
            lines.append(f"{browser:9}{name:14}{mode:24}{'—' if at is None else f'{at:g}':>8}  "
                         f"{plains}")
    return "\n".join(lines)


def first_line(layout):
    """The first fraction's numerator and the top and bottom of its line; None without one."""
    frac = layout["fractions"][0]
    if layout["kind"] == "math":
        return frac["numerator"], frac["numerator"]["bottom"], frac["denominator"]["top"]
    lines = fraction_lines(layout)[0][0]
    return (frac["numerator"], lines[0]["top"], lines[0]["bottom"]) if len(lines) == 1 else None


def line_offset(layout):
    """How far below the top of the first numerator's text its fraction line lies."""
    first = first_line(layout)
    return None if first is None else (first[1] + first[2]) / 2 - first[0]["top"]


def plain_offset(layout, plain):
    """Vertical centre of a plain entry against the first fraction line; negative is above."""
    first = first_line(layout)
    return None if first is None else (plain["top"] + plain["bottom"] - first[1] - first[2]) / 2


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
