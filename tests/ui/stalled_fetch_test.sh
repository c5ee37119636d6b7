#!/usr/bin/env bash
# The real program on Xvfb fetching through a proxy of the test's own that takes
# the request for clan "Stalled" and never answers it. While such a fetch runs,
# the window answers a window manager's _NET_WM_PING within 500 ms and opens its
# menu; "Получить" for another clan drops the stalled connection within a second
# and fills the table; closing the window ends the program within a second,
# with status 0.
# Usage: scripts/with-xvfb stalled_fetch_test.sh QUELLAR, which gives it a display
# no other test can take. Needs xdotool, xclip and python3-xlib (for the system's
# python3; PYTHON names another).
set -euo pipefail
fail() { echo "stalled_fetch_test: $*" >&2; exit 1; }
[[ -n ${DISPLAY:-} ]] || fail "no DISPLAY: run it under scripts/with-xvfb"
here=$(cd "$(dirname "$0")" && pwd)
python=${PYTHON:-/usr/bin/python3}
for tool in xdotool xclip; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (./scripts/install-deps)"
done
"$python" -c 'import Xlib' 2>/dev/null ||
  fail "$python has no Xlib: python3-xlib is not installed (./scripts/install-deps)"
wm() { "$python" "$here/wm_messages.py" "$@"; }

work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait || true; rm -rf "$work"' EXIT
# wait_for COMMAND...: until COMMAND succeeds, for 10 s at most.
wait_for() { for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done; return 1; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

"$python" "$here/stalling_proxy.py" "$work/proxy.log" >"$work/port" 2>"$work/proxy.err" &
proxy=$!
pids+=("$proxy")
wait_for test -s "$work/port" || fail "the proxy did not start: $(cat "$work/proxy.err")"

# A copy of the program in a folder of its own reads the options.ini written there.
mkdir "$work/bin" && cp "$1" "$work/bin/quellar"
printf '[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=%s\r\n' "$(cat "$work/port")" \
  >"$work/bin/options.ini"
export LANG=ru_RU.UTF-8 QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$work \
  DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
touch "$work/proxy.log"
"$work/bin/quellar" 2>"$work/quellar.err" &
quellar=$!
pids+=("$quellar")
wait_for xdotool search --onlyvisible --name '^Quellar$' >"$work/window" || fail "no main window"
window=$(head -n 1 "$work/window")

# The window lies at 359,198, undecorated: its menu bar on top, 18 pixels high,
# "Опции" first in it; the client area below holds the clan field at 70,42 and
# the table at 0,103, whose first row lies below a 17-pixel header.
clan_field=(429 258)
options_menu=(385 207)
first_row=(409 344)
# The connection on which the proxy holds the request for "Stalled", once it does.
stalled_connection() { awk '$1 == "stalled" { n = $2 } END { if (n) print n; else exit 1 }' \
  "$work/proxy.log"; }
closed() { grep -q "^closed $1 " "$work/proxy.log"; }
closed_at() { awk -v n="$1" '$1 == "closed" && $2 == n { print $3 }' "$work/proxy.log"; }
stalls() { (($(grep -c '^stalled ' "$work/proxy.log") >= $1)); }
# fetch CLAN: the clan typed over the field's text, three tabs to "Получить".
fetch_keys() {
  xdotool mousemove --sync "${clan_field[@]}" click 1 key ctrl+a
  xdotool type --delay 30 "$1"
  xdotool key --delay 50 Tab Tab Tab
}

# 1. A fetch of "Stalled" reaches the proxy, which holds it.
xdotool windowfocus --sync "$window"
fetch_keys Stalled
xdotool key Return
wait_for stalls 1 || fail "the fetch of Stalled did not reach the proxy: $(cat "$work/proxy.log")"
stalled=$(stalled_connection)

# 2. A window manager's ping is answered while the fetch stalls.
ping_ms=$(wm ping "$window" 500) || fail "no reply to _NET_WM_PING within 500 ms: $ping_ms"
echo "stalled_fetch_test: _NET_WM_PING answered in $ping_ms ms during a stalled fetch"

# 3. The "Опции" menu opens while it stalls, as a new viewable window, and Escape shuts it.
viewable=$(wm viewable)
xdotool mousemove --sync "${options_menu[@]}" click 1
more_viewable() { (($(wm viewable) > viewable)); }
as_many_viewable() { (($(wm viewable) == viewable)); }
wait_for more_viewable || fail "the Опции menu did not open during a stalled fetch"
xdotool key Escape
wait_for as_many_viewable || fail "Escape did not shut the Опции menu"
closed "$stalled" && fail "the stalled connection closed before a new fetch: $(cat "$work/proxy.log")"

# 4. A fetch of "Brannock" drops the stalled connection at once and fills the table.
fetch_keys Brannock
pressed=$(now_ms)
xdotool key Return
wait_for closed "$stalled" || fail "the stalled connection stays open after a new fetch"
drop_ms=$(($(closed_at "$stalled") - pressed))
echo "stalled_fetch_test: the stalled connection closed $drop_ms ms after the new fetch began"
((drop_ms <= 1000)) || fail "the stalled connection closed only after $drop_ms ms"
brannock() { grep -Eq '^request [0-9]+ [0-9]+ .*clan=Brannock([^-A-Za-z0-9]|$)' "$work/proxy.log"; }
wait_for brannock || fail "the fetch of Brannock did not reach the proxy: $(cat "$work/proxy.log")"
copied_nick() {
  xdotool mousemove --sync "${first_row[@]}" click 1 key ctrl+c
  [[ $(timeout 5 xclip -selection clipboard -o 2>/dev/null) == Brannock ]]
}
wait_for copied_nick || fail "the table's first row is not Brannock; the program said: \
$(cat "$work/quellar.err")"

# 5. Closing the window during a stalled fetch ends the program at once, with status 0.
fetch_keys Stalled
xdotool key Return
wait_for stalls 2 || fail "the second fetch of Stalled did not reach the proxy"
asked=$(wm delete "$window") || fail "could not send WM_DELETE_WINDOW"
# The shell reaps its children as they end, so a program gone fails kill -0; one
# still there after 10 s is ended, its time told all the same.
ended=
while ((($(now_ms) - asked) < 10000)); do
  kill -0 "$quellar" 2>/dev/null || { ended=yes && break; }
  sleep 0.01
done
exit_ms=$(($(now_ms) - asked))
[[ -n $ended ]] || kill -KILL "$quellar"
status=0
wait "$quellar" || status=$?
pids=("$proxy")  # the program's number may go to another process now
echo "stalled_fetch_test: the program ended $exit_ms ms after WM_DELETE_WINDOW, status $status"
((exit_ms <= 1000)) || fail "the program took $exit_ms ms to end after its window was closed"
((status == 0)) || fail "the program ended with status $status: $(cat "$work/quellar.err")"
echo "stalled_fetch_test: passed"
