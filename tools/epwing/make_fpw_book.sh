#!/bin/bash
# make_fpw_book.sh ENTRIES FOLDER: builds an EPWING book of ENTRIES generated
# entries with FreePWING in FOLDER/work and leaves the book in FOLDER/book
# (catalogs, quill/data/honmon), ready for libeb and for qf.
set -euo pipefail
entries=$1
folder=$(mkdir -p "$2" && cd "$2" && pwd)
work=$folder/work
rm -rf "$work" "$folder/book"
mkdir -p "$work"
cd "$work"

cat > fpwquill <<'PERL'
use FreePWING::FPWUtils::FPWParser;
initialize_fpwparser('text' => \$text, 'heading' => \$heading, 'word2' => \$word2,
                     'copyright' => \$copyright);
$copyright->add_text("Quillfind test book") || die $copyright->error_message() . "\n";
open(SOURCE, "< source.txt") || die "source.txt: $!\n";
while (<SOURCE>) {
    chomp;
    my ($head, @lines) = split(/\t/, $_);
    $text->new_entry() || die $text->error_message() . "\n";
    $heading->new_entry() || die $heading->error_message() . "\n";
    $heading->add_text($head) || die $heading->error_message() . "\n";
    $text->add_keyword_start() && $text->add_text($head) && $text->add_keyword_end()
        && $text->add_newline() || die $text->error_message() . "\n";
    foreach my $line (@lines) {
        $text->add_text($line) && $text->add_newline() || die $text->error_message() . "\n";
    }
    $word2->add_entry($head, $heading->entry_position(), $text->entry_position())
        || die $word2->error_message() . "\n";
}
close(SOURCE);
finalize_fpwparser('text' => \$text, 'heading' => \$heading, 'word2' => \$word2,
                   'copyright' => \$copyright);
PERL
printf 'FPWPARSER = fpwquill\nSOURCES = source.txt\nDIR = quill\ninclude fpwutils.mk\n' > Makefile
printf '[Catalog]\nFileName = catalogs\nType = EPWING1\nBooks = 1\n\n[Book]\nTitle = "試験辞書"\nBookType = 6001\nDirectory = "QUILL"\n' |
    iconv -f UTF-8 -t EUC-JP > catalogs.txt

# Entries of kana, kanji, full-width and plain ASCII text, one to three lines.
kana=(あかね いろは うみ えだ おと かぜ きり くも けしき こえ)
kanji=(東京 大阪 果物 辞書 検索 漢字 電子 書籍 本文 見出し)
for ((i = 0; i < entries; i++)); do
    line="${kana[i % 10]}${kana[(i / 10) % 10]}$i"
    line+=$'\t'"${kanji[i % 10]}の説明　第$i項"
    ((i % 3 == 0)) && line+=$'\t'"English words $i and ＦＵＬＬ　ｗｉｄｔｈ"
    ((i % 4 == 1)) && line+=$'\t'"${kanji[(i + 3) % 10]}と${kanji[(i + 7) % 10]}"
    printf '%s\n' "$line"
done | iconv -f UTF-8 -t EUC-JP > source.txt

fpwmake > make.log 2>&1 || { cat make.log >&2; exit 1; }
fpwmake catalogs >> make.log 2>&1 || { cat make.log >&2; exit 1; }
mkdir -p "$folder/book/quill/data"
cp catalogs "$folder/book/"
cp honmon "$folder/book/quill/data/"
