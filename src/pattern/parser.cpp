// Recursive-descent parser from pattern text to node trees: alternation ->
// branch -> piece -> atom, with groups recursing into alternations. Parser
// state (flags, ignore pattern) is saved around every alternation, so
// directives end with the group that holds them.
#include "pattern/parser.h"

#include <cstring>
#include <optional>
#include <string>

#include "base/ctype_table.h"
#include "pattern/literal_unit.h"
#include "pattern/nodes/brace_rex.h"
#include "pattern/nodes/chars_rex.h"
#include "pattern/nodes/empty_rex.h"
#include "pattern/nodes/flat_rex.h"
#include "pattern/nodes/or_rex.h"
#include "pattern/nodes/ref_rex.h"
#include "pattern/nodes/rep_rex.h"
#include "pattern/nodes/seq_rex.h"
#include "pattern/nodes/sp_rex.h"
#include "pattern/rex_messages.h"
#include "support/message_service.h"

namespace {

unsigned char ubyte(const char* p) {
    return static_cast<unsigned char>(*p);
}
bool isBranchByte(unsigned char b) {
    return ctypeTable[b] & (kCtWord | kCtLead | kCtKana);
}
bool startsWith(const char* p, const char* prefix) {
    return std::strncmp(p, prefix, std::strlen(prefix)) == 0;
}

// The first character of a unit as a code.
int firstCode(const LStr& u) {
    const char* d = u.c_str();
    if (u.length() >= 2 && isLeadByte(d[0])) return (ubyte(d) << 8) | ubyte(d + 1);
    return ubyte(d);
}

class Parser {
public:
    Parser(const char* pattern, uint32_t flags) : pattern_(pattern), cur_(pattern), flags_(flags) {}

    LRexPtr parseAlternation();
    const char* cursor() const { return cur_; }

private:
    LRexPtr parseBranch();
    LRexPtr parsePiece();
    LRexPtr parseAtom();
    LRexPtr parseClass();
    // Group forms after "("; skipped is set when the text made no node.
    LRexPtr parseGroup(bool& skipped);
    LRexPtr parseQuestionGroup(bool& skipped);
    LRexPtr parseStarGroup(bool& skipped);
    LRexPtr skipIllegalGroup(const char* warning, bool& skipped);
    LRexPtr parseNonCapturing(const char* bodyStart);
    void skipComment(const char* f);
    LRexPtr parseAnchor(const char* f);
    LRexPtr parseCharExcept(const char* bodyStart);
    LRexPtr parseAtomic(const char* bodyStart);
    LRexPtr parseLookAround(const char* bodyStart, char sense, bool behind);
    LRexPtr parseCapture();
    void parseGroupName(LBraceRex& group);
    LRexPtr parseGroupBody(const char* bodyStart);
    bool parseDirective(LRexPtr& result);
    bool parseQuantifier(int32_t& min, int32_t& max);
    void skipBalanced();
    bool enterNesting();

    template <class T, class... Args>
    LRexPtr make(Args&&... args) {
        return std::make_unique<T>(std::forward<Args>(args)..., flags_, ignore_);
    }

