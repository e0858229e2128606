// LIni's table lookups, the writer and the forgiving "name=value" reader.
#include "config/ini.h"

#include <utility>

#include "config/ini_syntax.h"
#include "support/message_service.h"
#include "text/buffered_stream.h"

using namespace ini_syntax;

namespace {

bool isNameByte(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

LStr readName(LSrmBase& in) {
    LStr name;
    while (isNameByte(in.peekByte())) name.append(char(in.readByte()));
    return name;
}

}  // namespace

const IniEntry* LIni::find(std::string_view name) const {
    for (const auto& entry : entries_) {
        if (entry->name().view() == name) return entry.get();
    }
    return nullptr;
}

IniEntry* LIni::find(std::string_view name) {
    return const_cast<IniEntry*>(std::as_const(*this).find(name));
}

void LIni::write(LStr& out) const {
    IniContext context;
    context.out = &out;
    context.mode = 'w';
    for (const auto& entry : entries_) {
        out.append(entry->name());
        out.append('=');
        entry->write(context);
        out.append("\r\n");
    }
}

void LIni::write(LStream& out) const {
    LStr text;
    write(text);
    out.write(text.data(), text.length());
}

void LIni::read(LSrmBase& in) {
    const int errorsAtStart = threadErrorCount();
    IniContext context;
    context.in = &in;
    context.mode = 'r';
    for (;;) {
        if (threadErrorCount() - errorsAtStart > kMaxErrors) {
            report(kMsgSyntax, "Too many error. Abort reading configuration/ini file.");
            return;
        }
        skipBlanksAndComments(in);
        int c = in.peekByte();
        if (c == kEnd) return;
        if (!isNameByte(c)) {
            report(kMsgSyntax, "illegal character: '%c'", shownByte(c));
            skipLine(in);
            continue;
        }
        LStr name = readName(in);
        IniEntry* entry = find(name);
        if (!entry) {
            report(kMsgSyntax, "unknown name '%s'", name.c_str());
            skipLine(in);
            continue;
        }
        // The "=" may follow on a later line. When something else is found
        // there, that line is left to be read as a line of its own.
        bool lineEnd = skipBlanksAndComments(in);
        if (in.peekByte() != '=') {
            report(kMsgSyntax, "missing '=' in %s", name.c_str());
            if (!lineEnd) skipLine(in);
            continue;
        }
        in.readByte();
        context.depth = 0;
        context.resumeHere = false;
        if (!entry->read(context) && !context.resumeHere) skipLine(in);
    }
}
