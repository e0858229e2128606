// Status texts of a running search: part 1 the current file, 2 the current
// activity ("検索中"), 3 a percentage or count, 4 the running hit count. Front
// ends install a sink (the GUI's status bar, qf's progress line); without
// one, status texts go nowhere.
#pragma once
#include <memory>
#include <string_view>

class StatusSink {
public:
    virtual ~StatusSink() = default;
    // Called from the worker thread; part is 1 to 4; text is Shift-JIS.
    virtual void setStatus(int part, std::string_view text) = 0;
};

// Installs a sink and returns the previous one.
std::unique_ptr<StatusSink> installStatusSink(std::unique_ptr<StatusSink> sink);
void setStatus(int part, std::string_view text);
void setStatusF(int part, const char* format, ...) __attribute__((format(printf, 2, 3)));
