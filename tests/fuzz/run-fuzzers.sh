#!/usr/bin/env bash
# Long fuzz runs (make fuzz): every target FUZZ_SECONDS (600) at once, new inputs kept in
# build/fuzz/runs/<target>/corpus beside its log and any finding, which fails the run and is listed.
set -euo pipefail
cd "$(dirname "$0")/../.."
read -r -a targets <<<"${FUZZ_TARGETS:-scan_fuzz text_fuzz}"
export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"
for target in "${targets[@]}"; do
  dir=build/fuzz/runs/$target
  mkdir -p "$dir/corpus"
  build/fuzz/tests/fuzz/"$target" -max_total_time="${FUZZ_SECONDS:-600}" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" tests/fuzz/corpus/"$target" >"$dir/log" 2>&1 &
done
failed=0
for _ in "${targets[@]}"; do wait -n || failed=1; done
grep -H '^stat::number_of_executed_units' build/fuzz/runs/*/log
ls -d build/fuzz/runs/*/{crash,leak,timeout,oom,slow-unit}-* 2>/dev/null || true
exit "$failed"
