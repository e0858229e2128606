#!/usr/bin/env bash
# run_peers.sh [SIZE_MB] -- times qf against GNU grep, ripgrep and ugrep on the
# Shift-JIS benchmark corpus and prints, per query, each tool's median time
# as a multiple of qf's (above 1: qf is faster).
#
# The corpus is built once (or reused) outside the repository with the shared
# make-corpus.sh; the peers and qf are timed in one hyperfine call per query
# by the shared run-peers.sh, so the ratios come from one run.
#
# Environment:
#   QF_CORPUS=DIR      corpus folder (default /tmp/qf-corpus)
#   QF_BENCH_DIR=DIR   the shared bench scripts (default ../shared/bench beside the repo)
#   QF_BENCH_OUT=DIR   results (default /tmp/qf-bench-results)
#   QF=PATH            the qf binary (default build/qf, built when missing)
#   RUNS, WARMUP, ONLY, TOOLS   passed on to run-peers.sh
# Needs the Debian packages hyperfine ripgrep ugrep jq edict enamdict
# manpages-ja debian-reference-ja.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=${1:-200}
corpus=${QF_CORPUS:-/tmp/qf-corpus}
bench=${QF_BENCH_DIR:-$root/../shared/bench}
out=${QF_BENCH_OUT:-/tmp/qf-bench-results}
qf=${QF:-$root/build/qf}

[ -x "$bench/run-peers.sh" ] || { echo "no run-peers.sh in $bench (set QF_BENCH_DIR)" >&2; exit 1; }
case $corpus in "$root"|"$root"/*) echo "keep the corpus outside the repository" >&2; exit 1;; esac

if [ ! -x "$qf" ]; then
  "$root/scripts/build.sh"
fi
qf=$(cd "$(dirname "$qf")" && pwd)/$(basename "$qf")

if [ ! -f "$corpus/fingerprint.txt" ]; then
  echo "building the corpus in $corpus ($size MiB)" >&2
  bash "$bench/make-corpus.sh" "$corpus" "$size"
fi

# qf's commands, side by side with the peers. Raw output (Shift-JIS bytes, as
# grep and rg print them), no configuration file, no progress line, every
# file of the tree. Line counts include qf's two heading lines and its
# summary line; a record is a run of text between line ends.
mkdir -p "$out"
extra=$out/qf-commands.tsv
q="'$qf' --raw --no-config --quiet -r --files='*.*'"
{
  printf 'a_ascii_cs\tqf\tlines\t%s --match-case -- "$Q_U" "$CORPUS/sjis"\n' "$q"
  printf 'b_ascii_ci\tqf\tlines\t%s --ignore-case -- "$Q_U" "$CORPUS/sjis"\n' "$q"
  printf 'c1_ja_common\tqf\tlines\t%s -- "$Q_U" "$CORPUS/sjis"\n' "$q"
  printf 'c2_ja_rare\tqf\tlines\t%s -- "$Q_U" "$CORPUS/sjis"\n' "$q"
  printf 'd1_regex_date\tqf\tlines\t%s --type=regex -- "$Q_U" "$CORPUS/sjis"\n' "$q"
  printf 'd2_regex_alt\tqf\tlines\t%s --type=regex -- "$Q_U" "$CORPUS/sjis"\n' "$q"
  printf 'e_fuzzy\tqf\tlines\t%s --type=fuzzy -- "$Q_U" "$CORPUS/sjis"\n' "$q"
  printf 'f_count\tqf\tcount\t%s --count -- "$Q_U" "$CORPUS/sjis"\n' "$q"
  printf 'h_trailbyte\tqf\tlines\t%s -- "$Q_U" "$CORPUS/sjis"\n' "$q"
} > "$extra"

EXTRA=$extra bash "$bench/run-peers.sh" "$corpus" "$out" >&2

# Ratios: every tool's median over qf's median, per query qf took part in.
echo
echo "| query | tool | median s | x qf | matches |"
echo "|---|---|---:|---:|---:|"
awk -F'\t' '
  NR == 1 { next }
  { q[NR] = $1; t[NR] = $3; m[NR] = $4; n[NR] = $10; if ($3 == "qf" && $11 != "(cold)") qf[$1] = $4 }
  END {
    for (i = 2; i <= NR; i++)
      if ((q[i] in qf) && qf[q[i]] > 0)
        printf "| %s | %s | %.3f | %.2f | %s |\n", q[i], t[i], m[i], m[i] / qf[q[i]], n[i]
  }' "$out/summary.tsv"
