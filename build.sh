#!/usr/bin/env bash
# Sets up a Debian 12 or Debian 13 machine for Pemvaro, builds it, and then runs the program or its tests.
#   ./build.sh run     build and start the program (installs only what that needs)
#   ./build.sh test    build (warnings as errors) and run the whole test suite, then again
#                      built with AddressSanitizer and UndefinedBehaviorSanitizer
#   ./build.sh asan    only the sanitizer run of the test suite (preset "asan", build-asan/)
#   ./build.sh bench   build and run the benchmarks
# test, asan and bench install the packages of the tests and benchmarks besides.
set -euo pipefail
cd "$(dirname "$0")"

# Names that exist in Debian 12 and Debian 13 alike, but where said.
# What building and running the program need: the compiler and CMake, Qt, libxcb and the HTML
# parser (both found through pkgconf), Debian's build flags and dpkg-shlibdeps (dpkg-dev, file) for
# the hardening and the package, and what the program loads at run time (the font, Qt's Japanese
# catalogue).
run_packages=(cmake g++ make pkgconf qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
              libgumbo-dev dpkg-dev file fonts-ipafont-gothic qt6-translations-l10n)
# What the tests, the sanitizer run and the benchmarks need besides (Xlib: the start-up benchmark's
# probe; Orca with speech-dispatcher and a window manager: the case that listens to the window;
# WordPress's default themes: the pages the markup is typeset in).
test_packages=(libbenchmark-dev libx11-dev xvfb xauth xdotool xclip x11-utils imagemagick
               desktop-file-utils lintian appstream lcov clang libclang-rt-dev bc
               python3 chromium firefox-esr fonts-dejavu-extra wordpress php-cli
               qt6-gtk-platformtheme qt6ct dbus-x11 at-spi2-core python3-pyatspi
               qt6-wayland sway wl-clipboard grim cmark-gfm
               orca speech-dispatcher python3-speechd openbox locales)
# WordPress's default themes as each release ships them: Debian 13 keeps only the newest.
test_packages+=(wordpress-theme-twentytwentythree)
if [ "$(. /etc/os-release && echo "${VERSION_CODENAME:-}")" = bookworm ]; then
    test_packages+=(wordpress-theme-twentytwentyone wordpress-theme-twentytwentytwo)
fi
# The TeX engines' test runs under Node with npm. A Node.js that brings its own npm (as NodeSource's
# does) conflicts with Debian's npm package: use the npm that is there.
command -v npm >/dev/null || test_packages+=(nodejs npm)

# Installs what of the named packages is missing.
install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        # Another installer may hold the package database for a while: wait for it.
        apt-get -o DPkg::Lock::Timeout=600 update -qq
        DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
            --no-install-recommends "${missing[@]}"
    else
        echo "Missing packages. Install them with:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
}

configure_and_build() {
    local dir=$1 werror=$2
    shift 2
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DPEMVARO_WERROR="$werror" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

run_sanitized_tests() {
    cmake --preset asan -DPEMVARO_FETCH_TEX_ENGINES=ON >/dev/null
    cmake --build --preset asan -j "$(nproc)"
    ctest --preset asan
}

case "${1:-}" in
run)
    install_missing "${run_packages[@]}"
    # The program alone: the tests are built by the test command, in build-test/.
    configure_and_build build OFF -DBUILD_TESTING=OFF
    # Without a display the program says so itself, with how to run it under Xvfb; add the way
    # over VNC to its words.
    said=$(mktemp)
    trap 'rm -f "$said"' EXIT
    status=0
    { ./build/pemvaro 2>&1 >&3 3>&- | tee "$said" >&2; } 3>&1 || status=$?
    if [ "$status" -eq 1 ] && grep -q '^Pemvaro needs a graphical display' "$said"; then
        echo "Or over VNC: 'QT_QPA_PLATFORM=vnc:addr=127.0.0.1 ./build/pemvaro' and a viewer on 127.0.0.1:5900." >&2
    fi
    exit "$status"
    ;;
test)
    install_missing "${run_packages[@]}" "${test_packages[@]}"
    # The build fetches the TeX engines from the npm registry; the tests then need no network.
    configure_and_build build-test ON -DPEMVARO_FETCH_TEX_ENGINES=ON
    # Each test has its own timeout; this one only catches a test added without it.
    ctest --test-dir build-test --output-on-failure --timeout 900
    run_sanitized_tests
    ;;
asan)
    install_missing "${run_packages[@]}" "${test_packages[@]}"
    run_sanitized_tests
    ;;
bench)
    install_missing "${run_packages[@]}" "${test_packages[@]}"
    configure_and_build build OFF -DPEMVARO_BENCHMARKS=ON
    for b in build/bench/bench_*; do "$b"; done
    ;;
*)
    echo "usage: $0 run|test|asan|bench" >&2
    exit 2
    ;;
esac
