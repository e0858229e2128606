#include "search/literal_needles.h"

#include <cctype>
#include <optional>

#include "pattern/nodes/rex.h"
#include "pattern/requirements.h"
#include "pattern/rex_flags.h"
#include "text/sjis.h"

namespace {

constexpr size_t kMaxNeedles = 16;
// A run of letters of either case and width joins into more needles, which
// share a few leading byte pairs, so a scan still looks for them at once.
constexpr size_t kMaxLetterNeedles = 64;
constexpr size_t kLetterRun = 3;
constexpr size_t kMaxVariants = 4;

// Katakana that take no sound mark, and the long vowel mark: their
// half-width form is one byte that never combines with the next into another
// character.
constexpr std::string_view kPlainKatakana =
    "\x83\x40\x83\x41\x83\x42\x83\x43\x83\x46\x83\x47\x83\x48\x83\x49\x83\x62\x83\x69\x83\x6A"
    "\x83\x6B\x83\x6C\x83\x6D\x83\x7D\x83\x7E\x83\x80\x83\x81\x83\x82\x83\x83\x83\x84\x83\x85"
    "\x83\x86\x83\x87\x83\x88\x83\x89\x83\x8A\x83\x8B\x83\x8C\x83\x8D\x83\x8F\x83\x92\x83\x93"
    "\x81\x5B";

bool plainKatakana(int code) {
    for (size_t i = 0; i + 1 < kPlainKatakana.size(); i += 2)
        if ((uint8_t(kPlainKatakana[i]) << 8 | uint8_t(kPlainKatakana[i + 1])) == code) return true;
    return false;
}

// Characters whose every match is one character of their own fold class:
// kanji, hiragana, letters and digits of either width, plain katakana.
bool foldsOneToOne(int code) {
    const int lead = code >> 8;
    return (lead >= 0x88 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEA) ||
           (code >= 0x829F && code <= 0x82F1) || (code < 0x80 && std::isalnum(code)) ||
           (code >= 0x824F && code <= 0x829A) || plainKatakana(code);
}

// The characters that fold as code does; empty when there are too many or
// code may match more than one character (only width folding joins a kana
// and its sound mark).
std::vector<int> variants(int code, FoldFlags fold) {
    if (fold.ignoreWidth && !foldsOneToOne(code)) return {};
    std::vector<int> out;
    for (int variant : foldEquivalents(code, fold)) {
        // Whole characters only: no NUL, no lone lead byte, no trail byte below 0x40.
        const bool whole =
            variant < 256 ? variant > 0 && !isLeadByte(uint8_t(variant)) : (variant & 0xFF) >= 0x40;
        if (whole) out.push_back(variant);
    }
    return out.size() <= kMaxVariants ? out : std::vector<int>();
}

// Every joining of one variant of each class, in order.
std::vector<LStr> combinations(const std::vector<std::vector<int>>& classes) {
    std::vector<LStr> out{LStr()};
    for (const std::vector<int>& codes : classes) {
        std::vector<LStr> longer;
        for (const LStr& start : out)
            for (int code : codes) {
                LStr next(start.view());
                appendChar(next, code);
                longer.push_back(std::move(next));
            }
        out = std::move(longer);
    }
    return out;
}

bool asciiLetter(const std::vector<int>& codes) {
    for (int code : codes)
        if (code < 0x80 && std::isalpha(code)) return true;
    return false;
}

// Higher for letters seldom seen in English text; other characters are rare.
int rarity(const std::vector<int>& codes) {
    constexpr std::string_view kByFrequency = "etaoinsrhldcumfpgwybvkxjqz";
    for (int code : codes)
        if (code < 0x80 && std::isalpha(code))
            return int(kByFrequency.find(char(std::tolower(code))));
    return int(kByFrequency.size());
}

// The run of up to kLetterRun characters that holds letters and joins into
// at most kMaxLetterNeedles needles; empty when none. A scan looks at the
// first two characters first, so their rarity counts most.
std::vector<std::vector<int>> letterRun(const std::vector<std::vector<int>>& classes) {
    std::vector<std::vector<int>> best;
    int bestRarity = -1;
    for (size_t start = 0; start < classes.size(); ++start) {
        const size_t end = std::min(classes.size(), start + kLetterRun);
        size_t count = 1;
        int sum = 0;
        for (size_t i = start; i < end && count > 0; ++i) {
            count = classes[i].empty() ? 0 : count * classes[i].size();
            sum += rarity(classes[i]) * (i < start + 2 ? 4 : 1);
        }
        if (count == 0 || count > kMaxLetterNeedles ||
            end - start < std::min<size_t>(classes.size(), 2))
            continue;
        if (sum > bestRarity) {
            bestRarity = sum;
            best.assign(classes.begin() + long(start), classes.begin() + long(end));
        }
    }
    return best;
}

// The folding any literal of the pattern may use: every node's flags
// together; nullopt when some node has an ignore pattern.
std::optional<FoldFlags> patternFold(const LRex& root) {
    uint32_t flags = 0;
    std::vector<const LRex*> pending{&root};
    while (!pending.empty()) {
        const LRex* node = pending.back();
        pending.pop_back();
        if (node->ignore()) return std::nullopt;
        flags |= node->flags();
        node->children(pending);
    }
    return FoldFlags{(flags & RexIgnoreCase) != 0, (flags & RexIgnoreWidth) != 0};
}

std::vector<LStr> requirementNeedles(const LRexReq& req, FoldFlags fold) {
    switch (req.kind) {
        case LRexReq::Kind::Literal:
            return literalNeedles(req.str.view(), fold);
        case LRexReq::Kind::Anything:
            return {};
        case LRexReq::Kind::OneOf: {
            std::vector<LStr> all;
            for (const auto& child : req.children) {
                std::vector<LStr> some = requirementNeedles(*child, fold);
                if (some.empty()) return {};
                for (LStr& needle : some) all.push_back(std::move(needle));
            }
            return all;
        }
        case LRexReq::Kind::All: {
            std::vector<LStr> fewest;
            for (const auto& child : req.children) {
                std::vector<LStr> some = requirementNeedles(*child, fold);
                if (!some.empty() && (fewest.empty() || some.size() < fewest.size()))
                    fewest = std::move(some);
            }
            return fewest;
        }
    }
    return {};
}

}  // namespace

