// Compiling a search string: the pattern, the regularised and stemmed forms
// and the signatures the index and fuzzy matching use.
#include "search/search_string.h"

#include "pattern/parser.h"
#include "pattern/requirements.h"
#include "search/regex_signature.h"
#include "search/search_output.h"
#include "search/stable_grams.h"
#include "support/message_service.h"
#include "text/regularize.h"
#include "text/sjis.h"

namespace {

// 有効な文字がありません
constexpr char kNoValidChars[] =
    "\x97\x4C\x8C\xF8\x82\xC8\x95\xB6\x8E\x9A\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";
// ファジーには長さ不足:[%s]
constexpr char kTooShortForFuzzy[] =
    "\x83\x74\x83\x40\x83\x57\x81\x5B\x82\xC9\x82\xCD\x92\xB7\x82\xB3\x95\x73\x91\xAB:[%s]\n";

// Fuzzy matching needs this many characters unless whole fields are matched.
constexpr int32_t kFuzzyMinLength = 4;

uint32_t patternFlags(const SearchKeys& s) {
    uint32_t flags = 0;
    if (s.ignoreCase) flags |= RexIgnoreCase;
    if (s.words) flags |= RexWords;
    if (s.ignoreWidth) flags |= RexIgnoreWidth;
    return flags;
}

LStr anchoredIf(bool anchor, std::string_view pattern) {
    LStr text;
    if (anchor) text.append('^');
    text.append(pattern);
    if (anchor) text.append('$');
    return text;
}

int32_t charCount(std::string_view text) {
    int32_t n = 0;
    for (size_t pos = 0; pos < text.size(); pos += charLength(text, pos)) ++n;
    return n;
}

// The index signature of a regular expression. Pattern text that switches
// width folding on inside counts as ignoring width; ignorable text between
// the literal pieces is not in the requirement tree, so such a pattern gets
// no signature.
void deriveRegexSignatures(TSchStr& str, std::string_view pattern, const SearchKeys& s) {
    if (pattern.find("{@ign") != std::string_view::npos) return;
    const bool anyWidth = s.ignoreWidth || pattern.find("{@iz}") != std::string_view::npos;
    auto top = patternRequirements(str.schRex.get());
    RegexSignatures sigs = regexSignatures(*top, anyWidth);
    str.regulSig = sigs.regulSig;
    str.literalSigs = std::move(sigs.literalSigs);
}

// The index signature of a literal search string. Fuzzy matching and the
// stem comparison work on whole regularised words, so they take all grams of
// the regularised form; a plain literal (also a regular expression compiled
// as one) may lie inside longer words of the text, so it takes only the
// grams that survive there.
GramSignature literalSignature(const TSchStr& str, const SearchKeys& s) {
    const bool wholeWords = s.fuzzy() || (s.stem && !s.regex());
    if (wholeWords) return signatureOf(str.schRegulStr);
    GramSignature sig;
    const bool open = !s.words;  // words only: no letter may adjoin the match
    addStableGrams(sig, str.schStr.view(), GramContext{open, open, s.ignoreWidth});
    return sig;
}

void compileLiteralString(TSchStr& str, const SearchKeys& s, uint32_t flags) {
    str.schRex = compileRex(anchoredIf(s.fieldMatch, escapeLiteral(str.schStr)).view(), flags);
    if (s.useIndex || s.fuzzy()) {
        regularize(str.schStr.view(), kIndexFolding, str.schRegulStr);
        str.regulSig = literalSignature(str, s);
    }
    if (s.stem) {
        regularize(str.schStr.view(), FoldFlags{s.ignoreCase, s.ignoreWidth}, str.schStemStr);
        if (str.schStemStr.empty()) outputMessageText(kNoValidChars);
    }
}

// Fuzzy tolerance and the fallback to a normal search for short strings.
bool settleFuzzy(TSchStr& str, const SearchKeys& s) {
    const int32_t length = charCount(str.schRegulStr.view());
    if (s.minRate < 100) str.tolBits = (100 - s.minRate) * length / 100 + 2;
    const int32_t minLength = s.fieldMatch ? 0 : kFuzzyMinLength;
    if (str.regulSig && length >= minLength) return false;
    str.regulSig.reset();
    debugLog(kTooShortForFuzzy, str.schStr.c_str());
    return true;
}

}  // namespace

LStr TSchLine::dump() const {
    return formatText("TSchLine:[%s], hitCnt=%d, schStrNo=%d", line.c_str(), hitCnt, schStrNo);
}

bool TSchStr::fuzzyInForce(const SearchKeys& keys) const {
    return keys.fuzzy() && regulSig.has_value();
}

LStr TSchStr::dump() const {
    LStr rex;
    if (schRex) schRex->dump(rex, 0);
    LStr out = formatText("schStr=[%s], schRex=[%s], schRegulStr=[%s], schStemStr=[%s]",
                          schStr.c_str(), rex.c_str(), schRegulStr.c_str(), schStemStr.c_str());
    out.append(formatText(", tolBits=%d, schStrNo=%d", tolBits, schStrNo).view());
    if (schLine) out.append(formatText(", schLine=[%s]", schLine->dump().c_str()).view());
    return out;
}

SearchStringResult compileSearchString(std::string_view text, const SearchKeys& keys,
                                       TSchLine* line, int32_t number) {
    SearchStringResult result{std::make_unique<TSchStr>(), false, false};
    const int defectsBefore = threadDefectCount();
    TSchStr& str = *result.str;
    str.schStrNo = number;
    str.schLine = line;
    str.schStr = text;
    if (keys.ignoreCase) asciiToLower(str.schStr);
    const uint32_t flags = patternFlags(keys);

    if (keys.regex() && !keys.literalOnce) {
        // The pattern keeps the text as typed: lowering it would turn escapes
        // such as \W or \D into their opposites; the ignore-case flag folds.
        LStr pattern = anchoredIf(keys.fieldMatch, text);
        str.schRex = compileRex(pattern.view(), flags);
        if (keys.useIndex) deriveRegexSignatures(str, pattern.view(), keys);
    } else {
        compileLiteralString(str, keys, flags);
    }
    if (str.regulSig && str.regulSig->none()) str.regulSig.reset();
    if (keys.fuzzy()) result.fuzzyFallback = settleFuzzy(str, keys);
    result.defective = threadDefectCount() != defectsBefore;
    return result;
}

LStr escapeLiteral(std::string_view text) {
    return escapeRex(text);
}

std::unique_ptr<TSchStr> copySearchString(const TSchStr& str) {
    auto copy = std::make_unique<TSchStr>();
    copy->schStr = str.schStr;
    if (str.schRex) copy->schRex = str.schRex->clone();
    copy->schRegulStr = str.schRegulStr;
    copy->schStemStr = str.schStemStr;
    copy->regulSig = str.regulSig;
    copy->literalSigs = str.literalSigs;
    copy->tolBits = str.tolBits;
    copy->schStrNo = str.schStrNo;
    copy->schLine = str.schLine;
    return copy;
}
