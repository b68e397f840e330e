#!/bin/sh
# with-wm.sh <command...>
# Runs a command on the current X display with openbox managing its windows,
# so that dialogs are framed and placed as on a desktop. The window manager is
# stopped when the command ends, whatever its result.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null; wait $wm 2>/dev/null' EXIT INT TERM
# Give the window manager a moment to take the display before the first window maps.
i=0
while [ $i -lt 20 ] && ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    sleep 0.1
    i=$((i + 1))
done
"$@"
