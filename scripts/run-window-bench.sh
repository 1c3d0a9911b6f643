#!/usr/bin/env bash
# The game as a player runs it, side by side with GNOME Sudoku where that is installed (it is only
# measured here, never needed): each started in a window under openbox on an Xvfb screen of
# 1920 x 1080 and of 3840 x 2160 at scale 2, an Easy game chosen, then the memory the process
# holds (VmRSS and Pss from /proc) and the time from starting it to its window on the screen.
# A bare Qt window (bench/bare_window.cpp) is measured the same way, its Options menu opened and
# closed: what it holds is Qt's part of the game's figures.
#   scripts/run-window-bench.sh [builddir]
# Environment: WINDOW_RUNS (runs of each program at each size, default 5), WINDOW_WARMUP (runs
# before those, not counted, default 1: GNOME Sudoku's first start on a new cache compiles its
# shaders, which a player's next start finds done).
set -euo pipefail

build="${1:-build}"
runs="${WINDOW_RUNS:-5}"
warmup="${WINDOW_WARMUP:-1}"
game="$build/bin/cellwright"
bare="$build/bin/cellwright_bare_window"
sudoku="$(command -v gnome-sudoku || true)"
[ -z "$sudoku" ] && [ -x /usr/games/gnome-sudoku ] && sudoku=/usr/games/gnome-sudoku

for tool in Xvfb openbox xdotool xprop dbus-daemon; do
  if ! command -v "$tool" >/dev/null; then
    echo "run-window-bench: '$tool' is missing (scripts/install-deps.sh), so no window figures" >&2
    exit 0
  fi
done
if [ ! -x "$game" ]; then
  echo "run-window-bench: no $game; build first" >&2
  exit 1
fi

TMP="$(mktemp -d)"
pids=() # what this script started and has not stopped yet, stopped by id
stop() {
  local pid
  for pid in "$@"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
cleanup() {
  set +e
  stop "${pids[@]}"
  rm -rf "$TMP"
}
trap cleanup EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Both programs get the same empty home for their settings and saved games, and one private
# session bus per screen.
for d in data config cache state runtime; do mkdir -p "$TMP/$d"; done
chmod 700 "$TMP/runtime"
export XDG_DATA_HOME="$TMP/data" XDG_CONFIG_HOME="$TMP/config" XDG_CACHE_HOME="$TMP/cache"
export XDG_STATE_HOME="$TMP/state" XDG_RUNTIME_DIR="$TMP/runtime" GSETTINGS_BACKEND=memory
unset WAYLAND_DISPLAY

# One run: starts the program, waits for its window (the first frame), chooses Easy, reads the
# memory and prints "rss_mib pss_mib first_frame_ms", or nothing when the window never came.
run_once() { # name title-pattern easy-keys command...
  local name=$1 title=$2 keys=$3
  shift 3
  local started window="" pid=""
  started=$(now_ms)
  "$@" >>"$TMP/$name.log" 2>&1 &
  local launched=$!
  pids+=("$launched")
  for _ in $(seq 1000); do
    window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.01
  done
  local shown
  shown=$(now_ms)
  if [ -n "$window" ]; then
    pid=$(xdotool getwindowpid "$window" 2>/dev/null || echo "$launched")
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.3
    # shellcheck disable=SC2086 # the keys are meant to split
    xdotool key --delay 150 $keys
    sleep 1
    awk '/^Rss:/ { rss = $2 } /^Pss:/ { pss = $2 } END { if (rss) printf "%.1f %.1f ", rss / 1024, pss / 1024 }' \
      "/proc/$pid/smaps_rollup" 2>/dev/null || true
    echo "$((shown - started))"
  fi
  stop "$launched"
  unset 'pids[-1]'
}

row() { printf '%-26s %-14s %10s %10s %12s   %s\n' "$@"; }

echo
echo "in a window under openbox on Xvfb, an Easy game chosen ($runs runs each after $warmup not counted;"
echo "medians, then every run's RSS; first frame: from the start to the window on the screen)"
row "screen" "program" "RSS MiB" "PSS MiB" "first frame" "RSS of each run"
for screen in "1920x1080 1" "3840x2160 2"; do
  read -r size scale <<<"$screen"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$TMP/display" >/dev/null 2>&1 &
  xvfb=$!
  pids+=("$xvfb")
  for _ in $(seq 100); do
    grep -q . "$TMP/display" && break
    sleep 0.05
  done
  DISPLAY=":$(head -n1 "$TMP/display")"
  export DISPLAY
  : >"$TMP/display"
  dbus-daemon --session --nofork --print-address=4 4>"$TMP/bus" >/dev/null 2>&1 &
  bus=$!
  pids+=("$bus")
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  pids+=("$wm")
  for _ in $(seq 100); do
    grep -q . "$TMP/bus" && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
    sleep 0.05
  done
  DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$TMP/bus")"
  export DBUS_SESSION_BUS_ADDRESS

  programs=("cellwright")
  [ -x "$bare" ] && programs+=("bare-qt-window")
  [ -n "$sudoku" ] && programs+=("gnome-sudoku")
  for program in "${programs[@]}"; do
    : >"$TMP/figures"
    for ((i = 0; i < warmup + runs; i++)); do
      ((i == warmup)) && : >"$TMP/figures"
      if [ "$program" = cellwright ]; then
        # Alt opens the menu bar, Right goes to Options, Down opens it on "Easy - Lots of Clues".
        run_once "$program" 'Version QV317$' "alt Right Down Return" \
          env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$game" >>"$TMP/figures"
      elif [ "$program" = bare-qt-window ]; then
        run_once "$program" '^Bare Qt window$' "alt Right Down Escape Escape" \
          env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$bare" >>"$TMP/figures"
      else
        # It opens on its list of difficulties with Easy chosen.
        run_once "$program" '^Select Difficulty$' "Return" \
          env GDK_BACKEND=x11 GDK_SCALE="$scale" "$sudoku" >>"$TMP/figures"
      fi
    done
    label="$size"
    [ "$scale" != 1 ] && label="$size at scale $scale"
    if [ -s "$TMP/figures" ] && [ "$(awk 'NF == 3' "$TMP/figures" | wc -l)" -gt 0 ]; then
      row "$label" "$program" "$(awk 'NF == 3 { print $1 }' "$TMP/figures" | median)" \
        "$(awk 'NF == 3 { print $2 }' "$TMP/figures" | median)" \
        "$(awk 'NF == 3 { print $3 }' "$TMP/figures" | median) ms" \
        "$(awk 'NF == 3 { printf "%s ", $1 }' "$TMP/figures")"
    else
      echo "run-window-bench: $program showed no window on the $label screen:" >&2
      tail -n 5 "$TMP/$program.log" >&2
    fi
  done
  stop "$wm" "$bus" "$xvfb"
  pids=()
done
[ -n "$sudoku" ] || echo "run-window-bench: GNOME Sudoku is not installed, so no side-by-side figures" >&2
