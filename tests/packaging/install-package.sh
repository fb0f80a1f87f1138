#!/usr/bin/env bash
# Packages this build with cpack, checks the package with lintian, installs it on this machine with
# apt-get, runs the installed programs (the client on a temporary history, the application on a private
# X server until it answers `vexilo status`), then purges the package and checks that nothing of it is
# left outside the user's folders. Needs root; skipped where the tools are missing or a vexilo package
# is installed already.
#   install-package.sh BUILD_DIR
set -uo pipefail
build=$1
for tool in cpack apt-get dpkg-query dpkg-shlibdeps lintian Xvfb xdotool xprop identify; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ "$(id -u)" -eq 0 ] || { echo "SKIP: installing a package needs root"; exit 77; }
if dpkg-query -W -f='${Status}' vexilo 2>/dev/null | grep -q "installed"; then
    echo "SKIP: a vexilo package is installed already; it is left alone"
    exit 77
fi

work=$(mktemp -d)
chmod 755 "$work" # apt reads the package as its own user
app="" xvfb="" installed=0
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    [ "$installed" -eq 1 ] && DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -o DPkg::Lock::Timeout=120 vexilo >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
apt() { DEBIAN_FRONTEND=noninteractive apt-get -y -o DPkg::Lock::Timeout=120 "$@"; }

# The system's paths as they are now, to compare with after the purge. Caches that the desktop's
# package triggers rebuild for every package are the system's own.
snapshot() {
    find /usr /etc /opt -xdev -not -name mimeinfo.cache -not -name icon-theme.cache -not -path '/etc/ld.so.cache' \
        -not -path '/usr/share/info/dir*' 2>/dev/null | sort
}
snapshot >"$work/before"

