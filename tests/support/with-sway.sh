#!/bin/bash
# with-sway.sh CMD...: runs CMD inside a private headless sway, then tears it down.
# Exits 77 (skipped) when sway or wl-clipboard is missing. VEXILO_SWAY_LOG=1 keeps sway's debug log.
# The session runs as nobody when started by root; SWAYSOCK is exported for swaymsg.
set -euo pipefail
command -v sway >/dev/null && command -v wl-copy >/dev/null && command -v wl-paste >/dev/null \
    || { echo "sway or wl-clipboard is not installed: skipped"; exit 77; }
D=$(mktemp -d /tmp/swaytest.XXXXXX)
chmod 755 "$D"
mkdir -m 700 "$D/rt" "$D/client-rt"
if [ "${VEXILO_SWAY_XWAYLAND:-}" = 1 ]; then
    command -v Xwayland >/dev/null && command -v xhost >/dev/null || { echo "Xwayland is not installed: skipped"; exit 77; }
    # Xwayland up from the start, and its display number written where we can read it.
    cat > "$D/sway.conf" <<EOF
output HEADLESS-1 resolution 1280x800
xwayland force
exec sh -c 'echo \$DISPLAY > $D/rt/display'
EOF
else
    printf 'output HEADLESS-1 resolution 1280x800\nxwayland disable\n' > "$D/sway.conf"
fi
chmod 644 "$D/sway.conf"
debug=()
[ "${VEXILO_SWAY_LOG:-}" = 1 ] && debug=(-d)
run_sway=(env -i PATH=/usr/bin:/bin HOME=/nonexistent XDG_RUNTIME_DIR="$D/rt" WLR_BACKENDS=headless
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway "${debug[@]}" -c "$D/sway.conf")
if [ "$(id -u)" = 0 ]; then
    # sway refuses to run as root.
    chown nobody:nogroup "$D/rt"
    run_sway=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${run_sway[@]}")
fi
"${run_sway[@]}" > "$D/sway.log" 2>&1 &
SWAY=$!
cleanup() {
    kill "$SWAY" 2>/dev/null || true
    wait "$SWAY" 2>/dev/null || true
    if [ "${VEXILO_SWAY_LOG:-}" = 1 ]; then cp "$D/sway.log" "${TMPDIR:-/tmp}/with-sway-$$.log"; fi
    rm -rf "$D"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -S "$D/rt/wayland-1" ] && break; sleep 0.05; done
[ -S "$D/rt/wayland-1" ] || { echo "sway did not start"; cat "$D/sway.log"; exit 1; }
export XDG_RUNTIME_DIR="$D/client-rt" WAYLAND_DISPLAY="$D/rt/wayland-1"
unset DISPLAY
if [ "${VEXILO_SWAY_XWAYLAND:-}" = 1 ]; then
    for _ in $(seq 100); do [ -s "$D/rt/display" ] && break; sleep 0.05; done
    DISPLAY=$(cat "$D/rt/display")
    export DISPLAY
    # Xwayland admits only the compositor's user; let the tests' (root's) X clients in.
    admit=(xhost +si:localuser:"$(id -un)")
    [ "$(id -u)" = 0 ] && admit=(setpriv --reuid=nobody --regid=nogroup --clear-groups env DISPLAY="$DISPLAY" "${admit[@]}")
    for _ in $(seq 40); do "${admit[@]}" >/dev/null 2>&1 && break; sleep 0.05; done
fi
# For swaymsg: tests add their key bindings and read the window tree through it.
for _ in $(seq 100); do ls "$D"/rt/sway-ipc.*.sock >/dev/null 2>&1 && break; sleep 0.05; done
SWAYSOCK=$(ls "$D"/rt/sway-ipc.*.sock 2>/dev/null | head -n 1 || true)
export SWAYSOCK
rc=0
"$@" || rc=$?
cleanup
trap - EXIT
exit "$rc"
