#!/usr/bin/env python3
"""Installs the build into a scratch prefix and checks that a desktop finds and starts the program.

    check_install.py BUILD_DIR E2E_DRIVER

The menu entry must be valid, its Exec must name the installed program, its Icon must resolve in
the hicolor theme at 16 and 32 pixels, and the program started from Exec must show its window.
Exit status 77: no Xvfb, so the last step was skipped.
"""

import configparser
import shlex
import struct
import subprocess
import sys
import tempfile
from pathlib import Path


def fail(message):
    print("FAIL   " + message)
    sys.exit(1)


def png_size(path):
    header = path.read_bytes()[:24]
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        fail(f"{path} is not a PNG")
    return struct.unpack(">II", header[16:24])


def main(build_dir, driver):
    with tempfile.TemporaryDirectory(prefix="pemvaro-install-") as scratch:
        prefix = Path(scratch)
        subprocess.run(["cmake", "--install", build_dir, "--prefix", str(prefix)], check=True,
                       stdout=subprocess.DEVNULL)
        desktop = prefix / "share/applications/pemvaro.desktop"
        if not desktop.is_file():
            fail("no menu entry installed")
        valid = subprocess.run(["desktop-file-validate", str(desktop)], capture_output=True,
                               text=True)
        errors = [line for line in valid.stdout.splitlines() if "error:" in line]
        if valid.returncode != 0 or errors:
            fail("invalid menu entry:\n" + valid.stdout + valid.stderr)

        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(desktop, encoding="utf-8")
        group = entry["Desktop Entry"]
        program = prefix / "bin" / shlex.split(group["Exec"])[0]
        if not program.is_file():
            fail(f"Exec names {program.name}, which is not installed in bin/")
        for size in (16, 32):
            icon = prefix / f"share/icons/hicolor/{size}x{size}/apps/{group['Icon']}.png"
            if not icon.is_file() or png_size(icon) != (size, size):
                fail(f"no {size}x{size} PNG icon for Icon={group['Icon']}")

        started = subprocess.run([sys.executable, driver, "--program", str(program),
                                  "startup_window"])
        return started.returncode


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
