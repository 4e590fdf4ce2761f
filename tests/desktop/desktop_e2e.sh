#!/usr/bin/env bash
# The real program on the desktops its users run, one case a run: X11 with
# openbox beside the tests' recording StatusNotifierWatcher, a watcher that
# comes late, no tray at all, sway with waybar, and GNOME Shell with and
# without the AppIndicator extension. Every case gets a fresh program folder,
# a network namespace without a route (the program is offline), a session bus
# of its own and, where the desktop wants them, a mock notification service
# and a mock logind on a system bus of its own; every bus and Wayland socket
# is a file in the scratch folder. Screenshots land in the given folder.
#
# Usage: desktop_e2e.sh <program folder> <clock-wait shim> <sni_watcher.py>
#            <activation-token tool> <screenshot folder> <case> [locale]
# The locale is the users' Russian unless given; the screenshots of another
# carry its name ("gnome_budget_stop-uk_UA-stop-warning.png").
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
watcher=$(realpath "$3")
token_tool=$4
shots=$5
case_name=$6
program_locale=${7:-ru_RU.UTF-8}
shot_name=$case_name${7:+-${7%%.*}}
here=$(dirname "$(realpath "$0")")
source "$here/../faults/lib.sh"
# The harness reads the menu's and banners' Russian texts.
export LC_ALL=C.UTF-8

faults_init Xvfb openbox xdotool xprop import dbus-daemon dbus-send sqlite3 sway swaymsg \
    waybar grim weston-flower gnome-shell gsettings
need_namespaces
make_namespace
mkdir -p "$shots"
rm -f "$shots/$shot_name"-*.png

python=$(python_with "dbus, dbusmock")
[ -n "$python" ] || fail "python3 with dbus and dbusmock is missing (run make deps)"

# A day whose cycle the budget cases seed.
fake_start="2026-03-10 12:00:00"
user=65534
program_env=(LANG=$program_locale LC_ALL=$program_locale FAKETIME_DONT_FAKE_MONOTONIC=1)
# A locale that is not installed would quietly run everything in C.
[ -z "$(LC_ALL=$program_locale locale 2>&1 >/dev/null)" ] ||
    fail "the locale $program_locale is not installed here (run make deps)"

# wait_while <seconds> <command...>: polls while the command succeeds, for
# at most the seconds: for a change that may rightly never come.
wait_while() {
    local end=$((SECONDS + $1))
    shift
    while ((SECONDS < end)) && "$@"; do
        sleep 0.1
    done
}

# expect <seconds> <what> <show> <command...>: polls the command as wait_for
# does; on timeout the failure also tells what `show` prints then.
expect() {
    local limit=$1 what=$2 show=$3
    shift 3
    local end=$((SECONDS + limit))
    until "$@"; do
        ((SECONDS < end)) || fail "timed out after ${limit}s waiting for: $what (now: $($show 2>&1))"
        sleep 0.05
    done
}

# --- sessions -----------------------------------------------------------------

# home_of <root|as_user>: a private home whose configuration, data and cache
# folders every process of that user in the case shares; echoes the
# environment that points there.
home_of() {
    local home="$work/home-$1"
    if [ ! -d "$home" ]; then
        mkdir -p "$home/.config" "$home/.local/share" "$home/.cache"
        [ "$1" != as_user ] || chown -R "$user:$user" "$home"
    fi
    echo "HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share" \
        "XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$(runtime_of "$1")"
}

# runtime_of <root|as_user>: the runtime folder lib.sh's start_program gives
# the program, made here first so that the desktop shares it.
runtime_of() {
    local runtime="$work/run-$1"
    if [ ! -d "$runtime" ]; then
        mkdir -m 700 "$runtime"
        [ "$1" != as_user ] || chown "$user:$user" "$runtime"
    fi
    echo "$runtime"
}

