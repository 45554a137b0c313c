#!/usr/bin/env bash
# Whole processes, start-up included: sorvane-cli against Debian's pwgen -s on
# the same machine in the same run, for 1,000 and 1,000,000 passwords of 16
# characters. pwgen -s draws letters of both cases and digits alike and keeps
# look-alikes and repeats; sorvane-cli runs with the same length, type and case
# (letters and digits, mixed case, where half of all characters are digits),
# once with its defaults (look-alikes and repeats left out) and once with
# --allow-similar --allow-repeats, the nearest to pwgen -s.
#   bench/cli_compare.sh [path of sorvane-cli]   (built here when not given)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-}
if [ -z "$cli" ]; then
  cmake -S . -B build/cli-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORVANE_TESTS=OFF >/dev/null
  cmake --build build/cli-bench --target sorvane-cli >/dev/null
  cli=build/cli-bench/cli/sorvane-cli
fi
command -v pwgen >/dev/null || { echo "pwgen is not installed" >&2; exit 1; }

# Wall time of one run in nanoseconds, output thrown away. The shell's own
# clock, so no process of the measurement's own lands inside the interval.
run_ns() {
  local start end
  start=${EPOCHREALTIME/[.,]/}
  "$@" >/dev/null
  end=${EPOCHREALTIME/[.,]/}
  echo $(((end - start) * 1000))
}

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# The three commands run in turn, round after round, so a drift of the
# machine's speed touches them alike; each figure is the median of its runs.
compare() {
  local n=$1 rounds=$2 round
  local out
  out=$(mktemp -d)
  for round in $(seq 1 "$rounds"); do
    run_ns pwgen -s 16 "$n" >>"$out/pwgen"
    run_ns "$cli" -l 16 -n "$n" >>"$out/default"
    run_ns "$cli" -l 16 -n "$n" --allow-similar --allow-repeats >>"$out/allow"
  done
  local pwgen_ns
  pwgen_ns=$(median <"$out/pwgen")
  printf '  N = %d, median of %d runs each\n' "$n" "$rounds"
  printf '    %-58s %9.2f ms %12.0f passwords/s\n' "pwgen -s 16 N" \
    "$(echo "$pwgen_ns / 1000000" | bc -l)" "$(echo "$n * 1000000000 / $pwgen_ns" | bc -l)"
  local which label ns
  for which in default allow; do
    label="sorvane-cli -l 16 -n N"
    [ "$which" = allow ] && label="$label --allow-similar --allow-repeats"
    ns=$(median <"$out/$which")
    printf '    %-58s %9.2f ms %12.0f passwords/s %6.1f x pwgen -s\n' "$label" \
      "$(echo "$ns / 1000000" | bc -l)" "$(echo "$n * 1000000000 / $ns" | bc -l)" \
      "$(echo "$pwgen_ns / $ns" | bc -l)"
  done
  rm -rf "$out"
}

echo "== sorvane-cli against pwgen -s 16, whole processes (letters and digits, mixed case)"
compare 1000 31
compare 1000000 5
