#!/usr/bin/env bash
# Fails when a catalogue in translations/ is out of date with the texts in
# the code (lupdate would change it) or holds a text without a finished
# translation. Usage: translations.sh PROJECT_DIR
set -u
root=${1:?usage: translations.sh PROJECT_DIR}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
cp "$root"/translations/*.ts "$scratch/"
"$root/scripts/update-translations.sh" "$scratch" >/dev/null 2>&1 || {
    echo "translations: lupdate failed"
    exit 1
}
for ts in "$root"/translations/*.ts; do
    name=${ts##*/}
    if ! diff -u "$ts" "$scratch/$name" >"$scratch/$name.diff"; then
        echo "translations: $name is out of date with the code; run 'make translations':"
        head -40 "$scratch/$name.diff"
        failed=1
    fi
    unfinished=$(grep -c 'type="unfinished"' "$ts")
    if [ "$unfinished" != 0 ]; then
        echo "translations: $name has $unfinished unfinished text(s):"
        grep -B2 'type="unfinished"' "$ts" | grep '<source>' | head -20
        failed=1
    fi
done
[ $failed = 0 ] && echo "translations: both catalogues are up to date and finished"
exit $failed
