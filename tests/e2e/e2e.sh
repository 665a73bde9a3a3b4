#!/usr/bin/env bash
# Plays the built game in a real X server with real key events, as a player
# would, and checks the files and the clipboard it leaves.
#   e2e.sh CASE KOLRIN_EXECUTABLE DATA_DIR ARTIFACT_DIR
set -euo pipefail

case_name=$1 exe=$2 data=$3 artifacts=$4
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/kolrin-e2e.XXXXXX)
pids=()

cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  [ -n "${weston_pid:-}" ] && kill "$weston_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true # an unpacked package is read-only
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL [$case_name]: $*" >&2
  [ -s "$work/kolrin.log" ] && { echo "--- program output:" >&2; tail -n 20 "$work/kolrin.log" >&2; }
  exit 1
}
note() { echo "[$case_name] $*"; }

# A private X server; no window manager, so focus is given with windowfocus.
# -noreset: by default the server resets when its last client leaves, and a
# program started in that moment (after a kill) cannot connect.
start_x() { # extra Xvfb options
  exec 5> "$work/display"
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset "$@" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$work/display")"
  [ "$DISPLAY" != ":" ] || fail "Xvfb did not start"
}

# A fresh program folder: the executable and its data side by side.
new_program_dir() {
  local dir=$work/$1
  mkdir -p "$dir"
  cp "$exe" "$dir/kolrin"
  cp "$data/Romaji.tbl" "$data/Kolrin.hlp" "$dir/"
  echo "$dir"
}

launch() { # dir -> pid
  (cd "$1" && exec ./kolrin >>"$work/kolrin.log" 2>&1) &
  pids+=($!)
  last_pid=$!
}

# Waits for a window whose title matches the regex; prints its id.
wait_window() {
  local regex=$1 seconds=${2:-10} id=""
  for _ in $(seq $((seconds * 20))); do
    id=$(xdotool search --onlyvisible --name "$regex" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

focus() { xdotool windowfocus --sync "$1"; sleep 0.1; }

wait_exit() { # pid seconds
  for _ in $(seq $(($2 * 20))); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.05
  done
  return 1
}

main_title='^Kolrin\(Typing Zuvel\)$'

main_windows() { { xdotool search --onlyvisible --name "$main_title" 2>/dev/null || true; } | wc -l; }

expect_refusal() { # dir title_regex what settings_before
  local before box
  before=$(main_windows)
  launch "$1"
  local pid=$last_pid
  box=$(wait_window "$2") || fail "no '$3' box appeared"
  [ "$(main_windows)" = "$before" ] && [ "$before" -le 1 ] \
    || fail "a main window showed although start-up stopped ($3)"
  focus "$box"
  xdotool key Return
  wait_exit "$pid" 5 || fail "the program did not end after '$3'"
  wait "$pid" 2>/dev/null || true
  [ -e "$1/Kolrin.cfg" ] && [ "$(cat "$1/Kolrin.cfg")" != "$4" ] && fail "settings written after '$3'"
  note "refused: $3"
}

# Waits for the game-over dialog, optionally checks the result file is already
# written, answers End, and waits for the main window to take the keys again.
answer_game_over() { # dir file seconds
  local dlg
  dlg=$(wait_window '^リプレイ$' "$3") || fail "no game-over dialog within $3 s"
  [ -s "$1/$2" ] || fail "$2 not written before the dialog showed"
  focus "$dlg"
  xdotool key Tab Return
  sleep 0.3
  xdotool search --onlyvisible --name '^リプレイ$' >/dev/null 2>&1 && fail "dialog still open after End"
  return 0
}

check_result_line() { # file level_regex name
  local today line
  today=$(date +%Y/%m/%d)
  line=$(tail -n1 "$1" | od -An -c | tr -s ' ')
  # One line, CR LF ended, the date of today.
  tail -n1 "$1" | grep -qaP "^$2,\"$3\",\"$today [0-2][0-9]:[0-5][0-9]\"\r\$" \
    || fail "unexpected result line in $(basename "$1"): $line"
}

open_ranking() { # main window id
  focus "$1"
  xdotool key alt+v
  sleep 0.3
  xdotool key Return
  wait_window '^成績順表示$' 5 >/dev/null || fail "the ranking did not open"
  sleep 0.3
}

close_ranking() {
  local id
  id=$(wait_window '^成績順表示$' 2) || return 0
  focus "$id"
  xdotool key Escape
  sleep 0.3
}

quit_game() { # main window id, pid
  focus "$1"
  xdotool key alt+g
  sleep 0.3
  xdotool key x
  wait_exit "$2" 5 || fail "the program did not end through ｹﾞｰﾑの終了"
}

# The Debian package, built by the package_build case for the others.
pkgdir=$(dirname "$exe")/e2e-package

# Unpacks the package into a read-only root and notes what lies there.
unpack_package() {
  local deb
  deb=$(ls "$pkgdir"/kolrin_*.deb 2>/dev/null | head -n1)
  [ -n "$deb" ] || fail "no package in $pkgdir (e2e-package_build makes it)"
  root=$work/root
  dpkg-deb -x "$deb" "$root"
  chmod -R a-w "$root"
  snapshot_root >"$work/root-before"
}
snapshot_root() { find "$root" -printf '%p %y %m %s %T@ %l\n' | sort; }
root_unchanged() {
  snapshot_root | diff "$work/root-before" - >"$work/root-diff" \
    || fail "written under the unpacked root: $(head -n5 "$work/root-diff")"
}

# The player: an ordinary user with a home of their own (nobody, when the
# tests run as root), who can read the package but write only that home.
new_player() {
  home=$work/player
  mkdir -p "$home/run"
  chmod 700 "$home/run"
  chmod 755 "$work"
  as_player=()
  if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$home"
    as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
  fi
}

launch_player() { # extra environment, as NAME=value
  (cd "$home" && exec env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME \
      HOME="$home" XDG_RUNTIME_DIR="$home/run" "$@" \
      "${as_player[@]}" "$root/usr/bin/kolrin" >>"$work/kolrin.log" 2>&1) &
  pids+=($!)
  last_pid=$!
}

# What lies in a folder, to show that nothing was written there.
snapshot() { find "$1" -printf '%P %y %s %T@\n' | sort; }

# The version project() gives, which the changelog must start with.
version=$(sed -n '1s/^kolrin (\(.*\)).*/\1/p' "$data/../packaging/changelog")

case "$case_name" in
destdir|package_build|command_line|wayland) ;; # no X server
package_*) start_x -ac ;;             # the player is another user
*) start_x ;;
esac
case "$case_name" in
second_copy)
  dir=$(new_program_dir game)
  printf 'False\r\nFalse\r\nFirst\r\n' >"$dir/Kolrin.cfg"
  launch "$dir"
  first=$last_pid
  wait_window "$main_title" >/dev/null || fail "first copy did not start"
  expect_refusal "$dir" '^Kolrin$' "二重起動です。" "$(cat "$dir/Kolrin.cfg")"
  kill -0 "$first" || fail "the first copy ended"
  [ "$(cat "$dir/Kolrin.cfg")" = "$(printf 'False\r\nFalse\r\nFirst\r\n')" ] || fail "settings changed"
  # A killed copy leaves its lock behind; the next start must not be refused.
  kill -9 "$first"; wait "$first" 2>/dev/null || true
  launch "$dir"
  wait_window "$main_title" >/dev/null || fail "start after a killed copy was refused"
  ;;
