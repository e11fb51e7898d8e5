#!/usr/bin/env bash
# Proves the core and the batch command on 64-bit Windows without a Windows machine: cross-builds
# the core, impmap-cli and the core tests with MinGW-w64, runs the tests and the example under
# Wine, and compares the example's output byte for byte with the Linux build's.
# Builds into build-win/ (Windows) and build-linux-cli/ (the Linux reference).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/deps.sh
impmap_install_deps g++-mingw-w64-x86-64 wine wine64 googletest
start=$SECONDS

launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

# GoogleTest from Debian's source package, built with the same compilers.
gtest_prefix=$root/build-win/googletest
if [ ! -f "$gtest_prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B build-win/googletest-build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest_prefix" "${launcher[@]}" > /dev/null
  cmake --build build-win/googletest-build -j "$jobs"
  cmake --install build-win/googletest-build > /dev/null
fi

cmake --preset mingw "${launcher[@]}" > /dev/null
cmake --build --preset mingw -j "$jobs"
cmake -S . -B build-linux-cli -G Ninja -DIMPMAP_BUILD_GUI=OFF -DIMPMAP_BUILD_TESTS=OFF \
  -DIMPMAP_WERROR=ON "${launcher[@]}" > /dev/null
cmake --build build-linux-cli -j "$jobs" --target impmap-cli
echo "windows-check: built in $((SECONDS - start)) s"

# Wine without a display, dialogs or downloads, in a prefix of its own that is removed at the end.
work=$(mktemp -d "${TMPDIR:-/tmp}/impmap-windows-check.XXXXXX")
trap 'wineserver -k > /dev/null 2>&1 || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wine=$(command -v wine64 || command -v wine)
prefix_start=$SECONDS
"$wine" wineboot --init > "$work/wineboot.log" 2>&1 || {
  cat "$work/wineboot.log"
  echo "windows-check: wineboot failed" >&2
  exit 1
}
echo "windows-check: Wine prefix made in $((SECONDS - prefix_start)) s"

failed=0
test_start=$SECONDS
if ! "$wine" build-win/impmap/tests/impmap_core_tests.exe > "$work/tests.log" 2>&1; then
  tr -d '\r' < "$work/tests.log" | grep -vE '^\[ +(OK|RUN) +\]'
  echo "windows-check: FAILED: the core tests under Wine" >&2
  failed=1
else
  # The totals, and every test skipped on Windows with its reason.
  tr -d '\r' < "$work/tests.log" | grep -E -B2 '^\[  (PASSED|SKIPPED) ' | grep -vE '^\[ +RUN +\]|^--$'
fi
echo "windows-check: core tests ran in $((SECONDS - test_start)) s"

# The example, from its own folder as the README shows it, to a file and to standard output,
# then from a folder with a non-ASCII name given with a drive letter and backslashes.
linux_cli=$root/build-linux-cli/src/cli/impmap-cli
win_cli=$root/build-win/impmap/src/cli/impmap-cli.exe
run_both() { # name, folder, windows map path, arguments...
  local name=$1 folder=$2 winmap=$3
  shift 3
  (cd "$folder" && "$linux_cli" run example1099NEC.MAP --today 2022-06-01 "$@" \
    > "$work/$name.linux.out" 2> "$work/$name.linux.err")
  (cd "$folder" && "$wine" "$win_cli" run "$winmap" --today 2022-06-01 "$@" \
    > "$work/$name.windows.out" 2> "$work/$name.windows.err")
}
compare() { # what, linux file, windows file
  if cmp "$2" "$3"; then
    echo "windows-check: $1 identical ($(wc -c < "$2") bytes)"
  else
    diff <(od -c "$2") <(od -c "$3") | head -20
    echo "windows-check: FAILED: $1 differs" >&2
    failed=1
  fi
}
run_both stdout examples example1099NEC.MAP
compare "example output on standard output" "$work/stdout.linux.out" "$work/stdout.windows.out"
compare "example messages" "$work/stdout.linux.err" "$work/stdout.windows.err"

unicode=$work/$'\xc3\x9c'"bung "$'\xc3\xb1'
mkdir -p "$unicode"
cp examples/example1099NEC.MAP examples/EXAMPLE_SOURCE.TXT "$unicode/"
mv "$unicode/example1099NEC.MAP" "$unicode/r"$'\xc3\xa9'"sum"$'\xc3\xa9'".MAP"
winfolder=$("$wine" winepath -w "$unicode" 2> /dev/null | tr -d '\r')
(cd "$unicode" && "$linux_cli" run "r"$'\xc3\xa9'"sum"$'\xc3\xa9'".MAP" --today 2022-06-01 \
  -o "$work/linux.txt" 2> /dev/null)
(cd "$unicode" && "$wine" "$win_cli" run "$winfolder\\r"$'\xc3\xa9'"sum"$'\xc3\xa9'".MAP" \
  --today 2022-06-01 -o "$winfolder\\"$'\xe6\x9d\xb1'".txt" 2> "$work/unicode.err")
if [ -f "$unicode/"$'\xe6\x9d\xb1'".txt" ]; then
  compare "example output file under a non-ASCII name" "$work/linux.txt" \
    "$unicode/"$'\xe6\x9d\xb1'".txt"
else
  cat "$work/unicode.err"
  echo "windows-check: FAILED: no output file under the non-ASCII name" >&2
  failed=1
fi

echo "windows-check: $((SECONDS - start)) s in all"
exit $failed
