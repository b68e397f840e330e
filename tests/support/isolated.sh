#!/bin/sh
# isolated.sh <root> <command...>
# Runs one test with a fresh private temporary, settings, cache and runtime directory.
set -e
root="$1"
shift
rm -rf "$root"
mkdir -p "$root/tmp" "$root/config" "$root/runtime" "$root/data" "$root/cache"
chmod 700 "$root/runtime"
export TMPDIR="$root/tmp"
export XDG_CONFIG_HOME="$root/config"
export XDG_RUNTIME_DIR="$root/runtime"
export XDG_DATA_HOME="$root/data"
export XDG_CACHE_HOME="$root/cache"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu --disable-background-networking --disable-component-update}"
cd "$root"
exec "$@"