missing_files)
  dir=$(new_program_dir nohelp)
  rm "$dir/Kolrin.hlp" "$dir/Romaji.tbl"
  expect_refusal "$dir" '^Kolrin$' "Kolrin.hlp missing (and Romaji.tbl)" ""
  [ -e "$dir/Kolrin.cfg" ] && fail "settings written"
  dir=$(new_program_dir notable)
  rm "$dir/Romaji.tbl"
  expect_refusal "$dir" '^警告$' "Romaji.tbl missing" ""
  [ -e "$dir/Kolrin.cfg" ] && fail "settings written"
  ;;
letters_game)
  dir=$(new_program_dir letters)
  printf 'False\r\nFalse\r\nE2E\r\n' >"$dir/Kolrin.cfg"
  launch "$dir"; pid=$last_pid
  win=$(wait_window "$main_title") || fail "no main window"
  focus "$win"
  xdotool key F2
  # Wrong keys are swallowed and only the expected letter advances, so three
  # alphabets complete at least the first prompt.
  xdotool type --delay 15 "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"
  sleep 1
  import -window root "$artifacts/letters-mid-game.png" 2>/dev/null || true
  answer_game_over "$dir" Kolrin.dat 40
  [ -e "$dir/KolrinR.dat" ] && fail "a letters game wrote the kana file"
  check_result_line "$dir/Kolrin.dat" '([2-9]|[1-9][0-9]+)' E2E
  level=$(head -c 20 "$dir/Kolrin.dat" | cut -d, -f1)
  stamp=$(tail -n1 "$dir/Kolrin.dat" | cut -d, -f3 | tr -d '"\r\n')
  open_ranking "$win"
  printf 'Level %sa\tE2E    \t\t%s\r\n' "$level" "$stamp" >"$work/expected"
  xclip -o -selection clipboard >"$work/clip" || fail "clipboard unreadable"
  cmp "$work/expected" "$work/clip" || fail "clipboard differs: $(od -c "$work/clip" | head -5)"
  close_ranking
  quit_game "$win" "$pid"
  note "level $level recorded and ranked"
  ;;
kana_game)
  dir=$(new_program_dir kana)
  # Only ｶ/KA can be drawn, so the prompt is known without asking the program.
  printf '\xb6\r\n\xdd\r\n@\r\nKA\r\nN\r\n@\r\n' >"$dir/Romaji.tbl"
  printf 'False\r\nTrue\r\n\xe3\x81\x82\r\n' | iconv -f UTF-8 -t CP932 >"$dir/Kolrin.cfg"
  launch "$dir"; pid=$last_pid
  win=$(wait_window "$main_title") || fail "no main window"
  focus "$win"
  xdotool key Return                    # Start is the default button
  xdotool type --delay 30 "kakaka"      # three prompts: level 4
  sleep 0.5
  import -window root "$artifacts/kana-mid-game.png" 2>/dev/null || true
  answer_game_over "$dir" KolrinR.dat 20
  [ -e "$dir/Kolrin.dat" ] && fail "a kana game wrote the letters file"
  LC_ALL=C grep -qaP '^4,"\x82\xa0","' "$dir/KolrinR.dat" || fail "level 4 not recorded: $(od -c "$dir/KolrinR.dat")"
  stamp=$(tail -n1 "$dir/KolrinR.dat" | cut -d, -f3 | tr -d '"\r\n')
  open_ranking "$win"
  printf 'Level 4r\tあ      \t\t%s\r\n' "$stamp" >"$work/expected"
  xclip -o -selection clipboard >"$work/clip" || fail "clipboard unreadable"
  cmp "$work/expected" "$work/clip" || fail "clipboard differs: $(od -c "$work/clip" | head -5)"
  close_ranking
  quit_game "$win" "$pid"
  ;;
kana_input)
  # Kana input judges the key's place: on a US and on a JIS layout the same
  # X key codes type ｷﾞｬ as き (G), ゛ (@ on JIS, [ on US) and Shift+ゃ (7).
  gya="42 34 shift+16"
  for layout in us jp; do
    # The server may keep its first keymap through the first request.
    keymap=""
    for _ in $(seq 20); do
      setxkbmap "$layout"
      keymap=$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null || true)
      [[ $keymap == *"xkb_symbols \"pc+$layout+"* ]] && break
      sleep 0.2
    done
    [[ $keymap == *"xkb_symbols \"pc+$layout+"* ]] || fail "setxkbmap $layout did not take"
    dir=$(new_program_dir "kana-$layout")
    printf '\xb7\xde\xac\r\n@\r\nGYA\r\n@\r\n' >"$dir/Romaji.tbl"
    printf 'False\r\nTrue\r\nE2E\r\n' >"$dir/Kolrin.cfg"
    printf '[Options]\nKanaInput=true\nKeyboard=true\n' >"$dir/Kolrin.ini"
    launch "$dir"; pid=$last_pid
    win=$(wait_window "$main_title") || fail "no main window"
    focus "$win"
    xdotool key Return                  # Start
    # た is no key of the prompt: a miss, and the prompt goes on from き.
    # shellcheck disable=SC2086
    xdotool key --delay 40 24 $gya $gya
    xdotool key --delay 40 42 34
    sleep 0.5
    import -window root "$artifacts/kana-input-$layout.png" 2>/dev/null || true
    xdotool key --delay 40 shift+16     # three prompts: level 4
    answer_game_over "$dir" KolrinK.dat 20
    [ -e "$dir/KolrinR.dat" ] && fail "a kana-input game wrote the kana file ($layout)"
    check_result_line "$dir/KolrinK.dat" 4 E2E
    # Each key by its kana; the wrong key counts against the one expected.
    stats=$(sqlite3 "$dir/Kolrin.db" "SELECT s.key || ' ' || s.typed || '/' || s.missed FROM key_stats s
              JOIN games g ON g.id = s.game_id WHERE g.mode = 'kanainput' ORDER BY s.key") \
      || fail "Kolrin.db unreadable ($layout)"
    [ "$stats" = "$(printf 'き 3/1\nゃ 3/0\n゛ 3/0')" ] || fail "keys in Kolrin.db ($layout): $stats"
    # The ranking reads KolrinK.dat while the option is on.
    printf '1,"KolrinR","2001/12/02 21:05"\r\n' >"$dir/KolrinR.dat"
    stamp=$(tail -n1 "$dir/KolrinK.dat" | cut -d, -f3 | tr -d '"\r\n')
    open_ranking "$win"
    printf 'Level 4r\tE2E    \t\t%s\r\n' "$stamp" >"$work/expected"
    xclip -o -selection clipboard >"$work/clip" || fail "clipboard unreadable"
    cmp "$work/expected" "$work/clip" || fail "ranking ($layout): $(od -c "$work/clip" | head -5)"
    close_ranking
    quit_game "$win" "$pid"
    note "$layout: typed by key codes, level 4 in KolrinK.dat"
  done
  ;;
pauses)
  # A level-1 game with pauses at odd moments of a tick: the climb takes its
  # 221 ticks of playing time, none played twice, as the game database has it.
  command -v sqlite3 >/dev/null || { echo "SKIP [$case_name]: sqlite3 is not installed"; exit 77; }
  dir=$(new_program_dir pauses)
  printf 'False\r\nFalse\r\nP\r\n' >"$dir/Kolrin.cfg"
  launch "$dir"; pid=$last_pid
  win=$(wait_window "$main_title") || fail "no main window"
  focus "$win"
  xdotool key F2
  for n in 1 2 3 4 5 6 7 8; do
    sleep "$(printf '1.%03d' $((RANDOM % 1000)))"
    xdotool key Escape                  # pause
    sleep 0.2
    xdotool key Escape                  # the count, then the climb goes on
    sleep 1.6
  done
  answer_game_over "$dir" Kolrin.dat 60
  quit_game "$win" "$pid"
  played=$(sqlite3 "$dir/Kolrin.db" 'SELECT played_ms FROM games') || fail "Kolrin.db unreadable"
  [ -n "$played" ] || fail "no game in Kolrin.db"
  note "8 pauses: $played ms of playing time, 221 ticks are 33150 ms"
  [ "$played" -ge 33117 ] && [ "$played" -le 33183 ] || fail "$played ms of playing time, not 33150 within 0.1%"
  ;;
