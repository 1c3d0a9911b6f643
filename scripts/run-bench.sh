#!/usr/bin/env bash
# Runs every benchmark program of a build, the start-to-first-frame measurement, cellwright-gen's
# own timing next to qqwing's, a short generator soak and the game in a window beside GNOME Sudoku
# (scripts/run-window-bench.sh), and prints short tables of medians.
#   scripts/run-bench.sh [builddir]
# Environment: BENCH_REPS (repetitions per benchmark, default 5), STARTUP_RUNS (default 7),
# QQWING_COUNT (puzzles qqwing makes for the side-by-side, default 300),
# SOAK_ARGS (arguments of the short soak; the full one is
#   <builddir>/bin/cellwright_soak --grids 1000000 --easy 100000 --hard 100000).
set -euo pipefail

build="${1:-build}"
bin="$build/bin"
reps="${BENCH_REPS:-5}"
startup_runs="${STARTUP_RUNS:-7}"
soak_args="${SOAK_ARGS:---grids 20000 --easy 2000 --hard 2000}"
if [ ! -d "$bin" ]; then
  echo "run-bench: no $bin; build first (make bench)" >&2
  exit 1
fi

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
row() { printf '%-48s %12s %s\n' "$1" "$2" "$3"; }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')"
echo
row "benchmark" "median" "(of $reps runs; CPU time)"

shopt -s nullglob
benches=("$bin"/cellwright_bench_*)
if [ ${#benches[@]} -eq 0 ]; then
  echo "run-bench: no benchmark programs in $bin (configured with CELLWRIGHT_BENCH=OFF?)" >&2
fi
for exe in "${benches[@]}"; do
  [ -x "$exe" ] || continue
  # CSV columns: name, iterations, real_time, cpu_time, time_unit, ... The CPU time is the figure:
  # on a shared machine the wall clock also counts time given to other programs.
  QT_QPA_PLATFORM=offscreen "$exe" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
         --benchmark_format=csv 2>/dev/null |
    awk -F, '/_median"?,/ {
        name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
        printf "%-48s %12.3f %s\n", name, $4, $5
      }'
done

# Start to first frame: the program's own measurement from main() to the end of its first paint,
# offscreen on a 1920 x 1080 screen, and the whole process as the wall clock sees it (loading the
# libraries included).
app="$bin/cellwright"
if [ -x "$app" ]; then
  screen_cfg="$(mktemp)"
  trap 'rm -f "$screen_cfg"' EXIT
  printf '{"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080}]}\n' >"$screen_cfg"
  own=()
  whole=()
  for ((i = 0; i < startup_runs; i++)); do
    started=$(date +%s%N)
    line=$(CELLWRIGHT_STARTUP_TIMING=exit QT_QPA_PLATFORM="offscreen:configfile=$screen_cfg" "$app" 2>&1 |
             grep -o 'first frame [0-9.]* ms' || true)
    finished=$(date +%s%N)
    [ -n "$line" ] || continue
    own+=("$(echo "$line" | awk '{ print $3 }')")
    whole+=("$(awk -v a="$started" -v b="$finished" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')")
  done
  if [ ${#own[@]} -gt 0 ]; then
    row "start to first frame, from main()" "$(printf '%s\n' "${own[@]}" | median)" "ms (median of ${#own[@]} runs)"
    row "start to first frame, whole process" "$(printf '%s\n' "${whole[@]}" | median)" "ms (median of ${#whole[@]} runs)"
  else
    echo "run-bench: $app reported no first frame" >&2
  fi
fi

gen="$bin/cellwright-gen"
if [ -x "$gen" ]; then
  declare -A gen_mean
  for mode in easy hard; do
    echo
    echo "cellwright-gen $mode --count 10000 --seed 1 --stats (grid and set-up, processor time)"
    stats=$("$gen" "$mode" --count 10000 --seed 1 --stats 2>&1 >/dev/null)
    echo "$stats" | sed 's/^/  /'
    gen_mean[$mode]=$(echo "$stats" | sed -n 's/.* mean \([0-9.]*\) .*/\1/p')
  done

  # Side by side in the same run: qqwing, a general Sudoku generator packaged by Debian, timed as a
  # whole command (processor time over the puzzles it made), against cellwright-gen's own mean.
  if command -v qqwing >/dev/null; then
    qq_count="${QQWING_COUNT:-300}"
    qq_seconds=$( { TIMEFORMAT='%U %S'; time qqwing --generate "$qq_count" --one-line >/dev/null; } 2>&1 |
                  awk '{ print $1 + $2 }')
    qq_us=$(awk -v t="$qq_seconds" -v n="$qq_count" 'BEGIN { printf "%.1f", t * 1e6 / n }')
    echo
    echo "mean processor time per puzzle, side by side in this run"
    row "  qqwing --generate $qq_count --one-line" "$qq_us" "us"
    for mode in easy hard; do
      ratio=$(awk -v q="$qq_us" -v g="${gen_mean[$mode]}" 'BEGIN { printf "%.1f", q / g }')
      row "  cellwright-gen $mode (grid and set-up)" "${gen_mean[$mode]}" "us  (${ratio}x faster than qqwing)"
    done
  else
    echo "run-bench: qqwing is not installed (scripts/install-deps.sh), so no side-by-side figures" >&2
  fi
fi

soak="$bin/cellwright_soak"
if [ -x "$soak" ]; then
  echo
  echo "cellwright_soak $soak_args"
  # shellcheck disable=SC2086 # the arguments are meant to split
  "$soak" $soak_args | sed 's/^/  /'
fi

# The game as a player runs it, in a window on X, beside GNOME Sudoku where that is installed.
"$(dirname "$0")/run-window-bench.sh" "$build"
