#!/usr/bin/env bash
# The Windows program under Wine, on Qt's windows platform on Xvfb, fetching
# through a proxy of the test's own that takes the request for clan "Stalled" and
# never answers it. While that fetch runs, keys typed into the window change what
# it shows: the window repaints, its fetch still waiting.
# Usage: scripts/with-xvfb stalled_fetch_wine_test.sh WINE QUELLAR_EXE, with
# WINEPREFIX, WINEPATH and WINEQT_QPA_PLATFORM=windows set as the Windows build's
# tests set them. Needs xdotool and ImageMagick's import and compare.
set -euo pipefail
fail() { echo "stalled_fetch_wine_test: $*" >&2; exit 1; }
[[ -n ${DISPLAY:-} ]] || fail "no DISPLAY: run it under scripts/with-xvfb"
here=$(cd "$(dirname "$0")" && pwd)
python=${PYTHON:-/usr/bin/python3}
wine=$1

# shellcheck source=tests/ui/wine_session.sh
. "$here/wine_session.sh"

start "$python" "$here/stalling_proxy.py" "$work/proxy.log" >"$work/port" 2>"$work/proxy.err"
wait_for test -s "$work/port" || fail "the proxy did not start: $(cat "$work/proxy.err")"
touch "$work/proxy.log"

# A copy of the program in a folder of its own reads the options.ini written there.
mkdir "$work/bin" && cp "$2" "$work/bin/quellar.exe"
printf '[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=%s\r\n' "$(cat "$work/port")" \
  >"$work/bin/options.ini"
start "$wine" "$work/bin/quellar.exe" >"$work/quellar.out" 2>&1
wait_for xdotool search --onlyvisible --name '^Quellar$' >"$work/window" ||
  fail "no main window: $(cat "$work/quellar.out")"
window=$(head -n 1 "$work/window")

# The clan field has the focus at start; three tabs lead to "Получить".
xdotool windowfocus --sync "$window"
xdotool type --delay 50 Stalled
xdotool key --delay 100 Tab Tab Tab Return
stalled() { grep -q '^stalled ' "$work/proxy.log"; }
wait_for stalled || fail "the fetch of Stalled did not reach the proxy: $(cat "$work/proxy.log")"

# Back to the clan field, and more letters typed there while the fetch waits.
sleep 1
import -window "$window" "$work/before.png"
xdotool key --delay 100 shift+Tab shift+Tab shift+Tab
xdotool type --delay 50 QQQ
changed() {
  import -window "$window" "$work/after.png" &&
    (($(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true) > 50))
}
wait_for changed || fail "the window shows nothing new while its fetch waits"
grep -q '^closed ' "$work/proxy.log" && fail "the stalled fetch ended: $(cat "$work/proxy.log")"
echo "stalled_fetch_wine_test: the window repainted while its fetch waited; passed"
