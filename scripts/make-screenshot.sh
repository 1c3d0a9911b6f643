#!/usr/bin/env bash
# Takes the screenshot that the AppStream metainfo shows (resources/screenshot/easy-game.png):
# the built game on a 1366 x 768 Xvfb screen, an Easy game just started. The puzzle is a new one
# every time. The build does not run this script; its output is committed.
#
#   scripts/make-screenshot.sh [BUILD_DIR]      (default: build)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$ROOT/build}"
PROGRAM="$BUILD/bin/cellwright"
OUT="$ROOT/resources/screenshot/easy-game.png"

for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "make-screenshot: '$tool' is needed (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -x "$PROGRAM" ] || { echo "make-screenshot: no $PROGRAM: build the game first" >&2; exit 1; }

TMP="$(mktemp -d)"
XVFB_PID=""
GAME_PID=""
cleanup() {
    # Only the processes started here, by their ids: other programs on this machine may run the
    # same ones. wait returns the killed process's status, so errexit is off here.
    set +e
    for pid in $GAME_PID $XVFB_PID; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$TMP"
}
trap cleanup EXIT

# Polls "$@" ten times a second for up to $1 seconds.
wait_for() {
    local seconds=$1
    shift
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Xvfb chooses a free display number itself and writes it to fd 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$TMP/display" >/dev/null 2>&1 &
XVFB_PID=$!
wait_for 10 grep -q . "$TMP/display" || { echo "make-screenshot: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$TMP/display")"
unset WAYLAND_DISPLAY

QT_QPA_PLATFORM=xcb "$PROGRAM" >"$TMP/game.log" 2>&1 &
GAME_PID=$!
main_window() { xdotool search --name '^Cellwright - ' 2>/dev/null | head -n1 | grep .; }
wait_for 20 main_window >/dev/null || { echo "make-screenshot: the game window did not appear" >&2; exit 1; }
xdotool windowfocus --sync "$(main_window)"

# Alt selects the menu bar's first menu; Right moves to Options, Down opens it on its first item,
# "Easy - Lots of Clues".
xdotool key --delay 200 alt Right Down Return

# The board is up once the puzzle's red numerals are on screen.
red_fraction() {
    import -window root "$TMP/shot.png"
    convert "$TMP/shot.png" -fuzz 3% -fill black +opaque '#ff0000' -fill white -opaque '#ff0000' \
        -colorspace gray -format '%[fx:mean]' info:
}
board_shown() { awk -v f="$(red_fraction)" 'BEGIN { exit !(f > 0.001) }'; }
wait_for 10 board_shown || { echo "make-screenshot: the Easy game did not start" >&2; exit 1; }
sleep 0.5 # let the last repaint land

mkdir -p "$(dirname "$OUT")"
import -window root "$TMP/shot.png"
# -strip leaves out the time stamps, so only a new picture changes the file.
convert "$TMP/shot.png" -strip -define png:compression-level=9 "$OUT"
echo "$OUT: $(identify -format '%w x %h' "$OUT")"
