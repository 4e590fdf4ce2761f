#!/usr/bin/env bash
# Two starts in one working folder: the second asks the running copy to show
# its window and ends at once with status 0, touching no data file, so a
# session is counted and recorded once; another user cannot reach the copy's
# socket. A copy in another folder runs alongside; a copy killed outright,
# also in a folder turned read-only, never keeps the next start from
# running. A lock file that is not a plain file stops the start with an
# error.
#
# Usage: two_copies.sh <program folder> <clock-wait shim>
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
source "$(dirname "$0")/lib.sh"

in_private_mounts "$@"
faults_init python3
need_namespaces
make_namespace
speed=60

running() { # <pid>: not ended, not a zombie
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}
ended() { ! running "$1"; }
carried_over() { utf8 "$1/Static.txt" 2>/dev/null | grep -q 'Аварийное'; }
# Qt's offscreen platform has no tray; the notice that says so is not about
# the lock.
said() { grep '^vimo:' "$1" | grep -v '^vimo: notice: Нет области уведомлений' || true; }
notices() { said "$1" | sed -n 's/^vimo: notice: //p'; }

# start_again <folder> <fake start>: one more start there, which must end by
# itself within a few seconds with status 0 and without a line of its own on
# standard error; $vimo and $log stay those of the copy already running.
start_again() {
    local running_pid=$vimo running_log=$log status=0
    start_program "$1" "$2" "$speed"
    local again=$vimo again_log=$log
    vimo=$running_pid log=$running_log
    wait_for 10 "the second start to end" ended "$again"
    wait "$again" || status=$?
    [ "$status" = 0 ] || fail "the second start ended with status $status: $(tail -n5 "$again_log")"
    [ -z "$(said "$again_log")" ] || fail "the second start printed: $(said "$again_log")"
}

# --- a second start beside a copy that is online ------------------------------
one=$(new_folder one)
go_online
start_program "$one" "2010-03-05 10:00:00" "$speed"
first=$vimo first_log=$log
wait_for 30 "the first copy's session" test -e "$one/BegTime.txt"
wait_for 10 "two minutes counted" bash -c "[ \$(od -An -tu2 -j$((((7 * 12 + 2) * 31 + 4) * 2)) -N2 '$one/Table.dat') -ge 2 ]"
[ -e "$one/Vimo.lock" ] || fail "the running copy holds no lock file"

# Stopped, the first copy cannot write while the second start runs, so any
# change to the files is the second's. The system still queues the second's
# request on the first's socket, to be answered once it goes on.
kill -STOP "$vimo"
snapshot "$one" "$work/before"
start_again "$one" "2010-03-05 10:30:00"
same_files "$work/before" "$one" "${data_files[@]}"
kill -CONT "$vimo"
echo "a second start beside a stopped copy ended at once and changed no file"

# And beside the copy as it runs, answering at once.
sleep 2
start_again "$one" "2010-03-05 10:40:00"
alive || fail "the first copy ended: $(tail -n5 "$log")"
echo "a second start beside the running copy ended at once"

# connect_as <user id> <socket>: what a connection to the socket meets.
connect_as() {
    setpriv --reuid="$1" --regid="$1" --clear-groups env -i PATH=/usr/bin:/bin python3 -c '
import socket, sys
try:
    socket.socket(socket.AF_UNIX).connect(sys.argv[1]); print("connected")
except OSError as error:
    print(type(error).__name__)' "$2"
}
socket=$(echo "$work/run-root"/vimo-*)
[ "$(connect_as 0 "$socket")" = connected ] || fail "the copy's socket is not $socket"
[ "$(connect_as 65534 "$socket")" = PermissionError ] ||
    fail "another user's connection met: $(connect_as 65534 "$socket")"
echo "another user's connection to the socket was refused"

# --- a copy in another folder runs alongside ---------------------------------
two=$(new_folder two)
start_program "$two" "2010-03-05 11:00:00" "$speed"
other=$vimo other_log=$log
wait_for 30 "the other folder's session" test -e "$two/BegTime.txt"
sleep 2
alive || fail "the copy in the other folder ended: $(tail -n5 "$log")"
[ -z "$(notices "$log")" ] || fail "the copy in the other folder: $(notices "$log")"
vimo=$first log=$first_log
alive || fail "the first copy ended: $(tail -n5 "$log")"

