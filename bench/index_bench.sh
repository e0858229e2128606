#!/usr/bin/env bash
# index_bench.sh [QUERY...] -- times qf searches on the Shift-JIS benchmark
# corpus without the index, with the index on its first run (which builds it)
# and on a second run (which reuses it); checks that all three print the same
# bytes; and reports the share of record blocks the index let the search skip
# and the size of the index files (and of their rows files) relative to the
# text.
#
# Environment:
#   QF_CORPUS=DIR   corpus folder made by the shared make-corpus.sh (default
#                   /tmp/qf-corpus); its sjis/ tree is searched
#   SUB=PATH        search only this subfolder of sjis/ (default: all of it)
#   QF=PATH         the qf binary (default build/qf)
#   RUNS=N          runs whose median is taken for the timings (default 3)
#   THREADS=N       search threads (default: qf's own choice)
# Block counts come from the debug log (QUILLFIND_DEBUG), one line per file:
# "hits/blocks searched/blocks hit (path)".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${QF_CORPUS:-/tmp/qf-corpus}/sjis${SUB:+/$SUB}
qf=${QF:-$root/build/qf}
runs=${RUNS:-3}
[ -d "$corpus" ] || { echo "no corpus at $corpus (see bench/run_peers.sh)" >&2; exit 1; }
[ -x "$qf" ] || { echo "no qf at $qf (set QF or run scripts/build.sh)" >&2; exit 1; }
[ $# -gt 0 ] || set -- 東京 ネットワーク ファイル

work=$(mktemp -d /tmp/qf-index-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
ix=$work/ix
base=(--raw --no-config --quiet -r --files='*.*' ${THREADS:+--threads=$THREADS})
indexed=(--index --set "ixfDir=$ix")

# Seconds one command takes; its output goes to the file $out.
elapsed() {
  local start end
  start=$(date +%s.%N)
  "$@" >"$out" 2>/dev/null || true
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
bytes() { find "$1" -type f -name "$2" -printf '%s\n' | awk '{ n += $1 } END { print n + 0 }'; }

text_bytes=$(bytes "$corpus" '*.*')
status=0
echo "corpus: $corpus ($((text_bytes / 1024)) KiB), median of $runs runs"
echo
echo "| query | hits | no index s | first indexed s | second indexed s | first/plain | plain/second | blocks searched | skipped | same output |"
echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---|"
for q in "$@"; do
  out=$work/plain
  plain=$(for _ in $(seq "$runs"); do elapsed "$qf" "${base[@]}" -- "$q" "$corpus"; done | median)
  rm -rf "$ix"
  out=$work/first
  first=$(elapsed "$qf" "${base[@]}" "${indexed[@]}" -- "$q" "$corpus")
  out=$work/second
  second=$(for _ in $(seq "$runs"); do elapsed "$qf" "${base[@]}" "${indexed[@]}" -- "$q" "$corpus"; done | median)
  same=yes
  cmp -s "$work/plain" "$work/first" && cmp -s "$work/plain" "$work/second" || { same=NO; status=1; }
  hits=$(tail -c 200 "$work/plain" | iconv -f CP932 -t UTF-8 | grep -o '発見数 [0-9]*' | tail -1 | cut -d' ' -f2)
  read -r searched total < <(QUILLFIND_DEBUG=1 "$qf" "${base[@]}" "${indexed[@]}" -- "$q" "$corpus" 2>&1 >/dev/null |
    awk -F'[/ ]' '/^[0-9]+\/[0-9]+\/[0-9]+ hit \(/ { s += $2; t += $3 } END { print s + 0, t + 0 }')
  skipped=$(awk -v s="$searched" -v t="$total" 'BEGIN { printf "%.1f%%", t ? 100 * (t - s) / t : 0 }')
  ratios=$(awk -v p="$plain" -v f="$first" -v s="$second" 'BEGIN { printf "%.2f | %.2f", f / p, p / s }')
  echo "| $q | $hits | $plain | $first | $second | $ratios | $searched/$total | $skipped | $same |"
done

echo
for kind in qfd qfr; do
  ix_bytes=$(bytes "$ix" "*.$kind")
  awk -v k="$kind" -v i="$ix_bytes" -v t="$text_bytes" \
    'BEGIN { printf "*.%s files: %d KiB for %d KiB of text (%.1f%%, %.0f KiB per MiB)\n", k, i / 1024, t / 1024, 100 * i / t, 1024 * i / t }'
done
exit $status
