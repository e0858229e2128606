#!/bin/bash
# epwing.sh [ENTRIES] [QF]: builds a FreePWING book of ENTRIES entries
# (default 10000), then times qf's first search of it (which converts the
# book) and a second one (which must convert nothing), and reports the sizes
# of the book and of its converted text.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
entries=${1:-10000}
qf=${2:-$root/build/qf}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

"$root/tools/epwing/make_fpw_book.sh" "$entries" "$folder"
body=$folder/book/quill/data/honmon
text=$folder/ix/x_$body.txt
search() {
    "$qf" --raw --no-config --quiet -r --files=honmon --set "ixfDir=$folder/ix" 果物 \
        "$folder/book" > /dev/null
}
seconds() { date +%s.%N; }

start=$(seconds)
search
first=$(seconds)
converted=$(stat -c %Y.%y "$text")
search
second=$(seconds)
[[ $(stat -c %Y.%y "$text") == "$converted" ]] || { echo "the second search converted again"; exit 1; }

awk -v e="$entries" -v b="$(stat -c %s "$body")" -v t="$(stat -c %s "$text")" \
    -v s="$start" -v f="$first" -v n="$second" 'BEGIN {
    printf "entries %d, book %d bytes, converted text %d bytes\n", e, b, t
    printf "first search (converts): %.3f s\n", f - s
    printf "second search (reuses the text): %.3f s\n", n - f
}'
