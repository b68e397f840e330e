#!/bin/sh
# step-cpu.sh <command...>: a compiler and linker launcher that runs one build
# step and appends its CPU seconds (user, system) and output file to
# $PARLOR_STEP_LOG. tools/ci-cost.sh uses it: on a busy machine the CPU time of
# a step says more than its wall time.
out=unknown
prev=
for arg in "$@"; do
    [ "$prev" = -o ] && out=$arg
    prev=$arg
done
exec /usr/bin/time -a -o "${PARLOR_STEP_LOG:-/dev/null}" -f "%U %S $out" "$@"
