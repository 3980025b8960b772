#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer) in build-fuzz
# and runs each for the given number of seconds, FUZZ_JOBS of them at a time (default 1).
#   bash scripts/fuzz.sh [seconds] [target...]      e.g. bash scripts/fuzz.sh 600 fuzz_wildcard
# New inputs go to build-fuzz/corpus/<target>; the seeds in fuzz/corpus are only read. An input that
# crashes a target is kept as build-fuzz/artifacts/<target>-crash-..., and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_datafile fuzz_settingsfile fuzz_recoveryfile fuzz_conditionwords fuzz_oldfile fuzz_wildcard
    fuzz_cataloguemerge)

# Debian 12 ships libFuzzer's runtime for clang 14 in libclang-rt-14-dev.
bash scripts/setup.sh clang libclang-rt-14-dev
cmake -S . -B build-fuzz -DKURANOTE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 >/dev/null

mkdir -p build-fuzz/artifacts build-fuzz/logs
run() {
    local target=$1
    local seeds=fuzz/corpus/${target#fuzz_}
    mkdir -p "build-fuzz/corpus/$target"
    # -timeout catches an input that makes a reader hang; -rss_limit_mb one that makes it eat memory.
    if build-fuzz/bin/"$target" "build-fuzz/corpus/$target" "$seeds" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$target-" \
        >"build-fuzz/logs/$target.log" 2>&1; then
        local runs
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/logs/$target.log")
        echo "$target: $runs executions in $seconds s, no finding"
    else
        echo "$target: FINDING, see build-fuzz/logs/$target.log and build-fuzz/artifacts/"
        tail -n 40 "build-fuzz/logs/$target.log"
        return 1
    fi
}

failed=0
running=0
for target in "${targets[@]}"; do
    if [ "$running" -ge "${FUZZ_JOBS:-1}" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
    run "$target" &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
exit "$failed"