# --- The package: of the tree this build installs, fast to compress.
echo "Packaging $build"
cpack --config "$build/CPackConfig.cmake" -B "$work/out" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
version=$("$build/src/vexilo" --version) || fail "the built vexilo has no --version"
version=${version#vexilo }
deb=$work/out/vexilo_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$work/out")"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6core6 libqt6quick6 libtesseract5 qml6-module-qtquick-controls tesseract-ocr-eng breeze-icon-theme; do
    grep -q "\b$package\b" <<<"$depends" || fail "the package does not depend on $package: $depends"
done

# Debian's own checks; their warnings are shown, errors fail.
lintian --fail-on error "$deb" 2>/dev/null || fail "lintian finds errors in the package"

# --- Install it. Its dependencies are on this machine already; nothing is fetched from the network.
echo "Installing $(basename "$deb")"
# apt would fetch a missing dependency; the test must not, so it names them instead.
fetched=$(apt install --no-install-recommends --simulate "$deb" 2>/dev/null | sed -n 's/^Inst \([^ ]*\).*/\1/p' | grep -vx vexilo)
[ -z "$fetched" ] || fail "these dependencies are not installed (scripts/install-deps.sh): $fetched"
apt install --no-install-recommends "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install failed"; }
installed=1
dpkg-query -L vexilo | sort >"$work/files"
for path in /usr/bin/vexilo /usr/bin/vexilo-app /usr/share/applications/app.vexilo.Vexilo.desktop \
    /usr/share/metainfo/app.vexilo.Vexilo.metainfo.xml /usr/share/icons/hicolor/scalable/apps/app.vexilo.Vexilo.svg \
    /usr/share/man/man1/vexilo.1.gz /usr/share/bash-completion/completions/vexilo \
    /usr/share/zsh/vendor-completions/_vexilo /usr/share/fish/vendor_completions.d/vexilo.fish \
    /usr/share/doc/vexilo/copyright /usr/share/doc/vexilo/changelog.gz; do
    [ -e "$path" ] || fail "$path is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
    png=/usr/share/icons/hicolor/${size}x${size}/apps/app.vexilo.Vexilo.png
    [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "$png is not a ${size}px image"
done
grep -vE '^/usr(/|$)|^/\.$' "$work/files" && fail "the package installs outside /usr"
[ "$(man -w vexilo)" = /usr/share/man/man1/vexilo.1.gz ] || fail "man does not find vexilo(1)"

# --- The client from /usr/bin, on a temporary history.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/share XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$HOME" || fail "no home"
[ "$(/usr/bin/vexilo --version)" = "vexilo $version" ] || fail "/usr/bin/vexilo --version: $(/usr/bin/vexilo --version)"
id=$(/usr/bin/vexilo --data-dir "$work/data" add "installed and working") || fail "vexilo add failed"
/usr/bin/vexilo --data-dir "$work/data" list | grep -q "installed and working" || fail "vexilo list lacks the clip"
[ "$(/usr/bin/vexilo --data-dir "$work/data" list --ids | cut -f1)" = "$id" ] || fail "vexilo list --ids lacks $id"

# --- The application on a private X server. Launch at Login is on by default: the entry it writes
# starts the installed program, and replaces the entry of the old name that a build folder wrote.
mkdir -p "$XDG_CONFIG_HOME/autostart"
printf '[Desktop Entry]\nType=Application\nName=Vexilo\nExec=%s\n' "$build/src/vexilo" \
    >"$XDG_CONFIG_HOME/autostart/vexilo.desktop"
display=""
for n in $(seq 140 199); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || fail "no free display number"
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=:$display QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled:
/usr/bin/vexilo --data-dir "$work/data" >"$work/app.log" 2>&1 &
app=$!
status=""
for _ in $(seq 300); do
    status=$(/usr/bin/vexilo --data-dir "$work/data" status 2>/dev/null) && break
    kill -0 "$app" 2>/dev/null || { cat "$work/app.log"; fail "the application ended at start"; }
    sleep 0.2
done
grep -q "^Recording" <<<"$status" || { cat "$work/app.log"; fail "vexilo status answered: $status"; }
entry=$XDG_CONFIG_HOME/autostart/app.vexilo.Vexilo.desktop
for _ in $(seq 50); do [ -f "$entry" ] && [ ! -e "$XDG_CONFIG_HOME/autostart/vexilo.desktop" ] && break; sleep 0.2; done
grep -qx "Exec=/usr/bin/vexilo" "$entry" 2>/dev/null || fail "the login entry does not start /usr/bin/vexilo: $(cat "$entry" 2>&1)"
[ -e "$XDG_CONFIG_HOME/autostart/vexilo.desktop" ] && fail "the login entry of the old name is still there"

# The window's class is the desktop entry's StartupWMClass, so that desktops group it under the entry.
/usr/bin/vexilo --data-dir "$work/data" toggle || fail "vexilo toggle failed"
window=""
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || fail "no window of the application showed"
class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*, "\(.*\)"$/\1/p')
wmclass=$(sed -n 's/^StartupWMClass=//p' /usr/share/applications/app.vexilo.Vexilo.desktop)
[ -n "$class" ] && [ "$class" = "$wmclass" ] || fail "the window's class \"$class\" is not StartupWMClass \"$wmclass\""

/usr/bin/vexilo --data-dir "$work/data" quit >/dev/null || fail "vexilo quit failed"
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the application did not quit"
wait "$app" || { cat "$work/app.log"; fail "the application exited with $?"; }
app=""

# --- Purge, and nothing of the package is left.
apt remove --purge vexilo >"$work/remove.log" 2>&1 || { cat "$work/remove.log"; fail "apt-get remove failed"; }
installed=0
while read -r path; do
    [ -d "$path" ] && grep -qx "$path" "$work/before" && continue # a folder others use too
    [ -e "$path" ] || [ -L "$path" ] && fail "$path is left after the purge"
done <"$work/files"
snapshot >"$work/after"
diff "$work/before" "$work/after" >"$work/diff" || { cat "$work/diff"; fail "the system's files differ after the purge"; }
echo "the package installs, runs and purges cleanly"
