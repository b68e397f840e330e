#!/usr/bin/env bash
# ci-cost.sh [stage...]
#   Runs the stages of `dev.sh test` (deps sanitize fuzz tests; all of them by
#   default) in this checkout with an empty compiler cache and prints, per
#   stage, the wall time and the CPU time (user + system) of everything it ran.
#   Then, per stage, the CPU time of its compile, precompiled header and link
#   steps and the heaviest of them (each build step runs under
#   tools/step-cpu.sh, so the figures hold on a busy machine too). Half the CPU
#   minutes is about what a two-core machine needs. Run it in a fresh clone:
#   the build folders must not exist yet for the steps to be counted.
#   JOBS=n as for dev.sh; CCACHE_DIR is a fresh temporary folder unless set.
set -euo pipefail
cd "$(dirname "$0")/.."
export JOBS=${JOBS:-$(nproc)}
if [[ -z "${CCACHE_DIR:-}" ]]; then
    CCACHE_DIR=$(mktemp -d)
    export CCACHE_DIR
    trap 'rm -rf "$CCACHE_DIR"' EXIT
fi
export CMAKE_CXX_COMPILER_LAUNCHER=$PWD/tools/step-cpu.sh
export CMAKE_CXX_LINKER_LAUNCHER=$PWD/tools/step-cpu.sh
stages=("$@")
((${#stages[@]})) || stages=(deps sanitize fuzz tests)
report=$(mktemp)
failed=0

run_stage() {
    local name=$1 started ended
    shift
    export PARLOR_STEP_LOG=$PWD/ci-cost-$name.steps
    rm -f "$PARLOR_STEP_LOG"
    started=$(date +%s.%N)
    # getrusage of the children: every process the stage waited for, at any depth.
    local times
    local status=ok
    times=$( { TIMEFORMAT='%U %S'; time "$@" >"ci-cost-$name.log" 2>&1; } 2>&1 ) || {
        status=FAILED
        failed=1
        echo "stage $name failed, see ci-cost-$name.log" >&2
        tail -n 40 "ci-cost-$name.log" >&2
    }
    ended=$(date +%s.%N)
    read -r user sys <<<"$(tail -n 1 <<<"$times")"
    awk -v n="$name" -v a="$started" -v b="$ended" -v u="$user" -v s="$sys" -v st="$status" \
        'BEGIN { printf "%-9s wall %6.1f min   cpu %6.1f min (user %.1f, sys %.1f)  %s\n", n, (b-a)/60, (u+s)/60, u/60, s/60, st }' |
        tee -a "$report"
}

for stage in "${stages[@]}"; do
    case $stage in
    deps) run_stage deps ./tools/dev.sh deps ;;
    build) run_stage build ./tools/dev.sh build ;;
    sanitize) run_stage sanitize ./tools/dev.sh sanitize ;;
    fuzz) run_stage fuzz ./tools/dev.sh fuzz ;;
    tests) run_stage tests ./tools/dev.sh tests ;;
    *) echo "unknown stage $stage" >&2; exit 2 ;;
    esac
done

for stage in "${stages[@]}"; do
    steps=ci-cost-$stage.steps
    [[ -s $steps ]] || continue
    echo "== $stage: CPU time of the build steps"
    awk '{
        out = $3; cpu = $1 + $2
        if (out ~ /\.gch$|\.pch$/) kind = "pch"
        else if (out ~ /\.o$/) kind = "compile"
        else kind = "link"
        sum[kind] += cpu; cnt[kind]++; total += cpu
    } END {
        for (k in sum) printf "  %-9s %4d steps %7.1f min\n", k, cnt[k], sum[k] / 60
        printf "  %-9s %4s       %7.1f min\n", "total", "", total / 60
    }' "$steps"
    echo "  heaviest steps (CPU s):"
    awk '{ printf "%8.1f  %s\n", $1 + $2, $3 }' "$steps" | sort -rn | head -n 15
done
echo "== stages"
awk '{ w += $3; c += $6; print } END { printf "%-9s wall %6.1f min   cpu %6.1f min\n", "all", w, c }' "$report"
rm -f "$report"
exit "$failed"