    const char* pattern_;
    const char* cur_;
    int groupCount_ = 0;
    uint32_t flags_;
    std::shared_ptr<LRex> ignore_;
    int depth_ = 0;
    bool tooDeep_ = false;
};

bool Parser::enterNesting() {
    if (depth_ < kRexMaxNesting) return true;
    if (!tooDeep_)
        report(kMsgWarning, "regular expression nested too deeply, rest ignored: '%s'", pattern_);
    tooDeep_ = true;
    cur_ += std::strlen(cur_);
    return false;
}

LRexPtr Parser::parseAlternation() {
    const uint32_t savedFlags = flags_;
    std::shared_ptr<LRex> savedIgnore = ignore_;
    ++depth_;
    std::vector<LRexPtr> branches;
    for (;;) {
        LRexPtr branch = parseBranch();
        if (!branch) {
            if (!branches.empty() && !tooDeep_)
                report(kMsgWarning, jaEn(kJaEmptyItem, "empty item in regular expression '%s'"),
                       pattern_);
            break;
        }
        branches.push_back(std::move(branch));
        if (!*cur_) break;
        if (*cur_ == '|') {
            ++cur_;
            if (!*cur_) break;
            continue;
        }
        if (*cur_ == ')') break;
        report(kMsgPattern, jaEn(kJaIllegalRex, "illegal regular expression: '%s'"), cur_);
        break;
    }
    LRexPtr result;
    if (branches.size() == 1) {
        result = std::move(branches[0]);
    } else if (branches.empty()) {
        result = make<LEmptyRex>();
    } else {
        result = make<LOrRex>(std::move(branches));
    }
    --depth_;
    flags_ = savedFlags;
    ignore_ = std::move(savedIgnore);
    return result;
}

LRexPtr Parser::parseBranch() {
    std::vector<LRexPtr> pieces;
    for (;;) {
        unsigned char b = ubyte(cur_);
        if (!pieces.empty() && !isBranchByte(b) && (b == '|' || b == ')')) break;
        LRexPtr piece = parsePiece();
        if (!piece) break;
        // Merge with a preceding literal of equal flags; text to be ignored
        // may stand between literals, so those stay apart.
        if (!pieces.empty() && piece->kind() == RexKind::Literal &&
            pieces.back()->kind() == RexKind::Literal && piece->flags() == pieces.back()->flags() &&
            !piece->ignore() && !pieces.back()->ignore()) {
            static_cast<LFlatRex&>(*pieces.back())
                .append(static_cast<LFlatRex&>(*piece).text().view());
            continue;
        }
        pieces.push_back(std::move(piece));
    }
    if (pieces.empty()) return nullptr;
    if (pieces.size() == 1) return std::move(pieces[0]);
    return make<LSeqRex>(std::move(pieces));
}

LRexPtr Parser::parsePiece() {
    LRexPtr atom = parseAtom();
    if (!atom) return nullptr;
    int32_t min, max;
    if (!parseQuantifier(min, max)) return atom;
    bool lazy = false;
    if (*cur_ == '?') {
        lazy = true;
        ++cur_;
    }
    return make<LRepRex>(std::move(atom), min, max, lazy);
}

namespace {
// Reads an optionally signed decimal number, clamped to 32 bits.
bool readNumber(const char*& p, int32_t& value) {
    const char* q = p;
    bool negative = false;
    if (*q == '-' || *q == '+') negative = *q++ == '-';
    if (!isDigitByte(ubyte(q))) return false;
    int64_t v = 0;
    while (isDigitByte(ubyte(q))) {
        v = std::min<int64_t>(v * 10 + (*q - '0'), kRexUnbounded);
        ++q;
    }
    value = int32_t(negative ? -v : v);
    p = q;
    return true;
}
}  // namespace

bool Parser::parseQuantifier(int32_t& min, int32_t& max) {
    switch (*cur_) {
        case '*':
            min = 0, max = kRexUnbounded;
            ++cur_;
            return true;
        case '+':
            min = 1, max = kRexUnbounded;
            ++cur_;
            return true;
        case '?':
            min = 0, max = 1;
            ++cur_;
            return true;
        case '{':
            break;
        default:
            return false;
    }
    const char* p = cur_ + 1;
    unsigned char c1 = ubyte(p);
    bool signedDigit = (c1 == '-' || c1 == '+') && isDigitByte(ubyte(p + 1));
    if (!isDigitByte(c1) && c1 != ',' && !signedDigit) return false;  // a literal brace
    bool ok = false;
    if (*p == ',') {
        ++p;
        int32_t n;
        if (readNumber(p, n) && *p == '}') {
            ok = true;
            min = 0, max = n;
            if (n < 0) {
                report(kMsgWarning, "{m,n}: n < 0 in '%s'", pattern_);
                max = 0;
            }
        }
    } else {
        int32_t m;
        if (readNumber(p, m)) {
            if (*p == '}') {
                ok = true;
                min = max = m;
            } else if (*p == ',' && p[1] == '}') {
                ++p;
                ok = true;
                min = m, max = kRexUnbounded;
            } else if (*p == ',') {
                ++p;
                int32_t n;
                if (readNumber(p, n) && *p == '}') {
                    ok = true;
                    if (m < 0) {
                        report(kMsgWarning, "{m,n}: m < 0 in '%s'", pattern_);
                        m = 0;
                    }
                    if (n < 0) {
                        report(kMsgWarning, "{m,n}: n < 0 in '%s'", pattern_);
                        n = m;
                    } else if (m > n) {
                        report(kMsgWarning, "{m,n}: m > n in '%s'", pattern_);
                        n = m;
                    }
                    min = m, max = n;
                }
            }
        }
    }
    if (!ok) {
        report(kMsgWarning, "illegal use of '%s' in '%s'", "{", pattern_);
        return false;
    }
    cur_ = p + 1;
    return true;
}

LRexPtr Parser::parseAtom() {
    for (;;) {  // directives and comments are followed by the atom they lead to
        unsigned char b = ubyte(cur_);
        if (!b) return nullptr;
        LStr unit;
        if (readLiteralUnit(cur_, UnitMode::Sequence, unit)) return make<LFlatRex>(unit.view());
        switch (b) {
            case '.':
                ++cur_;
                return make<LCharsRex>(std::vector<LCharsRex::Range>{}, true);
            case '{': {
                if (cur_[1] == ':') {
                    cur_ += 2;
                    std::optional<std::string> name = readGroupName(cur_);
                    if (name) return make<LRefRex>(std::move(*name));
                    report(kMsgWarning, "ignore illegal {:name} expression in '%s'", pattern_);
                    continue;
                }
                if (cur_[1] == '@') {
                    LRexPtr result;
                    if (parseDirective(result)) return result;
                    continue;
                }
                ++cur_;
                return make<LFlatRex>(std::string_view("{"));
            }
            case '[':
                return parseClass();
            case '(': {
                bool skipped = false;
                LRexPtr group = parseGroup(skipped);
                if (skipped) continue;
                return group;
            }
            case '^':
                ++cur_;
                return make<LSpRex>(SpType::TextStart);
            case '$':
                ++cur_;
                return make<LSpRex>(SpType::TextEnd);
            case '\\': {
                unsigned char c = ubyte(cur_ + 1);
                if (isDigitByte(c)) {
                    cur_ += 2;
                    return make<LRefRex>(std::string(1, char(c)));
                }
                if (isAssertionLetter(c)) {
                    cur_ += 2;
                    return make<LSpRex>(SpType(c));  // the letter is the type
                }
                break;
            }
            case '|':
            case ')':
            case '*':
            case '+':
            case '?':
                return nullptr;
        }
        ++cur_;
        return make<LFlatRex>(std::string_view(cur_ - 1, 1));
    }
}

// At "{@": changes the parser state and returns false so that the next atom
// is parsed, or makes a custom reference and returns true.
bool Parser::parseDirective(LRexPtr& result) {
    const char* d = cur_ + 2;
    struct FlagDirective {
        const char* text;
        uint32_t bit;
        bool set;
    };
    static const FlagDirective kFlagDirectives[] = {
        {"ic}", RexIgnoreCase, true},
        {"c}", RexIgnoreCase, false},
        {"iz}", RexIgnoreWidth, true},
        {"z}", RexIgnoreWidth, false},
    };
    for (const auto& fd : kFlagDirectives) {
        if (startsWith(d, fd.text)) {
            flags_ = fd.set ? (flags_ | fd.bit) : (flags_ & ~fd.bit);
            cur_ = d + std::strlen(fd.text);
            return false;
        }
    }
    if (startsWith(d, "ign(")) {
        cur_ = d + 4;
        if (!enterNesting()) return false;
        LRexPtr x = parseAlternation();
        if (ignore_) {
            report(kMsgWarning, "duplicate '{@ign(...)}'");
        } else {
            ignore_ = std::shared_ptr<LRex>(std::move(x));
        }
        if (cur_[0] == ')' && cur_[1] == '}') {
            cur_ += 2;
        } else if (!tooDeep_) {
            report(kMsgWarning, "missing ')}' after '{@ign(': '%s'", pattern_);
        }
        return false;
    }
    if (startsWith(d, "r:")) {
        const char* nameStart = d + 2;
        const char* close = std::strchr(nameStart, '}');
        if (!close) {
            report(kMsgWarning, "missing '}' after '{@r:': '%s'", pattern_);
            cur_ = nameStart;
            return false;
        }
        cur_ = close + 1;
        flags_ |= RexCustomRef;
        result = make<LRefRex>(std::string(nameStart, close));
        flags_ &= ~RexCustomRef;
        return true;
    }
    report(kMsgWarning, "ignore illegal directive {@...} in '%s'", pattern_);
    const char* close = std::strchr(d, '}');
    cur_ = close ? close + 1 : d + std::strlen(d);
    return false;
}

LRexPtr Parser::parseClass() {
    const char* open = cur_;
    ++cur_;
    bool negated = false;
    if (*cur_ == '^') {
        negated = true;
        ++cur_;
    }
    std::vector<LCharsRex::Range> ranges;
    for (;;) {
        if (*cur_ == ']') {
            ++cur_;
            break;
        }
        LStr lo;
        if (!readLiteralUnit(cur_, UnitMode::Class, lo)) {
            report(kMsgWarning, "illegal [ ] expression (missing ']'): '%s'", open);
            break;
        }
        int loCode = firstCode(lo), hiCode = loCode;
        if (*cur_ == '-') {
            ++cur_;
            LStr hi;
            if (!readLiteralUnit(cur_, UnitMode::Class, hi)) {
                report(kMsgWarning, "illegal [ ] expression (missing right arg of '-'): '%s'",
                       open);
            } else {
                hiCode = firstCode(hi);
                if (loCode > hiCode)
                    report(kMsgWarning, "illegal [a-b] expression: %02Xh > %02Xh: %s", loCode,
                           hiCode, pattern_);
            }
        }
        ranges.emplace_back(loCode, hiCode);
    }
    return make<LCharsRex>(std::move(ranges), negated);
}

// The body of a group through its ")"; an empty node when nesting is too
// deep to go on.
LRexPtr Parser::parseGroupBody(const char* bodyStart) {
    cur_ = bodyStart;
    if (!enterNesting()) return make<LEmptyRex>();
    LRexPtr body = parseAlternation();
    if (*cur_ == ')') {
        ++cur_;
    } else if (!tooDeep_) {
        report(kMsgWarning, jaEn(kJaMissingParen, "missing ')' in regular expression '%s'"),
               pattern_);
    }
    return body;
}

// Skips the rest of an ignored group through its matching ")".
void Parser::skipBalanced() {
    int open = 1;
    while (*cur_) {
        unsigned char b = ubyte(cur_);
        if (isLeadByte(b) && cur_[1]) {
            cur_ += 2;
            continue;
        }
        if (b == '\\' && cur_[1]) {
            cur_ += 2;
            continue;
        }
        ++cur_;
        if (b == '(') ++open;
        if (b == ')' && --open == 0) return;
    }
}

LRexPtr Parser::parseGroup(bool& skipped) {
    ++cur_;  // "("
    if (*cur_ == '?') return parseQuestionGroup(skipped);
    if (*cur_ == '*') return parseStarGroup(skipped);
    return parseCapture();
}

// The forms that begin with "(?"; f is the text after it.
LRexPtr Parser::parseQuestionGroup(bool& skipped) {
    const char* f = cur_ + 1;
    if (*f == ':') return parseNonCapturing(f + 1);
    if (*f == '#') {
        skipComment(f);
        skipped = true;
        return nullptr;
    }
    if (LRexPtr anchor = parseAnchor(f)) return anchor;
    if (startsWith(f, "cx:")) return parseCharExcept(f + 3);
    if (*f == '>') return parseAtomic(f + 1);
    if (*f == '=' || *f == '!') return parseLookAround(f + 1, *f, false);
    if (f[0] == '<' && (f[1] == '=' || f[1] == '!')) return parseLookAround(f + 2, f[1], true);
    return skipIllegalGroup("ignore illegal '(?' expression in '%s'", skipped);
}

// "(*=...)" and "(*!...)": look-behind in its short spelling.
LRexPtr Parser::parseStarGroup(bool& skipped) {
    const char* f = cur_ + 1;
    if (*f == '=' || *f == '!') return parseLookAround(f + 1, *f, true);
    return skipIllegalGroup("ignore illegal '(*' expression in '%s'", skipped);
}

// An unknown group form is dropped whole, nested parentheses included.
LRexPtr Parser::skipIllegalGroup(const char* warning, bool& skipped) {
    report(kMsgWarning, warning, pattern_);
    skipBalanced();
    skipped = true;
    return nullptr;
}

// "(?:...)": grouping without a capture.
LRexPtr Parser::parseNonCapturing(const char* bodyStart) {
    return make<LBraceRex>(parseGroupBody(bodyStart), -1);
}

// "(?#...)": a comment up to the first ")"; the text may end without one.
void Parser::skipComment(const char* f) {
    const char* close = std::strchr(f, ')');
    cur_ = close ? close + 1 : f + std::strlen(f);
}

// "(?topl)", "(?endl)", "(?tops)", "(?ends)": line and text anchors, or
// null when f holds none of them.
LRexPtr Parser::parseAnchor(const char* f) {
    struct AnchorForm {
        const char* text;
        SpType typ;
    };
    static const AnchorForm kAnchorForms[] = {
        {"topl)", SpType::LineStart},
        {"endl)", SpType::LineEnd},
        {"tops)", SpType::TextStart},
        {"ends)", SpType::TextEnd},
    };
    for (const auto& a : kAnchorForms) {
        if (!startsWith(f, a.text)) continue;
        cur_ = f + std::strlen(a.text);
        return make<LSpRex>(a.typ);
    }
    return nullptr;
}

// "(?cx:...)": one character where the body does not match.
LRexPtr Parser::parseCharExcept(const char* bodyStart) {
    std::vector<LRexPtr> items;
    items.push_back(make<LSpRex>(SpType::NotAhead, parseGroupBody(bodyStart), false));
    items.push_back(make<LCharsRex>(std::vector<LCharsRex::Range>{}, true));
    return make<LSeqRex>(std::move(items));
}

// "(?>...)": the body's first match, never backtracked into.
LRexPtr Parser::parseAtomic(const char* bodyStart) {
    return make<LSpRex>(SpType::Atomic, parseGroupBody(bodyStart), false);
}

// Look-ahead or look-behind ("behind"), positive ('=') or negative ('!').
LRexPtr Parser::parseLookAround(const char* bodyStart, char sense, bool behind) {
    const SpType typ = sense == '!' ? SpType::NotAhead : SpType::Ahead;
    return make<LSpRex>(typ, parseGroupBody(bodyStart), behind);
}

// "(...)": numbered by its opening parenthesis, named by a "{=name}" after it.
LRexPtr Parser::parseCapture() {
    const int number = groupCount_++;
    LRexPtr body = parseGroupBody(cur_);
    auto group = std::make_unique<LBraceRex>(std::move(body), number, flags_, ignore_);
    if (cur_[0] == '{' && cur_[1] == '=') parseGroupName(*group);
    return group;
}

// At "{=" after a capture: names the group, or leaves the text to be read as
// literals when the name is missing or a number.
void Parser::parseGroupName(LBraceRex& group) {
    const char* save = cur_;
    cur_ += 2;
    std::optional<std::string> name = readGroupName(cur_);
    if (!name) {
        report(kMsgWarning, jaEn(kJaBadGroupName, "ignore illegal ( ){=name} expression in '%s'"),
               pattern_);
        cur_ = save;
    } else if (isDigitByte(ubyte(name->c_str()))) {
        report(kMsgWarning,
               jaEn(kJaNumericGroupName,
                    "ignore illegal ( ){=name} expression in '%s' (name cannot be a number)"),
               pattern_);
        cur_ = save;
    } else {
        group.setName(std::move(*name));
    }
}

}  // namespace

