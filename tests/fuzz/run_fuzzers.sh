#!/usr/bin/env bash
# Runs every fuzzer of a ZERV_FUZZ build for a given time each:
#   run_fuzzers.sh BUILD_DIR SECONDS [HARNESS...]
# FUZZ_RUNS=N in the environment also ends a harness after N executions.
# Each harness first replays its kept regression inputs, then fuzzes from
# its corpus (kept in BUILD_DIR/fuzz-corpus between runs), the committed
# seeds and seeds made from ../shared/data. A crashing input is saved under
# BUILD_DIR/fuzz-artifacts/<harness>/; keep it in regressions/<harness>/
# once the engine is fixed. Prints executions and findings per harness and
# fails when any harness found something.
set -u
build=$(cd "$1" && pwd) seconds=$2
shift 2
[ $# -eq 0 ] && set -- uci fen move epd pgn book network params config syzygy
here=$(cd "$(dirname "$0")" && pwd)
# Inputs large enough for whole files where the harness reads files.
declare -A MAX_LEN=([uci]=4096 [fen]=256 [move]=64 [epd]=4096 [pgn]=65536 [book]=8192
                    [network]=2400000 [params]=4096 [config]=4096 [syzygy]=32768)
# A table size the machine cannot give must be refused, not granted by
# swapping: large single allocations fail as they would on a small machine.
export ASAN_OPTIONS="allocator_may_return_null=1:max_allocation_size_mb=512:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

seeds=$(mktemp -d "$build/fuzz-seeds-XXXXXX")
trap 'rm -rf "$seeds"' EXIT
"$here/make_corpus.sh" "$here/../../../shared/data" "$seeds"
failed=0 summary=()
for h; do
  corpus=$build/fuzz-corpus/$h artifacts=$build/fuzz-artifacts/$h log=$build/fuzz-$h.log
  mkdir -p "$corpus" "$artifacts" "$seeds/$h"
  committed=$(compgen -G "$here/corpus/$h")  # the committed seeds, where the harness has some
  export ZERV_FUZZ_SCRATCH=$(mktemp -d /tmp/zerv-fuzz-$h-XXXXXX)
  run=("$build/fuzz_$h" -rss_limit_mb=4096)
  status=ok
  if compgen -G "$here/regressions/$h/*" > /dev/null; then
    "${run[@]}" "$here"/regressions/$h/* < /dev/null > "$log" 2>&1 || status="regression replay FAILED"
  fi
  [ "$status" = ok ] && { "${run[@]}" -max_total_time="$seconds" -runs="${FUZZ_RUNS:--1}" -max_len="${MAX_LEN[$h]}" \
      -timeout=60 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds/$h" $committed \
      < /dev/null >> "$log" 2>&1 || status="FINDING"; }
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  rm -rf "$ZERV_FUZZ_SCRATCH"
  summary+=("$(printf '%-8s %10s executions in %ss, corpus %5s inputs: %s' "$h" "${execs:-?}" \
    "$seconds" "$(ls "$corpus" | wc -l)" "$status")")
  [ "$status" = ok ] || { failed=1; tail -n 40 "$log"; }
done
printf '%s\n' "${summary[@]}"
exit $failed
