#!/usr/bin/env python3
"""Installs the build and checks that a desktop finds and starts the program.

    check_install.py BUILD_DIR E2E_DRIVER              the cmake --install tree, in a scratch prefix
    check_install.py --package BUILD_DIR E2E_DRIVER    the Debian package that cpack makes

The menu entry must pass desktop-file-validate without a word, its Exec must name the installed
program, its Icon must resolve in the hicolor theme at 16, 32, 64 and 128 pixels and scalable, the
AppStream metadata that software centres read must pass appstreamcli validate, the line image
must be a 1 x 1 GIF, and the program started from Exec must show its window. The package must
besides pass lintian with no error or warning, hold the Japanese manual page, depend on the
package of every library its binary links and on what the program loads at run time, and carry a
binary built with the stack protector, and linked with bind-now and built with control-flow
protection where dpkg-buildflags, asked as the build asks it, hardens with them.
Exit status 77: no Xvfb, or for the package no lintian, so those steps were skipped.
"""

import configparser
import os
import re
import shlex
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

SKIPPED = 77


def fail(message):
    print("FAIL   " + message)
    sys.exit(1)


def png_size(path):
    header = path.read_bytes()[:24]
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        fail(f"{path} is not a PNG")
    return struct.unpack(">II", header[16:24])


def check_tree(prefix, driver):
    """Checks the menu entry, icons and program installed under prefix, and starts the program."""
    desktop = prefix / "share/applications/pemvaro.desktop"
    if not desktop.is_file():
        fail("no menu entry installed")
    valid = subprocess.run(["desktop-file-validate", str(desktop)], capture_output=True, text=True)
    if valid.returncode != 0 or valid.stdout.strip() or valid.stderr.strip():
        fail("desktop-file-validate on the menu entry:\n" + valid.stdout + valid.stderr)

    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(desktop, encoding="utf-8")
    group = entry["Desktop Entry"]
    program = prefix / "bin" / shlex.split(group["Exec"])[0]
    if not program.is_file():
        fail(f"Exec names {program.name}, which is not installed in bin/")
    for size in (16, 32, 64, 128):
        icon = prefix / f"share/icons/hicolor/{size}x{size}/apps/{group['Icon']}.png"
        if not icon.is_file() or png_size(icon) != (size, size):
            fail(f"no {size}x{size} PNG icon for Icon={group['Icon']}")
    if not (prefix / f"share/icons/hicolor/scalable/apps/{group['Icon']}.svg").is_file():
        fail(f"no scalable icon for Icon={group['Icon']}")
    # The line image the README tells the user to put beside the page.
    image = prefix / "share/pemvaro/fracline.gif"
    header = image.read_bytes()[:10] if image.is_file() else b""
    if header[:6] != b"GIF89a" or struct.unpack("<HH", header[6:10]) != (1, 1):
        fail("no 1 x 1 GIF line image in share/pemvaro/")
    # Software centres list the program by its AppStream metadata, which names the menu entry.
    metainfo = list(prefix.glob("share/metainfo/*.metainfo.xml"))
    if len(metainfo) != 1 or f"<launchable type=\"desktop-id\">{desktop.name}<" not in \
            metainfo[0].read_text(encoding="utf-8"):
        fail("no AppStream metadata that launches " + desktop.name)
    valid = subprocess.run(["appstreamcli", "validate", "--no-net", str(metainfo[0])],
                           capture_output=True, text=True)
    if valid.returncode != 0:
        fail("appstreamcli validate on the metadata:\n" + valid.stdout + valid.stderr)

    started = subprocess.run([sys.executable, driver, "--program", str(program),
                              "startup_window"])
    return started.returncode


def debian_flags(kind):
    """The flags of a kind that dpkg-buildflags gives, asked as packaging/hardening.cmake asks."""
    options = ("hardening=+all " + os.environ.get("DEB_BUILD_MAINT_OPTIONS", "")).strip()
    return subprocess.run(["dpkg-buildflags", "--get", kind], capture_output=True, text=True,
                          env=dict(os.environ, DEB_BUILD_MAINT_OPTIONS=options)).stdout.split()