# as <root|as_user> <command...>: runs the command as that user in its
# private home and the case's buses, nothing else of the caller's.
as() {
    as_command "$@"
    "${command[@]}"
}
# as_command <root|as_user> <command...>: sets $command to what `as` runs.
as_command() {
    local who=$1
    shift
    command=(env -i PATH=/usr/bin:/bin TZ=UTC LANG=C.UTF-8 $(home_of "$who")
        ${session_bus:+DBUS_SESSION_BUS_ADDRESS=$session_bus}
        ${system_bus:+DBUS_SYSTEM_BUS_ADDRESS=$system_bus} "${desktop_env[@]}" "$@")
    if [ "$who" = as_user ]; then
        command=(setpriv --reuid=$user --regid=$user --clear-groups "${command[@]}")
    fi
}
desktop_env=()

# background <name> <root|as_user> <command...>: starts the command as `as`
# does, with its output in logs/<name>.log, in a process group of its own
# that the cleanup ends whole: a bus's services and a desktop's helpers
# (dconf, the accessibility bus) go with it.
background() {
    local name=$1
    shift
    as_command "$@"
    setsid "${command[@]}" >"$work/logs/$name.log" 2>&1 &
    process_groups+=($!)
}
process_groups=()
# A failed case leaves the logs of its desktop beside its screenshots.
desktop_cleanup() {
    local status=$? group
    for group in "${process_groups[@]}"; do
        kill -9 -- "-$group" 2>/dev/null || true
    done
    for group in "${process_groups[@]}"; do
        wait "$group" 2>/dev/null || true
    done
    rm -rf "$shots/$shot_name-logs"
    if ((status != 0)) && [ -d "$work/logs" ]; then
        cp -r "$work/logs" "$shots/$shot_name-logs"
    fi
    faults_cleanup
}
trap desktop_cleanup EXIT

# start_bus <session|system> <root|as_user>: a dbus-daemon on a file in the
# user's runtime folder, running as the user whose bus it is (a session bus
# admits its owner only). Services it starts on demand (dconf) get the
# user's home.
start_bus() {
    local kind=$1 who=$2 socket
    socket="$(runtime_of "$2")/$1-bus"
    background "$kind-bus" "$who" dbus-daemon --session --nofork --address="unix:path=$socket"
    wait_for 10 "the $kind bus" test -S "$socket"
    if [ "$kind" = session ]; then session_bus="unix:path=$socket"; else system_bus="unix:path=$socket"; fi
    desktop_user=$who
}
session_bus=""
system_bus=""
# Whose desktop it is: its buses, its mocks and its clients run as that user.
desktop_user=root

# start_mock <template> [dbusmock options]: a python-dbusmock template on the
# session bus (or --system), up once its name is taken.
start_mock() {
    local template=$1 name
    shift
    case $template in
    notification_daemon) name=org.freedesktop.Notifications ;;
    logind) name=org.freedesktop.login1 ;;
    esac
    background "mock-$template" "$desktop_user" "$python" -m dbusmock --template "$template" "$@"
    local bus=--session
    [ "${1:-}" != --system ] || bus=--system
    wait_for 10 "the mock $template" bus_has_name "$bus" "$name"
}

# bus_has_name <--session|--system> <name>
bus_has_name() {
    as "$desktop_user" dbus-send "$1" --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner "string:$2" 2>/dev/null | grep -q 'boolean true'
}

# The notifications the mock service was asked for, one call a line:
# `<time> Notify "app" id "icon" "summary" "body" [actions] {hints} timeout`.
notify_calls="$work/logs/notify-calls.log"
start_notifications() { start_mock notification_daemon -l "$notify_calls"; }
notify_log() { cat "$notify_calls"; }

# notified <app name> <urgency> <body start>: the service got such a notice.
notified() {
    grep -F " Notify \"$1\" " "$notify_calls" 2>/dev/null | grep -F "\"$3" |
        grep -qE "[{ ]\"urgency\": $2[,}]"
}

