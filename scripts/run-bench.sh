#!/usr/bin/env bash
# Runs every benchmark program of a build and cellwright-gen's own timing, and prints a short table.
#   scripts/run-bench.sh <builddir>
set -euo pipefail

build="${1:-build}"
bin="$build/bin"
if [ ! -d "$bin" ]; then
  echo "run-bench: no $bin; build first (make bench)" >&2
  exit 1
fi

shopt -s nullglob
benches=("$bin"/cellwright_bench_*)
if [ ${#benches[@]} -eq 0 ]; then
  echo "run-bench: no benchmark programs in $bin (configured with CELLWRIGHT_BENCH=OFF?)" >&2
fi

printf '%-44s %14s\n' "benchmark" "time per op (median of 5 runs)"
for exe in "${benches[@]}"; do
  [ -x "$exe" ] || continue
  # Five repetitions; the median aggregate is the figure that counts.
  "$exe" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
         --benchmark_format=csv 2>/dev/null |
    awk -F, '/_median"?,/ {
        name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
        printf "%-44s %11.1f %s\n", name, $3, $5
      }'
done

gen="$bin/cellwright-gen"
if [ -x "$gen" ]; then
  for mode in easy hard; do
    echo
    echo "cellwright-gen $mode --count 10000 --seed 1 --stats"
    "$gen" "$mode" --count 10000 --seed 1 --stats 2>&1 >/dev/null | sed 's/^/  /'
  done
fi
