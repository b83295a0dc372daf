#!/usr/bin/env bash
# The project's test command. Installs what is missing and builds (setup.sh), runs every test
# of build/ (all labels), then builds build-asan/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the unit tests and a few seconds of each fuzz target
# there. Prints the wall time of each phase and a closing "N passed, N failed" line over both
# test runs; exits non-zero on any failure.
set -uo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# ccache keys on paths relative to the checkout, so a fresh clone in another folder reuses
# what an earlier clone compiled.
export CCACHE_BASEDIR="$REPO_ROOT" CCACHE_NOHASHDIR=1
cd "$REPO_ROOT" || exit 1
BUILD_DIR="$REPO_ROOT/build"
ASAN_BUILD_DIR="$REPO_ROOT/build-asan"
TESTNET="$REPO_ROOT/scripts/testnet.sh"
JOBS="$(nproc)"
LOG_DIR="$(mktemp -d)"

status=0
passed=0
failed=0
timings=()

# Whatever happens, no test network of these build trees outlives the run.
teardown_testnets() {
  local build prefix
  for build in "$BUILD_DIR" "$ASAN_BUILD_DIR"; do
    prefix="$(sed -n 's/^VLM_TESTNET_PREFIX:STRING=//p' "$build/CMakeCache.txt" 2>/dev/null)"
    [[ -n "$prefix" ]] || continue
    # The network's own prefix and the scratch ones of the network's and run-main's tests.
    VLM_TESTNET_PREFIX="$prefix" "$TESTNET" down || true
    VLM_TESTNET_PREFIX="${prefix}s" "$TESTNET" down || true
    VLM_TESTNET_PREFIX="${prefix}m" "$TESTNET" down || true
  done
  rm -rf "$LOG_DIR"
}
trap teardown_testnets EXIT

# phase <name> <command...>: runs a command, records its wall time, notes a failure.
phase() {
  local name="$1" start rc=0
  shift
  echo "=== $name"
  start=$(date +%s.%N)
  "$@" || rc=$?
  local seconds
  seconds=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }')
  timings+=("$(printf '%-28s %8s s%s' "$name" "$seconds" "$( ((rc == 0)) || echo "  (FAILED, exit $rc)")")")
  echo "=== $name: ${seconds} s, exit $rc"
  ((rc == 0)) || status=1
  return 0
}

# run_ctest <log name> <ctest args...>: runs ctest and adds its counts to the totals. A run that
# ends without ctest's summary line (nothing found, a crash of ctest itself) counts as a failure.
run_ctest() {
  local log="$LOG_DIR/$1.log" rc=0
  shift
  ctest "$@" 2>&1 | tee "$log" || rc=$?
  local summary
  summary="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)"
  if [[ -z "$summary" ]]; then
    echo "run-tests: ctest printed no summary"
    failed=$((failed + 1))
    return 1
  fi
  local run_failed total
  run_failed="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")"
  total="$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")"
  passed=$((passed + total - run_failed))
  failed=$((failed + run_failed))
  return "$rc"
}

# Debug: compiles faster than an optimised build and keeps assertions on. Clang, because its
# libFuzzer makes the fuzz targets (fuzz/) part of this one build.
build_asan() {
  cmake -S "$REPO_ROOT" -B "$ASAN_BUILD_DIR" -DCMAKE_CXX_COMPILER=clang++ \
    -DVLM_SANITIZE=ON -DVLM_WERROR=ON -DCMAKE_BUILD_TYPE=Debug &&
    cmake --build "$ASAN_BUILD_DIR" -j"$JOBS" --target vlm_tests_unit vlm_tests_fuzz
}

run_asan_unit_tests() {
  # Tests that measure wall-clock time skip those checks here: the sanitizers slow everything.
  VLM_SANITIZED=1 \
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" \
    LSAN_OPTIONS="suppressions=$REPO_ROOT/scripts/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    run_ctest asan --test-dir "$ASAN_BUILD_DIR" -L '^(unit|fuzz)$' --output-on-failure -j"$JOBS"
}

total_start=$SECONDS
phase "set-up and build" "$REPO_ROOT/scripts/setup.sh"
if [[ -f "$BUILD_DIR/CTestTestfile.cmake" ]]; then
  phase "tests (all labels)" run_ctest all --test-dir "$BUILD_DIR" --output-on-failure -j"$JOBS"
fi
phase "sanitizer build" build_asan
if [[ -f "$ASAN_BUILD_DIR/CTestTestfile.cmake" ]]; then
  phase "sanitizer unit + fuzz tests" run_asan_unit_tests
fi

echo
echo "=== wall time per phase"
printf '%s\n' "${timings[@]}"
echo "total                        $((SECONDS - total_start)) s"
((failed == 0)) || status=1
echo
echo "$passed passed, $failed failed"
exit "$status"
