#!/usr/bin/env bash
# Sets up, builds and runs every test, then the same tests built with the
# sanitizers (QF_SKIP_SANITIZE=1 skips them), then runs the fuzz targets
# briefly (QF_SKIP_FUZZ=1 skips them). Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure --parallel "$(nproc)" --timeout 300)
if [[ "${QF_SKIP_SANITIZE:-0}" != 1 ]]; then
  "$root/scripts/sanitize.sh"
fi
if [[ "${QF_SKIP_FUZZ:-0}" != 1 ]]; then
  "$root/scripts/fuzz.sh"
fi
