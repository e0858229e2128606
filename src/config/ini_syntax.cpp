// Lexical steps of the configuration reader over a buffered stream.
#include "config/ini_syntax.h"

#include "support/message_service.h"
#include "text/buffered_stream.h"

namespace ini_syntax {

namespace {
bool isLineEnd(int c) {
    return c == '\r' || c == '\n';
}
}  // namespace

bool skipBlanks(LSrmBase& in) {
    bool lineEnd = false;
    for (int c; (c = in.peekByte()) == ' ' || isLineEnd(c);) lineEnd |= isLineEnd(in.readByte());
    return lineEnd;
}

bool skipBlanksAndComments(LSrmBase& in) {
    bool lineEnd = false;
    for (;;) {
        lineEnd |= skipBlanks(in);
        if (in.peekByte() != ';') return lineEnd;
        skipLine(in);
        lineEnd = true;
    }
}

void skipLine(LSrmBase& in) {
    in.readLine(nullptr, 0);
}

LStr readToken(LSrmBase& in) {
    LStr token;
    in.readUntil("(),\r\n", &token);
    return token;
}

bool expect(LSrmBase& in, char expected) {
    int c = in.peekByte();
    if (c == expected) {
        in.readByte();
        return true;
    }
    if (c != kEnd && !isLineEnd(c)) in.readByte();
    reportRequired(expected, c);
    return false;
}

void reportRequired(char expected, int found) {
    report(kMsgSyntax, "'%c' required instead of '%c'", expected, shownByte(found));
}

char shownByte(int c) {
    return c >= 0x20 && c < 0x7F ? char(c) : '?';
}

}  // namespace ini_syntax
