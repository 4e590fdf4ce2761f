# Shared by the fault scripts: sourced, not run. Starts the real program with
# no X server (Qt's offscreen platform), on a sped-up clock, optionally in a
# network namespace of the script's own and as an unprivileged user; reads
# and checks the data files it writes. Every process, namespace and mount the
# script makes is recorded and removed by the EXIT trap.
#
# The sourcing script sets program_dir (the folder with vimo and Res) and
# shim (the clock-wait preload) before calling faults_init.

set -euo pipefail
export LC_ALL=C
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../support/private_bus.sh"

pids=()
namespaces=()
mounts=()
work=""

faults_cleanup() {
    local pid i
    for pid in "${pids[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount -l "${mounts[i]}" 2>/dev/null || true
    done
    for i in "${namespaces[@]}"; do
        ip netns del "$i" 2>/dev/null || true
    done
    drop_work "$work"
}

# faults_init <tool...>: checks the tools, makes the scratch folder and sets
# the trap. The program and the preloads are copied there so that an
# unprivileged user can run them whatever the build folder's permissions.
faults_init() {
    local tool
    for tool in faketime ip nsenter od cmp iconv setpriv "$@"; do
        command -v "$tool" >/dev/null || fail "missing tool: $tool (run make deps)"
    done
    libfaketime=$(ls /usr/lib/*/faketime/libfaketimeMT.so.1 2>/dev/null | head -n1)
    [ -n "$libfaketime" ] || fail "missing libfaketimeMT (run make deps)"
    trap faults_cleanup EXIT
    trap 'exit 1' INT TERM HUP PIPE
    work=$(mktemp -d /tmp/vimo-faults.XXXXXX)
    chmod 755 "$work"
    mkdir -p "$work/bin" "$work/logs" "$work/config"
    cp "$program_dir/vimo" "$program_dir/vimo-charts.so" "$shim" "$libfaketime" "$work/bin/"
    chmod -R a+rX "$work/bin"
    chmod 777 "$work/logs"
    program="$work/bin/vimo"
    preload="$work/bin/$(basename "$shim"):$work/bin/$(basename "$libfaketime")"
}

# need_namespaces: skips the test where network namespaces are not allowed.
need_namespaces() {
    if ! ip netns add "vimo-probe-$$" 2>/dev/null; then
        skip "network namespaces are not allowed here"
    fi
    ip netns del "vimo-probe-$$"
}

# need_mounts: skips the test where private mount namespaces are not allowed.
need_mounts() {
    quiet unshare -m --propagation private true || skip "mount namespaces are not allowed here"
}

# in_private_mounts "$@": runs the calling script again, once, in a private
# mount namespace of its own, so that the mounts it makes end with it.
in_private_mounts() {
    [ -n "${VIMO_FAULTS_PRIVATE_MOUNTS:-}" ] && return 0
    need_mounts
    VIMO_FAULTS_PRIVATE_MOUNTS=1 exec unshare -m --propagation private bash "$0" "$@"
}

# The design's data files, which no fault may damage.
data_files=(Table.dat TableExt.dat Propert.dat Static.txt BegTime.txt)

# make_namespace: a namespace with loopback and one veth pair, offline.
make_namespace() {
    ns="vimo-faults-$$"
    ip netns add "$ns"
    namespaces+=("$ns")
    ip -n "$ns" link set lo up
    ip -n "$ns" link add v0 type veth peer name v1
    ip -n "$ns" link set v0 up
    ip -n "$ns" link set v1 up
    online=false
}

# The Linux stack counts the computer online only with a default route.
go_online() {
    $online && return 0
    ip -n "$ns" addr add 10.77.0.2/24 dev v0
    ip -n "$ns" route add default dev v0
    online=true
}

go_offline() {
    $online || return 0
    ip -n "$ns" route del default dev v0
    ip -n "$ns" addr del 10.77.0.2/24 dev v0
    online=false
}

# new_folder <name>: a data folder with the program's icons, as installed.
new_folder() {
    local folder="$work/$1"
    mkdir -p "$folder/Res"
    cp "$program_dir"/Res/*.ico "$folder/Res/"
    chmod -R a+rX "$folder"
    echo "$folder"
}

# start_program <folder> <fake start "YYYY-MM-DD hh:mm:ss"> <speed> [as_user]:
# starts vimo with that folder as its working folder, in the namespace when
# there is one; sets $vimo to its process id and $log to its output (kept
# outside the folder, which may be full). With as_user it runs as nobody.
# Each user has a runtime folder of its own, private as a session's is.
start_program() {
    local folder=$1 start=$2 speed=$3 as=${4:-}
    log="$work/logs/vimo-$((++runs)).log"
    local runtime="$work/run-${as:-root}"
    if [ ! -d "$runtime" ]; then
        mkdir -m 700 "$runtime"
        [ "$as" != as_user ] || chown 65534:65534 "$runtime"
    fi
    local -a cmd=(env -i PATH=/usr/bin:/bin TZ=UTC QT_QPA_PLATFORM=offscreen
        XDG_CONFIG_HOME="${config_dir:-$work/config}" XDG_RUNTIME_DIR="$runtime"
        LD_PRELOAD="$preload" FAKETIME="@$start x$speed" "${program_env[@]}" "$program")
    if [ "$as" = as_user ]; then
        cmd=(setpriv --reuid=65534 --regid=65534 --clear-groups "${cmd[@]}")
    fi
    # nsenter joins the network namespace only: the program shares the
    # script's mounts, so a mount the script changes later changes under it.
    if [ -n "${ns:-}" ]; then
        cmd=(nsenter "--net=/run/netns/$ns" "${cmd[@]}")
    fi
    (cd "$folder" && exec "${cmd[@]}" >"$log" 2>&1) &
    vimo=$!
    pids+=("$vimo")
}
runs=0
# More of the program's environment, NAME=value each, for the next starts.
program_env=()

# alive: the program is running (not ended, not a zombie).
alive() {
    local state
    state=$(awk '{print $3}' "/proc/$vimo/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# stop_program: fails when the program is no longer running (it crashed),
# then ends it by its pid and reaps it.
stop_program() {
    alive || fail "the program ended by itself: $(tail -n5 "$log")"
    kill -9 "$vimo"
    wait "$vimo" 2>/dev/null || true
}

# kill_program: SIGKILL at once, whatever state it is in, and reap it.
kill_program() {
    kill -9 "$vimo" 2>/dev/null || true
    wait "$vimo" 2>/dev/null || true
}

# errors_shown: the error boxes the program has shown so far, one a line.
# The log line may name the file after the box's text: "Disk full. (Table.dat)".
errors_shown() {
    sed -n -E '/^vimo: error: /{s///; s/ \([^()]*\)$//; p}' "$log"
}

# error_files: the file each error line names, one a line.
error_files() {
    sed -n -E 's/^vimo: error: .* \(([^()]*)\)$/\1/p' "$log"
}

error_count() {
    errors_shown | grep -cxF "$1" || true
}

# table_total <folder>: all minutes in both table files.
table_total() {
    cat "$1/Table.dat" "$1/TableExt.dat" | od -An -v -tu2 |
        awk '{for (i = 1; i <= NF; i++) s += $i} END {print s + 0}'
}

# minutes_of_lines: the sum of the durations of session lines on stdin (UTF-8).
minutes_of_lines() {
    sed -E -e 's/.*время = ([0-9]+) ч\. ([0-9]+) мин\..*/\1 \2/' \
        -e 's/.*время = ([0-9]+) час\..*/\1 0/' \
        -e 's/.*время = ([0-9]+) мин\..*/0 \1/' |
        awk 'NF == 2 {s += $1 * 60 + $2} END {print s + 0}'
}

# one_whole_session <folder>: the folder's history holds one line, the only
# session it ever had, and that line counts every minute in the table and
# ends that many minutes after it started (or one more, when the ticks,
# sixty seconds apart, straddle minute marks). Sets $session_minutes.
one_whole_session() {
    local folder=$1 line span
    [ "$(wc -l <"$folder/Static.txt")" = 1 ] || fail "the history should hold the one session"
    line=$(utf8 "$folder/Static.txt")
    echo "session line: $line"
    session_minutes=$(minutes_of_lines <<<"$line")
    [ "$session_minutes" = "$(table_total "$folder")" ] ||
        fail "the line counts $session_minutes minutes, the table $(table_total "$folder")"
    span=$(sed -E 's/^\[[^]]*\] ([0-9]+):([0-9]+)-([0-9]+):([0-9]+).*/\3 * 60 + \4 - \1 * 60 - \2/' <<<"$line")
    span=$((span))
    ((span >= session_minutes && span <= session_minutes + 1)) ||
        fail "the line's times span $span minutes, it counts $session_minutes"
}

# fake_date <epoch seconds>: the text faketime takes for a start time.
fake_date() { date -u -d "@$1" '+%F %T'; }

# snapshot <folder> <dest>: copies the data files for a later comparison.
snapshot() {
    mkdir -p "$2"
    local f
    for f in Table.dat TableExt.dat Propert.dat Static.txt BegTime.txt; do
        if [ -e "$1/$f" ]; then cp -a "$1/$f" "$2/"; fi
    done
}

# same_files <snapshot> <folder> <file...>: each file is byte for byte as it was.
same_files() {
    local snap=$1 folder=$2 f
    shift 2
    for f in "$@"; do
        if [ -e "$snap/$f" ]; then
            cmp -s "$snap/$f" "$folder/$f" || fail "$f changed"
        else
            [ ! -e "$folder/$f" ] || fail "$f appeared"
        fi
    done
}

# seed_files <folder>: a set of data files as a few days of use leave them:
# counts on 4 and 5 March 2010, one finished session, one left over by a run
# that ended during its session.
seed_files() {
    local folder=$1
    head -c 9672 /dev/zero >"$folder/Table.dat"
    local cell=$((((7 * 12 + 2) * 31 + 3) * 2))
    printf '\x2a\x00\x1e\x00' | dd of="$folder/Table.dat" bs=1 seek=$cell conv=notrunc status=none
    head -c 62496 /dev/zero >"$folder/TableExt.dat"
    { printf '\xcd\xcc\xcc\xcc\xcc\xcc\x0c\x40\x00\x01\x0a'; printf '04.03.2010\0\0\0'; } \
        >"$folder/Propert.dat"
    printf '%s\r\n' '[04.03.2010] 20:00-20:42   время = 42 мин.       Linux       10.77.0.2      ' |
        iconv -f UTF-8 -t CP1251 >"$folder/Static.txt"
    printf '%s\r\n' '[05.03.2010] 09:00-09:30   время = 30 мин.       Linux       10.77.0.2      ' |
        iconv -f UTF-8 -t CP1251 >"$folder/BegTime.txt"
}

# store_query <folder> <sql>: the folder's Vimo.db as the next start finds it:
# a copy, with its journal, opened read-write so that a transaction cut short
# is rolled back there, not in the folder.
store_query() {
    rm -rf "$work/store" && mkdir "$work/store"
    cp "$1"/Vimo.db* "$work/store/"
    sqlite3 "$work/store/Vimo.db" "$2"
}
