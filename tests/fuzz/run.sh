#!/usr/bin/env bash
# Runs every fuzz target for FUZZ_SECONDS seconds (default 60) from its seed corpus and prints what
# it ran and whether it found anything; fails when one did. Seeds are copied to a scratch corpus in
# build/fuzz, which keeps what the runs add; crashing inputs land in build/fuzz/findings.
set -uo pipefail
cd "$(dirname "$0")/../.."

seconds=${FUZZ_SECONDS:-60}
bin=build/fuzz/tests/fuzz
findings=build/fuzz/findings
# Each target with the longest input it is given.
targets=(
    "historydecoder 65536"
    "imageserver 16384"
    "contentdetector 4096"
    "commandline 4096"
    "instanceprotocol 16384"
)

mkdir -p "$findings"
failed=0
for entry in "${targets[@]}"; do
    read -r name maxlen <<<"$entry"
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus"
    for seed in tests/fuzz/corpus/"$name"/*; do
        [ -e "$corpus/${seed##*/}" ] || cp "$seed" "$corpus/"
    done
    log=build/fuzz/$name.log
    "$bin/fuzz_$name" -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/$name-" "$corpus" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    if [ "$status" -eq 0 ]; then
        printf '%-18s %10s runs %8s/s  nothing found\n' "$name" "${runs:-?}" "${rate:-?}"
    else
        failed=1
        artifact=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
        printf '%-18s %10s runs %8s/s  FOUND (exit %s): %s\n' "$name" "${runs:-?}" "${rate:-?}" "$status" \
            "$(grep -m 1 -E 'runtime error|ERROR:|^SUMMARY' "$log")"
        printf '%-18s input %s, log %s\n' "" "${artifact:-none}" "$log"
    fi
done
exit "$failed"