restart)
  dir=$(new_program_dir restart)
  launch "$dir"; pid=$last_pid
  # First run: no settings, so the name is asked before the window shows.
  box=$(wait_window '^名前の入力$') || fail "no name question on the first run"
  xdotool search --onlyvisible --name "$main_title" >/dev/null 2>&1 && fail "window shown before the name"
  focus "$box"
  xdotool type --delay 20 "Hanako"
  xdotool key Return
  win=$(wait_window "$main_title") || fail "no main window"
  focus "$win"
  xdotool key alt+o; sleep 0.3; xdotool key Return   # ローマ字 on
  quit_game "$win" "$pid"
  [ "$(od -An -c "$dir/Kolrin.cfg" | tr -d ' \n')" = 'True\r\nTrue\r\nHanako\r\n' ] \
    || fail "settings after the first run: $(od -c "$dir/Kolrin.cfg")"
  # Second run: the name question shows the saved name; Escape empties it.
  launch "$dir"; pid=$last_pid
  box=$(wait_window '^名前の入力$') || fail "no name question on the second run"
  focus "$box"
  xdotool key Escape
  win=$(wait_window "$main_title") || fail "no main window"
  quit_game "$win" "$pid"
  [ "$(od -An -c "$dir/Kolrin.cfg" | tr -d ' \n')" = 'True\r\nTrue\r\n\r\n' ] \
    || fail "settings after the second run: $(od -c "$dir/Kolrin.cfg")"
  ;;
killed)
  # Killed mid-game at several moments: the next start is not refused, the
  # settings stay whole and the result file holds only whole records.
  dir=$(new_program_dir killed)
  printf '\xb6\r\n@\r\nKA\r\n@\r\n' >"$dir/Romaji.tbl"
  printf 'False\r\nTrue\r\nK\r\n' >"$dir/Kolrin.cfg"
  cfg=$(od -An -c "$dir/Kolrin.cfg")
  for delay in 0.2 1.0 3.3 5.6; do
    launch "$dir"; pid=$last_pid
    win=$(wait_window "$main_title") || fail "start refused after a kill"
    focus "$win"
    # Level 21 ends in 11 ticks, so games end and records are written while
    # the kill may land.
    xdotool key F2
    xdotool type --delay 5 "$(printf 'ka%.0s' $(seq 20))"
    sleep "$delay"
    dlg=$(xdotool search --onlyvisible --name '^リプレイ$' 2>/dev/null | head -n1 || true)
    [ -n "$dlg" ] && { focus "$dlg"; xdotool key Return; }
    kill -9 "$pid"; wait "$pid" 2>/dev/null || true
    [ "$(od -An -c "$dir/Kolrin.cfg")" = "$cfg" ] || fail "settings changed by a kill"
  done
  launch "$dir"; pid=$last_pid
  win=$(wait_window "$main_title") || fail "start refused after the last kill"
  quit_game "$win" "$pid"
  [ -s "$dir/KolrinR.dat" ] || fail "no game was recorded"
  LC_ALL=C grep -avqP '^[0-9]+,"K","[0-9/]{10} [0-9:]{5}"\r$' "$dir/KolrinR.dat" \
    && fail "a broken record: $(od -c "$dir/KolrinR.dat" | head)"
  note "$(wc -l <"$dir/KolrinR.dat") whole records after four kills"
  ;;
