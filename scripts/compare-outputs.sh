#!/usr/bin/env bash
# Compares two builds of Vimo on the same faked runs: the fault cases run
# once with each build's program, their working folders are kept, and then
#   - the data files the old and the new program wrote are compared, and
#   - both builds' vimo-report (every subcommand and format) read every
#     folder, and their outputs are compared byte for byte.
# Needs root, as the fault tests do. The scripts and the clock-wait shim are
# taken from this tree and NEW's build; each build needs vimo and vimo-report.
#
# Usage: compare-outputs.sh OLD_BUILD NEW_BUILD [OUT_DIR] [CASE...]
#   CASE: a fault script and its arguments, e.g. "folder_faults.sh missing_picture"
#   (default: a handful of short cases), or --reuse to compare the folders an
#   earlier run left in OUT_DIR. OUT_DIR keeps the folders and outputs.
set -euo pipefail
export LC_ALL=C.UTF-8

old_build=$(realpath "${1:?usage: compare-outputs.sh OLD_BUILD NEW_BUILD [OUT_DIR] [CASE...]}")
new_build=$(realpath "${2:?usage: compare-outputs.sh OLD_BUILD NEW_BUILD [OUT_DIR] [CASE...]}")
out=${3:-$(mktemp -d /tmp/vimo-compare.XXXXXX)}
shift $(($# < 3 ? $# : 3))
tree=$(cd "$(dirname "$0")/.." && pwd)
shim="$new_build/tests/e2e/libvimo_e2e_clockwait_shim.so"
cases=("$@")
reuse=0
if [ "${cases[0]:-}" = --reuse ]; then
    reuse=1
    cases=()
elif [ ${#cases[@]} = 0 ]; then
    # Not the damaged histories: their 100 MB samples, kept for both builds,
    # take some 25 GB.
    cases=("folder_faults.sh missing_picture" "damaged_inputs.sh Propert.dat"
        "damaged_inputs.sh BegTime.txt"
        "damaged_inputs.sh Vimo.toml" "clock_jumps.sh year_end" "clock_jumps.sh outside_table")
fi
for build in "$old_build" "$new_build"; do
    for program in vimo vimo-report; do
        [ -x "$build/Vimo/$program" ] || { echo "missing $build/Vimo/$program" >&2; exit 2; }
    done
done
[ -f "$shim" ] || { echo "missing $shim (build vimo_e2e_clockwait_shim in NEW)" >&2; exit 2; }
# The preload rather than the faketime wrapper: the wrapper's semaphores,
# left by the fault cases' killed programs, clash with reused process ids.
libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$libfaketime" ] || { echo "missing libfaketime (run make deps)" >&2; exit 2; }
mkdir -p "$out"
[ $reuse = 0 ] || rm -rf "${out:?}/reports"

# run_case <side> <build> <case words...>: runs one fault case, keeping its folder.
run_case() {
    local side=$1 build=$2 script=$3
    shift 3
    local name
    name=$(echo "$script $*" | tr ' /.' '___')
    rm -rf "${out:?}/$side/$name"
    if VIMO_TEST_KEEP_DIR="$out/$side/$name" \
        bash "$tree/tests/faults/$script" "$build/Vimo" "$shim" "$@" \
        >"$out/$side-$name.log" 2>&1; then
        echo "$side $name: passed"
    else
        echo "$side $name: exit $? (see $out/$side-$name.log)"
    fi
}

for case in "${cases[@]}"; do
    read -ra words <<<"$case"
    run_case old "$old_build" "${words[@]}"
    run_case new "$new_build" "${words[@]}"
done

# The working folders a run left: every folder holding one of the data files.
data_folders() {
    (cd "$1" && find . \( -name Propert.dat -o -name Table.dat -o -name Static.txt \
        -o -name BegTime.txt \) -printf '%h\n' | sort -u)
}

# The days a folder's histories name, a few at most, for the listings.
days_of() {
    cat "$1/Static.txt" "$1/BegTime.txt" 2>/dev/null | LC_ALL=C grep -ao '^\[[0-9.]*\]' |
        tr -d '[]' | sort -u | head -n 3 || true
}

# report_all <vimo-report> <folder> <output folder>: every subcommand and
# format, on a fixed date, with no autostart entry; each output file holds
# the standard output, the standard error and the exit status.
report_all() {
    local report=$1 folder=$2 dest=$3 day n=0
    mkdir -p "$dest" "$dest.config"
    local runs=("check" "summary" "summary --format json")
    for day in $(days_of "$folder"); do
        local month=${day#*.}
        for format in text csv json; do
            runs+=("day $day --format $format" "month $month --format $format"
                "period 01.$month $day --format $format")
        done
        runs+=("summary $day" "summary $day --format json" "summary $day --format csv")
    done
    for args in "${runs[@]}"; do
        n=$((n + 1))
        # shellcheck disable=SC2086 # the arguments are words
        (cd "$dest.config" && XDG_CONFIG_HOME="$dest.config" HOME="$dest.config" \
            timeout 60 env LD_PRELOAD="$libfaketime" FAKETIME="@2026-12-09 12:00:00" \
            "$report" --folder "$folder" $args \
            >"$dest/$n.out" 2>"$dest/$n.err"; echo "exit $?" >>"$dest/$n.err") || true
        echo "$args" >"$dest/$n.args"
    done
}

folders=0 outputs=0 differing_outputs=0 differing_files=0
: >"$out/differences.txt"
for side in old new; do
    [ -d "$out/$side" ] || continue
    while IFS= read -r rel; do
        folder="$out/$side/$rel"
        folders=$((folders + 1))
        report_all "$old_build/Vimo/vimo-report" "$folder" "$out/reports/$side/$rel/old"
        report_all "$new_build/Vimo/vimo-report" "$folder" "$out/reports/$side/$rel/new"
        for result in "$out/reports/$side/$rel/old"/*.out; do
            n=$(basename "$result" .out)
            outputs=$((outputs + 1))
            for part in out err; do
                if ! cmp -s "$out/reports/$side/$rel/old/$n.$part" \
                    "$out/reports/$side/$rel/new/$n.$part"; then
                    differing_outputs=$((differing_outputs + 1))
                    echo "report differs: $side/$rel: $(cat "${result%.out}.args") ($part)" \
                        >>"$out/differences.txt"
                fi
            done
        done
    done < <(data_folders "$out/$side")
done

# The data files the old and the new program wrote in the same folder of the
# same case. The store is compared by its contents, not its pages.
compared_files=0
if [ -d "$out/old" ] && [ -d "$out/new" ]; then
    while IFS= read -r rel; do
        [ -d "$out/new/$rel" ] || { echo "folder only in old: $rel" >>"$out/differences.txt"; continue; }
        for file in Table.dat TableExt.dat Propert.dat Static.txt BegTime.txt Vimo.toml Vimo.db; do
            old_file="$out/old/$rel/$file" new_file="$out/new/$rel/$file"
            [ -e "$old_file" ] || [ -e "$new_file" ] || continue
            compared_files=$((compared_files + 1))
            if [ "$file" = Vimo.db ] && [ -f "$old_file" ] && [ -f "$new_file" ]; then
                same=$(cmp -s <(sqlite3 "$old_file" .dump 2>&1) <(sqlite3 "$new_file" .dump 2>&1) &&
                    echo yes || echo no)
            else
                same=$(cmp -s "$old_file" "$new_file" && echo yes || echo no)
            fi
            if [ "$same" = no ]; then
                differing_files=$((differing_files + 1))
                echo "data file differs: $rel/$file" >>"$out/differences.txt"
            fi
        done
    done < <(data_folders "$out/old")
fi

echo "folders read: $folders; report outputs compared: $outputs (old vs new vimo-report)," \
    "differing: $differing_outputs"
echo "data files compared (old vs new program): $compared_files, differing: $differing_files"
echo "details: $out/differences.txt"
[ "$differing_outputs" = 0 ]
