# The desktop around the stop at the budget, for the fault scripts: sourced
# after lib.sh. python-dbusmock's NetworkManager, with an active connection
# on the namespace's v0, and its notification daemon, which shows buttons,
# on one private bus that the program takes for both the system and the
# session bus.

mock_python=$(python_with "dbus, dbusmock")
[ -n "$mock_python" ] || fail "python-dbusmock is missing (run make deps)"
command -v gdbus >/dev/null || fail "gdbus is missing (run make deps)"

nm=org.freedesktop.NetworkManager
nm_path=/org/freedesktop/NetworkManager
active_path=$nm_path/ActiveConnection/1

# start_stop_mocks: the bus and both services; sets program_env.
start_stop_mocks() {
    start_private_bus "$work"
    DBUS_SYSTEM_BUS_ADDRESS=$bus "$mock_python" -m dbusmock --template networkmanager \
        >/dev/null 2>"$work/nm.err" &
    pids+=($!)
    DBUS_SESSION_BUS_ADDRESS=$bus "$mock_python" -m dbusmock --template notification_daemon \
        --parameters '{"capabilities": "body actions"}' >/dev/null 2>"$work/notify.err" &
    pids+=($!)
    wait_for 10 "the mock NetworkManager" quiet nm_call /org/freedesktop \
        org.freedesktop.DBus.Introspectable.Introspect
    wait_for 10 "the mock notification daemon" quiet mock_ask calls
    local device
    device=$(nm_call /org/freedesktop org.freedesktop.DBus.Mock.AddEthernetDevice v0 v0 100 |
        sed -E "s/^\('([^']*)'.*/\1/")
    nm_call /org/freedesktop org.freedesktop.DBus.Mock.SetDeviceActive "$device" "$active_path" \
        >/dev/null
    nm_deactivation ""
    program_env=(DBUS_SYSTEM_BUS_ADDRESS="$bus" DBUS_SESSION_BUS_ADDRESS="$bus")
}

# nm_call <object path> <interface.method> [argument...]
nm_call() {
    gdbus call --address "$bus" --dest $nm --object-path "$1" --method "$2" "${@:3}"
}

# nm_deactivation <python>: what DeactivateConnection does; "" does nothing
# (the link stays up, as it would while NetworkManager takes it down).
nm_deactivation() {
    nm_call $nm_path org.freedesktop.DBus.Mock.AddMethod $nm DeactivateConnection o "''" "${1:-''}" >/dev/null
}

# mock_ask <what> [key]: "calls" clears NetworkManager's call log (the
# daemon's is kept: it numbers its notifications on from its start);
# "deactivated" prints the active connections DeactivateConnection was
# asked to stop, one a line; "warnings" prints how many warnings with the
# stop's buttons were sent since the daemon started; "press <key>" presses a button of the last
# warning, as the notification service reports it.
mock_ask() {
    "$mock_python" - "$bus" "$@" <<'PY'
import sys
import dbus

bus = dbus.bus.BusConnection(sys.argv[1])
what = sys.argv[2]
def mock(service, path):
    return dbus.Interface(bus.get_object(service, path), "org.freedesktop.DBus.Mock")
nm = mock("org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager")
notify = mock("org.freedesktop.Notifications", "/org/freedesktop/Notifications")
if what == "calls":
    nm.ClearCalls()
elif what == "deactivated":
    for _, args in nm.GetMethodCalls("DeactivateConnection"):
        print(args[0])
else:
    # The daemon numbers the notifications that replace none from 1.
    next_id, warnings, last = 1, 0, None
    for _, args in notify.GetMethodCalls("Notify"):
        number = int(args[1]) or next_id
        if not args[1]:
            next_id += 1
        actions = [str(a) for a in args[5]]
        if "stop-now" in actions:
            assert actions == ["stop-now", "Отключить сейчас", "later", "Ещё 15 минут",
                               "keep-cycle", "Не отключать до конца цикла"], actions
            assert int(args[6]["urgency"]) == 2, args[6]
            warnings, last = warnings + 1, number
    if what == "warnings":
        print(warnings)
    else:
        notify.EmitSignal("org.freedesktop.Notifications", "ActionInvoked", "us",
                          [dbus.UInt32(last), sys.argv[3]])
PY
}

warnings() { mock_ask warnings; }
deactivations() { mock_ask deactivated | grep -c . || true; }

# stop_phase <folder>: the cycle's stop as Vimo.db keeps it, empty for none.
stop_phase() { store_query "$1" "SELECT phase FROM budget_stop" 2>/dev/null || true; }