signals)
  # A logout, a closed terminal or Ctrl+C closes the game as its close box
  # does: the name and mode just changed are saved, no result is written for
  # the game under way, and the exit status is 0.
  for sig in TERM INT HUP; do
    dir=$(new_program_dir "sig$sig")
    printf 'False\r\nFalse\r\nOld\r\n' >"$dir/Kolrin.cfg"
    launch "$dir"; pid=$last_pid
    win=$(wait_window "$main_title") || fail "no main window"
    focus "$win"
    xdotool key F5
    box=$(wait_window '^名前の入力$') || fail "no name box"
    focus "$box"
    xdotool key ctrl+a; xdotool type --delay 20 "Sig$sig"; xdotool key Return
    sleep 0.3; focus "$win"
    xdotool key alt+o; sleep 0.3; xdotool key Return   # ローマ字 on
    xdotool key F2; sleep 0.5
    kill -s "$sig" "$pid"
    wait_exit "$pid" 5 || fail "SIG$sig did not end the game"
    status=0; wait "$pid" || status=$?
    [ "$status" = 0 ] || fail "exit status $status after SIG$sig"
    [ "$(od -An -c "$dir/Kolrin.cfg" | tr -d ' \n')" = "False\\r\\nTrue\\r\\nSig$sig\\r\\n" ] \
      || fail "settings after SIG$sig: $(od -c "$dir/Kolrin.cfg")"
    [ -e "$dir/Kolrin.dat" ] || [ -e "$dir/KolrinR.dat" ] && fail "a result was written for the game cut short"
    launch "$dir"; pid=$last_pid
    wait_window "$main_title" >/dev/null || fail "the lock was not released after SIG$sig"
    quit_game "$(wait_window "$main_title")" "$pid"
    note "SIG$sig saved the settings"
  done
  # SIGTERM while the chart reads a long result file and other programs keep
  # every core busy: the reading stops, and the game ends at once.
  dir=$(new_program_dir chart_reading)
  mkdir -p "$dir/plugins"
  cp "$(dirname "$exe")/plugins/libkolrin_progress.so" "$dir/plugins/"
  printf 'False\r\nFalse\r\nBig\r\n' >"$dir/Kolrin.cfg"
  awk 'BEGIN { for (i = 0; i < 3000000; i++) printf "5,\"Big\",\"2024/05/01 21:06\"\r\n" }' >"$dir/Kolrin.dat"
  launch "$dir"; pid=$last_pid
  win=$(wait_window "$main_title") || fail "no main window"
  focus "$win"
  xdotool key alt+v; sleep 0.3; xdotool key p
  wait_window '^成績の推移$' >/dev/null || fail "no chart"
  hogs=()
  for _ in $(seq "$(nproc)"); do
    bash -c 'while :; do :; done' &
    hogs+=($!); pids+=($!)
  done
  sleep 0.3
  started=$(date +%s%N)
  kill -s TERM "$pid"
  wait_exit "$pid" 5 || { kill "${hogs[@]}"; fail "SIGTERM waited for the chart's reading"; }
  ended=$(date +%s%N)
  kill "${hogs[@]}"
  status=0; wait "$pid" || status=$?
  [ "$status" = 0 ] || fail "exit status $status after SIGTERM with the chart open"
  ms=$(( (ended - started) / 1000000 ))
  [ "$ms" -lt 2000 ] || fail "the game took $ms ms to end while the chart was reading"
  note "SIGTERM with the chart reading and the cores busy: ended after $ms ms"
  # SIGTERM while a modal box is open: neither the box nor what would follow
  # it (the game-over dialog after the error, the box the version window shows
  # as it closes, a box saying the settings cannot be saved) holds the process.
  for box in result_error version settings_error; do
    dir=$(new_program_dir "box_$box")
    printf '\xb6\r\n@\r\nKA\r\n@\r\n' >"$dir/Romaji.tbl" # only ｶ/KA: level 21 ends in 11 ticks
    printf 'False\r\nFalse\r\nOld\r\n' >"$dir/Kolrin.cfg"
    mkdir "$dir/KolrinR.dat"                              # the result cannot be appended
    [ "$box" = settings_error ] && { rm "$dir/Kolrin.cfg"; mkdir "$dir/Kolrin.cfg"; }
    launch "$dir"; pid=$last_pid
    if [ "$box" = settings_error ]; then                  # no settings: the name is asked
      name_box=$(wait_window '^名前の入力$') || fail "no name question"
      focus "$name_box"; xdotool key Return
    fi
    win=$(wait_window "$main_title") || fail "no main window"
    focus "$win"
    xdotool key alt+o; sleep 0.3; xdotool key Return      # ローマ字 on
    if [ "$box" = version ]; then
      xdotool key alt+h; sleep 0.3; xdotool key Up Return
      wait_window 'ﾊﾞｰｼﾞｮﾝ情報$' >/dev/null || fail "no version window"
    else
      xdotool key F2
      xdotool type --delay 5 "$(printf 'ka%.0s' $(seq 20))"
      wait_window '^Kolrin$' 20 >/dev/null || fail "no box when the result could not be saved"
    fi
    kill -s TERM "$pid"
    wait_exit "$pid" 5 || fail "SIGTERM under the $box box did not end the game"
    status=0; wait "$pid" || status=$?
    [ "$status" = 0 ] || fail "exit status $status after SIGTERM under the $box box"
    if [ "$box" = settings_error ]; then
      grep -q '設定を保存できませんでした。' "$work/kolrin.log" || fail "the settings failure was not told"
    else
      [ "$(od -An -c "$dir/Kolrin.cfg" | tr -d ' \n')" = 'False\r\nTrue\r\nOld\r\n' ] \
        || fail "settings after SIGTERM under the $box box: $(od -c "$dir/Kolrin.cfg")"
    fi
    note "SIGTERM under the $box box ended the game, status 0"
  done
  ;;
