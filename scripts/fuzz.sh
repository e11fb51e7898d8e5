#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz/ with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ and runs each for SECONDS (default 60), one after the
# other. A target goes on after an input that breaks a property; such inputs are kept in
# build-fuzz/findings/<Name>/. Ends with one line per target: executions per second, coverage
# (cov, ft) and the number of findings; fails when there are any.
# Usage: scripts/fuzz.sh [SECONDS] [Name...]
set -euo pipefail
seconds="${1:-60}"
shift || true
cd "$(dirname "$0")/.."
. scripts/deps.sh
impmap_install_deps clang libclang-rt-14-dev

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake --preset fuzz "${launcher[@]}" >/dev/null
cmake --build --preset fuzz -j "${IMPMAP_JOBS:-2}"

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for source in tests/fuzz/Fuzz*.cpp; do
        name="$(basename "$source" .cpp)"
        names+=("${name#Fuzz}")
    done
fi

# Map files are saved with fsync; a memory-backed scratch folder keeps that from dominating.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p build-fuzz/logs
summary=()
total=0
for name in "${names[@]}"; do
    corpus="build-fuzz/corpus/$name"
    findings="build-fuzz/findings/$name"
    log="build-fuzz/logs/$name.log"
    mkdir -p "$corpus" "$findings" "tests/fuzz/corpus/$name"
    echo "Fuzzing $name for $seconds s (log: $log)"
    # Fork mode with one job keeps going after a finding and leaves the core to the others.
    build-fuzz/tests/fuzz/"Fuzz$name" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 \
        -ignore_ooms=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" "$corpus" "tests/fuzz/corpus/$name" >"$log" 2>&1 || true
    stats="$(grep -E '^#[0-9]+: cov: ' "$log" | tail -n 1 || true)"
    found="$(find "$findings" -type f | wc -l)"
    total=$((total + found))
    summary+=("$(printf '%-14s %s findings: %s' "$name" "${stats:-no statistics, see the log}" "$found")")
done
printf '%s\n' "${summary[@]}"
if [ "$total" -gt 0 ]; then
    echo "Findings are in build-fuzz/findings/; replay one with build-fuzz/tests/fuzz/Fuzz<Name> FILE"
    exit 1
fi
