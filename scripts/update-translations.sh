#!/usr/bin/env bash
# Brings the catalogues in translations/ up to date with the texts in src:
# new texts are added unfinished, texts gone from the code are dropped.
# Usage: update-translations.sh [CATALOGUE_DIR] (default: translations/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/translations}
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)

for language in uk en; do
    # The core's texts go through TranslateText and VIMO_TEXT_NOOP; no line
    # numbers, so that a catalogue changes only when a text does.
    "$lupdate" -silent -locations none -no-obsolete -extensions cpp,h,ui \
        -tr-function-alias translate+=TranslateText,QT_TRANSLATE_NOOP+=VIMO_TEXT_NOOP \
        -source-language ru_RU -target-language "$language" \
        "$root/src" -ts "$out/vimo_$language.ts"
done
