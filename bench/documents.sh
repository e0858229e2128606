#!/usr/bin/env bash
# documents.sh [DOCUMENT_QUERY [CORPUS_QUERY]] -- times qf's document
# conversion and its reading of UTF-8 text:
#  (a) for each document type LibreOffice can make here, the first search of
#      a document of a few MB of the corpus' Japanese text (converting it,
#      keepCnvTxt on) for DOCUMENT_QUERY (default ファイル), in seconds per
#      MiB of document, and the hits (the same in every type but PDF, whose
#      lines break where the page does);
#  (b) that a second search converts nothing (the converted text keeps its
#      inode and mtime), and its time;
#  (c) a search for CORPUS_QUERY (default 東京, few hits: the reading counts,
#      not the output) of the corpus' UTF-8 copy against the same search of
#      its Shift-JIS copy, and their ratio (target: at most 1.5).
#
# Environment:
#   QF_CORPUS=DIR   corpus made by the shared make-corpus.sh (default
#                   /tmp/qf-corpus): the text of the documents comes from its
#                   sjis/ tree, and (c) searches sjis/ and utf8/
#   QF=PATH         the qf binary (default build/qf)
#   DOC_MB=N        MiB of UTF-8 text per document (default 2)
#   RUNS=N          runs per timing after one warm-up run; their median is
#                   shown (default 3)
# Needs soffice (LibreOffice writer, calc and impress) for (a) and (b);
# uses hyperfine when it is installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${QF_CORPUS:-/tmp/qf-corpus}
qf=${QF:-$root/build/qf}
doc_mb=${DOC_MB:-2}
runs=${RUNS:-3}
query=${1:-ファイル}
corpus_query=${2:-東京}
for tree in sjis utf8; do
  [ -d "$corpus/$tree" ] || { echo "no $corpus/$tree (see shared/bench/make-corpus.sh)" >&2; exit 1; }
done
[ -x "$qf" ] || { echo "no qf at $qf (set QF or run scripts/build.sh)" >&2; exit 1; }
qf=$(cd "$(dirname "$qf")" && pwd)/$(basename "$qf")

