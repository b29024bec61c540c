#!/usr/bin/env bash
# Builds the Qt that Pemvaro for Windows links, once: Debian 13's own qt6-base source, cross-built
# with Debian's MinGW-w64 as a static Qt of the modules the program needs, into
# /opt/pemvaro/windows-qt (PEMVARO_WINDOWS_QT to move it). Run in Debian 13 ("trixie"), as root; on
# Debian 12 `scripts/debian-root.sh trixie scripts/windows-qt.sh` runs it in the Debian 13 root,
# where it stays for later runs. About 40 minutes of processor time, 2.6 GB of build tree (removed
# afterwards), some 110 MB installed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
prefix=${PEMVARO_WINDOWS_QT:-/opt/pemvaro/windows-qt}
[ -e "$prefix/.built" ] && { echo "Windows Qt in $prefix"; exit 0; }

. /etc/os-release
[ "${VERSION_CODENAME:-}" = trixie ] ||
    { echo "The Windows Qt is built in Debian 13: scripts/debian-root.sh trixie $0" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "Run as root, to install the compilers: sudo $0" >&2; exit 1; }

# The source of the Qt this release ships, and the host Qt of the same version for its tools.
if ! grep -qs '^deb-src .* trixie ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list; then
    sed -n 's/^deb \(.* trixie .*\)/deb-src \1/p' /etc/apt/sources.list \
        >/etc/apt/sources.list.d/pemvaro-sources.list
fi
apt-get -o DPkg::Lock::Timeout=600 update -qq
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
    --no-install-recommends g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake ninja-build \
    dpkg-dev qt6-base-dev qt6-base-dev-tools

work=/var/tmp/pemvaro-windows-qt
rm -rf "$work"
mkdir -p "$work"
cd "$work"
apt-get source -qq qt6-base >/dev/null
source=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)

# Static, so that pemvaro.exe needs only Windows' own libraries. OpenGL off as an input (turning
# the feature off leaves dynamic GL on, which the windows plugin then fails to build); Direct2D
# kept, which the font database needs, but not its 1.1 interface; no tablet events (the source has
# no wintab header); none of the modules the program does not use. The offscreen platform, for
# the tests under Wine, draws text with the bundled FreeType.
cmake -S "$source" -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/packaging/windows/mingw-toolchain.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_opengl=no -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_freetype=ON -DFEATURE_fontconfig=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_sql_sqlite=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF
cmake --build build --parallel "$(nproc)"
cmake --install build
touch "$prefix/.built"
cd /
rm -rf "$work"
echo "Windows Qt in $prefix"
