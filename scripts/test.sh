#!/usr/bin/env bash
# Installs what the build needs, checks the formatting, builds the release-with-asserts preset and runs
# every test. A formatting fault, or (release preset) a source that clang, with the fuzz preset's flags,
# cannot compile, fails the run after the tests.
# Usage: scripts/test.sh [preset]   (release by default; asan and tsan work too)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"

bash scripts/install-deps.sh
format_status=0
bash scripts/check-format.sh || format_status=$?
cmake --preset "$preset"
cmake --build --preset "$preset"

jobs=$(nproc)
# Tests that need a GL context run on Mesa's software renderer through SDL's offscreen driver.
export SDL_VIDEODRIVER=offscreen
export LIBGL_ALWAYS_SOFTWARE=1
# llvmpipe's own worker threads are invisible to ThreadSanitizer; one thread renders the same frames.
export LP_NUM_THREADS=0
export MARVENLOT_HEADLESS=1
timeout=300
if [ "$preset" = asan ] || [ "$preset" = tsan ]; then
  # A sanitized suite at full parallelism loads the machine: the tests' waits for the clients they start
  # grow (tests/common/Patience.h), and so does the time a test may take.
  export MARVENLOT_TEST_PATIENCE="${MARVENLOT_TEST_PATIENCE:-2}"
  timeout=600
fi
ctest --test-dir "build/$preset" --output-on-failure -j "$jobs" --timeout "$timeout"

# The fuzz preset builds the tree with clang; its front end runs here so that a change it cannot compile
# does not land (scripts/check-clang.py).
clang_status=0
if [ "$preset" = release ]; then python3 scripts/check-clang.py "build/$preset" || clang_status=$?; fi
[ "$format_status" -ne 0 ] && exit "$format_status"
exit "$clang_status"
