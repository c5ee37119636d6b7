#!/usr/bin/env bash
# The real program on a virtual display (Xvfb) with a session bus of its own,
# against the stand-in's clan "Brannock-live", whose members rotate, one in and
# one out, at each request.
#  1. With the notification daemon dunst on the bus and the notices switched on in
#     options.ini, two fetches give the daemon exactly one notice, whose summary
#     and body are read back from dunst's history.
#  2. With no notification service on the bus (dunst gone; the bus's service
#     folder is empty, so none can be started), a notice lost says so once on
#     stderr, no error box opens, and the window goes on fetching.
# Usage: desktop_notice_test.sh QUELLAR STANDIN [SCREENSHOT]; a SCREENSHOT path
# gets the screen with dunst's notice on it.
set -euo pipefail
quellar_built=$1 standin=$2 screenshot=${3:-}

fail() { echo "desktop_notice_test: $*" >&2; exit 1; }
for tool in Xvfb dbus-daemon dunst busctl xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done
if [[ -n $screenshot ]]; then
  command -v import >/dev/null || fail "import is missing (scripts/install-deps installs it)"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# wait_for SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds.
wait_for() {
  local tries=$(($1 * 10))
  shift
  while ((tries-- > 0)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# A copy of the program in a folder of its own, so that it reads the options.ini
# written here and nothing else.
mkdir -p "$work/bin" "$work/runtime" "$work/config" "$work/no-services"
chmod 700 "$work/runtime"
cp "$quellar_built" "$work/bin/quellar"
quellar=$work/bin/quellar

# Nothing of the caller's desktop: a display, a bus and configuration folders of
# the test's own.
while IFS= read -r var; do unset "$var"; done < <(compgen -e | grep -E '^(LC_|LANGUAGE$)' || true)
export LANG=ru_RU.UTF-8 QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
unset DBUS_SESSION_BUS_ADDRESS

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

"$standin" --port 0 >"$work/port" 2>"$work/standin.log" &
pids+=($!)
wait_for 10 test -s "$work/port" || fail "the stand-in did not start: $(cat "$work/standin.log")"
port=$(head -n 1 "$work/port")

# A session bus that starts no service by itself.
cat >"$work/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work/runtime</listen>
  <servicedir>$work/no-services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/bus" \
  2>"$work/bus.log" &
pids+=($!)
wait_for 10 test -s "$work/bus" || fail "the session bus did not start: $(cat "$work/bus.log")"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS

notifications_owned() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications 2>/dev/null |
    grep -q 'boolean true'
}
notifications_free() { ! notifications_owned; }

# The notices on, the stand-in as the proxy.
printf '[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=%s\r\n[Notify]\r\non=1\r\n' "$port" \
  >"$work/bin/options.ini"

requests() { grep -c 'clan=Brannock-live' "$work/standin.log" || true; }

# Starts the program and fetches Brannock-live twice as the user does: the clan
# typed into the clan box, three tabs to "Получить", Enter, and Enter again on
# the button, which keeps the focus.
quellar_pid=
window=
find_window() {
  window=$(xdotool search --onlyvisible --name '^Quellar$' 2>/dev/null | head -n 1)
  [[ -n $window ]]
}
start_and_fetch_twice() {
  "$quellar" 2>"$work/quellar.err" &
  quellar_pid=$!
  pids+=("$quellar_pid")
  wait_for 20 find_window || fail "the main window did not appear"
  local before
  before=$(requests)
  xdotool windowfocus --sync "$window"
  xdotool type --delay 30 Brannock-live
  xdotool key --delay 50 Tab Tab Tab Return
  wait_for 10 test "$(requests)" -ge $((before + 1)) || fail "the first fetch did not reach the stand-in"
  xdotool key Return
  wait_for 10 test "$(requests)" -ge $((before + 2)) || fail "the second fetch did not reach the stand-in"
}

stop_quellar() {
  kill "$quellar_pid"
  wait "$quellar_pid" 2>/dev/null || true
}

# --- 1. dunst receives the notice --------------------------------------------
dunst >"$work/dunst.log" 2>&1 &
dunst_pid=$!
pids+=("$dunst_pid")
wait_for 10 notifications_owned || fail "dunst did not take the notification service: $(cat "$work/dunst.log")"

start_and_fetch_twice
displayed() { [[ $(dunstctl count displayed 2>/dev/null) -ge 1 ]]; }
wait_for 10 displayed || fail "dunst shows no notice; the program said: $(cat "$work/quellar.err")"
if [[ -n $screenshot ]]; then
  import -window root "$screenshot"
fi
# dunst's history holds the notices closed, with their texts as received.
dunstctl close-all
dunst_history() {
  busctl --user --json=short call org.freedesktop.Notifications /org/freedesktop/Notifications \
    org.dunstproject.cmd0 NotificationListHistory
}
closed() { [[ $(dunst_history) == *'"summary"'* ]]; }
wait_for 10 closed || fail "dunst's history stays empty"
received=$(dunst_history)
# The first fetch names who is online, the second one member more and one less.
expected_texts=(
  '"appname":{"type":"s","data":"Quellar"}'
  '"summary":{"type":"s","data":"Quellar: Brannock-live"}'
  '"body":{"type":"s","data":"Вошли: Дуб-Старый\nВышли: Ясень"}'
)
for text in "${expected_texts[@]}"; do
  [[ $received == *"$text"* ]] || fail "dunst did not receive $text; its history: $received"
done
notices=$(grep -o '"summary"' <<<"$received" | wc -l)
((notices == 1)) || fail "dunst received $notices notices, not one: $received"
if grep -q 'no desktop notification service' "$work/quellar.err"; then
  fail "the program found no service while dunst served it: $(cat "$work/quellar.err")"
fi
stop_quellar

# --- 2. no notification service ----------------------------------------------
kill "$dunst_pid"
wait "$dunst_pid" 2>/dev/null || true
wait_for 10 notifications_free || fail "the notification service outlived dunst"

start_and_fetch_twice
line='quellar: no desktop notification service: org.freedesktop.DBus.Error.ServiceUnknown'
said() { [[ $(grep -cxF "$line" "$work/quellar.err" || true) -ge $1 ]]; }
wait_for 10 said 1 || fail "the program did not say there is no service: $(cat "$work/quellar.err")"
# The program goes on: a further fetch works, and the one notice lost with it
# says so once more.
before=$(requests)
xdotool key Return
wait_for 10 test "$(requests)" -ge $((before + 1)) || fail "no fetch after the notice was lost"
wait_for 10 said 2 || fail "the third notice lost was not reported: $(cat "$work/quellar.err")"
kill -0 "$quellar_pid" 2>/dev/null || fail "the program ended"
# No error box: the main window is the only window on the screen.
shown=$(xdotool search --onlyvisible --name . 2>/dev/null | wc -l)
((shown == 1)) || fail "$shown windows on the screen, not the main window alone"
stop_quellar
echo "desktop_notice_test: passed"