disk_full)
  # The program folder on a small file system filled to the last byte.
  mnt=$work/full
  mkdir -p "$mnt"
  exe_kb=$(( $(stat -c %s "$exe") / 1024 + 512 ))
  if ! mount -t tmpfs -o "size=${exe_kb}k" tmpfs "$mnt" 2>/dev/null; then
    echo "SKIP [$case_name]: this machine does not let the test mount a tmpfs"
    exit 77
  fi
  trap 'umount "$mnt" 2>/dev/null || true; cleanup' EXIT
  cp "$exe" "$mnt/kolrin"
  cp "$data/Romaji.tbl" "$data/Kolrin.hlp" "$mnt/"
  printf 'False\r\nFalse\r\nKept\r\n' >"$mnt/Kolrin.cfg"
  # Exactly one 4 KB page of whole records, so the next record needs a page
  # the full disk no longer has.
  { for _ in $(seq 140); do printf '3,"Kept","2001/12/02 21:05"\r\n'; done
    printf '3,"KeptXXXXXXX","2001/12/02 21:05"\r\n'; } >"$mnt/Kolrin.dat"
  [ "$(stat -c %s "$mnt/Kolrin.dat")" = 4096 ] || fail "the page-sized result file is $(stat -c %s "$mnt/Kolrin.dat") bytes"
  : >"$mnt/Kolrin.lock"
  cfg_before=$(od -An -c "$mnt/Kolrin.cfg") dat_before=$(od -An -c "$mnt/Kolrin.dat")
  dd if=/dev/zero of="$mnt/filler" bs=4k 2>/dev/null || true
  launch "$mnt"; pid=$last_pid
  win=$(wait_window "$main_title") || fail "no main window on a full disk"
  for game in 1 2; do
    focus "$win"
    xdotool key F2
    box=$(wait_window '^Kolrin$' 40) || fail "no message when the result of game $game could not be written"
    sleep 0.3
    [ "$game" = 1 ] && { import -window root "$artifacts/disk-full-result.png" 2>/dev/null || true; }
    focus "$box"; xdotool key Return
    dlg=$(wait_window '^リプレイ$' 5) || fail "no game-over dialog after the message"
    focus "$dlg"; xdotool key Tab Return
    # The game database finds no room either: the game is kept, and the box
    # saying so, once the dialog is gone, comes once.
    if [ "$game" = 1 ]; then
      box=$(wait_window '^Kolrin$' 5) || fail "no message when the game could not be recorded"
      focus "$box"; xdotool key Return; sleep 0.3
    else
      ! wait_window '^Kolrin$' 3 >/dev/null || fail "the kept games were told twice"
    fi
  done
  [ "$(od -An -c "$mnt/Kolrin.dat")" = "$dat_before" ] || fail "Kolrin.dat changed: $(od -c "$mnt/Kolrin.dat")"
  ! ls "$mnt"/Kolrin.db.broken-* >/dev/null 2>&1 || fail "a full disk took the database for a damaged one"
  # Room again: both games reach the database without another game.
  rm "$mnt/filler"
  games=0
  for _ in $(seq 60); do
    games=$(sqlite3 -readonly "$mnt/Kolrin.db" 'SELECT count(*) FROM games' 2>/dev/null || echo 0)
    [ "$games" = 2 ] && break
    sleep 0.25
  done
  [ "$games" = 2 ] || fail "$games games recorded once the disk had room again, not 2"
  ! wait_window '^Kolrin$' 1 >/dev/null || fail "a box when the kept games were recorded"
  dd if=/dev/zero of="$mnt/filler" bs=4k 2>/dev/null || true
  # A new name makes the settings worth saving at the close.
  focus "$win"; xdotool key F5
  box=$(wait_window '^名前の入力$') || fail "no name box"
  focus "$box"; xdotool key ctrl+a; xdotool type --delay 20 "New"; xdotool key Return
  sleep 0.3; focus "$win"
  xdotool key alt+g; sleep 0.3; xdotool key x
  box=$(wait_window '^Kolrin$' 5) || fail "no message when the settings could not be saved"
  focus "$box"; xdotool key Return
  wait_exit "$pid" 5 || fail "the program did not end after the message"
  [ "$(od -An -c "$mnt/Kolrin.cfg")" = "$cfg_before" ] || fail "Kolrin.cfg changed: $(od -c "$mnt/Kolrin.cfg")"
  leftovers=$(find "$mnt" -name '.Kolrin*' | wc -l)
  [ "$leftovers" = 0 ] || fail "temporary files left behind: $(ls -a "$mnt")"
  note "full disk: Kolrin.cfg and Kolrin.dat unchanged, the failures told, both games recorded once there was room"
  ;;
installed)
  # A per-user install: launcher on the PATH, program folder writable.
  prefix=$work/home/.local
  cmake --install "$(dirname "$exe")" --prefix "$prefix" >"$work/install.log" \
    || fail "install failed: $(tail -n3 "$work/install.log")"
  entry=$prefix/share/applications/jp.example.ruzo.Kolrin.desktop
  for f in bin/kolrin lib/kolrin/kolrin lib/kolrin/Romaji.tbl lib/kolrin/Kolrin.hlp \
           share/applications/jp.example.ruzo.Kolrin.desktop \
           share/metainfo/jp.example.ruzo.Kolrin.metainfo.xml \
           share/icons/hicolor/32x32/apps/kolrin.png share/icons/hicolor/256x256/apps/kolrin.png \
           share/man/man6/kolrin.6.gz share/man/ja/man6/kolrin.6.gz; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
  done
  # The menu entry names the launcher, which the PATH finds under any prefix.
  command=$(sed -n 's/^Exec=//p' "$entry")
  [ "$command" = kolrin ] || fail "menu entry does not start the launcher: $command"
  (cd "$work" && HOME=$work/home PATH="$prefix/bin:$PATH" exec env -u XDG_DATA_HOME $command \
     >>"$work/kolrin.log" 2>&1) &
  pids+=($!); pid=$!
  box=$(wait_window '^名前の入力$') || fail "the installed program did not start"
  focus "$box"; xdotool type "Inst"; xdotool key Return
  win=$(wait_window "$main_title") || fail "no main window"
  quit_game "$win" "$pid"
  [ "$(od -An -c "$prefix/lib/kolrin/Kolrin.cfg" | tr -d ' \n')" = 'True\r\nFalse\r\nInst\r\n' ] \
    || fail "settings not kept in the program folder"
  [ -e "$work/home/.local/share/kolrin" ] && fail "a writable copy made a data folder"
  ;;
destdir)
  # Staged as a packager stages it: nothing may land in the prefix itself.
  prefix=$work/prefix stage=$work/stage
  mkdir -p "$prefix"
  DESTDIR=$stage cmake --install "$(dirname "$exe")" --prefix "$prefix" >"$work/install.log" \
    || fail "install failed: $(tail -n3 "$work/install.log")"
  [ -z "$(ls -A "$prefix")" ] || fail "written outside DESTDIR: $(ls -A "$prefix")"
  outside=$(find "$stage" -mindepth 1 ! -type d ! -path "$stage$prefix/*")
  [ -z "$outside" ] || fail "staged outside the prefix: $outside"
  [ "$(readlink "$stage$prefix/bin/kolrin")" = ../lib/kolrin/kolrin ] \
    || fail "launcher: $(ls -l "$stage$prefix/bin/kolrin")"
  note "$(find "$stage" ! -type d | wc -l) files staged, none outside"
  ;;
