#!/usr/bin/env bash
# measure-startup.sh [runs] [build dir]
#
# Start-up time of the client to its first shown window (the splash) and to
# its shown main window, and its peak memory, beside the floor: a minimal Qt
# widgets program (tools/startup-floor.cpp) linked with the same Qt modules as
# the client and started the same way. The main window comes after the
# splash's minimum time of 750 ms and the version check; the client is
# pointed at closed loopback ports so that nothing leaves the machine. Both run on the offscreen platform in a fresh
# temporary, settings and runtime directory per run, under /usr/bin/time.
#
# "First shown window" is the first Show event of a top-level window: the client
# (started with "-m debug") writes "first window shown:" and later "main window
# shown:" to its debug log,
# mahjong.log in its temporary directory; the floor writes "first window
# shown" to standard error. The script polls for the line every few
# milliseconds, then ends the program; peak memory is /usr/bin/time's maximum
# resident set size up to that point.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-5}
build=${2:-build}
[[ $build == /* ]] || build="$root/$build"
client="$build/app/client"
floor="$build/tools-startup-floor"

[[ -x "$client" ]] || { echo "no client at $client (build first: ./tools/dev.sh build)" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "/usr/bin/time is missing (Debian package: time)" >&2; exit 1; }

if [[ ! -x "$floor" || tools/startup-floor.cpp -nt "$floor" ]]; then
    # shellcheck disable=SC2046
    # --no-as-needed: the floor loads every Qt library the client loads.
    g++ -std=c++17 -O2 -fPIC -o "$floor" tools/startup-floor.cpp -Wl,--no-as-needed \
        $(pkg-config --cflags --libs Qt6Widgets Qt6Network Qt6Xml Qt6Svg Qt6SvgWidgets Qt6WebEngineWidgets \
            Qt6WebChannel Qt6Multimedia)
fi

# Run as root, the client refuses to start with the browser sandbox on (its
# web pages could not open): the measured runs turn it off, as the tests do.
if [[ $(id -u) -eq 0 && -z "${QTWEBENGINE_DISABLE_SANDBOX+set}" ]]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
    echo "(run as root: QTWEBENGINE_DISABLE_SANDBOX=1 for the measured programs)"
fi

# The polling starts no process of its own: the measured program has the
# pinned cores to itself. The clock is the shell's, the pause a read that
# times out on a pipe nobody writes to, the search a loop over the lines.
now_ms() { now=$((${EPOCHREALTIME/./} / 1000)); }
exec {idle}<> <(:)
contains() {
    local line
    while IFS= read -r line; do
        [[ $line == *"$2"* ]] && return 0
    done <"$1"
    return 1
}

# measure <marker> <file the marker appears in: log|stderr> <program> [args...]
# Prints: milliseconds to the first window and peak RSS in KiB.
measure() {
    local marker=$1 kind=$2
    shift 2
    local dir
    dir=$(mktemp -d)
    mkdir -p "$dir/tmp" "$dir/config" "$dir/runtime"
    chmod 700 "$dir/runtime"
    local watch="$dir/stderr"
    [[ $kind == log ]] && watch="$dir/tmp/mahjong.log"
    local start end pid
    now_ms
    start=$now
    TMPDIR="$dir/tmp" XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/runtime" QT_QPA_PLATFORM=offscreen \
        /usr/bin/time -f '%M' -o "$dir/time" "$@" >/dev/null 2>"$dir/stderr" &
    pid=$!
    end=""
    for _ in $(seq 1 6000); do
        if [[ -f "$watch" ]] && contains "$watch" "$marker" 2>/dev/null; then
            now_ms
            end=$now
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        read -r -t 0.002 -u "$idle" || true
    done
    # End the measured program (the child of /usr/bin/time), then collect time's report.
    pkill -TERM -P "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    local rss
    rss=$(grep -E '^[0-9]+$' "$dir/time" | tail -n 1 || true)
    rm -rf "$dir"
    if [[ -z "$end" ]]; then
        echo "none ${rss:-?}"
    else
        echo "$((end - start)) ${rss:-?}"
    fi
}

median() { sort -n | awk '{a[NR]=$1} END {if (NR == 0) print "?"; else print a[int((NR + 1) / 2)]}'; }

# summary <name> <times...> -- <peak memories...>: prints a program's line;
# sets last_time and last_rss to its medians.
summary() {
    local name=$1 times=() rsss=()
    shift
    while [[ $# -gt 0 && $1 != -- ]]; do times+=("$1"); shift; done
    shift
    rsss=("$@")
    local tmed mmed
    tmed=$(printf '%s\n' "${times[@]:-}" | { grep -E '^[0-9]+$' || true; } | median)
    mmed=$(printf '%s\n' "${rsss[@]:-}" | { grep -E '^[0-9]+$' || true; } | median)
    printf '%-12s median %6s ms over %d runs (%s)   peak RSS: median %7s KiB\n' \
        "$name" "$tmed" "${#times[@]}" "${times[*]:-}" "$mmed"
    if [[ $tmed == "?" || $mmed == "?" ]]; then
        echo "$name: no run reached its window; run it by hand to see why" >&2
        exit 1
    fi
    last_time=$tmed
    last_rss=$mmed
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "?" }'; }

echo "== start-up to the first shown window, offscreen, $runs runs each"
loopback=(--httphost 127.0.0.1:1 --nossl 127.0.0.1:1)
# The three programs take turns, run after run, so that a change in the
# machine's load between runs falls on all three alike.
declare -a times_floor rss_floor times_splash rss_splash times_main rss_main
take() { # take <times array> <memories array> <line of measure>
    local -n to_times=$1 to_rss=$2
    local t=${3% *} m=${3#* }
    [[ $t != none ]] && to_times+=("$t")
    [[ $m != "?" ]] && to_rss+=("$m")
    return 0
}
for _ in $(seq 1 "$runs"); do
    take times_floor rss_floor "$(measure 'first window shown' stderr "$floor")"
    take times_splash rss_splash "$(measure 'first window shown' log "$client" -m debug "${loopback[@]}")"
    take times_main rss_main "$(measure 'main window shown' log "$client" -m debug "${loopback[@]}")"
done
summary floor "${times_floor[@]}" -- "${rss_floor[@]}"
floor_time=$last_time floor_rss=$last_rss
summary splash "${times_splash[@]}" -- "${rss_splash[@]}"
splash_time=$last_time
summary main-window "${times_main[@]}" -- "${rss_main[@]}"
echo "ratios to the floor: first window $(ratio "$splash_time" "$floor_time") (goal 1.04), main window" \
    "$(ratio "$last_time" "$floor_time") (after the 750 ms the splash must stay: $(ratio "$((last_time - 750))" "$floor_time"), goal 1.5)," \
    "peak memory at the main window $(ratio "$last_rss" "$floor_rss")"
