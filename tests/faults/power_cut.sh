#!/usr/bin/env bash
# Power cuts: the real program, online and offline in a namespace of the
# test's own, on a clock running 600 times fast (a tick every 0.1 s), is
# killed with SIGKILL at random instants, session after session. After every
# kill the data files must be whole, every session seen must be in the history
# once, and the minutes in the table must agree with the history's durations
# up to the one minute in flight per kill. The folder has a plan, so each
# minute is also priced in "Vimo.db": the database must open whole after every
# kill, price no minute the table lacks, and lose at most the minute in flight;
# each run must price the minutes it counted, and `vimo-report summary` must
# read the folder as it is. Random instants seldom land inside the few
# milliseconds of a transaction, so half the online runs are killed a random
# moment after Vimo.db's journal appears, which often leaves it hot for the
# next start to roll back.
#
# Usage: power_cut.sh <program folder> <clock-wait shim> <kill-on-create> <kills> [seed]
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
killer=$(realpath "$3")
kills=$4
seed=${5:-$(($(date +%s) % 32768))}
source "$(dirname "$0")/lib.sh"

faults_init gdbus sqlite3
need_namespaces
make_namespace
echo "power cut: $kills kills, seed $seed"
RANDOM=$seed

speed=600
folder=$(new_folder power)
# 1.5 kopecks a minute every day; a minutes budget whose alerts are recorded
# in the same transactions.
cat >"$folder/Vimo.toml" <<'TOML'
[budget]
minutes = 40
alerts = [10, 50, 100]

[plan]
[[plan.rate]]
days = ["mon", "tue", "wed", "thu", "fri", "sat", "sun"]
kopecks_per_minute = 1.5
TOML
# Starts at noon on the last day of Table.dat, so the run counts into both
# table files.
base=$(date -u -d '2015-12-31 12:00:00' +%s)
t0=$(date +%s%N)
fake_now() { echo $((base + ($(date +%s%N) - t0) * speed / 1000000000)); }

checks=0
failures=0
kill_no=0
check() {
    local what=$1
    shift
    checks=$((checks + 1))
    if ! "$@"; then
        failures=$((failures + 1))
        echo "FAIL after kill $kill_no: $what" >&2
    fi
}

line_re='^\[[0-9]{2}\.[0-9]{2}\.[0-9]{4}\] [0-9]{2}:[0-9]{2}-[0-9]{2}:[0-9]{2}   время = [0-9 чмасин.]+ +Linux       10\.77\.0\.2      '