std::vector<LStr> patternNeedles(const LRex& root) {
    const std::optional<FoldFlags> fold = patternFold(root);
    if (!fold) return {};
    return requirementNeedles(*patternRequirements(&root), *fold);
}

std::vector<LStr> literalNeedles(std::string_view key, FoldFlags fold) {
    if (key.empty()) return {};
    if (!fold.ignoreCase && !fold.ignoreWidth) return {LStr(key)};
    std::vector<std::vector<int>> classes;
    for (size_t pos = 0; pos < key.size(); pos += size_t(charLength(key, pos)))
        classes.push_back(variants(charAt(key, pos), fold));
    // The longest run of characters that only match themselves.
    size_t bestStart = 0, bestLength = 0;
    for (size_t i = 0, start = 0; i < classes.size(); ++i) {
        if (classes[i].size() != 1) start = i + 1;
        if (i + 1 - start > bestLength && classes[i].size() == 1) {
            bestStart = start;
            bestLength = i + 1 - start;
        }
    }
    if (bestLength > 0)
        return combinations(
            {classes.begin() + long(bestStart), classes.begin() + long(bestStart + bestLength)});
    // Else the rarest character (plain text has many of the common letters
    // of either width), or the pair of neighbours with the fewest joinings.
    std::vector<std::vector<int>> best;
    size_t fewest = kMaxNeedles + 1;
    for (size_t i = 0; i + 1 < classes.size(); ++i) {
        const size_t count = classes[i].size() * classes[i + 1].size();
        if (count > 0 && count < fewest && !asciiLetter(classes[i]) &&
            !asciiLetter(classes[i + 1])) {
            fewest = count;
            best = {classes[i], classes[i + 1]};
        }
    }
    if (best.empty()) best = letterRun(classes);
    int rarest = -1;
    for (size_t i = 0; best.empty() && i < classes.size(); ++i)
        if (!classes[i].empty() &&
            (rarest < 0 || rarity(classes[i]) > rarity(classes[size_t(rarest)])))
            rarest = int(i);
    if (rarest >= 0) best = {classes[size_t(rarest)]};
    return best.empty() ? std::vector<LStr>() : combinations(best);
}
