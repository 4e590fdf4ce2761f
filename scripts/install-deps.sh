#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and benchmarking Vimo
# need, skipping those already present. Uses sudo when not run as root.
set -euo pipefail

packages=(
    # build
    g++ cmake ninja-build ccache pkg-config make
    qt6-base-dev qt6-base-dev-tools libgl-dev
    # the catalogues of the texts: lupdate and lrelease with their CMake
    # functions, and Qt's own catalogues for its buttons and dialogs
    qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
    # the plan file, the database, the report command and the overview's charts
    # (Qt Charts' CMake files need Qt OpenGL's, which Debian packs apart)
    libtomlplusplus-dev libsqlite3-dev sqlite3 libcli11-dev nlohmann-json3-dev qt6-charts-dev
    libqt6opengl6-dev
    # unit tests, benchmarks, formatting
    libgtest-dev libgmock-dev libbenchmark-dev clang-format
    # the NetworkManager watch's tests: a private message bus, a mock NetworkManager
    dbus-daemon python3-dbusmock libglib2.0-bin
    # end-to-end tests: X server, tray host, clicks, screenshots, fake time, namespaces
    xvfb xauth trayer openbox xdotool x11-utils imagemagick faketime iproute2
    desktop-file-utils fonts-dejavu-core
    # the desktop tests write GNOME Shell's settings through dconf
    dconf-gsettings-backend
    # the desktops users run: Wayland for Qt, GNOME Shell with and without the
    # tray extension, sway with waybar, weston; a tray watcher of the tests' own
    # (python3-dbus, python3-gi); screenshots on wlroots; the AppStream file's validator
    qt6-wayland gnome-shell gnome-shell-extension-appindicator gjs sway waybar weston xwayland
    grim python3-dbus python3-gi appstream
    # the window raised with the desktop's token: Qt's X11 platform functions (its private
    # headers), the launcher's startup notice (xcb) and the desktop tests' xdg-activation
    # client (Wayland's protocols)
    qt6-base-private-dev libxcb1-dev libwayland-dev wayland-protocols
    # the users' locales, for the widget and end-to-end runs in ru_RU, uk_UA and en_US
    locales
    # fuzzing (libFuzzer with clang) and the Debian package
    clang libclang-rt-14-dev dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: every package is installed"
else
    echo "install-deps: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests run in the locales Vimo's users have; generate them when missing.
for loc in ru_RU uk_UA en_US; do
    if ! locale -a 2>/dev/null | grep -qix "$loc.utf8"; then
        echo "install-deps: generating $loc.UTF-8"
        $sudo localedef -i "$loc" -f UTF-8 "$loc.UTF-8"
    fi
done
