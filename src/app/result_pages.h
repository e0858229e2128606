// The history of result pages: the collected text of each finished search
// with the display base of its paths, at most a limit of pages (the oldest
// goes first), and the page shown.
#pragma once
#include <vector>

#include "base/lstr.h"

struct ResultPage {
    LStr text;
    LStr displayBase;
};

class ResultPages {
public:
    explicit ResultPages(int limit) : limit_(limit < 1 ? 1 : limit) {}
    void setLimit(int limit) { limit_ = limit < 1 ? 1 : limit; }
    // Files a finished page; the shown page becomes the last.
    void file(ResultPage page);
    bool hasPrevious() const { return shown_ > 0; }
    bool hasNext() const { return shown_ + 1 < int(pages_.size()); }
    // Moves the shown page by one; null when there is none that way.
    const ResultPage* previous();
    const ResultPage* next();
    int size() const { return int(pages_.size()); }
    int shown() const { return shown_; }

private:
    std::vector<ResultPage> pages_;
    int limit_;
    int shown_ = -1;
};
