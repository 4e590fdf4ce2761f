#!/usr/bin/env bash
# The real program in a tray under Xvfb, offline and online, beside a bare Qt
# program that shows only a tray icon (the floor of any Qt tray program): the
# CPU seconds each uses while idle, their peak resident memory, and the time
# from start until each icon is registered in the tray; then the time from a
# request to show the program's window (a second start in its folder, which
# hands the request to the running copy) until the window is on screen, the
# first opening, when its pages are built. Prints a table with the goals;
# asserts nothing.
#
# Usage: footprint.sh <program folder> <bare tray program> [seconds]
set -euo pipefail
export LC_ALL=C

program_dir=$(cd "$1" && pwd)
bare=$(realpath "$2")
seconds=${3:-60}
for tool in Xvfb trayer xwininfo xdotool ip; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool (run make deps)"; exit 1; }
done

work=$(mktemp -d /tmp/vimo-footprint.XXXXXX)
pids=()
ns=""
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    if [ -n "$ns" ]; then ip netns del "$ns" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP PIPE

fail() { echo "footprint: $*" >&2; exit 1; }
wait_for() { # <seconds> <what> <command...>
    local end=$((SECONDS + $1)) what=$2
    shift 2
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < end)) || fail "timed out waiting for $what"
        sleep 0.01
    done
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# --- the X server with a tray -------------------------------------------------
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
wait_for 20 "Xvfb" test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
trayer --edge top --align right --widthtype pixel --width 200 --height 24 \
    --transparent false --SetDockType true >"$work/trayer.log" 2>&1 &
pids+=($!)
wait_for 20 "the tray" xdotool search --class trayer
tray_windows() {
    local id
    for id in $(xdotool search --class trayer); do xwininfo -tree -id "$id" 2>/dev/null; done |
        grep -c '^ *0x' || true
}

# A namespace of our own for the online run: the Linux stack counts the
# computer online only with a default route. Without namespaces only the
# offline figures are taken.
if ip netns add "vimo-footprint-$$" 2>/dev/null; then
    ns="vimo-footprint-$$"
    ip -n "$ns" link set lo up
    ip -n "$ns" link add v0 type veth peer name v1
    ip -n "$ns" link set v0 up
    ip -n "$ns" link set v1 up
fi

more_tray_windows_than() { [ "$(tray_windows)" -gt "$1" ]; }

# start <name> <command...>: starts one program, in the namespace when there
# is one, and waits until its icon is in the tray; sets pid_<name> and
# startup_<name> (milliseconds).
start() {
    local name=$1 before t0 pid
    shift
    before=$(tray_windows)
    t0=$(now_ms)
    if [ -n "$ns" ]; then
        ip netns exec "$ns" "$@" >"$work/$name.log" 2>&1 &
    else
        "$@" >"$work/$name.log" 2>&1 &
    fi
    pid=$!
    pids+=("$pid")
    wait_for 30 "the tray icon of $name" more_tray_windows_than "$before"
    printf -v "pid_$name" '%s' "$pid"
    printf -v "startup_$name" '%s' $(($(now_ms) - t0))
    # Settle: let the programs finish drawing before the idle measurement.
    sleep 1
}
# in_ns <command...>: runs a command in the namespace when there is one.
in_ns() {
    if [ -n "$ns" ]; then ip netns exec "$ns" "$@"; else "$@"; fi
}
window_shown() { xdotool search --all --onlyvisible --pid "$1" --name '^Vimo  1\.0$'; }
# show_ms <pid> <folder>: milliseconds from a second start in <folder>, which
# hands the request to <pid> and ends, until the window of <pid> is mapped,
# and the peak memory after the opening. The second start's own start-up is
# included; bench_ui times the opening alone.
show_ms() {
    local t0 shown
    t0=$(now_ms)
    (cd "$2" && in_ns env XDG_CONFIG_HOME="$work/config" "$program_dir/vimo" \
        >>"$work/second.log" 2>&1) &
    wait_for 30 "the window" window_shown "$1"
    shown=$(($(now_ms) - t0))
    wait $! 2>/dev/null || true
    echo "window mapped $shown ms after a second start asked for it, then $(peak_kb "$1") kB peak"
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
peak_kb() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }
hz=$(getconf CLK_TCK)

# run_state <state>: the program and the bare tray side by side for the same
# seconds; adds a row for each and a line of ratios.
run_state() {
    local state=$1 folder="$work/$1" vp bp v0 b0 v1 b1 vm bm
    mkdir -p "$folder/Res"
    cp "$program_dir"/Res/*.ico "$folder/Res/"
    start bare "$bare" "$folder/Res/OffLine.ico"
    cd "$folder"
    start vimo env XDG_CONFIG_HOME="$work/config" "$program_dir/vimo"
    cd - >/dev/null
    vp=$pid_vimo bp=$pid_bare
    v0=$(cpu_ticks "$vp") b0=$(cpu_ticks "$bp")
    sleep "$seconds"
    v1=$(cpu_ticks "$vp") b1=$(cpu_ticks "$bp")
    kill -0 "$vp" || fail "the program ended: $(tail -n3 "$work/vimo.log")"
    # The idle peak, before the window opens.
    vm=$(peak_kb "$vp") bm=$(peak_kb "$bp")
    ! window_shown "$vp" >/dev/null 2>&1 || fail "the window was on screen before it was asked for"
    opened+=("$(printf '%-8s first opening: %s' \
        "$state" "$(show_ms "$vp" "$folder")")")
    rows+=("$(printf '%-8s %-9s %10s %12s %12s' vimo "$state" "$startup_vimo" \
        "$(awk -v t=$((v1 - v0)) -v hz="$hz" 'BEGIN {printf "%.2f", t / hz}')" "$vm")")
    rows+=("$(printf '%-8s %-9s %10s %12s %12s' bare "$state" "$startup_bare" \
        "$(awk -v t=$((b1 - b0)) -v hz="$hz" 'BEGIN {printf "%.2f", t / hz}')" "$bm")")
    ratios+=("$(awk -v v=$((v1 - v0)) -v b=$((b1 - b0)) -v vm="$vm" -v bm="$bm" \
        -v s="$state" -v vs="$startup_vimo" -v bs="$startup_bare" 'BEGIN {
            printf "%-8s CPU %s x the floor (goal 1.5x plus the checks), memory %.2f x (goal 1.2x), start-up %.2f x\n",
                s, (b > 0 ? sprintf("%.2f", v / b) : "n/a (floor below one tick)"), vm / bm, vs / bs }')")
    kill -9 "$vp" "$bp"
    wait "$vp" "$bp" 2>/dev/null || true
}

rows=()
ratios=()
opened=()
run_state offline
if [ -n "$ns" ]; then
    ip -n "$ns" addr add 10.77.0.2/24 dev v0
    ip -n "$ns" route add default dev v0
    run_state online
else
    echo "footprint: network namespaces are not allowed here; no online figures"
fi

echo
echo "Idle cost over ${seconds} s and start-up until the icon is in the tray (Xvfb, trayer)"
printf '%-8s %-9s %10s %12s %12s\n' program state start-ms cpu-seconds peak-rss-kB
printf '%s\n' "${rows[@]}"
echo
printf '%s\n' "${ratios[@]}"
echo
printf '%s\n' "${opened[@]}"
