#!/usr/bin/env bash
# Starts Vexilo in the foreground from the release build. Without any display it starts a private
# X server (and a window manager) first and says which DISPLAY to copy on.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=./build/release/src/vexilo

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$binary" "$@"
fi

display=""
for n in $(seq 60 120); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
if [ -z "$display" ]; then
    echo "No display found and no free display number for a private X server." >&2
    exit 1
fi

Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
wm=""
tray=""
cleanup() {
    [ -n "$tray" ] && kill "$tray" 2>/dev/null || true
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.05
done
export DISPLAY=":$display"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# A panel with a tray, so that the tray icon has somewhere to live.
if command -v trayer >/dev/null; then
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true >/dev/null 2>&1 &
    tray=$!
fi

echo "No display was found, so Vexilo runs on a private X display, $DISPLAY."
echo "Copy there to fill the history, for example:"
echo "    echo hello | DISPLAY=$DISPLAY xclip -selection clipboard"
echo "and look at it with: ./build/release/src/vexilo list"
"$binary" "$@"
