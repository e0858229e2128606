#!/usr/bin/env bash
# fuzzy_peers.sh -- times a fuzzy search of qf against ugrep -Z1 on the
# benchmark corpus, with hyperfine, and counts what each one finds.
#
# The search word is a Japanese word of the corpus with one character
# changed (default ファイルジステム for ファイルシステム). ugrep cannot decode
# Shift-JIS, so it searches the UTF-8 copy of the corpus (utf8/) for the UTF-8
# form of the word, while qf searches the Shift-JIS tree (sjis/).
#
# The two define a hit differently: ugrep -Z1 reports every line holding a
# stretch within edit distance 1 of the word, at any position; qf reports
# every record (here: a run of text between line ends) holding a window whose
# aligned characters reach the minimum rate (--min-rate, default 75; one
# changed character of eight rates 87). qf keeps an index of the tree, built
# by its first fuzzy search: the "cold" row times runs that start without it.
#
# Environment:
#   QF_CORPUS=DIR     corpus folder with sjis/ and utf8/ (default /tmp/qf-corpus)
#   QF=PATH           the qf binary (default build/qf)
#   WORD=TEXT         the search word in UTF-8 (default ファイルジステム)
#   MIN_RATE=N        qf's minimum rate (default 75)
#   RUNS=N, WARMUP=N  hyperfine runs and warm-up runs (default 5 and 1)
#   QF_BENCH_OUT=DIR  results: hyperfine JSON and Markdown (default /tmp/qf-bench-results)
# Needs the Debian packages hyperfine, ugrep and jq.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${QF_CORPUS:-/tmp/qf-corpus}
qf=${QF:-$root/build/qf}
word=${WORD:-ファイルジステム}
min_rate=${MIN_RATE:-75}
runs=${RUNS:-5}
warmup=${WARMUP:-1}
out=${QF_BENCH_OUT:-/tmp/qf-bench-results}

for tool in hyperfine ugrep jq; do
  command -v $tool > /dev/null || { echo "missing $tool (apt-get install -y hyperfine ugrep jq)" >&2; exit 1; }
done
for tree in sjis utf8; do
  [ -d "$corpus/$tree" ] || { echo "no $corpus/$tree (see shared/bench/make-corpus.sh)" >&2; exit 1; }
done
[ -x "$qf" ] || { echo "no qf binary at $qf (set QF)" >&2; exit 1; }
qf=$(cd "$(dirname "$qf")" && pwd)/$(basename "$qf")

mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ix=$work/ix  # qf's index folder for this benchmark only
export QF_WORD=$word QF_IX=$ix QF_BIN=$qf QF_SJIS=$corpus/sjis QF_UTF8=$corpus/utf8 QF_MIN=$min_rate

# Commands read the word and paths from the environment, so that no
# Japanese text sits inside the command lines hyperfine prints.
# shellcheck disable=SC2016  # expanded later, by the shell that runs them
{
  qf_cmd='"$QF_BIN" --raw --no-config --quiet -r --files="*.*" --type=fuzzy --min-rate="$QF_MIN" --set ixfDir="$QF_IX" -- "$QF_WORD" "$QF_SJIS"'
  ug_cmd='ugrep -r -a -n -Z1 -e "$QF_WORD" "$QF_UTF8"'
  ug1_cmd='ugrep -J1 -r -a -n -Z1 -e "$QF_WORD" "$QF_UTF8"'
}

# Matches: qf result lines (each begins its record text with font marker 2),
# ugrep output lines.
qf_hits=$(sh -c "$qf_cmd" | LC_ALL=C grep -a -o $'\x012 ' | wc -l || true)
ug_hits=$(sh -c "$ug_cmd" | wc -l || true)

# Output goes through a pipe: ugrep, like grep, stops at its first match when
# it sees that its output is /dev/null.
hyperfine --style basic --output=pipe -i --warmup "$warmup" --runs "$runs" \
  --export-json "$out/fuzzy-warm.json" \
  -n qf-fuzzy "$qf_cmd" -n ugrep-Z1 "$ug_cmd" -n ugrep-Z1-J1 "$ug1_cmd" >&2
# shellcheck disable=SC2016
hyperfine --style basic --output=pipe -i --runs 3 --prepare 'rm -rf "$QF_IX"' \
  --export-json "$out/fuzzy-cold.json" -n qf-fuzzy-cold "$qf_cmd" >&2

field() {  # field FILE NAME KEY: a value of one command's hyperfine result
  jq -r --arg n "$2" --arg k "$3" '.results[] | select(.command == $n) | .[$k]' "$1"
}
row() {  # row LABEL TREE FILE NAME MATCHES
  printf '| %s | %s | %.3f | %.3f | %s |\n' "$1" "$2" "$(field "$3" "$4" median)" \
    "$(field "$3" "$4" user)" "$5"
}
warm=$out/fuzzy-warm.json
{
  echo "fuzzy search for $word (min rate $min_rate) on $corpus; runs=$runs warmup=$warmup"
  echo
  echo "| command | tree | median s | user s (mean) | matches |"
  echo "|---|---|---:|---:|---:|"
  row "qf --type=fuzzy, index kept" sjis "$warm" qf-fuzzy "$qf_hits"
  row "qf --type=fuzzy, index built first" sjis "$out/fuzzy-cold.json" qf-fuzzy-cold "$qf_hits"
  row "ugrep -Z1" utf8 "$warm" ugrep-Z1 "$ug_hits"
  row "ugrep -Z1 -J1" utf8 "$warm" ugrep-Z1-J1 "$ug_hits"
} | tee "$out/fuzzy-summary.md"
