// The value handlers of LIni: one entry class per value type, each reading
// its variable from the token after "=" and writing it in the file's form.
#include <cstdio>

#include "config/ini.h"
#include "config/ini_syntax.h"
#include "config/ini_value_text.h"
#include "text/buffered_stream.h"

using namespace ini_syntax;

namespace {

void appendDecimal(LStr& out, int32_t value) {
    char text[16];
    int n = std::snprintf(text, sizeof text, "%d", value);
    out.append(text, n);
}

void appendHex(LStr& out, int32_t value) {
    char text[16];
    int n = std::snprintf(text, sizeof text, "%Xh", uint32_t(value));
    out.append(text, n);
}

// Expects the "(" that opens a value. Found only after a line end, the
// byte that is there instead starts a line of its own and stays unread.
bool openParenthesis(IniContext& context) {
    LSrmBase& in = *context.in;
    bool lineEnd = skipBlanks(in);
    if (in.peekByte() == '(' || !lineEnd) return expect(in, '(');
    reportRequired('(', in.peekByte());
    context.resumeHere = true;
    return false;
}

// Expects the "," between two elements. A value cut short at the end of its
// line leaves the next line to be read as a line of its own.
bool nextElement(IniContext& context) {
    LSrmBase& in = *context.in;
    bool lineEnd = skipBlanks(in);
    int c = in.peekByte();
    if (c == ',' || (!lineEnd && c != kEnd)) return expect(in, ',');
    reportRequired(')', c);
    context.resumeHere = true;
    return false;
}

// Reads "(" element { blanks "," element } ")" or "()". The list is emptied
// once its "(" is there; the elements read before an error stay in it.
template <class T, class ReadElement>
bool readParenthesised(IniContext& context, std::vector<T>& list, ReadElement readElement) {
    LSrmBase& in = *context.in;
    if (!openParenthesis(context)) return false;
    list.clear();
    if (in.peekByte() == ')') {
        in.readByte();
        return true;
    }
    ++context.depth;
    bool ok = true;
    while (ok) {
        readElement(in);
        if (in.peekByte() == ')') {
            in.readByte();
            break;
        }
        ok = nextElement(context);
    }
    --context.depth;
    return ok;
}

// Reads exactly `count` comma-separated elements in parentheses.
template <class ReadElement>
bool readFixedParenthesised(IniContext& context, int count, ReadElement readElement) {
    LSrmBase& in = *context.in;
    if (!openParenthesis(context)) return false;
    ++context.depth;
    bool ok = true;
    for (int i = 0; ok && i < count; ++i) {
        readElement(in, i);
        if (i + 1 < count) ok = nextElement(context);
    }
    --context.depth;
    return ok && expect(in, ')');
}

class IntEntry : public IniEntry {
public:
    IntEntry(std::string_view name, int32_t& target) : IniEntry(name), target_(target) {}
    bool read(IniContext& context) override {
        target_ = iniDecimal(readToken(*context.in));
        return true;
    }
    void write(IniContext& context) const override { appendDecimal(*context.out, target_); }

private:
    int32_t& target_;
};

class StringEntry : public IniEntry {
public:
    StringEntry(std::string_view name, LStr& target) : IniEntry(name), target_(target) {}
    bool read(IniContext& context) override {
        target_ = unescapeIniText(readToken(*context.in));
        return true;
    }
    void write(IniContext& context) const override { context.out->append(escapeIniText(target_)); }

private:
    LStr& target_;
};

class StringListEntry : public IniEntry {
public:
    StringListEntry(std::string_view name, std::vector<LStr>& target)
        : IniEntry(name), target_(target) {}
    bool read(IniContext& context) override {
        return readParenthesised(context, target_, [this](LSrmBase& in) {
            target_.push_back(unescapeIniText(readToken(in)));
        });
    }
    void write(IniContext& context) const override {
        LStr& out = *context.out;
        out.append('(');
        for (size_t i = 0; i < target_.size(); ++i) {
            if (i) out.append(',');
            out.append(escapeIniText(target_[i]));
        }
        out.append(')');
    }

private:
    std::vector<LStr>& target_;
};

class IntListEntry : public IniEntry {
public:
    IntListEntry(std::string_view name, std::vector<int32_t>& target)
        : IniEntry(name), target_(target) {}
    bool read(IniContext& context) override {
        return readParenthesised(context, target_, [this](LSrmBase& in) {
            target_.push_back(iniDecimal(readToken(in)));
        });
    }
    void write(IniContext& context) const override {
        LStr& out = *context.out;
        out.append('(');
        for (size_t i = 0; i < target_.size(); ++i) {
            if (i) out.append(',');
            appendDecimal(out, target_[i]);
        }
        out.append(')');
    }

private:
    std::vector<int32_t>& target_;
};

// A rectangle or a font changes only when its whole value was read.
class RectEntry : public IniEntry {
public:
    RectEntry(std::string_view name, WindowRect& target) : IniEntry(name), target_(target) {}
    bool read(IniContext& context) override {
        int32_t values[4] = {};
        bool ok = readFixedParenthesised(
            context, 4, [&values](LSrmBase& in, int i) { values[i] = iniDecimal(readToken(in)); });
        if (ok) target_ = WindowRect{values[0], values[1], values[2], values[3]};
        return ok;
    }
    void write(IniContext& context) const override {
        LStr& out = *context.out;
        const int32_t values[4] = {target_.x, target_.y, target_.width, target_.height};
        out.append('(');
        for (int i = 0; i < 4; ++i) {
            if (i) out.append(',');
            appendDecimal(out, values[i]);
        }
        out.append(')');
    }

private:
    WindowRect& target_;
};

class FontEntry : public IniEntry {
public:
    FontEntry(std::string_view name, FontRecord& target) : IniEntry(name), target_(target) {}
    bool read(IniContext& context) override {
        FontRecord font = target_;
        bool ok = readFixedParenthesised(context, 5, [&font](LSrmBase& in, int i) {
            LStr token = readToken(in);
            switch (i) {
                case 0:
                    font.face = unescapeIniText(token);
                    break;
                case 1:
                    font.size = iniDecimal(token);
                    break;
                case 2:
                    font.charSet = iniHex(token);
                    break;
                case 3:
                    font.style = iniHex(token);
                    break;
                default:
                    font.color = uint32_t(iniHex(token));
                    break;
            }
        });
        if (ok) target_ = std::move(font);
        return ok;
    }
    void write(IniContext& context) const override {
        LStr& out = *context.out;
        out.append('(');
        out.append(escapeIniText(target_.face));
        out.append(',');
        appendDecimal(out, target_.size);
        out.append(',');
        appendHex(out, target_.charSet);
        out.append(',');
        appendHex(out, target_.style);
        out.append(',');
        appendHex(out, int32_t(target_.color));
        out.append(')');
    }

private:
    FontRecord& target_;
};

}  // namespace

void LIni::addInt(std::string_view name, int32_t& target) {
    add(std::make_unique<IntEntry>(name, target));
}
void LIni::addString(std::string_view name, LStr& target) {
    add(std::make_unique<StringEntry>(name, target));
}
void LIni::addStringList(std::string_view name, std::vector<LStr>& target) {
    add(std::make_unique<StringListEntry>(name, target));
}
void LIni::addIntList(std::string_view name, std::vector<int32_t>& target) {
    add(std::make_unique<IntListEntry>(name, target));
}
void LIni::addRect(std::string_view name, WindowRect& target) {
    add(std::make_unique<RectEntry>(name, target));
}
void LIni::addFont(std::string_view name, FontRecord& target) {
    add(std::make_unique<FontEntry>(name, target));
}
