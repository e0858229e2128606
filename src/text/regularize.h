// Regularised text: the form in which search strings and index blocks are
// compared. ASCII words are stemmed (English endings cut), spaces and symbols
// vanish, and case and width are folded (always in index mode, as the search
// options say otherwise). stemCompare matches text against such a form
// without building it.
#pragma once
#include <atomic>
#include <span>
#include <string_view>
#include <vector>

#include "base/lstr.h"

struct FoldFlags {
    bool ignoreCase = true;
    bool ignoreWidth = true;
};

// A character code (see char_fold.h) with case and width folded as asked.
int foldChar(int code, FoldFlags fold);
// Every code charAt can return (a byte, or a lead byte and any byte after
// it) that folds as code does, ascending.
std::vector<int> foldEquivalents(int code, FoldFlags fold);

// Index mode folds case and width regardless of the search options.
inline constexpr FoldFlags kIndexFolding{true, true};

// Appends the regularised form of text to out.
void regularize(std::string_view text, FoldFlags fold, LStr& out);

// Cuts an English ending off one ASCII word, in place.
void stemWord(LStr& word);
// The endings stemWord may cut, in the order it tries them.
std::span<const std::string_view> stemEndings();

struct StemMatch {
    bool matched = false;
    int consumed = 0;  // text bytes walked
};

// Does the text at pos begin with something whose regularised form is stem?
// wholeText: the match must consume the text to its end. A set stop flag
// makes the comparison fail.
StemMatch stemCompare(std::string_view text, size_t pos, std::string_view stem, FoldFlags fold,
                      bool wholeText, const std::atomic<int>* stopFlag = nullptr);
