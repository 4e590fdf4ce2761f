# The scripts' side of the private D-Bus harness (PrivateBus.h is the C++
# one): sourced after tests/lib.sh, not run.

# python_with <imports>: the python3 that can import them ("dbusmock",
# "dbus, dbusmock"): the one first on the PATH, or the system's, which
# Debian's packages install into; empty when neither can.
python_with() {
    local candidate
    for candidate in python3 /usr/bin/python3; do
        if quiet "$candidate" -c "import $1"; then
            echo "$candidate"
            return
        fi
    done
}

# start_private_bus <folder>: a dbus-daemon of the test's own listening on a
# socket in the folder, its process added to $pids; sets $bus to its address.
start_private_bus() {
    local folder=$1
    command -v dbus-daemon >/dev/null || fail "dbus-daemon is missing (run make deps)"
    cat >"$folder/bus.conf" <<BUS
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$folder/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/><allow receive_sender="*"/><allow own="*"/>
  </policy>
</busconfig>
BUS
    dbus-daemon --config-file="$folder/bus.conf" --nofork --print-address >"$folder/bus.address" &
    pids+=($!)
    wait_for 10 "the private bus" test -s "$folder/bus.address"
    bus=$(head -n1 "$folder/bus.address")
}