# --- the program ----------------------------------------------------------------

folder=$(new_folder "$case_name")

# vimo [NAME=value...]: starts the program in the case's folder on the
# desktop the case made, as the desktop's user; $vimo is its pid and $log its
# output.
vimo() {
    local saved=("${program_env[@]}") as="" speed=${vimo_speed:-1}
    if [ "$desktop_user" = as_user ]; then
        as=as_user
        chown -R "$user:$user" "$folder"
    fi
    program_env+=($(home_of "$desktop_user") ${session_bus:+DBUS_SESSION_BUS_ADDRESS=$session_bus}
        "${desktop_env[@]}" "$@")
    start_program "$folder" "$fake_start" "$speed" $as
    program_env=("${saved[@]}")
}

# ended <pid>: the process has ended (a zombie not yet reaped has, too).
ended() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 0
    [ "$state" = Z ] || [ "$state" = X ]
}

# seed_budget_alert <percent>: today's minutes used that percent of a
# ten-minute budget, and the alert is recorded in Vimo.db but not yet shown,
# as a run that ended just before showing it leaves it; the next start shows
# it. Sets $alert_text to the text of its notice.
seed_budget_alert() {
    local percent=$1
    printf '[budget]\nminutes = 10\nalerts = [%s]\n' "$percent" >"$folder/Vimo.toml"
    head -c 9672 /dev/zero >"$folder/Table.dat"
    head -c 62496 /dev/zero >"$folder/TableExt.dat"
    local offset=$(((((2026 - 2016) * 12 + 3 - 1) * 31 + 10 - 1) * 2))
    printf "\\x$(printf %02x $((percent / 10)))\\x00" |
        dd of="$folder/TableExt.dat" bs=1 seek=$offset conv=notrunc status=none
    sqlite3 "$folder/Vimo.db" <<SQL
CREATE TABLE day_cost (day TEXT PRIMARY KEY, minutes INTEGER NOT NULL,
    millikopecks INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE fired_alert (cycle_first TEXT NOT NULL, budget TEXT NOT NULL,
    percent INTEGER NOT NULL, shown INTEGER NOT NULL DEFAULT 1,
    PRIMARY KEY (cycle_first, budget, percent)) WITHOUT ROWID;
CREATE TABLE day_bytes (day TEXT PRIMARY KEY, received INTEGER NOT NULL,
    sent INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE session_bytes (head TEXT PRIMARY KEY, received INTEGER NOT NULL,
    sent INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE session_cost (head TEXT PRIMARY KEY, minutes INTEGER NOT NULL,
    millikopecks INTEGER NOT NULL) WITHOUT ROWID;
INSERT INTO fired_alert VALUES ('2026-03-01', 'minutes', $percent, 0);
PRAGMA user_version = 4;
SQL
    alert_text="Израсходовано $percent% бюджета: $((percent / 10)) мин. из 10 мин."
}
# seed_stop <percent>: a budget of ten minutes whose use stands at that
# percent today, with a stop at 100 % an hour after its warning.
seed_stop() {
    printf '[budget]\nminutes = 10\nalerts = []\nstop_at = 100\nstop_grace = 3600\n' \
        >"$folder/Vimo.toml"
    head -c 9672 /dev/zero >"$folder/Table.dat"
    head -c 62496 /dev/zero >"$folder/TableExt.dat"
    local offset=$(((((2026 - 2016) * 12 + 3 - 1) * 31 + 10 - 1) * 2))
    printf "\\x$(printf %02x $(($1 / 10)))\\x00" |
        dd of="$folder/TableExt.dat" bs=1 seek=$offset conv=notrunc status=none
}
# The design's caption of the window.
window_title="Vimo  1.0"
menu_labels='["Главная", "Статистика", "Настройки", "О программе", "Обзор", "-", "Выход"]'
# The stop's warning, its buttons, and the overview, as the locale says them.
case $program_locale in
uk_UA*)
    stop_words='Зʼєднання буде розірвано через 3600 с.'
    stop_buttons=('Розірвати зараз' 'Ще 15 хвилин' 'Не розривати до кінця циклу')
    overview_item='Огляд'
    overview_title='Vimo — огляд'
    keep_item='Не розривати'
    stop_menu_labels='["Головна", "Статистика", "Параметри", "Про програму", "Огляд", "Не розривати", "-", "Вихід"]'
    ;;
*)
    stop_words='Соединение будет отключено через 3600 с.'
    stop_buttons=('Отключить сейчас' 'Ещё 15 минут' 'Не отключать до конца цикла')
    overview_item='Обзор'
    overview_title='Vimo — обзор'
    keep_item='Не отключать'
    stop_menu_labels='["Главная", "Статистика", "Настройки", "О программе", "Обзор", "Не отключать", "-", "Выход"]'
    ;;
esac

# --- X11: Xvfb with openbox ------------------------------------------------------

start_x11() {
    exec 3>"$work/display"
    background xvfb root Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp
    exec 3>&-
    wait_for 20 "Xvfb" test -s "$work/display"
    desktop_env=(DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb XDG_SESSION_TYPE=x11)
    background openbox root openbox
    wait_for 20 "openbox" x11_wm_running
}
# desk <command...>: a command of the harness on the case's desktop.
desk() { env "${desktop_env[@]}" "$@"; }
x11_wm_running() { desk xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
x11_window() { desk xdotool search --onlyvisible --name "^$window_title\$" 2>/dev/null | head -n1; }
x11_window_shown() { [ -n "$(x11_window)" ]; }
x11_shot() { desk import -window root "$shots/$shot_name-$1.png"; }

# x11_state <window>: its ICCCM state, Normal, Iconic or Withdrawn (none is
# withdrawn too: the window manager dropped it).
x11_state() {
    local state
    state=$(desk xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/^[[:space:]]*window state: //p')
    echo "${state:-Withdrawn}"
}
x11_state_is() { [ "$(x11_state "$1")" = "$2" ]; }

# --- the tests' StatusNotifierWatcher ----------------------------------------------

record="$work/logs/sni-record.json"
start_watcher() {
    [ -f "$watcher" ] || fail "the tests' watcher is missing: $watcher"
    background watcher "$desktop_user" "$python" "$watcher" --record "$record" "$@"
    wait_for 10 "the watcher" bus_has_name --session org.kde.StatusNotifierWatcher
}
watcher_call() {
    as "$desktop_user" dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher \
        /org/vimo/SniWatcher "org.vimo.SniWatcher.$1" "${@:2}" >/dev/null
}

# recorded_menu: the labels of the newest item's menu as the watcher read it,
# a separator as "-", in a JSON list; fails while no item has registered.
recorded_menu() {
    "$python" - "$record" <<'PY'
import json, sys
try:
    items = json.load(open(sys.argv[1]))["items"]
except (OSError, ValueError):
    sys.exit(1)
menu = items[-1].get("menu") if items else None
if not menu or "layout" not in menu:
    sys.exit(1)
def label(item):
    p = item["properties"]
    return "-" if p.get("type") == "separator" else p.get("label", "")
print(json.dumps([label(c) for c in menu["layout"]["children"]
                  if c["properties"].get("visible", True)], ensure_ascii=False))
PY
}
item_registered() { recorded_menu >/dev/null || "$python" -c '
import json, sys
sys.exit(0 if json.load(open(sys.argv[1]))["items"] else 1)' "$record" 2>/dev/null; }
menu_is() { [ "$(recorded_menu 2>/dev/null)" = "$1" ]; }

# --- sway with waybar, as an unprivileged user -------------------------------------

start_sway() {
    local runtime
    runtime=$(runtime_of as_user)
    cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution 1024x768
xwayland disable
focus_on_window_activation focus
exec waybar -c $work/waybar.json -s $work/waybar.css
CONF
    echo '{"layer": "top", "position": "top", "height": 28, "modules-right": ["tray"],
        "tray": {"icon-size": 22, "spacing": 6}}' >"$work/waybar.json"
    echo 'window#waybar { background: #303030; }' >"$work/waybar.css"
    chmod a+r "$work"/sway.conf "$work"/waybar.*
    start_bus session as_user
    desktop_env=(WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
        XDG_CURRENT_DESKTOP=sway)
    background sway as_user sway -c "$work/sway.conf"
    wait_for 20 "sway's Wayland socket" quiet compgen -G "$runtime/wayland-[0-9]"
    wait_for 20 "sway's control socket" quiet compgen -G "$runtime/sway-ipc.*.sock"
    swaysock=$(compgen -G "$runtime/sway-ipc.*.sock" | head -n1)
    desktop_env=(WAYLAND_DISPLAY="$(compgen -G "$runtime/wayland-[0-9]" | head -n1)"
        QT_QPA_PLATFORM=wayland XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=sway)
    wait_for 20 "waybar's tray" bus_has_name --session org.kde.StatusNotifierWatcher
}
sway_items() {
    as "$desktop_user" dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher \
        /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
        string:org.kde.StatusNotifierWatcher string:RegisteredStatusNotifierItems 2>/dev/null |
        grep -c 'string "' || true
}
sway_registered() { (($(sway_items) > 0)); }
# sway_focus: the focused window's name, as sway's tree has it.
sway_focus() {
    swaymsg -s "$swaysock" -t get_tree | "$python" -c '
import json, sys
def walk(node):
    if node.get("focused") and node.get("type") in ("con", "floating_con"):
        print(node.get("name") or node.get("app_id") or "")
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))'
}
sway_focused_on() { [ "$(sway_focus)" = "$1" ]; }
sway_focus_elsewhere() { local f; f=$(sway_focus) && [ -n "$f" ] && [ "$f" != "$window_title" ]; }
sway_shot() { desk grim "$shots/$shot_name-$1.png"; }

# --- GNOME Shell, headless --------------------------------------------------------

# GNOME 43 has no command-line switch for the unsafe mode that its Eval and
# Screenshot calls need from a stranger; a small extension of the tests' own
# turns it on, as Looking Glass's "unsafe-mode" command does.
unsafe_extension=unsafe-mode@vimo-tests
start_gnome() {
    local extensions="'$unsafe_extension'" home="$work/home-as_user"
    [ "${1:-}" != appindicator ] || extensions+=", 'ubuntu-appindicators@ubuntu.com'"
    start_bus system as_user
    start_mock logind --system
    start_bus session as_user
    home_of as_user >/dev/null
    mkdir -p "$home/.local/share/gnome-shell/extensions"
    cp -r "$here/$unsafe_extension" "$home/.local/share/gnome-shell/extensions/"
    # Neither the welcome tour nor the warning that the screen cannot lock.
    touch "$home/.local/share/gnome-shell/lock-warning-shown"
    chown -R "$user:$user" "$home"
    as as_user gsettings set org.gnome.shell welcome-dialog-last-shown-version 999
    as as_user gsettings set org.gnome.shell enabled-extensions "[$extensions]"
    # Windows and menus appear at once, so a screenshot shows them whole.
    as as_user gsettings set org.gnome.desktop.interface enable-animations false
    gnome_wayland="$(runtime_of as_user)/gnome-wayland"
    background gnome-shell as_user gnome-shell --headless --wayland --no-x11 \
        --wayland-display="$gnome_wayland" --virtual-monitor 1024x768
    wait_for 40 "GNOME Shell in unsafe mode" shell_is 'global.context.unsafe_mode'
    # The desktop as a session shows it once the overview has gone, without
    # the notices of its own start (no screen lock, the unsafe mode).
    # The shell opens the overview when its start-up ends, which may come after
    # a first hide: hidden again until it stays so.
    wait_for 20 "the shell's start-up to end" shell_is '!Main.layoutManager._startingUp'
    shell_eval 'Main.messageTray.getSources().forEach(s => s.destroy()); true' >/dev/null
    # A window counts as shown once the shell has drawn its first frame.
    shell_eval "global.display.connect('window-created', (display, window) =>
        window.get_compositor_private().connect('first-frame', () => { window.vimoDrawn = true; }));
        true" >/dev/null
    wait_for 10 "the overview to close" shell_is '(Main.overview.hide(), !Main.overview.visible)'
    desktop_env=(WAYLAND_DISPLAY="$gnome_wayland" QT_QPA_PLATFORM=wayland
        XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME)
}

