#!/usr/bin/env python3
"""Output equivalence of qf: runs a fixed set of searches with `qf --raw` over
a small generated Shift-JIS corpus and compares the bytes with stored outputs
or with those of a reference build. A change to the matcher that keeps every
result keeps every byte.

    tools/equivalence.py QF --expected DIR            # compare with DIR/*.out
    tools/equivalence.py QF --expected DIR --update   # (re)write DIR/*.out
    tools/equivalence.py QF --reference QF_REF        # compare two builds

Exits 1 and names each search whose output differs.
"""

import argparse
import os
import pathlib
import subprocess
import sys
import tempfile

# Words the lines are drawn from: kanji, kana, half-width katakana, full-width
# and half-width Latin letters in both cases, digits and symbols, so that the
# folding options and the character classes all meet something.
WORDS = [
    "東京", "大阪", "検索", "文字列", "ファイル", "ﾌｧｲﾙ", "ｶﾀｶﾅ", "カタカナ", "ひらがな",
    "データ", "全角", "ＡＢＣ", "ａｂｃ", "ABC", "abc", "Search", "search", "SEARCH",
    "processing", "process", "relations", "running", "foo", "bar", "foobar",
    "aaab", "abab", "xyzzy", "2024年", "１２３", "123", "3.14", "(a)", "[b]",
    "東京都", "京都", "都市", "日本語", "にほんご", "ニホンゴ", "abcabc", "aaaa",
]
SEPARATORS = [" ", " ", " ", "、", "。", ",", "\t", ""]

# name -> qf options and search string (the folder is added by run()).
SEARCHES = [
    ("normal_kanji", ["東京"]),
    ("normal_ascii", ["search"]),
    ("normal_ignore_case", ["--ignore-case", "search"]),
    ("normal_match_case", ["--match-case", "Search"]),
    ("normal_ignore_width", ["--ignore-width", "abc"]),
    ("normal_width_kana", ["--ignore-width", "カタカナ"]),
    ("normal_words", ["--words", "process"]),
    ("normal_stem", ["--stem", "process"]),
    ("normal_count", ["--count", "京都"]),
    ("regex_alternation", ["-t", "regex", "東京|大阪|foo(bar)?"]),
    ("regex_class", ["-t", "regex", "[0-9０-９]+年?"]),
    ("regex_negated_class", ["-t", "regex", "[^ a-z]{3}[0-9]"]),
    ("regex_repeat", ["-t", "regex", "(ab)+[ac]"]),
    ("regex_lazy", ["-t", "regex", "f.*?r"]),
    ("regex_backref", ["-t", "regex", "(ab|aa)\\1"]),
    ("regex_backref_named", ["-t", "regex", "([a-z]{3}){=w}{:w}"]),
    ("regex_lookahead", ["-t", "regex", "foo(?=bar)"]),
    ("regex_lookbehind", ["-t", "regex", "(?<=東京)都"]),
    ("regex_neg_lookbehind", ["-t", "regex", "(?<!東)京"]),
    ("regex_anchors", ["-t", "regex", "^[a-z]+\\b"]),
    ("regex_ignore_case", ["-t", "regex", "--ignore-case", "s[a-e]+rch"]),
    ("regex_ignore_width", ["-t", "regex", "--ignore-width", "[a-c]{3}"]),
    ("regex_nested_repeat", ["-t", "regex", "(a|aa)*ba"]),
    ("regex_atomic", ["-t", "regex", "(?>a+)ba"]),
    ("fuzzy", ["--type=fuzzy", "ファイル検索"]),
    ("fuzzy_ascii", ["--type=fuzzy", "processimg"]),
    ("fuzzy_match_case", ["--type=fuzzy", "--match-case", "--min-rate=60", "SEARHC"]),
]
INDEXED = ["normal_kanji", "normal_ignore_case", "regex_alternation", "regex_class",
           "regex_backref", "regex_lookbehind", "normal_stem"]


def lcg(seed):
    # Park-Miller: the corpus is the same on every machine and Python version.
    while True:
        seed = seed * 16807 % 2147483647
        yield seed


def make_corpus(root):
    rnd = lcg(20240607)
    for f in range(4):
        lines = []
        for _ in range(30):
            n = next(rnd) % 9 + 1
            words = [WORDS[next(rnd) % len(WORDS)] + SEPARATORS[next(rnd) % len(SEPARATORS)]
                     for _ in range(n)]
            lines.append("".join(words).strip())
        end = "\r\n" if f % 2 else "\n"
        sub = root / ("sub" if f >= 3 else "")
        sub.mkdir(parents=True, exist_ok=True)
        (sub / f"text{f}.txt").write_bytes((end.join(lines) + end).encode("cp932"))


def run(qf, root, cache, args):
    cmd = [qf, "--raw", "--no-config", "--quiet", "-r"] + args + ["corpus"]
    env = dict(os.environ, XDG_CACHE_HOME=str(cache), XDG_CONFIG_HOME=str(cache / "config"),
               LC_ALL="C.UTF-8")
    p = subprocess.run(cmd, cwd=root, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return b"status %d\n" % p.returncode + p.stdout + b"\nstderr:\n" + p.stderr


def outputs(qf, work):
    root = pathlib.Path(work)
    make_corpus(root / "corpus")
    result = {}
    for name, args in SEARCHES:
        result[name] = run(qf, root, root / "cache-plain", args)
    for name, args in SEARCHES:
        if name in INDEXED:
            # The first run writes the index, the second reads it.
            for round_ in ("build", "read"):
                out = run(qf, root, root / "cache-index", ["--index"] + args)
                result[f"{name}.index.{round_}"] = out
    return result


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("qf")
    ap.add_argument("--expected")
    ap.add_argument("--reference")
    ap.add_argument("--update", action="store_true")
    a = ap.parse_args()
    with tempfile.TemporaryDirectory() as work:
        got = outputs(os.path.abspath(a.qf), work)
    if a.reference:
        with tempfile.TemporaryDirectory() as work:
            want = outputs(os.path.abspath(a.reference), work)
    else:
        folder = pathlib.Path(a.expected)
        if a.update:
            folder.mkdir(parents=True, exist_ok=True)
            for name, out in got.items():
                if ".index." not in name:
                    (folder / f"{name}.out").write_bytes(out)
            return 0
        # A search through the index gives the bytes of the one without it.
        files = {name: folder / (name.split(".")[0] + ".out") for name in got}
        want = {name: f.read_bytes() if f.exists() else b"(missing)" for name, f in files.items()}
    bad = [name for name in got if got[name] != want[name]]
    for name in bad:
        print(f"differs: {name}", file=sys.stderr)
    print(f"{len(got) - len(bad)} of {len(got)} searches give the same bytes")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
