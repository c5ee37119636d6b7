#!/usr/bin/env bash
# The real program on Xvfb with a session bus of its own, which starts no service
# by itself, against the stand-in's clan "Brannock-live" (one member in and one out
# at each request). With dunst on the bus, two fetches give dunst exactly one
# notice; with no notification service, a notice lost is told once on stderr, no
# error box opens and the window goes on fetching.
# Usage: scripts/with-xvfb desktop_notice_test.sh QUELLAR STANDIN, which gives it
# a display no other test can take; SCREENSHOT=FILE keeps the screen with dunst's
# notice on it.
set -euo pipefail
fail() { echo "desktop_notice_test: $*" >&2; exit 1; }
[[ -n ${DISPLAY:-} ]] || fail "no DISPLAY: run it under scripts/with-xvfb"
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait; rm -rf "$work"' EXIT
# wait_for COMMAND...: until COMMAND succeeds, for 10 s at most.
wait_for() { for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done; return 1; }
start() { "$@" & pids+=($!); }

# A copy of the program in a folder of its own reads the options.ini written there.
mkdir -m 700 "$work/runtime" && mkdir "$work/bin" "$work/no-services"
cp "$1" "$work/bin/quellar"
export LANG=ru_RU.UTF-8 QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime \
  XDG_CONFIG_HOME=$work
start "$2" --port 0 >"$work/port" 2>"$work/standin.log"
cat >"$work/bus.conf" <<EOF
<busconfig><type>session</type><listen>unix:dir=$work/runtime</listen>
  <servicedir>$work/no-services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
  </policy>
</busconfig>
EOF
start dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/bus" \
  2>"$work/bus.log"
wait_for test -s "$work/port" || fail "the stand-in did not start: $(cat "$work/standin.log")"
wait_for test -s "$work/bus" || fail "the session bus did not start: $(cat "$work/bus.log")"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
printf '[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=%s\r\n[Notify]\r\non=1\r\n' \
  "$(head -n 1 "$work/port")" >"$work/bin/options.ini"

requests() { grep -c 'clan=Brannock-live' "$work/standin.log" || true; }
fetched() { (($(requests) >= $1)); }
# Starts the program and fetches as the user does: the clan typed, three tabs to
# "Получить" and Enter, and Enter again on the button, which keeps the focus.
start_and_fetch_twice() {
  start "$work/bin/quellar" 2>"$work/quellar.err"
  wait_for xdotool search --onlyvisible --name '^Quellar$' >"$work/window" || fail "no main window"
  local before
  before=$(requests)
  xdotool windowfocus --sync "$(head -n 1 "$work/window")" type --delay 30 Brannock-live
  xdotool key --delay 50 Tab Tab Tab Return
  wait_for fetched $((before + 1)) || fail "the first fetch did not reach the stand-in"
  xdotool key Return
  wait_for fetched $((before + 2)) || fail "the second fetch did not reach the stand-in"
}
stop() { kill "$1"; wait "$1" 2>/dev/null || true; }

# 1. dunst receives the notice; its history holds what it received.
start dunst 2>"$work/dunst.log"
dunst_pid=$!
wait_for dunstctl is-paused >/dev/null 2>&1 || fail "dunst did not start"
start_and_fetch_twice
displayed() { (($(dunstctl count displayed) >= 1)); }
wait_for displayed || fail "dunst shows no notice; the program said: $(cat "$work/quellar.err")"
[[ -z ${SCREENSHOT:-} ]] || import -window root "$SCREENSHOT"
dunstctl close-all
dunst_history() { busctl --user --json=short call org.freedesktop.Notifications \
  /org/freedesktop/Notifications org.dunstproject.cmd0 NotificationListHistory; }
closed() { [[ $(dunst_history) == *summary* ]]; }
wait_for closed || fail "dunst's history stays empty"
received=$(dunst_history)
for text in '"appname":{"type":"s","data":"Quellar"}' \
  '"summary":{"type":"s","data":"Quellar: Brannock-live"}' \
  '"body":{"type":"s","data":"Вошли: Дуб-Старый\nВышли: Ясень"}'; do
  [[ $received == *"$text"* ]] || fail "dunst did not receive $text: $received"
done
(($(grep -o '"summary"' <<<"$received" | wc -l) == 1)) || fail "not one notice: $received"
grep -q 'notification service' "$work/quellar.err" && fail "$(cat "$work/quellar.err")"
stop "${pids[-1]}"

# 2. No notification service: dunst gone, and the bus starts none.
stop "$dunst_pid"
start_and_fetch_twice
line='quellar: no desktop notification service: org.freedesktop.DBus.Error.ServiceUnknown'
said() { (($(grep -cxF "$line" "$work/quellar.err") >= $1)); }
wait_for said 1 || fail "no service, but the program said: $(cat "$work/quellar.err")"
xdotool key Return
wait_for said 2 || fail "a further fetch and its notice lost are not told"
(($(xdotool search --onlyvisible --name . | wc -l) == 1)) || fail "a window besides the main one"
echo "desktop_notice_test: passed"
