#!/usr/bin/env bash
# Installs the Debian package built in BUILD_DIR, runs the installed report
# command once, starts the installed program the way its menu entry does,
# offscreen in a temporary HOME, checks that it runs from the user's own
# program folder and writes its data files there, stops it by its pid and
# removes the package again.
#   deb_smoke.sh BUILD_DIR
set -euo pipefail

build=${1:?build folder with vimo_*.deb}
shopt -s nullglob
debs=("$build"/vimo_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
    echo "deb_smoke: expected one vimo_*.deb in $build, found ${#debs[@]}" >&2
    exit 1
fi
deb=$(realpath "${debs[0]}")
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

home=$(mktemp -d /tmp/vimo-deb-smoke.XXXXXX)
pid=""
failures=0
fail() {
    echo "deb_smoke: FAIL: $*" >&2
    failures=$((failures + 1))
}
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    fi
    if dpkg-query -W -f='${Status}' vimo 2>/dev/null | grep -q 'install ok installed'; then
        $sudo dpkg -r vimo >/dev/null
    fi
    rm -rf "$home"
}
trap cleanup EXIT

echo "deb_smoke: installing $deb"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null

desktop=/usr/share/applications/vimo.desktop
desktop-file-validate "$desktop" || fail "$desktop does not validate"
[ -f /usr/share/icons/hicolor/32x32/apps/vimo.png ] || fail "the menu icon is missing"
metainfo=/usr/share/metainfo/org.vimo.Vimo.metainfo.xml
if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || fail "$metainfo does not validate"
    grep -q '<launchable type="desktop-id">vimo.desktop</launchable>' "$metainfo" ||
        fail "$metainfo does not name the installed menu entry"
else
    fail "the AppStream file is missing"
fi
# What Wayland and GNOME users need besides the program.
[ "$(dpkg-deb -f "$deb" Recommends)" = "qt6-wayland, qt6-translations-l10n" ] ||
    fail "the package does not recommend qt6-wayland and Qt's catalogues"
[ "$(dpkg-deb -f "$deb" Suggests)" = gnome-shell-extension-appindicator ] ||
    fail "the package does not suggest gnome-shell-extension-appindicator"
exec_value=$(sed -n 's/^Exec=//p' "$desktop")
[ "$(command -v "$exec_value")" = /usr/bin/vimo ] || fail "Exec=$exec_value is not the launcher"

# The report command: on the PATH, linked to no Qt library but Qt Core (for
# its catalogues; it needs no display), and listing an empty working folder
# (its current folder, with no autostart entry) as nothing.
report=$(command -v vimo-report) || fail "vimo-report is not on the PATH"
if [ -n "$report" ]; then
    "$report" --help >/dev/null || fail "vimo-report --help failed"
    if ldd "$report" | grep -i 'libQt' | grep -qv 'libQt6Core\.'; then
        fail "vimo-report links a Qt library besides Qt Core"
    fi
    mkdir "$home/empty"
    listed=$(cd "$home/empty" && HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        "$report" --format json day 08.12.2026) || fail "vimo-report day failed"
    [ "$listed" = "[]" ] || fail "vimo-report listed '$listed' for an empty folder"
    [ -z "$(ls -A "$home/empty")" ] || fail "vimo-report wrote into the folder"
fi

# Started as the menu starts it: the Exec= command, from the home folder.
program_dir="$home/.local/share/vimo"
(cd "$home" && HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
    exec "$exec_value" >"$home/vimo.log" 2>&1) &
pid=$!

data_files=(Table.dat Propert.dat Static.txt)
for _ in $(seq 100); do
    present=0
    for f in "${data_files[@]}"; do
        [ -f "$program_dir/$f" ] && present=$((present + 1))
    done
    [ $present -eq ${#data_files[@]} ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
for f in "${data_files[@]}"; do
    [ -f "$program_dir/$f" ] || fail "$f was not created in $program_dir"
done
[ -x "$program_dir/vimo" ] && [ -f "$program_dir/vimo-charts.so" ] && [ -f "$program_dir/Res/OnLine.ico" ] &&
    [ -f "$program_dir/Res/OffLine.ico" ] || fail "the program folder was not copied"

sleep 1
if kill -0 "$pid" 2>/dev/null; then
    # The launcher replaced itself by the program: same pid, the user's copy,
    # running in the user's folder.
    [ "$(readlink "/proc/$pid/exe")" = "$program_dir/vimo" ] ||
        fail "running $(readlink "/proc/$pid/exe"), not the user's copy"
    [ "$(readlink "/proc/$pid/cwd")" = "$program_dir" ] ||
        fail "working folder $(readlink "/proc/$pid/cwd"), not $program_dir"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
else
    fail "the program ended early; its output:"
    cat "$home/vimo.log" >&2
fi
pid=""

echo "deb_smoke: removing the package"
$sudo dpkg -r vimo >/dev/null
[ ! -e /usr/bin/vimo ] && [ ! -e /usr/bin/vimo-report ] && [ ! -e "$desktop" ] &&
    [ ! -e "$metainfo" ] ||
    fail "the package left files behind"
[ -f "$program_dir/Table.dat" ] || fail "removing the package took the user's data"

if [ $failures -ne 0 ]; then
    echo "deb_smoke: $failures check(s) failed" >&2
    exit 1
fi
echo "deb_smoke: package installed, started, ran and removed cleanly"
