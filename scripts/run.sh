#!/usr/bin/env bash
# Sets up, builds and runs a sample search: every record of the Shift-JIS
# texts under samples/ that holds 東京, with the hits highlighted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root"
exec build/qf -r 東京 samples
