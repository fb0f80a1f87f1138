#!/usr/bin/env bash
# Installs the Debian packages Vexilo needs to build, run and test.
# Idempotent: does nothing when every package is already installed.
set -euo pipefail

PACKAGES=(
  # build
  ninja-build cmake g++ pkg-config make
  # Qt 6.4
  qt6-base-dev qt6-declarative-dev qt6-multimedia-dev qt6-svg-dev
  qt6-image-formats-plugins qt6-qpa-plugins qt6-l10n-tools
  # QML runtime modules (not pulled in by qt6-declarative-dev)
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
  qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtquick-dialogs
  qml6-module-qt-labs-platform qml6-module-qt-labs-settings
  qml6-module-qt5compat-graphicaleffects qml6-module-qtqml-workerscript
  qml6-module-qtqml-models qml6-module-qtcore qml6-module-qtmultimedia qml6-module-qttest
  # icons where the desktop's theme lacks a name
  breeze-icon-theme
  # X11
  libx11-dev libx11-xcb-dev libxcb1-dev libxtst-dev libxcb-xtest0-dev libxcb-record0-dev
  libxkbcommon-dev libxkbcommon-x11-dev libxfixes-dev
  # OCR and QR codes
  libtesseract-dev libleptonica-dev tesseract-ocr-eng libqrencode-dev libzxing-dev
  # test tools: X server, window manager, tray host, clipboard and key tools
  xvfb xauth xclip xdotool x11-utils openbox trayer imagemagick zbar-tools dbus-daemon
  fonts-dejavu-core fonts-droid-fallback
  # Wayland: the client library and its scanner, Qt's Wayland platform, and for the tests a headless
  # compositor with the clipboard and input tools
  libwayland-dev wayland-protocols qt6-wayland qt6-wayland-dev
  sway xwayland wl-clipboard wtype grim x11-xserver-utils
  # packaging (make package) and its checks; the shells whose completions are tested
  dpkg-dev fakeroot lintian desktop-file-utils appstream help2man man-db bash-completion zsh fish
  # fuzzing (make fuzz)
  clang-14 libfuzzer-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Not running as root. Please run:" >&2
  echo "  sudo apt-get update && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y ${missing[*]}" >&2
  exit 1
fi
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
