#!/usr/bin/env bash
# vimo-report run as a user runs it, over prepared working folders: each
# output format, the folder taken from the autostart entry, the day's figures
# with and without a plan, the budget check's exit status, the errors' texts
# and exit status, and folders left exactly as they were.
#   report_command.sh <vimo-report>
set -euo pipefail

report=$(realpath "$1")
tmp=$(mktemp -d /tmp/vimo-report-test.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "report_command: FAIL: $*" >&2
    failures=$((failures + 1))
}

folder=$tmp/data
mkdir "$folder" "$tmp/elsewhere"
l1='[08.12.2026] 09:05-10:20   время = 1 ч. 15 мин.  Linux       10.0.0.1       '
l2='[08.12.2026] 23:50-00:35   время = 45 мин.       Linux       10.0.0.2          Аварийное завершение !'
l3='[09.12.2026] 08:00-09:00   время = 1 час.        Linux       10.0.0.1       '
printf '%s\r\n' "$l1" "$l2" "$l3" | iconv -f UTF-8 -t CP1251 >"$folder/Static.txt"
state() { (cd "${1:-$folder}" && ls -lA --time-style=full-iso && md5sum ./*); }
before=$(state)

# check <exit status> <standard output> <standard error> <arguments...>,
# run from a folder without data and with no autostart entry unless made, in
# the locale report_locale names (C.UTF-8, which speaks Russian, unless set).
# A run that hangs is ended after a minute, with exit status 124.
check() {
    local status=$1 out=$2 err=$3
    shift 3
    local got=0
    (cd "$tmp/elsewhere" && HOME=$tmp XDG_CONFIG_HOME=$tmp/config LANGUAGE= \
        LC_ALL=${report_locale:-C.UTF-8} timeout 60 "$report" "$@") \
        >"$tmp/out" 2>"$tmp/err" || got=$?
    [ "$got" = "$status" ] || fail "$*: exit status $got, not $status"
    printf '%s' "$out" | cmp -s - "$tmp/out" || fail "$*: output $(cat -A "$tmp/out")"
    if [ "$err" != "*" ]; then
        printf '%s' "$err" | cmp -s - "$tmp/err" || fail "$*: error output $(cat "$tmp/err")"
    fi
}

check 0 "$l1"$'\n'"$l2"$'\n' "" --folder "$folder" day 08.12.2026
# Without Vimo.db the bytes of every connection are unknown.
header="start_date,start_time,end_time,minutes,system,address,crashed,rx_bytes,tx_bytes,line"$'\r\n'
csv_unknown="${header}\
08.12.2026,09:05,10:20,75,Linux,10.0.0.1,false,,,$l1"$'\r\n'"\
08.12.2026,23:50,00:35,45,Linux,10.0.0.2,true,,,$l2"$'\r\n'
check 0 "${csv_unknown}\
09.12.2026,08:00,09:00,60,Linux,10.0.0.1,false,,,$l3"$'\r\n' "" \
    --format csv --folder "$folder" month 12.2026
json_l3='{"start_date":"09.12.2026","start_time":"08:00","end_time":"09:00","minutes":60,'\
'"system":"Linux","address":"10.0.0.1","crashed":false,'
check 0 "[
$json_l3\"rx_bytes\":null,\"tx_bytes\":null,\"line\":\"$l3\"}
]
" "" period 09.12.2026 31.12.2026 --format json --folder "$folder"

# The tables of a Vimo.db of schema 2, as the program makes them.
schema2="
CREATE TABLE day_cost ( day TEXT PRIMARY KEY, minutes INTEGER NOT NULL, millikopecks INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE fired_alert ( cycle_first TEXT NOT NULL, budget TEXT NOT NULL, percent INTEGER NOT NULL, PRIMARY KEY (cycle_first, budget, percent)) WITHOUT ROWID;
CREATE TABLE day_bytes ( day TEXT PRIMARY KEY, received INTEGER NOT NULL, sent INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE session_bytes ( head TEXT PRIMARY KEY, received INTEGER NOT NULL, sent INTEGER NOT NULL) WITHOUT ROWID;
PRAGMA user_version = 2;"

# The bytes of each connection the program recorded; the second line's
# connection has no record, the third moved nothing.
traffic=$tmp/traffic
mkdir "$traffic"
cp "$folder/Static.txt" "$traffic/"
sqlite3 "$traffic/Vimo.db" "$schema2
INSERT INTO session_bytes VALUES ('[08.12.2026] 09:05', 5000000000, 250000000),
    ('[09.12.2026] 08:00', 0, 0), ('[08.12.2026] 12:00', 12345678, 1234567),
    ('[30.11.2026] 10:00', 1, 1);"
check 0 "${header}\
08.12.2026,09:05,10:20,75,Linux,10.0.0.1,false,5000000000,250000000,$l1"$'\r\n'"\
08.12.2026,23:50,00:35,45,Linux,10.0.0.2,true,,,$l2"$'\r\n'"\
09.12.2026,08:00,09:00,60,Linux,10.0.0.1,false,0,0,$l3"$'\r\n' "" \
    --format csv --folder "$traffic" month 12.2026
check 0 "[
$json_l3\"rx_bytes\":0,\"tx_bytes\":0,\"line\":\"$l3\"}
]
" "" --format json --folder "$traffic" day 09.12.2026
check 0 "$l1"$'\n'"$l2"$'\n' "" --folder "$traffic" day 08.12.2026

# A Vimo.db from before bytes were kept: unknown as without one.
v1=$tmp/v1
mkdir "$v1"
cp "$folder/Static.txt" "$v1/"
sqlite3 "$v1/Vimo.db" "
CREATE TABLE day_cost (day TEXT PRIMARY KEY, minutes INTEGER NOT NULL,
    millikopecks INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE fired_alert (cycle_first TEXT NOT NULL, budget TEXT NOT NULL,
    percent INTEGER NOT NULL, PRIMARY KEY (cycle_first, budget, percent)) WITHOUT ROWID;
PRAGMA user_version = 1;"
v1_before=$(state "$v1")
check 0 "[
$json_l3\"rx_bytes\":null,\"tx_bytes\":null,\"line\":\"$l3\"}
]
" "" --format json --folder "$v1" day 09.12.2026
[ "$(state "$v1")" = "$v1_before" ] || fail "the listing changed the folder"

# Without --folder: the folder of the program in the autostart entry.
mkdir -p "$tmp/config/autostart"
printf '[Desktop Entry]\nType=Application\nName=Vimo\nExec=%s/vimo\n' "$folder" \
    >"$tmp/config/autostart/Vimo.desktop"
check 0 "$l3"$'\n' "" day 09.12.2026

check 2 "" "vimo-report: error: '32.13.2026' is not a valid date"$'\n' day 32.13.2026
check 2 "" "vimo-report: error: Первая дата должна быть не больше второй"$'\n' \
    period 09.12.2026 08.12.2026
check 2 "" "vimo-report: error: File not found ($tmp/none)"$'\n' --folder "$tmp/none" day 08.12.2026
check 2 "" "*" --format xml day 08.12.2026

# summary: the figures of a day, by the program's own rules without a plan.
zeros='"today":{"minutes":0,"kopecks":0,"rx_bytes":0,"tx_bytes":0},"month":{"first":"01.12.2026",'\
'"last":"31.12.2026","minutes":0,"kopecks":0,"rx_bytes":0,"tx_bytes":0},"cycle":{"first":'\
'"01.12.2026","last":"31.12.2026","days":31,"days_left":24,"minutes":0,"kopecks":0,'\
'"forecast_minutes":0,"forecast_kopecks":0,"rx_bytes":0,"tx_bytes":0,"adjusted":null}'
check 0 "{\"date\":\"08.12.2026\",$zeros,\"budget\":null,\"session\":null}
" "" --folder "$folder" --format json summary 08.12.2026

# <folder> <DD.MM.YYYY> <minutes>: sets a day's cell of the table, making the
# file with zeros first.
put_minutes() {
    local file=$1/TableExt.dat day=${2%%.*} month=${2#*.} year=${2##*.}
    month=${month%%.*}
    [ -e "$file" ] || head -c 62496 /dev/zero >"$file"
    local cell=$(((year - 2016) * 372 + (10#$month - 1) * 31 + 10#$day - 1))
    printf "\\$(printf %03o $(($3 % 256)))\\$(printf %03o $(($3 / 256)))" |
        dd of="$file" bs=1 seek=$((cell * 2)) conv=notrunc status=none
}

# A folder under a plan from the 14th with a budget: the priced days in a
# Vimo.db from before bytes were kept (so no bytes), one minute of the 8th counted before the plan at the settings'
# tariff of 2 kopecks, and a session in progress of a Vimo that runs.
plan=$tmp/plan
mkdir "$plan"
printf '[cycle]\nstart_day = 14\n[budget]\nkopecks = 100\nminutes = 10\n[plan]\n' >"$plan/Vimo.toml"
printf '\0\0\0\0\0\0\0\100\0\0\01201.11.2026\0\0\0' >"$plan/Propert.dat"
put_minutes "$plan" 13.11.2026 5
put_minutes "$plan" 14.11.2026 4
put_minutes "$plan" 08.12.2026 4
put_minutes "$plan" 09.12.2026 2
sqlite3 "$plan/Vimo.db" "
CREATE TABLE day_cost (day TEXT PRIMARY KEY, minutes INTEGER NOT NULL,
    millikopecks INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE fired_alert (cycle_first TEXT NOT NULL, budget TEXT NOT NULL,
    percent INTEGER NOT NULL, PRIMARY KEY (cycle_first, budget, percent)) WITHOUT ROWID;
PRAGMA user_version = 1;
INSERT INTO day_cost VALUES ('2026-11-14', 4, 14000), ('2026-12-08', 3, 13000),
    ('2026-12-09', 2, 12000);
INSERT INTO fired_alert VALUES ('2026-11-14', 'minutes', 80), ('2026-10-14', 'kopecks', 100);"
session='[08.12.2026] 09:05-09:18   время = 12 мин.       Linux       10.0.0.1       '
printf '%s\r\n' "$session" | iconv -f UTF-8 -t CP1251 >"$plan/BegTime.txt"
printf '%s\nvimo\n%s\n' $$ "$(hostname)" >"$plan/Vimo.lock"
plan_before=$(state "$plan")

plan_json='{"date":"08.12.2026","today":{"minutes":4,"kopecks":15,"rx_bytes":0,"tx_bytes":0},'\
'"month":{"first":"01.12.2026","last":"31.12.2026","minutes":6,"kopecks":27,"rx_bytes":0,'\
'"tx_bytes":0},"cycle":{"first":"14.11.2026","last":"13.12.2026","days":30,"days_left":6,'\
'"minutes":8,"kopecks":29,"forecast_minutes":10,"forecast_kopecks":35,"rx_bytes":0,"tx_bytes":0,'\
'"adjusted":null},'\
'"budget":{"kopecks":100,"minutes":10,"percent_kopecks":29.0,"percent_minutes":80.0,'\
'"allowance_kopecks_per_day":11,"allowance_minutes_per_day":0,"alerts_fired":[80],'\
'"megabytes":null,"percent_megabytes":null,"allowance_megabytes_per_day":null},'\
'"session":{"start":"08.12.2026 09:05","minutes":12,"address":"10.0.0.1","left_over":false,'\
'"rx_bytes":null,"tx_bytes":null}}
'
check 0 "$plan_json" "" --folder "$plan" summary 08.12.2026 --format json
check 0 "Дата: 08.12.2026
Сегодня: 4 мин., 15 коп.
Месяц с 01.12.2026 по 31.12.2026: 6 мин., 27 коп.
Цикл с 14.11.2026 по 13.12.2026 (30 дн., осталось 6 дн.): 8 мин., 29 коп.
Прогноз на цикл: 10 мин., 35 коп.
Трафик, принято/отправлено: сегодня 0,0/0,0 МБ, месяц 0,0/0,0 МБ, цикл 0,0/0,0 МБ
Бюджет 1 гр.: израсходовано 29,0%, в день можно 11 коп.
Бюджет 10 мин.: израсходовано 80,0%, в день можно 0 мин.
Оповещения в цикле: 80%
Сеанс с 08.12.2026 09:05: 12 мин., адрес 10.0.0.1
" "" --folder "$plan" summary 08.12.2026
# The text form speaks the locale's language; the JSON form is the same in
# every language.
# The provider's figures: the cycle counts from them, and the summary says
# what was typed in and when (14:05 on 8 December, kept in whole seconds).
adjusted=$tmp/adjusted
mkdir "$adjusted"
cp "$plan"/Vimo.toml "$plan"/Propert.dat "$plan"/Table*.dat "$plan"/Vimo.db "$adjusted/"
sqlite3 "$adjusted/Vimo.db" "
CREATE TABLE day_bytes (day TEXT PRIMARY KEY, received INTEGER, sent INTEGER);
CREATE TABLE session_bytes (head TEXT PRIMARY KEY, received INTEGER, sent INTEGER);
CREATE TABLE session_cost (head TEXT PRIMARY KEY, minutes INTEGER, millikopecks INTEGER);
ALTER TABLE fired_alert ADD COLUMN shown INTEGER NOT NULL DEFAULT 1;
CREATE TABLE budget_stop (cycle_first TEXT PRIMARY KEY, phase TEXT, due INTEGER, session TEXT);
CREATE TABLE provider_adjustment (cycle_first TEXT PRIMARY KEY, at INTEGER NOT NULL,
    kopecks INTEGER, minutes INTEGER, megabytes INTEGER, kopecks_difference INTEGER NOT NULL,
    minutes_difference INTEGER NOT NULL, bytes_difference INTEGER NOT NULL) WITHOUT ROWID;
INSERT INTO provider_adjustment VALUES ('2026-11-14', 4005900300, NULL, 9, 12, 0, 2, 12000000);
PRAGMA user_version = 5;"
adjusted_before=$(state "$adjusted")
(cd "$tmp/elsewhere" && LC_ALL=C.UTF-8 "$report" --folder "$adjusted" --format json summary \
    08.12.2026) >"$tmp/adjusted.json" 2>&1 || fail "summary of the adjusted folder: $(cat "$tmp/adjusted.json")"
python3 -c '
import json, sys
s = json.load(open(sys.argv[1]))
cycle, budget = s["cycle"], s["budget"]
assert cycle["adjusted"] == {"kopecks": None, "minutes": 9, "megabytes": 12,
                             "at": "08.12.2026 14:05"}, cycle["adjusted"]
assert (cycle["minutes"], budget["percent_minutes"]) == (10, 100.0), (cycle, budget)
' "$tmp/adjusted.json" || fail "the adjusted summary: $(cat "$tmp/adjusted.json")"
# The days before the match keep Vimo's own count.
(cd "$tmp/elsewhere" && LC_ALL=C.UTF-8 "$report" --folder "$adjusted" --format json summary \
    07.12.2026) >"$tmp/before.json" 2>&1 || fail "summary before the match: $(cat "$tmp/before.json")"
python3 -c '
import json, sys
cycle = json.load(open(sys.argv[1]))["cycle"]
assert (cycle["adjusted"], cycle["minutes"]) == (None, 4), cycle
' "$tmp/before.json" || fail "the summary before the match: $(cat "$tmp/before.json")"
[ "$(state "$adjusted")" = "$adjusted_before" ] || fail "the report wrote into the adjusted folder"

report_locale=uk_UA.UTF-8 check 0 "Дата: 08.12.2026
Сьогодні: 4 хв., 15 коп.
Місяць з 01.12.2026 по 31.12.2026: 6 хв., 27 коп.
Цикл з 14.11.2026 по 13.12.2026 (30 дн., залишилося 6 днів): 8 хв., 29 коп.
Прогноз на цикл: 10 хв., 35 коп.
Трафік, отримано/надіслано: сьогодні 0,0/0,0 МБ, місяць 0,0/0,0 МБ, цикл 0,0/0,0 МБ
Бюджет 1 грн: витрачено 29,0%, на день можна 11 коп.
Бюджет 10 хв.: витрачено 80,0%, на день можна 0 хв.
Сповіщення в циклі: 80%
Сеанс з 08.12.2026 09:05: 12 хв., адреса 10.0.0.1
" "" --folder "$plan" summary 08.12.2026
report_locale=en_US.UTF-8 check 0 "Date: 08.12.2026
Today: 4 min, 15 kop.
Month 01.12.2026 to 31.12.2026: 6 min, 27 kop.
Cycle 14.11.2026 to 13.12.2026 (30 days, 6 days left): 8 min, 29 kop.
Cycle forecast: 10 min, 35 kop.
Traffic, received/sent: today 0.0/0.0 MB, month 0.0/0.0 MB, cycle 0.0/0.0 MB
Budget 1 UAH: 29.0% used, up to 11 kop. per day
Budget 10 min: 80.0% used, up to 0 min per day
Alerts this cycle: 80%
Session since 08.12.2026 09:05: 12 min, address 10.0.0.1
" "" --folder "$plan" summary 08.12.2026
report_locale=uk_UA.UTF-8 check 0 "$plan_json" "" --folder "$plan" summary 08.12.2026 --format json
report_locale=uk_UA.UTF-8 check 2 "" "vimo-report: error: Перша дата має бути не пізніше другої"$'\n' \
    --folder "$folder" period 02.12.2026 01.12.2026
[ "$(state "$plan")" = "$plan_before" ] || fail "the plan's folder changed"

# A session whose Vimo is gone.
left=$tmp/left
mkdir "$left"
cp "$plan/BegTime.txt" "$left/"
left_session='"session":{"start":"08.12.2026 09:05","minutes":12,"address":"10.0.0.1",'\
'"left_over":true,"rx_bytes":null,"tx_bytes":null}'
check 0 "{\"date\":\"08.12.2026\",$zeros,\"budget\":null,$left_session}
" "" --folder "$left" --format json summary 08.12.2026

# The bytes of the day, its month and its cycle up to the day, and of the
# session in progress, under a budget of megabytes alone; a cycle of 2400 MB
# and a little, as whole megabytes.
printf '[budget]\nmegabytes = 3000\n' >"$traffic/Vimo.toml"
printf '%s\r\n' '[08.12.2026] 12:00-12:12   время = 12 мин.       Linux       10.0.0.1       ' |
    iconv -f UTF-8 -t CP1251 >"$traffic/BegTime.txt"
sqlite3 "$traffic/Vimo.db" "
INSERT INTO day_bytes VALUES ('2026-11-30', 999000000, 1000000), ('2026-12-01', 1500000000, 100000000),
    ('2026-12-08', 700456789, 99999999), ('2026-12-20', 50000000, 5000000);
INSERT INTO fired_alert VALUES ('2026-12-01', 'megabytes', 80), ('2026-11-01', 'megabytes', 100);"
traffic_before=$(state "$traffic")
traffic_figures='{"date":"08.12.2026","today":{"minutes":0,"kopecks":0,"rx_bytes":700456789,'\
'"tx_bytes":99999999},"month":{"first":"01.12.2026","last":"31.12.2026","minutes":0,"kopecks":0,'\
'"rx_bytes":2250456789,"tx_bytes":204999999},"cycle":{"first":"01.12.2026","last":"31.12.2026",'\
'"days":31,"days_left":24,"minutes":0,"kopecks":0,"forecast_minutes":0,"forecast_kopecks":0,'\
'"rx_bytes":2200456789,"tx_bytes":199999999,"adjusted":null},"budget":{"kopecks":null,"minutes":null,'\
'"percent_kopecks":null,"percent_minutes":null,"allowance_kopecks_per_day":null,'\
'"allowance_minutes_per_day":null,"alerts_fired":[80],"megabytes":3000,"percent_megabytes":80.0,'\
'"allowance_megabytes_per_day":25},"session":{"start":"08.12.2026 12:00","minutes":12,'\
'"address":"10.0.0.1","left_over":true,'
check 0 "$traffic_figures"'"rx_bytes":12345678,"tx_bytes":1234567}}
' "" --folder "$traffic" --format json summary 08.12.2026
check 0 "Дата: 08.12.2026
Сегодня: 0 мин., 0 коп.
Месяц с 01.12.2026 по 31.12.2026: 0 мин., 0 коп.
Цикл с 01.12.2026 по 31.12.2026 (31 дн., осталось 24 дн.): 0 мин., 0 коп.
Прогноз на цикл: 0 мин., 0 коп.
Трафик, принято/отправлено: сегодня 700,4/99,9 МБ, месяц 2250,4/204,9 МБ, цикл 2200,4/199,9 МБ
Бюджет 3000 МБ: израсходовано 80,0%, в день можно 25 МБ
Оповещения в цикле: 80%
Сеанс с 08.12.2026 12:00: 12 мин., адрес 10.0.0.1, принято 12,3 МБ, отправлено 1,2 МБ \
(остался от запуска, который завершился во время сеанса)
" "" --folder "$traffic" summary 08.12.2026
# A session the store has no record of.
printf '%s\r\n' '[08.12.2026] 13:00-13:12   время = 12 мин.       Linux       10.0.0.1       ' |
    iconv -f UTF-8 -t CP1251 >"$traffic/BegTime.txt"
traffic_before=$(state "$traffic")
check 0 "${traffic_figures/12:00/13:00}"'"rx_bytes":null,"tx_bytes":null}}
' "" --folder "$traffic" --format json summary 08.12.2026
[ "$(state "$traffic")" = "$traffic_before" ] || fail "the summary changed the folder"

# check: today's cycle against the budget. The cycle starts today, so its
# forecast is today's use times the cycle's days (28 to 31).
today=$(date +%d.%m.%Y)
budget=$tmp/budget
mkdir "$budget"
printf '[cycle]\nstart_day = %d\n[budget]\nminutes = 100\n' "$((10#${today%%.*}))" >"$budget/Vimo.toml"
check 0 "" "" --folder "$folder" check
check 0 "" "" --folder "$budget" check
put_minutes "$budget" "$today" 101
budget_before=$(state "$budget")
check 1 "Бюджет превышен: 101 мин. из 100 мин."$'\n' "" --folder "$budget" check
[ "$(state "$budget")" = "$budget_before" ] || fail "check changed the folder"
put_minutes "$budget" "$today" 4
got=0
"$report" --folder "$budget" check >"$tmp/out" 2>"$tmp/err" || got=$?
[ "$got" = 1 ] && grep -qx 'Прогноз превышает бюджет: 1[12][0-9] мин\. из 100 мин\.' "$tmp/out" &&
    [ ! -s "$tmp/err" ] || fail "check on a forecast: exit status $got, output $(cat "$tmp/out" "$tmp/err")"

# The megabytes budget is checked after money and minutes, on the bytes of
# the cycle's days as whole megabytes.
mbudget=$tmp/mbudget
mkdir "$mbudget"
printf '[cycle]\nstart_day = %d\n[budget]\nmegabytes = 3000\n' "$((10#${today%%.*}))" \
    >"$mbudget/Vimo.toml"
sqlite3 "$mbudget/Vimo.db" "$schema2
INSERT INTO day_bytes VALUES ('$(date +%F)', 3000000000, 100999999);"
mbudget_before=$(state "$mbudget")
check 1 "Бюджет превышен: 3100 МБ из 3000 МБ"$'\n' "" --folder "$mbudget" check
[ "$(state "$mbudget")" = "$mbudget_before" ] || fail "check changed the folder"
sqlite3 "$mbudget/Vimo.db" "UPDATE day_bytes SET received = 200000000, sent = 0"
got=0
"$report" --folder "$mbudget" check >"$tmp/out" 2>"$tmp/err" || got=$?
[ "$got" = 1 ] && grep -qx 'Прогноз превышает бюджет: [56][0-9]00 МБ из 3000 МБ' "$tmp/out" &&
    [ ! -s "$tmp/err" ] || fail "check on a forecast of megabytes: exit status $got, output $(cat "$tmp/out" "$tmp/err")"
printf '[cycle]\nstart_day = %d\n[budget]\nminutes = 100\nmegabytes = 3000\n' \
    "$((10#${today%%.*}))" >"$mbudget/Vimo.toml"
put_minutes "$mbudget" "$today" 101
check 1 "Бюджет превышен: 101 мин. из 100 мин."$'\n' "" --folder "$mbudget" check

# Errors of the figures: the plan file's and the cost store's own texts.
broken=$tmp/broken
mkdir "$broken"
printf '[cycle]\nstart_day = 40\n' >"$broken/Vimo.toml"
plan_error="vimo-report: error: Vimo.toml, line 2: start_day must be 1 to 31"$'\n'
check 2 "" "$plan_error" --folder "$broken" summary 08.12.2026
check 2 "" "$plan_error" --folder "$broken" check
printf '[plan]\n' >"$broken/Vimo.toml"
head -c 4096 /dev/zero | tr '\0' x >"$broken/Vimo.db"
cp "$folder/Static.txt" "$broken/"
broken_before=$(state "$broken")
store_error="vimo-report: error: Vimo.db: file is not a database"$'\n'
check 2 "" "$store_error" --folder "$broken" summary 08.12.2026
check 2 "" "$store_error" --folder "$broken" check
# A listing shows its lines, the bytes unknown, then the store's error; as
# text it never reads Vimo.db.
check 2 "$csv_unknown" "$store_error" --folder "$broken" --format csv day 08.12.2026
check 0 "$l1"$'\n'"$l2"$'\n' "" --folder "$broken" day 08.12.2026
check 2 "" "vimo-report: error: '32.13.2026' is not a valid date"$'\n' \
    --folder "$plan" summary 32.13.2026
check 2 "" "vimo-report: error: summary is written as text or json, not csv"$'\n' \
    --folder "$plan" --format csv summary
check 2 "" "vimo-report: error: File not found ($tmp/none)"$'\n' --folder "$tmp/none" check
[ "$(state "$broken")" = "$broken_before" ] || fail "the faulty folder changed"
[ ! -e "$tmp/none" ] || fail "a missing folder was made"

# A FIFO that no one writes, where the report reads a file, is refused at
# once, naming the file (the file steps' own tests hold every kind that is
# not a regular file).
# stops <error> <config folder> <arguments...>: the command, under a timeout
# that a wait would run into, writes nothing but the error and exits with 2.
stops() {
    local error=$1 config=$2
    shift 2
    local got=0
    (cd "$tmp/elsewhere" && HOME=$tmp XDG_CONFIG_HOME=$config timeout 10 "$report" "$@") \
        >"$tmp/out" 2>"$tmp/err" || got=$?
    [ "$got" = 2 ] && [ ! -s "$tmp/out" ] && [ "$(cat "$tmp/err")" = "vimo-report: error: $error" ] ||
        fail "$*: exit status $got, output $(cat "$tmp/out" "$tmp/err")"
}
odd=$tmp/odd
entry=$tmp/odd-config/autostart/Vimo.desktop
mkdir -p "$odd" "$tmp/odd-config/autostart"
mkfifo "$odd/Static.txt" "$odd/BegTime.txt" "$entry"
stops "Not a regular file (Static.txt)" "$tmp/config" --folder "$odd" day 08.12.2026
stops "Not a regular file (BegTime.txt)" "$tmp/config" --folder "$odd" summary 08.12.2026
stops "Not a regular file ($entry)" "$tmp/odd-config" day 08.12.2026
# An autostart entry is a few lines; one of megabytes is not read.
rm "$entry"
{
    printf '[Desktop Entry]\nExec=%s/vimo\n' "$folder"
    head -c 70000 /dev/zero | tr '\0' '#'
} >"$entry"
stops "The autostart entry $entry is larger than 64 KiB" "$tmp/odd-config" day 08.12.2026
# A key of 40,000 parts, which overflowed the TOML reader's stack.
hostile=$tmp/hostile
mkdir -p "$hostile"
{ printf 'a.%.0s' $(seq 39999); echo 'a = 1'; } >"$hostile/Vimo.toml"
stops "Vimo.toml, line 1: key nested too deeply" "$tmp/config" --folder "$hostile" summary 08.12.2026

[ "$(state)" = "$before" ] || fail "the working folder changed"
if [ $failures -ne 0 ]; then
    echo "report_command: $failures check(s) failed" >&2
    exit 1
fi
echo "report_command: every check passed"
