#!/usr/bin/env bash
# Measures the built game in a real X server (Xvfb):
#   wake-ups   times the idle game is woken (context switches) in 10 s
#   game clock a level-1 game with no keys, F2 to the result line written
#   CPU        share of one core while idle and while the field climbs
#   memory     peak resident set size over the whole session
# Start-up is measured against a bare Qt window by bench/startup.sh.
# Usage: bench/window_figures.sh [path/to/kolrin]   (default build/kolrin)
set -euo pipefail
exe=$(readlink -f "${1:-build/kolrin}")
data=$(dirname "$exe")
work=$(mktemp -d /tmp/kolrin-bench.XXXXXX)
pid="" xvfb=""
trap 'kill -9 $pid 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

. "$(dirname "$0")/xvfb.sh"
title='^Kolrin\(Typing Zuvel\)$'
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

fresh_dir() {
  rm -rf "$work/p"; mkdir -p "$work/p"
  cp "$exe" "$data/Romaji.tbl" "$data/Kolrin.hlp" "$work/p/"
  printf 'False\r\nFalse\r\nBench\r\n' >"$work/p/Kolrin.cfg"
}
launch() { (cd "$work/p" && exec ./kolrin >/dev/null 2>&1) & pid=$!; }
wait_mapped() {
  until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do :; done
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }

fresh_dir; launch; wait_mapped
win=$(xdotool search --onlyvisible --name "$title" | head -n1)
xdotool windowfocus --sync "$win"
hz=$(getconf CLK_TCK)
sleep 1
switches() { awk '/^voluntary_ctxt_switches/ {v=$2} /^nonvoluntary_ctxt_switches/ {n=$2} END {print v + n}' /proc/$pid/status; }
w0=$(switches); c0=$(cpu_ticks); sleep 10; c1=$(cpu_ticks); w1=$(switches)
echo "idle wake-ups: $((w1 - w0)) in 10 s"
echo "CPU idle: $(( (c1 - c0) * 1000 / hz / 10 )) ms per second ($(( (c1 - c0) * 100 / hz / 10 ))% of a core)"

xdotool key F2; t0=$(now_ms)
c0=$(cpu_ticks); sleep 20; c1=$(cpu_ticks)
echo "CPU playing: $(( (c1 - c0) * 1000 / hz / 20 )) ms per second ($(( (c1 - c0) * 100 / hz / 20 ))% of a core)"
until [ -s "$work/p/Kolrin.dat" ]; do sleep 0.002; done
t1=$(now_ms)
echo "game clock, level 1, no keys: $((t1 - t0)) ms from F2 to the result (221 ticks x 150 ms = 33150 ms)"
echo "peak resident memory: $(awk '/VmHWM/ {print $2, $3}' "/proc/$pid/status")"
