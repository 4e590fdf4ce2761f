#!/usr/bin/env bash
# A full disk: the working folder lies on a 2 MB tmpfs in a private mount
# namespace, filled to the last byte while the program counts a session.
# Every failing tick shows "Disk full." once and names the file on standard
# error, the stored files stay as they were, and once space returns the
# session closes with every minute counted and counting goes on.
#
# Usage: full_disk.sh <program folder> <clock-wait shim>
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
source "$(dirname "$0")/lib.sh"

in_private_mounts "$@"
faults_init
need_namespaces
make_namespace

disk="$work/disk"
mkdir -p "$disk"
mount -t tmpfs -o size=2m,mode=755 vimo-faults "$disk"
mounts+=("$disk")
folder="$disk/data"
mkdir -p "$folder/Res"
cp "$program_dir"/Res/*.ico "$folder/Res/"

fill_disk() {
    dd if=/dev/zero of="$disk/filler" bs=4096 status=none 2>/dev/null || true
    # The last bytes: small files until not even one more page is left.
    local i=0
    while head -c 1 /dev/zero >"$disk/filler-$i" 2>/dev/null; do i=$((i + 1)); done
    rm -f "$disk/filler-$i"
    [ "$(df --output=avail -B1 "$disk" | tail -n1 | tr -d ' ')" -lt 4096 ] || fail "the disk is not full"
}
free_disk() { rm -f "$disk"/filler*; }
only_disk_full() { [ -z "$(errors_shown | grep -vxF 'Disk full.')" ]; }
ticks_in() { echo $(($1 * speed / 60)); }

speed=60
go_online
start_program "$folder" "2010-03-05 10:00:00" "$speed"
wait_for 30 "the first session line" test -e "$folder/BegTime.txt"
wait_for 10 "three minutes counted" bash -c "[ \$(od -An -tu2 -j$((((7 * 12 + 2) * 31 + 4) * 2)) -N2 '$folder/Table.dat') -ge 3 ]"
snapshot "$folder" "$work/before"
[ "$(errors_shown | wc -l)" = 0 ] || fail "errors before the disk filled: $(errors_shown)"

# --- full while online: every tick fails once, nothing stored changes -------
fill_disk
sleep 6
errors=$(error_count "Disk full.")
echo "online, 6 s full (about $(ticks_in 6) ticks): $errors \"Disk full.\" boxes"
only_disk_full || fail "other errors: $(errors_shown | sort | uniq -c)"
((errors >= $(ticks_in 6) - 2 && errors <= $(ticks_in 6) + 1)) ||
    fail "$errors boxes for about $(ticks_in 6) failing ticks"
same_files "$work/before" "$folder" Table.dat TableExt.dat Propert.dat Static.txt BegTime.txt
# Each tick's line names its first file, Table.dat; Vimo.db, whose minutes
# wait for room as well, is named once.
[ "$(error_files | grep -vx Table.dat)" = Vimo.db ] ||
    fail "the error lines should name Table.dat, the tick's first file, and Vimo.db once:" \
        "$(error_files | sort | uniq -c)"
online_failures=$errors

# --- full while the session closes: the line stays in BegTime.txt -----------
go_offline
sleep 3
errors_before=$errors
errors=$(error_count "Disk full.")
((errors > errors_before)) || fail "closing the session on a full disk showed no error"
only_disk_full || fail "other errors: $(errors_shown | sort | uniq -c)"
same_files "$work/before" "$folder" Table.dat TableExt.dat Propert.dat Static.txt BegTime.txt
alive || fail "the program ended on a full disk: $(tail -n5 "$log")"

# --- space returns: the session closes with all its minutes, counting goes on -
free_disk
wait_for 10 "the session to close" test ! -e "$folder/BegTime.txt"
cmp -s <(head -c 19 "$folder/Static.txt") <(head -c 19 "$work/before/BegTime.txt") ||
    fail "the history's line is not the session's line"
# Its line holds the minutes of the failed ticks too.
one_whole_session "$folder"
((session_minutes >= $(table_total "$work/before") + online_failures)) ||
    fail "the line lost the minutes of the failed ticks: $session_minutes"
errors=$(error_count "Disk full.")
go_online
wait_for 10 "a new session" test -e "$folder/BegTime.txt"
sleep 3
# The minutes of the failed online ticks were kept in memory and are saved now.
counted_before=$(table_total "$work/before")
total=$(table_total "$folder")
echo "minutes: $counted_before before the disk filled, $online_failures failed ticks, $total now"
((total >= counted_before + online_failures + 2)) ||
    fail "minutes were lost: $counted_before + $online_failures failed ticks -> $total"
[ "$(error_count "Disk full.")" = "$errors" ] || fail "errors after space returned"
[ -z "$(find "$disk" -name '*.tmp.*')" ] || fail "temporary files left: $(find "$disk" -name '*.tmp.*')"
stop_program
go_offline

# --- start-up on a full disk: one box, no partial file ------------------------
folder="$disk/fresh"
mkdir -p "$folder/Res"
cp "$program_dir"/Res/*.ico "$folder/Res/"
fill_disk
start_program "$folder" "2010-03-05 10:00:00" "$speed"
wait_for 30 "the start-up error" bash -c "grep -q '^vimo: error:' '$log'"
sleep 3
[ "$(errors_shown)" = "Disk full." ] || fail "start-up on a full disk showed: $(errors_shown)"
for f in Table.dat TableExt.dat Propert.dat; do
    if [ -e "$folder/$f" ]; then fail "a partial $f was left"; fi
done
stop_program
free_disk
echo PASS
