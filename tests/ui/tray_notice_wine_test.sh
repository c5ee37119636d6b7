#!/usr/bin/env bash
# The Windows program under Wine, on Qt's windows platform on Xvfb, with its
# notices on, against the stand-in's clan "Brannock-live" (one member in and one
# out at each request). Two fetches give one notice, which Wine's tray shows as a
# balloon window, with nothing like it before: as large as Wine laid it out for the
# notice's title and text, with the information icon and the text painted in it.
# Usage: scripts/with-xvfb tray_notice_wine_test.sh WINE QUELLAR_EXE STANDIN_EXE,
# with WINEPREFIX, WINEPATH and WINEQT_QPA_PLATFORM=windows set as the Windows
# build's tests set them; SCREENSHOT=FILE keeps the screen with the balloon on it.
set -euo pipefail
fail() { echo "tray_notice_wine_test: $*" >&2; exit 1; }
[[ -n ${DISPLAY:-} ]] || fail "no DISPLAY: run it under scripts/with-xvfb"
wine=$1
# shellcheck source=tests/ui/wine_session.sh
. "$(dirname "$0")/wine_session.sh"

# Wine's tooltip log names each tip's title and icon, its text, place and size.
# Every Wine process logs to the stderr it was started with; explorer.exe, which
# draws the tray, to that of the first one here.
export WINEDEBUG=-all,+tooltips
start "$wine" "$3" --port 0 >"$work/port" 2>"$work/standin.log"
wait_for test -s "$work/port" || fail "the stand-in did not start: $(cat "$work/standin.log")"
logs=("$work/standin.log" "$work/quellar.log")

# A copy of the program in a folder of its own reads the options.ini written there.
mkdir "$work/bin" && cp "$2" "$work/bin/quellar.exe"
printf '[Proxy]\r\nuse=1\r\nserver=127.0.0.1\r\nport=%s\r\n[Notify]\r\non=1\r\n' \
  "$(head -n 1 "$work/port" | tr -d '\r')" >"$work/bin/options.ini"
start "$wine" "$work/bin/quellar.exe" >/dev/null 2>"$work/quellar.log"
wait_for xdotool search --onlyvisible --name '^Quellar$' >"$work/window" || fail "no main window"
# With no tray on the display Wine opens one of its own, in the screen's top left
# corner. A balloon there reaches past the screen's edge, and Wine cuts its side
# off instead of moving it: the tray is moved in, as its user could.
wait_for xdotool search --onlyvisible --name '^Wine System Tray$' >"$work/tray" ||
  fail "the program put no icon in the tray"
tray=$(head -n 1 "$work/tray") && xdotool windowmove --sync "$tray" 40 40
# Wine's windows on the screen besides its tray (explorer.exe's balloons and tips),
# and the one such window of a balloon's size: balloon sets X, Y, WIDTH and HEIGHT.
popups() { xdotool search --onlyvisible --class '^explorer\.exe$' | grep -vxF "$tray"; }
balloon() {
  popups >"$work/balloon" && (($(wc -l <"$work/balloon") == 1)) &&
    geometry=$(xdotool getwindowgeometry --shell "$(cat "$work/balloon")") && eval "$geometry" &&
    ((WIDTH >= 100 && WIDTH <= 400 && HEIGHT >= 60 && HEIGHT <= 200))
}

fetched() { (($(grep -c 'clan=Brannock-live' "$work/standin.log" || true) >= $1)); }
# The clan typed, three tabs to "Получить" and Enter, and Enter again on the
# button, which keeps the focus. Wine opens a balloon 2 s after it is asked for one.
xdotool windowfocus --sync "$(head -n 1 "$work/window")" type --delay 50 Brannock-live
xdotool key --delay 100 Tab Tab Tab Return
wait_for fetched 1 || fail "the first fetch did not reach the stand-in"
sleep 3
popups >/dev/null && fail "a window of Wine's tray before the notice: $(popups)"
grep -q TOOLTIPS_SetTitle "${logs[@]}" && fail "a balloon before the notice"
xdotool key Return
wait_for fetched 2 || fail "the second fetch did not reach the stand-in"
wait_for balloon ||
  fail "not one balloon-sized window of Wine's tray: $(cat "$work/balloon") ${WIDTH:-}x${HEIGHT:-}"

# Wine's log of it: its text ("Вошли: Дуб-Старый\nВышли: Ясень" as the log writes
# it) at the window's place and size, and one title, with icon 1: the information
# icon, which Wine draws itself.
text='L"\0412\043e\0448\043b\0438: \0414\0443\0431-\0421\0442\0430\0440\044b\0439\n'
text+='\0412\044b\0448\043b\0438: \042f\0441\0435\043d\044c"'
shown() {
  grep -qE "TOOLTIPS_Show $1\$" "${logs[@]}" ||
    fail "Wine showed no $2: $(sed -n 's/.*TOOLTIPS_Show //p' "${logs[@]}")"
}
shown "Show tooltip [0-9]+, ${text//\\/\\\\}, size $WIDTH x $HEIGHT" "balloon of the notice's text"
shown "pos $X - $Y" "balloon where its window is"
titles=$(grep -ho 'title = .*' "${logs[@]}" || true)
one_title='^title = L"Quellar: Brannock-live", icon = 0+1$'
[[ $titles =~ $one_title ]] || fail "not one balloon with the information icon: $titles"

# Inside its margins, below the stem that points up at the icon: the title and two
# lines of text in black and grey on white, and the blue icon, once painted.
inside="$((WIDTH - 20))x$((HEIGHT - 33))+$((X + 10))+$((Y + 23))"
count() { convert "$work/screen.png" -crop "$inside" "$@" -format '%[fx:round(mean*w*h)]' info:; }
painted() {
  import -window root "$work/screen.png"
  ink=$(count -colorspace gray -threshold 50% -negate)
  blue=$(count -colorspace HSL -channel G -separate -threshold 40%)
  ((ink >= 300 && blue >= 50))
}
wait_for painted || fail "the balloon shows $ink dark pixels and $blue coloured ones"
[[ -z ${SCREENSHOT:-} ]] || cp "$work/screen.png" "$SCREENSHOT"
echo "tray_notice_wine_test: a balloon of ${WIDTH}x$HEIGHT with $ink dark pixels; passed"
