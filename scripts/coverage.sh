#!/usr/bin/env bash
# Line coverage of the program's own code (main/, fractions/, markup/, preview/, toolkit/) by the
# whole test suite, measured with gcov and lcov. Generated code (moc, uic, rcc) and the tests
# themselves are left out. Writes build-cov/coverage.info and an HTML report in build-cov/html/.
#   scripts/coverage.sh
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset coverage >/dev/null
cmake --build --preset coverage -j "$(nproc)"
lcov --quiet --zerocounters --directory build-cov
# A failing test still leaves its counts: measure anyway, and fail at the end.
status=0
ctest --preset coverage || status=$?

lcov --quiet --capture --directory build-cov --base-directory . --no-external \
     --output-file build-cov/all.info
lcov --quiet --extract build-cov/all.info \
     "$PWD/main/*" "$PWD/fractions/*" "$PWD/markup/*" "$PWD/preview/*" "$PWD/toolkit/*" \
     --output-file build-cov/coverage.info
genhtml --quiet --output-directory build-cov/html build-cov/coverage.info
lcov --summary build-cov/coverage.info
exit "$status"