# shell_eval <JavaScript>: evaluates it in the shell and prints the result as
# JSON; fails when the shell refuses or the script throws.
shell_eval() {
    as "$desktop_user" "$python" - "$1" <<'PY'
import dbus, sys
try:
    shell = dbus.SessionBus().get_object("org.gnome.Shell", "/org/gnome/Shell")
    ok, result = shell.Eval(sys.argv[1], dbus_interface="org.gnome.Shell")
except dbus.DBusException:
    sys.exit(1)
print(result)
sys.exit(0 if ok and result not in ("", "false", "null") else 1)
PY
}
shell_is() { [ "$(shell_eval "$1" 2>/dev/null)" = "${2:-true}" ]; }
# The shell writes as its user, into a folder of the harness's.
gnome_shot() {
    as "$desktop_user" dbus-send --session --print-reply --dest=org.gnome.Shell.Screenshot \
        /org/gnome/Shell/Screenshot org.gnome.Shell.Screenshot.Screenshot \
        boolean:false boolean:false "string:$work/logs/shot.png" >/dev/null
    mv "$work/logs/shot.png" "$shots/$shot_name-$1.png"
}
gnome_window="global.get_window_actors().map(a => a.meta_window).find(w => w.get_title() === '$window_title')"
gnome_window_shown() {
    shell_is "!!($gnome_window)?.vimoDrawn && ($gnome_window).showing_on_its_workspace()"
}
# The item's button in the panel, from the AppIndicator extension.
gnome_indicator="Object.entries(Main.panel.statusArea).find(([key]) => key.startsWith('appindicator-'))?.[1]"
# gnome_click <button> [actor]: a real press and release of a virtual
# pointer in the middle of the indicator (or of another actor), as a user's
# mouse makes them.
gnome_click() {
    shell_eval "const C = imports.gi.Clutter; const b = ${2:-$gnome_indicator};
        const [x, y] = b.get_transformed_position(); const [w, h] = b.get_transformed_size();
        global.vimoPointer ??= C.get_default_backend().get_default_seat()
            .create_virtual_device(C.InputDeviceType.POINTER_DEVICE);
        const t = imports.gi.GLib.get_monotonic_time();
        global.vimoPointer.notify_absolute_motion(t, x + w / 2, y + h / 2);
        global.vimoPointer.notify_button(t + 1000, $1, C.ButtonState.PRESSED);
        global.vimoPointer.notify_button(t + 2000, $1, C.ButtonState.RELEASED); true" >/dev/null
}
# gnome_menu: the labels of the indicator's open menu as gnome_menu_is
# compares them, or "closed".
gnome_menu() {
    shell_eval "const b = $gnome_indicator; b?.menu.isOpen ?
        b.menu._getMenuItems().filter(i => i.visible).map(i =>
            i instanceof imports.ui.popupMenu.PopupSeparatorMenuItem ? '-' : i.label.text) : 'closed'" |
        "$python" -c 'import json, sys; print(json.dumps(json.loads(sys.stdin.read()), ensure_ascii=False).strip("\""))'
}
gnome_menu_is() { [ "$(gnome_menu 2>/dev/null)" = "$1" ]; }
# gnome_banner: the banner on screen, "source: title: body", once shown.
gnome_banner() {
    shell_eval "const t = Main.messageTray, n = t._notification;
        n && t._banner && t._notificationState === imports.ui.messageTray.State.SHOWN ?
        n.source.title + ': ' + n.title + ': ' + n.bannerBodyText : null" |
        "$python" -c 'import json, sys; print(json.loads(sys.stdin.read()))'
}
gnome_banner_has() { gnome_banner 2>/dev/null | grep -qF "$1"; }
# gnome_buttons: the captions of the banner's buttons, "|" between them.
gnome_buttons() {
    shell_eval "Main.messageTray._banner?._buttonBox?.get_children().map(b => b.label).join('|') ?? null"
}
gnome_buttons_are() { [ "$(gnome_buttons 2>/dev/null)" = "\"$1\"" ]; }
gnome_no_banner() { shell_is "Main.messageTray._notificationState === imports.ui.messageTray.State.HIDDEN"; }