LStr escapeRex(std::string_view text) {
    LStr out;
    for (size_t i = 0; i < text.size(); ++i) {
        char ch = text[i];
        if (isLeadByte(ch)) {
            out.append(text.substr(i, 2));
            ++i;
            continue;
        }
        if (ch && std::strchr(".?*+{[^$|()\\", ch)) out.append('\\');
        out.append(ch);
    }
    return out;
}

LRexPtr compileRex(std::string_view pattern, uint32_t compileFlags) {
    LStr text(pattern);  // NUL-terminated copy; the parser stops at a NUL
    if (text.empty() || !text[0]) return nullptr;
    Parser parser(text.c_str(), compileFlags & kRexNodeFlagsMask);
    LRexPtr root = parser.parseAlternation();
    if (*parser.cursor()) {
        report(kMsgWarning, jaEn(kJaExtraChars, "extra char(s) '%s' in regular expression '%s'"),
               parser.cursor(), text.c_str());
    }
    if (compileFlags & RexWords) {
        const uint32_t flags = compileFlags & kRexNodeFlagsMask;
        std::vector<LRexPtr> items;
        items.push_back(std::make_unique<LSpRex>(SpType::TypeEdge, flags, nullptr));
        items.push_back(std::move(root));
        items.push_back(std::make_unique<LSpRex>(SpType::TypeEdge, flags, nullptr));
        root = std::make_unique<LSeqRex>(std::move(items), flags, nullptr);
    }
    return root;
}

LRexPtr compileLiteral(std::string_view text, uint32_t compileFlags) {
    return compileRex(escapeRex(text).view(), compileFlags);
}

std::vector<LRexPtr> compileRexList(const std::vector<LStr>& patterns, uint32_t compileFlags) {
    std::vector<LRexPtr> out;
    for (const LStr& p : patterns) out.push_back(compileRex(p.view(), compileFlags));
    return out;
}

LRexPtr joinOr(std::vector<LRexPtr> nodes) {
    std::vector<LRexPtr> branches;
    for (auto& n : nodes)
        if (n) branches.push_back(std::move(n));
    return std::make_unique<LOrRex>(std::move(branches), 0, nullptr);
}

LRexPtr compileRexOr(const std::vector<LStr>* patterns, uint32_t compileFlags) {
    if (!patterns) return nullptr;
    return joinOr(compileRexList(*patterns, compileFlags));
}

LRexPtr compileLiteralOr(const std::vector<LStr>& texts, uint32_t compileFlags) {
    std::vector<LRexPtr> nodes;
    for (const LStr& t : texts) nodes.push_back(compileLiteral(t.view(), compileFlags));
    return joinOr(std::move(nodes));
}
