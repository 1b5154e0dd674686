#!/usr/bin/env bash
# Long fuzz runs (make fuzz): builds the fuzz preset, runs every target FUZZ_SECONDS (600) on a
# fresh build-dir copy of its committed corpus, two at a time, and prints each one's executions.
# A target's log, grown corpus and any finding (crash-*, leak-*, timeout-*, oom-*) stay in
# build/fuzz/runs/<target>/; a finding fails the run. FUZZ_TARGETS picks some targets only.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${FUZZ_SECONDS:-600}
jobs=${FUZZ_JOBS:-2}
read -r -a targets <<<"${FUZZ_TARGETS:-port_number_fuzz convert_fuzz lookup_fuzz scan_fuzz}"
bin=build/fuzz/tests/fuzz
runs=build/fuzz/runs

# Stack traces with function names and lines; llvm-14 installs the symbolizer only under its own name.
if [ -z "${ASAN_SYMBOLIZER_PATH:-}" ]; then
  symbolizer=$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)
  [ -n "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH=$symbolizer
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

run_one() {
  local target=$1 dir=$runs/$1
  rm -rf "$dir"
  mkdir -p "$dir/corpus"
  cp tests/fuzz/corpus/"$target"/* "$dir/corpus/"
  local status=0
  "$bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$dir/" "$dir/corpus" >"$dir/log" 2>&1 || status=$?
  echo "$status" >"$dir/status"
}

echo "Fuzzing ${targets[*]} for ${seconds} s each, ${jobs} at a time"
running=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_one "$target" &
  running=$((running + 1))
done
wait

final_stat() { sed -n "s/^stat::$2: *//p" "$1/log" | tail -1; }

failed=0
printf '%-18s %8s %12s %8s %7s  %s\n' target seconds executions exec/s corpus result
for target in "${targets[@]}"; do
  dir=$runs/$target
  result=ok
  if [ "$(cat "$dir/status")" != 0 ]; then
    failed=1
    result="FINDING: $(ls "$dir" | grep -E '^(crash|leak|timeout|oom|slow-unit)-' | sed "s|^|$dir/|" | tr '\n' ' ' || true)"
    result+="(log: $dir/log)"
  fi
  printf '%-18s %8s %12s %8s %7s  %s\n' "$target" "$seconds" "$(final_stat "$dir" number_of_executed_units)" \
    "$(final_stat "$dir" average_exec_per_sec)" "$(ls "$dir/corpus" | wc -l)" "$result"
done
exit "$failed"
