#!/bin/bash
# freepwing_check.sh QF EB_TEXT_DUMP: a book built by FreePWING, converted
# by qf, holds the entries libeb reads from it, one record each, in order.
# Exits 77 (skipped) when FreePWING is not installed.
set -euo pipefail
qf=$1
dump=$2
command -v fpwmake > /dev/null || exit 77
root=$(cd "$(dirname "$0")/../.." && pwd)
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

"$root/tools/epwing/make_fpw_book.sh" 40 "$folder"
"$dump" "$folder/book" > "$folder/libeb.txt"
status=0
"$qf" --raw --no-config --quiet -r --files=honmon --set "ixfDir=$folder/ix" \
    果物 "$folder/book" > "$folder/found.txt" || status=$?
[[ $status == 0 ]] || { echo "qf found nothing (status $status)"; exit 1; }

python3 - "$folder/libeb.txt" "$folder"/ix/x_"$folder"/book/quill/data/honmon.txt <<'PY'
import sys
def lines(text):
    return "\n".join(line.rstrip() for line in text.replace("\r\n", "\n").strip().split("\n"))
libeb = [lines(e) for e in open(sys.argv[1], encoding="euc-jp").read().split("\n<-->\n")]
libeb = [e for e in libeb if e]
text = open(sys.argv[2], encoding="cp932", newline="").read()
body = text.split("【本文データ】", 1)[1]
ours = [lines(e) for e in body.split("\r\n<-->\r\n")]
ours = [e for e in ours if e]
if ours != libeb:
    for i, (a, b) in enumerate(zip(ours, libeb)):
        if a != b:
            print(f"entry {i}: qf {a!r} libeb {b!r}")
            break
    print(f"qf {len(ours)} entries, libeb {len(libeb)}")
    sys.exit(1)
print(f"{len(ours)} entries alike")
PY
