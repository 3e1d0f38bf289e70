#!/usr/bin/env bash
# Runs each fuzz target of the parsers of outside bytes (stream reader, wire
# envelope, configuration file, live decoder, patient-only read) for MINUTES
# minutes (default 5) on every core, merges what the runs found into the
# corpora under tests/fuzz/corpus, and prints each target's executions.
# Usage: scripts/fuzz.sh [MINUTES] [TARGET...]   (TARGET: stream wire config live patient)
# Inputs that crash a target are kept as build-fuzz/findings/<target>/crash-*
# and make the script exit 1. FUZZ_JOBS=N runs N processes a target instead of one a core.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-5}
shift || true
source scripts/packages.sh
ensure_packages "${CORE_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"

declare -A program=([stream]=streamReaderFuzz [wire]=wireEnvelopeFuzz [config]=configFileFuzz [live]=liveDecoderFuzz
                    [patient]=patientReadFuzz)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(stream wire config live patient)

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOZMAR_SANITIZE=ON \
    -DOZMAR_FUZZ=ON -DOZMAR_BENCH=OFF -DOZMAR_UI=OFF >/dev/null
cmake --build build-fuzz --target "${program[@]}" fuzzSeedWriter >/dev/null

cores=${FUZZ_JOBS:-$(nproc)}
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
build-fuzz/tests/fuzz/fuzzSeedWriter "$seeds"
failed=0
for name in "${targets[@]}"; do
    fuzzer=build-fuzz/tests/fuzz/${program[$name]}
    corpus=tests/fuzz/corpus/$name
    work=$(mktemp -d)
    findings=build-fuzz/findings/$name
    mkdir -p "$corpus" "$work/new" "$findings"
    # One process a core, each from its own seed; new inputs go to one folder.
    pids=()
    for i in $(seq "$cores"); do
        "$fuzzer" -max_total_time=$((minutes * 60)) -seed=$((RANDOM * 32768 + RANDOM + i)) -max_len=4096 \
            -print_final_stats=1 -artifact_prefix="$findings/" "$work/new" "$corpus" "$seeds/$name" \
            >"$work/log$i" 2>&1 &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || true; done
    executions=$(cat "$work"/log* | awk '/^stat::number_of_executed_units:/ { n += $2 } END { print n + 0 }')
    # The corpus becomes the smallest set that covers what it and the new inputs cover.
    mkdir -p "$work/merged"
    "$fuzzer" -merge=1 -max_len=4096 "$work/merged" "$corpus" "$work/new" "$seeds/$name" >"$work/merge.log" 2>&1
    rm -rf "$corpus"
    mv "$work/merged" "$corpus"
    echo "$name: ${executions:-0} executions in $minutes min on $cores cores; corpus $(ls "$corpus" | wc -l) inputs," \
         "$(du -sk "$corpus" | cut -f1) KB"
    if ls "$findings"/crash-* >/dev/null 2>&1; then
        echo "$name: findings in $findings"
        failed=1
    fi
    rm -rf "$work"
done
exit $failed
