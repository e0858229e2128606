// Compiling a search string: the pattern, the regularised and stemmed forms
// and the signatures the index and fuzzy matching use.
#include "search/search_string.h"

#include "config/app_settings.h"
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

uint32_t patternFlags(const AppSettings& s) {
    uint32_t flags = 0;
    if (s.schICaseF) flags |= RexIgnoreCase;
    if (s.schWord) flags |= RexWords;
    if (s.schIZhF) flags |= RexIgnoreWidth;
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
void deriveRegexSignatures(TSchStr& str, std::string_view pattern, const AppSettings& s) {
    if (pattern.find("{@ign") != std::string_view::npos) return;
    const bool anyWidth = s.schIZhF || pattern.find("{@iz}") != std::string_view::npos;
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
GramSignature literalSignature(const TSchStr& str, const AppSettings& s) {
    const bool wholeWords = s.schType == AppSettings::kFuzzySearch ||
                            (s.schStemF && s.schType != AppSettings::kRegexSearch);
    if (wholeWords) return signatureOf(str.schRegulStr);
    GramSignature sig;
    const bool open = !s.schWord;  // words only: no letter may adjoin the match
    addStableGrams(sig, str.schStr.view(), GramContext{open, open, s.schIZhF != 0});
    return sig;
}

void compileLiteralString(TSchStr& str, const AppSettings& s, uint32_t flags) {
    str.schRex = compileRex(anchoredIf(s.schFieldMchF, escapeLiteral(str.schStr)).view(), flags);
    if (s.schUseIX || s.schType == AppSettings::kFuzzySearch) {
        regularize(str.schStr.view(), kIndexFolding, str.schRegulStr);
        str.regulSig = literalSignature(str, s);
        str.textSig = signatureOf(str.schStr.view());
    }
    if (s.schStemF) {
        regularize(str.schStr.view(), FoldFlags{s.schICaseF != 0, s.schIZhF != 0}, str.schStemStr);
        if (str.schStemStr.empty()) outputMessageText(kNoValidChars);
    }
}

// Fuzzy tolerance and the fallback to a normal search for short strings.
bool settleFuzzy(TSchStr& str, const AppSettings& s) {
    const int32_t length = charCount(str.schRegulStr.view());
    if (s.minRate < 100) str.tolBits = (100 - s.minRate) * length / 100 + 2;
    const int32_t minLength = s.schFieldMchF ? 0 : kFuzzyMinLength;
    if (str.regulSig && length >= minLength) return false;
    str.regulSig.reset();
    debugLog(kTooShortForFuzzy, str.schStr.c_str());
    return true;
}

}  // namespace

LStr TSchLine::dump() const {
    return formatText("TSchLine:[%s], hitCnt=%d, schStrNo=%d", line.c_str(), hitCnt, schStrNo);
}

bool TSchStr::fuzzyInForce(const AppSettings& settings) const {
    return settings.schType == AppSettings::kFuzzySearch && regulSig.has_value();
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

SearchStringResult compileSearchString(std::string_view text, const AppSettings& settings,
                                       TSchLine* line, int32_t number) {
    SearchStringResult result{std::make_unique<TSchStr>(), false, false};
    const int defectsBefore = threadDefectCount();
    TSchStr& str = *result.str;
    str.schStrNo = number;
    str.schLine = line;
    str.schStr = text;
    if (settings.schICaseF) asciiToLower(str.schStr);
    const uint32_t flags = patternFlags(settings);

    if (settings.schType == AppSettings::kRegexSearch && !settings.literalOnce) {
        // The pattern keeps the text as typed: lowering it would turn escapes
        // such as \W or \D into their opposites; the ignore-case flag folds.
        LStr pattern = anchoredIf(settings.schFieldMchF, text);
        str.schRex = compileRex(pattern.view(), flags);
        if (settings.schUseIX) deriveRegexSignatures(str, pattern.view(), settings);
    } else {
        compileLiteralString(str, settings, flags);
    }
    if (str.regulSig && str.regulSig->none()) str.regulSig.reset();
    if (settings.schType == AppSettings::kFuzzySearch)
        result.fuzzyFallback = settleFuzzy(str, settings);
    result.defective = threadDefectCount() != defectsBefore;
    return result;
}

LStr escapeLiteral(std::string_view text) {
    return escapeRex(text);
}
