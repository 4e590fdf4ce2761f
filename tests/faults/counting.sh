#!/usr/bin/env bash
# Counting only what is metered, in the real program: a namespace with two
# routed interfaces, home Wi-Fi with the better route and a phone whose far
# end sits in a second namespace of the test's own. Only the named phone
# counts; a name that matches nothing is named once; the bytes moved to the
# peer reach the report; an interface made anew never makes the count jump.
#
# Usage: counting.sh <program folder> <clock-wait shim>
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
source "$(dirname "$0")/lib.sh"

faults_init python3
need_namespaces
report="$program_dir/vimo-report"

ns="vimo-count-$$"
peer="vimo-peer-$$"
for space in "$ns" "$peer"; do
    ip netns add "$space"
    namespaces+=("$space")
    ip -n "$space" link set lo up
done
ip -n "$ns" link add home0 type veth peer name home1
ip -n "$ns" link set home0 up
ip -n "$ns" link set home1 up
ip -n "$ns" addr add 10.77.0.2/24 dev home0
ip -n "$ns" route add default dev home0 metric 10
phone_up() {
    ip -n "$ns" link add phone0 type veth peer name phone1 netns "$peer"
    ip -n "$ns" link set phone0 up
    ip -n "$peer" link set phone1 up
    ip -n "$ns" addr add 10.78.0.2/24 dev phone0
    ip -n "$peer" addr add 10.78.0.1/24 dev phone1
    ip -n "$ns" route add default via 10.78.0.1 dev phone0 metric 100
}
phone_gone() { ip -n "$ns" link del phone0; }

# send <bytes>: from the program's namespace to the peer over the phone.
send() {
    ip netns exec "$peer" python3 -c '
import socket, sys
server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(("10.78.0.1", 5001)); server.listen(1)
print("ready", flush=True)
connection, _ = server.accept()
total = 0
while chunk := connection.recv(65536):
    total += len(chunk)
print(total)' >"$work/peer.out" &
    local listener=$!
    wait_for 10 "the peer to listen" grep -q ready "$work/peer.out"
    ip netns exec "$ns" python3 -c '
import socket, sys
with socket.create_connection(("10.78.0.1", 5001)) as s:
    s.sendall(b"x" * int(sys.argv[1]))' "$1"
    wait "$listener"
    [ "$(tail -n1 "$work/peer.out")" = "$1" ] || fail "the peer received $(tail -n1 "$work/peer.out"), not $1"
}

# json <expression>: a value of the day's summary, by a Python expression on `s`.
json() {
    "$report" --folder "$folder" --format json summary 08.12.2026 >"$work/summary.json" ||
        fail "summary: $(cat "$work/summary.json")"
    python3 -c 'import json, sys; s = json.load(open(sys.argv[1])); print(eval(sys.argv[2]))' \
        "$work/summary.json" "$1"
}
sent_today() { json 's["today"]["tx_bytes"]'; }
session_open() { [ -e "$folder/BegTime.txt" ]; }
no_session() { [ ! -e "$folder/BegTime.txt" ]; }

folder=$(new_folder counting)
cat >"$folder/Vimo.toml" <<'TOML'
[counting]
interfaces = ["phone0", "wwan7"]
TOML
start_program "$folder" "2026-12-08 10:00:00" 60
wait_for 20 "the data files" test -f "$folder/Static.txt"
sleep 4  # four ticks with home Wi-Fi online
session_open && fail "home Wi-Fi opened a session: $(iconv -f CP1251 -t UTF-8 "$folder/BegTime.txt")"
notices=$(grep -c '^vimo: notice: Интерфейс «wwan7» не найден' "$log" || true)
[ "$notices" = 1 ] || fail "the missing interface was named $notices times: $(cat "$log")"

phone_up
wait_for 20 "a session over the phone" session_open
iconv -f CP1251 -t UTF-8 "$folder/BegTime.txt" | grep -q ' 10\.78\.0\.2 ' ||
    fail "the session is not the phone's: $(iconv -f CP1251 -t UTF-8 "$folder/BegTime.txt")"
send 5000000
sleep 3  # the ticks that read the counters
first=$(sent_today)
# The payload and its TCP/IP headers, a few percent more.
((first >= 5000000 && first < 5500000)) || fail "5 MB sent, $first bytes counted"

