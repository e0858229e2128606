// The command line of the desktop program: a table of option objects, each
// of which recognises its own "-name[:value]" or "/name[:value]" argument.
// The program has one option, "cf", naming the configuration file; every
// other argument is reported (10000) and ignored.
#pragma once
#include <memory>
#include <string_view>
#include <vector>

#include "base/lstr.h"

struct AppSettings;

class LOptBase {
public:
    explicit LOptBase(std::string_view name) : name_(name) {}
    virtual ~LOptBase() = default;
    // Takes the argument when it is this option; returns whether it did.
    virtual bool parse(std::string_view argument) = 0;

    const LStr& name() const { return name_; }

protected:
    // When the argument names this option, its value: the text after ":"
    // (after "=" in the "--name=value" form), empty when there is none.
    bool matchValue(std::string_view argument, std::string_view& value) const;

private:
    LStr name_;
};

// A string option: the target becomes the value; an empty value gives the
// default text when there is one.
class LStrcOpt : public LOptBase {
public:
    LStrcOpt(std::string_view name, LStr& target, const char* defaultText = nullptr)
        : LOptBase(name), target_(target), default_(defaultText) {}
    bool parse(std::string_view argument) override;

private:
    LStr& target_;
    const char* default_;
};

using OptionTable = std::vector<std::unique_ptr<LOptBase>>;

// The program's option table, bound to the settings it fills.
OptionTable makeOptionTable(AppSettings& settings);
// Offers an argument to each option in turn; whether one took it.
bool offerArgument(const OptionTable& table, std::string_view argument);

// Splits a command line: bytes up to 0x20 separate arguments; a double quote
// opens a section (spaces included) up to the next one, where "" stands for
// one quote; the quotes themselves are dropped.
std::vector<LStr> splitCommandLine(std::string_view commandLine);

// Offers every argument and reports those no option takes ("illegal option"
// or "illegal parameter", 10000).
void scanArguments(const std::vector<LStr>& arguments, AppSettings& settings);
void scanCommandLine(std::string_view commandLine, AppSettings& settings);
// argv of main(): the program name is skipped, the rest converted from the
// system's UTF-8 to Shift-JIS.
void scanCommandLine(int argc, const char* const* argv, AppSettings& settings);
