#!/usr/bin/env bash
# Vimo.db under faults, with a plan that prices every minute: a file that is
# not a database, a link, a file made read-only for a while, a file another
# process keeps locked for a while, and a file a writer killed inside its
# transaction left torn with a hot journal. The program must show each cause
# once, keep counting, and, once the file can be used again, price every
# minute it counted meanwhile; the report reads a torn file as its last
# commit left it, without writing to the folder.
#
# Usage: store_faults.sh <program folder> <clock-wait shim> <case>
#   cases: damaged, link, read_only, locked, hot_journal
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
case_name=$3
source "$(dirname "$0")/lib.sh"

faults_init sqlite3
need_namespaces
make_namespace
speed=60
report="$program_dir/vimo-report"
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

# hold_store <sql...>: a sqlite3 process on the folder's Vimo.db runs the
# statements and then waits, holding what they took, until release_store
# (or kill_store, which ends it with its transaction unfinished).
hold_store() {
    rm -f "$work/sql.fifo" "$work/sql.out"
    mkfifo "$work/sql.fifo"
    sqlite3 "$folder/Vimo.db" <"$work/sql.fifo" >"$work/sql.out" 2>&1 &
    holder=$!
    pids+=("$holder")
    exec 3>"$work/sql.fifo"
    printf '%s\n' "$@" '.print held' >&3
    wait_for 10 "the other process to hold Vimo.db" grep -q held "$work/sql.out"
}
release_store() {
    printf '%s\n' 'COMMIT;' '.quit' >&3
    exec 3>&-
    wait "$holder"
}
kill_store() {
    kill -9 "$holder"
    wait "$holder" 2>/dev/null || true
    exec 3>&-
}

go_online
case $case_name in
damaged)
    head -c 4096 /dev/zero | tr '\0' x >"$folder/Vimo.db"
    cp "$folder/Vimo.db" "$work/garbage"
    start_program "$folder" "$start" "$speed"
    sleep 6
    shown_once "Vimo.db: file is not a database; it is kept as Vimo.db.damaged and a new Vimo.db is started."
    cmp -s "$work/garbage" "$folder/Vimo.db.damaged" || fail "the damaged file was not kept as it was"
    stop_program
    priced_all
    ;;
link)
    echo "not Vimo's" >"$work/elsewhere"
    ln -s "$work/elsewhere" "$folder/Vimo.db"
    start_program "$folder" "$start" "$speed"
    sleep 5
    [ -L "$folder/Vimo.db" ] && [ "$(cat "$work/elsewhere")" = "not Vimo's" ] ||
        fail "the link or the file it names was touched"
    rm "$folder/Vimo.db"
    sleep 3
    shown_once "Vimo.db is a link; Vimo keeps its store in a plain file."
    stop_program
    priced_all
    ;;
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
    hold_store 'BEGIN EXCLUSIVE;'
    sleep 6
    release_store
    sleep 3
    shown_once "Vimo.db: database is locked."
    stop_program
    priced_all
    ;;
hot_journal)
    first_run
    # A writer that changes the day and spills its pages into the file
    # before its commit, killed there.
    hold_store 'PRAGMA cache_size = 1;' 'BEGIN;' \
        'UPDATE day_cost SET minutes = minutes + 1000, millikopecks = millikopecks + 7;' \
        'CREATE TABLE filler (x);' \
        'WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)
         INSERT INTO filler SELECT randomblob(2000) FROM n;'
    kill_store
    [ -s "$folder/Vimo.db-journal" ] || fail "the killed writer left no journal"
    sums() { (cd "$folder" && sha256sum Vimo.db Vimo.db-journal); }
    before=$(sums)
    summary=$("$report" --folder "$folder" --format json summary 08.12.2026) ||
        fail "vimo-report summary failed on the torn Vimo.db"
    [ "$(sums)" = "$before" ] || fail "vimo-report wrote to the folder"
    # What it must read: a copy of the folder rolled back by SQLite itself.
    cp -a "$folder" "$work/rolled"
    sqlite3 "$work/rolled/Vimo.db" 'PRAGMA quick_check' >/dev/null
    [ ! -e "$work/rolled/Vimo.db-journal" ] || fail "sqlite3 did not roll the copy back"
    expected=$("$report" --folder "$work/rolled" --format json summary 08.12.2026)
    [ "$summary" = "$expected" ] ||
        fail "the report read the torn file as: $summary; its last commit is: $expected"
    start_program "$folder" "$start" "$speed"
    wait_for 10 "the journal rolled back" test ! -e "$folder/Vimo.db-journal"
    sleep 3
    ! errors_shown | grep -q . || fail "errors shown: $(errors_shown)"
    stop_program
    priced_all
    ;;
*)
    fail "unknown case: $case_name"
    ;;
esac
echo PASS
