#!/usr/bin/env bash
# Damaged input files: for one kind of file, a corpus made here (short, long,
# zero-filled, random, wrong length byte, UTF-8 instead of Windows-1251, lines
# without CR LF, empty lines, a 100 MB history...). Each sample gets a folder
# of its own with otherwise sound files; all samples run side by side, online
# for a while and then offline. Each program must keep running, show only the
# run-time's designed errors, and never overwrite what it could not read.
#
# The plan file Vimo.toml is written while the programs run, as a person or
# another program would, and read at their next minute.
#
# Usage: damaged_inputs.sh <program folder> <clock-wait shim> <file>
#   file: Table.dat, TableExt.dat, Propert.dat, Static.txt, BegTime.txt, autostart,
#         Vimo.toml
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
kind=$3
source "$(dirname "$0")/lib.sh"

faults_init
need_namespaces
make_namespace
speed=60
RANDOM=7

random_bytes() { head -c "$1" /dev/urandom; }
zeros() { head -c "$1" /dev/zero; }
cp1251_line() { printf '%s\r\n' "$1" | iconv -f UTF-8 -t CP1251; }
good_line='[03.03.2010] 08:00-08:05   время = 5 мин.        Linux       10.77.0.2      '

# The samples for each kind, one function each, writing to stdout.
declare -A samples=()
case $kind in
Table.dat | TableExt.dat)
    size=$([ "$kind" = Table.dat ] && echo 9672 || echo 62496)
    samples=(
        [empty]=": "
        [short]="random_bytes 100"
        [odd_length]="random_bytes $((size - 1))"
        [long]="zeros $((size + 4000))"
        [zero_filled]="zeros $size"
        [random]="random_bytes $size"
        [text]="cp1251_line '$good_line'"
    )
    ;;
Propert.dat)
    cost='\xcd\xcc\xcc\xcc\xcc\xcc\x0c\x40'
    samples=(
        [empty]=": "
        [short]="printf '$cost\x00\x01'"
        [long]="printf '$cost\x00\x01\x0a05.03.2010\0\0\0'; random_bytes 200"
        [zero_filled]="zeros 24"
        [random]="random_bytes 24"
        [length_byte_255]="printf '$cost\x00\x01\xff05.03.2010\0\0\0'"
        [length_byte_3]="printf '$cost\x00\x01\x0305.03.2010\0\0\0'"
        [not_a_date]="printf '$cost\x00\x01\x0aab.cd.efgh\0\0\0'"
        [no_such_day]="printf '$cost\x00\x01\x0a31.02.2010\0\0\0'"
        [future_date]="printf '$cost\x00\x01\x0a01.01.2030\0\0\0'"
        [utf8_date]="printf '$cost\x00\x01\x0a'; printf '0.3.2010é\0\0\0'"
        [nan_cost]="printf '\xff\xff\xff\xff\xff\xff\xff\x7f\x00\x01\x0a05.03.2010\0\0\0'"
        [infinite_cost]="printf '\x00\x00\x00\x00\x00\x00\xf0\x7f\x00\x01\x0a05.03.2010\0\0\0'"
        [negative_cost]="printf '\x00\x00\x00\x00\x00\x00\x24\xc0\x00\x01\x0a05.03.2010\0\0\0'"
    )
    ;;
Static.txt)
    samples=(
        [empty]=": "
        [zero_filled]="zeros 10000"
        [random]="random_bytes 65536"
        [utf8]="printf '%s\r\n' '$good_line'"
        [lf_only]="cp1251_line '$good_line' | tr -d '\r'"
        [no_final_line_end]="cp1251_line '$good_line' | head -c 76"
        [empty_lines]="printf '\r\n\r\n\n\r\n'"
        [history_100mb]="history_100mb"
    )
    ;;
