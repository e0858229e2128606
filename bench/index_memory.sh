#!/usr/bin/env bash
# index_memory.sh [MB] -- peak memory (maximum resident set, /usr/bin/time %M)
# of qf on one generated Shift-JIS file of MB megabytes (default 300): a
# search without the index, the indexed search that builds the index, and
# the one that reuses it. Index memory must not grow with the file: all
# three stay within a few megabytes.
#
# Recorded on Debian 12, 2 cores, a 302 MiB file (KB of peak RSS):
#   before blocks spilled to a file: build 126508, reuse 126640
#   after:                           build 4080, reuse 3948, no index 3800
#
# Environment: QF=PATH the qf binary (default build/qf).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
qf=${QF:-$root/build/qf}
mb=${1:-300}
[ -x "$qf" ] || { echo "no qf at $qf" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 1; }

work=$(mktemp -d /tmp/qf-index-memory.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/d"
python3 - "$work/d/big.txt" "$mb" <<'PY'
import random, sys
random.seed(1)
words = [w.encode('cp932') for w in
         "東京 大阪 検索 索引 データ processing relations running 2024年 文字列 ファイル".split()]
block = b''.join(b' '.join(random.choice(words) for _ in range(random.randint(3, 40))) + b'\n'
                 for _ in range(20000))
with open(sys.argv[1], 'wb') as f:
    for _ in range(int(sys.argv[2]) * 1024 * 1024 // len(block) + 1):
        f.write(block)
PY
args=(--raw --no-config --quiet -c)
indexed=(--index --set "ixfDir=$work/ix")
peak() { /usr/bin/time -f %M "$qf" "$@" 2>&1 >/dev/null | tail -1; }
echo "file: $(du -h "$work/d/big.txt" | cut -f1)"
echo "no index:      $(peak "${args[@]}" zzzqqq "$work/d") KB"
echo "index build:   $(peak "${args[@]}" "${indexed[@]}" zzzqqq "$work/d") KB"
echo "index reuse:   $(peak "${args[@]}" "${indexed[@]}" zzzqqq "$work/d") KB"