size_is() { [ "$(stat -c %s "$1")" = "$2" ]; }
whole_or_never_made() { # <file> <size> <made-before flag>
    if [ -e "$1" ]; then size_is "$1" "$2"; else [ "$3" = no ]; fi
}
prop_whole() {
    if [ -z "$prop_ref" ]; then
        [ ! -e "$folder/Propert.dat" ] && return 0
        size_is "$folder/Propert.dat" 24 || return 1
        # Length byte 10 and a DD.MM.YYYY date after it.
        [ "$(od -An -tu1 -j10 -N1 "$folder/Propert.dat" | tr -d ' ')" = 10 ] || return 1
        dd if="$folder/Propert.dat" bs=1 skip=11 count=10 2>/dev/null |
            grep -Eq '^[0-9]{2}\.[0-9]{2}\.[0-9]{4}$' || return 1
        prop_ref="$work/Propert.first"
        cp "$folder/Propert.dat" "$prop_ref"
        return 0
    fi
    cmp -s "$prop_ref" "$folder/Propert.dat"
}
begtime_whole() {
    [ ! -e "$folder/BegTime.txt" ] && return 0
    size_is "$folder/BegTime.txt" 78 &&
        [ "$(tail -c2 "$folder/BegTime.txt" | od -An -tx1 | tr -d ' ')" = 0d0a ] &&
        utf8 "$folder/BegTime.txt" | grep -Eq "$line_re"$'\r$'
}
history_whole() {
    local h="$folder/Static.txt"
    [ ! -s "$h" ] && return 0
    [ "$(tail -c1 "$h" | od -An -tx1 | tr -d ' ')" = 0a ] || return 1
    # 76 characters, or 101 with the crash marker, then CR LF.
    awk '{ n = length($0); if ((n != 77 && n != 102) || substr($0, n) != "\r") bad++ }
         END { exit bad > 0 }' "$h" || { echo "a line of the wrong length" >&2; return 1; }
    if utf8 "$h" | grep -Ev "${line_re}(   Аварийное завершение !)?"$'\r$' >&2; then
        return 1
    fi
}
heads_unique() {
    [ -z "$(cut -c1-19 "$folder/Static.txt" 2>/dev/null | sort | uniq -d)" ]
}
# Every session that was seen in progress has reached the history exactly
# once, unless it is still the current one.
sessions_once() {
    local current=""
    [ -e "$folder/BegTime.txt" ] && current=$(head -c19 "$folder/BegTime.txt")
    ((${#known_heads[@]})) || return 0
    printf '%s\n' "${!known_heads[@]}" >"$work/known"
    { cut -c1-19 "$folder/Static.txt" 2>/dev/null || true; } >"$work/history-heads"
    awk -v current="$current" '
        FNR == NR { count[$0]++; next }
        $0 != current && count[$0] != 1 { print "session " $0 " is in the history " count[$0] + 0 " times"; bad = 1 }
        END { exit bad }' "$work/history-heads" "$work/known" >&2
}
# Minutes in the table that are not in the history or the current line: the
# minutes counted by a tick that was killed before it rewrote its line.
drift() {
    local table history current=0
    table=$(table_total "$folder")
    history=$({ utf8 "$folder/Static.txt" 2>/dev/null || true; } | minutes_of_lines)
    if [ -e "$folder/BegTime.txt" ] &&
        ! grep -qF "$(head -c19 "$folder/BegTime.txt")" "$folder/Static.txt" 2>/dev/null; then
        current=$(utf8 "$folder/BegTime.txt" | minutes_of_lines)
    fi
    echo $((table - history - current))
}
drift_ok() { ((new_drift >= prev_drift && new_drift <= prev_drift + 1)); }
ticks_ok() { ((table_now >= table_before && table_now - table_before <= ran_minutes + 1)); }
no_errors() { ! grep -q '^vimo: error:' "$log"; }
report_reads() {
    "$program_dir/vimo-report" --folder "$folder" summary >/dev/null 2>"$work/report.err" ||
        { cat "$work/report.err" >&2 && return 1; }
}
store_whole() {
    [ ! -e "$folder/Vimo.db" ] && return 0
    local state
    state=$(store_query "$folder" 'PRAGMA integrity_check; PRAGMA user_version;' | tr '\n' ' ')
    # A kill inside the transaction that makes the tables leaves a file that
    # rolls back to empty; the next start makes them again.
    [ "$state" = "ok 0 " ] && [ -z "$(store_query "$folder" 'SELECT name FROM sqlite_schema')" ] &&
        return 0
    [ "$state" = "ok 5 " ] &&
        # Every day's money is its minutes at the one rate: no half-applied minute.
        [ "$(store_query "$folder" 'SELECT count(*) FROM day_cost WHERE millikopecks != minutes * 1500')" = 0 ] &&
        # and each priced minute went to its connection in the same step.
        [ "$(store_query "$folder" 'SELECT (SELECT total(minutes) FROM day_cost) =
            (SELECT total(minutes) FROM session_cost)')" = 1 ]
}
# Every connection Vimo.db holds money or bytes of is named by a line of the
# history or by the current one: a run killed in a connection's first minute
# leaves no connection that only the database knows.
no_orphans() {
    [ -e "$folder/Vimo.db" ] || return 0
    store_query "$folder" 'SELECT head FROM session_cost UNION SELECT head FROM session_bytes' |
        sort -u >"$work/store-heads"
    { cut -c1-18 "$folder/Static.txt" "$folder/BegTime.txt" 2>/dev/null || true; } |
        sort -u >"$work/line-heads"
    local orphans
    orphans=$(comm -23 "$work/store-heads" "$work/line-heads")
    [ -z "$orphans" ] || { echo "in Vimo.db alone: $orphans" >&2 && return 1; }
}
priced_ok() {
    priced_now=$(store_query "$folder" 'SELECT coalesce(sum(minutes), 0) FROM day_cost' 2>/dev/null || echo 0)
    local gap=$((table_now - priced_now))
    ((gap >= prev_gap && gap <= prev_gap + 1)) || return 1
    prev_gap=$gap
}

declare -A known_heads=()
prop_ref=""
table_made=no
ext_made=no
prev_drift=0
prev_gap=0
table_before=0
online_minutes=0

record_head() {
    if [ -e "$folder/BegTime.txt" ]; then known_heads["$(head -c19 "$folder/BegTime.txt")"]=1; fi
}

check_files() {
    check "Table.dat whole" whole_or_never_made "$folder/Table.dat" 9672 "$table_made"
    check "TableExt.dat whole" whole_or_never_made "$folder/TableExt.dat" 62496 "$ext_made"
    [ -e "$folder/Table.dat" ] && table_made=yes
    [ -e "$folder/TableExt.dat" ] && ext_made=yes
    check "Propert.dat whole and unchanged" prop_whole
    check "BegTime.txt whole or absent" begtime_whole
    check "Static.txt whole lines" history_whole
    check "no session twice in Static.txt" heads_unique
    record_head
    check "every session in Static.txt once" sessions_once
    check "Vimo.db whole" store_whole
    check "no connection in Vimo.db alone" no_orphans
    if [ "$table_made" = yes ] && [ "$ext_made" = yes ]; then
        table_now=$(table_total "$folder")
        check "the table counts no more minutes than ticks ran" ticks_ok
        new_drift=$(drift)
        check "table and history agree up to the minute in flight ($prev_drift -> $new_drift)" \
            drift_ok
        prev_drift=$new_drift
        check "the run priced the minutes it counted, up to the minute in flight" priced_ok
        table_before=$table_now
    fi
    check "no error shown" no_errors
    check "vimo-report summary reads the folder" report_reads
    # A journal a kill left is rolled back by the next start: after the next
    # kill it is gone, or another transaction's stands in its place.
    local journal=""
    [ -s "$folder/Vimo.db-journal" ] && journal=$(sha256sum <"$folder/Vimo.db-journal")
    if [ -n "$journal_left" ] && [ "$journal" != "$journal_left" ]; then
        journals_recovered=$((journals_recovered + 1))
    fi
    if [ -n "$journal" ] && [ "$journal" != "$journal_left" ]; then
        journals_left=$((journals_left + 1))
    fi
    journal_left=$journal
}
journals_left=0
journals_recovered=0
journal_left=""
aimed=0

mtime() { stat -c %y "$folder/Table.dat" 2>/dev/null || echo none; }
pause_ms() { sleep "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))"; }

while ((kill_no < kills)); do
    if ((RANDOM % 3 == 0)); then
        if $online; then go_offline; else go_online; fi
    fi
    run_start=$(date +%s%N)
    written=$(mtime)
    start_program "$folder" "$(fake_date $(($(fake_now) + 60)))" "$speed"
    was_online=$online
    if ((RANDOM % 4 == 0)) || ! $online; then
        # Anywhere in start-up (about a second on the faked clock) or in the
        # quiet ticks of an offline run.
        pause_ms $((RANDOM % 1600))
    elif ((RANDOM % 2 == 0)); then
        # Inside a transaction: up to 4 ms after the journal is made, in one
        # of the first few ticks.
        pause_ms $((RANDOM % 400))
        if "$killer" "$folder" Vimo.db-journal "$vimo" $((RANDOM % 4000)) 10; then
            aimed=$((aimed + 1))
        fi
    else
        # Among the ticks' writes: from the first write on, a tick every 0.1 s.
        end=$((SECONDS + 10))
        while [ "$(mtime)" = "$written" ] && ((SECONDS < end)); do sleep 0.02; done
        life=$((RANDOM % 500))
        if ((RANDOM % 3 == 0)); then
            part=$((RANDOM % (life + 1)))
            pause_ms "$part"
            go_offline
            life=$((life - part))
        fi
        pause_ms "$life"
    fi
    kill_program
    kill_no=$((kill_no + 1))
    ran_minutes=$((($(date +%s%N) - run_start) * speed / 60000000000))
    $was_online && online_minutes=$((online_minutes + ran_minutes))
    check_files
done

# A last run closes whatever session is open, so every session seen must now
# be in the history.
left_over=$(head -c19 "$folder/BegTime.txt" 2>/dev/null || true)
new_session() { [ -e "$folder/BegTime.txt" ] && [ "$(head -c19 "$folder/BegTime.txt")" != "$left_over" ]; }
go_online
start_program "$folder" "$(fake_date $(($(fake_now) + 60)))" "$speed"
wait_for 30 "a session" new_session
record_head
go_offline
wait_for 30 "the session to close" test ! -e "$folder/BegTime.txt"
stop_program
check "every session in Static.txt once at the end" sessions_once
check "Static.txt whole lines at the end" history_whole
check "no error shown in the last run" no_errors

# The stop at the budget, killed in its grace: each start warns again, and
# the stop Vimo.db keeps stays pending; once the grace runs out the
# connection is stopped once. A start after a kill right behind the stop
# finds it made and stops nothing at once: the connection it sees (the mock
# leaves the link up) is a new one, which is warned about, with a grace of
# its own, before it could be stopped.
source "$(dirname "$0")/stop_mocks.sh"
start_stop_mocks
stop_folder=$(new_folder stop)
# A grace of an hour: six seconds here.
printf '[budget]\nminutes = 1\nalerts = []\nstop_at = 100\nstop_grace = 3600\n' >"$stop_folder/Vimo.toml"
go_online
warned() { [ "$(warnings)" -ge "$1" ]; }
stop_kills=0
for ((run = 1; run <= 6; run++)); do
    start_program "$stop_folder" "$(fake_date $(($(fake_now) + 60)))" "$speed"
    wait_for 30 "warning $run" warned "$run"
    pause_ms $((RANDOM % 1500))
    kill_program
    stop_kills=$((stop_kills + 1))
    check "the stop pending after a kill in its grace" [ "$(stop_phase "$stop_folder")" = pending ]
    check "nothing stopped during the grace" [ "$(deactivations)" = 0 ]
done
start_program "$stop_folder" "$(fake_date $(($(fake_now) + 60)))" "$speed"
stopped_once() { [ "$(deactivations)" = 1 ]; }
wait_for 30 "the stop after the grace" stopped_once
kill_program
before=$(warnings)
start_program "$stop_folder" "$(fake_date $(($(fake_now) + 60)))" "$speed"
wait_for 30 "the warning after the restart" warned $((before + 1))
sleep 2
check "a kill right after the stop: nothing stopped again in the new grace" stopped_once
check "a kill right after the stop: the new connection's stop pending" \
    [ "$(stop_phase "$stop_folder")" = pending ]
stop_program
echo "stop at the budget: $stop_kills kills in the grace, one stop, $(warnings) warnings"

stale=$(find "$folder" -name '*.tmp.*' | wc -l)
echo "kills: $kill_no (aimed into a transaction: $aimed)  checks: $checks  failures: $failures"
echo "journals left by a kill: $journals_left  rolled back by the next start: $journals_recovered"
echo "sessions: $(wc -l <"$folder/Static.txt")  minutes counted: $(table_total "$folder")" \
    " online minutes run (approx.): $online_minutes  minutes in flight lost from the history: $prev_drift" \
    " left-over temporary files: $stale  minutes unpriced in Vimo.db: $prev_gap"
((failures == 0)) || fail "$failures of $checks checks failed"
echo PASS
