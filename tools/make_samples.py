#!/usr/bin/env python3
"""Writes the sample texts under samples/ as Shift-JIS (CP932) with CR LF line ends.

The texts are the project's own. Run from the repository root: tools/make_samples.py
"""
import itertools
import os

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "samples")

SEASONS = [
    ("春", "桜が咲き、新しい年度が始まる。", "花見", "入学式"),
    ("夏", "梅雨が明けると、暑い日が続く。", "花火大会", "夏祭り"),
    ("秋", "木々が色づき、空気が澄んでくる。", "紅葉狩り", "月見"),
    ("冬", "雪が降り、一年が静かに終わる。", "大掃除", "年越しそば"),
]

MEMO_LINES = [
    "Quillfind のサンプルテキストです。",
    "このファイルは Shift-JIS で書かれています。",
    "検索文字列を入力して、フォルダを指定してください。",
    "正規表現検索では [0-9]+ のようなパターンが使えます。",
    "あいまい検索では、一文字違いの語も見つかります。",
    "全角のＡＢＣと半角のABCは、全角半角を区別しない設定で同じになります。",
    "ｶﾀｶﾅ（半角カタカナ）も検索できます。",
    "English words like Running and searches are stemmed when asked.",
    "索引を使うと、二回目以降の検索が速くなります。",
    "東京都千代田区の地図を確認する。",
    "京都の寺院を巡る旅行の計画を立てる。",
    "大阪の食べ物について調べる。",
]

PLACES = ["東京", "京都", "大阪", "札幌", "福岡", "名古屋", "横浜", "神戸", "仙台", "広島"]
THINGS = ["図書館", "美術館", "博物館", "公園", "駅", "市場", "温泉", "神社", "城", "港"]
ACTIONS = ["を訪ねた。", "の写真を撮った。", "で友人に会った。", "の歴史を調べた。", "を散歩した。"]

GLOSSARY = [
    ("検索", "けんさく", "search", "文書の中から文字列を探すこと。"),
    ("索引", "さくいん", "index", "検索を速くするための表。"),
    ("正規表現", "せいきひょうげん", "regular expression", "文字列の集合を表す式。"),
    ("文字コード", "もじこーど", "character code", "文字に割り当てた番号。"),
    ("全角", "ぜんかく", "full-width", "漢字一文字分の幅の文字。"),
    ("半角", "はんかく", "half-width", "全角の半分の幅の文字。"),
    ("辞書", "じしょ", "dictionary", "語の意味を調べる本。"),
    ("区切り", "くぎり", "separator", "レコードやフィールドを分ける文字列。"),
    ("一致率", "いっちりつ", "match rate", "あいまい検索で語がどれだけ似ているか。"),
    ("変換", "へんかん", "conversion", "ある形式を別の形式に変えること。"),
]


def write(rel, lines):
    path = os.path.join(ROOT, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode("cp932"))


def main():
    write("memo.txt", MEMO_LINES)
    seasons = []
    for name, text, event1, event2 in SEASONS:
        seasons += [f"【{name}】", text, f"{name}の行事：{event1}、{event2}。", ""]
    write("seasons.txt", seasons)
    diary = []
    for day, (place, thing, action) in enumerate(
            itertools.islice(itertools.product(PLACES, THINGS, ACTIONS), 0, 500, 3), start=1):
        diary.append(f"{day:03d}日目　{place}の{thing}{action}")
    write("travel/diary.txt", diary)
    write("glossary.tsv.txt",
          ["見出し\t読み\t英語\t説明"] + ["\t".join(row) for row in GLOSSARY])


if __name__ == "__main__":
    main()
