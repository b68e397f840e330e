#!/usr/bin/env bash
# dev.sh deps|build|test|bench|run [client arguments...]
#   deps   install the Debian packages listed in tools/debian-packages.txt
#   build  deps, then configure and build the optimized tree into build/
#   test   deps, then the whole tree under AddressSanitizer and
#          UndefinedBehaviorSanitizer (build-asan/), the fuzzers, and every
#          test (benchmarks aside) on the sanitized build
#   bench  build, then the benchmarks on the optimized build
#   run    build, then start the client with the given arguments
#   sanitize / fuzz / tests   only the sanitized build / only the fuzzing /
#          only the tests of an existing sanitized build
# JOBS=n limits parallel build and test jobs (default: all cores).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${JOBS:-$(nproc)}
# Compiler cache entries keyed by paths relative to the checkout, so that a
# fresh clone in another folder reuses what an earlier build compiled.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
# The leak checker's tracer reads each thread's dynamic TLS blocks; the
# sanitizer runtime of clang 14 takes a malloc'd block that happens to start
# at a certain offset in its page for one with an old glibc header, and the
# tracer then dies reading a wrong range ("Tracer caught signal 11") after a
# test that passed. Not intercepting __tls_get_addr avoids it. It hides no
# leak: at worst a block held from dynamic TLS alone would be reported as one.
sanitizer_common=intercept_tls_get_addr=0
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)

deps() {
    local missing=()
    while read -r pkg; do
        [[ -z "$pkg" || "$pkg" == \#* ]] && continue
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done < tools/debian-packages.txt
    if ((${#missing[@]})); then
        echo "== installing: ${missing[*]}"
        local sudo=()
        [[ $(id -u) -eq 0 ]] || sudo=(sudo)
        "${sudo[@]}" apt-get update
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" "${generator[@]}" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

build() {
    deps
    echo "== building"
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
}

fuzz() {
    echo "== fuzzing build"
    # The whole tree is configured so that a fuzzer may read code of any
    # folder, but only the fuzzers and what they link are compiled.
    cmake -S . -B build-fuzz "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DPARLOR_PROTOCOL_ONLY=OFF -DPARLOR_FUZZ=ON -DPARLOR_TESTS=OFF >/dev/null
    cmake --build build-fuzz -j "$jobs" --target fuzzers
    local targets=() candidate
    for candidate in build-fuzz/tests/fuzz/fuzz_*; do
        [[ -f "$candidate" && -x "$candidate" ]] && targets+=("$candidate")
    done
    ((${#targets[@]})) || { echo "no fuzz targets"; return 0; }
    local budget=${FUZZ_SECONDS:-60}
    local each=$((budget / ${#targets[@]}))
    ((each > 5)) || each=5
    for target in "${targets[@]}"; do
        local name corpus
        name=$(basename "$target")
        corpus="build-fuzz/corpus/$name"
        mkdir -p "$corpus"
        [[ -d "tests/fuzz/corpus/$name" ]] && cp -n tests/fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
        echo "== fuzzing $name for ${each}s"
        ASAN_OPTIONS=$sanitizer_common "$target" -max_total_time="$each" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" \
            >"build-fuzz/$name.log" 2>&1 || { tail -n 60 "build-fuzz/$name.log"; return 1; }
        grep -E '^stat::number_of_executed_units' "build-fuzz/$name.log" || true
    done
}

sanitized() {
    echo "== sanitized build"
    # clang compiles the instrumented tree in about half the time GCC takes,
    # which keeps the whole test command within its time on a small machine.
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DPARLOR_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++
}

stage() {
    local started=$SECONDS
    "$@"
    echo "== $1 took $((SECONDS - started))s (total ${SECONDS}s)"
}

all_tests() {
    echo "== tests, sanitized"
    # A sanitizer's report ends the test that caused it. Left out are
    # QtWebEngine's own mismatched new/delete at exit and the objects it
    # allocates itself (by their caller, tests/support/SanitizerExceptions.cpp),
    # and the leaks that a few outside libraries keep until exit (by library,
    # tests/support/sanitizer-leaks.supp).
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0:$sanitizer_common \
    LSAN_OPTIONS=suppressions=$root/tests/support/sanitizer-leaks.supp:print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 900 -LE benchmark
}

benchmarks() {
    echo "== benchmarks"
    # A goal is judged on the best of up to three runs of its program: a slow
    # path of the program's own comes back every run, a turn the machine took
    # away once does not. Every run prints its figures.
    ctest --test-dir build --output-on-failure -j 1 --timeout 600 -L benchmark -V --repeat until-pass:3
}

run_tests() {
    stage deps
    stage sanitized
    stage fuzz
    stage all_tests
}

case "${1:-test}" in
deps) deps ;;
build) build ;;
test) run_tests ;;
bench)
    build
    benchmarks
    ;;
sanitize) sanitized ;;
fuzz) fuzz ;;
tests) all_tests ;;
run)
    shift || true
    build
    exec build/app/client "$@"
    ;;
*)
    echo "usage: $0 deps|build|test|bench|run|sanitize|fuzz|tests [client arguments...]" >&2
    exit 2
    ;;
esac