work=$(mktemp -d /tmp/qf-documents-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8

# ---- the documents ----------------------------------------------------------

ns='xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2"'

# DOC_MB MiB of the corpus' lines that hold Japanese, in UTF-8, escaped for
# XML and without the control characters XML does not allow.
corpus_lines() {
  find "$corpus/sjis" -type f -name 'doc*' | sort | xargs cat | iconv -c -f CP932 -t UTF-8 |
    tr -d '\000-\010\013-\037' | grep -a '[^ -~]' |
    sed -e 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g' |
    awk -v max=$((doc_mb * 1048576)) '{ n += length($0) + 1; if (n > max) exit; print }' ||
    true  # the readers before awk end by SIGPIPE
}

flat() {  # flat MIMETYPE < BODY
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<office:document %s office:mimetype="application/vnd.oasis.opendocument.%s"><office:body>' "$ns" "$1"
  cat
  printf '</office:body></office:document>\n'
}

# A paragraph per line.
make_fodt() {
  { echo '<office:text>'; awk '{ print "<text:p>" $0 "</text:p>" }'; echo '</office:text>'; } |
    flat text
}
# Three sheets; each line a row of its first word and the rest.
make_fods() {
  awk -v lines="$1" 'BEGIN { print "<office:spreadsheet>" }
    NR % int(lines / 3 + 1) == 1 { if (NR > 1) print "</table:table>"
                                   printf "<table:table table:name=\"S%d\">\n", ++s }
    { rest = $0; sub(/^[ \t]*[^ \t]+[ \t]*/, "", rest)
      printf "<table:table-row>%s%s</table:table-row>\n", c($1), c(rest) }
    function c(v) { return "<table:table-cell office:value-type=\"string\"><text:p>" v "</text:p></table:table-cell>" }
    END { print "</table:table></office:spreadsheet>" }' | flat spreadsheet
}
# A slide per 30 lines, in one text box.
make_fodp() {
  awk 'BEGIN { print "<office:presentation>" }
    NR % 30 == 1 { if (NR > 1) print "</draw:text-box></draw:frame></draw:page>"
      printf "<draw:page draw:name=\"p%d\"><draw:frame svg:x=\"1cm\" svg:y=\"1cm\" svg:width=\"26cm\" svg:height=\"18cm\"><draw:text-box>\n", NR }
    { print "<text:p>" $0 "</text:p>" }
    END { print "</draw:text-box></draw:frame></draw:page></office:presentation>" }' | flat presentation
}

soffice_convert() {  # soffice_convert FORMAT SOURCE: makes made/FORMAT.FORMAT
  local base=${2##*/}
  soffice --headless --norestore "-env:UserInstallation=file://$work/profile" \
    --convert-to "$1" --outdir "$work/out" "$2" >/dev/null 2>&1 || true
  mv "$work/out/${base%.*}.$1" "$work/made/$1.$1" 2>/dev/null || true
}

make_documents() {
  mkdir -p "$work/src" "$work/out" "$work/made"
  corpus_lines > "$work/lines"
  [ -s "$work/lines" ] || { echo "no Japanese lines in $corpus/sjis" >&2; exit 1; }
  local lines
  lines=$(wc -l < "$work/lines")
  make_fodt < "$work/lines" > "$work/src/text.fodt"
  make_fods "$lines" < "$work/lines" > "$work/src/sheets.fods"
  make_fodp < "$work/lines" > "$work/src/slides.fodp"
  for f in docx odt pdf rtf doc; do soffice_convert "$f" "$work/src/text.fodt"; done
  for f in xlsx ods; do soffice_convert "$f" "$work/src/sheets.fods"; done
  soffice_convert pptx "$work/src/slides.fodp"
}

# ---- timing -------------------------------------------------------------------

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
seconds() {  # seconds PREPARE COMMAND...: median over RUNS, PREPARE before each
  local prepare=$1; shift
  if command -v hyperfine >/dev/null; then
    printf '%q ' "$@" > "$work/command.sh"  # no Japanese inside hyperfine's command line
    hyperfine -i --style none --warmup 1 --runs "$runs" --prepare "$prepare" --export-csv "$work/t.csv" \
      --output=pipe -- "bash $work/command.sh" >/dev/null 2>&1
    awk -F, 'NR == 2 { printf "%.3f\n", $4 }' "$work/t.csv"
    return
  fi
  "$@" >/dev/null 2>&1 || true  # warm-up: the files in the page cache
  for _ in $(seq "$runs"); do
    bash -c "$prepare"
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
  done | median
}
converted_texts() { find "$1" -type f -name '*.txt' -printf "$2" 2>/dev/null || true; }
identity() { converted_texts "$1" '%i %T@ %p\n' | sort; }
summary_hits() {  # the hit count of a result text on stdin
  tail -c 200 | iconv -c -f CP932 -t UTF-8 | grep -o '発見数 [0-9]*' | tail -1 | cut -d' ' -f2
}
hits() { "$qf" --raw --no-config --quiet -r --files='*.*' "$@" | summary_hits; }

status=0
command -v soffice >/dev/null || echo "no soffice: (a) and (b) are left out" >&2
if command -v soffice >/dev/null; then
  echo "making documents of $doc_mb MiB of text with soffice..." >&2
  make_documents
  echo "documents: $doc_mb MiB of UTF-8 text each, query $query, median of $runs runs"
  echo
  echo "| type | document KiB | converted KiB | hits | first search s | s per MiB | second search s | second converts |"
  echo "|---|---:|---:|---:|---:|---:|---:|---|"
  for ext in docx xlsx odt ods pptx pdf rtf doc; do
    doc=$work/made/$ext.$ext
    [ -f "$doc" ] || { echo "| $ext | (soffice made none) | | | | | | |"; continue; }
    dir=$work/one/$ext ix=$work/ix/$ext
    mkdir -p "$dir" && cp "$doc" "$dir/"
    search=("$qf" --raw --no-config --quiet --files='*.*' --set "ixfDir=$ix" --set keepCnvTxt=1 -- "$query" "$dir")
    first=$(seconds "rm -rf '$ix'" "${search[@]}")
    "${search[@]}" > "$work/result" 2>/dev/null || true
    found=$(summary_hits < "$work/result")
    before=$(identity "$ix")
    second=$(seconds "true" "${search[@]}")
    after=$(identity "$ix")
    size=$(stat -c %s "$doc")
    converted=$(converted_texts "$ix" '%s\n' | awk '{ n += $1 } END { print n + 0 }')
    again=nothing; [ "$before" = "$after" ] || { again=CONVERTS; status=1; }
    [ "$converted" -gt 0 ] || again="(read as bytes)"
    awk -v e="$ext" -v s="$size" -v c="$converted" -v h="$found" -v f="$first" -v t="$second" \
      -v a="$again" 'BEGIN { printf "| %s | %d | %d | %s | %.3f | %.3f | %.3f | %s |\n",
                             e, s / 1024, c / 1024, h, f, f / (s / 1048576), t, a }'
  done
  echo
fi

# ---- UTF-8 against Shift-JIS --------------------------------------------------

sjis_s=$(seconds true "$qf" --raw --no-config --quiet -r --files='*.*' -- "$corpus_query" "$corpus/sjis")
utf8_s=$(seconds true "$qf" --raw --no-config --quiet -r --files='*.*' -- "$corpus_query" "$corpus/utf8")
sjis_hits=$(hits -- "$corpus_query" "$corpus/sjis")
utf8_hits=$(hits -- "$corpus_query" "$corpus/utf8")
echo "corpus: $corpus, query $corpus_query, median of $runs runs"
echo
echo "| corpus copy | KiB | hits | search s |"
echo "|---|---:|---:|---:|"
echo "| sjis/ | $(du -sk "$corpus/sjis" | cut -f1) | $sjis_hits | $sjis_s |"
echo "| utf8/ | $(du -sk "$corpus/utf8" | cut -f1) | $utf8_hits | $utf8_s |"
echo
awk -v u="$utf8_s" -v s="$sjis_s" \
  'BEGIN { r = u / s; printf "UTF-8 / Shift-JIS: %.2f (target <= 1.5: %s)\n", r, r <= 1.5 ? "met" : "MISSED" }'
[ "$sjis_hits" = "$utf8_hits" ] || { echo "the two copies give different hit counts" >&2; exit 1; }
exit $status
