#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and runs
# the whole test suite, the window tests included (offscreen). Any finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
impmap_install_deps

jobs="${IMPMAP_JOBS:-$(nproc)}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The preset builds with -O1, which keeps the build and the instrumented tests fast while keeping
# stack traces readable. Warnings are not errors here: at -O1 with the sanitizers GCC warns of
# uninitialised values inside the standard library (std::regex, std::function) that are not
# there; the dev build keeps warnings as errors.
cmake --preset asan "${launcher[@]}"

# Also in force while building: test discovery runs the test programs.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"
