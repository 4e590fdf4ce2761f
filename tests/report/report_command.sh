#!/usr/bin/env bash
# vimo-report run as a user runs it, over a prepared working folder: each
# output format, the folder taken from the autostart entry, the errors' texts
# and exit status, and a folder left exactly as it was.
#   report_command.sh <vimo-report>
set -euo pipefail

report=$(realpath "$1")
tmp=$(mktemp -d /tmp/vimo-report-test.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "report_command: FAIL: $*" >&2
    failures=$((failures + 1))
}

folder=$tmp/data
mkdir "$folder" "$tmp/elsewhere"
l1='[08.12.2026] 09:05-10:20   время = 1 ч. 15 мин.  Linux       10.0.0.1       '
l2='[08.12.2026] 23:50-00:35   время = 45 мин.       Linux       10.0.0.2          Аварийное завершение !'
l3='[09.12.2026] 08:00-09:00   время = 1 час.        Linux       10.0.0.1       '
printf '%s\r\n' "$l1" "$l2" "$l3" | iconv -f UTF-8 -t CP1251 >"$folder/Static.txt"
state() { (cd "$folder" && ls -lA --time-style=full-iso && md5sum ./*); }
before=$(state)

# check <exit status> <standard output> <standard error> <arguments...>,
# run from a folder without data and with no autostart entry unless made.
check() {
    local status=$1 out=$2 err=$3
    shift 3
    local got=0
    (cd "$tmp/elsewhere" && HOME=$tmp XDG_CONFIG_HOME=$tmp/config "$report" "$@") \
        >"$tmp/out" 2>"$tmp/err" || got=$?
    [ "$got" = "$status" ] || fail "$*: exit status $got, not $status"
    printf '%s' "$out" | cmp -s - "$tmp/out" || fail "$*: output $(cat -A "$tmp/out")"
    if [ "$err" != "*" ]; then
        printf '%s' "$err" | cmp -s - "$tmp/err" || fail "$*: error output $(cat "$tmp/err")"
    fi
}

check 0 "$l1"$'\n'"$l2"$'\n' "" --folder "$folder" day 08.12.2026
check 0 "start_date,start_time,end_time,minutes,system,address,crashed,line"$'\r\n'"\
08.12.2026,09:05,10:20,75,Linux,10.0.0.1,false,$l1"$'\r\n'"\
08.12.2026,23:50,00:35,45,Linux,10.0.0.2,true,$l2"$'\r\n'"\
09.12.2026,08:00,09:00,60,Linux,10.0.0.1,false,$l3"$'\r\n' "" \
    --format csv --folder "$folder" month 12.2026
check 0 "[
{\"start_date\":\"09.12.2026\",\"start_time\":\"08:00\",\"end_time\":\"09:00\",\"minutes\":60,\
\"system\":\"Linux\",\"address\":\"10.0.0.1\",\"crashed\":false,\"line\":\"$l3\"}
]
" "" period 09.12.2026 31.12.2026 --format json --folder "$folder"

# Without --folder: the folder of the program in the autostart entry.
mkdir -p "$tmp/config/autostart"
printf '[Desktop Entry]\nType=Application\nName=Vimo\nExec=%s/vimo\n' "$folder" \
    >"$tmp/config/autostart/Vimo.desktop"
check 0 "$l3"$'\n' "" day 09.12.2026

check 2 "" "vimo-report: error: '32.13.2026' is not a valid date"$'\n' day 32.13.2026
check 2 "" "vimo-report: error: Первая дата должна быть не больше второй"$'\n' \
    period 09.12.2026 08.12.2026
check 2 "" "vimo-report: error: File not found ($tmp/none)"$'\n' --folder "$tmp/none" day 08.12.2026
check 2 "" "*" --format xml day 08.12.2026

[ "$(state)" = "$before" ] || fail "the working folder changed"
if [ $failures -ne 0 ]; then
    echo "report_command: $failures check(s) failed" >&2
    exit 1
fi
echo "report_command: every check passed"
