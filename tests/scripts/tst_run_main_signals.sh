#!/usr/bin/env bash
# scripts/run-main.sh stopped by a signal sent to it alone (as a service manager, `kill PID` or
# `timeout` send them) must tear down its two namespaces, also when it was started with the
# signal ignored (INT for a job a non-interactive shell starts in the background). The
# simulator runs inside the recorder namespace only; no clips manager is started.
#
# Environment: VLM_SOURCE_DIR, VLM_BINARY_DIR (a built tree), VLM_TESTNET_PREFIX (a scratch
# prefix of this test's own).
set -uo pipefail

RUN_MAIN="$VLM_SOURCE_DIR/scripts/run-main.sh"
TESTNET="$VLM_SOURCE_DIR/scripts/testnet.sh"
PREFIX="$VLM_TESTNET_PREFIX"
failures=0

namespaces() { ip netns list | awk '{print $1}' | grep -cx -e "${PREFIX}h" -e "${PREFIX}r"; }

# wait_for <seconds> <command...>: true once the command succeeds within the time.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}

# The simulator answers on the recorder side: the network is up and in use.
simulator_runs() {
  (($(namespaces) == 2)) && ip netns pids "${PREFIX}r" 2>/dev/null | grep -q .
}
no_namespaces() { (($(namespaces) == 0)); }

# one_case <name> <signal> <ignore>: starts run-main.sh in a session of its own (so only it gets
# the signal), with the signal ignored when <ignore> is 1, then signals it.
one_case() {
  local name="$1" signal="$2" ignore="$3" log pid
  log="$(mktemp)"
  if ((ignore)); then
    VLM_TESTNET_PREFIX="$PREFIX" VLM_NO_CLIPSMGR=1 VLM_NO_BUILD=1 VLM_BUILD_DIR="$VLM_BINARY_DIR" \
      setsid bash -c "trap '' $signal; exec \"\$0\"" "$RUN_MAIN" >"$log" 2>&1 </dev/null &
  else
    VLM_TESTNET_PREFIX="$PREFIX" VLM_NO_CLIPSMGR=1 VLM_NO_BUILD=1 VLM_BUILD_DIR="$VLM_BINARY_DIR" \
      setsid "$RUN_MAIN" >"$log" 2>&1 </dev/null &
  fi
  pid=$!
  if ! wait_for 60 simulator_runs; then
    echo "FAIL $name: the simulator did not start"
    cat "$log"
    failures=$((failures + 1))
  else
    kill "-$signal" "$pid"
    if wait_for 20 no_namespaces; then
      echo "PASS $name"
    else
      echo "FAIL $name: $(namespaces) namespaces of prefix $PREFIX left behind"
      failures=$((failures + 1))
    fi
  fi
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  VLM_TESTNET_PREFIX="$PREFIX" "$TESTNET" down >/dev/null 2>&1
  rm -f "$log"
}

one_case "TERM" TERM 0
one_case "HUP" HUP 0
# Started in the background by this non-interactive shell, the script begins with INT ignored.
one_case "INT" INT 0
one_case "TERM, ignored when it started" TERM 1
echo "$failures failed"
((failures == 0))