BegTime.txt)
    samples=(
        [empty]=": "
        [zero_filled]="zeros 200"
        [random]="random_bytes 4096"
        [utf8]="printf '%s\r\n' '$good_line'"
        [no_line_end]="cp1251_line '$good_line' | head -c 76"
        [empty_lines]="printf '\r\n\r\n'"
        [long_line]="random_bytes 1000000 | tr -d '\r\n'"
    )
    ;;
autostart)
    samples=(
        [empty]=": "
        [zero_filled]="zeros 500"
        [random]="random_bytes 4096"
        [no_group]="printf 'Exec=/nowhere/vimo\n'"
        [missing_folder]="printf '[Desktop Entry]\nType=Application\nExec=/nowhere/at/all/vimo\n'"
        [unbalanced_quote]="printf '[Desktop Entry]\nExec=\"/tmp/vimo\n'"
        [relative_exec]="printf '[Desktop Entry]\nExec=vimo\n'"
        [crlf_lines]="printf '[Desktop Entry]\r\nExec=/nowhere/vimo\r\n'"
        [long_line]="printf '[Desktop Entry]\nExec=/'; random_bytes 1000000 | tr -d '\n\0'"
        [hidden]="printf '[Desktop Entry]\nExec=/nowhere/vimo\nHidden=true\n'"
    )
    ;;
Vimo.toml)
    # A 40,000-part key once overflowed the TOML reader's stack, and a 48 MB
    # list took the program to 1.2 GB. (What else a plan file may not be is
    # the plan file's and the file steps' own tests.)
    samples=(
        [deep_key]="printf 'a.%.0s' \$(seq 39999); echo 'a = 1'"
        [list_48mb]="printf 'a = [\\n'; zeros 16000000 | tr '\\0' '\\n' | sed 's/^/1,/'; echo ']'"
    )
    # The error line of each, as the box shows it.
    declare -A plan_error=(
        [deep_key]="Vimo.toml, line 1: key nested too deeply."
        [list_48mb]="Vimo.toml: file too large (over 1 MiB)"
    )
    ;;
*)
    fail "unknown file kind: $kind"
    ;;
esac

history_100mb() {
    local block="$work/block"
    cp1251_line "$good_line" >"$block"
    for _ in $(seq 1 13); do cat "$block" "$block" >"$block.2" && mv "$block.2" "$block"; done
    for _ in $(seq 1 160); do cat "$block"; done
    rm -f "$block"
}

designed_error='^(Read beyond end of file|File not found|File access denied|I/O error [0-9]+|'"'"'.*'"'"' is not a valid (integer value|date|floating point value)|Date exceeds maximum of [0-9.]+)\.?$'

declare -A folders=() logs=() vimos=()
for name in "${!samples[@]}"; do
    folder=$(new_folder "$name")
    seed_files "$folder"
    config_dir="$work/config-$name"
    mkdir -p "$config_dir/autostart"
    if [ "$kind" = autostart ]; then
        target="$config_dir/autostart/Vimo.desktop"
    else
        target="$folder/$kind"
    fi
    if [ "$kind" != Vimo.toml ]; then
        eval "${samples[$name]}" >"$target"
        cp "$target" "$work/$name.sample"
    fi
    snapshot "$folder" "$work/$name.before"
    folders[$name]=$folder
done
echo "$kind: ${#samples[@]} samples: ${!samples[*]}"

go_online
for name in "${!samples[@]}"; do
    config_dir="$work/config-$name"
    start_program "${folders[$name]}" "2010-03-05 10:00:00" "$speed"
    logs[$name]=$log
    vimos[$name]=$vimo
done
if [ "$kind" = Vimo.toml ]; then
    sleep 2
    for name in "${!samples[@]}"; do
        target="${folders[$name]}/Vimo.toml"
        # Put in place whole, as an editor saves, so no half-written file is read.
        eval "${samples[$name]}" >"$target.new" && mv "$target.new" "$target"
    done
    sleep 3
else
    sleep 5
fi
go_offline
sleep 3

