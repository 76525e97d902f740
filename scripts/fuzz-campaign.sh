#!/usr/bin/env bash
# A fuzzing campaign: builds the fuzz preset and runs every libFuzzer target (or the ones named) for a
# while, each in a scratch copy of its seed corpus, so the tree keeps only the seeds. Prints one table row
# per target in the form of docs/developing.md ("Long runs"); crashing inputs stay in the scratch folder.
# Usage: scripts/fuzz-campaign.sh [-t SECONDS] [-o FOLDER] [target ...]
#   -t  seconds per target (default 300)     -o  scratch folder (default /tmp/marvenlot-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=300
scratch=/tmp/marvenlot-fuzz
while getopts "t:o:" opt; do
  case "$opt" in
    t) seconds="$OPTARG" ;;
    o) scratch="$OPTARG" ;;
    *) echo "usage: scripts/fuzz-campaign.sh [-t SECONDS] [-o FOLDER] [target ...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
case "$seconds" in '' | *[!0-9]*) echo "fuzz-campaign: -t takes whole seconds" >&2; exit 2 ;; esac

if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(ls tests/fuzz/*_fuzz.cpp | sed 's#.*/##; s#_fuzz\.cpp$##')
fi

# The build's output goes to stderr, so stdout holds only the table.
cmake --preset fuzz >&2
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}" >&2

# Inputs of whole files need room; the rest keep libFuzzer's default length.
declare -A max_len=([resource_package]=65536 [ogg]=65536)

echo "| Target | Executions | Seconds | cov | ft | Crash |"
echo "|---|---|---|---|---|---|"
status=0
for target in "${targets[@]}"; do
  corpus="$scratch/$target/corpus"
  artifacts="$scratch/$target/artifacts/"
  mkdir -p "$corpus" "$artifacts"
  if [ -d "tests/fuzz/corpus/$target" ]; then cp -n "tests/fuzz/corpus/$target"/* "$corpus/" 2>/dev/null || true; fi
  options=(-max_total_time="$seconds" -runs=10000000 -print_final_stats=1 -artifact_prefix="$artifacts")
  if [ -n "${max_len[$target]:-}" ]; then options+=(-max_len="${max_len[$target]}"); fi
  log="$scratch/$target/run.log"
  start=$(date +%s)
  code=0
  "build/fuzz/tests/fuzz/fuzz_$target" "$corpus" "${options[@]}" >"$log" 2>&1 || code=$?
  elapsed=$(($(date +%s) - start))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  crash=none
  if [ "$code" -ne 0 ]; then
    crash=$(ls "$artifacts" 2>/dev/null | head -1)
    crash="${crash:-exit $code} (see $log)"
    status=1
  fi
  echo "| \`$target\` | ${runs:-?} | $elapsed | ${cov:-?} | ${ft:-?} | $crash |"
done
exit "$status"
