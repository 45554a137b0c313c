#!/usr/bin/env bash
# Whole processes, start-up included, all in one run so the ratios are taken
# side by side: sorvane-cli against its physical limit (bench/limit_loop.cpp:
# 16 characters of the 54 the default options allow, one byte of getrandom a
# draw, written through a 256 KiB buffer, nothing else), against Debian's
# pwgen -s, and against itself in JSON, with a ten-million-line word list and
# at ten million passwords. Each figure is the median of its runs of user +
# system seconds (GNU time), the commands taking turns round after round so
# that a drift of the machine's speed touches them alike.
#   bench/cli_compare.sh [sorvane-cli [limit_loop]]   (built here when not given)
#   SORVANE_CLI_BASELINE=path/to/older/sorvane-cli bench/cli_compare.sh ...
#       also measures an older build, beside the new one, in the same rounds
#   SORVANE_WORD_LIST=file    the word list (default: ten million generated lines)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-}
limit=${2:-}
if [ -z "$cli" ] || [ -z "$limit" ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target sorvane-cli limit_loop >/dev/null
  cli=${cli:-build/bench/cli/sorvane-cli}
  limit=${limit:-build/bench/bench/limit_loop}
fi
baseline=${SORVANE_CLI_BASELINE:-}
for tool in pwgen /usr/bin/time python3 bc; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/install-deps.sh)" >&2; exit 1; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

words=${SORVANE_WORD_LIST:-}
if [ -z "$words" ]; then
  words="$out/words-10m.txt"
  # Random lower-case words of 3 to 12 letters, the same file every time.
  python3 - "$words" <<'PY'
import random, sys
r = random.Random(12345)
letters = "abcdefghijklmnopqrstuvwxyz"
with open(sys.argv[1], "w") as f:
    for _ in range(100):
        f.write("".join("".join(r.choices(letters, k=3 + r.randrange(10))) + "\n"
                        for _ in range(100000)))
PY
fi

# Appends "cpu-seconds peak-KiB" of one run, output thrown away.
measure() {
  local name=$1
  shift
  /usr/bin/time -f '%U %S %M' -o "$out/time" "$@" >/dev/null 2>"$out/stderr" || true
  awk '{printf "%.4f %d\n", $1 + $2, $3}' "$out/time" >>"$out/$name"
}
median() { # file, column
  awk -v c="$2" '{print $c}' "$1" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'
}
cpu() { median "$out/$1" 1; }
peak_mib() { echo "$(median "$out/$1" 2) / 1024" | bc -l; }
ratio() { echo "$1 / $2" | bc -l; }

# name command..., for sorvane-cli and the baseline alike: "cli" stands for
# the program.
both() {
  local name=$1
  shift
  measure "new.$name" "${@/#cli/$cli}"
  if [ -n "$baseline" ]; then measure "old.$name" "${@/#cli/$baseline}"; fi
}

rounds() { # count, then a function to call each round
  local round
  for round in $(seq 1 "$1"); do "$2"; done
}

million() {
  measure limit.1m "$limit" 1000000
  measure pwgen.1m pwgen -s 16 1000000
  both plain.1m cli -l 16 -n 1000000
  both allow.1m cli -l 16 -n 1000000 --allow-similar --allow-repeats
  both json.1m cli -l 16 -n 1000000 -f json
  both tsv.1m cli -l 16 -n 1000000 -f tsv
}
# Wall nanoseconds of one run, for the short runs that GNU time's 10 ms steps
# cannot tell apart; the shell's own clock, so no process of the
# measurement's own lands inside the interval.
measure_short() {
  local name=$1 start end
  shift
  start=${EPOCHREALTIME/[.,]/}
  "$@" >/dev/null
  end=${EPOCHREALTIME/[.,]/}
  echo "$(((end - start) * 1000)) 0" >>"$out/$name"
}
single() {
  measure_short pwgen.1 pwgen -s 16 1
  measure_short "new.plain.1" "$cli" -l 16 -n 1
  if [ -n "$baseline" ]; then measure_short "old.plain.1" "$baseline" -l 16 -n 1; fi
}
ten_million() {
  measure limit.10m "$limit" 10000000
  both plain.10m cli -l 16 -n 10000000
}
word_list() {
  both words.1m cli -l 16 -n 1000000 -d "$words"
  both words.1 cli -l 16 -n 1 -d "$words"
}
rounds 5 million
rounds 51 single
rounds 3 ten_million
rounds 7 word_list

