#!/usr/bin/env bash
# Starts Vexilo from the release build. Until the desktop application exists this lists the history.
set -euo pipefail
cd "$(dirname "$0")/.."
exec ./build/release/src/vexilo list