def check_hardening(program):
    # lintian itself warns of a binary without PIE or RELRO; bind-now and the stack protector it
    # reports only as information.
    dynamic = subprocess.run(["readelf", "-dW", str(program)], capture_output=True, text=True,
                             check=True).stdout
    if "-Wl,-z,now" in debian_flags("LDFLAGS") and "BIND_NOW" not in dynamic:
        fail(f"{program.name} is not linked with -z now")
    symbols = subprocess.run(["readelf", "--dyn-syms", "-W", str(program)], capture_output=True,
                             text=True, check=True).stdout
    if "__stack_chk_fail" not in symbols:
        fail(f"{program.name} is not built with the stack protector")


def check_control_flow_protection(program):
    # The linker marks a program as protected only if every object, the C library's start files
    # included, is; Debian's are not. The compiled code shows it: each function begins with endbr64.
    if "-fcf-protection" in debian_flags("CXXFLAGS"):
        main = subprocess.run(["objdump", "-d", "--disassemble=main", str(program)],
                              capture_output=True, text=True, check=True).stdout
        if "<main>:" not in main or "endbr64" not in main.split("<main>:")[1].splitlines()[1]:
            fail(f"{program.name} is not built with -fcf-protection, as dpkg-buildflags says")


def check_depends(package, program):
    """Every library the program links comes with a package it depends on; so do the platform
    plugins, the font and the catalogue, which it loads at run time."""
    field = subprocess.run(["dpkg-deb", "-f", str(package), "Depends"], capture_output=True,
                           text=True, check=True).stdout
    depends = {alternative.split()[0] for item in field.split(",") for alternative in item.split("|")}
    for loaded in ("qt6-qpa-plugins", "fonts-ipafont-gothic", "qt6-translations-l10n"):
        if loaded not in depends:
            fail(f"the package does not depend on {loaded}")
    dynamic = subprocess.run(["readelf", "-dW", str(program)], capture_output=True, text=True,
                             check=True).stdout
    for library in re.findall(r"\(NEEDED\)\s+Shared library: \[(.+)\]", dynamic):
        found = subprocess.run(["dpkg", "-S", "*/" + library], capture_output=True, text=True).stdout
        owners = {owner.split(":")[0].strip() for line in found.splitlines()
                  for owner in line.split(": ")[0].split(",")}
        if not owners & depends:
            fail(f"the package depends on none of {sorted(owners)}, which hold {library}")


def check_install(build_dir, driver):
    with tempfile.TemporaryDirectory(prefix="pemvaro-install-") as scratch:
        prefix = Path(scratch)
        subprocess.run(["cmake", "--install", build_dir, "--prefix", str(prefix)], check=True,
                       stdout=subprocess.DEVNULL)
        return check_tree(prefix, driver)


def check_package(build_dir, driver):
    if not shutil.which("lintian"):
        print("SKIP   lintian is not installed")
        return SKIPPED
    with tempfile.TemporaryDirectory(prefix="pemvaro-package-") as scratch:
        scratch = Path(scratch)
        subprocess.run(["cpack", "-G", "DEB", "--config", str(Path(build_dir, "CPackConfig.cmake")),
                        "-B", str(scratch)], check=True, stdout=subprocess.DEVNULL)
        packages = list(scratch.glob("pemvaro_*.deb"))
        if len(packages) != 1:
            fail(f"cpack made {len(packages)} packages")
        # Debian's default profile; informational tags are shown but pass.
        lint = subprocess.run(["lintian", "--profile", "debian", "--display-info",
                               "--fail-on", "error,warning", str(packages[0])],
                              capture_output=True, text=True)
        print(lint.stdout, end="")
        if lint.returncode != 0:
            fail("lintian reports errors or warnings:\n" + lint.stderr)

        root = scratch / "root"
        subprocess.run(["dpkg-deb", "-x", str(packages[0]), str(root)], check=True)
        if not (root / "usr/share/man/ja/man1/pemvaro.1.gz").is_file():
            fail("no Japanese manual page in the package")
        check_hardening(root / "usr/bin/pemvaro")
        # The package's copy is stripped: the build's still names its functions.
        check_control_flow_protection(Path(build_dir, "pemvaro"))
        check_depends(packages[0], root / "usr/bin/pemvaro")
        return check_tree(root / "usr", driver)


if __name__ == "__main__":
    arguments = sys.argv[1:]
    package = arguments[:1] == ["--package"]
    if package:
        arguments = arguments[1:]
    if len(arguments) != 2:
        sys.exit(__doc__)
    sys.exit((check_package if package else check_install)(*arguments))