# --- the cases ----------------------------------------------------------------------

case $case_name in
x11_watcher)
    # The menu the host shows, a click on the icon, and a budget notice.
    start_x11
    start_bus session root
    start_notifications
    start_watcher
    # Below 100 %: a spent budget's notice is urgent, this one is not.
    seed_budget_alert 80
    vimo
    expect 20 "the exported menu $menu_labels" recorded_menu menu_is "$menu_labels"
    x11_window_shown && fail "the window shows at start, beside a tray"
    watcher_call Activate int32:400 int32:10 string:
    wait_for 10 "the window after Activate" x11_window_shown
    x11_shot window-after-activate
    expect 10 "the notice \"$alert_text\" from \"Vimo\" at normal urgency" notify_log \
        notified Vimo 1 "$alert_text"
    ;;
late_watcher)
    # An autostarted program may come before the panel that hosts its icon.
    start_x11
    start_bus session root
    vimo
    sleep 5
    alive || fail "the program ended without a tray"
    start_watcher
    wait_for 10 "the icon to register with a watcher that came 5 s late" item_registered
    ;;
no_tray)
    # No tray ever comes: the window must show, and closing it must not lose it.
    start_x11
    start_bus session root
    vimo
    wait_for 15 "the window without a tray" x11_window_shown
    window=$(x11_window)
    x11_shot window-without-tray
    desk xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
    # Kept as it was is as right as minimised, so the wait is for a change
    # that may not come: bounded, then the state is judged.
    wait_while 3 x11_state_is "$window" Normal
    state=$(x11_state "$window")
    [ "$state" != Withdrawn ] ||
        fail "closing the window without a tray withdrew it: nothing shows the program any more"
    ! desk xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
        fail "closing the window without a tray took it off the taskbar"
    alive || fail "closing the window ended the program"
    echo "after closing, the window is $state"
    ;;
