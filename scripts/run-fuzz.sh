#!/usr/bin/env bash
# Runs every fuzz target of the sanitizer build (built by scripts/run-tests.sh, or with
# `cmake --build build-asan --target vlm_tests_fuzz`) for longer than the tests do, one after the
# other (or -j at a time), and prints each target's executions, seconds and coverage edges.
# New inputs go to a scratch corpus outside the repository; crashes are kept beside it as
# <target>-crash-*, to be fixed and added to fuzz/corpus/<target>.
#
# Usage: scripts/run-fuzz.sh [-j N] [seconds per target, default 600] [target name ...]
# Environment: VLM_FUZZ_RUNS (stop a target after that many inputs, default 10000000),
#              VLM_FUZZ_WORK (scratch folder, default /tmp/vlm-fuzz).
set -uo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FUZZ_BUILD="$REPO_ROOT/build-asan/fuzz"
WORK="${VLM_FUZZ_WORK:-/tmp/vlm-fuzz}"
RUNS="${VLM_FUZZ_RUNS:-10000000}"
jobs=1
if [[ "${1:-}" == "-j" ]]; then
  jobs="$2"
  shift 2
fi
SECONDS_EACH="${1:-600}"
shift $(($# > 0 ? 1 : 0))

targets=("$@")
if ((${#targets[@]} == 0)); then
  for dir in "$REPO_ROOT"/fuzz/corpus/*/; do
    targets+=("$(basename "$dir")")
  done
fi

# run_one <target>: one long run; its log ends with libFuzzer's final statistics.
run_one() {
  local name="$1" program="$FUZZ_BUILD/fuzz_$1"
  local corpus="$WORK/$name"
  mkdir -p "$corpus"
  if [[ ! -x "$program" ]]; then
    echo "run-fuzz: $program is not built" >"$WORK/$name.log"
    return 1
  fi
  # No target opens a socket, but like the tests they run where nothing reaches a network.
  nice -n 10 "$REPO_ROOT/scripts/testnet.sh" private -- "$program" \
    -max_total_time="$SECONDS_EACH" -runs="$RUNS" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$WORK/$name-" "$corpus" "$REPO_ROOT/fuzz/corpus/$name" >"$WORK/$name.log" 2>&1
}

# summary <target> <exit code>: one line from the run's final statistics.
summary() {
  local log="$WORK/$1.log"
  local execs seconds edges
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)"
  seconds="$(grep -oE 'Done [0-9]+ runs in [0-9]+ second' "$log" | awk '{print $5}' | tail -n1)"
  edges="$(grep -oE 'cov: [0-9]+' "$log" | tail -n1 | awk '{print $2}')"
  printf '%-24s %12s execs %6s s %6s edges%s\n' "$1" "${execs:-?}" "${seconds:-?}" "${edges:-?}" \
    "$( (($2 == 0)) || echo "  FAILED (exit $2, see $log)")"
}

mkdir -p "$WORK"
status=0
pids=()
names=()
for name in "${targets[@]}"; do
  run_one "$name" &
  pids+=($!)
  names+=("$name")
  # At most $jobs at a time: wait for the oldest before starting another.
  if ((${#pids[@]} >= jobs)); then
    wait "${pids[0]}"
    rc=$?
    summary "${names[0]}" "$rc"
    ((rc == 0)) || status=1
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
done
for i in "${!pids[@]}"; do
  wait "${pids[$i]}"
  rc=$?
  summary "${names[$i]}" "$rc"
  ((rc == 0)) || status=1
done
exit "$status"
