#!/usr/bin/env bash
# Checks that each layer under src includes only the layers below it, and
# that nothing below the widgets includes Qt. Usage: layering.sh SRC_DIR
# Prints each broken rule as "file:line: ..." and fails if there is any.
set -u
src=${1:?usage: layering.sh SRC_DIR}
cd "$src" || exit 2

files_below="core files"
declare -A allowed=(
    [core]="core"
    [files]="$files_below"
    [store]="$files_below store"
    [plan]="$files_below store plan"
    [meter]="$files_below store plan meter"
    [figures]="$files_below store plan meter figures"
    [system]="$files_below system"
    [netwatch]="$files_below netwatch"
    [widgets]="$files_below widgets"
    [translations]="$files_below system translations"
    [report]="$files_below store plan meter figures system translations report"
    [ui]="$files_below store plan meter figures system netwatch widgets ui"
    [app]="$files_below store plan meter figures system netwatch widgets ui translations app"
)

# The layer a source file belongs to: its folder under src, or under
# src/accounting for the core's libraries.
layer_of() {
    case $1 in
    accounting/*) local rest=${1#accounting/} && echo "${rest%%/*}" ;;
    *) echo "${1%%/*}" ;;
    esac
}

# Where a layer's own headers sit, for the includes that name no folder.
folder_of() {
    case $1 in
    core | files | store | plan | meter | figures) echo "accounting/$1" ;;
    *) echo "$1" ;;
    esac
}

# Every header's name with the folder that holds it, found once.
declare -A holders=()
while IFS= read -r header; do
    holders[${header##*/}]+=" ${header%/*}"
done < <(find . -name '*.h' | sed 's|^\./||')

broken=0
report() {
    echo "$1"
    broken=$((broken + 1))
}

while IFS= read -r file; do
    layer=$(layer_of "$file")
    if [ -z "${allowed[$layer]+set}" ]; then
        report "$file: in no known layer ($layer)"
        continue
    fi
    qt_allowed=0
    case $layer/$file in
    widgets/* | ui/* | app/* | translations/* | netwatch/netwatch/qt/*) qt_allowed=1 ;;
    esac
    while IFS=: read -r line text; do
        if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<(Q[^>]*)\> ]]; then
            [ $qt_allowed = 1 ] ||
                report "$file:$line: includes <${BASH_REMATCH[1]}> below the widgets"
        elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"/]+)/[^\"]*\" ]]; then
            named=${BASH_REMATCH[1]}
            [[ " ${allowed[$layer]} " == *" $named "* ]] ||
                report "$file:$line: the $layer layer includes \"$named/...\""
        elif [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"/]+)\" ]]; then
            # A bare name is the file's own folder's header, or one an allowed
            # layer's folder holds; a header of any other layer is a breach.
            header=${BASH_REMATCH[1]}
            [ -e "$(dirname "$file")/$header" ] && continue
            [ -n "${holders[$header]+set}" ] || continue  # a system or generated header
            found=0
            for other in ${allowed[$layer]}; do
                for holder in ${holders[$header]}; do
                    [[ $holder == "$(folder_of "$other")" || $holder == "$(folder_of "$other")"/* ]] &&
                        found=1
                done
            done
            if [ $found = 0 ]; then
                report "$file:$line: the $layer layer includes \"$header\" of another layer"
            fi
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find . -path ./CMakeLists.txt -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print |
    sed 's|^\./||' | sort)

if [ $broken != 0 ]; then
    echo "layering: $broken broken rule(s)"
    exit 1
fi
echo "layering: every include keeps to its layer"
