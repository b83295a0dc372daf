#!/usr/bin/env bash
# The project's test network: two network namespaces joined by a veth pair.
#
#   "${PREFIX}h"  host side: the programs under test run here   (10.77.41.1/24)
#   "${PREFIX}r"  recorder side: the simulator runs here        (10.77.41.2/24 .. 10.77.41.9/24)
#
# Both ends of the veth pair are created directly inside their namespaces, so no interface,
# route or sysctl of the machine's own namespace is ever touched, and discovery broadcasts
# (subnet 10.77.41.255 or 255.255.255.255) cannot leave the pair.
#
# Usage: testnet.sh up | down | status
#        testnet.sh exec host|rec -- command [args...]
#        testnet.sh private -- command [args...]   (own empty namespace, loopback only)
# PREFIX comes from VLM_TESTNET_PREFIX (default "vlmtest").
set -euo pipefail

PREFIX="${VLM_TESTNET_PREFIX:-vlmtest}"
NS_HOST="${PREFIX}h"
NS_REC="${PREFIX}r"
HOST_ADDR=10.77.41.1
REC_ADDR=10.77.41.2
# Extra recorder addresses let one simulator play several recorders.
REC_EXTRA_ADDRS=(10.77.41.3 10.77.41.4 10.77.41.5 10.77.41.6 10.77.41.7 10.77.41.8 10.77.41.9)
PREFIX_LEN=24
LOCK_FILE="/run/lock/vlm-testnet-${PREFIX}.lock"

die() { echo "testnet: $*" >&2; exit 2; }

usage() {
  cat >&2 <<'EOT'
usage: testnet.sh up | down | status
       testnet.sh exec host|rec -- command [args...]
       testnet.sh private -- command [args...]
EOT
  exit 2
}

check_prefix() {
  # The prefix becomes a file name under /run/netns and part of a lock file name.
  [[ "$PREFIX" =~ ^[A-Za-z0-9_-]{1,40}$ ]] || die "invalid VLM_TESTNET_PREFIX '$PREFIX'"
}

ns_exists() { ip netns list | awk '{print $1}' | grep -qx -- "$1"; }

# True when both namespaces exist and both ends of the pair are up.
network_is_up() {
  ns_exists "$NS_HOST" && ns_exists "$NS_REC" || return 1
  ip -n "$NS_HOST" -o link show dev vh 2>/dev/null | grep -q 'state UP' &&
    ip -n "$NS_REC" -o link show dev vr 2>/dev/null | grep -q 'state UP'
}

# Holds an exclusive lock on this prefix for the rest of the calling subshell, so parallel
# test processes never tear down each other's network while bringing it up.
take_lock() {
  mkdir -p "$(dirname "$LOCK_FILE")"
  exec 9>"$LOCK_FILE"
  flock 9
}

remove_namespace() {
  local ns="$1" pids pid
  ns_exists "$ns" || return 0
  # Processes still inside (a simulator left by a crashed test) would keep the network alive.
  pids="$(ip netns pids "$ns" 2>/dev/null || true)"
  if [[ -n "$pids" ]]; then
    for pid in $pids; do kill -TERM "$pid" 2>/dev/null || true; done
    for _ in $(seq 20); do
      pids="$(ip netns pids "$ns" 2>/dev/null || true)"
      [[ -z "$pids" ]] && break
      sleep 0.1
    done
    for pid in $pids; do kill -KILL "$pid" 2>/dev/null || true; done
  fi
  ip netns delete "$ns" 2>/dev/null || true
  ! ns_exists "$ns" || die "could not delete namespace $ns"
}

do_down() {
  remove_namespace "$NS_HOST"
  remove_namespace "$NS_REC"
}

wait_for_link_up() {
  for _ in $(seq 50); do
    network_is_up && return 0
    sleep 0.05
  done
  die "veth pair did not come up"
}

# Runs in a subshell holding the lock; any failing step exits it.
do_up() {
  do_down
  # Half a network is worse than none: undo everything if a step fails.
  trap 'do_down' EXIT
  ip netns add "$NS_HOST"
  ip netns add "$NS_REC"
  ip link add vh netns "$NS_HOST" type veth peer name vr netns "$NS_REC"
  ip -n "$NS_HOST" addr add "$HOST_ADDR/$PREFIX_LEN" brd + dev vh
  ip -n "$NS_REC" addr add "$REC_ADDR/$PREFIX_LEN" brd + dev vr
  local addr
  for addr in "${REC_EXTRA_ADDRS[@]}"; do
    ip -n "$NS_REC" addr add "$addr/$PREFIX_LEN" brd + dev vr
  done
  local ns
  for ns in "$NS_HOST" "$NS_REC"; do
    ip -n "$ns" link set lo up
  done
  ip -n "$NS_HOST" link set vh up
  ip -n "$NS_REC" link set vr up
  wait_for_link_up
  trap - EXIT
}

print_addresses() {
  echo "test network '$PREFIX' is up:"
  echo "  host side     namespace $NS_HOST  address $HOST_ADDR/$PREFIX_LEN (vh)"
  echo "  recorder side namespace $NS_REC  addresses $REC_ADDR ${REC_EXTRA_ADDRS[*]} /$PREFIX_LEN (vr)"
  echo "  broadcast 10.77.41.255"
}

do_status() {
  local ns found=0
  for ns in "$NS_HOST" "$NS_REC"; do
    if ns_exists "$ns"; then
      found=1
      echo "namespace $ns:"
      ip -n "$ns" -br addr show | sed 's/^/  /'
      local pids
      pids="$(ip netns pids "$ns" 2>/dev/null | tr '\n' ' ')"
      [[ -n "$pids" ]] && echo "  processes: $pids"
    else
      echo "namespace $ns: absent"
    fi
  done
  if ((found)) && network_is_up; then echo "state: up"; else echo "state: down"; fi
}

do_exec() {
  local side="${1:-}" ns
  case "$side" in
    host) ns="$NS_HOST" ;;
    rec) ns="$NS_REC" ;;
    *) usage ;;
  esac
  shift
  [[ "${1:-}" == "--" ]] && shift
  (($# > 0)) || usage
  (
    take_lock
    if ! network_is_up; then do_up >&2; fi
  )
  export VLM_HOST_ADDR="$HOST_ADDR" VLM_REC_ADDR="$REC_ADDR"
  export VLM_NETNS_HOST="$NS_HOST" VLM_NETNS_REC="$NS_REC" VLM_TESTNET_PREFIX="$PREFIX"
  exec ip netns exec "$ns" "$@"
}

# Runs a command in a fresh network namespace that has nothing but loopback: whatever it
# sends, broadcasts included, cannot reach any network.
do_private() {
  [[ "${1:-}" == "--" ]] && shift
  (($# > 0)) || usage
  local unshare_args=(--net)
  ((EUID == 0)) || unshare_args+=(--map-root-user)
  exec unshare "${unshare_args[@]}" -- /bin/sh -c 'ip link set lo up && exec "$@"' private "$@"
}

main() {
  local cmd="${1:-}"
  (($# > 0)) && shift
  case "$cmd" in
    private) do_private "$@" ;;
  esac
  check_prefix
  case "$cmd" in
    up)
      (take_lock; do_up)
      print_addresses
      ;;
    down) (take_lock; do_down) ;;
    status) do_status ;;
    exec) do_exec "$@" ;;
    *) usage ;;
  esac
}

main "$@"
