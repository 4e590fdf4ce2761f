#!/usr/bin/env bash
# Redraws the pictures of the user's guide (docs/screenshots/) from the real
# program: it runs the end-to-end test, which drives Vimo under an X server
# with a tray, and keeps the screenshots it takes. The pictures show the
# program in its users' locale, ru_RU.UTF-8 (`make deps` generates it). Needs
# root for the test's network namespace, like `make check`.
set -euo pipefail
cd "$(dirname "$0")/.."

make build
cmake --build build --target vimo_e2e_clockwait_shim
shim=$(find build/tests/e2e -name 'libvimo_e2e_clockwait_shim.so' | head -n1)
out=docs/screenshots
rm -rf "$out.new"
LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 bash tests/e2e/program_e2e.sh build/Vimo "$shim" "$out.new"
rm -rf "$out"
mv "$out.new" "$out"
echo "screenshots written to $out"