# Each session closes into its own history once, with no crash marker: no
# second copy carried the first's session over.
go_offline
wait_for 10 "the sessions to close" bash -c "[ ! -e '$one/BegTime.txt' ] && [ ! -e '$two/BegTime.txt' ]"
for folder in "$one" "$two"; do
    [ "$(wc -l <"$folder/Static.txt")" = 1 ] ||
        fail "$(basename "$folder"): the history holds $(wc -l <"$folder/Static.txt") lines: $(utf8 "$folder/Static.txt")"
    ! carried_over "$folder" || fail "$(basename "$folder"): a session carried over as a crash"
done
for each_log in "$first_log" "$other_log"; do
    [ -z "$(said "$each_log")" ] || fail "a running copy printed: $(said "$each_log")"
done
stop_program
vimo=$other log=$other_log
stop_program
echo "the copies in two folders counted side by side, one session each"

# --- the lock of a killed copy ------------------------------------------------
# The copies were killed outright above: their lock files and sockets stayed.
folder=$one
[ -e "$folder/Vimo.lock" ] || fail "no lock file left by the killed copy"
start_program "$folder" "2010-03-05 12:00:00" "$speed"
go_online
wait_for 30 "a session of the new copy" test -e "$folder/BegTime.txt"
alive || fail "the new copy ended: $(tail -n5 "$log")"
[ -z "$(notices "$log")" ] || fail "the new copy: $(notices "$log")"
# It holds the lock and answers in its turn.
start_again "$folder" "2010-03-05 12:30:00"
alive || fail "the new copy ended: $(tail -n5 "$log")"
stop_program
go_offline
echo "a killed copy's lock kept no later start from running"

# --- a lock file that is not a plain file -------------------------------------
# Before, a folder there let two copies count side by side. (The other kinds
# are the lock's own tests.)
folder=$(new_folder lock-folder)
mkdir "$folder/Vimo.lock"
start_program "$folder" "2010-03-05 13:00:00" "$speed"
wait_for 10 "the error box" bash -c "grep -q '^vimo: error:' '$log'"
[ "$(errors_shown)" = "Exception ELockFileError in module vimo at 00000000. Vimo.lock is not a plain file; remove it so that Vimo can tell whether it already runs here." ] ||
    fail "Vimo.lock as a folder: $(errors_shown)"
sleep 2
for file in "${data_files[@]}"; do
    [ ! -e "$folder/$file" ] || fail "Vimo.lock as a folder: $file was made"
done
kill_program
echo "a lock file that is not a plain file stopped the start with an error"

# --- a folder that cannot be locked: the program runs unguarded -------------
folder=$(new_folder three)
mount --bind "$folder" "$folder"
mounts+=("$folder")
mount -o remount,bind,ro "$folder"
start_program "$folder" "2010-03-05 13:00:00" "$speed"
wait_for 30 "the notice" bash -c "grep -q '^vimo: notice:' '$log'"
sleep 2
alive || fail "the program ended in a read-only folder: $(tail -n5 "$log")"
[ "$(notices "$log")" = "cannot lock the working folder (read-only file system); a second copy would not be noticed" ] ||
    fail "read-only folder: $(notices "$log")"
stop_program

# A lock left by a killed copy in a folder that turned read-only since
# cannot be removed; it must not keep the program from running there.
mount -o remount,bind,rw "$folder"
start_program "$folder" "2010-03-05 14:00:00" "$speed"
wait_for 30 "the start-up" test -e "$folder/Table.dat"
stop_program
[ -e "$folder/Vimo.lock" ] || fail "no lock file left by the killed copy"
mount -o remount,bind,ro "$folder"
start_program "$folder" "2010-03-05 15:00:00" "$speed"
wait_for 30 "the notice" bash -c "grep -q '^vimo: notice:' '$log'"
sleep 2
alive || fail "the program ended in a read-only folder with a stale lock: $(tail -n5 "$log")"
[ "$(notices "$log")" = "cannot lock the working folder (a lock left by a copy that ended cannot be removed); a second copy would not be noticed" ] ||
    fail "read-only folder with a stale lock: $(notices "$log")"
stop_program
echo "read-only folders: the program ran unguarded with one notice"
echo PASS
