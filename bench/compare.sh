#!/usr/bin/env bash
# Measures Sorvane on this machine and, in the same run, the peers it is
# compared with: Debian's pwgen for composing passwords and for the command
# line as a whole process, `wc -l` for reading the word files. Prints our
# figures and the ratios.
#   bench/compare.sh            everything (a few minutes)
#   SORVANE_SKIP_WINE=1 ...     without the runs under Wine (the word list, the list's
#                               painting and a batch in the dialog)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
bench="$root/build/bench/bench"
insane=/usr/share/dict/american-english-insane
big="$bench/data/words-10m.txt"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Best wall time in seconds of a command run several times.
best_time() {
  local runs=$1 best=""
  shift
  for _ in $(seq 1 "$runs"); do
    local start end took
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    took=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || (($(echo "$took < $best" | bc -l))); then best=$took; fi
  done
  echo "$best"
}

json_value() { # file, benchmark name, field
  python3 - "$@" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
for b in data["benchmarks"]:
    if b["name"] == sys.argv[2] and b.get("aggregate_name", "median") == "median":
        print(b[sys.argv[3]]); break
PY
}

echo "== composing passwords: length 16, letters and numbers, mixed case, both exclusions"
"$bench/compose_bench" --benchmark_repetitions=5 --benchmark_min_time=1 \
  --benchmark_format=json >"$out/compose.json" 2>/dev/null
secure=$(json_value "$out/compose.json" BM_ComposeSecure_median "passwords/s")
seeded=$(json_value "$out/compose.json" BM_ComposeSeeded_median "passwords/s")
count=300000
pwgen_time=$(best_time 5 pwgen -s 16 "$count")
pwgen_rate=$(echo "$count / $pwgen_time" | bc -l)
printf '  secure source  %12.0f passwords/s   %6.1f x pwgen -s\n' "$secure" \
  "$(echo "$secure / $pwgen_rate" | bc -l)"
printf '  seeded source  %12.0f passwords/s   %6.1f x pwgen -s\n' "$seeded" \
  "$(echo "$seeded / $pwgen_rate" | bc -l)"
printf '  pwgen -s 16    %12.0f passwords/s   (%d passwords in %.3f s)\n' "$pwgen_rate" "$count" \
  "$pwgen_time"

echo "== instructions per password (callgrind; the difference of 12,000 and 2,000 passwords)"
for source in seeded secure; do
  for n in 2000 12000; do
    valgrind --tool=callgrind --callgrind-out-file="$out/cg.$source.$n" \
      "$bench/compose_run" "$n" "$source" >/dev/null 2>"$out/cg.$source.$n.log"
    grep -o 'Collected : [0-9]*' "$out/cg.$source.$n.log" | awk '{print $3}' >"$out/ir.$source.$n"
  done
  per=$(echo "($(cat "$out/ir.$source.12000") - $(cat "$out/ir.$source.2000")) / 10000" | bc)
  printf '  %-6s source  %8d instructions per password\n' "$source" "$per"
done

echo "== random bytes the secure source takes from the system"
"$bench/compose_run" 100000 secure | sed -n '2s/^/  /p'

echo "== the exclusion dictionary"
"$bench/dictionary_bench" --benchmark_repetitions=3 --benchmark_format=json \
  >"$out/dictionary.json" 2>/dev/null
for which in 0 1; do
  file=$insane
  [ "$which" = 1 ] && file=$big
  load_ms=$(json_value "$out/dictionary.json" "BM_Load/$which/min_time:2.000_median" real_time)
  words=$(json_value "$out/dictionary.json" "BM_Load/$which/min_time:2.000_median" words)
  memory=$(json_value "$out/dictionary.json" "BM_Memory/$which/iterations:1_median" \
    "peak_bytes/word_beyond_text")
  hits=$(json_value "$out/dictionary.json" "BM_LookupHit/${which}_median" "lookups/s")
  wc_time=$(best_time 10 wc -l "$file")
  printf '  %s: %.0f words\n' "$(basename "$file")" "$words"
  printf '    load %8.1f ms   %5.1f x wc -l (%.1f ms)\n' "$load_ms" \
    "$(echo "$load_ms / ($wc_time * 1000)" | bc -l)" "$(echo "$wc_time * 1000" | bc -l)"
  printf '    %.1f bytes per word beyond its own bytes, %.0f lookups/s\n' "$memory" "$hits"
done

bash bench/cli_compare.sh "$root/build/bench/cli/sorvane-cli" "$root/build/bench/bench/limit_loop"

[ "${SORVANE_SKIP_WINE:-0}" = 1 ] && exit 0
echo "== the dictionary load in the Windows build, under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows --target dictionary_load_timer list_paint_timer batch_timer >/dev/null
source scripts/wine-env.sh
trap 'wine_env_stop; rm -rf "$out"' EXIT
wine_env_start "$root/build/windows/bench-prefix"
timer="$root/build/windows/bench/dictionary_load_timer.exe"
for file in "$insane" "$big"; do
  wine "$timer" "Z:${file//\//\\}" 5 </dev/null >"$out/wine.txt" 2>&1 || true
  tr -d '\r' <"$out/wine.txt" | grep -E 'best of' | sed "s|^|  $(basename "$file"): |"
done
wine "$timer" "Z:${insane//\//\\}" 3 --fgets </dev/null >"$out/wine.txt" 2>&1 || true
tr -d '\r' <"$out/wine.txt" | grep -E 'best of' |
  sed "s|^|  for comparison, text-mode fgets with a position query per line: |"

echo "== the password list and the dialog, under Wine in Xvfb"
wine "$root/build/windows/bench/list_paint_timer.exe" 200 </dev/null >"$out/wine.txt" 2>&1 || true
tr -d '\r' <"$out/wine.txt" | grep -E 'paint' | sed 's|^|  |'
wine "$root/build/windows/bench/batch_timer.exe" 5 </dev/null >"$out/wine.txt" 2>&1 || true
tr -d '\r' <"$out/wine.txt" | grep -E '^(run|median)' | sed 's|^|  |'
