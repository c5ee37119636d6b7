# shellcheck shell=bash disable=SC2154  # $wine is the sourcing test's
# Sourced by the Wine tests after their argument WINE is in $wine: a work folder,
# processes started in the background with start, and at the end those processes
# and the prefix's Wine server stopped and the folder removed.
work=$(mktemp -d)
pids=()
cleanup() {
  kill "${pids[@]}" 2>/dev/null || true
  "${wine%/*}/wineserver" -k 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
start() { "$@" & pids+=($!); }
# wait_for COMMAND...: until COMMAND succeeds, for 60 s at most (Wine starts
# slowly, and its first start in a new prefix makes the prefix).
wait_for() { for _ in $(seq 600); do "$@" && return 0; sleep 0.1; done; return 1; }
