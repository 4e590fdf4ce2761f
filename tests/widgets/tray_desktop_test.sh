#!/usr/bin/env bash
# The tray icon on a real X desktop: Xvfb as the screen, trayer as the tray,
# xdotool as the user. The demo starts before the tray exists, as an
# autostarted program may, and must still get its icon into the tray.
# Usage: tray_desktop_test.sh <demo program> <folder for screenshots and logs>
set -euo pipefail

demo="$1"
out="$2"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.log "$out"/display.txt

pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    shot "failure" || true
    echo "--- demo output" >&2
    cat "$out/demo.log" >&2 || true
    exit 1
}

# Runs a command until it succeeds or the seconds run out.
wait_for() {
    local seconds="$1"
    shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        if ((SECONDS >= deadline)); then
            return 1
        fi
        sleep 0.2
    done
}

shot() {
    import -window root "$out/$1.png"
}

# Xvfb picks a free display itself and writes its number once it is ready,
# so tests running side by side never share a server.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$out/display.txt" >"$out/xvfb.log" 2>&1 &
pids+=($!)
wait_for 10 test -s "$out/display.txt" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$out/display.txt")"
wait_for 10 xwininfo -root || fail "Xvfb on $DISPLAY does not answer"

# Qt must use this X server and the XEmbed tray, not a desktop's D-Bus tray.
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

"$demo" >"$out/demo.log" 2>&1 &
pids+=($!)
wait_for 10 grep -q started "$out/demo.log" || fail "the demo did not start"
sleep 1
visible_owner() { xdotool search --onlyvisible --name '^Vimo tray demo$'; }
if visible_owner >/dev/null 2>&1; then
    fail "the window is shown at start"
fi

trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 \
    --transparent false --tint 0xffffff --SetDockType true >"$out/trayer.log" 2>&1 &
pids+=($!)

# The icon is a window of the demo embedded into trayer's panel; it carries
# the program's name, like the demo's other windows.
demo_name=$(basename "$demo")
icon_window() {
    local panel
    panel=$(xdotool search --onlyvisible --class '^trayer$' | head -n 1)
    [ -n "$panel" ] || return 1
    xwininfo -tree -id "$panel" | awk -v name="\"$demo_name\":" '$2 == name {print $1; found=1; exit}
        END {exit !found}'
}
wait_for 20 icon_window || {
    xwininfo -root -tree >"$out/tree.log" 2>&1 || true
    fail "no tray icon in the tray within 20 s (tree in $out/tree.log)"
}
icon=$(icon_window)
sleep 0.5
shot "1-icon-in-tray"

# The middle of the icon window, in screen coordinates.
read -r x y w h < <(xwininfo -id "$icon" |
    awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
         /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
cx=$((x + w / 2))
cy=$((y + h / 2))
echo "icon window $icon at $x,$y size ${w}x$h"

xdotool mousemove --sync "$cx" "$cy"
xdotool click --repeat 2 --delay 80 1
wait_for 10 visible_owner || fail "a double click did not show the window"
grep -qx DblClick "$out/demo.log" || fail "DblClick was not reported"
sleep 0.5
shot "2-window-after-double-click"

# The menu is one more visible window of the demo.
demo_windows() { xdotool search --onlyvisible --class "^$demo_name\$" | wc -l; }
before=$(demo_windows)
xdotool click 3  # the pointer still rests on the icon
menu_up() { [ "$(demo_windows)" -gt "$before" ]; }
wait_for 10 menu_up || fail "the right button opened no menu"
grep -qx PopUp "$out/demo.log" || fail "PopUp was not reported"
grep -qx "MouseDown right at $cx,$cy" "$out/demo.log" ||
    fail "the right press was not reported at the cursor, $cx,$cy"
sleep 0.5
shot "3-menu-after-right-click"

# The menu's last item is the exit: the program closes its window through
# the exit path and the icon leaves the tray.
demo_pid=${pids[1]}
xdotool key Up Return
gone() { ! kill -0 "$demo_pid" 2>/dev/null; }
wait_for 10 gone || fail "the menu's exit item did not end the demo"
wait_for 5 bash -c "! xwininfo -root -tree | grep -q '\"$demo_name\": (\"$demo_name\"'" ||
    fail "the icon stayed in the tray after exit"
shot "4-tray-after-exit"

echo "PASS: hidden start, icon in a late tray, double click shows the window," \
    "right click opens the menu, exit removes the icon"
