#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test suite, the
# replay of each fuzz target's corpus included (Fuzz/README.md); checks that the fuzz targets build
# with clang and libFuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${BUILD_DIR:-build/asan}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSKELLOW_SANITIZE=ON -DSKELLOW_TESTS=ON
cmake --build "$build" --parallel "$(nproc)"
# The fuzz targets are built with clang and libFuzzer (Fuzz/README.md), which the test build's corpus
# replays are not: build them so, unoptimised and without the sanitizers (a check that they build,
# about two minutes on two cores).
fuzz=${FUZZ_CHECK_DIR:-build/fuzz-check}
CC=clang CXX=clang++ cmake -S . -B "$fuzz" -G Ninja -DSKELLOW_FUZZ=ON -DSKELLOW_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=None "-DCMAKE_CXX_FLAGS=-O0 -g0" >/dev/null
cmake --build "$fuzz" --parallel "$(nproc)" --target fuzzTargets >"$fuzz/build.log" 2>&1 ||
    { cat "$fuzz/build.log"; echo "the fuzz targets do not build with clang"; exit 1; }
echo "the fuzz targets build with clang and libFuzzer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 600
