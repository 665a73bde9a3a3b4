#!/usr/bin/env bash
# Start-up of the game against a bare Qt Widgets window, launch to the main
# window mapped, interleaved run by run in one Xvfb server. The time is taken
# by bench_mapwait from the server's own MapNotify event, not by polling.
# Usage: bench/startup.sh BENCH_BUILD_DIR KOLRIN_EXECUTABLE [RUNS]
set -euo pipefail
bench=$(readlink -f "$1") exe=$(readlink -f "$2") runs=${3:-40}
data=$(dirname "$exe")
work=$(mktemp -d /tmp/kolrin-startup.XXXXXX)
xvfb=""
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

. "$(dirname "$0")/xvfb.sh"

mkdir -p "$work/p"
cp "$exe" "$data/Romaji.tbl" "$data/Kolrin.hlp" "$work/p/"
printf 'False\r\nFalse\r\nBench\r\n' >"$work/p/Kolrin.cfg"
cd "$work/p"
# Warm the caches once for both.
"$bench/bench/bench_mapwait" ./kolrin >/dev/null
"$bench/bench/bench_mapwait" "$bench/bench/bench_bare_window" >/dev/null

: >"$work/kolrin.ms"; : >"$work/bare.ms"
for _ in $(seq "$runs"); do
  "$bench/bench/bench_mapwait" ./kolrin >>"$work/kolrin.ms" 2>/dev/null
  "$bench/bench/bench_mapwait" "$bench/bench/bench_bare_window" >>"$work/bare.ms" 2>/dev/null
done
median() { sort -n "$1" | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
range() { sort -n "$1" | awk 'NR==1 {lo=$1} {hi=$1} END {print lo " to " hi}'; }
k=$(median "$work/kolrin.ms") b=$(median "$work/bare.ms")
echo "kolrin: median $k ms ($(range "$work/kolrin.ms")), $runs runs"
echo "bare Qt window: median $b ms ($(range "$work/bare.ms")), $runs runs"
awk -v k="$k" -v b="$b" 'BEGIN {printf "ratio of the medians: %.2f\n", k / b}'
# Runs side by side share whatever else the machine did at that moment.
paste "$work/kolrin.ms" "$work/bare.ms" | awk '{print $1 / $2}' | sort -n >"$work/ratios"
echo "median ratio of paired runs: $(median "$work/ratios" | awk '{printf "%.2f", $1}')"
