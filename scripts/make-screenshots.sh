#!/usr/bin/env bash
# Redraws the pictures of the user's guide (docs/screenshots/) from the real
# program: it runs the end-to-end test, which drives Vimo under an X server
# with a tray, and two cases of the desktop test on GNOME Shell, and keeps
# the screenshots they take. The pictures show the program in its users'
# locale, ru_RU.UTF-8, and in uk_UA.UTF-8 and en_US.UTF-8 in folders of their
# own (`make deps` generates the locales). Needs root for the tests'
# network namespaces and second user, like `make check`.
set -euo pipefail
cd "$(dirname "$0")/.."

make build
cmake --build build --target vimo_e2e_clockwait_shim
shim=$(find build/tests/e2e -name 'libvimo_e2e_clockwait_shim.so' | head -n1)
out=docs/screenshots
rm -rf "$out.new"
LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 LANGUAGE= bash tests/e2e/program_e2e.sh build/Vimo "$shim" "$out.new"
# The same pictures in Ukrainian and in English, each in a folder of its own.
for locale in uk_UA en_US; do
    LANG=$locale.UTF-8 LC_ALL=$locale.UTF-8 LANGUAGE= \
        bash tests/e2e/program_e2e.sh build/Vimo "$shim" "$out.new/$locale"
done
# GNOME Shell's panel with the icon's open menu and a budget banner, the
# window on a desktop without a tray, and the stop at the budget, from the
# desktop test's cases.
desktop="$out.new/desktop"
for case in gnome_appindicator gnome_plain; do
    bash tests/desktop/desktop_e2e.sh build/Vimo "$shim" tests/support/sni_watcher.py none \
        "$desktop" "$case"
done
mv "$desktop/gnome_appindicator-menu.png" "$out.new/gnome-menu.png"
mv "$desktop/gnome_appindicator-banner.png" "$out.new/gnome-banner.png"
mv "$desktop/gnome_plain-window-without-tray.png" "$out.new/window-without-tray.png"
# The stop at the budget: its warning with the three buttons and the
# overview with the stop pending, in Russian and in Ukrainian.
bash tests/desktop/desktop_e2e.sh build/Vimo "$shim" tests/support/sni_watcher.py none \
    "$desktop" gnome_budget_stop
bash tests/desktop/desktop_e2e.sh build/Vimo "$shim" tests/support/sni_watcher.py none \
    "$desktop" gnome_budget_stop uk_UA.UTF-8
for shot in stop-warning stop-overview; do
    mv "$desktop/gnome_budget_stop-$shot.png" "$out.new/$shot.png"
    mv "$desktop/gnome_budget_stop-uk_UA-$shot.png" "$out.new/uk_UA/$shot.png"
done
rm -rf "$desktop"
rm -rf "$out"
mv "$out.new" "$out"
echo "screenshots written to $out"
