// Ctrl-C during a search: qf stops at the next record and still writes the
// stopped line and the summary with the counts reached.
#include <gtest/gtest.h>

#include "common/process_run.h"
#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

TEST(QfInterrupt, StopsWithSummaryOfTheCountsSoFar) {
    TempDir dir;
    std::string lines;
    for (int i = 0; i < 20000; ++i) lines += "a line with abc in it\n";
    dir.write("a.txt", lines);
    dir.write("b.txt", lines);
    // The first output shows that qf is searching (its Ctrl-C handler is in
    // place); the signal then arrives in the middle of the first file while
    // qf waits on the full pipe, whatever the speed.
    QfResult r =
        runQfWith({"--raw", "--no-config", "-q", "abc", dir.path()}, QfStdout::Interrupted);
    EXPECT_EQ(r.exitCode, 0) << "qf must end by itself, not by the signal";
    const std::string stopped = messageLine(sj("中止しました"));
    const size_t at = r.out.rfind(stopped);
    ASSERT_NE(at, std::string::npos);
    // One file searched (with hits), fewer hits than it holds.
    const std::string tail = r.out.substr(at + stopped.size());
    const std::string hitsWord = sj("発見数 ");
    ASSERT_EQ(tail.rfind(hitsWord, 0), 0u) << tail;
    const int hits = std::stoi(tail.substr(hitsWord.size()));
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, 20000);
    EXPECT_EQ(tail, summary(hits, 1, 1));
}

}  // namespace
