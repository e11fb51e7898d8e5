#!/usr/bin/env bash
# Takes the screenshot that the AppStream metadata shows (packaging/screenshots/impmap-mapping.png):
# the window at 1280x800 under Xvfb, with the example source mapped onto 1099-NEC by the example
# map file. Uses the program in build/ unless IMPMAP_BUILD names another build folder; DISPLAY_NO
# picks the X display (default 99).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
impmap_install_deps xvfb openbox xdotool x11-utils imagemagick
build=${IMPMAP_BUILD:-build}
display=:${DISPLAY_NO:-99}
program=$(realpath "$build/src/app/impmap")
out=$(realpath packaging/screenshots)/impmap-mapping.png
# A folder of a fixed name: its path shows in the source file box.
work=${TMPDIR:-/tmp}/impmap-screenshot
if DISPLAY=$display xdpyinfo > /dev/null 2>&1; then
  echo "screenshot: the display $display is in use; name a free one with DISPLAY_NO" >&2
  exit 2
fi
rm -rf "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# The example files in a folder of their own, the map naming its source there.
mkdir -p "$work/Payees" "$work/home" "$work/config" "$work/run"
chmod 700 "$work/run"
cp examples/EXAMPLE_SOURCE.TXT "$work/Payees/"
sed "s|^FileSpec=.*|FileSpec=$work/Payees/EXAMPLE_SOURCE.TXT|" examples/example1099NEC.MAP \
  > "$work/Payees/example1099NEC.MAP"

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
openbox > /dev/null 2>&1 &
pids+=($!)
sleep 1
IMPMAP_HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run \
  "$program" "$work/Payees/example1099NEC.MAP" > "$work/program.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xdotool search --onlyvisible --name 'example1099NEC' > /dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
# The first source field selected, the pointer out of the way.
xdotool mousemove 120 151 click 1 mousemove 640 650
sleep 0.5
import -window root -strip "$out"
echo "screenshot: $out ($(identify -format '%wx%h' "$out"))"