# The phone's interface is made anew: its counters start again from 0.
phone_gone
wait_for 20 "the session to close" no_session
phone_up
wait_for 20 "a new session" session_open
send 1000000
sleep 3
phone_gone
wait_for 20 "the session to close" no_session
second=$(sent_today)
moved=$((second - first))
((moved >= 1000000 && moved < 1200000)) || fail "1 MB sent after the interface came back, $moved counted"

# Each connection's own bytes, in the day's listing.
"$report" --folder "$folder" --format json day 08.12.2026 >"$work/day.json"
python3 -c '
import json, sys
lines = json.load(open(sys.argv[1]))
sent = [line["tx_bytes"] for line in lines]
assert len(sent) == 2 and 5000000 <= sent[0] < 5500000 and 1000000 <= sent[1] < 1200000, sent
' "$work/day.json" || fail "the day listing: $(cat "$work/day.json")"
stop_program

# --- only metered connections, as a NetworkManager of the test's own says ---
# python-dbusmock's NetworkManager on a private bus: the phone is metered,
# home Wi-Fi is not. Killing the mock falls back, with one notice, to every
# interface.
mock_python=$(python_with dbusmock)
[ -n "$mock_python" ] || fail "python-dbusmock is missing (run make deps)"
command -v gdbus >/dev/null || fail "gdbus is missing (run make deps)"
start_private_bus "$work"
DBUS_SYSTEM_BUS_ADDRESS=$bus DBUS_SESSION_BUS_ADDRESS=$bus "$mock_python" -m dbusmock \
    --template networkmanager >/dev/null 2>"$work/mock.err" &
mock=$!
pids+=("$mock")
mock_call() { gdbus call --address "$bus" --dest org.freedesktop.NetworkManager "$@" >/dev/null; }
wait_for 10 "the mock NetworkManager" quiet mock_call --object-path /org/freedesktop \
    --method org.freedesktop.DBus.Introspectable.Introspect
# add_device <name> <interface> <metered>
add_device() {
    local path=/org/freedesktop/NetworkManager/Devices/$1
    mock_call --object-path /org/freedesktop --method org.freedesktop.DBus.Mock.AddObject \
        "$path" org.freedesktop.NetworkManager.Device \
        "{'Interface': <'$2'>, 'IpInterface': <'$2'>, 'DeviceType': <uint32 1>, 'State': <uint32 100>, 'Metered': <uint32 $3>}" \
        "@a(ssss) []"
    mock_call --object-path /org/freedesktop/NetworkManager \
        --method org.freedesktop.DBus.Mock.EmitSignal org.freedesktop.NetworkManager \
        DeviceAdded o "[<objectpath '$path'>]"
}
add_device home home0 2
add_device phone phone0 1

folder=$(new_folder metered)
cat >"$folder/Vimo.toml" <<'TOML'
[counting]
metered_only = true
TOML
phone_gone_quietly() { ip -n "$ns" link del phone0 2>/dev/null || true; }
phone_gone_quietly
program_env=(DBUS_SYSTEM_BUS_ADDRESS="$bus")
start_program "$folder" "2026-12-08 12:00:00" 60
wait_for 20 "the data files" test -f "$folder/Static.txt"
sleep 4  # four ticks with the unmetered home Wi-Fi online
session_open && fail "the unmetered Wi-Fi opened a session"
phone_up
wait_for 20 "a session over the metered phone" session_open
iconv -f CP1251 -t UTF-8 "$folder/BegTime.txt" | grep -q ' 10\.78\.0\.2 ' ||
    fail "the metered session is not the phone's"
phone_gone
wait_for 20 "the session to close" no_session

{ kill -9 "$mock" && wait "$mock"; } 2>/dev/null || true
notice='^vimo: notice: NetworkManager недоступен'
wait_for 20 "the notice that NetworkManager is away" grep -q "$notice" "$log"
wait_for 20 "home Wi-Fi counting without NetworkManager" session_open
iconv -f CP1251 -t UTF-8 "$folder/BegTime.txt" | grep -q ' 10\.77\.0\.2 ' ||
    fail "without NetworkManager the session is not home Wi-Fi's"
sleep 2
[ "$(grep -c "$notice" "$log")" = 1 ] || fail "NetworkManager's absence was told $(grep -c "$notice" "$log") times"
stop_program
echo "PASS: counted $first bytes sent for 5 MB, $moved for 1 MB after the interface was made anew;" \
    "only the metered phone counted while NetworkManager ran"
