#!/usr/bin/env bash
# Reading and running a large workbook against LibreOffice converting it to CSV, in one sitting:
# a 100,000-row, 37-column .xlsx with inline strings (about 200 MB of sheet XML, ROWS= to vary),
# made by generate_workbook.py, then
#   impmap-cli convert   (the sheet read as text)
#   impmap-cli run       (read and run onto 1099-MISC)
#   soffice --headless --convert-to csv
# each with its wall time and peak memory (/usr/bin/time -v), and the ratio.
#
#   bench/workbook_bench.sh [CLI] [WORKDIR]
#     CLI      the impmap-cli to measure (default: build-rel/ in Release, built first)
#     WORKDIR  where the workbook, map file and outputs go (default /tmp/impmap-bench-workbook)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
if [ -z "${1:-}" ]; then
    # shellcheck source=../scripts/deps.sh
    source "$root/scripts/deps.sh"
    impmap_install_deps time python3-xlsxwriter libreoffice-calc-nogui
    cmake -S "$root" -B "$root/build-rel" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DIMPMAP_BUILD_GUI=OFF -DIMPMAP_BUILD_TESTS=OFF >/dev/null
    cmake --build "$root/build-rel" -j2 --target impmap-cli >/dev/null
fi
cli=$(realpath "${1:-$root/build-rel/src/cli/impmap-cli}")
work=${2:-/tmp/impmap-bench-workbook}
rows=${ROWS:-100000}
mkdir -p "$work"
if [ ! -f "$work/payees.xlsx" ] || [ "$(cat "$work/rows" 2>/dev/null)" != "$rows" ]; then
    /usr/bin/python3 "$here/generate_workbook.py" "$rows" "$work"
    echo "$rows" >"$work/rows"
fi

# measure NAME COMMAND...: prints NAME, wall seconds and peak memory in MB; keeps the seconds.
declare -A seconds
measure() {
    local name=$1
    shift
    (cd "$work" && /usr/bin/time -v "$@" >"$work/$name.out" 2>"$work/$name.time") ||
        { cat "$work/$name.time" >&2; exit 1; }
    local wall rss
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0;
           for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s}' "$work/$name.time")
    rss=$(awk -F': ' '/Maximum resident set size/ {printf "%.0f", $2 / 1024}' "$work/$name.time")
    seconds[$name]=$wall
    printf '%-10s %8.2f s %8s MB\n' "$name" "$wall" "$rss"
}

sheet_xml=$(unzip -l "$work/payees.xlsx" | awk '/worksheets\/sheet1.xml/ {print $1}')
echo "Workbook: $rows rows, 37 columns, $((sheet_xml / 1000000)) MB of sheet XML"
measure convert "$cli" convert payees.xlsx -o payees.txt
echo "           text: $(($(stat -c %s "$work/payees.txt") / 1000000)) MB"
measure run "$cli" run payees.MAP --today 2022-06-01 -o payees.out
rm -rf "$work/csv"
measure soffice soffice -env:UserInstallation="file://$work/profile" --headless \
    --convert-to csv --outdir "$work/csv" payees.xlsx
awk -v r="${seconds[run]}" -v s="${seconds[soffice]}" \
    'BEGIN {printf "LibreOffice / impmap run: %.1f times\n", s / r}'
