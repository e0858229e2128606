#!/usr/bin/env bash
# Sets up, builds and starts the desktop program. Without a display it runs
# a sample search with the command-line tool instead: every record of the
# Shift-JIS texts under samples/ that holds 東京, with the hits highlighted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root"
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec build/src/app/quillfind "$@"
fi
echo "run: no display; running the command-line tool instead" >&2
exec build/qf -r 東京 samples
