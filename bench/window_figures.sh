#!/usr/bin/env bash
# Measures the built game in a real X server (Xvfb):
#   wake-ups   times the idle game is woken (context switches) in 10 s
#   game clock a level-1 game with no keys, F2 to the result line written
#   CPU        share of one core while idle and while the field climbs
#   memory     peak resident set size over the whole session
#   key to screen  a key accepted to the window redrawn, keyboard guide off and on
#   key to sound   a miss to its sound at a private PulseAudio server's sink
#                  (skipped without pulseaudio and pacat)
# Start-up is measured against a bare Qt window by bench/startup.sh.
# Usage: bench/window_figures.sh [path/to/kolrin]   (default build/kolrin)
# The key figures need bench_keywait beside the program (bench/ of the build).
set -euo pipefail
exe=$(readlink -f "${1:-build/kolrin}")
data=$(dirname "$exe")
keywait=$data/bench/bench_keywait
work=$(mktemp -d /tmp/kolrin-bench.XXXXXX)
pid="" xvfb=""
trap 'kill -9 $pid 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

. "$(dirname "$0")/xvfb.sh"
title='^Kolrin\(Typing Zuvel\)$'
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

fresh_dir() {
  rm -rf "$work/p"; mkdir -p "$work/p"
  cp "$exe" "$data/Romaji.tbl" "$data/Kolrin.hlp" "$work/p/"
  cp -r "$data/plugins" "$work/p/"
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
# The game database's thread, started by the game's end, waits without waking.
sleep 1
w0=$(switches); sleep 10; w1=$(switches)
echo "idle wake-ups after a game, the game-over dialog up: $((w1 - w0)) in 10 s"
kill -9 $pid; wait $pid 2>/dev/null || true

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
# A kana game of KA only, so every key's verdict is known: k and a accepted.
kana_game() { # Kolrin.ini
  fresh_dir
  printf 'False\r\nTrue\r\nBench\r\n' >"$work/p/Kolrin.cfg"
  printf '\xb6\r\n@\r\nKA\r\n@\r\n' >"$work/p/Romaji.tbl"
  printf '%b' "$1" >"$work/p/Kolrin.ini"
  launch; wait_mapped
  win=$(xdotool search --onlyvisible --name "$title" | head -n1)
  xdotool windowfocus --sync "$win"
  sleep 1
}
[ -x "$keywait" ] || { echo "key figures: $keywait not built (libxtst-dev, libxdamage-dev)"; exit 0; }

kana_game '[Options]\nKeyboard=true\n'
w0=$(switches); sleep 10; w1=$(switches)
echo "idle wake-ups with the keyboard shown: $((w1 - w0)) in 10 s"
kill -9 $pid; wait $pid 2>/dev/null || true

# Interleaved, so both share whatever else the machine does.
keys=$(printf 'ka%.0s' $(seq 20))
: >"$work/off.ms"; : >"$work/on.ms"
for _ in 1 2 3; do
  for keyboard in off on; do
    kana_game "[Options]\nKeyboard=$([ $keyboard = on ] && echo true || echo false)\n"
    "$keywait" draw "$win" "$keys" 60 | grep -v unchanged >>"$work/$keyboard.ms"
    kill -9 $pid; wait $pid 2>/dev/null || true
  done
done
off=$(median <"$work/off.ms") on=$(median <"$work/on.ms")
echo "key to screen, keyboard off: median $off ms of $(wc -l <"$work/off.ms") keys"
echo "key to screen, keyboard on: median $on ms of $(wc -l <"$work/on.ms") keys ($(awk -v a="$on" -v b="$off" 'BEGIN {printf "%+.2f", a - b}') ms)"

command -v pulseaudio >/dev/null && command -v pacat >/dev/null || { echo "key to sound: no pulseaudio"; exit 0; }
mkdir -p "$work/pa/home" "$work/pa/run"
HOME=$work/pa/home XDG_RUNTIME_DIR=$work/pa/run pulseaudio -n --daemonize=no --exit-idle-time=-1 \
  --disable-shm=yes --use-pid-file=no -L "module-null-sink sink_name=bench rate=16000 channels=1" \
  -L "module-native-protocol-unix socket=$work/pa/native auth-anonymous=1" >/dev/null 2>&1 &
pa=$!
export PULSE_SERVER=unix:$work/pa/native
until pactl info >/dev/null 2>&1; do sleep 0.05; done
# A stream of zeros keeps the sink running, as a sound card runs.
pacat --raw --format=s16le --rate=16000 --channels=1 --latency-msec=10 -d bench </dev/zero &
zeros=$!
trap 'kill -9 $pid $pa $zeros 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
kana_game '[Options]\nSound=true\n'
# x is a miss. Misses 0.4 s apart find the stream to the server open; 2 s
# apart, the player has closed it and opens it again.
for gap in 400 2000; do
  parec --raw --format=s16le --rate=16000 --channels=1 --latency-msec=2 -d bench.monitor \
    | "$keywait" sound "$win" xxxxxxxxxx $gap >"$work/sound.ms" || true
  echo "key to sound, misses $gap ms apart: median $(grep -v silent "$work/sound.ms" | median) ms" \
       "($(tr '\n' ' ' <"$work/sound.ms"))"
done
