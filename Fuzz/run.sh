#!/usr/bin/env bash
# Builds every fuzz target under libFuzzer (clang) and runs each for SECONDS (default 60), at most three at a
# time, from a scratch folder: its corpus is copied there first, so the repository is only read.
# Prints each target's executions and outcome; exit status 1 when any target found something.
#   bash Fuzz/run.sh [SECONDS [SCRATCH]]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scratch=$(realpath -m "${2:-build/fuzz-run}")
build=${FUZZ_BUILD_DIR:-build/fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSKELLOW_FUZZ=ON -DSKELLOW_TESTS=OFF -DSKELLOW_SANITIZE=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" --parallel 3
build=$(realpath "$build")

# Input length limits: long enough for the corpus files and the structures each reader nests.
declare -A options=([XMLReaderFuzz]="-max_len=16384" [PackageStoreFuzz]="-max_len=16384"
                    [TextDatabaseFuzz]="-max_len=40000" [LegacyStyleFileFuzz]="-max_len=65536"
                    [ProjectFileFuzz]="-max_len=16384")
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run() {
    local name=$1
    mkdir -p "$scratch/$name/corpus"
    cp Fuzz/corpus/"$name"/* "$scratch/$name/corpus/"
    (cd "$scratch/$name" && "$build/Fuzz/$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        ${options[$name]:-} corpus >log 2>&1; echo $? >status)
}
targets=()
for source in Fuzz/*Fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
for ((i = 0; i < ${#targets[@]}; i += 3)); do
    for name in "${targets[@]:i:3}"; do run "$name" & done
    wait
done
failed=0
for name in "${targets[@]}"; do
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$name/log")
    status=$(cat "$scratch/$name/status")
    found=$(find "$scratch/$name" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
        -o -name 'oom-*' \) | wc -l)
    printf '%-20s %12s executions, exit %s, %s findings\n' "$name" "${executions:-?}" "$status" "$found"
    [[ $status == 0 && $found == 0 ]] || failed=1
done
echo "logs and findings: $scratch/<target>/"
exit $failed
