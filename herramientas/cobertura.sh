#!/usr/bin/env bash
# Measures what the tests cover of src/: builds the cobertura preset (Debug
# with --coverage, in build-cobertura), runs the tests from fresh counters and
# prints gcovr's figures per file, lines and then branches, and the totals.
# Branches the compiler adds for exceptions are left out: they only count
# whether each call could have thrown.
set -euo pipefail
cd "$(dirname "$0")/.."
./dependencias.sh gcovr
cmake --preset cobertura
# Counters from nothing, before the build: its listing of the tests already
# writes some, which an older build's would not match.
find build-cobertura -name '*.gcda' -delete
cmake --build --preset cobertura
ctest --preset cobertura
opciones=(--root . --filter src/ --exclude-throw-branches build-cobertura)
gcovr "${opciones[@]}"
gcovr "${opciones[@]}" --branches --print-summary
