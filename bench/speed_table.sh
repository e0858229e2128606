#!/usr/bin/env bash
# speed_table.sh -- qf beside its peers on the Shift-JIS benchmark corpus, one
# hyperfine run per row (so each ratio comes from one run), warm cache, count
# mode, every tool's output read through a pipe. Prints a Markdown table:
# qf's median, the peer's, and qf / peer. Peers search the *.txt files only,
# as qf does.
#
# Environment:
#   QF_CORPUS=DIR  corpus made by the shared make-corpus.sh (default /tmp/qf-corpus)
#   QF=PATH        the qf binary (default build/qf)
#   RUNS=N         hyperfine runs per command at least (default 5); fast
#                  commands run for three seconds, so their medians hold still
#   ONLY=REGEX     only rows whose name matches
# Needs hyperfine, ripgrep, ugrep and jq.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${QF_CORPUS:-/tmp/qf-corpus}
qf=$(realpath "${QF:-$root/build/qf}")
runs=${RUNS:-5}
only=${ONLY:-.}
for t in hyperfine rg ugrep jq iconv; do
  command -v $t >/dev/null || { echo "missing $t" >&2; exit 1; }
done
[ -d "$corpus/sjis" ] || { echo "no corpus at $corpus (see bench/run_peers.sh)" >&2; exit 1; }
work=$(mktemp -d /tmp/qf-speed.XXXXXX)
trap 'rm -rf "$work"' EXIT
S=$corpus/sjis
U=$corpus/utf8
q="$qf --no-config --raw --quiet -r --files=*.txt --count"
one="$q --threads=1"
"$qf" --help 2>/dev/null | grep -q -- --threads || one=$q
sj() { printf %s "$1" | iconv -f utf-8 -t cp932; }

# row NAME QF_COMMAND PEER_NAME PEER_COMMAND [PREPARE]
row() {
  local name=$1 mine=$2 peer=$3 theirs=$4 prepare=${5:-}
  [[ $name =~ $only ]] || return 0
  local args=(-N -i --output=pipe -w 1 -m "$runs" --export-json "$work/row.json")
  [ -n "$prepare" ] && args+=(--prepare "$prepare")
  hyperfine "${args[@]}" "$mine" "$theirs" >/dev/null 2>&1 ||
    { echo "| $name | failed | $peer | | |"; return 0; }
  jq -r --arg name "$name" --arg peer "$peer" \
    '.results as $r | "| \($name) | \($r[0].median | .*1000 | round / 1000) | \($peer) | \($r[1].median | .*1000 | round / 1000) | \(($r[0].median / $r[1].median) * 100 | round / 100) |"' \
    "$work/row.json"
}

echo "| search | qf s | peer | peer s | qf / peer |"
echo "|---|---:|---|---:|---:|"
row "literal 日本" "$one 日本 $S" "rg -j1 -E shift_jis" "rg -j1 -g *.txt -E shift_jis -c 日本 $S"
raw="(?-u)$(sj 日本 | od -An -tx1 | tr -d ' \n' | sed 's/../\\x&/g')"
row "literal 日本 (raw bytes)" "$one 日本 $S" "rg -j1 raw" "rg -j1 -g *.txt -c $raw $S"
row "literal Shinkansen" "$one --match-case Shinkansen $S" "rg -j1 -E shift_jis" "rg -j1 -g *.txt -E shift_jis -c Shinkansen $S"
row "literal Shinkansen, ignore case" "$one --ignore-case Shinkansen $S" "rg -j1 -E shift_jis -i" "rg -j1 -g *.txt -E shift_jis -i -c Shinkansen $S"
row "regex カーネル\\|ドライバ\\|モジュール" "$one --type=regex カーネル|ドライバ|モジュール $S" "rg -j1 -E shift_jis" "rg -j1 -g *.txt -E shift_jis -c カーネル|ドライバ|モジュール $S"
row "regex [0-9]{4}-[0-9]{2}" "$one --type=regex [0-9]{4}-[0-9]{2} $S" "rg -j1 -E shift_jis" "rg -j1 -g *.txt -E shift_jis -c [0-9]{4}-[0-9]{2} $S"
row "regex (東京\\|大阪)(都\\|府\\|駅)" "$one --type=regex (東京|大阪)(都|府|駅) $S" "rg -j1 -E shift_jis" "rg -j1 -g *.txt -E shift_jis -c (東京|大阪)(都|府|駅) $S"
row "UTF-8 copy: 東京" "$one 東京 $U" "qf on the Shift-JIS copy" "$one 東京 $S"
ix="--index --set ixfDir=$work/ix"
"$qf" --no-config --raw --quiet -r --files='*.txt' --count $ix --type=fuzzy ファイルジステム "$S" >/dev/null 2>&1 || true
row "fuzzy ファイルジステム (index built)" "$one $ix --type=fuzzy ファイルジステム $S" "ugrep -J1 -Z1 on UTF-8" "ugrep -J1 -Z1 -c -r -I --include=*.txt ファイルジステム $U"
row "indexed repeat ネットワーク" "$one $ix ネットワーク $S" "qf without index" "$one ネットワーク $S"
row "indexed repeat 新幹線 (rare)" "$one $ix 新幹線 $S" "qf without index" "$one 新幹線 $S"
row "first indexed search (building)" "$one --index --set ixfDir=$work/ix2 ネットワーク $S" "qf without index" "$one ネットワーク $S" "rm -rf $work/ix2"
row "all cores: 日本" "$q 日本 $S" "rg -E shift_jis" "rg -g *.txt -E shift_jis -c 日本 $S"
printf 'a%.0s' $(seq 30) > "$work/a30.txt"
printf '\n' >> "$work/a30.txt"
row "(a\\|aa)*c on 30 a" "$one --type=regex (a|aa)*c $work" "rg -j1" "rg -j1 -g *.txt -c (a|aa)*c $work"
text=$(du -sk "$S" | cut -f1)
du -sk "$work/ix" | awk -v text="$text" '{printf "\nindex: %d KiB for %d KiB of text (%.2f MB per MB)\n", $1, text, $1 / text}'
