#!/bin/sh
# Runs the whole test suite twice: a normal build, and one under AddressSanitizer
# and UndefinedBehaviorSanitizer in which any report fails the run; between the two,
# a short fuzzing run of restoring state; last, the concurrency test once more
# under ThreadSanitizer.
set -eu
cd "$(dirname "$0")/.."

./scripts/dependencies.sh libgtest-dev libbenchmark-dev xvfb xauth lv2-dev sordi clang libclang-rt-dev

jobs="$(nproc)"

run_suite ()
{
    dir="$1"
    shift
    cmake -S . -B "$dir" "$@"
    cmake --build "$dir" -j "$jobs"
    xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

# A short coverage-guided run of restoring state from arbitrary bytes, in a small clang
# build of that one target under the same sanitizers; any report or broken rule fails it.
fuzz ()
{
    dir=build/fuzz
    cmake -S . -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUMBLEWISP_SANITIZE=ON -DTUMBLEWISP_BUILD_BENCHMARKS=OFF \
        -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
    cmake --build "$dir" -j "$jobs" --target TumblewispStateFuzzer
    rm -rf "$dir/corpus"
    mkdir -p "$dir/corpus"
    "$dir/tests/TumblewispStateFuzzer" -max_total_time=25 -max_len=4096 -timeout=10 \
        -dict=tests/fuzz/state.dict -artifact_prefix="$dir/" "$dir/corpus" tests/fuzz/corpus
}

run_suite build/test -DCMAKE_BUILD_TYPE=Release

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
fuzz
run_suite build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUMBLEWISP_SANITIZE=ON \
    -DTUMBLEWISP_BUILD_BENCHMARKS=OFF

# Parameters are set from other threads while blocks run; ThreadSanitizer watches the test of that.
export TSAN_OPTIONS="halt_on_error=1"
cmake -S . -B build/thread -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUMBLEWISP_SANITIZE_THREAD=ON \
    -DTUMBLEWISP_BUILD_BENCHMARKS=OFF
cmake --build build/thread -j "$jobs" --target TumblewispTests
ctest --test-dir build/thread -R '^ParameterConcurrency[.]' --output-on-failure --no-tests=error
