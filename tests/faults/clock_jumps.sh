#!/usr/bin/env bash
# Sleep and dates at the table's edges, on a faked clock.
#   suspend: the program is frozen for several minutes of its clock (as a
#     machine asleep is), then woken: the tick after the sleep counts one
#     minute, not the sleep, and the session line counts ticks.
#   year_end: ticks from late on 31 December 2015 into 1 January 2016 count
#     on the day each runs, in Table.dat and then in TableExt.dat.
#   outside_table: ticks on dates before 2003 and after 2099 are not counted
#     and nothing outside the two table files' fixed sizes is written.
#
# Usage: clock_jumps.sh <program folder> <clock-wait shim> <case>
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
case_name=$3
source "$(dirname "$0")/lib.sh"

faults_init
need_namespaces
make_namespace

session_minutes() { utf8 "$folder/BegTime.txt" | minutes_of_lines; }
table_sizes_ok() {
    [ "$(stat -c %s "$folder/Table.dat")" = 9672 ] &&
        [ "$(stat -c %s "$folder/TableExt.dat")" = 62496 ]
}

case $case_name in
suspend)
    speed=60
    folder=$(new_folder data)
    go_online
    start_program "$folder" "2010-03-05 10:00:00" "$speed"
    wait_for 30 "a session" test -e "$folder/BegTime.txt"
    sleep 2.5
    kill -STOP "$vimo"
    before=$(cell "$folder" 2010 3 5)
    line_before=$(session_minutes)
    sleep 8 # eight minutes of the program's clock
    kill -CONT "$vimo"
    sleep 0.5
    after=$(cell "$folder" 2010 3 5)
    echo "asleep for 8 minutes: the cell went from $before to $after"
    ((after - before >= 1 && after - before <= 2)) ||
        fail "the wake-up counted $((after - before)) minutes for one tick"
    sleep 3
    later=$(cell "$folder" 2010 3 5)
    ((later - after >= 2 && later - after <= 4)) || fail "ticks after the sleep: $((later - after)) in 3 s"
    # The line's duration is its count of ticks, whatever the clock did.
    minutes=$(session_minutes)
    ((minutes - line_before == later - before || minutes - line_before == later - before - 1)) ||
        fail "the line grew by $((minutes - line_before)) minutes, the table by $((later - before))"
    [ -z "$(errors_shown)" ] || fail "errors: $(errors_shown)"
    stop_program
    ;;
year_end)
    speed=600
    folder=$(new_folder data)
    go_online
    start_program "$folder" "2015-12-31 23:00:00" "$speed"
    wait_for 30 "a session" test -e "$folder/BegTime.txt"
    wait_for 30 "ticks on the new year's day" bash -c \
        "[ \$(od -An -tu2 -N2 '$folder/TableExt.dat') -ge 3 ]"
    go_offline
    wait_for 30 "the session to close" test ! -e "$folder/BegTime.txt"
    stop_program
    old=$(cell "$folder" 2015 12 31)
    new=$(cell "$folder" 2016 1 1)
    total=$(table_total "$folder")
    history=$(utf8 "$folder/Static.txt" | minutes_of_lines)
    echo "31.12.2015: $old minutes, 01.01.2016: $new minutes, the session line: $history"
    ((old >= 1)) || fail "no minutes on 31.12.2015 for the ticks before midnight"
    ((total == old + new)) || fail "minutes counted on other days: $total in all"
    ((history == total)) || fail "the session line says $history minutes, the table $total"
    utf8 "$folder/Static.txt" | grep -q '^\[31\.12\.2015\] 23:' ||
        fail "the session does not keep its start date: $(utf8 "$folder/Static.txt")"
    table_sizes_ok || fail "a table file changed its size"
    [ -z "$(errors_shown)" ] || fail "errors: $(errors_shown)"
    ;;
outside_table)
    speed=600
    # Start-up takes up to a few seconds, tens of minutes of this clock: the
    # runs start an hour before midnight and go on until minutes after it.
    past_midnight() { utf8 "$folder/BegTime.txt" 2>/dev/null | grep -Eq '^.{19}00:(0[5-9]|[1-5][0-9])'; }
    for start in "2002-12-31 23:00:00" "2099-12-31 23:00:00"; do
        folder=$(new_folder "run-${start:0:4}")
        go_online
        start_program "$folder" "$start" "$speed"
        wait_for 60 "a session" test -e "$folder/BegTime.txt"
        wait_for 60 "ticks after midnight" past_midnight
        go_offline
        wait_for 30 "the session to close" test ! -e "$folder/BegTime.txt"
        stop_program
        total=$(table_total "$folder")
        history=$(utf8 "$folder/Static.txt" | minutes_of_lines)
        if [ "${start:0:4}" = 2002 ]; then
            first=$(cell "$folder" 2003 1 1)
            echo "from $start: $history ticks online, $first minutes on 01.01.2003, $total in all"
            ((first >= 5 && total == first)) || fail "ticks before 2003 were counted or lost"
        else
            last=$(cell "$folder" 2099 12 31)
            echo "from $start: $history ticks online, $last minutes on 31.12.2099, $total in all"
            ((last >= 1 && total == last)) || fail "ticks after 2099 were counted"
        fi
        ((history > total)) || fail "no tick ran outside the table: $history against $total"
        table_sizes_ok || fail "a table file changed its size"
        # The lock file stays behind the killed program; Vimo.db keeps the
        # connection's bytes.
        files=$(ls "$folder" | sort | tr '\n' ' ')
        [ "$files" = "Propert.dat Res Static.txt Table.dat TableExt.dat Vimo.db Vimo.lock " ] ||
            fail "unexpected files: $files"
        [ -z "$(errors_shown)" ] || fail "errors: $(errors_shown)"
    done
    ;;
*)
    fail "unknown case: $case_name"
    ;;
esac
echo PASS
