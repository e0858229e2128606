#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja ${QF_CMAKE_ARGS:-} >/dev/null
cmake --build "$root/build" --parallel "$(nproc)"
