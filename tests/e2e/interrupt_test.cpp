// Ctrl-C during a search: qf stops at the next record and still writes the
// stopped line and the summary with the counts reached, then ends with the
// status of an interrupted command.
#include <gtest/gtest.h>

#include "common/process_run.h"
#include "common/temp_dir.h"
#include "e2e/search_fixture.h"

using namespace e2e;

namespace {

TEST(QfInterrupt, StopsWithSummaryOfTheCountsSoFar) {
    TempDir dir;
    for (const char* name : {"a.txt", "b.txt"})
        dir.write(name, repeated("a line with abc in it\n", 20000));
    // The signal comes after the first output (the handler is in place), in
    // the first file while qf waits on the full pipe.
    QfResult r =
        runQfWith({"--raw", "--no-config", "-q", "abc", dir.path()}, QfStdout::Interrupted);
    // 128 + SIGINT as the shell's status, yet by qf's own exit: the summary
    // below is there.
    EXPECT_EQ(r.exitCode, 130);
    const std::string stopped = messageLine(sj("中止しました")), hitsWord = sj("発見数 ");
    const size_t at = r.out.rfind(stopped + hitsWord);
    ASSERT_NE(at, std::string::npos) << r.out;
    // One file searched (with hits), fewer hits than it holds.
    const int hits = std::stoi(r.out.substr(at + stopped.size() + hitsWord.size()));
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, 20000);
    EXPECT_EQ(r.out.substr(at), stopped + summary(hits, 1, 1));
}

}  // namespace