command_line)
  # Answered in a terminal with no display at all, touching no file: no lock,
  # no data folder, no settings.
  dir=$(new_program_dir cli)
  home=$work/home
  mkdir -p "$home"
  before=$(snapshot "$dir"; snapshot "$home")
  run_bare() { # arguments
    (cd "$dir" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM \
        -u XDG_DATA_HOME HOME="$home" ./kolrin "$@" >"$work/out" 2>"$work/err")
  }
  for option in --help -h --version -v; do
    status=0; run_bare "$option" || status=$?
    [ "$status" = 0 ] || fail "$option: exit status $status: $(cat "$work/err")"
    [ -s "$work/err" ] && fail "$option wrote on stderr: $(cat "$work/err")"
    case $option in
    *h*) grep -q '^Usage: kolrin \[options\]$' "$work/out" && grep -q -- '-v, --version' "$work/out" \
           || fail "$option: $(cat "$work/out")" ;;
    *) [ "$(cat "$work/out")" = "kolrin $version" ] || fail "$option: $(cat "$work/out")" ;;
    esac
  done
  # Unknown options and arguments, then no display: one line on stderr each.
  for args in "--bogus 2" "-x 2" "stray 2" "--help=yes 2" " 1"; do
    status=0; run_bare ${args% *} || status=$?
    [ "$status" = "${args##* }" ] || fail "'${args% *}': exit status $status, not ${args##* }"
    [ -s "$work/out" ] && fail "'${args% *}' wrote on stdout: $(cat "$work/out")"
    grep -q '^kolrin: ' "$work/err" || fail "'${args% *}': $(cat "$work/err")"
    note "'${args% *}' → $status: $(head -n1 "$work/err")"
  done
  [ "$(wc -l <"$work/err")" = 1 ] || fail "no display: $(cat "$work/err")"
  # A display or platform Qt cannot open: one line and status 1, no abort.
  stale=90
  while [ -e "/tmp/.X11-unix/X$stale" ] || [ -e "/tmp/.X$stale-lock" ]; do stale=$((stale + 1)); done
  for args in "-platform nonsense" "QT_QPA_PLATFORM=nonsense" "-display nonsense:99" "DISPLAY=:$stale"; do
    status=0
    case $args in
    -*) run_bare $args || status=$? ;;
    *) (cd "$dir" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM \
          -u XDG_DATA_HOME HOME="$home" "$args" ./kolrin >"$work/out" 2>"$work/err") || status=$? ;;
    esac
    [ "$status" = 1 ] || fail "'$args': exit status $status, not 1: $(head -n3 "$work/err")"
    [ -s "$work/out" ] && fail "'$args' wrote on stdout: $(cat "$work/out")"
    [ "$(wc -l <"$work/err")" = 1 ] && grep -q '^kolrin: cannot open a window: ' "$work/err" \
      || fail "'$args': $(cat "$work/err")"
    note "'$args' → $status: $(cat "$work/err")"
  done
  # An answer nobody could read is a failure, told where it can be.
  if [ -w /dev/full ]; then
    for option in --help --version; do
      status=0
      (cd "$dir" && exec env -u DISPLAY HOME="$home" ./kolrin "$option" >/dev/full 2>"$work/err") || status=$?
      [ "$status" != 0 ] || fail "$option into a full disk: exit status 0"
      grep -q '^kolrin: ' "$work/err" || fail "$option into a full disk told nothing: $(cat "$work/err")"
      note "$option into /dev/full → $status: $(cat "$work/err")"
    done
  fi
  after=$(snapshot "$dir"; snapshot "$home")
  [ "$after" = "$before" ] || fail "files written: $(diff <(echo "$before") <(echo "$after"))"
  ;;
