// LIni: the table-driven reader and writer of configuration files. Each key is
// registered once with the variable that holds it; the same table then writes
// every key in registration order and reads "name=value" lines back into the
// variables. Reading is forgiving (an error skips the rest of its line) but
// stops after more than ten errors.
#pragma once
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "config/font_record.h"
#include "config/window_rect.h"
#include "base/lstr.h"

class LSrmBase;
class LStream;

// What a value handler works with: the stream, the direction ('r' or 'w')
// and the nesting depth (raised by one inside each parenthesised value).
struct IniContext {
    LSrmBase* in = nullptr;  // reading
    LStr* out = nullptr;     // writing
    char mode = 'r';
    int depth = 0;
    // Set by a handler that failed at the start of a later line: reading
    // goes on there instead of skipping that line.
    bool resumeHere = false;
};

// One registered key: its name and the handler of its variable's type.
class IniEntry {
public:
    explicit IniEntry(std::string_view name) : name_(name) {}
    virtual ~IniEntry() = default;
    const LStr& name() const { return name_; }
    // Reads the value after "="; returns false after reporting an error.
    virtual bool read(IniContext& context) = 0;
    // Appends the value in its written form.
    virtual void write(IniContext& context) const = 0;

private:
    LStr name_;
};

class LIni {
public:
    // The error count at which reading gives up is the count at its start
    // plus this.
    static constexpr int kMaxErrors = 10;

    void addInt(std::string_view name, int32_t& target);
    void addString(std::string_view name, LStr& target);
    void addStringList(std::string_view name, std::vector<LStr>& target);
    void addIntList(std::string_view name, std::vector<int32_t>& target);
    void addRect(std::string_view name, WindowRect& target);
    void addFont(std::string_view name, FontRecord& target);

    int32_t count() const { return int32_t(entries_.size()); }
    const IniEntry* find(std::string_view name) const;

    // Appends every key as "name=value\r\n", in registration order.
    void write(LStr& out) const;
    void write(LStream& out) const;
    // Reads "name=value" lines until the end of the stream or too many errors.
    void read(LSrmBase& in);

private:
    IniEntry* find(std::string_view name);
    void add(std::unique_ptr<IniEntry> entry) { entries_.push_back(std::move(entry)); }

    std::vector<std::unique_ptr<IniEntry>> entries_;
};
