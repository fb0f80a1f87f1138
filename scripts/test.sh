#!/usr/bin/env bash
# Runs every test of the sanitizer build with a private runtime folder and a private settings folder.
set -euo pipefail
cd "$(dirname "$0")/.."
XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
export QT_QPA_PLATFORM=offscreen
export OMP_THREAD_LIMIT=1
# No test may reach the real update server.
export VEXILO_UPDATE_MANIFEST_URL=http://127.0.0.1:9/update.json
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --preset asan "$@"
