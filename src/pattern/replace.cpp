// Template parsing and the replacement loop of LRexSearcher.
#include "pattern/replace.h"

#include "pattern/literal_unit.h"
#include "pattern/next_match.h"
#include "pattern/parser.h"
#include "pattern/rex_messages.h"
#include "support/message_service.h"

std::vector<LRexPiece> parseReplacementTemplate(std::string_view replacementTemplate) {
    std::vector<LRexPiece> pieces;
    LStr text(replacementTemplate);
    const char* cur = text.c_str();
    LStr literal;
    auto flush = [&] {
        if (literal.empty()) return;
        LRexPiece piece;
        piece.text = std::move(literal);
        pieces.push_back(std::move(piece));
        literal.clear();
    };
    while (*cur) {
        if (readLiteralUnit(cur, UnitMode::Template, literal)) continue;
        // A reference: "\digit" or "\{name}".
        flush();
        LRexPiece piece;
        piece.isRef = true;
        if (cur[1] == '{') {
            cur += 2;
            std::optional<std::string> name = readGroupName(cur);
            if (!name) continue;
            piece.name = std::move(*name);
        } else {
            piece.name.assign(1, cur[1]);
            cur += 2;
        }
        pieces.push_back(std::move(piece));
    }
    flush();
    return pieces;
}

void LRexSearcher::setTemplate(std::string_view replacementTemplate) {
    pieces_ = parseReplacementTemplate(replacementTemplate);
}

int32_t LRexSearcher::replace(std::string_view text, LStr& out) {
    const bool copyText = output_ == ReplaceOutput::Everything;
    const int32_t n = int32_t(text.size());
    bool reported = false;
    replaceCount_ = 0;
    int32_t pos = 0;
    for (;;) {
        const int32_t at = search(text, {.from = pos});
        if (at < 0) {
            if (copyText) out.append(text.substr(pos));
            break;
        }
        ++replaceCount_;
        if (copyText) out.append(text.substr(pos, at - pos));
        for (const LRexPiece& piece : pieces_) {
            if (!piece.isRef) {
                out.append(piece.text.view());
                continue;
            }
            if (piece.name == "0") {
                out.append(std::string_view(matchTop_, matchLen_));
                continue;
            }
            const LRexHit* hit = findHit(hits_, piece.name);
            if (hit && hit->text) {
                out.append(std::string_view(hit->text, hit->len));
            } else if (!reported) {
                reported = true;
                report(kMsgWarning,
                       jaEn(kJaMissingRefTarget,
                            "Regular Expression: missing reference target for '%s'"),
                       piece.name.c_str());
            }
        }
        pos = nextSearchStart(text, at, matchLen_);
        if (matchLen_ > 0) continue;
        // After an empty match the character it stood before is copied; an
        // empty match at the very end adds nothing.
        if (at >= n) break;
        if (copyText) out.append(text.substr(at, pos - at));
        if (pos >= n) break;
    }
    return replaceCount_;
}

int32_t replaceAll(LStr& text, LRex* node, std::string_view replacementTemplate) {
    LRexSearcher s(node);
    s.setTemplate(replacementTemplate);
    LStr out;
    int32_t count = s.replace(text.view(), out);
    text = std::move(out);
    return count;
}

int32_t replaceAll(LStr& text, std::string_view pattern, std::string_view replacementTemplate) {
    LRexPtr node = compileRex(pattern);
    return replaceAll(text, node.get(), replacementTemplate);
}