sway_activation)
    # A second start hands its launcher's token to the running copy, which
    # takes the focus with it from another window.
    [ -x "$token_tool" ] || fail "the activation token tool is missing: $token_tool"
    start_sway
    vimo
    first=$vimo
    wait_for 20 "the icon in waybar's tray" sway_registered
    sway_shot icon-in-waybar
    vimo
    wait_for 10 "the second start to hand over and end" ended "$vimo"
    wait_for 10 "the window after a second start" sway_focused_on "$window_title"
    sway_shot window-beside-waybar
    background other "$desktop_user" weston-flower
    wait_for 10 "another window to take the focus" sway_focus_elsewhere
    token=$(as "$desktop_user" "$token_tool") || fail "no activation token from sway"
    vimo XDG_ACTIVATION_TOKEN="$token"
    wait_for 10 "the second start with a token to end" ended "$vimo"
    expect 10 "the running copy to take the focus with the token" sway_focus \
        sway_focused_on "$window_title"
    vimo=$first
    ;;
gnome_plain)
    # GNOME Shell without the extension has no tray of any kind.
    start_gnome
    vimo
    wait_for 15 "the window on GNOME Shell without a tray" gnome_window_shown
    gnome_shot window-without-tray
    shell_eval "($gnome_window).delete(global.get_current_time()); true" >/dev/null
    # As with X11: kept as it was is as right as minimised.
    wait_while 3 gnome_window_shown
    shell_is "!!($gnome_window)" || fail "closing the window on GNOME Shell without a tray unmapped it"
    echo "after closing, the window is $(shell_eval "($gnome_window).minimized ? 'minimised' : 'shown'")"
    ;;
