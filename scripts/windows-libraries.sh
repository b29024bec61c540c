#!/usr/bin/env bash
# Builds the libraries that Pemvaro for Windows links, once, from Debian 13's own sources with
# Debian's MinGW-w64: a static Qt of the modules the program needs (qt6-base) and Gumbo
# (gumbo-parser), into /opt/pemvaro/windows (PEMVARO_WINDOWS_LIBRARIES to move it). Run in
# Debian 13 ("trixie"), as root; on Debian 12 `scripts/debian-root.sh trixie
# scripts/windows-libraries.sh` runs it in the Debian 13 root, where it stays for later runs. Qt
# takes about 40 minutes of processor time and 2.6 GB of build tree (removed afterwards; a build
# that was stopped goes on where it was), some 110 MB installed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
prefix=${PEMVARO_WINDOWS_LIBRARIES:-/opt/pemvaro/windows}
[ -e "$prefix/.built" ] && { echo "Windows libraries in $prefix"; exit 0; }

. /etc/os-release
[ "${VERSION_CODENAME:-}" = trixie ] ||
    { echo "The Windows libraries are built in Debian 13: scripts/debian-root.sh trixie $0" >&2; exit 2; }
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

# A build that was stopped goes on where it was.
work=/var/tmp/pemvaro-windows-qt
mkdir -p "$work"
cd "$work"
source=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
if [ -z "$source" ] || [ ! -e build/build.ninja ]; then
    rm -rf "$work"/*
    apt-get source -qq qt6-base >/dev/null
    source=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
fi

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

# Gumbo's C files, as its own build compiles them, into a static library with its pkg-config file.
gumbo=$work/gumbo
mkdir -p "$gumbo"
(cd "$gumbo" && apt-get source -qq gumbo-parser >/dev/null)
gumbo_source=$(find "$gumbo" -maxdepth 1 -type d -name 'gumbo-parser-*' | head -n 1)/src
for c in "$gumbo_source"/*.c; do
    x86_64-w64-mingw32-gcc-posix -std=c99 -O2 -c "$c" -I"$gumbo_source" -o "$gumbo/$(basename "$c" .c).o"
done
mkdir -p "$prefix/lib/pkgconfig" "$prefix/include"
x86_64-w64-mingw32-ar rcs "$prefix/lib/libgumbo.a" "$gumbo"/*.o
cp "$gumbo_source/gumbo.h" "$gumbo_source/tag_enum.h" "$prefix/include/"
version=$(dpkg-parsechangelog -l "$gumbo_source/../debian/changelog" -S Version | sed 's/+.*//')
cat >"$prefix/lib/pkgconfig/gumbo.pc" <<PC
prefix=$prefix
Name: gumbo
Description: Google's HTML5 parser, built for Windows
Version: $version
Libs: -L\${prefix}/lib -lgumbo
Cflags: -I\${prefix}/include
PC

touch "$prefix/.built"
cd /
rm -rf "$work"
echo "Windows libraries in $prefix"
