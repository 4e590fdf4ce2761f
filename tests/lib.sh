# Shared by the e2e, fault and report scripts: sourced, not run. Failing,
# skipping, waiting, and reading the data files a run left.
#
# With VIMO_TEST_KEEP_DIR set to a folder, a script's scratch folder is moved
# there at exit instead of removed, for a later look or comparison.

# fail <text>: ends the test, with the program's last output and its folder
# when the script has named them ($log, $folder).
fail() {
    echo "FAIL: $*" >&2
    if [ -n "${log:-}" ] && [ -s "$log" ]; then
        echo "--- the program's last output" >&2
        tail -n 5 "$log" >&2
    fi
    if [ -n "${folder:-}" ] && [ -d "$folder" ]; then
        echo "--- its folder" >&2
        ls -l "$folder" >&2
    fi
    exit 1
}

skip() {
    echo "SKIP: $*"
    exit 77
}

# wait_for <seconds> <what> <command...>: polls until the command succeeds
# (every $wait_poll seconds), and fails the test when the time runs out.
wait_for() {
    local limit=$1 what=$2
    shift 2
    local end=$((SECONDS + limit))
    until "$@"; do
        ((SECONDS < end)) || fail "timed out after ${limit}s waiting for: $what"
        sleep "${wait_poll:-0.05}"
    done
}

quiet() { "$@" >/dev/null 2>&1; }

# cell <folder> <year> <month> <day>: the minutes of one day.
cell() {
    local folder=$1 year=$2 month=$3 day=$4 file first
    if ((year <= 2015)); then file=Table.dat first=2003; else file=TableExt.dat first=2016; fi
    local offset=$(((((year - first) * 12 + month - 1) * 31 + day - 1) * 2))
    od -An -tu2 -j"$offset" -N2 "$folder/$file" | tr -d ' '
}

# utf8 <file>: a Windows-1251 text file in UTF-8, line ends kept.
utf8() { iconv -f CP1251 -t UTF-8 "$1"; }

# drop_work <folder>: removes a script's scratch folder, or keeps it under
# $VIMO_TEST_KEEP_DIR, named after the script.
drop_work() {
    local scratch=$1
    [ -n "$scratch" ] && [ -d "$scratch" ] || return 0
    chmod -R u+rwx "$scratch" 2>/dev/null || true
    if [ -n "${VIMO_TEST_KEEP_DIR:-}" ]; then
        local name
        name=$(basename "$0" .sh)
        mkdir -p "$VIMO_TEST_KEEP_DIR"
        rm -rf "${VIMO_TEST_KEEP_DIR:?}/$name"
        mv "$scratch" "$VIMO_TEST_KEEP_DIR/$name"
    else
        rm -rf "$scratch"
    fi
}