wayland)
  # A headless Wayland compositor of the test's own: the window shows there,
  # asked for by name and chosen by the program when there is no X display.
  command -v weston >/dev/null || { echo "SKIP [$case_name]: weston missing"; exit 77; }
  run=$work/run socket=kolrin-e2e-$$
  mkdir -m 700 "$run"
  XDG_RUNTIME_DIR=$run weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
    --no-config >"$work/weston.log" 2>&1 &
  weston_pid=$!
  for _ in $(seq 100); do
    [ -S "$run/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.05
  done
  [ -S "$run/$socket" ] || { echo "SKIP [$case_name]: weston did not start: $(tail -n3 "$work/weston.log")"; exit 77; }
  for platform in wayland ""; do
    dir=$(new_program_dir "wayland-${platform:-chosen}")
    printf 'False\r\nFalse\r\nWay\r\n' >"$dir/Kolrin.cfg"
    touch -d 2001-12-02 "$dir/Kolrin.cfg"
    : >"$work/kolrin.log"
    (cd "$dir" && exec env -u DISPLAY -u QT_QPA_PLATFORM ${platform:+QT_QPA_PLATFORM=$platform} \
        XDG_RUNTIME_DIR="$run" WAYLAND_DISPLAY="$socket" WAYLAND_DEBUG=client ./kolrin \
        >>"$work/kolrin.log" 2>&1) &
    pid=$!; pids+=($pid)
    # The main window's surface is named, then given its first picture.
    shown=""
    for _ in $(seq 200); do
      shown=$(sed -n '/set_title("Kolrin(Typing Zuvel)")/,$p' "$work/kolrin.log" \
                | grep -m1 -o 'wl_surface@[0-9]*\.attach(wl_buffer@[0-9]*' || true)
      [ -n "$shown" ] && break
      sleep 0.05
    done
    [ -n "$shown" ] || fail "no window titled Kolrin(Typing Zuvel) shown on Wayland"
    sleep 0.5
    kill -TERM "$pid"
    wait_exit "$pid" 5 || fail "SIGTERM did not end the game on Wayland"
    status=0; wait "$pid" || status=$?
    [ "$status" = 0 ] || fail "exit status $status on Wayland"
    [ "$(stat -c %Y "$dir/Kolrin.cfg")" -gt "$(date -d 2001-12-03 +%s)" ] || fail "settings not saved"
    [ "$(od -An -c "$dir/Kolrin.cfg" | tr -d ' \n')" = 'False\r\nFalse\r\nWay\r\n' ] \
      || fail "settings: $(od -c "$dir/Kolrin.cfg")"
    note "Wayland (${platform:-chosen by the program}): window shown, settings saved"
  done
  ;;
sound)
  # A private PulseAudio server whose only sink records nothing but can be
  # listened to through its monitor. A stream of zeros keeps the sink running,
  # so the recording grows with the clock and its length when a key is sent
  # places the key in it.
  command -v pulseaudio >/dev/null && command -v parec >/dev/null \
    || { echo "SKIP [$case_name]: pulseaudio or parec is not installed"; exit 77; }
  pa=$work/pa
  mkdir -p "$pa/home" "$pa/run"
  HOME=$pa/home XDG_RUNTIME_DIR=$pa/run pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --disable-shm=yes --use-pid-file=no --log-target=stderr \
    -L "module-null-sink sink_name=kolrin rate=16000 channels=1" \
    -L "module-native-protocol-unix socket=$pa/native auth-anonymous=1" >"$work/pulseaudio.log" 2>&1 &
  pa_pid=$!
  pids+=($pa_pid)
  export PULSE_SERVER=unix:$pa/native
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
  pactl info >/dev/null 2>&1 || { echo "SKIP [$case_name]: no audio server could start"; exit 77; }
  pacat --raw --format=s16le --rate=16000 --channels=1 --latency-msec=10 -d kolrin </dev/zero &
  pids+=($!)
  dir=$(new_program_dir sound)
  mkdir -p "$dir/plugins"
  cp "$(dirname "$exe")/plugins/libkolrin_sound.so" "$dir/plugins/"
  printf '\xb6\r\n@\r\nKA\r\n@\r\n' >"$dir/Romaji.tbl"
  printf 'False\r\nTrue\r\nS\r\n' >"$dir/Kolrin.cfg"
  # Plays three misses and a prompt (a click, then its chime) with the option
  # on or off; the recording is left in $work/$1.raw (16 kHz mono), its
  # lengths at the five keys in $marks.
  play_recorded() { # name
    launch "$dir"; pid=$last_pid
    win=$(wait_window "$main_title") || fail "no main window"
    focus "$win"
    maps=$(grep -c -e libQt6Multimedia -e libkolrin_sound "/proc/$pid/maps" || true)
    parec --raw --format=s16le --rate=16000 --channels=1 --latency-msec=5 -d kolrin.monitor \
      >"$work/$1.raw" &
    local rec=$!
    until [ "$(stat -c %s "$work/$1.raw")" -gt 16000 ]; do sleep 0.01; done
    marks=""
    for key in x x x k a; do              # the prompt is KA: x is a miss
      marks="$marks $(( $(stat -c %s "$work/$1.raw") / 2 ))"
      xdotool key $key
      sleep 0.4
    done
    sleep 0.4
    kill "$rec"; wait "$rec" 2>/dev/null || true
    quit_game "$win" "$pid"
  }
  # Milliseconds from each mark to the first sample louder than the silence
  # of a null sink; -1 when silent until the next mark.
  delays() { # recording
    od -An -v -td2 -w2 "$1" | awk -v marks="$marks" '
      BEGIN { n = split(marks, m, " "); m[n + 1] = 1e12; k = 1 }
      { v = $1 < 0 ? -$1 : $1; i = NR - 1
        while (k <= n && i >= m[k + 1]) { if (!(k in d)) d[k] = -1; k++ }
        if (k <= n && v > 300 && !(k in d)) d[k] = (i - m[k]) / 16 }
      END { for (j = 1; j <= n; j++) printf "%s ", (j in d) ? d[j] : -1 }'
  }
  # What was heard after each mark, in ms: from its first loud sample to its
  # last, and how long it was loud; then its energy (the squares of the
  # samples, full scale 1, in seconds).
  sounds() { # recording
    od -An -v -td2 -w2 "$1" | awk -v marks="$marks" '
      BEGIN { n = split(marks, m, " "); m[n + 1] = 1e12; k = 0 }
      { i = NR - 1
        while (k < n && i >= m[k + 1]) k++
        if (k < 1) next
        e[k] += ($1 / 32768) ^ 2 / 16000
        if ($1 > 300 || $1 < -300) { if (!(k in f)) f[k] = i; l[k] = i; loud[k]++ } }
      END { for (j = 1; j <= n; j++)
              printf "%d:%d:%.6f ", (j in f) ? (l[j] - f[j]) / 16 : -1, loud[j] / 16, e[j] }'
  }

  printf '[Options]\nSound=true\n' >"$dir/Kolrin.ini"
  play_recorded on
  [ "$maps" -gt 0 ] || fail "the sound library is not loaded with the option on"
  heard=$(delays "$work/on.raw")
  note "with the option on, sound this many ms after each key: $heard"
  # Every key heard; the machine is shared, so one within the limit shows
  # what the program does, the others may have waited for a core.
  echo "$heard" | awk '{ for (i = 1; i <= NF; i++) { silent += $i < 0; b = (i == 1 || $i < b) ? $i : b } }
    END { exit silent || !(b <= 100) }' || fail "a key not heard, or none within 100 ms: $heard"
  # Each sound whole, as long and as loud as the program makes it: a buzz of
  # 140 ms, a click of 15 and a chime of 450, loud (over the threshold above)
  # for 138, 9 and 347 ms at 16 kHz, with the energies of their samples. A
  # busy machine may leave gaps in a sound, so its span may grow a little.
  heard=$(sounds "$work/on.raw")
  note "span, loud time (ms) and energy of each: $heard"
  echo "$heard" | awk '
    function whole(s, length_ms, loud_ms, energy) {
      split(s, f, ":")
      return f[1] >= length_ms - 20 && f[1] <= length_ms + 200 \
        && f[2] >= loud_ms * 0.85 - 3 && f[2] <= loud_ms * 1.15 + 3 \
        && f[3] >= energy * 0.7 && f[3] <= energy * 1.4 }
    { exit !(whole($1, 139, 138, 0.001966) && whole($2, 139, 138, 0.001966) && whole($3, 139, 138, 0.001966) \
             && whole($4, 12, 9, 0.000014) && whole($5, 447, 347, 0.001906)) }' \
    || fail "a sound cut, smeared or of the wrong strength: $heard"

  printf '[Options]\nSound=false\n' >"$dir/Kolrin.ini"
  play_recorded off
  [ "$maps" = 0 ] || fail "Qt Multimedia or the sound library is loaded with the option off"
  [ "$(delays "$work/off.raw")" = "-1 -1 -1 -1 -1 " ] || fail "heard with the option off"
  note "with the option off: nothing loaded, nothing heard"

  # No audio server at all: silence, and the game goes on without a word.
  printf '[Options]\nSound=true\n' >"$dir/Kolrin.ini"
  PULSE_SERVER=unix:$work/none launch "$dir"; pid=$last_pid
  win=$(wait_window "$main_title") || fail "no main window without an audio server"
  focus "$win"
  xdotool key x; xdotool type --delay 50 ka
  sleep 0.5
  [ "$(main_windows)" = 1 ] && ! xdotool search --onlyvisible --name '^Kolrin$' >/dev/null 2>&1 \
    || fail "a message showed without an audio server"
  quit_game "$win" "$pid"

  # The audio server hangs (stopped) with the game's stream open: the game
  # closes within a second all the same, and a new start is not refused.
  launch "$dir"; pid=$last_pid
  win=$(wait_window "$main_title") || fail "no main window"
  focus "$win"
  xdotool key x
  sleep 0.3
  kill -STOP "$pa_pid"
  for round in "stream open" "server found stopped"; do
    focus "$win"
    xdotool key alt+g; sleep 0.3
    started=$(date +%s%N)
    xdotool key x
    wait_exit "$pid" 10 || fail "the game did not end with the audio server hung ($round)"
    took=$(( ($(date +%s%N) - started) / 1000000 ))
    status=0; wait "$pid" || status=$?
    note "with the audio server hung ($round): closed in $took ms, status $status"
    [ "$took" -le 1000 ] || fail "closing waited $took ms for the hung audio server ($round)"
    [ "$status" = 0 ] || fail "exit status $status with the audio server hung ($round)"
    launch "$dir"; pid=$last_pid
    win=$(wait_window "$main_title") || fail "a start after the close with the audio server hung was refused"
    sleep 0.5
  done
  kill -CONT "$pa_pid"
  quit_game "$win" "$pid"
  ;;