gnome_appindicator)
    # The extension is GNOME's StatusNotifierItem host: it draws the icon and
    # the menu the program exports, and the shell shows its notices.
    start_gnome appindicator
    seed_budget_alert 100
    vimo
    expect 20 "the banner \"$alert_text\"" gnome_banner gnome_banner_has "$alert_text"
    gnome_shot banner
    # The shell keeps a banner up while the user is idle; the menu's picture
    # is clearer without it.
    shell_eval 'Main.messageTray.getSources().forEach(s => s.destroy()); true' >/dev/null
    wait_for 10 "the banner to go" gnome_no_banner
    wait_for 20 "the icon in the panel" shell_is "!!($gnome_indicator)"
    gnome_click 3
    expect 10 "the menu $menu_labels after a right click" gnome_menu gnome_menu_is "$menu_labels"
    gnome_shot menu
    ;;
gnome_budget_stop)
    # The stop's warning is critical: the shell shows it expanded, with its
    # three buttons; the overview says when the stop comes. The clock runs
    # a minute a second, so the first tick counts the minute that reaches
    # the budget.
    start_gnome appindicator
    seed_stop 90
    go_online
    # The tick follows the sped-up clock only where the monotonic one is
    # faked too.
    vimo_speed=60 vimo FAKETIME_DONT_FAKE_MONOTONIC=0
    expect 20 "the stop's warning" gnome_banner gnome_banner_has "$stop_words"
    buttons="$(printf '%s|' "${stop_buttons[@]}")"
    expect 10 "the buttons ${buttons%|}" gnome_buttons gnome_buttons_are "${buttons%|}"
    gnome_shot stop-warning
    shell_eval 'Main.messageTray.getSources().forEach(s => s.destroy()); true' >/dev/null
    wait_for 10 "the banner to go" gnome_no_banner
    wait_for 20 "the icon in the panel" shell_is "!!($gnome_indicator)"
    # While the stop is pending the menu offers "Не отключать", the answer
    # of a notification service without buttons.
    gnome_click 3
    expect 10 "the menu $stop_menu_labels" gnome_menu gnome_menu_is "$stop_menu_labels"
    gnome_click 1 "$gnome_indicator.menu._getMenuItems().find(i => i.label?.text === '$overview_item')"
    wait_for 20 "the overview" shell_is "!!global.get_window_actors().find(a =>
        a.meta_window.get_title() === '$overview_title' && a.meta_window.showing_on_its_workspace())"
    sleep 1  # its first paint
    gnome_shot stop-overview
    gnome_click 3
    wait_for 10 "the menu" shell_is "$gnome_indicator.menu.isOpen"
    gnome_click 1 "$gnome_indicator.menu._getMenuItems().find(i => i.label?.text === '$keep_item')"
    stop_phase() { store_query "$folder" 'SELECT phase FROM budget_stop'; }
    declined() { [ "$(stop_phase)" = declined ]; }
    expect 10 "the stop declined from the menu" stop_phase declined
    ;;
*)
    fail "no such case: $case_name"
    ;;
esac

alive || fail "the program ended: $(tail -n5 "$log")"
if grep -a '^vimo: error:' "$work"/logs/vimo-*.log; then
    fail "the program reported errors"
fi
echo "PASS: $case_name"
