// A UTF-8 text decoded for its candidate lines shows a line search what the
// whole decoding shows it: the same candidate lines on the same line numbers,
// each with the line ends that follow it.
#include "convert/candidate_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/system_charset.h"
#include "text/utf8_fast.h"

namespace {

// Each line holding needle, with its line number and the line ends up to
// the next text.
std::vector<std::string> candidates(std::string_view text, std::string_view needle) {
    std::vector<std::string> out;
    int line = 1;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == text.npos ? text.size() : end + 1;
        size_t separatorEnd = end;
        while (separatorEnd < text.size() &&
               (text[separatorEnd] == '\n' || text[separatorEnd] == '\r'))
            ++separatorEnd;
        const std::string_view lineText = text.substr(start, end - start);
        if (lineText.find(needle) != lineText.npos)
            out.push_back(std::to_string(line) + ":" +
                          std::string(text.substr(start, separatorEnd - start)));
        ++line;
        start = end;
    }
    return out;
}

TEST(CandidateLines, ShowsTheSearchWhatTheWholeDecodingShows) {
    const std::string cases[] = {
        "東京\n大阪\n\n\n東京駅\nx\n",
        "前\r\n東京\r\n\r\n後\r\n東京",  // CR LF, no last line end
        "\n\n東京\n",
        "東京東京\n東京\n",
        "大阪\r京都\r\n",  // a CR inside a line; no candidate
        "～東京～\n",
    };
    const LineNeedles needles({systemSjis("東京")});
    ASSERT_TRUE(needles.usable());
    for (const std::string& utf8 : cases) {
        LStr whole;
        ASSERT_TRUE(utf8ToNative(utf8, whole));
        const std::optional<LStr> lines = decodeCandidateLines(utf8, needles, true);
        ASSERT_TRUE(lines) << utf8;
        EXPECT_EQ(candidates(lines->view(), systemSjis("東京")),
                  candidates(whole.view(), systemSjis("東京")))
            << utf8;
        const auto lineFeeds = [](std::string_view s) {
            return std::count(s.begin(), s.end(), '\n');
        };
        EXPECT_EQ(lineFeeds(lines->view()), lineFeeds(whole.view())) << utf8;
    }
}

TEST(CandidateLines, DeclinesWhatOnlyTheWholeDecodingReads) {
    const LineNeedles needles({systemSjis("東京")});
    EXPECT_FALSE(decodeCandidateLines("plain ASCII\n", needles, true));
    EXPECT_TRUE(decodeCandidateLines("plain ASCII\n", needles, false));  // marked
    EXPECT_FALSE(decodeCandidateLines("東京\xE3\x81\n", needles, false));
    EXPECT_FALSE(decodeCandidateLines("東京{%u3042}\n", needles, false));
}

TEST(CandidateLines, NeedlesAnEscapeCouldHoldAreNotUsed) {
    const struct {
        const char* needle;
        bool usable;
    } cases[] = {{"東京", true}, {"abc", true}, {"ABC", false}, {"x9", false}, {"{", false}};
    for (const auto& c : cases)
        EXPECT_EQ(LineNeedles({systemSjis(c.needle)}).usable(), c.usable) << c.needle;
    // The placeholder is in no needle.
    EXPECT_NE(LineNeedles({"x", "#"}).placeholder(), 'x');
    EXPECT_NE(LineNeedles({"x", "#"}).placeholder(), '#');
}

TEST(CandidateLines, EverySpellingDecodesToTheNeedle) {
    for (const char* utf8 : {"東京", "～", "＼", "abc", "ｱｲ"}) {
        const std::string native = systemSjis(utf8);
        const std::vector<std::string> spellings = utf8Spellings(native, 16);
        ASSERT_FALSE(spellings.empty()) << utf8;
        for (const std::string& spelling : spellings) {
            LStr decoded;
            ASSERT_TRUE(utf8ToNative(spelling, decoded));
            EXPECT_EQ(decoded.view(), native) << utf8;
        }
    }
}

}  // namespace
