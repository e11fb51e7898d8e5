#!/usr/bin/env bash
# Generates a large 1099-MISC source (1,000,000 records unless RECORDS says otherwise), runs
# `impmap-cli run` and `check` on it REPEAT times and prints the best wall time of each as records
# per second and MB per second, with the peak memory and the output's checksum.
#
#   bench/run_bench.sh [CLI] [WORKDIR]
#     CLI      the impmap-cli to measure (default: build-rel/ in Release, built first)
#     WORKDIR  where the source, map file and output go (default /tmp/impmap-bench)
#   Environment: RECORDS (1000000), FORM (1099-MISC or W-2), REPEAT (3),
#                WINDOW=1 also times the window (open, Execute, Cancel, Save Output) offscreen with
#                bench/WindowBenchmark.cpp, built in build-rel-gui/ (Qt 6 needed), and checks that
#                its saved output is the batch command's byte for byte
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
if [ -z "${1:-}" ]; then
    # shellcheck source=../scripts/deps.sh
    source "$root/scripts/deps.sh"
    impmap_install_deps libbenchmark-dev time python3
    (cd "$root" && cmake --preset release >/dev/null)
    cmake --build "$root/build-rel" -j2 --target impmap-cli impmap_benchmarks >/dev/null
    if [ "${WINDOW:-0}" = 1 ]; then
        cmake -S "$root" -B "$root/build-rel-gui" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DIMPMAP_BUILD_BENCHMARKS=ON -DIMPMAP_BUILD_TESTS=OFF >/dev/null
        cmake --build "$root/build-rel-gui" -j2 --target impmap_window_benchmark >/dev/null
    fi
fi
window_bench=${WINDOW_BENCH:-$root/build-rel-gui/bench/impmap_window_benchmark}
cli=$(realpath "${1:-$root/build-rel/src/cli/impmap-cli}")
work=${2:-/tmp/impmap-bench}
records=${RECORDS:-1000000}
form=${FORM:-1099-MISC}
repeat=${REPEAT:-3}
stem=$([ "$form" = W-2 ] && echo w2 || echo misc)
[ -x /usr/bin/time ] || { echo "run_bench.sh: /usr/bin/time is missing (apt-get install time)" >&2; exit 2; }

mkdir -p "$work"
source="$work/$stem.csv"
if [ ! -f "$source" ] || [ "$(cat "$work/$stem.count" 2>/dev/null)" != "$records" ]; then
    python3 "$here/generate_source.py" "$form" "$records" "$work"
    echo "$records" > "$work/$stem.count"
fi
bytes=$(stat -c %s "$source")

# measure VERB: runs it REPEAT times; prints the best wall time and the largest peak memory.
measure() {
    local verb=$1 best="" peak=0
    for _ in $(seq "$repeat"); do
        local args=("$verb" "$work/$stem.MAP" --today 2022-06-01)
        [ "$verb" = run ] && args+=(-o "$work/$stem.out")
        (cd "$work" && /usr/bin/time -v "$cli" "${args[@]}" >"$work/$verb.stdout" 2>"$work/$verb.time") ||
            [ "$verb" = check ] || { cat "$work/$verb.time" >&2; exit 1; }
        local wall rss
        wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0;
               for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s}' "$work/$verb.time")
        rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/$verb.time")
        if [ -z "$best" ] || awk -v a="$wall" -v b="$best" 'BEGIN {exit !(a < b)}'; then best=$wall; fi
        [ "$rss" -gt "$peak" ] && peak=$rss
    done
    awk -v verb="$verb" -v s="$best" -v n="$records" -v b="$bytes" -v kb="$peak" 'BEGIN {
        printf "%-6s %8.2f s  %10.0f records/s  %7.1f MB/s  peak %6.0f MB (%.2f x file)\n",
               verb, s, n / s, b / s / 1e6, kb * 1024 / 1e6, kb * 1024 / b }'
}

echo "$form: $records records, $(awk -v b="$bytes" 'BEGIN {printf "%.0f", b / 1e6}') MB, best of $repeat"
measure run
echo "output sha256 $(sha256sum < "$work/$stem.out" | cut -c1-64)"
measure check
tail -n 1 "$work/check.stdout"

if [ "${WINDOW:-0}" = 1 ]; then
    [ -x "$window_bench" ] || { echo "run_bench.sh: $window_bench is not built" >&2; exit 2; }
    echo "window, offscreen, $repeat passes (load: $(cut -d' ' -f1-3 /proc/loadavg))"
    # Qt's offscreen platform reports what it cannot do on standard error; shown only on failure.
    "$window_bench" "$work/$stem.MAP" "$work" "$repeat" >"$work/window.stdout" 2>"$work/window.stderr" ||
        { cat "$work/window.stdout" "$work/window.stderr" >&2; exit 1; }
    sed -n '/passes:/,$p' "$work/window.stdout"
    [ "$(sha256sum < "$work/window.out" | cut -c1-64)" = "$(sha256sum < "$work/$stem.out" | cut -c1-64)" ] ||
        { echo "run_bench.sh: the window's output differs from impmap-cli's" >&2; exit 1; }
    echo "window output identical to impmap-cli's"
fi