failures=0
for name in "${!samples[@]}"; do
    folder=${folders[$name]}
    before="$work/$name.before"
    log=${logs[$name]}
    vimo=${vimos[$name]}
    problems=()
    alive || problems+=("the program ended: $(tail -n3 "$log")")
    [ "$kind" = Vimo.toml ] || while IFS= read -r shown; do
        [ -z "$shown" ] || [[ $shown =~ $designed_error ]] || problems+=("undesigned error: $shown")
    done < <(errors_shown)
    case $kind in
    Vimo.toml)
        # Named once, in a box of its own; the minutes counted on as without
        # a plan; never more memory than a plan file may take.
        [ "$(grep -c '^vimo: error' "$log")" = 1 ] &&
            grep -qxF "vimo: error: ${plan_error[$name]}" "$log" ||
            problems+=("the one error shown is not: ${plan_error[$name]}: $(grep '^vimo: error' "$log" || true)")
        (($(table_total "$folder") > $(table_total "$before"))) || problems+=("no minute was counted")
        peak=$(awk '/^VmHWM:/ {print $2}' "/proc/$vimo/status" 2>/dev/null || echo 0)
        ((peak < 400000)) || problems+=("the program took $peak kB")
        ;;
    Propert.dat)
        cmp -s "$work/$name.sample" "$folder/Propert.dat" || problems+=("Propert.dat was overwritten")
        ;;
    autostart)
        cmp -s "$work/$name.sample" "$work/config-$name/autostart/Vimo.desktop" ||
            problems+=("the autostart file was overwritten")
        ;;
    Static.txt)
        cmp -s -n "$(stat -c %s "$work/$name.sample")" "$work/$name.sample" "$folder/Static.txt" ||
            problems+=("the history lost what it held")
        # The left-over session of the seed files starts a line of its own.
        grep -aq '^\[05\.03\.2010\] 09:00-' "$folder/Static.txt" ||
            problems+=("the carried-over line does not start a line")
        ;;
    BegTime.txt)
        # The left-over line reached the history after what it already had.
        cmp -s -n "$(stat -c %s "$before/Static.txt")" "$before/Static.txt" "$folder/Static.txt" ||
            problems+=("the history lost what it held")
        # Its first line ends at the first CR or LF, NUL bytes and all; it
        # follows the old history with the crash marker (Windows-1251).
        {
            cat "$before/Static.txt"
            (tr '\r' '\n' <"$work/$name.sample" | head -n1 || true) | tr -d '\n'
            printf '   \xC0\xE2\xE0\xF0\xE8\xE9\xED\xEE\xE5 \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE8\xE5 !\r\n'
        } >"$work/$name.expected"
        cmp -s -n "$(stat -c %s "$work/$name.expected")" "$work/$name.expected" "$folder/Static.txt" ||
            problems+=("the left-over line did not reach the history")
        ;;
    Table.dat | TableExt.dat)
        # What could be read is kept: every count read is still there, grown
        # by the minutes counted since (random counts may wrap, so only the
        # sound samples are compared cell by cell).
        if [ "$(stat -c %s "$folder/$kind")" != "$size" ]; then
            grep -q . <(errors_shown) || problems+=("$kind is not whole and no error was shown")
        fi
        if [[ $name != random ]]; then
            paste <(od -An -v -tu2 -w2 "$work/$name.sample" | head -n $((size / 2))) \
                <(od -An -v -tu2 -w2 "$folder/$kind" | head -n $((size / 2))) |
                awk 'NF == 2 && $2 < $1 {bad++} END {exit bad > 0}' ||
                problems+=("$kind lost counts it had")
        fi
        ;;
    esac
    echo "$name: $(errors_shown | sort | uniq -c | tr -s ' \n' '  ')"
    if ((${#problems[@]})); then
        failures=$((failures + 1))
        for problem in "${problems[@]}"; do echo "FAIL $kind/$name: $problem" >&2; done
    fi
    kill -9 "$vimo" 2>/dev/null || true
    wait "$vimo" 2>/dev/null || true
done
((failures == 0)) || fail "$failures of ${#samples[@]} samples failed"
echo PASS
