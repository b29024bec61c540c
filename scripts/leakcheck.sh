#!/usr/bin/env bash
# Leak check of a scripted session: builds the sanitizer preset and plays long random sessions on
# the real main window (every action of the model-based test) under LeakSanitizer, which reports
# any block still unreachable when the process ends. Leaks in the platform's own libraries that
# are not the program's are listed, with their reasons, in tests/sanitizer/lsan.supp.
#   scripts/leakcheck.sh [ACTIONS_PER_SESSION]      (default 5000)
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset asan >/dev/null
cmake --build --preset asan -j "$(nproc)" --target test_model
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_SCALE_FACTOR=1 \
       QT_ENABLE_HIGHDPI_SCALING=0 QT_QPA_PLATFORMTHEME=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=1"
PEMVARO_MODEL_ACTIONS="${1:-5000}" build-asan/tests/model/test_model
echo "No leak reported."
