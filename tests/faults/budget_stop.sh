#!/usr/bin/env bash
# The stop at the budget in the real program, online through v0 in a
# namespace of the test's own, on a clock 60 times fast (a tick a second),
# with python-dbusmock's NetworkManager and notification daemon:
# - the critical warning with its three buttons, then after the grace the
#   stop of the active connection on v0, once, and the notice that it was;
# - "15 more minutes" pressed on the warning puts the stop off and warns
#   again, "not until the end of the cycle" holds across a restart;
# - polkit's refusal is said once, and the minutes go on being counted.
#
# Usage: budget_stop.sh <program folder> <clock-wait shim>
program_dir=$(cd "$1" && pwd)
shim=$(realpath "$2")
source "$(dirname "$0")/lib.sh"

faults_init gdbus sqlite3
need_namespaces
make_namespace
go_online
source "$(dirname "$0")/stop_mocks.sh"
start_stop_mocks

# plan_folder <name> <grace>: a folder whose budget of 2 minutes stops at 100%.
plan_folder() {
    local folder
    folder=$(new_folder "$1")
    printf '[budget]\nminutes = 2\nalerts = []\nstop_at = 100\nstop_grace = %s\n' "$2" \
        >"$folder/Vimo.toml"
    echo "$folder"
}
count_is() { [ "$("$1")" = "$2" ]; }
# Warnings are counted from the daemon's start; each case counts its own.
warned() { count_is warnings $((warned_before + $1)); }
phase_is() { [ "$(stop_phase "$1")" = "$2" ]; }

# --- no answer: the stop after the grace, once ---
folder=$(plan_folder grace 60)
warned_before=0
start_program "$folder" "2026-12-08 10:00:00" 60
wait_for 20 "the warning" warned 1
grep -q 'Соединение будет отключено через 60 с\., в 10:03\.' "$log" ||
    fail "the warning does not say when: $(grep notice "$log")"
wait_for 10 "the stop" count_is deactivations 1
[ "$(mock_ask deactivated)" = "$active_path" ] || fail "stopped $(mock_ask deactivated)"
wait_for 10 "the notice of the stop" grep -Eq '^vimo: notice: Соединение отключено\. Израсходовано 100% бюджета: [0-9]+ мин\. из 2 мин\.' "$log"
sleep 3  # three more ticks on the connection the mock left up
[ "$(deactivations)" = 1 ] || fail "the connection was stopped $(deactivations) times"
warned 1 || fail "$(warnings) warnings for one connection"
phase_is "$folder" stopped || fail "Vimo.db keeps the stop as '$(stop_phase "$folder")'"
stop_program

# --- "15 more minutes", then "not until the end of the cycle" ---
mock_ask calls
folder=$(plan_folder later 600)
warned_before=$(warnings)
start_program "$folder" "2026-12-08 10:00:00" 60
wait_for 20 "the warning" warned 1
mock_ask press later
wait_for 10 "the stop put off" phase_is "$folder" deferred
sleep 12  # the ten minutes' grace the warning gave
[ "$(deactivations)" = 0 ] || fail "stopped although put off"
wait_for 20 "the warning 15 minutes later" warned 2
mock_ask press keep-cycle
wait_for 10 "the stop declined for the cycle" phase_is "$folder" declined
stop_program
start_program "$folder" "2026-12-08 10:30:00" 60
wait_for 20 "the session after the restart" test -e "$folder/BegTime.txt"
sleep 4
warned 2 || fail "warned again after 'not until the end of the cycle' and a restart"
[ "$(deactivations)" = 0 ] || fail "stopped after 'not until the end of the cycle'"
phase_is "$folder" declined || fail "the restart lost 'declined': '$(stop_phase "$folder")'"
stop_program

# --- polkit refuses ---
mock_ask calls
nm_deactivation "raise dbus.exceptions.DBusException('Not authorized to deactivate connections', name='org.freedesktop.NetworkManager.PermissionDenied')"
folder=$(plan_folder refused 60)
start_program "$folder" "2026-12-08 10:00:00" 60
refusal='^vimo: notice: Соединение не отключено: NetworkManager не дал на это прав (polkit)\. Vimo продолжает считать\.'
wait_for 20 "the notice of the refusal" grep -q "$refusal" "$log"
counted=$(table_total "$folder")
sleep 4
[ "$(grep -c "$refusal" "$log")" = 1 ] || fail "the refusal was told $(grep -c "$refusal" "$log") times"
[ "$(deactivations)" = 1 ] || fail "asked to stop $(deactivations) times after a refusal"
(($(table_total "$folder") >= counted + 3)) || fail "the minutes stopped at $(table_total "$folder")"
phase_is "$folder" failed || fail "Vimo.db keeps the refused stop as '$(stop_phase "$folder")'"
stop_program
echo "PASS: stopped once after the grace; put off and declined by the buttons, across a restart;" \
    "a refusal told once while counting went on"
