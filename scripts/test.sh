#!/usr/bin/env bash
# Sets up, builds and runs every test, then runs the fuzz targets briefly
# (QF_SKIP_FUZZ=1 skips them). Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure --parallel "$(nproc)" --timeout 300)
if [[ "${QF_SKIP_FUZZ:-0}" != 1 ]]; then
  "$root/scripts/fuzz.sh"
fi
