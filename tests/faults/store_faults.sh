#!/usr/bin/env bash
# Vimo.db under the faults of the system around it, with a plan that prices
# every minute: the file made read-only for a while (its mode, which binds
# the unprivileged user the program runs as), and the file locked by another
# process for a while. The program must show each cause once, keep counting,
# and, once the file can be used again, price every minute it counted
# meanwhile. (A damaged file, a link or a folder at its name, and a file
# left mid-transaction are the meter's and the store's own tests; the power
# cuts leave the last in the real program.)
#
# Usage: store_faults.sh <program folder> <clock-wait shim> <case>
#   cases: read_only, locked
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
case_name=$3
source "$(dirname "$0")/lib.sh"

faults_init sqlite3
need_namespaces
make_namespace
speed=60
start="2026-12-08 10:00:00"

folder=$(new_folder data)
cat >"$folder/Vimo.toml" <<'TOML'
[[plan.rate]]
days = ["mon", "tue", "wed", "thu", "fri", "sat", "sun"]
kopecks_per_minute = 1.5
TOML

# The one error the run showed is `text`, whatever the minutes it lasted.
shown_once() { # <text>
    local shown
    shown=$(errors_shown)
    [ "$shown" = "$1" ] || fail "expected the one error \"$1\", the run showed: ${shown:-none}"
}

# Every minute the table counts is priced, but the one in flight when the
# program was stopped, and each was priced at the plan's rate.
priced_all() {
    local table priced
    table=$(table_total "$folder")
    priced=$(store_query "$folder" 'SELECT coalesce(sum(minutes), 0) FROM day_cost')
    echo "minutes counted: $table, priced: $priced"
    ((table > 0 && table - priced >= 0 && table - priced <= 1)) ||
        fail "Vimo.db prices $priced of the $table minutes counted"
    [ "$(store_query "$folder" 'SELECT count(*) FROM day_cost WHERE millikopecks != minutes * 1500;
        PRAGMA integrity_check')" = $'0\nok' ] || fail "Vimo.db is not whole, or mispriced"
}

# A first run, online, that makes the folder's files and Vimo.db.
first_run() { # [as_user]
    start_program "$folder" "$start" "$speed" "${1:-}"
    wait_for 20 "Vimo.db" test -s "$folder/Vimo.db"
    sleep 2
    stop_program
}

go_online
case $case_name in
read_only)
    # As nobody, whom the file's mode binds; the folder stays writable.
    chown -R 65534:65534 "$folder"
    first_run as_user
    chmod 444 "$folder/Vimo.db"
    start_program "$folder" "$start" "$speed" as_user
    sleep 6
    chmod 644 "$folder/Vimo.db"
    sleep 3
    shown_once "File access denied."
    [ "$(error_files)" = Vimo.db ] || fail "the error named $(error_files), not Vimo.db"
    stop_program
    priced_all
    ;;
locked)
    first_run
    start_program "$folder" "$start" "$speed"
    sleep 2
    # A sqlite3 of its own holds an exclusive lock for six seconds.
    mkfifo "$work/sql"
    sqlite3 "$folder/Vimo.db" <"$work/sql" >"$work/sql.out" 2>&1 &
    pids+=($!)
    exec 3>"$work/sql"
    printf 'BEGIN EXCLUSIVE;\n.print held\n' >&3
    wait_for 10 "the other process's lock" grep -q held "$work/sql.out"
    sleep 6
    printf 'COMMIT;\n' >&3
    exec 3>&-
    sleep 3
    shown_once "Vimo.db: database is locked."
    stop_program
    priced_all
    ;;
*)
    fail "unknown case: $case_name"
    ;;
esac
echo PASS
