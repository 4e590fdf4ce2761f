#!/usr/bin/env bash
# A working folder that turns read-only (a mount of its own in a private
# mount namespace) or vanishes while the program runs,
# and data files replaced by folders or by files the program may not read.
# The program runs as nobody where permissions matter (root ignores them),
# online for a while and then offline, so that it counts, rewrites and closes
# a session. It must report each failing step once, with the run-time's text,
# keep running, and never damage a stored file.
#
# Usage: folder_faults.sh <program folder> <clock-wait shim> <case> [data file]
#   cases: read_only_folder, vanishing_folder, directory <file>, no_permission <file>,
#          missing_picture
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
case_name=$3
file=${4:-}
source "$(dirname "$0")/lib.sh"

[ "$case_name" != read_only_folder ] || in_private_mounts "$@"
faults_init
need_namespaces
make_namespace
speed=60

# Every error shown is one of those allowed, the first of them shown at least
# `min` times, and no more boxes than one for each tick that ran plus one for
# start-up.
errors_as_expected() { # <text> <min> <seconds the program ran> [other allowed text...]
    local text=$1 min=$2 seconds=$3 count total other allowed
    shift 3
    count=$(error_count "$text")
    total=$(errors_shown | wc -l)
    other=$(errors_shown | grep -vxF -e "$text" "${@/#/-e}" || true)
    [ -z "$other" ] || fail "unexpected errors: $other"
    ((count >= min)) || fail "only $count \"$text\" boxes, expected at least $min"
    ((total <= seconds * speed / 60 + 2)) ||
        fail "$total boxes in about $((seconds * speed / 60)) ticks: more than one a step"
    echo "boxes in about $((seconds * speed / 60)) ticks:"
    errors_shown | sort | uniq -c
}

# The history kept what it had; the table lost no minute.
nothing_lost() { # <snapshot> <folder>
    local snap=$1 folder=$2
    if [ -f "$snap/Static.txt" ] && [ -f "$folder/Static.txt" ]; then
        cmp -s -n "$(stat -c %s "$snap/Static.txt")" "$snap/Static.txt" "$folder/Static.txt" ||
            fail "the history lost its old lines"
    fi
    if [ -f "$folder/Table.dat" ] && [ -f "$folder/TableExt.dat" ]; then
        [ "$(stat -c %s "$folder/Table.dat")" = 9672 ] || fail "Table.dat is not whole"
        [ "$(stat -c %s "$folder/TableExt.dat")" = 62496 ] || fail "TableExt.dat is not whole"
        (($(table_total "$folder") >= $(table_total "$snap"))) || fail "the table lost minutes"
    fi
    if [ -f "$snap/Propert.dat" ] && [ -f "$folder/Propert.dat" ]; then
        cmp -s "$snap/Propert.dat" "$folder/Propert.dat" || fail "Propert.dat changed"
    fi
}

carried_over() { utf8 "$1/Static.txt" | grep -q 'Аварийное'; }

case $case_name in
read_only_folder)
    folder=$(new_folder data)
    seed_files "$folder"
    # The folder turns read-only and back while the program runs, as a
    # medium that turns read-only does: a read-only view of it is mounted
    # over it and taken away again. (Remounting the folder itself read-only
    # is refused while the program holds its lock file open for writing.)
    go_online
    start_program "$folder" "2010-03-05 10:00:00" "$speed"
    wait_for 30 "the left-over session carried over" carried_over "$folder"
    sleep 2
    snapshot "$folder" "$work/before"
    mount --bind -o ro "$folder" "$folder"
    mounts+=("$folder")
    sleep 4
    same_files "$work/before" "$folder" "${data_files[@]}"
    go_offline
    sleep 3
    same_files "$work/before" "$folder" "${data_files[@]}"
    errors_as_expected "File access denied." 5 7
    shown=$(errors_shown | wc -l)
    # Writable again: the session closes, and the minutes of the read-only
    # spell, kept in memory, reach the table with the next online tick.
    umount -l "$folder"
    wait_for 10 "the session to close" test ! -e "$folder/BegTime.txt"
    go_online
    wait_for 10 "a new session" test -e "$folder/BegTime.txt"
    sleep 1.5
    (($(table_total "$folder") >= $(table_total "$work/before") + 4 + 1)) ||
        fail "the minutes of the read-only spell were lost"
    [ "$(errors_shown | wc -l)" = "$shown" ] || fail "errors after the folder became writable"
    nothing_lost "$work/before" "$folder"
    stop_program
    ;;
