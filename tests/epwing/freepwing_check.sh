#!/bin/bash
# freepwing_check.sh QF EB_TEXT_DUMP: a book built by FreePWING, converted
# by qf, holds the entries libeb reads from it, one record each, in order;
# with headings (ADDIX) each record begins with its heading in brackets.
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
convert() {  # ADDIX
    mkdir -p "$folder/config/VeloSoft/EpwingSettings"
    printf 'PATH\tbook\r\nADDIX\t%s\r\n' "$1" > "$folder/config/VeloSoft/EpwingSettings/s.txt"
    XDG_CONFIG_HOME=$folder/config "$qf" --raw --no-config --quiet -r --files=honmon \
        --set "ixfDir=$folder/ix" 果物 "$folder/book" > /dev/null ||
        { echo "qf found nothing"; exit 1; }
}
for headings in 0 1; do
    convert $headings
    python3 - "$folder/libeb.txt" "$folder"/ix/x_"$folder"/book/quill/data/honmon.txt $headings <<'PY'
import sys
def lines(text):
    return "\n".join(line.rstrip() for line in text.replace("\r\n", "\n").strip().split("\n"))
libeb = [lines(e) for e in open(sys.argv[1], encoding="euc-jp").read().split("\n<-->\n")]
libeb = [e for e in libeb if e]
if sys.argv[3] == "1":
    libeb = ["『" + e.split("\n")[0] + "』" + e for e in libeb]
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
done
