#!/usr/bin/env bash
# Runs every fuzz target over its seed corpus in fuzz/corpus/<target>.
#   run_fuzzers.sh BUILD_DIR smoke        a fixed number of runs each, fixed seed (CI)
#   run_fuzzers.sh BUILD_DIR long [SECS]  SECS seconds each (default 300), by hand
# New inputs go to BUILD_DIR/fuzz-corpus/<target>, so the committed seeds stay
# small; a failing input is kept as BUILD_DIR/fuzz-artifacts/<target>-crash-*.
set -uo pipefail

build=${1:?build folder}
mode=${2:?smoke or long}
seconds=${3:-300}
here=$(cd "$(dirname "$0")" && pwd)
export LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# Runs per target in smoke mode; the widget target is the slowest per input.
declare -A smoke_runs=(
    [fuzz_parse_date]=200000
    [fuzz_history_filter]=60000
    [fuzz_float_text]=60000
    [fuzz_mask_edit]=15000
    [fuzz_autostart]=40000
    [fuzz_plan_file]=40000
)
targets=(fuzz_parse_date fuzz_history_filter fuzz_float_text fuzz_mask_edit fuzz_autostart
    fuzz_plan_file)

failed=()
for target in "${targets[@]}"; do
    binary="$build/fuzz/$target"
    if [ ! -x "$binary" ]; then
        echo "run_fuzzers: $binary is missing" >&2
        failed+=("$target")
        continue
    fi
    seeds="$here/corpus/${target#fuzz_}"
    work="$build/fuzz-corpus/$target"
    artifacts="$build/fuzz-artifacts"
    mkdir -p "$work" "$artifacts"
    case "$mode" in
        # A fresh corpus each time, so the same runs happen on every machine.
        smoke) limit=(-runs="${smoke_runs[$target]}" -seed=1); rm -rf "$work"; mkdir -p "$work" ;;
        long) limit=(-max_total_time="$seconds") ;;
        *) echo "run_fuzzers: unknown mode $mode" >&2; exit 2 ;;
    esac
    echo "== $target (${limit[*]})"
    start=$SECONDS
    if "$binary" "${limit[@]}" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$target-" "$work" "$seeds" \
        >"$build/fuzz-artifacts/$target.log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$artifacts/$target.log")
        echo "   ok: $runs runs in $((SECONDS - start)) s, corpus $(ls "$work" | wc -l) inputs"
    else
        echo "   FAILED; the log's end:"
        tail -n 30 "$artifacts/$target.log" | sed 's/^/   /'
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "run_fuzzers: failed: ${failed[*]}" >&2
    exit 1
fi
echo "run_fuzzers: all ${#targets[@]} targets passed"