package_build)
  rm -rf "$pkgdir"
  (cd "$(dirname "$exe")" && cpack -G DEB -B "$pkgdir" >"$work/cpack.log" 2>&1) \
    || fail "cpack failed: $(tail -n5 "$work/cpack.log")"
  deb=$(ls "$pkgdir"/kolrin_*.deb) || fail "no package made"
  dpkg-deb -f "$deb" Depends >"$work/depends"
  for dep in fonts-ipafont-gothic libqt6gui6 libqt6widgets6 libqt6charts6 libqt6multimedia6 libqt6sql6 libqt6sql6-sqlite; do
    grep -qw "$dep" "$work/depends" || fail "$dep missing from Depends: $(cat "$work/depends")"
  done
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
  dpkg-deb -f "$deb" Recommends | grep -qw qt6-wayland || fail "qt6-wayland not recommended"
  dpkg-deb -f "$deb" Recommends | grep -qw libqt6sql6-psql || fail "libqt6sql6-psql not recommended"
  root=$work/root
  dpkg-deb -x "$deb" "$root"
  for f in usr/lib/kolrin/kolrin usr/lib/kolrin/plugins/libkolrin_progress.so \
           usr/lib/kolrin/plugins/libkolrin_sound.so \
           usr/lib/kolrin/Romaji.tbl usr/lib/kolrin/Kolrin.hlp \
           usr/share/applications/jp.example.ruzo.Kolrin.desktop \
           usr/share/metainfo/jp.example.ruzo.Kolrin.metainfo.xml \
           usr/share/icons/hicolor/48x48/apps/kolrin.png \
           usr/share/doc/kolrin/copyright usr/share/doc/kolrin/changelog.gz \
           usr/share/man/man6/kolrin.6.gz usr/share/man/ja/man6/kolrin.6.gz; do
    [ -f "$root/$f" ] || fail "not in the package: $f"
  done
  [ "$(readlink "$root/usr/bin/kolrin")" = ../lib/kolrin/kolrin ] || fail "no launcher in /usr/bin"
  for f in usr/lib/kolrin/kolrin usr/lib/kolrin/plugins/libkolrin_progress.so; do
    file -L "$root/$f" | grep -q ', stripped' || fail "not stripped: $f"
  done
  # The checks a Debian packager runs, where they are installed.
  if command -v hardening-check >/dev/null; then
    binaries=("$root/usr/lib/kolrin/kolrin" "$root/usr/lib/kolrin/plugins/libkolrin_progress.so")
    # A program shows control-flow protection only when every object linked
    # into it has it, and Debian 12's C start files do not (/usr/bin/ls shows
    # none either): there, look for the marks at the branch targets instead.
    cf=()
    if ! readelf -n "$(c++ -print-file-name=Scrt1.o)" | grep -q 'IBT, SHSTK'; then
      cf=(--nocfprotection)
      for f in "${binaries[@]}"; do
        [ "$(objdump -d "$f" | grep -c endbr64)" -gt 0 ] || fail "no control-flow protection in $f"
      done
    fi
    hardening-check "${cf[@]}" "${binaries[@]}" >"$work/hardening.log" 2>&1 \
      || fail "hardening-check: $(cat "$work/hardening.log")"
    # It knows stack clash probes only in their variable-size form; the
    # large frames here (a 64 KB read buffer among them) have the fixed-size form.
    for f in "${binaries[@]}"; do
      objdump -d --no-show-raw-insn -M intel "$f" | grep -A1 -E 'sub +rsp,0x1000$' >"$work/probes"
      grep -q -E 'or +QWORD PTR \[rsp\],0x0' "$work/probes" || fail "no stack clash probes in $f"
    done
    note "hardening-check ${cf[*]}: $(grep -c ': yes' "$work/hardening.log") checks passed"
  fi
  if command -v lintian >/dev/null; then
    # It exits 1 on an error tag, which the line below reports; more is its own failure.
    status=0
    lintian --tag-display-limit 0 -I --pedantic "$deb" >"$work/lintian.log" 2>"$work/lintian.err" \
      || status=$?
    [ "$status" -le 1 ] || fail "lintian failed ($status): $(tail -n5 "$work/lintian.err")"
    ! grep -E '^[EW]: |hardening' "$work/lintian.log" || fail "lintian: $(cat "$work/lintian.log")"
    note "lintian -I --pedantic: $(grep -c . "$work/lintian.log") tags, no error, warning or hardening tag"
  fi
  # The metadata as the software centre reads it, with the entry and icon it names.
  appstreamcli validate-tree --no-net "$root" >"$work/appstream.log" 2>&1 \
    || fail "AppStream: $(cat "$work/appstream.log")"
  note "$(basename "$deb"): $(cat "$work/depends")"
  ;;
package_play)
  # The installed game for an ordinary player: their files go to their home.
  unpack_package
  new_player
  data=$home/.local/share/kolrin
  launch_player; pid=$last_pid
  box=$(wait_window '^名前の入力$') || fail "the unpacked program did not start"
  focus "$box"; xdotool type "Pkg"; xdotool key Return
  win=$(wait_window "$main_title") || fail "no main window"
  focus "$win"
  xdotool key F2
  xdotool type --delay 15 "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"
  answer_game_over "$data" Kolrin.dat 40
  # The chart of progress comes from its library beside the installed program.
  focus "$win"; xdotool key alt+v; sleep 0.3; xdotool key Down Return
  wait_window '^成績の推移$' 5 >/dev/null || fail "the chart of progress did not open"
  quit_game "$win" "$pid"
  [ "$(od -An -c "$data/Kolrin.cfg" | tr -d ' \n')" = 'True\r\nFalse\r\nPkg\r\n' ] \
    || fail "settings: $(od -c "$data/Kolrin.cfg" 2>&1 | head -3)"
  check_result_line "$data/Kolrin.dat" '([2-9]|[1-9][0-9]+)' Pkg
  [ "$(ls "$data" | tr '\n' ' ')" = 'Kolrin.cfg Kolrin.dat Kolrin.db Kolrin.lock ' ] \
    || fail "data folder holds: $(ls "$data")"
  root_unchanged
  note "$(tail -n1 "$data/Kolrin.dat" | tr -d '\r') in $data"
  ;;
package_own_table)
  # A word list in the player's data folder (found through XDG_DATA_HOME)
  # replaces the shipped one: only ｶ/KA can be drawn.
  unpack_package
  new_player
  data=$home/xdg-data/kolrin
  mkdir -p "$data"
  printf '\xb6\r\n@\r\nKA\r\n@\r\n' >"$data/Romaji.tbl"
  printf 'False\r\nTrue\r\nX\r\n' >"$data/Kolrin.cfg"
  [ "$(id -u)" -eq 0 ] && chown -R 65534:65534 "$home"
  launch_player XDG_DATA_HOME="$home/xdg-data"; pid=$last_pid
  win=$(wait_window "$main_title") || fail "no main window"
  focus "$win"
  xdotool key Return
  xdotool type --delay 30 "kakaka"
  answer_game_over "$data" KolrinR.dat 20
  quit_game "$win" "$pid"
  LC_ALL=C grep -qaP '^4,"X","' "$data/KolrinR.dat" || fail "level 4 not recorded: $(od -c "$data/KolrinR.dat")"
  [ -e "$home/.local" ] && fail "wrote under ~/.local despite XDG_DATA_HOME"
  root_unchanged
  ;;
*)
  fail "unknown case"
  ;;
esac
note "passed"