vanishing_folder)
    folder=$(new_folder data)
    seed_files "$folder"
    go_online
    start_program "$folder" "2010-03-05 10:00:00" "$speed"
    wait_for 30 "a session" test -e "$folder/BegTime.txt"
    sleep 1
    rm -rf "$folder"
    sleep 4
    go_offline
    sleep 3
    # Made again under the same name: the program still works in the folder
    # it had, which is gone, and must not write into the new one.
    mkdir -p "$folder"
    sleep 2
    # The icons went with the folder, so the pictures cannot change either.
    errors_as_expected "File not found." 2 9 \
        "Cannot open file Res/OnLine.ico." "Cannot open file Res/OffLine.ico."
    [ -z "$(ls -A "$folder")" ] || fail "files appeared in the new folder: $(ls "$folder")"
    stop_program
    ;;
directory | no_permission)
    [[ " ${data_files[*]} " == *" $file "* ]] || fail "unknown data file: $file"
    folder=$(new_folder data)
    seed_files "$folder"
    chown -R 65534:65534 "$folder"
    snapshot "$folder" "$work/before"
    if [ "$case_name" = directory ]; then
        rm "$folder/$file"
        mkdir "$folder/$file"
        echo keep >"$folder/$file/keep"
    else
        chown root:root "$folder/$file"
        chmod 000 "$folder/$file"
        cp -a "$folder/$file" "$work/unreadable"
    fi
    go_online
    start_program "$folder" "2010-03-05 10:00:00" "$speed" as_user
    sleep 6
    go_offline
    sleep 4
    if [ "$case_name" = directory ]; then
        [ -d "$folder/$file" ] && [ "$(cat "$folder/$file/keep")" = keep ] ||
            fail "the folder standing for $file was touched"
    else
        cmp -s "$work/unreadable" "$folder/$file" || fail "the unreadable $file was overwritten"
        [ "$(stat -c %a "$folder/$file")" = 0 ] || fail "the unreadable $file changed its mode"
    fi
    # A text that cannot be read stops the tick before the history is
    # touched, so a left-over session line is never lost either.
    if [ "$file" != BegTime.txt ] && [ -f "$folder/BegTime.txt" ]; then
        grep -qF "$(head -c 24 "$work/before/BegTime.txt")" "$folder/BegTime.txt" ||
            grep -qF "$(head -c 24 "$work/before/BegTime.txt")" "$folder/Static.txt" ||
            fail "the left-over session line was lost"
    fi
    # A tick that fails before it rewrites the session line leaves none to
    # close, which the closing tick reports as "File not found.".
    errors_as_expected "File access denied." 1 10 "File not found."
    nothing_lost "$work/before" "$folder"
    stop_program
    ;;
missing_picture)
    # The online picture is missing: its error is shown, and the session
    # still counts from its first minute.
    folder=$(new_folder data)
    rm "$folder/Res/OnLine.ico"
    go_online
    start_program "$folder" "2010-03-05 10:00:00" "$speed"
    wait_for 30 "a session" test -e "$folder/BegTime.txt"
    sleep 4
    go_offline
    wait_for 10 "the session to close" test ! -e "$folder/BegTime.txt"
    errors_as_expected "Cannot open file Res/OnLine.ico." 1 10
    one_whole_session "$folder"
    ((session_minutes >= 4)) || fail "only $session_minutes minutes counted"
    stop_program
    ;;
*)
    fail "unknown case: $case_name"
    ;;
esac
echo PASS