report() { # which build: new or old
  local b=$1
  printf '  %s\n' "$([ "$b" = new ] && echo "$cli" || echo "$baseline (baseline)")"
  printf '    %-44s %8.3f s  %7.2f x the limit loop\n' "-l 16 -n 1000000" "$(cpu "$b.plain.1m")" \
    "$(ratio "$(cpu "$b.plain.1m")" "$(cpu limit.1m)")"
  printf '    %-44s %8.3f s  %7.1f x faster than pwgen -s 16 1000000\n' "" "$(cpu "$b.plain.1m")" \
    "$(ratio "$(cpu pwgen.1m)" "$(cpu "$b.plain.1m")")"
  printf '    %-44s %8.3f s  %7.1f x faster than pwgen -s 16 1000000\n' \
    "-l 16 -n 1000000 --allow-similar --allow-repeats" "$(cpu "$b.allow.1m")" \
    "$(ratio "$(cpu pwgen.1m)" "$(cpu "$b.allow.1m")")"
  printf '    %-44s %8.3f s  %7.2f x plain\n' "-l 16 -n 1000000 -f json" "$(cpu "$b.json.1m")" \
    "$(ratio "$(cpu "$b.json.1m")" "$(cpu "$b.plain.1m")")"
  printf '    %-44s %8.3f s  %7.2f x plain\n' "-l 16 -n 1000000 -f tsv" "$(cpu "$b.tsv.1m")" \
    "$(ratio "$(cpu "$b.tsv.1m")" "$(cpu "$b.plain.1m")")"
  printf '    %-44s %8.2f ms %7.2f x pwgen -s 16 1 (wall)\n' "-l 16 -n 1" \
    "$(echo "$(cpu "$b.plain.1") / 1000000" | bc -l)" "$(ratio "$(cpu "$b.plain.1")" "$(cpu pwgen.1)")"
  printf '    %-44s %8.3f s  %7.2f x the limit loop, peak %.0f MiB\n' "-l 16 -n 10000000" \
    "$(cpu "$b.plain.10m")" "$(ratio "$(cpu "$b.plain.10m")" "$(cpu limit.10m)")" \
    "$(peak_mib "$b.plain.10m")"
  printf '    %-44s %8.3f s  (-n 1 with it: %.3f s)\n' "-l 16 -n 1000000 -d LIST" \
    "$(cpu "$b.words.1m")" "$(cpu "$b.words.1")"
  # The load varies more from run to run than the passwords cost: the
  # difference is taken within each round, then its median.
  paste "$out/$b.words.1m" "$out/$b.words.1" | awk '{print $1 - $3}' >"$out/$b.words.cost"
  printf '    %-44s %8.2f x a password without the list\n' "the list's cost per password" \
    "$(ratio "$(median "$out/$b.words.cost" 1)" "$(cpu "$b.plain.1m")")"
}

echo "== sorvane-cli, whole processes, median user + system seconds"
printf '  %-46s %8.3f s    (10,000,000: %.3f s)\n' "limit loop, 1,000,000 passwords of 16" \
  "$(cpu limit.1m)" "$(cpu limit.10m)"
printf '  %-46s %8.3f s    (1: %.2f ms wall)\n' "pwgen -s 16 1000000" "$(cpu pwgen.1m)" \
  "$(echo "$(cpu pwgen.1) / 1000000" | bc -l)"
printf '  word list: %s, %d lines\n' "$words" "$(wc -l <"$words")"
report new
if [ -n "$baseline" ]; then report old; fi
